// Access levels as stored numbers: every right taken off from the largest down, Null and
// out-of-range values, and the level written back for each combination of rights.
#include "adminforms/admin_fixture.h"

#include "core/format.h"
#include "forms/admin/access_levels.h"

namespace tvtest {
namespace {

using tv::forms::decodeAccessLevel;
using tv::forms::encodeAccessLevel;

TEST(AccessLevels, StoredLevelsDecodeIntoFourRights) {
    struct Case {
        tv::Variant level;
        bool add, edit, remove, view;
    };
    const Case cases[] = {
        {tv::Variant(std::int16_t{0}), false, false, false, false},
        {tv::Variant(std::int16_t{1}), false, false, false, true},
        {tv::Variant(std::int16_t{5}), false, true, false, true},
        {tv::Variant(std::int16_t{6}), true, true, false, false},
        {tv::Variant(std::int16_t{9}), false, false, true, true},
        {tv::Variant(std::int16_t{15}), true, true, true, true},
        // More than every right: the remainder after 8 still grants the rest.
        {tv::Variant(std::int16_t{16}), true, true, true, true},
        {tv::Variant(std::int16_t{24}), true, true, true, true},
        {tv::Variant(std::int16_t{-3}), false, false, false, false},
        {tv::Variant(QStringLiteral("5")), false, true, false, true},
        {tv::Variant(), true, true, true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(tv::Format(c.level).toStdString());
        const tv::data::AccessEntry e = decodeAccessLevel(QStringLiteral("Quotations"), c.level);
        EXPECT_EQ(e.TableName, QStringLiteral("Quotations"));
        EXPECT_EQ(e.CanAdd, c.add);
        EXPECT_EQ(e.CanEdit, c.edit);
        EXPECT_EQ(e.CanDelete, c.remove);
        EXPECT_EQ(e.CanView, c.view);
    }
}

TEST(AccessLevels, EveryCombinationOfRightsStoresAndReadsBack) {
    for (int level = 0; level <= 15; ++level) {
        const auto entry =
            decodeAccessLevel(QString(), tv::Variant(static_cast<std::int16_t>(level)));
        EXPECT_EQ(encodeAccessLevel(entry), level);
    }
}

TEST_F(AdminFormsTest, UserAccessIsReadForOneUserInAnyLetterCase) {
    addUser(QStringLiteral("O'Brien"));
    setAccess(QStringLiteral("O'Brien"), QStringLiteral("Customers"), 0);
    setAccess(QStringLiteral("O'Brien"), QStringLiteral("Quotations"), std::nullopt);
    setAccess(QStringLiteral("admin2"), QStringLiteral("Customers"), 15);

    const auto entries = tv::forms::readUserAccess(QStringLiteral("o'brien"));
    ASSERT_EQ(entries.size(), 2u);
    for (const auto& e : entries) {
        if (e.TableName == QStringLiteral("Customers"))
            EXPECT_FALSE(e.CanView);
        else
            EXPECT_TRUE(e.CanView && e.CanAdd && e.CanEdit && e.CanDelete);
    }
    EXPECT_TRUE(tv::forms::readUserAccess(QStringLiteral("nobody")).empty());
}

}  // namespace
}  // namespace tvtest
