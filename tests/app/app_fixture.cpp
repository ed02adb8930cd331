#include "app_fixture.h"

#include "core/settings_keys.h"
#include "data/app_state.h"
#include "engine/engine.h"

#include <QApplication>
#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QTimer>

namespace tvtest {

void SignInTest::SetUp() {
    ShippedDatabasesTest::SetUp();
    // As a new run finds things: nothing open, the locations only in the settings.
    tv::data::state().reset();
    tv::SaveSetting(tv::keys::DefinitionsLocation, data.path());
    tv::SaveSetting(tv::keys::DataLocation, data.path());
}

void SignInTest::TearDown() {
    // The main window owns top-level windows of its own (the tip window), so the list is
    // held through guarded pointers.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) windows.append(w);
    for (const QPointer<QWidget>& w : windows) {
        if (w && w->objectName() == QLatin1String("MainForm")) delete w.data();
    }
    QApplication::processEvents();
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

}  // namespace tvtest
