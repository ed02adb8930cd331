// The mail indicator: -1 when there is no usable post office, 0 with nothing unread, 1
// with something unread; and never a question, as the main window polls it.
#include "post_office_fixture.h"

#include <QDir>
#include <functional>

namespace tvtest {
namespace {

using namespace tv::messaging;

struct UnreadCase {
    const char* name;
    std::function<void(PostOfficeTest&)> arrange;
    int expected;
};

void writeFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class UnreadStateCases : public PostOfficeTest, public ::testing::WithParamInterface<int> {};

const std::vector<UnreadCase>& cases() {
    static const std::vector<UnreadCase> all{
        {"NoPostOfficeConfigured",
         [](PostOfficeTest&) { tv::SaveSetting(tv::keys::PostOffice, QString()); }, -1},
        {"FolderWithoutTheFile",
         [](PostOfficeTest&) {
             tv::SaveSetting(tv::keys::PostOffice, QDir::tempPath() + "/no-such-post-office");
         },
         -1},
        {"DamagedFile",
         [](PostOfficeTest& t) {
             writeFile(t.postOffice(), QByteArray("This is not a database at all. ").repeated(200));
         },
         -1},
        {"DatabaseWithoutAnInbox",
         [](PostOfficeTest& t) {
             const QString path = t.postOffice();
             QFile::remove(path);
             tv::engine::Engine::instance().CreateDatabase(path).Close();
         },
         -1},
        {"EmptyInbox", [](PostOfficeTest&) {}, 0},
        {"OnlyAnotherUsersUnreadMail",
         [](PostOfficeTest& t) { t.deliver("mary", "admin", "", "x"); }, 0},
        {"ReadMailOnly",
         [](PostOfficeTest& t) {
             const int n = t.deliver("admin", "mary", "", "x");
             MarkRead(n);
         },
         0},
        {"UnreadMail", [](PostOfficeTest& t) { t.deliver("admin", "mary", "", "x"); }, 1},
        {"StatusWrittenInAnotherCase",
         [](PostOfficeTest& t) {
             const int n = t.deliver("admin", "mary", "", "x");
             tv::engine::Database db = tv::engine::Engine::instance().OpenDatabase(t.postOffice());
             db.Execute(
                 QStringLiteral("UPDATE INBOX SET STATUS = 'UNREAD' WHERE MSGNO = %1").arg(n));
             db.Close();
         },
         1},
    };
    return all;
}

TEST_P(UnreadStateCases, ForMary) {
    const UnreadCase& c = cases().at(static_cast<size_t>(GetParam()));
    c.arrange(*this);
    statuses.clear();
    const size_t askedBefore = ask.asked().size();
    tv::data::state().CurrentUserId = QStringLiteral("mary");
    EXPECT_EQ(UnreadState(), c.expected);
    EXPECT_EQ(ask.asked().size(), askedBefore) << "the indicator asked the user something";
}

INSTANTIATE_TEST_SUITE_P(Cases, UnreadStateCases,
                         ::testing::Range(0, static_cast<int>(cases().size())),
                         [](const auto& info) {
                             return std::string(cases().at(static_cast<size_t>(info.param)).name);
                         });

}  // namespace
}  // namespace tvtest
