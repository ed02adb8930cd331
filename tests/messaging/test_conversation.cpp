// Two users writing to each other through the post office: delivering, listing, reading,
// marking read, passing on and deleting; and the outbox.
#include "post_office_fixture.h"

namespace tvtest {
namespace {

using namespace tv::messaging;
using tv::data::state;

TEST_F(PostOfficeTest, AMessageTravelsFromOneUserToAnotherAndOn) {
    const int n =
        deliver("admin", "mary", QStringLiteral("O'Brien Ltd"), QStringLiteral("Call back"));
    ASSERT_GT(n, 0);
    EXPECT_EQ(statuses, std::vector<int>{908});

    state().CurrentUserId = QStringLiteral("mary");
    EXPECT_EQ(UnreadState(), 1);
    state().CurrentUserId = QStringLiteral("admin");
    EXPECT_EQ(UnreadState(), 0);

    const QStringList line = inboxOf("mary").value(0).split(u'\t');
    ASSERT_EQ(line.size(), 5);
    EXPECT_EQ(line[0], QString::number(n));
    EXPECT_EQ(line[1], tv::Format(tv::Variant(tv::DateFromParts(2026, 3, 10, 9, 30, 0)),
                                  QStringLiteral("General Date")));
    EXPECT_EQ(line.mid(2), (QStringList{"Local", "Unread", "O'Brien Ltd"}));
    EXPECT_EQ(headings, QStringLiteral("No.\tReceived\tSent Via\tStatus\tCustomer"));
    EXPECT_TRUE(inboxOf("admin").isEmpty());

    state().SharedValues[0] = QString::number(n);
    const std::optional<InboxMessage> m = ReadInboxMessage();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->MessageNo, n);
    EXPECT_EQ(m->ToName, QStringLiteral("Mary O'Neil"));
    EXPECT_EQ(m->ToAddress, QStringLiteral("Local"));
    EXPECT_EQ(m->UserId, QStringLiteral("mary"));
    EXPECT_EQ(m->ContactName, QStringLiteral("System Administrator"));
    EXPECT_EQ(m->CustAddress, QStringLiteral("admin"));
    EXPECT_EQ(m->CustomerName, QStringLiteral("O'Brien Ltd"));
    EXPECT_EQ(m->SentVia, QStringLiteral("Local"));
    EXPECT_EQ(m->MsgSubject, QStringLiteral("Call back"));
    EXPECT_EQ(m->MessageText, QStringLiteral("<p>Body</p>"));
    EXPECT_TRUE(m->Attachments.isEmpty());

    ASSERT_TRUE(MarkRead(n));
    state().CurrentUserId = QStringLiteral("mary");
    EXPECT_EQ(UnreadState(), 0);
    EXPECT_EQ(inboxOf("mary").value(0).section(u'\t', 3, 3), QStringLiteral("Read"));

    // Passed back to the sender: unread again, still addressed to its first recipient.
    ASSERT_TRUE(Reassign(n, QStringLiteral("admin")));
    EXPECT_TRUE(inboxOf("mary").isEmpty());
    state().CurrentUserId = QStringLiteral("admin");
    EXPECT_EQ(UnreadState(), 1);
    EXPECT_EQ(ReadInboxMessage(n)->ToName, QStringLiteral("Mary O'Neil"));

