// Users and rights: stored access levels decoded into four rights and written back, one
// user's levels read in any letter case, and the sign-in password check.
#include "common/data/shipped_fixture.h"
#include "data/app_state.h"
#include "data/user_rights.h"
#include "engine/engine.h"

#include <sodium.h>

namespace tvtest {
namespace {

using namespace tv::data;

// The rights as "add edit delete view", each a letter or "-".
QString rightsOf(const AccessEntry& e) {
    return QString(e.CanAdd ? "A" : "-") + (e.CanEdit ? "E" : "-") + (e.CanDelete ? "D" : "-") +
           (e.CanView ? "V" : "-");
}

// "level:rights" pairs: stored numbers, a text holding one ('5'), and Null; above every right
// the remainder after 8 still grants the rest.
TEST(AccessLevels, StoredLevelsDecodeIntoFourRightsAndBack) {
    const QString cases =
        "0:----; 1:---V; 5:-E-V; 6:AE--; 9:--DV; 15:AEDV; 16:AEDV; 24:AEDV; "
        "-3:----; '5':-E-V; Null:AEDV";
    for (const QString& c : cases.split("; ")) {
        const QString level = c.section(':', 0, 0);
        const tv::Variant stored = level == "Null" ? tv::Variant()
                                   : level.startsWith('\'')
                                       ? tv::Variant(level.mid(1, 1))
                                       : tv::Variant(std::int16_t(level.toInt()));
        const AccessEntry e = decodeAccessLevel("Quotations", stored);
        EXPECT_EQ(e.TableName + ":" + rightsOf(e), "Quotations:" + c.section(':', 1))
            << c.toStdString();
    }
    for (int level = 0; level <= 15; ++level) {
        const tv::Variant stored(static_cast<std::int16_t>(level));
        EXPECT_EQ(encodeAccessLevel(decodeAccessLevel(QString(), stored)), level);
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

// In order: readable passwords of an older file, a hash made with lower limits, Null.
TEST_F(UserRightsTest, PasswordsAreCheckedAgainstHashesAndReadableOnesAreHashedOnce) {
    char weak[crypto_pwhash_STRBYTES];
    ASSERT_EQ(crypto_pwhash_str(weak, "Weak", 4, crypto_pwhash_OPSLIMIT_MIN,
                                crypto_pwhash_MEMLIMIT_MIN),
              0);
    const QString insert = QStringLiteral("INSERT INTO [System Users] (USERID, [PASSWORD]) ");
    execData({insert + "VALUES ('O''Brien', 'Secret')",
              insert + "VALUES ('old', " + tv::engine::quoteLiteral(QString::fromLatin1(weak)) + ")",
              insert + "VALUES ('open', Null)"});
    const auto stored = [this](const char* user) {
        return dataValue(QStringLiteral("SELECT [PASSWORD] FROM [System Users] WHERE USERID = ") +
                         tv::engine::quoteLiteral(QString::fromUtf8(user)));
    };
    struct Case {
        const char* user;
        const char* password;
        PasswordCheck expected;
        bool hashedAfter;  // the row then holds a hash of today's limits
    };
    const Case cases[] = {
        {"O'Brien", "secret", PasswordCheck::WrongPassword, false},
        {"O'Brien", "", PasswordCheck::WrongPassword, false},
        {"o'BRIEN", "Secret", PasswordCheck::Accepted, true},
        {"O'Brien", "Secret", PasswordCheck::Accepted, true},
        {"O'Brien", "secret", PasswordCheck::WrongPassword, true},
        {"old", "weak", PasswordCheck::WrongPassword, false},
        {"old", weak, PasswordCheck::WrongPassword, false},  // the hash is no password
        {"old", "Weak", PasswordCheck::Accepted, true},
        {"open", "anything", PasswordCheck::Accepted, false},
        {"nobody", "Secret", PasswordCheck::UnknownUser, false},
    };
    QString obrienHash;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user + std::string(" / ") + c.password);
        state().CurrentUserId.clear();
        const QString user = QString::fromUtf8(c.user);
        EXPECT_EQ(checkUserPassword(user, QString::fromUtf8(c.password)), c.expected);
        EXPECT_EQ(state().CurrentUserId, c.expected == PasswordCheck::Accepted ? user : QString());
        const QString now = stored(c.user);
        EXPECT_EQ(isPasswordHash(now) && now != QLatin1String(weak), c.hashedAfter) << now.toStdString();
        if (c.hashedAfter && std::string(c.user) == "O'Brien") {
            // Hashed at the first sign-in, and left alone by the next ones.
            if (obrienHash.isEmpty()) obrienHash = now;
            EXPECT_EQ(now, obrienHash);
        }
    }
    EXPECT_TRUE(passwordMatchesHash("Secret", obrienHash));
    EXPECT_TRUE(stored("open").isEmpty());
    EXPECT_TRUE(ask.asked().empty()) << "the sign-in window says what was wrong";
}

}  // namespace
}  // namespace tvtest
