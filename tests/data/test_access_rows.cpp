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

    QString& values(int n) { return state().FieldValues(n); }
    void fill(const QStringList& texts) { state().FieldValues.assign(texts); }

    // Columns of one customer, joined by "|".
    QString customer(const QString& name, const QString& columns) {
        return row(QStringLiteral("SELECT %1 FROM [CUSTOMERS] WHERE [CUSTOMER NAME] = %2")
                       .arg(columns, tv::engine::quoteLiteral(name)));
    }
};

TEST_F(RowsTest, LoadRecordFillsOneElementPerColumnAndAMissEmptiesTheFirst) {
    ASSERT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("acme")));
    ASSERT_EQ(state().FieldValues.size(), 8);
    EXPECT_EQ(values(1), QStringLiteral("Acme"));
    EXPECT_EQ(values(5), QStringLiteral("Pays late"));
    EXPECT_EQ(values(7), QStringLiteral("7"));
    EXPECT_EQ(values(8), QStringLiteral("ann"));

    ASSERT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("Bare")));
    for (int i = 2; i <= 8; ++i) EXPECT_TRUE(values(i).isEmpty()) << "Null column " << i;

    EXPECT_FALSE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("Nobody")));
    EXPECT_TRUE(values(1).isEmpty());

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
    EXPECT_EQ(column(QStringLiteral("SELECT [CITY] FROM [CUSTOMERS] WHERE [CUSTOMER NAME] = "
                                    "'O''Brien' AND [NOTES] = Null AND [VISITS] = Null")),
              QStringList{QStringLiteral("Cork")});
}

TEST_F(RowsTest, AddRecordFailuresReportTheEngineErrorWhenAsked) {
    fill({QStringLiteral("Acme"), QStringLiteral("Elsewhere")});
    ask.message(msgbox::kOk, QStringLiteral("Text 105.\n\n"));
    EXPECT_FALSE(AddRecord(QStringLiteral("Customers")));
    EXPECT_TRUE(ask.messages().at(0).text.endsWith(QStringLiteral(" (3022)")));

    fill({QStringLiteral("Zed"), QString(), QStringLiteral("not money")});
    ask.message(msgbox::kOk, QStringLiteral("Text 105."));
    EXPECT_FALSE(AddRecord(QStringLiteral("Customers")));
    EXPECT_TRUE(ask.messages().at(1).text.endsWith(QStringLiteral(" (13)")));

    EXPECT_FALSE(AddRecord(QStringLiteral("Customers"), false)) << "silent when not asked";
    EXPECT_EQ(customer(QStringLiteral("Zed"), QStringLiteral("CITY")), QStringLiteral("<none>"));
    // The failed attempts left no lock behind: a later add goes through.
    fill({QStringLiteral("Zed")});
    EXPECT_TRUE(AddRecord(QStringLiteral("Customers")));
}

TEST_F(RowsTest, UpdateRecordWithGivenKeysOrTheBuffersOwn) {
    ASSERT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("Acme")));
    values(2) = QStringLiteral("Hull");
    values(5) = QString();
    EXPECT_TRUE(UpdateRecord(QStringLiteral("Customers"), true, QStringLiteral("ACME"), QString()));
    EXPECT_EQ(customer(QStringLiteral("Acme"), QStringLiteral("CITY, NOTES")),
              QStringLiteral("Hull|"));

    // Empty key 1: both key columns come from the buffer.
    ASSERT_TRUE(LoadRecord(QStringLiteral("Activities"), QStringLiteral("Acme"),
                           QStringLiteral("2026-12-05 10:00:00")));
    values(3) = QStringLiteral("Visit");
    EXPECT_TRUE(UpdateRecord(QStringLiteral("Activities"), true, QString(), QString()));
    EXPECT_EQ(column(QStringLiteral("SELECT [TYPE] FROM [ACTIVITIES]")),
              QStringList{QStringLiteral("Visit")});
}

TEST_F(RowsTest, UpdateRecordOfAMissingRowOffersToAddIt) {
    fill({QStringLiteral("Newco"), QStringLiteral("Bath")});
    ask.message(msgbox::kNo, QStringLiteral("Text 107."));
    EXPECT_FALSE(UpdateRecord(QStringLiteral("Customers"), true, QString(), QString()));
    EXPECT_EQ(customer(QStringLiteral("Newco"), QStringLiteral("CITY")), QStringLiteral("<none>"));

    ask.message(msgbox::kYes, QStringLiteral("Text 107."));
    EXPECT_FALSE(UpdateRecord(QStringLiteral("Customers"), true, QString(), QString()))
        << "the result stays false even when the row is added";
    EXPECT_EQ(customer(QStringLiteral("Newco"), QStringLiteral("CITY")), QStringLiteral("Bath"));
}

TEST_F(RowsTest, UpdateRecordFailureIsMessage106) {
    ASSERT_TRUE(LoadRecord(QStringLiteral("Customers"), QStringLiteral("Acme")));
    values(7) = QStringLiteral("many");
    ask.message(msgbox::kOk, QStringLiteral("Text 106.\n\n"));
    EXPECT_FALSE(
        UpdateRecord(QStringLiteral("Customers"), true, QStringLiteral("Acme"), QString()));
    EXPECT_EQ(customer(QStringLiteral("Acme"), QStringLiteral("VISITS")), QStringLiteral("7"));
}

