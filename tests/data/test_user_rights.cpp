// Users and rights: stored access levels decoded into four rights (taken off from the
// largest down, Null and out-of-range values), every level written back as it was read,
// one user's levels read in any letter case, and the sign-in password check.
#include "common/data/shipped_fixture.h"
#include "core/format.h"
#include "data/app_state.h"
#include "data/user_rights.h"

namespace tvtest {
namespace {

using namespace tv::data;

TEST(AccessLevels, StoredLevelsDecodeIntoFourRights) {
    struct Case {
        tv::Variant level;
        bool add, edit, remove, view;
    };
    const Case cases[] = {{tv::Variant(std::int16_t{0}), false, false, false, false},
                          {tv::Variant(std::int16_t{1}), false, false, false, true},
                          {tv::Variant(std::int16_t{5}), false, true, false, true},
                          {tv::Variant(std::int16_t{6}), true, true, false, false},
                          {tv::Variant(std::int16_t{9}), false, false, true, true},
                          {tv::Variant(std::int16_t{15}), true, true, true, true},
                          // More than every right: the remainder after 8 still grants the rest.
                          {tv::Variant(std::int16_t{16}), true, true, true, true},
                          {tv::Variant(std::int16_t{24}), true, true, true, true},
                          {tv::Variant(std::int16_t{-3}), false, false, false, false},
                          {tv::Variant("5"), false, true, false, true},
                          {tv::Variant(), true, true, true, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(tv::Format(c.level).toStdString());
        const AccessEntry e = decodeAccessLevel("Quotations", c.level);
        EXPECT_EQ(e.TableName, "Quotations");
        EXPECT_EQ(e.CanAdd, c.add);
        EXPECT_EQ(e.CanEdit, c.edit);
        EXPECT_EQ(e.CanDelete, c.remove);
        EXPECT_EQ(e.CanView, c.view);
    }
    for (int level = 0; level <= 15; ++level) {
        const auto entry =
            decodeAccessLevel(QString(), tv::Variant(static_cast<std::int16_t>(level)));
        EXPECT_EQ(encodeAccessLevel(entry), level);
    }
}

using UserRightsTest = ShippedDatabasesTest;

TEST_F(UserRightsTest, UserAccessIsReadForOneUserInAnyLetterCase) {
    addUser("O'Brien");
    setAccess("O'Brien", "Customers", 0);
    setAccess("O'Brien", "Quotations", std::nullopt);
    setAccess("admin2", "Customers", 15);

    const auto entries = readUserAccess("o'brien");
    ASSERT_EQ(entries.size(), 2u);
    for (const auto& e : entries) {
        if (e.TableName == "Customers")
            EXPECT_FALSE(e.CanView);
        else
            EXPECT_TRUE(e.CanView && e.CanAdd && e.CanEdit && e.CanDelete);
    }
    EXPECT_TRUE(readUserAccess("nobody").empty());
}

TEST_F(UserRightsTest, ThePasswordIsComparedExactlyAndANullOneAcceptsAny) {
    execData({QStringLiteral("INSERT INTO [System Users] (USERID, [PASSWORD]) VALUES "
                             "('O''Brien', 'Secret')"),
              "INSERT INTO [System Users] (USERID) VALUES ('open')"});
    struct Case {
        const char* user;
        const char* password;
        PasswordCheck expected;
    };
    const Case cases[] = {{"O'Brien", "Secret", PasswordCheck::Accepted},
                          {"o'BRIEN", "Secret", PasswordCheck::Accepted},
                          {"O'Brien", "secret", PasswordCheck::WrongPassword},
                          {"O'Brien", "", PasswordCheck::WrongPassword},
                          {"open", "anything", PasswordCheck::Accepted},
                          {"nobody", "Secret", PasswordCheck::UnknownUser}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user + std::string(" / ") + c.password);
        state().CurrentUserId.clear();
        const QString user = QString::fromUtf8(c.user);
        EXPECT_EQ(checkUserPassword(user, QString::fromUtf8(c.password)), c.expected);
        EXPECT_EQ(state().CurrentUserId, c.expected == PasswordCheck::Accepted ? user : QString());
    }
    EXPECT_TRUE(ask.asked().empty()) << "the sign-in window says what was wrong";
}

}  // namespace
}  // namespace tvtest