    ASSERT_TRUE(DeleteMessage(QStringLiteral("inbox"), n));
    EXPECT_TRUE(inboxOf("admin").isEmpty());
    EXPECT_FALSE(ReadInboxMessage(n).has_value());
    EXPECT_FALSE(MarkRead(n));
    EXPECT_FALSE(Reassign(n, QStringLiteral("mary")));
}

TEST_F(PostOfficeTest, MessageNumbersAreDistinctAndListsAreOldestFirst) {
    const int first = deliver("admin", "mary", QStringLiteral("Acme"), QStringLiteral("One"));
    ask.setNow(tv::DateFromParts(2026, 3, 9, 9, 0, 0));  // an earlier clock on another desk
    const int second = deliver("mary", "mary", QString(), QStringLiteral("Two"));
    ASSERT_GT(first, 0);
    ASSERT_NE(first, second);

    const QStringList mine = inboxOf("mary");
    ASSERT_EQ(mine.size(), 2);
    EXPECT_EQ(mine[0].section(u'\t', 0, 0), QString::number(second));
    EXPECT_EQ(mine[0].section(u'\t', 4, 4), QStringLiteral("Unknown"));  // no customer
    EXPECT_TRUE(inboxOf("admin").isEmpty());
    EXPECT_EQ(inboxOf("admin", true).size(), 2);
}

TEST_F(PostOfficeTest, DeliveringWithoutARecipientWritesNothing) {
    EXPECT_EQ(deliver("admin", QString(), QStringLiteral("Acme"), QStringLiteral("Lost")), 0);
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM INBOX")), QStringList{"0"});
}

struct QueueCase {
    int kind;
    const char* sendVia;
    const char* outref;
};

class QueueOutboundKinds : public PostOfficeTest,
                           public ::testing::WithParamInterface<QueueCase> {};

TEST_P(QueueOutboundKinds, QueueOneRowWithTheKindsName) {
    const QueueCase& c = GetParam();
    state().CurrentUserId = QStringLiteral("mary");
    ASSERT_TRUE(QueueOutbound(c.kind, 1, QString::fromUtf8(c.outref), QStringLiteral("Pat O'Hara"),
                              QStringLiteral("O'Brien Ltd"), QStringLiteral("pat@example.com"),
                              QStringLiteral("Quote"), QStringLiteral("Text"), {}));
    EXPECT_EQ(rows(QStringLiteral("SELECT OUTREF, PRIORITY, USERID, FROMNAME, TOCONTACT, COMPANY, "
                                  "TOADDRESS, SENDVIA, SUBJECT, MESSAGETEXT, HASATTACHMENTS, "
                                  "STATUS FROM OUTBOX")),
              QStringList{QStringLiteral("%1|1|mary|Mary O'Neil|Pat O'Hara|O'Brien Ltd|"
                                         "pat@example.com|%2|Quote|Text|False|Queued")
                              .arg(*c.outref ? c.outref : "-", c.sendVia)});
    EXPECT_TRUE(statuses.empty()) << "queueing shows no status of its own";
}

INSTANTIATE_TEST_SUITE_P(Kinds, QueueOutboundKinds,
                         ::testing::Values(QueueCase{kSendEmail, "Email", ""},
                                           QueueCase{kSendInternet, "Internet", "REF-7"},
                                           QueueCase{kSendFax, "Fax", ""},
                                           QueueCase{9, "Fax", "x"}));

TEST_F(PostOfficeTest, TheOutboxListsItsCustomerAsItIs) {
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(),
                              QStringLiteral("a@example.com"), QStringLiteral("S"), QString(), {}));
    state().CurrentUserId = QStringLiteral("mary");
    ASSERT_TRUE(QueueOutbound(kSendFax, 0, QString(), QString(), QStringLiteral("Acme"),
                              QStringLiteral("555"), QStringLiteral("S"), QString(), {}));

    tv::data::StringListSink list;
    ASSERT_TRUE(ListOutbox(list, &headings, false));
    ASSERT_EQ(list.items.size(), 1);
    EXPECT_EQ(list.items[0].split(u'\t').mid(2), (QStringList{"Fax", "Queued", "Acme"}));
    EXPECT_EQ(headings, QStringLiteral("No.\tSent\tSend Via\tStatus\tCustomer"));

    ASSERT_TRUE(ListOutbox(list, nullptr, true));
    ASSERT_EQ(list.items.size(), 2);
    EXPECT_EQ(list.items[0].split(u'\t').mid(2), (QStringList{"Email", "Queued", ""}));
}

TEST_F(PostOfficeTest, DeletingAnOutboxMessageTakesItsAttachmentRowsDeleteMessageLeavesThem) {
    const QStringList attachment{makeFile(QStringLiteral("quote.pdf"))};
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(),
                              QStringLiteral("a@example.com"), QStringLiteral("A"), QString(),
                              attachment));
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(),
                              QStringLiteral("b@example.com"), QStringLiteral("B"), QString(),
                              attachment));
    const QStringList numbers = rows(QStringLiteral("SELECT MSGNO FROM OUTBOX ORDER BY MSGNO"));
    ASSERT_EQ(numbers.size(), 2);

    ASSERT_TRUE(DeleteOutboxMessage(numbers[0].toInt()));
    EXPECT_EQ(statuses, std::vector<int>{909});
    ASSERT_TRUE(DeleteMessage(QStringLiteral("Outbox"), numbers[1].toInt()));
    EXPECT_TRUE(rows(QStringLiteral("SELECT * FROM OUTBOX")).isEmpty());
    EXPECT_EQ(rows(QStringLiteral("SELECT MSGNO FROM [OUTBOX ATTACHMENTS]")),
              QStringList{numbers[1]});
}

TEST_F(PostOfficeTest, DeleteMessageNamesOnlyTheTwoBoxes) {
    ASSERT_GT(deliver("admin", "mary", QString(), QStringLiteral("Keep")), 0);
    EXPECT_FALSE(DeleteMessage(QStringLiteral("Inbox Attachments"), 1));
    EXPECT_FALSE(DeleteMessage(QStringLiteral("System Users"), 1));
    EXPECT_TRUE(DeleteMessage(QStringLiteral("OUTBOX"), 12345));  // not there: nothing to do
    EXPECT_EQ(rows(QStringLiteral("SELECT COUNT(*) FROM INBOX")), QStringList{"1"});
}

TEST_F(PostOfficeTest, WithoutAPostOfficeTheBoxesAreLeftAloneAndNothingIsAsked) {
    tv::SaveSetting(tv::keys::PostOffice, QString());
    tv::data::StringListSink list;
    list.items = QStringList{"earlier line"};
    EXPECT_FALSE(ListInbox(list, &headings, true));
    EXPECT_FALSE(ListOutbox(list, &headings, true));
    EXPECT_EQ(list.items, QStringList{"earlier line"});
    EXPECT_EQ(UnreadState(), -1);
    state().SharedValues[0] = QStringLiteral("1");
    EXPECT_FALSE(ReadInboxMessage().has_value());
    EXPECT_FALSE(MarkRead(1));
    EXPECT_FALSE(Reassign(1, QStringLiteral("mary")));
    EXPECT_FALSE(DeleteMessage(QStringLiteral("Inbox"), 1));
    EXPECT_FALSE(DeleteOutboxMessage(1));
    EXPECT_TRUE(AttachmentPath(QStringLiteral("a.txt")).isEmpty());
    EXPECT_FALSE(OpenAttachment(QStringLiteral("a.txt")));
    EXPECT_TRUE(ask.asked().empty());
    EXPECT_TRUE(statuses.empty());
}

}  // namespace
}  // namespace tvtest
