// The mail indicator beyond an ordinary inbox (which the conversation tests follow): the
// status compared ignoring case, and -1 without a word for every post office it cannot
// use, as the main window polls it.
#include "post_office_fixture.h"

#include <QDir>
#include <functional>

namespace tvtest {
namespace {

using namespace tv::messaging;

TEST_F(PostOfficeTest, UnreadStateIgnoresCaseAndIsMinusOneForAnUnusablePostOffice) {
    const int n = deliver("admin", "mary", "", "x");
    tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(postOffice());
    db.Execute(QStringLiteral("UPDATE INBOX SET STATUS = 'UNREAD' WHERE MSGNO = %1").arg(n));
    db.Close();
    tv::data::state().CurrentUserId = "mary";
    EXPECT_EQ(UnreadState(), 1);

    const auto unusable = [&](const char* what, const std::function<void()>& spoil) {
        SCOPED_TRACE(what);
        spoil();
        const size_t asked = ask.asked().size();
        EXPECT_EQ(UnreadState(), -1);
        EXPECT_EQ(ask.asked().size(), asked) << "the indicator asked the user something";
    };
    unusable("a database without an inbox", [&] {
        QFile::remove(postOffice());
        tv::engine::Engine::instance().CreateDatabase(postOffice()).Close();
    });
    unusable("a damaged file", [&] {
        QFile f(postOffice());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(QByteArray("This is not a database at all. ").repeated(200));
    });
    unusable("a folder without the file", [] {
        tv::SaveSetting(tv::keys::PostOffice, QDir::tempPath() + "/no-such-post-office");
    });
}

}  // namespace
}  // namespace tvtest
