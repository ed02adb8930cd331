// Two users writing to each other through the post office: delivering, listing, reading,
// marking read, passing on and deleting; and the outbox.
#include "post_office_fixture.h"

namespace tvtest {
namespace {

using namespace tv::messaging;
using tv::data::state;

TEST_F(PostOfficeTest, AMessageTravelsFromOneUserToAnotherAndOn) {
    const int n = deliver("admin", "mary", "O'Brien Ltd", "Call back");
    ASSERT_GT(n, 0);
    EXPECT_EQ(statuses, std::vector<int>{908});

    state().CurrentUserId = "mary";
    EXPECT_EQ(UnreadState(), 1);
    state().CurrentUserId = "admin";
    EXPECT_EQ(UnreadState(), 0);

    const QStringList line = inboxOf("mary").value(0).split(u'\t');
    ASSERT_EQ(line.size(), 5);
    EXPECT_EQ(line[0], QString::number(n));
    EXPECT_EQ(line[1],
              tv::Format(tv::Variant(tv::DateFromParts(2026, 3, 10, 9, 30, 0)), "General Date"));
    EXPECT_EQ(line.mid(2), (QStringList{"Local", "Unread", "O'Brien Ltd"}));
    EXPECT_EQ(headings, "No.\tReceived\tSent Via\tStatus\tCustomer");
    EXPECT_TRUE(inboxOf("admin").isEmpty());

    state().SharedValues[0] = QString::number(n);
    const std::optional<InboxMessage> m = ReadInboxMessage();
    ASSERT_TRUE(m.has_value());
    EXPECT_EQ(m->MessageNo, n);
    EXPECT_EQ(m->ToName, "Mary O'Neil");
    EXPECT_EQ(m->ToAddress, "Local");
    EXPECT_EQ(m->UserId, "mary");
    EXPECT_EQ(m->ContactName, "System Administrator");
    EXPECT_EQ(m->CustAddress, "admin");
    EXPECT_EQ(m->CustomerName, "O'Brien Ltd");
    EXPECT_EQ(m->SentVia, "Local");
    EXPECT_EQ(m->MsgSubject, "Call back");
    EXPECT_EQ(m->MessageText, "<p>Body</p>");
    EXPECT_TRUE(m->Attachments.isEmpty());

    ASSERT_TRUE(MarkRead(n));
    state().CurrentUserId = "mary";
    EXPECT_EQ(UnreadState(), 0);
    EXPECT_EQ(inboxOf("mary").value(0).section(u'\t', 3, 3), "Read");

    // Passed back to the sender: unread again, still addressed to its first recipient.
    ASSERT_TRUE(Reassign(n, "admin"));
    EXPECT_TRUE(inboxOf("mary").isEmpty());
    state().CurrentUserId = "admin";
    EXPECT_EQ(UnreadState(), 1);
    EXPECT_EQ(ReadInboxMessage(n)->ToName, "Mary O'Neil");

    ASSERT_TRUE(DeleteMessage("inbox", n));
    EXPECT_TRUE(inboxOf("admin").isEmpty());
    EXPECT_FALSE(ReadInboxMessage(n).has_value());
    EXPECT_FALSE(MarkRead(n));
    EXPECT_FALSE(Reassign(n, "mary"));
}

TEST_F(PostOfficeTest, MessageNumbersAreDistinctAndListsAreOldestFirst) {
    const int first = deliver("admin", "mary", "Acme", "One");
    ask.setNow(tv::DateFromParts(2026, 3, 9, 9, 0, 0));  // an earlier clock on another desk
    const int second = deliver("mary", "mary", QString(), "Two");
    ASSERT_GT(first, 0);
    ASSERT_NE(first, second);

    const QStringList mine = inboxOf("mary");
    ASSERT_EQ(mine.size(), 2);
    EXPECT_EQ(mine[0].section(u'\t', 0, 0), QString::number(second));
    EXPECT_EQ(mine[0].section(u'\t', 4, 4), "Unknown");  // no customer
    EXPECT_TRUE(inboxOf("admin").isEmpty());
    EXPECT_EQ(inboxOf("admin", true).size(), 2);
    // Without a recipient nothing is written.
    EXPECT_EQ(deliver("admin", QString(), "Acme", "Lost"), 0);
    EXPECT_EQ(rows("SELECT COUNT(*) FROM INBOX"), QStringList{"2"});
}

// Each kind is queued under its name, with no status of its own; the outbox lists its
// customer as it is (empty, not "Unknown") and only the user's messages unless asked.
TEST_F(PostOfficeTest, QueuedMessagesKeepTheirKindAndAreListedAsTheyAre) {
    state().CurrentUserId = "mary";
    for (const auto& [kind, outref] : {std::pair{kSendEmail, ""}, std::pair{kSendInternet, "REF-7"},
                                       std::pair{kSendFax, ""}, std::pair{9, "x"}})
        ASSERT_TRUE(QueueOutbound(kind, 1, outref, "Pat O'Hara", "O'Brien Ltd", "pat@example.com",
                                  "Quote", "Text", {}));
    EXPECT_EQ(rows("SELECT OUTREF, SENDVIA FROM OUTBOX ORDER BY MSGNO"),
              (QStringList{"|Email", "REF-7|Internet", "|Fax", "x|Fax"}));
    EXPECT_EQ(rows("SELECT PRIORITY, USERID, FROMNAME, TOCONTACT, COMPANY, TOADDRESS, SUBJECT, "
                   "MESSAGETEXT, HASATTACHMENTS, STATUS FROM OUTBOX WHERE MSGNO = 1"),
              QStringList{"1|mary|Mary O'Neil|Pat O'Hara|O'Brien Ltd|pat@example.com|Quote|Text|"
                          "False|Queued"});
    EXPECT_TRUE(statuses.empty()) << "queueing shows no status of its own";

    state().CurrentUserId = "admin";
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(), "a@example.com", "S",
                              QString(), {}));
    tv::data::StringListSink list;
    ASSERT_TRUE(ListOutbox(list, &headings, false));
    ASSERT_EQ(list.items.size(), 1);
    EXPECT_EQ(list.items[0].split(u'\t').mid(2), (QStringList{"Email", "Queued", ""}));
    EXPECT_EQ(headings, "No.\tSent\tSend Via\tStatus\tCustomer");
    ASSERT_TRUE(ListOutbox(list, nullptr, true));
    ASSERT_EQ(list.items.size(), 5);
    EXPECT_TRUE(list.items.join('\n').contains("\tFax\tQueued\tO'Brien Ltd"));
}

