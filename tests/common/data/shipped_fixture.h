// A test fixture over the shipped databases: the three files are built once per test
// program from db/ and copied into a fresh scratch folder for every test, the settings
// store points into scratch space, the definitions database is open with its three
// long-lived record sets (as sign-in leaves them) and the data database is open (as
// the first table access leaves it). The scripted prompter answers every question.
#pragma once

#include "common/data/scripted_prompter.h"
#include "common/test_support.h"

#include <gtest/gtest.h>
#include <QString>
#include <QStringList>

namespace tvtest {

class ShippedDatabasesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString dataPath() const { return data.file(QStringLiteral("Data.mdb")); }
    QString definitionsPath() const { return data.file(QStringLiteral("Definitions.mdb")); }

    // Runs statements through the program's own open databases, as an administrator's
    // window would.
    static void execDefinitions(const QStringList& statements);
    static void execData(const QStringList& statements);
    // The first column of the first row of a query on the data database, as text
    // ("<none>" when there is no row).
    static QString dataValue(const QString& sql);

    ScratchFolder settings;
    ScratchFolder data;  // Definitions.mdb, Data.mdb, Messages.mdb, Pictures/
    ScriptedPrompter ask;
};

// Copies fresh shipped databases (and their Pictures folder) into `folder`; the files
// are built from db/ on the first call of the test program.
::testing::AssertionResult copyShippedDatabases(const QString& folder);

// Opens the definitions database of `folder` into the program-wide state with FORM
// CAPTIONS, Messages and FIELD DEFINITIONS on their "PrimaryKey" index, as sign-in does.
::testing::AssertionResult openDefinitions(const QString& folder);

}  // namespace tvtest
