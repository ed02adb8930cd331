#include "adminforms/admin_fixture.h"

#include "data/app_state.h"
#include "engine/engine.h"
#include "forms/framework/status.h"

#include <QApplication>
#include <QPointer>

namespace tvtest {

using tv::engine::quoteLiteral;

void AdminFormsTest::SetUp() {
    ShippedDatabasesTest::SetUp();
    tv::data::state().CurrentUserId = QStringLiteral("admin");
    tv::data::state().IsAdministrator = true;  // as the main window finds the shipped admin
    status = std::make_unique<QLabel>();
    tv::forms::setStatusPanel(status.get());
}

void AdminFormsTest::TearDown() {
    // Parentless windows only: a dialog goes with the window that owns it.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) windows.append(w);
    for (const QPointer<QWidget>& w : windows) {
        if (w && w != status.get() && !w->parentWidget()) delete w.data();
    }
    QApplication::processEvents();
    tv::forms::setStatusPanel(nullptr);
    status.reset();
    ShippedDatabasesTest::TearDown();
}

QString AdminFormsTest::storedLevel(const QString& userId, const QString& table) {
    return dataValue(
        QStringLiteral("SELECT [ACCESSLEVEL] FROM [System User Access] WHERE [USERID] = %1 "
                       "AND [TABLENAME] = %2")
            .arg(quoteLiteral(userId), quoteLiteral(table)));
}

int AdminFormsTest::accessRowCount(const QString& userId) {
    return dataValue(QStringLiteral("SELECT Count(*) FROM [System User Access] WHERE [USERID] = %1")
                         .arg(quoteLiteral(userId)))
        .toInt();
}

}  // namespace tvtest