TEST_F(PostOfficeTest, DeletingAnOutboxMessageTakesItsAttachmentRowsDeleteMessageLeavesThem) {
    const QStringList attachment{makeFile("quote.pdf")};
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(), "a@example.com", "A",
                              QString(), attachment));
    ASSERT_TRUE(QueueOutbound(kSendEmail, 0, QString(), QString(), QString(), "b@example.com", "B",
                              QString(), attachment));
    const QStringList numbers = rows("SELECT MSGNO FROM OUTBOX ORDER BY MSGNO");
    ASSERT_EQ(numbers.size(), 2);

    ASSERT_TRUE(DeleteOutboxMessage(numbers[0].toInt()));
    EXPECT_EQ(statuses, std::vector<int>{909});
    ASSERT_TRUE(DeleteMessage("Outbox", numbers[1].toInt()));
    EXPECT_TRUE(rows("SELECT * FROM OUTBOX").isEmpty());
    EXPECT_EQ(rows("SELECT MSGNO FROM [OUTBOX ATTACHMENTS]"), QStringList{numbers[1]});

    // Only the two boxes are named; a number not there is nothing to do.
    EXPECT_FALSE(DeleteMessage("Outbox Attachments", numbers[1].toInt()));
    EXPECT_FALSE(DeleteMessage("System Users", 1));
    EXPECT_TRUE(DeleteMessage("OUTBOX", 12345));
    EXPECT_EQ(rows("SELECT COUNT(*) FROM [OUTBOX ATTACHMENTS]"), QStringList{"1"});
}

TEST_F(PostOfficeTest, WithoutAPostOfficeTheBoxesAreLeftAloneAndNothingIsAsked) {
    tv::SaveSetting(tv::keys::PostOffice, QString());
    tv::data::StringListSink list;
    list.items = QStringList{"earlier line"};
    EXPECT_FALSE(ListInbox(list, &headings, true));
    EXPECT_FALSE(ListOutbox(list, &headings, true));
    EXPECT_EQ(list.items, QStringList{"earlier line"});
    EXPECT_EQ(UnreadState(), -1);
    state().SharedValues[0] = "1";
    EXPECT_FALSE(ReadInboxMessage().has_value());
    EXPECT_FALSE(MarkRead(1));
    EXPECT_FALSE(Reassign(1, "mary"));
    EXPECT_FALSE(DeleteMessage("Inbox", 1));
    EXPECT_FALSE(DeleteOutboxMessage(1));
    EXPECT_TRUE(AttachmentPath("a.txt").isEmpty());
    EXPECT_FALSE(OpenAttachment("a.txt"));
    EXPECT_TRUE(ask.asked().empty());
    EXPECT_TRUE(statuses.empty());
}

}  // namespace
}  // namespace tvtest
