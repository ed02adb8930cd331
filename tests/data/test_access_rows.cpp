// Rows through the shared buffer: load, read one column, add, update, save and delete,
// with their failure messages.
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "data_fixture.h"

namespace tvtest {
namespace {

using namespace tv::data;

class RowsTest : public DataLayerTest {
protected:
    void SetUp() override {
        DataLayerTest::SetUp();
        execData({
            QStringLiteral("INSERT INTO [CUSTOMERS] VALUES ('Acme', 'York', 1234.5, True, "
                           "'Pays late', #2024-03-01 09:15:00#, 7, 'ann')"),
            QStringLiteral("INSERT INTO [CUSTOMERS] ([CUSTOMER NAME]) VALUES ('Bare')"),
            QStringLiteral("INSERT INTO [ACTIVITIES] VALUES ('Acme', #2026-12-05 10:00:00#, "
                           "'Call', 15)"),
        });
    }

    FieldValueArray& buffer() { return state().FieldValues; }
    QString& values(int n) { return state().FieldValues(n); }

    // Sets the buffer to exactly these texts, element 1 first.
    void fill(const QStringList& texts) { buffer().assign(texts); }

    QString cell(const QString& table, const QString& where, const QString& name) {
        const QStringList col =
            column(QStringLiteral("SELECT * FROM [%1] WHERE %2").arg(table, where), name);
        return col.isEmpty() ? QStringLiteral("(no row)") : col.first();
    }
};

TEST_F(RowsTest, LoadRecordFillsOneElementPerColumn) {
    ASSERT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("acme")));
    ASSERT_EQ(buffer().size(), 8);
    EXPECT_EQ(values(1), QStringLiteral("Acme"));
    EXPECT_EQ(values(2), QStringLiteral("York"));
    EXPECT_EQ(values(5), QStringLiteral("Pays late"));
    EXPECT_EQ(values(7), QStringLiteral("7"));
    EXPECT_EQ(values(8), QStringLiteral("ann"));

    ASSERT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("Bare")));
    for (int i = 2; i <= 8; ++i) EXPECT_TRUE(values(i).isEmpty()) << "Null column " << i;
}

TEST_F(RowsTest, LoadRecordMissEmptiesTheFirstElement) {
    ASSERT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("Acme")));
    EXPECT_FALSE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("Nobody")));
    EXPECT_TRUE(values(1).isEmpty());
}

TEST_F(RowsTest, LoadRecordFindsTwoColumnKeysFromTheDefinitions) {
    ASSERT_TRUE(
        LoadRecord(QStringLiteral("Messages"), QStringLiteral("105"), QString(), kDefinitionsDb));
    EXPECT_EQ(values(2), QStringLiteral("Title 105"));
    ASSERT_TRUE(LoadRecord(QStringLiteral("Activities"), QStringLiteral("Acme"),
                           QStringLiteral("05/12/2026 10:00:00")));
    EXPECT_EQ(values(3), QStringLiteral("Call"));
}

TEST_F(RowsTest, GetFieldTextFormatsByColumnType) {
    struct Case {
        const char* key;
        int column;
        const char* text;
    };
    const Case cases[] = {
        {"Acme", 1, "York"},
        {"Acme", 2, "1234.50"},              // currency
        {"Acme", 3, "-1"},                   // Boolean as a whole number
        {"Acme", 4, "Pays late"},            // memo
        {"Acme", 5, "01/03/2024 09:15:00"},  // General Date, day first
        {"Acme", 6, "7"},
        {"Bare", 2, ""},
        {"Bare", 5, ""},
        {"Nobody", 1, ""},
        {"Acme", 99, ""},  // no such column
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 column %2").arg(c.key).arg(c.column).toStdString());
        EXPECT_EQ(GetFieldText(QStringLiteral("Customers"), QString::fromUtf8(c.key), QString(),
                               c.column),
                  QString::fromUtf8(c.text));
    }
}

TEST_F(RowsTest, AddRecordWritesTheBufferWithEmptyTextsAsNull) {
    fill({QStringLiteral("O'Brien"), QStringLiteral("Cork"), QStringLiteral("10"), QString(),
          QString(), QStringLiteral("2025-01-31"), QString()});
    ASSERT_TRUE(AddRecord(QStringLiteral("Customers")));
    const QString where = QStringLiteral("[CUSTOMER NAME] = 'O''Brien'");
    EXPECT_EQ(cell(QStringLiteral("CUSTOMERS"), where, QStringLiteral("CITY")),
              QStringLiteral("Cork"));
    EXPECT_EQ(cell(QStringLiteral("CUSTOMERS"), where, QStringLiteral("NOTES")), QString());
    EXPECT_EQ(column(QStringLiteral("SELECT * FROM [CUSTOMERS] WHERE [CUSTOMER NAME] = "
                                    "'O''Brien' AND [NOTES] = Null"),
                     QStringLiteral("CITY")),
              QStringList{QStringLiteral("Cork")});
    EXPECT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("o'brien")));
}

