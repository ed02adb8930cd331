// Paths stored with either separator, and names appended to folders.
#include "core/paths.h"

#include <gtest/gtest.h>

namespace {

struct JoinCase {
    const char* folder;
    const char* name;
    const char* expected;
};

class JoinPath : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinPath, UsesExactlyOneSeparator) {
    const JoinCase& c = GetParam();
    EXPECT_EQ(tv::joinPath(QString::fromUtf8(c.folder), QString::fromUtf8(c.name)).toStdString(),
              c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, JoinPath,
    ::testing::Values(JoinCase{"c:\\Tolvarine\\Database", "Definitions.mdb",
                               "c:/Tolvarine/Database/Definitions.mdb"},
                      JoinCase{"c:\\Data\\", "\\Quote.rpt", "c:/Data/Quote.rpt"},
                      JoinCase{"/home/u/Data/", "/Pictures/", "/home/u/Data/Pictures"},
                      JoinCase{"/home/u/Data//", "Pictures\\tvMouse.ico",
                               "/home/u/Data/Pictures/tvMouse.ico"},
                      JoinCase{"\\\\server\\share\\db", "Data.mdb", "//server/share/db/Data.mdb"},
                      JoinCase{"", "x.mdb", "x.mdb"}, JoinCase{"/data", "", "/data"},
                      JoinCase{"/", "etc", "/etc"}, JoinCase{"c:\\", "x", "c:/x"}));

TEST(Paths, NormaliseSplitAndName) {
    EXPECT_EQ(tv::normalizePath("a//b\\\\c\\"), QStringLiteral("a/b/c"));
    EXPECT_EQ(tv::normalizePath("/"), QStringLiteral("/"));
    EXPECT_EQ(tv::normalizePath("c:\\"), QStringLiteral("c:/"));
    EXPECT_EQ(tv::normalizePath("\\\\server\\share\\"), QStringLiteral("//server/share"));
    EXPECT_EQ(tv::parentFolder("c:\\Tolvarine\\Database\\Data.mdb"),
              QStringLiteral("c:/Tolvarine/Database"));
    EXPECT_EQ(tv::parentFolder("/Data.mdb"), QStringLiteral("/"));
    EXPECT_EQ(tv::parentFolder("c:\\Data.mdb"), QStringLiteral("c:/"));
    EXPECT_EQ(tv::parentFolder("Data.mdb"), QString());
    EXPECT_EQ(tv::fileName("c:\\Tolvarine\\Database\\Data.mdb"), QStringLiteral("Data.mdb"));
    EXPECT_EQ(tv::fileName("Data.mdb"), QStringLiteral("Data.mdb"));
}

}  // namespace
