// Form letters merged with a customer's records, and messages filed as the customer's
// activities with their attachments among the customer's files.
#include "messaging/filing.h"
#include "messaging/letter_merge.h"
#include "post_office_fixture.h"

#include <QDir>

namespace tvtest {
namespace {

using namespace tv::messaging;

class LetterFilingTest : public PostOfficeTest {
protected:
    void SetUp() override {
        PostOfficeTest::SetUp();
        tv::data::state().DataLocation = data.path();
        execData({"INSERT INTO CUSTOMERS ([CUSTOMER NAME], POSTALCITY) VALUES ('O''Brien & Co', 'Cork')",
                  "INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME], SALUTATION) "
                  "VALUES ('O''Brien & Co', 'Pat O''Brien', 'Pat')",
                  "UPDATE [System Users] SET TITLE = 'Boss', [EMAIL ADDRESS] = 'it@x.ie' WHERE USERID = 'admin'"});
    }
    MessageToFile message(const QStringList& files = {}) {
        MessageToFile m;
        m.customer = "O'Brien & Co";
        m.contact = "Pat O'Brien";
        m.received = tv::DateFromParts(2026, 3, 10, 9, 0, 0);
        m.sentVia = "Local";
        m.subject = "Toner";
        m.body = "<p>Body</p>";
        m.attachments = files;
        return m;
    }
};

TEST_F(LetterFilingTest, PlaceholdersTakeTheCustomersContactsAndUsersValues) {
    const QString letter =
        "Dear [Contacts:Salutation] of [Customers:Account Name], [customers:city]. "
        "[Quotations:Quote No]|[User Name], [Sales Rep Title], [User Email Address]";
    EXPECT_EQ(MergeLetter(letter, "O'Brien & Co", "Pat O'Brien", false),
              "Dear Pat of O'Brien & Co, Cork. |System Administrator, Boss, it@x.ie");
    EXPECT_EQ(MergeLetter("[Customers:Account Name]", "O'Brien & Co", "", true), "O'Brien &amp; Co");
    // Another customer's contact of the same name gives nothing.
    EXPECT_EQ(MergeLetter("[Contacts:Salutation]", "Someone Else", "Pat O'Brien", false), "");
}

TEST_F(LetterFilingTest, AFiledMessageIsAnActivityAtTheFirstFreeSecondWithItsFilesCopied) {
    const QString first = makeFile("Plan.pdf", "one");
    ASSERT_TRUE(FileMessage(message({first, files.file("Gone.pdf")})));
    QStringList filed, missing;
    ASSERT_TRUE(FileMessage(message({makeFile("Plan.pdf", "two")}), &filed, &missing));
    EXPECT_EQ(dataRows("SELECT [DATETIME], [ACTIVITY TYPE], DESCRIPTION, [CONTACT NAME], DURATION "
                       "FROM ACTIVITIES ORDER BY [DATETIME]"),
              (QStringList{"10/03/2026 09:00:00|Local Email|Toner|Pat O'Brien|0",
                           "10/03/2026 09:00:01|Local Email|Toner|Pat O'Brien|0"}));
    EXPECT_EQ(filed, QStringList{"Plan (2).pdf"});
    EXPECT_TRUE(missing.isEmpty());
    EXPECT_EQ(dataRows("SELECT FILEPATH, DESCRIPTION FROM [CUSTOMER ATTACHMENTS] ORDER BY [DATETIME]"),
              (QStringList{"Attachments/Plan.pdf|Message attachment",
                           "Attachments/Plan (2).pdf|Message attachment"}));
    QFile copy(data.folder().path() + "/Attachments/Plan (2).pdf");
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), "two");
}

TEST_F(LetterFilingTest, AMessageAboutNoKnownCustomerIsNotFiled) {
    MessageToFile m = message();
    m.customer = "Nobody Ltd";
    ask.message(tv::data::msgbox::kOk, "could not be found");
    EXPECT_FALSE(FileMessage(m));
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM ACTIVITIES"), "0");
}

TEST(FiledActivityType, TheWayAMessageCameChoosesItsType) {
    EXPECT_EQ(FiledActivityType("fax"), "Fax");
    EXPECT_EQ(FiledActivityType("Internet"), "Internet Email");
    EXPECT_EQ(FiledActivityType("Local"), "Local Email");
    EXPECT_EQ(FiledActivityType(""), "Local Email");
}

}  // namespace
}  // namespace tvtest
