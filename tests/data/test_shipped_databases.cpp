// Building the databases from db/-style sources (the real db/, a synthetic one read back, a
// folder that holds a database, failures named by file and line, the text readers), and
// checking a folder against db/ (differences, site additions, unreadable files).
#include "common/data/shipped_fixture.h"
#include "common/engine/queries.h"
#include "core/convert.h"
#include "data/schema_check.h"
#include "data/shipped_databases.h"
#include "data/shipped_text.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <map>
#include <memory>

namespace tvtest {
namespace {

using tv::Variant;
using tv::data::ScriptStatement;
using tv::engine::Engine;

void writeFile(const QString& path, const QByteArray& content) {
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write(content);
}

QByteArray readFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Every file below `folder` (hidden ones too) with a hash of its bytes.
std::map<QString, QByteArray> snapshot(const QString& folder) {
    std::map<QString, QByteArray> files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        files[QDir(folder).relativeFilePath(path)] =
            QCryptographicHash::hash(readFile(path), QCryptographicHash::Sha256);
    }
    return files;
}

// A minimal source tree: one table in each database, the data table with awkward values.
class SyntheticSource {
public:
    SyntheticSource() {
        write("definitions/schema/10_notes.sql",
              "-- one table\nCREATE TABLE [NOTES] ([ID] LONG NOT NULL, [TEXT] MEMO,\n"
              "    CONSTRAINT PrimaryKey PRIMARY KEY ([ID]));\n");
        write("messages/schema/10_inbox.sql",
              "CREATE TABLE [INBOX] ([MSGID] COUNTER, [SUBJECT] TEXT(100),\n"
              "    CONSTRAINT PrimaryKey PRIMARY KEY ([MSGID]));\n");
        write("data/schema/10_people.sql",
              "CREATE TABLE [PEOPLE] ([NAME] TEXT(50) NOT NULL,  -- 0\n"
              "    [NOTE] MEMO, [BORN] DATETIME, [ACTIVE] BIT, [AMOUNT] CURRENCY, [CODE] MEMO,\n"
              "    CONSTRAINT PrimaryKey PRIMARY KEY ([NAME])\n);\n");
        // A byte-order mark, comments, Windows line ends, escapes and a short row.
        write("data/rows/PEOPLE.tsv",
              "\xEF\xBB\xBF# people\r\n"
              "NAME\tNOTE\tBORN\tACTIVE\tAMOUNT\tCODE\r\n\n"
              "O'Brien\tfirst\\tsecond\\nthird \\\\ \\x\t1970-03-14 08:30:00\t-1\t12.34\t007\n"
              "# between rows\n"
              "Smith\t\t2001-12-05\tFalse\n");
        write("definitions/rows/NOTES.tsv", "ID\tTEXT\n1\tA note\n");
        write("Pictures/tvMouse.ico", "icon bytes");
        write("Pictures/types/call.bmp", "bitmap bytes");
    }
    QString path() const { return dir_.path(); }
    void write(const QString& relative, const QByteArray& content) const {
        writeFile(dir_.file(relative), content);
    }

private:
    tvtest::ScratchFolder dir_;
};

bool create(const QString& folder, const QString& source, QString* error) {
    return tv::data::createDatabases(folder, source, error);
}

TEST(CreateDatabases, SyntheticSourceRoundTripsItsValues) {
    SyntheticSource source;
    tvtest::ScratchFolder target;
    const QString folder = target.file("new/Database");  // created when missing
    QStringList steps;
    QString error;
    ASSERT_TRUE(tv::data::createDatabases(folder, source.path(), &error, [&](const QString& s) {
        steps.append(s);
    })) << error.toStdString();
    EXPECT_FALSE(steps.isEmpty());

    // The databases and the pictures, and no staging folder left behind.
    EXPECT_EQ(QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList({"Data.mdb", "Definitions.mdb", "Messages.mdb", "Pictures"}));
    EXPECT_EQ(readFile(folder + "/Pictures/tvMouse.ico"), "icon bytes");
    EXPECT_EQ(readFile(folder + "/Pictures/types/call.bmp"), "bitmap bytes");

    tv::engine::Database db = Engine::instance().OpenDatabase(folder + "/Data.mdb");
    tv::engine::Recordset rs = db.OpenRecordset("SELECT * FROM PEOPLE ORDER BY NAME");
    EXPECT_EQ(rs["NAME"], Variant("O'Brien"));
    EXPECT_EQ(rs["NOTE"], Variant("first\tsecond\nthird \\ \\x"));
    EXPECT_EQ(rs["BORN"], Variant(tv::DateFromParts(1970, 3, 14, 8, 30, 0)));
    EXPECT_TRUE(tv::CBool(rs["ACTIVE"]));
    EXPECT_DOUBLE_EQ(tv::CDbl(rs["AMOUNT"]), 12.34);
    EXPECT_EQ(rs["CODE"], Variant("007"));  // a memo keeps its leading zeros
    rs.MoveNext();
    EXPECT_TRUE(rs["NOTE"].isNull() && rs["AMOUNT"].isNull() && !tv::CBool(rs["ACTIVE"]));
    EXPECT_EQ(rs["BORN"], Variant(tv::DateFromParts(2001, 12, 5)));
    rs.Close();
    db.Close();
    for (const auto& [file, table] :
         {std::pair{"Definitions.mdb", "NOTES"}, std::pair{"Messages.mdb", "INBOX"}})
        EXPECT_TRUE(Engine::instance().OpenDatabase(folder + "/" + file).HasTable(table)) << file;
}

TEST(CreateDatabases, RefusesAFolderThatHoldsADatabaseAndTouchesNothing) {
    SyntheticSource source;
    for (const QString& present :
         QStringList{"Definitions.mdb", "Data.mdb", "Messages.mdb", "data.MDB"}) {
        tvtest::ScratchFolder target;
        writeFile(target.file(present), "someone's real data");
        writeFile(target.file("Quote.rpt"), "a report");
        const auto before = snapshot(target.path());

        QString error;
        EXPECT_FALSE(create(target.path(), source.path(), &error)) << present.toStdString();
        EXPECT_TRUE(error.contains(present)) << error.toStdString();
        EXPECT_EQ(snapshot(target.path()), before) << present.toStdString();
    }
}

TEST(CreateDatabases, FailuresNameFileAndLineAndLeaveTheFolderAsItWas) {
    struct Case {
        const char* name;
        QString file;
        QByteArray content;
        QString where;  // expected in the message
    };
    const std::vector<Case> cases = {
        {"duplicate key", "data/rows/PEOPLE.tsv", "NAME\tNOTE\n\nAdams\tx\nadams\ty\n",
         "data/rows/PEOPLE.tsv:4:"},
        {"value that does not convert", "data/rows/PEOPLE.tsv", "NAME\tBORN\nAdams\tsoon\n",
         "data/rows/PEOPLE.tsv:2:"},
        {"unknown column", "data/rows/PEOPLE.tsv", "# c\nNAME\tSHOE SIZE\nAdams\t9\n",
         "data/rows/PEOPLE.tsv:2:"},
        {"too many cells", "data/rows/PEOPLE.tsv", "NAME\nAdams\textra\n",
         "data/rows/PEOPLE.tsv:2:"},
        {"a column without a name", "data/rows/PEOPLE.tsv", "# c\nNAME\t\tNOTE\n",
         "data/rows/PEOPLE.tsv:2:"},
        {"a column named twice", "data/rows/PEOPLE.tsv", "NAME\tname\n", "data/rows/PEOPLE.tsv:1:"},
        {"row file without a table", "data/rows/GHOSTS.tsv", "NAME\nCasper\n",
         "data/rows/GHOSTS.tsv"},
        {"statement the engine refuses", "messages/schema/20_bad.sql",
         "-- broken\n\nCREATE TABLE [BROKEN] (\n  [X] NOSUCHTYPE\n);\n",
         "messages/schema/20_bad.sql:3:"},
    };
    for (const Case& c : cases) {
        SyntheticSource source;
        source.write(c.file, c.content);
        tvtest::ScratchFolder target;
        writeFile(target.file("Pictures/tvMouse.ico"), "custom pointer");
        const auto before = snapshot(target.path());

        QString error;
        EXPECT_FALSE(create(target.path(), source.path(), &error)) << c.name;
        EXPECT_TRUE(error.contains(c.where)) << c.name << ": " << error.toStdString();
        EXPECT_EQ(snapshot(target.path()), before) << c.name;
    }
}

TEST(CreateDatabases, KeepsPicturesTheFolderAlreadyHas) {
    SyntheticSource source;
    tvtest::ScratchFolder target;
    writeFile(target.file("Pictures/tvMouse.ico"), "custom pointer");
    QString error;
    ASSERT_TRUE(create(target.path(), source.path(), &error)) << error.toStdString();
    EXPECT_EQ(readFile(target.file("Pictures/tvMouse.ico")), "custom pointer");
    EXPECT_EQ(readFile(target.file("Pictures/types/call.bmp")), "bitmap bytes");
}

// The shipped db/ folder builds (the shared fixture builds it once per test program), and
// every row file ends up complete in its table.
TEST(CreateDatabases, ShippedSourcesBuildCompletely) {
    const QString source = tvtest::sourceDir() + "/db";
    tvtest::ScratchFolder target;
    ASSERT_TRUE(tvtest::copyShippedDatabases(target.path()));
    QString error;

    for (const auto& shipped : tv::data::shippedDatabases()) {
        tv::engine::Database db =
            Engine::instance().OpenDatabase(target.file(shipped.fileName), true);
        const QDir rows(source + "/" + shipped.sourceFolder + "/rows");
        for (const QString& file : rows.entryList({"*.tsv"}, QDir::Files)) {
            const QString table = QFileInfo(file).completeBaseName();
            tv::data::TsvTable expected;
            int line = 0;
            ASSERT_TRUE(tv::data::parseTsv(QString::fromUtf8(readFile(rows.filePath(file))),
                                           &expected, &line, &error));
            ASSERT_TRUE(db.HasTable(table)) << table.toStdString();
            EXPECT_EQ(tvtest::queryValue(db, "SELECT COUNT(*) FROM [" + table + "]").toULong(),
                      expected.rows.size())
                << table.toStdString();
        }
        db.Close();
    }
    for (const QString& picture : QDir(source + "/Pictures").entryList(QDir::Files)) {
        EXPECT_TRUE(QFileInfo::exists(target.file("Pictures/" + picture))) << picture.toStdString();
    }
}

struct ScriptCase {
    const char* name;
    QString script;
    std::vector<std::pair<QString, int>> expected;  // statement text, line
};

TEST(SplitSqlScript, StatementsWithTheirStartingLines) {
    const std::vector<ScriptCase> cases = {
        {"comment lines and trailing comments go",
         "-- header\n"
         "CREATE TABLE [A] (\n"
         "    [X] TEXT(5),   -- 0\n"
         "    [Y] LONG       -- 1\n"
         ");\n"
         "\n"
         "  -- indented comment\n"
         "CREATE INDEX [Y] ON [A] ([Y]);\n",
         {{"CREATE TABLE [A] (\n    [X] TEXT(5),\n    [Y] LONG\n)", 2},
          {"CREATE INDEX [Y] ON [A] ([Y])", 8}}},
        {"a semicolon inside a line does not end the statement",
         "INSERT INTO [T] ([X]) VALUES ('a;b');\n"
         "UPDATE [T] SET [X] = 'c'; UPDATE [T] SET [X] = 'd'\n"
         "WHERE 1 = 1;\n",
         {{"INSERT INTO [T] ([X]) VALUES ('a;b')", 1},
          {"UPDATE [T] SET [X] = 'c'; UPDATE [T] SET [X] = 'd'\nWHERE 1 = 1", 2}}},
        {"dashes inside quotes and brackets are not comments",
         "INSERT INTO [A--B] ([X]) VALUES ('--kept', \"also--kept\"); -- gone\n",
         {{"INSERT INTO [A--B] ([X]) VALUES ('--kept', \"also--kept\")", 1}}},
        {"a doubled quote stays inside the text",
         "INSERT INTO [T] ([X]) VALUES ('O''Brien -- not a comment');\n",
         {{"INSERT INTO [T] ([X]) VALUES ('O''Brien -- not a comment')", 1}}},
        {"a semicolon at a line end inside a quoted text does not end it",
         "INSERT INTO [T] ([X]) VALUES ('one;\n"
         "two');\n",
         {{"INSERT INTO [T] ([X]) VALUES ('one;\ntwo')", 1}}},
        {"CRLF endings, trailing blanks and a last statement without semicolon",
         "CREATE TABLE [A] ([X] LONG);  \r\n\r\nDROP TABLE [A]\r\n",
         {{"CREATE TABLE [A] ([X] LONG)", 1}, {"DROP TABLE [A]", 3}}},
        {"only comments", "-- nothing\n\n-- here\n", {}},
    };
    for (const ScriptCase& c : cases) {
        const std::vector<ScriptStatement> got = tv::data::splitSqlScript(c.script);
        ASSERT_EQ(got.size(), c.expected.size()) << c.name;
        for (size_t i = 0; i < got.size(); ++i) {
            EXPECT_EQ(got[i].text, c.expected[i].first) << c.name;
            EXPECT_EQ(got[i].line, c.expected[i].second) << c.name;
        }
    }
}

TEST(CellEscapes, RoundTrip) {
    for (const QString& text : {QString("plain"), QString("tab\there"), QString("two\nlines"),
                                QString("back\\slash\\n not a line feed"), QString("\\"),
                                QString("ends with backslash\\"), QString("\t\n\\")}) {
        const QString cell = tv::data::escapeCell(text);
        EXPECT_FALSE(cell.contains(u'\t')) << text.toStdString();
        EXPECT_FALSE(cell.contains(u'\n')) << text.toStdString();
        EXPECT_EQ(tv::data::unescapeCell(cell), text) << text.toStdString();
    }
}

using tv::data::SchemaFinding;
using tv::data::SchemaReport;

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

// The sales line tables' product codes were widened for the billing run's codes: a file
// with the old width passes, with a note; any other width is still an error.
TEST_F(SchemaCheck, ProductCodesOfTheOldWidthPassWithANote) {
    const auto detail = [](const char* table, int width) {
        return QStringLiteral("CREATE TABLE [%1] ([ORDERNO] LONG NOT NULL, [LINENO] SHORT NOT NULL, "
                              "[PRODUCTCODE] TEXT(%2), [DESCRIPTION] TEXT(255), [QUANTITY] DOUBLE, "
                              "[UNITPRICE] DOUBLE, [DISCOUNTRATE] DOUBLE, [TAXRATE] DOUBLE, "
                              "[LINEVALUE] DOUBLE, CONSTRAINT PrimaryKey PRIMARY KEY ([ORDERNO], "
                              "[LINENO]))")
            .arg(QLatin1String(table))
            .arg(width);
    };
    change("Data.mdb", {"DROP TABLE [SALES ORDERS DETAIL]", detail("SALES ORDERS DETAIL", 20),
                        "CREATE INDEX [PRODUCTCODE] ON [SALES ORDERS DETAIL] ([PRODUCTCODE])"});
    SchemaReport report = check();
    EXPECT_TRUE(report.passed()) << errors(report).join('\n').toStdString();
    EXPECT_EQ(notes(report).filter("SALES ORDERS DETAIL: column 2 PRODUCTCODE is Text(20)").size(), 1);

    change("Data.mdb", {"DROP TABLE [SALES ORDERS DETAIL]", detail("SALES ORDERS DETAIL", 10),
                        "CREATE INDEX [PRODUCTCODE] ON [SALES ORDERS DETAIL] ([PRODUCTCODE])"});
    report = check();
    EXPECT_TRUE(errors(report).contains(
        "Data.mdb: SALES ORDERS DETAIL: column 2 PRODUCTCODE is Text(10), expected Text(100)"))
        << errors(report).join('\n').toStdString();
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
}  // namespace tvtest