TEST_F(RowsTest, AddRecordFailuresReportTheEngineErrorWhenAsked) {
    fill({QStringLiteral("Acme"), QStringLiteral("Elsewhere")});
    ask.message(msgbox::kOk, QStringLiteral("Text 105.\n\n"));
    EXPECT_FALSE(AddRecord(QStringLiteral("Customers")));
    ASSERT_EQ(ask.messages().size(), 1u);
    EXPECT_TRUE(ask.messages()[0].text.endsWith(QStringLiteral(" (3022)")))
        << qPrintable(ask.messages()[0].text);

    fill({QStringLiteral("Zed"), QString(), QStringLiteral("not money")});
    ask.message(msgbox::kOk, QStringLiteral("Text 105."));
    EXPECT_FALSE(AddRecord(QStringLiteral("Customers")));
    EXPECT_TRUE(ask.messages()[1].text.endsWith(QStringLiteral(" (13)")))
        << qPrintable(ask.messages()[1].text);

    EXPECT_FALSE(AddRecord(QStringLiteral("Customers"), false)) << "silent when not asked";
    EXPECT_EQ(cell(QStringLiteral("CUSTOMERS"), QStringLiteral("[CUSTOMER NAME] = 'Zed'"),
                   QStringLiteral("CITY")),
              QStringLiteral("(no row)"));
    // The failed attempts left no lock behind: a later add goes through.
    fill({QStringLiteral("Zed")});
    EXPECT_TRUE(AddRecord(QStringLiteral("Customers")));
}

TEST_F(RowsTest, UpdateRecordWithGivenKeysOrTheBuffersOwn) {
    ASSERT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("Acme")));
    values(2) = QStringLiteral("Hull");
    values(5) = QString();
    EXPECT_TRUE(UpdateRecord(QStringLiteral("Customers"), true, QStringLiteral("ACME"), QString()));
    EXPECT_EQ(cell(QStringLiteral("CUSTOMERS"), QStringLiteral("[CUSTOMER NAME] = 'Acme'"),
                   QStringLiteral("CITY")),
              QStringLiteral("Hull"));
    EXPECT_EQ(cell(QStringLiteral("CUSTOMERS"), QStringLiteral("[CUSTOMER NAME] = 'Acme'"),
                   QStringLiteral("NOTES")),
              QString());

    // Empty key 1: both key columns come from the buffer.
    ASSERT_TRUE(LoadRecord(QStringLiteral("Activities"), QStringLiteral("Acme"),
                           QStringLiteral("2026-12-05 10:00:00")));
    values(3) = QStringLiteral("Visit");
    EXPECT_TRUE(UpdateRecord(QStringLiteral("Activities"), true, QString(), QString()));
    EXPECT_EQ(cell(QStringLiteral("ACTIVITIES"), QStringLiteral("[CUSTOMER NAME] = 'Acme'"),
                   QStringLiteral("TYPE")),
              QStringLiteral("Visit"));
}

TEST_F(RowsTest, UpdateRecordOfAMissingRowOffersToAddIt) {
    fill({QStringLiteral("Newco"), QStringLiteral("Bath")});
    ask.message(msgbox::kNo, QStringLiteral("Text 107."));
    EXPECT_FALSE(UpdateRecord(QStringLiteral("Customers"), true, QString(), QString()));
    EXPECT_EQ(cell(QStringLiteral("CUSTOMERS"), QStringLiteral("[CUSTOMER NAME] = 'Newco'"),
                   QStringLiteral("CITY")),
              QStringLiteral("(no row)"));

    ask.message(msgbox::kYes, QStringLiteral("Text 107."));
    EXPECT_FALSE(UpdateRecord(QStringLiteral("Customers"), true, QString(), QString()))
        << "the result stays false even when the row is added";
    EXPECT_EQ(cell(QStringLiteral("CUSTOMERS"), QStringLiteral("[CUSTOMER NAME] = 'Newco'"),
                   QStringLiteral("CITY")),
              QStringLiteral("Bath"));
}

TEST_F(RowsTest, UpdateRecordFailureIsMessage106) {
    ASSERT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("Acme")));
    values(7) = QStringLiteral("many");
    ask.message(msgbox::kOk, QStringLiteral("Text 106.\n\n"));
    EXPECT_FALSE(
        UpdateRecord(QStringLiteral("Customers"), true, QStringLiteral("Acme"), QString()));
    EXPECT_EQ(cell(QStringLiteral("CUSTOMERS"), QStringLiteral("[CUSTOMER NAME] = 'Acme'"),
                   QStringLiteral("VISITS")),
              QStringLiteral("7"));
}

TEST_F(RowsTest, SaveRecordInsertsThenUpdatesByKey) {
    const QString table = QStringLiteral("System User Access");
    ASSERT_TRUE(SaveRecord(
        table, {QStringLiteral("ann"), QStringLiteral("Customers"), QStringLiteral("15")}, true));
    ASSERT_TRUE(SaveRecord(
        table, {QStringLiteral("ANN"), QStringLiteral("customers"), QStringLiteral("5")}, true));
    EXPECT_EQ(column(QStringLiteral("SELECT * FROM [System User Access]"), QStringLiteral("LEVEL")),
              QStringList{QStringLiteral("5")});
}

