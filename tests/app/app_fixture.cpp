#include "app_fixture.h"

#include "core/format.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "data/app_state.h"
#include "data/shipped_databases.h"
#include "engine/engine.h"

#include <QApplication>
#include <QPointer>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QTimer>
#include <QWidget>

namespace tvtest {

namespace {

// The shipped databases, built once per test run: building them takes seconds, copying
// them a few milliseconds.
const ScratchFolder& shippedDatabases() {
    static const auto folder = [] {
        auto f = std::make_unique<ScratchFolder>();
        QString error;
        if (!tv::data::createDatabases(f->path(), sourceDir() + QStringLiteral("/db"), &error))
            ADD_FAILURE() << "cannot build the shipped databases: " << error.toStdString();
        return f;
    }();
    return *folder;
}

}  // namespace

void SignInTest::SetUp() {
    tv::setSettingsLocationForTests(settings.path());
    tv::data::state().reset();
    copyShippedDatabases(data.path());
    tv::SaveSetting(tv::keys::DefinitionsLocation, data.path());
    tv::SaveSetting(tv::keys::DataLocation, data.path());
}

void SignInTest::TearDown() {
    // Deleting the main window deletes the top-level windows it owns (the tip window), so
    // the list is held through guarded pointers.
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets()) windows.append(w);
    for (const QPointer<QWidget>& w : windows) {
        if (w && w->objectName() == QLatin1String("MainForm")) delete w.data();
    }
    QApplication::processEvents();
    ask.verifyDone();
    tv::data::state().reset();
    tv::setSettingsLocationForTests(QString());
}

void SignInTest::copyShippedDatabases(const QString& folder) {
    QDir().mkpath(folder + QStringLiteral("/Pictures"));
    const QDir source(shippedDatabases().path());
    for (const QString& name : source.entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(source.filePath(name), folder + u'/' + name));
    const QDir pictures(source.filePath(QStringLiteral("Pictures")));
    for (const QString& name : pictures.entryList(QDir::Files))
        ASSERT_TRUE(
            QFile::copy(pictures.filePath(name), folder + QStringLiteral("/Pictures/") + name));
}

void SignInTest::execOn(const QString& path, const QStringList& statements) {
    tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(path);
    for (const QString& s : statements) db.Execute(s);
    db.Close();
}

QString SignInTest::firstValue(const QString& path, const QString& sql) {
    tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(path);
    tv::engine::Recordset rs = db.OpenRecordset(sql);
    const QString value = rs.EOF_() ? QStringLiteral("<none>") : tv::TextOf(rs[0]);
    rs.Close();
    db.Close();
    return value;
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