TEST_F(RowsTest, SaveRecordInsertsThenUpdatesByKey) {
    const QString table = QStringLiteral("System User Access");
    ASSERT_TRUE(SaveRecord(
        table, {QStringLiteral("ann"), QStringLiteral("Customers"), QStringLiteral("15")}, true));
    ASSERT_TRUE(SaveRecord(
        table, {QStringLiteral("ANN"), QStringLiteral("customers"), QStringLiteral("5")}, true));
    EXPECT_EQ(column(QStringLiteral("SELECT [LEVEL] FROM [System User Access]")),
              QStringList{QStringLiteral("5")});

    ask.message(msgbox::kOk, QStringLiteral("Text 105.\n\n"));
    EXPECT_FALSE(SaveRecord(QStringLiteral("Products"), {QStringLiteral("x1")}, true));
    EXPECT_FALSE(SaveRecord(QStringLiteral("Products"), {QStringLiteral("x1")}, false));
}

TEST_F(RowsTest, SaveRecordEmptyTextsByColumnType) {
    // Texts and dates become Null, a Boolean False; memos, money and numbers keep theirs,
    // and so do the columns past the values.
    ASSERT_TRUE(SaveRecord(
        QStringLiteral("Customers"),
        {QStringLiteral("Acme"), QString(), QString(), QString(), QString(), QString(), QString()},
        true));
    EXPECT_EQ(customer(QStringLiteral("Acme"), QStringLiteral("CITY, SINCE, ACTIVE, NOTES, CREDIT, "
                                                              "VISITS, OWNER")),
              QStringLiteral("||False|Pays late|1234.5|7|ann"));
}

TEST_F(RowsTest, DeleteAsksFirstAndHonoursNo) {
    ask.message(msgbox::kNo, QStringLiteral("Text 101.\n\nAcme\n\n"));
    EXPECT_FALSE(DeleteRecord(QStringLiteral("Customers"), QStringLiteral("Acme"), QString(),
                              QString(), true));
    EXPECT_EQ(customer(QStringLiteral("Acme"), QStringLiteral("CITY")), QStringLiteral("York"));
    EXPECT_EQ(ask.messages()[0].text, QStringLiteral("Text 101.\n\nAcme\n\n"));
}

// The cascade is prepared while the row is there, writes inside the delete's transaction
// and finishes once the row is gone; a cascade step the engine refuses undoes it all.
TEST_F(RowsTest, DeleteAndItsCascadeAreOneChange) {
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "refused" : "committed");
        QStringList seen;
        auto present = [&] {
            return column(QStringLiteral("SELECT COUNT(*) FROM [ACTIVITIES]")).value(0);
        };
        state().BeforeDelete = [&](const QString& table, const QString& k1, const QString& k2,
                                   const QString& k3) {
            seen << QStringList{QStringLiteral("prepare"), table, k1, k2, k3, present()}.join('|');
            return DeleteCascade{[&] {
                                     state().DataDb.Execute(QStringLiteral(
                                         "UPDATE [CUSTOMERS] SET [CITY] = 'Tidied'"));
                                     if (refused)
                                         throw tv::engine::DbError(3260, QStringLiteral("Locked."));
                                 },
                                 [&] { seen << QStringLiteral("after|") + present(); }};
        };
        if (refused) ask.message(msgbox::kOk, QStringLiteral("Text 9040.\n\nLocked. (3260)"));
        EXPECT_EQ(DeleteRecord(QStringLiteral("SELECT * FROM [ACTIVITIES] WHERE [TYPE] = 'Call'"),
                               QStringLiteral("Acme"), QStringLiteral("2026-12-05 10:00:00"),
                               QString(), false),
                  !refused);
        const QString prepared = QStringLiteral("prepare|ACTIVITIES|Acme|2026-12-05 10:00:00||1");
        if (refused) {
            EXPECT_EQ(seen, QStringList{prepared});
            EXPECT_EQ(present(), QStringLiteral("1"));
            EXPECT_EQ(customer(QStringLiteral("Acme"), QStringLiteral("CITY")),
                      QStringLiteral("York"));
        } else {
            EXPECT_EQ(seen, (QStringList{prepared, QStringLiteral("after|0")}));
            EXPECT_EQ(customer(QStringLiteral("Acme"), QStringLiteral("CITY")),
                      QStringLiteral("Tidied"));
            // Put back for the refused round.
            execData({QStringLiteral("INSERT INTO [ACTIVITIES] VALUES ('Acme', "
                                     "#2026-12-05 10:00:00#, 'Call', 15)"),
                      QStringLiteral("UPDATE [CUSTOMERS] SET [CITY] = 'York'")});
        }
    }
}

TEST_F(RowsTest, DeletingAMissingRowIsReportedWithItsKeys) {
    bool cascaded = false;
    state().BeforeDelete = [&](const QString&, const QString&, const QString&, const QString&) {
        cascaded = true;
        return DeleteCascade{};
    };
    ask.message(msgbox::kOk, QString(), QStringLiteral("Title 102"));
    EXPECT_FALSE(DeleteRecord(QStringLiteral("Activities"), QStringLiteral("Acme"),
                              QStringLiteral("2027-01-01 08:00:00"), QStringLiteral("x"), false));
    EXPECT_EQ(ask.messages()[0].text, QStringLiteral("Text 102.\n\nAcme\n2027-01-01 08:00:00\nx"));
    EXPECT_FALSE(cascaded);
}

}  // namespace
}  // namespace tvtest
