// Rows through the shared buffer: load, read a column, add, update, save, delete; failures.
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
            "INSERT INTO [CUSTOMERS] ([CUSTOMER NAME]) VALUES ('Bare')",
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
    ASSERT_TRUE(LoadRecord("Customers", "acme"));
    ASSERT_EQ(state().FieldValues.size(), 8);
    EXPECT_EQ(values(1), "Acme");
    EXPECT_EQ(values(5), "Pays late");
    EXPECT_EQ(values(7), "7");
    EXPECT_EQ(values(8), "ann");

    ASSERT_TRUE(LoadRecord("Customers", "Bare"));
    for (int i = 2; i <= 8; ++i) EXPECT_TRUE(values(i).isEmpty()) << "Null column " << i;

    EXPECT_FALSE(LoadRecord("Customers", "Nobody"));
    EXPECT_TRUE(values(1).isEmpty());

    ASSERT_TRUE(LoadRecord("Messages", "105", QString(), kDefinitionsDb));
    EXPECT_EQ(values(2), "Title 105");
    ASSERT_TRUE(LoadRecord("Activities", "Acme", "05/12/2026 10:00:00"));
    EXPECT_EQ(values(3), "Call");
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
        {"Acme", 99, ""}  // no such column
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(QStringLiteral("%1 column %2").arg(c.key).arg(c.column).toStdString());
        EXPECT_EQ(GetFieldText("Customers", QString::fromUtf8(c.key), QString(), c.column),
                  QString::fromUtf8(c.text));
    }
}

TEST_F(RowsTest, AddRecordWritesTheBufferAndReportsFailuresWhenAsked) {
    fill({"O'Brien", "Cork", "10", QString(), QString(), "2025-01-31", QString()});
    ASSERT_TRUE(AddRecord("Customers"));
    EXPECT_EQ(column("SELECT [CITY] FROM [CUSTOMERS] WHERE [CUSTOMER NAME] = 'O''Brien' AND "
                     "[NOTES] = Null AND [VISITS] = Null"),
              QStringList{"Cork"})
        << "empty texts are written as Null";

    fill({"Acme", "Elsewhere"});
    ask.message(msgbox::kOk, "Text 105.\n\n");
    EXPECT_FALSE(AddRecord("Customers"));
    EXPECT_TRUE(ask.messages().at(0).text.endsWith(" (3022)"));

    fill({"Zed", QString(), "not money"});
    ask.message(msgbox::kOk, "Text 105.");
    EXPECT_FALSE(AddRecord("Customers"));
    EXPECT_TRUE(ask.messages().at(1).text.endsWith(" (13)"));

    EXPECT_FALSE(AddRecord("Customers", false)) << "silent when not asked";
    EXPECT_EQ(customer("Zed", "CITY"), "<none>");
    // The failed attempts left no lock behind: a later add goes through.
    fill({"Zed"});
    EXPECT_TRUE(AddRecord("Customers"));
}

TEST_F(RowsTest, UpdateRecordWithGivenKeysOrTheBuffersOwnAndItsFailure) {
    ASSERT_TRUE(LoadRecord("Customers", "Acme"));
    values(2) = "Hull";
    values(5) = QString();
    EXPECT_TRUE(UpdateRecord("Customers", true, "ACME", QString()));
    EXPECT_EQ(customer("Acme", "CITY, NOTES"), "Hull|");

    // Empty key 1: both key columns come from the buffer.
    ASSERT_TRUE(LoadRecord("Activities", "Acme", "2026-12-05 10:00:00"));
    values(3) = "Visit";
    EXPECT_TRUE(UpdateRecord("Activities", true, QString(), QString()));
    EXPECT_EQ(column("SELECT [TYPE] FROM [ACTIVITIES]"), QStringList{"Visit"});

    ASSERT_TRUE(LoadRecord("Customers", "Acme"));
    values(7) = "many";
    ask.message(msgbox::kOk, "Text 106.\n\n");
    EXPECT_FALSE(UpdateRecord("Customers", true, "Acme", QString()));
    EXPECT_EQ(customer("Acme", "VISITS"), "7");
}

TEST_F(RowsTest, UpdateRecordOfAMissingRowOffersToAddIt) {
    fill({"Newco", "Bath"});
    ask.message(msgbox::kNo, "Text 107.");
    EXPECT_FALSE(UpdateRecord("Customers", true, QString(), QString()));
    EXPECT_EQ(customer("Newco", "CITY"), "<none>");

    ask.message(msgbox::kYes, "Text 107.");
    EXPECT_FALSE(UpdateRecord("Customers", true, QString(), QString()))
        << "the result stays false even when the row is added";
    EXPECT_EQ(customer("Newco", "CITY"), "Bath");
}

