// Paths stored with either separator, and names appended to folders.
#include "core/paths.h"

#include <gtest/gtest.h>

#include <tuple>

namespace {

TEST(Paths, JoinUsesExactlyOneSeparator) {
    // clang-format off
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"c:\\Tolvarine\\Database", "Definitions.mdb", "c:/Tolvarine/Database/Definitions.mdb"},
        {"c:\\Data\\", "\\Quote.rpt", "c:/Data/Quote.rpt"},
        {"/home/u/Data/", "/Pictures/", "/home/u/Data/Pictures"},
        {"/home/u/Data//", "Pictures\\tvMouse.ico", "/home/u/Data/Pictures/tvMouse.ico"},
        {"\\\\server\\share\\db", "Data.mdb", "//server/share/db/Data.mdb"},
        {"", "x.mdb", "x.mdb"}, {"/data", "", "/data"}, {"/", "etc", "/etc"},
        {"c:\\", "x", "c:/x"}};
    // clang-format on
    for (const auto& [folder, name, expected] : cases)
        EXPECT_EQ(tv::joinPath(QString::fromUtf8(folder), QString::fromUtf8(name)).toStdString(),
                  expected);
}

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
