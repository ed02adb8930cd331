// The schema check: fresh databases pass without a word; each kind of difference is one
// error line naming the database, the table and the column or index; custom columns and a
// site's own tables are information; a file missing or unreadable is an error with its path.
#include "common/data/shipped_fixture.h"
#include "data/schema_check.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <QFile>
#include <memory>

namespace {

using tv::data::SchemaFinding;
using tv::data::SchemaReport;
using tv::engine::Engine;

QString dbSource() { return tvtest::sourceDir() + "/db"; }

QStringList texts(const SchemaReport& report, SchemaFinding::Severity severity) {
    QStringList out;
    for (const SchemaFinding& f : report.findings)
        if (f.severity == severity) out << f.text;
    return out;
}
QStringList errors(const SchemaReport& r) { return texts(r, SchemaFinding::Severity::Error); }
QStringList notes(const SchemaReport& r) { return texts(r, SchemaFinding::Severity::Information); }

class SchemaCheck : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        reference_ = std::make_unique<tvtest::ScratchFolder>();
        ASSERT_TRUE(tvtest::copyShippedDatabases(reference_->path()));
    }
    static void TearDownTestSuite() { reference_.reset(); }

    void SetUp() override { ASSERT_TRUE(tvtest::copyShippedDatabases(folder.path())); }
    // Runs statements on one of the folder's databases, as an administrator's tool might.
    void change(const QString& file, const QStringList& statements) {
        tv::engine::Database db = Engine::instance().OpenDatabase(folder.file(file));
        for (const QString& statement : statements) db.Execute(statement);
        db.Close();
    }
    void overwrite(const QString& file, const QByteArray& bytes) {
        QFile f(folder.file(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    SchemaReport check() { return tv::data::checkAgainst(folder.path(), reference_->path()); }

    static inline std::unique_ptr<tvtest::ScratchFolder> reference_;
    tvtest::ScratchFolder folder;
};

// The whole command builds its own reference from db/, and fresh copies match it.
TEST_F(SchemaCheck, FreshDatabasesPassWithoutFindings) {
    const SchemaReport report = tv::data::checkDatabases(folder.path(), dbSource());
    EXPECT_TRUE(report.passed());
    EXPECT_TRUE(report.findings.empty()) << report.findings.front().text.toStdString();
}

// Custom fields are appended by administrators: information, not an error. So is a table
// of the site's own.
TEST_F(SchemaCheck, CustomColumnsAndTablesAreInformation) {
    change("Data.mdb", {"ALTER TABLE [CUSTOMERS] ADD COLUMN [LOYALTY LEVEL] TEXT(20)",
                        "CREATE TABLE [SITE NOTES] ([ID] LONG NOT NULL, CONSTRAINT PrimaryKey "
                        "PRIMARY KEY ([ID]))"});
    const SchemaReport report = check();
    EXPECT_TRUE(report.passed()) << errors(report).join('\n').toStdString();
    const QString all = notes(report).join('\n');
    EXPECT_TRUE(all.contains("Data.mdb: CUSTOMERS: custom column 26 LOYALTY LEVEL (Text(20))"))
        << all.toStdString();
    EXPECT_TRUE(all.contains("SITE NOTES")) << all.toStdString();
}

// Each difference that breaks the file format is its own error line naming where it is.
TEST_F(SchemaCheck, DifferencesAreErrorsNamingWhereTheyAre) {
    change("Messages.mdb",
           {"DROP TABLE [OUTBOX ATTACHMENTS]", "DROP TABLE [INBOX ATTACHMENTS]",
            "CREATE TABLE [INBOX ATTACHMENTS] ([MSGNO] LONG NOT NULL, [ATTACHNO] SHORT NOT NULL, "
            "CONSTRAINT PrimaryKey PRIMARY KEY ([MSGNO], [ATTACHNO]))"});
    change("Data.mdb",
           {"DROP INDEX [TELEPHONENO] ON [CUSTOMERS]", "DROP INDEX [ACCOUNTNO] ON [CUSTOMERS]",
            "CREATE INDEX [ACCOUNTNO] ON [CUSTOMERS] ([ACCOUNTNO], [TERRITORY])",
            "DROP TABLE [Counters]",
            "CREATE TABLE [Counters] ([TABLENAME] TEXT(30) NOT NULL, [LASTNUMBER] DOUBLE, "
            "CONSTRAINT PrimaryKey PRIMARY KEY ([TABLENAME]))",
            "DROP TABLE [Filters]",
            "CREATE TABLE [Filters] ([TABLENAME] TEXT(10), [FILTERNAME] TEXT(50) NOT NULL, "
            "[CRITERIA] MEMO, [QUERYTEXT] MEMO, [SORTFIELD] SHORT)"});
    change("Definitions.mdb",
           {"DROP TABLE [LOOKUP TABLES]",
            "CREATE TABLE [LOOKUP TABLES] ([TABLENAME] TEXT(50) NOT NULL, [COLOURSUPPORT] BIT, "
            "[DISPLAYTEXT] TEXT(100), [PICTURESUPPORT] BIT, CONSTRAINT PrimaryKey PRIMARY KEY "
            "([TABLENAME]))"});
    const SchemaReport report = check();
    EXPECT_FALSE(report.passed());
    const QStringList lines = errors(report);
    for (const char* expected :
         {"Messages.mdb: table OUTBOX ATTACHMENTS is missing",
          "Messages.mdb: INBOX ATTACHMENTS: column 2 (FILENAME, Text(255)) is missing",
          "Data.mdb: CUSTOMERS: index TELEPHONENO is missing",
          "Data.mdb: CUSTOMERS: index ACCOUNTNO is on (ACCOUNTNO, TERRITORY), expected "
          "(ACCOUNTNO)",
          "Data.mdb: Counters: column 0 TABLENAME is Text(30), expected Text(50)",
          "Data.mdb: Counters: column 1 LASTNUMBER is Double, expected Long",
          "Data.mdb: Filters: column 0 TABLENAME is not required, expected required",
          "Definitions.mdb: LOOKUP TABLES: column 1 is COLOURSUPPORT, expected DISPLAYTEXT"})
        EXPECT_TRUE(lines.contains(expected)) << expected << "\nin\n"
                                              << lines.join('\n').toStdString();
}

// A file missing, or one the engine cannot read as one of its databases: one error each, with
// the path and the engine's own words and number.
TEST_F(SchemaCheck, UnreadableFilesAreReportedWithTheirPath) {
    QByteArray jet(2048, '\0');
    jet.replace(4, 15, "Standard Jet DB");
    overwrite("Data.mdb", jet);
    QFile::remove(folder.file("Messages.mdb"));
    const QStringList lines = errors(check());
    ASSERT_EQ(lines.size(), 2) << lines.join('\n').toStdString();
    EXPECT_TRUE(lines.contains(folder.file("Messages.mdb") + ": missing"));
    const QString jetLine = lines.filter(folder.file("Data.mdb") + ": ").value(0);
    EXPECT_TRUE(
        jetLine.contains(QStringLiteral("engine error %1").arg(tv::engine::err::kLegacyJetFile)))
        << jetLine.toStdString();
}

}  // namespace