TEST_F(RowsTest, SaveRecordInsertsThenUpdatesByKey) {
    const QString table = "System User Access";
    ASSERT_TRUE(SaveRecord(table, {"ann", "Customers", "15"}, true));
    ASSERT_TRUE(SaveRecord(table, {"ANN", "customers", "5"}, true));
    EXPECT_EQ(column("SELECT [LEVEL] FROM [System User Access]"), QStringList{"5"});

    ask.message(msgbox::kOk, "Text 105.\n\n");
    EXPECT_FALSE(SaveRecord("Products", {"x1"}, true));
    EXPECT_FALSE(SaveRecord("Products", {"x1"}, false));
}

TEST_F(RowsTest, SaveRecordEmptyTextsByColumnType) {
    // Texts and dates become Null, a Boolean False; memos, money and numbers keep theirs,
    // and so do the columns past the values.
    ASSERT_TRUE(SaveRecord(
        "Customers", {"Acme", QString(), QString(), QString(), QString(), QString(), QString()},
        true));
    EXPECT_EQ(customer("Acme", QStringLiteral("CITY, SINCE, ACTIVE, NOTES, CREDIT, "
                                              "VISITS, OWNER")),
              "||False|Pays late|1234.5|7|ann");
}

TEST_F(RowsTest, DeleteAsksFirstAndHonoursNo) {
    ask.message(msgbox::kNo, "Text 101.\n\nAcme\n\n");
    EXPECT_FALSE(DeleteRecord("Customers", "Acme", QString(), QString(), true));
    EXPECT_EQ(customer("Acme", "CITY"), "York");
    EXPECT_EQ(ask.messages()[0].text, "Text 101.\n\nAcme\n\n");
}

// The cascade is prepared while the row is there, writes inside the delete's transaction
// and finishes once the row is gone; a cascade step the engine refuses undoes it all.
TEST_F(RowsTest, DeleteAndItsCascadeAreOneChange) {
    for (const bool refused : {false, true}) {
        SCOPED_TRACE(refused ? "refused" : "committed");
        QStringList seen;
        auto present = [&] { return column("SELECT COUNT(*) FROM [ACTIVITIES]").value(0); };
        state().BeforeDelete = [&](const QString& table, const QString& k1, const QString& k2,
                                   const QString& k3) {
            seen << QStringList{"prepare", table, k1, k2, k3, present()}.join('|');
            return DeleteCascade{[&] {
                                     state().DataDb.Execute(QStringLiteral(
                                         "UPDATE [CUSTOMERS] SET [CITY] = 'Tidied'"));
                                     if (refused) throw tv::engine::DbError(3260, "Locked.");
                                 },
                                 [&] { seen << "after|" + present(); }};
        };
        if (refused) ask.message(msgbox::kOk, "Text 9040.\n\nLocked. (3260)");
        EXPECT_EQ(DeleteRecord("SELECT * FROM [ACTIVITIES] WHERE [TYPE] = 'Call'", "Acme",
                               "2026-12-05 10:00:00", QString(), false),
                  !refused);
        const QString prepared = "prepare|ACTIVITIES|Acme|2026-12-05 10:00:00||1";
        EXPECT_EQ(seen, (refused ? QStringList{prepared} : QStringList{prepared, "after|0"}));
        EXPECT_EQ(present() + customer("Acme", "CITY"), refused ? "1York" : "0Tidied");
        // Put back for the refused round.
        if (!refused)
            execData(
                {"INSERT INTO [ACTIVITIES] VALUES ('Acme', #2026-12-05 10:00:00#, "
                 "'Call', 15)",
                 "UPDATE [CUSTOMERS] SET [CITY] = 'York'"});
    }
}

TEST_F(RowsTest, DeletingAMissingRowIsReportedWithItsKeys) {
    bool cascaded = false;
    state().BeforeDelete = [&](const QString&, const QString&, const QString&, const QString&) {
        cascaded = true;
        return DeleteCascade{};
    };
    ask.message(msgbox::kOk, QString(), "Title 102");
    EXPECT_FALSE(DeleteRecord("Activities", "Acme", "2027-01-01 08:00:00", "x", false));
    EXPECT_EQ(ask.messages()[0].text, "Text 102.\n\nAcme\n2027-01-01 08:00:00\nx");
    EXPECT_FALSE(cascaded);
}

}  // namespace
}  // namespace tvtest
