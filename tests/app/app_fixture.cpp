#include "app_fixture.h"

#include "app/mail_check.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "engine/engine.h"
#include "forms/framework/controls.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QTimer>
#include <QToolBar>

namespace tvtest {

namespace {

// Deletes the parentless windows a test left (a dialog goes with the window that owns
// it), through guarded pointers since deleting one may delete others.
void deleteTopLevelWindows() {
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) windows.append(w);
    for (const QPointer<QWidget>& w : windows) {
        if (w && !w->parentWidget()) delete w.data();
    }
    QApplication::processEvents();
}

QtWarnings* catcher = nullptr;
QtMessageHandler previousHandler = nullptr;

void catchWarning(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (catcher && type == QtWarningMsg &&
        !text.startsWith(QLatin1String("This plugin does not support")))
        catcher->texts.append(text);
    if (previousHandler) previousHandler(type, context, text);
}

}  // namespace

void SignInTest::SetUp() {
    ShippedDatabasesTest::SetUp();
    tv::data::state().reset();
    tv::SaveSetting(tv::keys::DefinitionsLocation, data.path());
    tv::SaveSetting(tv::keys::DataLocation, data.path());
}

void SignInTest::TearDown() {
    deleteTopLevelWindows();
    ShippedDatabasesTest::TearDown();
}

void SignInTest::execOn(const QString& path, const QStringList& statements) {
    tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(path);
    for (const QString& s : statements) db.Execute(s);
    db.Close();
}

void SignInTest::writeGarbage(const QString& path) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QByteArray noise;
    for (int i = 0; i < 8192; ++i) noise.append(static_cast<char>((i * 131 + 7) % 251));
    file.write(noise);
}

QWidget* SignInTest::mainWindow() {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->objectName() == QLatin1String("MainForm") && w->isVisible()) return w;
    }
    return nullptr;
}

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
    deleteTopLevelWindows();
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

void whenModal(QObject* context, std::function<void(QWidget*)> drive) {
    auto* timer = new QTimer(context);
    timer->setInterval(0);
    QObject::connect(timer, &QTimer::timeout, context, [timer, drive] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        timer->stop();
        timer->deleteLater();
        drive(modal);
        if (auto* dialog = qobject_cast<QDialog*>(modal); dialog && dialog->isVisible())
            dialog->reject();
    });
    timer->start();
}

QtWarnings::QtWarnings() {
    catcher = this;
    previousHandler = qInstallMessageHandler(catchWarning);
}

QtWarnings::~QtWarnings() {
    qInstallMessageHandler(previousHandler);
    catcher = nullptr;
}

}  // namespace tvtest
