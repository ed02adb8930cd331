// Sign-in tests run against the shipped databases, built once from db/ and copied into a
// scratch data folder for each test, with the settings store pointed into that scratch
// space and the scripted prompter answering every question.
#pragma once

#include "common/data/scripted_prompter.h"
#include "common/test_support.h"

#include <gtest/gtest.h>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

class QWidget;

namespace tvtest {

class SignInTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A folder holding fresh copies of the three databases and the Pictures folder.
    void copyShippedDatabases(const QString& folder);
    // Runs statements on a database file apart from the program's own handles.
    static void execOn(const QString& path, const QStringList& statements);
    // One column of the first row a query returns, as text ("<none>" when no row).
    static QString firstValue(const QString& path, const QString& sql);
    static void writeGarbage(const QString& path);

    QString dataPath() const { return data.file(QStringLiteral("Data.mdb")); }
    QString definitionsPath() const { return data.file(QStringLiteral("Definitions.mdb")); }

    // The visible main window, or nullptr.
    static QWidget* mainWindow();

    ScratchFolder settings;
    ScratchFolder data;  // Definitions.mdb, Data.mdb, Messages.mdb, Pictures/
    ScriptedPrompter ask;
};

// Runs `drive` on the modal dialog of type T as soon as it is shown by the code that runs
// next (exec() blocks the test until the dialog closes). The dialog is rejected afterwards
// if `drive` left it open, so a failing test cannot hang.
void whenModal(QObject* context, std::function<void(QWidget*)> drive);

}  // namespace tvtest
