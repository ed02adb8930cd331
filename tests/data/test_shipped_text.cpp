// Readers of db/'s text files: statement splitting with line numbers, malformed row files,
// and cell escapes. (Row files read back into tables are checked where databases are built.)
#include "data/shipped_text.h"

#include <gtest/gtest.h>

namespace {

using tv::data::ScriptStatement;

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

TEST(ParseTsv, MalformedFilesNameTheLine) {
    struct Case {
        const char* name;
        QString text;
        int line;
    };
    const std::vector<Case> cases = {
        {"more cells than columns", "A\tB\n1\t2\n3\t4\t5\n", 3},
        {"a header column without a name", "# c\nA\t\tC\n", 2},
        {"a column named twice", "NAME\tname\n", 1},
    };
    for (const Case& c : cases) {
        tv::data::TsvTable table;
        int errorLine = 0;
        QString error;
        EXPECT_FALSE(tv::data::parseTsv(c.text, &table, &errorLine, &error)) << c.name;
        EXPECT_EQ(errorLine, c.line) << c.name;
        EXPECT_FALSE(error.isEmpty()) << c.name;
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

}  // namespace
