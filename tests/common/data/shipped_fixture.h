// A test fixture over the shipped databases: the three files are built once per test
// program from db/ and copied into a fresh scratch folder for every test, the settings
// store points into scratch space, the definitions database is open with its three
// long-lived record sets (as sign-in leaves them) and the data database is open (as
// the first table access leaves it). The scripted prompter answers every question.
#pragma once

#include "common/data/scripted_prompter.h"
#include "common/test_backend.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <QString>
#include <QStringList>
#include <optional>

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
    // ("<none>" when there is no row); every row, its columns joined by "|".
    static QString dataValue(const QString& sql);
    static QStringList dataRows(const QString& sql);

    // Adds a user of "System Users" with the three flags.
    static void addUser(const QString& userId, bool administrator = false, bool workflow = false,
                        bool billing = true);
    // Stores the user's level on a table ("Null" for no level at all).
    static void setAccess(const QString& userId, const QString& table, std::optional<int> level);
    static void clearAccess(const QString& userId);

    ScratchFolder settings;
    ScratchSite data;  // Definitions.mdb, Data.mdb, Messages.mdb, Pictures/ (on files)
    ScriptedPrompter ask;
};

// Every row of a query, its columns joined by "|" (Null as an empty text).
QStringList joinedRows(tv::engine::Database& db, const QString& sql);

// Copies fresh shipped databases (and their Pictures folder) into `folder`; the files
// are built from db/ on the first call of the test program. On the test server `folder`
// is a site's location (ScratchSite): the site database is made from a copy of the files
// kept on the server once per program.
::testing::AssertionResult copyShippedDatabases(const QString& folder);

// Opens the definitions database of `folder` into the program-wide state with FORM
// CAPTIONS, Messages and FIELD DEFINITIONS on their "PrimaryKey" index, as sign-in does.
::testing::AssertionResult openDefinitions(const QString& folder);

}  // namespace tvtest