TEST_F(RowsTest, SaveRecordEmptyTextsByColumnType) {
    // Text and memo become Null, Boolean False, and other columns keep their value.
    ASSERT_TRUE(SaveRecord(
        QStringLiteral("Customers"),
        {QStringLiteral("Acme"), QString(), QString(), QString(), QString(), QString(), QString()},
        true));
    const QString where = QStringLiteral("[CUSTOMER NAME] = 'Acme'");
    const QString t = QStringLiteral("CUSTOMERS");
    EXPECT_EQ(cell(t, where, QStringLiteral("CITY")), QString());
    EXPECT_EQ(cell(t, where, QStringLiteral("NOTES")), QString());
    EXPECT_EQ(cell(t, where, QStringLiteral("SINCE")), QString());
    EXPECT_EQ(cell(t, where, QStringLiteral("ACTIVE")), QStringLiteral("False"));
    EXPECT_EQ(cell(t, where, QStringLiteral("CREDIT")), QStringLiteral("1234.5"));
    EXPECT_EQ(cell(t, where, QStringLiteral("VISITS")), QStringLiteral("7"));
    EXPECT_EQ(cell(t, where, QStringLiteral("OWNER")), QStringLiteral("ann")) << "past the values";
}

TEST_F(RowsTest, SaveRecordFailureIsMessage105) {
    ask.message(msgbox::kOk, QStringLiteral("Text 105.\n\n"));
    EXPECT_FALSE(SaveRecord(QStringLiteral("Products"), {QStringLiteral("x1")}, true));
    EXPECT_FALSE(SaveRecord(QStringLiteral("Products"), {QStringLiteral("x1")}, false));
}

TEST_F(RowsTest, DeleteAsksFirstAndHonoursNo) {
    ask.message(msgbox::kNo, QStringLiteral("Text 101.\n\nAcme\n\n"));
    EXPECT_FALSE(DeleteRecord(QStringLiteral("Customers"), QStringLiteral("Acme"), QString(),
                              QString(), true));
    EXPECT_EQ(cell(QStringLiteral("CUSTOMERS"), QStringLiteral("[CUSTOMER NAME] = 'Acme'"),
                   QStringLiteral("CITY")),
              QStringLiteral("York"));
    EXPECT_EQ(ask.messages()[0].text, QStringLiteral("Text 101.\n\nAcme\n\n"));
}

TEST_F(RowsTest, DeleteRunsTheCascadeWhileTheRowStillExists) {
    QStringList cascades;
    state().BeforeDelete = [&](const QString& table, const QString& k1, const QString& k2,
                               const QString& k3) {
        const bool stillThere = LoadRecord(table, k1, k2);
        cascades << QStringList{table, k1, k2, k3, stillThere ? "there" : "gone"}.join('|');
    };
    ask.message(msgbox::kYes, QStringLiteral("Text 101."));
    EXPECT_TRUE(DeleteRecord(QStringLiteral("SELECT * FROM [ACTIVITIES] WHERE [TYPE] = 'Call'"),
                             QStringLiteral("Acme"), QStringLiteral("2026-12-05 10:00:00"),
                             QString(), true));
    EXPECT_EQ(cascades, QStringList{QStringLiteral("ACTIVITIES|Acme|2026-12-05 10:00:00||there")});
    EXPECT_EQ(cell(QStringLiteral("ACTIVITIES"), QStringLiteral("[CUSTOMER NAME] = 'Acme'"),
                   QStringLiteral("TYPE")),
              QStringLiteral("(no row)"));
}

TEST_F(RowsTest, DeleteWithoutCascadeOrQuestion) {
    EXPECT_TRUE(DeleteRecord(QStringLiteral("Customers"), QStringLiteral("bare"), QString(),
                             QString(), false));
    EXPECT_EQ(column(QStringLiteral("SELECT * FROM [CUSTOMERS]"), QStringLiteral("CUSTOMER NAME")),
              QStringList{QStringLiteral("Acme")});
}

TEST_F(RowsTest, DeletingAMissingRowIsReportedWithItsKeys) {
    bool cascaded = false;
    state().BeforeDelete = [&](const QString&, const QString&, const QString&, const QString&) {
        cascaded = true;
    };
    ask.message(msgbox::kOk, QString(), QStringLiteral("Title 102"));
    EXPECT_FALSE(DeleteRecord(QStringLiteral("Activities"), QStringLiteral("Acme"),
                              QStringLiteral("2027-01-01 08:00:00"), QStringLiteral("x"), false));
    EXPECT_EQ(ask.messages()[0].text, QStringLiteral("Text 102.\n\nAcme\n2027-01-01 08:00:00\nx"));
    EXPECT_FALSE(cascaded);
}

}  // namespace
}  // namespace tvtest
