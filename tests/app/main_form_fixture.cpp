#include "main_form_fixture.h"

#include "app/mail_check.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"

#include <QAction>
#include <QApplication>
#include <QPointer>
#include <QToolBar>

namespace tvtest {

void MainFormTest::SetUp() {
    ShippedDatabasesTest::SetUp();
    tv::data::state().CurrentUserId = QStringLiteral("admin");
    // The tip window is tested on its own; here it would only open beside every window.
    tv::SaveSetting(tv::keys::ShowTipsAtStartup, QStringLiteral("0"));
    tv::app::setMailCheck([this] {
        ++mailChecks;
        return mailAnswer;
    });
}

void MainFormTest::TearDown() {
    // Parentless windows only: a dialog goes with the window that owns it.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) windows.append(w);
    for (const QPointer<QWidget>& w : windows) {
        if (w && !w->parentWidget()) delete w.data();
    }
    QApplication::processEvents();
    tv::app::setMailCheck(nullptr);
    ShippedDatabasesTest::TearDown();
}

std::unique_ptr<tv::app::MainForm> MainFormTest::openMainForm(bool activate) {
    auto form = std::make_unique<tv::app::MainForm>();
    form->load();
    if (activate) form->activate();
    return form;
}

QAction* toolbarButton(tv::app::MainForm& form, const QString& identifier) {
    for (QAction* a : form.toolbar()->actions()) {
        if (tv::forms::tagOf(a) == identifier) return a;
    }
    return nullptr;
}

namespace {

QtWarnings* catcher = nullptr;
QtMessageHandler previousHandler = nullptr;

void catchWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    // The offscreen platform's own remark about every window it shows is no fault.
    if (catcher && type == QtWarningMsg &&
        !text.startsWith(QLatin1String("This plugin does not support")))
        catcher->texts.append(text);
    if (previousHandler) previousHandler(type, context, text);
}

}  // namespace

QtWarnings::QtWarnings() {
    catcher = this;
    previousHandler = qInstallMessageHandler(catchWarning);
}

QtWarnings::~QtWarnings() {
    qInstallMessageHandler(previousHandler);
    catcher = nullptr;
}

}  // namespace tvtest
