// The block store of a dynaset's keys: rowids read back in order across block edges
// (including rowids that need more than 32 bits) and deleted marks made late. A large
// dynaset over several blocks is walked and positioned in test_dynaset.cpp.
#include "engine/key_array.h"

#include <gtest/gtest.h>

#include <limits>

using namespace tv::engine;

namespace {

// A rowid for each position, odd ones far from the 32-bit range at chosen spots.
std::int64_t idAt(long pos) {
    switch (pos) {
        case 1023:
            return std::numeric_limits<std::int64_t>::min();
        case 1024:
            return std::numeric_limits<std::int64_t>::max();
        case 3071:
            return -1;
        case 3072:
            return std::int64_t{1} << 32;
        default:
            return (pos * 7919) % 100003;
    }
}

TEST(KeyArrayTest, RowidsReadBackInOrderAcrossBlockEdges) {
    // Sizes ending just before, on and after the first block edges (1024, 3072, 7168).
    for (long size : {0L, 1L, 1023L, 1024L, 1025L, 3072L, 3073L, 7169L}) {
        KeyArray keys;
        for (long pos = 0; pos < size; ++pos) keys.push_back(idAt(pos));
        ASSERT_EQ(keys.size(), size);
        for (long pos = 0; pos < size; ++pos)
            ASSERT_EQ(keys[pos], idAt(pos)) << size << " @" << pos;
        // Bookmarks made before a requery are found again by rowid.
        EXPECT_EQ(keys.indexOf(idAt(size - 1)), size - 1);
        EXPECT_EQ(keys.lastIndexOf(idAt(size / 2)), size ? size / 2 : -1);
    }
}

TEST(KeyArrayTest, DeletedMarksStayWithTheirRows) {
    KeyArray keys;
    for (long pos = 0; pos < 2000; ++pos) keys.push_back(pos);
    EXPECT_FALSE(keys.deleted(1500));
    EXPECT_EQ(keys.liveBefore(1500), 1500);
    keys.markDeleted(1023);
    keys.markDeleted(1024);
    keys.markDeleted(1024);  // twice counts once
    keys.push_back(2000);    // added after the marks were made
    keys.markDeleted(2000);
    EXPECT_EQ(keys.deletedCount(), 3);
    EXPECT_TRUE(keys.deleted(1023));
    EXPECT_FALSE(keys.deleted(1025));
    EXPECT_EQ(keys.liveBefore(1500), 1498);
    EXPECT_EQ(keys.liveBefore(2000), 1998);
    EXPECT_EQ(keys[2000], 2000);
}

}  // namespace
