// The shipped data model as the program relies on it: the columns windows and queries read
// by ordinal, the keys rows are found by, the catalogue of business tables and their field
// definitions, the default administrator, and the program's own statements, all checked on
// databases built from the real db/ folder. A column moved, renamed or retyped in a schema
// file, or a catalogue row that no longer matches its table, fails here.
#include "common/test_support.h"
#include "core/convert.h"
#include "data/shipped_databases.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <QSet>
#include <memory>
#include <tuple>
#include <utility>
#include <vector>

namespace {

using tv::Variant;
using tv::engine::Database;
using tv::engine::DbError;
using tv::engine::Engine;
using tv::engine::FieldType;
using tv::engine::TableDef;

class ShippedDataModel : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<tvtest::ScratchFolder>();
        QString error;
        built_ = tv::data::createDatabases(folder_->path(), tvtest::sourceDir() + "/db", &error);
        buildError_ = error;
    }
    static void TearDownTestSuite() { folder_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(built_) << buildError_.toStdString();
        data = Engine::instance().OpenDatabase(folder_->file("Data.mdb"));
        definitions = Engine::instance().OpenDatabase(folder_->file("Definitions.mdb"));
        messages = Engine::instance().OpenDatabase(folder_->file("Messages.mdb"));
    }
    void TearDown() override {
        data.Close();
        definitions.Close();
        messages.Close();
    }

    Database& byName(const QString& databaseName) {
        if (databaseName == "Definitions") return definitions;
        if (databaseName == "Messages") return messages;
        return data;
    }

    // One row of a definitions catalogue, its columns as text by ordinal.
    struct Row {
        std::vector<QString> cells;
        const QString& operator[](int i) const { return cells[static_cast<size_t>(i)]; }
    };
    std::vector<Row> rowsOf(Database& db, const QString& sql) {
        std::vector<Row> rows;
        tv::engine::Recordset rs = db.OpenRecordset(sql);
        for (; !rs.EOF_(); rs.MoveNext()) {
            Row row;
            for (int i = 0; i < rs.FieldCount(); ++i) {
                row.cells.push_back(rs[i].isNull() ? QString() : tv::CStr(rs[i]));
            }
            rows.push_back(row);
        }
        return rows;
    }

    Database data, definitions, messages;

private:
    static inline std::unique_ptr<tvtest::ScratchFolder> folder_;
    static inline bool built_ = false;
    static inline QString buildError_;
};

std::string text(const QString& s) { return s.toStdString(); }

std::string where(const QString& table, int ordinal) {
    return (table + " ordinal " + QString::number(ordinal)).toStdString();
}

// Columns that windows bind, queries name and routines read by position (counted from 0).
TEST_F(ShippedDataModel, ColumnsSitAtTheOrdinalsTheProgramReads) {
    struct Column {
        const char* database;
        const char* table;
        int ordinal;
        const char* name;
        FieldType type;
    };
    using T = FieldType;
    const std::vector<Column> columns = {
        {"Data", "CUSTOMERS", 0, "CUSTOMER NAME", T::Text},
        {"Data", "CUSTOMERS", 10, "TELEPHONENO", T::Text},
        {"Data", "CUSTOMERS", 13, "EMAIL ADDRESS", T::Text},
        {"Data", "CUSTOMERS", 20, "FIRSTDATE", T::Date},
        {"Data", "CUSTOMERS", 22, "NEXTDATE", T::Date},
        {"Data", "CUSTOMERS", 23, "ACCOUNTNO", T::Text},
        {"Data", "CONTACTS", 1, "CONTACT NAME", T::Text},
        {"Data", "CONTACTS", 3, "BUSINESS PHONE", T::Text},
        {"Data", "CONTACTS", 5, "MOBILE PHONE", T::Text},
        {"Data", "CONTACTS", 18, "NEXTCONTACT", T::Date},
        {"Data", "ACTIVITIES", 1, "DATETIME", T::Date},
        {"Data", "ACTIVITIES", 4, "SALES REP ID", T::Text},
        {"Data", "ACTIVITIES", 5, "CONTACT NAME", T::Text},
        {"Data", "ACTIVITIES", 8, "DURATION", T::Double},
        {"Data", "ACTIVITIES", 13, "SOURCEDOCTYPE", T::Text},
        {"Data", "ACTIVITIES", 14, "SOURCEDOCID", T::Text},
        {"Data", "ACTIVITIES", 15, "BILLABLE", T::Boolean},
        {"Data", "ACTIVITIES", 16, "INVOICENO", T::Long},
        {"Data", "SCHEDULED ACTIVITIES", 1, "SCHEDDATETIME", T::Date},
        {"Data", "SCHEDULED ACTIVITIES", 4, "USER ID", T::Text},
        {"Data", "SCHEDULED ACTIVITIES", 15, "BILLABLE", T::Boolean},
        {"Data", "SALES OPPORTUNITIES", 3, "CONTACT NAME", T::Text},
        {"Data", "CURRENT REQUESTS", 1, "REQUESTED", T::Date},
        {"Data", "CURRENT REQUESTS", 6, "CUSTOMER NAME", T::Text},
        {"Data", "CURRENT REQUESTS", 11, "AGREEMENTNO", T::Text},
        {"Data", "CURRENT REQUESTS", 15, "PERSONNEL", T::Text},
        {"Data", "CURRENT REQUESTS", 28, "TOTALCHARGE", T::Currency},
        {"Data", "COMPLETED REQUESTS", 29, "ORDERNO", T::Long},
        {"Data", "COMPLETED REQUESTS", 32, "CONTRACTFLAG", T::Text},
        {"Data", "REQUEST ACTIVITIES", 2, "DATE/TIME", T::Date},
        {"Data", "REQUEST ACTIVITIES", 6, "DURATION", T::Double},
        {"Data", "REQUEST ACTIVITIES", 7, "CHARGERATE", T::Currency},
        {"Data", "REQUEST ACTIVITIES", 10, "COMPLETED", T::Date},
        {"Data", "REQUEST MATERIALS", 4, "QUANTITY", T::Double},
        {"Data", "REQUEST MATERIALS", 8, "LINEVALUE", T::Double},
        {"Data", "SERVICE CONTRACTS", 2, "CUSTOMER NAME", T::Text},
        {"Data", "SERVICE CONTRACTS", 3, "STARTDATE", T::Date},
        {"Data", "SERVICE CONTRACTS", 7, "REQUESTSTODATE", T::Long},
        {"Data", "SERVICE CONTRACTS", 11, "HOURSUSED", T::Double},
        {"Data", "SERVICE CONTRACTS", 12, "ORDERNO", T::Long},
        {"Data", "CUSTOMER INVENTORY", 5, "CUSTOMER NAME", T::Text},
        {"Data", "CUSTOMER INVENTORY", 9, "CONTRACTID", T::Text},
        {"Data", "CUSTOMER INVENTORY", 10, "ORDERNO", T::Text},
        {"Data", "CUSTOMER INVENTORY", 11, "SUPPLIEDDATE", T::Date},
        {"Data", "CUSTOMER INVENTORY", 13, "WARRANTYEXPIRY", T::Date},
        {"Data", "QUOTATIONS", 3, "CUSTOMER NAME", T::Text},
        {"Data", "QUOTATIONS", 11, "COMMENTS", T::Memo},
        {"Data", "SALES ORDERS", 8, "SALES REP ID", T::Text},
        {"Data", "SALES ORDERS", 12, "TOTAL", T::Currency},
        {"Data", "SALES ORDERS", 20, "AMOUNTPAID", T::Currency},
        {"Data", "PURCHASE ORDERS", 8, "USER ID", T::Text},
        {"Data", "PRODUCTS", 8, "TAXRATE", T::Double},
        {"Data", "PRODUCTS", 11, "COSTPRICE", T::Currency},
        {"Data", "PRODUCTS", 12, "CUSTOMERINVENTORY", T::Boolean},
        {"Data", "RMAS", 3, "CUSTOMER NAME", T::Text},
        {"Data", "CUSTOMER ATTACHMENTS", 4, "FILEPATH", T::Text},
        {"Data", "SCRIPTS HISTORY", 4, "CONTACT NAME", T::Text},
        {"Data", "SCRIPTS DETAIL", 1, "SCRIPT BRANCH ID", T::Long},
        {"Data", "SCRIPTS DETAIL", 5, "BRANCH STRING", T::Text},
        {"Data", "System Users", 9, "PASSWORD", T::Text},
        {"Data", "System Users", 10, "ADMINISTRATOR", T::Boolean},
        {"Data", "System Users", 11, "CHARGERATE", T::Currency},
        {"Data", "System Users", 13, "BILLINGACCESS", T::Boolean},
        {"Data", "System User Access", 2, "ACCESSLEVEL", T::Integer},
        {"Data", "Counters", 1, "LASTNUMBER", T::Long},
        {"Messages", "INBOX", 4, "USERID", T::Text},
        {"Messages", "INBOX", 12, "STATUS", T::Text},
        {"Messages", "OUTBOX", 3, "PRIORITY", T::Integer},
        {"Messages", "OUTBOX", 13, "STATUS", T::Text},
        {"Messages", "OUTBOX ATTACHMENTS", 2, "FILENAME", T::Text},
    };
    for (const Column& c : columns) {
        const TableDef def = byName(c.database).TableDefNamed(c.table);
        ASSERT_LT(c.ordinal, def.FieldCount()) << where(c.table, c.ordinal);
        EXPECT_EQ(text(def.FieldAt(c.ordinal).Name().toUpper()), c.name)
            << where(c.table, c.ordinal);
        EXPECT_EQ(int(def.FieldAt(c.ordinal).Type()), int(c.type)) << where(c.table, c.ordinal);
    }
}

// Writers that fill a whole row by position fix these widths; the auto-numbered message
// numbers are what makes concurrent delivery safe.
TEST_F(ShippedDataModel, RowWidthsAndAutoNumbersTheWritersExpect) {
    const std::vector<std::pair<const char*, int>> widths = {
        {"CUSTOMERS", 26},
        {"CONTACTS", 25},
        {"ACTIVITIES", 17},
        {"SCHEDULED ACTIVITIES", 16},
        {"SALES OPPORTUNITIES", 11},
        {"CURRENT REQUESTS", 35},
        {"SALES ORDERS", 29},
        {"CUSTOMER INVENTORY", 19},
        {"SALES ORDERS DETAIL", 9},
        {"QUOTATIONS DETAIL", 9},
        {"REQUEST MATERIALS", 9},
        {"System Users", 14},
        {"SCRIPTS HISTORY", 5},
        {"SCRIPTS HISTORY DETAIL", 5},
        {"Filters", 5},
    };
    for (const auto& [table, width] : widths) {
        EXPECT_EQ(data.TableDefNamed(table).FieldCount(), width) << table;
    }
    for (const char* box : {"INBOX", "OUTBOX"}) {
        EXPECT_TRUE(messages.TableDefNamed(box).FieldAt(0).AutoIncrement()) << box;
    }
}

// Tables whose rows move or are copied between each other keep one layout.
TEST_F(ShippedDataModel, TablesThatShareRowsShareTheirLayout) {
    auto types = [&](const QString& table, int count) {
        std::vector<FieldType> out;
        const TableDef def = data.TableDefNamed(table);
        for (int i = 0; i < count; ++i) out.push_back(def.FieldAt(i).Type());
        return out;
    };
    const int requestWidth = data.TableDefNamed("CURRENT REQUESTS").FieldCount();
    EXPECT_EQ(data.TableDefNamed("COMPLETED REQUESTS").FieldCount(), requestWidth);
    EXPECT_EQ(types("CURRENT REQUESTS", requestWidth), types("COMPLETED REQUESTS", requestWidth));
    // Completing a scheduled activity inserts its sixteen columns into ACTIVITIES.
    EXPECT_EQ(types("SCHEDULED ACTIVITIES", 16), types("ACTIVITIES", 16));
    // One line-item dialog serves every document's lines and a request's materials.
    for (const char* lines : {"QUOTATIONS DETAIL", "PURCHASE ORDERS DETAIL", "REQUEST MATERIALS"}) {
        EXPECT_EQ(types(lines, 9), types("SALES ORDERS DETAIL", 9)) << lines;
    }
}

TEST_F(ShippedDataModel, RowsAreFoundByTheKeysTheWindowsTrack) {
    const std::vector<std::pair<const char*, QStringList>> keys = {
        {"CUSTOMERS", {"CUSTOMER NAME"}},
        {"CONTACTS", {"CUSTOMER NAME", "CONTACT NAME"}},
        {"ACTIVITIES", {"CUSTOMER NAME", "DATETIME"}},
        {"SCHEDULED ACTIVITIES", {"CUSTOMER NAME", "SCHEDDATETIME"}},
        {"CURRENT REQUESTS", {"REQUESTNO"}},
        {"REQUEST MATERIALS", {"REQUESTNO", "LINENO"}},
        {"QUOTATIONS DETAIL", {"QUOTENO", "LINENO"}},
        {"SCRIPTS DETAIL", {"SCRIPT NAME", "SCRIPT BRANCH ID"}},
        {"CUSTOMER ATTACHMENTS", {"CUSTOMER NAME", "DATETIME"}},
        {"PROJECTS", {"NAME"}},
        {"System User Access", {"USERID", "TABLENAME"}},
    };
    for (const auto& [table, expected] : keys) {
        QStringList found;
        for (const auto& index : data.TableDefNamed(table).Indexes()) {
            if (index.Name() == "PrimaryKey") found = index.FieldNames();
        }
        EXPECT_EQ(text(found.join("|").toUpper()), text(expected.join("|"))) << table;
    }
    // Every key holds one to three columns: the access layer seeks with at most three.
    for (Database* db : {&data, &messages}) {
        for (const TableDef& def : db->TableDefs()) {
            for (const auto& index : def.Indexes()) {
                if (index.Name() != "PrimaryKey") continue;
                EXPECT_GE(index.FieldNames().size(), 1) << def.Name().toStdString();
                EXPECT_LE(index.FieldNames().size(), 3) << def.Name().toStdString();
            }
        }
    }
}

// Each TABLE DEFINITIONS row names a table that exists, counts its columns, names a real
// owner column, and a numbered table has its counter.
TEST_F(ShippedDataModel, CatalogueRowsMatchTheirTables) {
    QSet<QString> counters;
    for (const Row& row : rowsOf(data, "SELECT * FROM [Counters]"))
        counters.insert(row[0].toUpper());

    const auto catalogue = rowsOf(definitions, "SELECT * FROM [TABLE DEFINITIONS]");
    ASSERT_FALSE(catalogue.empty());
    for (const Row& row : catalogue) {
        const QString table = row[0];
        const std::string name = table.toStdString();
        Database& db = byName(row[4]);
        ASSERT_TRUE(db.HasTable(table)) << name << " in " << row[4].toStdString();
        const TableDef def = db.TableDefNamed(table);
        EXPECT_EQ(text(row[1].toUpper()), text(table.toUpper())) << name << ": display name";
        const int standard = row[5].toInt();
        EXPECT_TRUE(standard == 0 || standard == def.FieldCount()) << name;
        if (!row[3].isEmpty()) {
            EXPECT_EQ(standard, def.FieldCount()) << name << " has a window";
        }
        if (!row[6].isEmpty()) {
            EXPECT_NO_THROW(def.FieldNamed(row[6]))
                << name << ": owner column " << row[6].toStdString();
        }
        EXPECT_EQ(tv::CBool(Variant(row[9])), counters.contains(row[1].toUpper())) << name;
    }
}

// The list window shows FIELD DEFINITIONS rows 1, 2, ... up to the first gap, so every
// column needs its row, naming the column at that position, with a format that suits it.
TEST_F(ShippedDataModel, FieldDefinitionsDescribeEveryColumnInOrder) {
    for (const Row& table : rowsOf(definitions, "SELECT * FROM [TABLE DEFINITIONS]")) {
        const TableDef def = byName(table[4]).TableDefNamed(table[0]);
        const auto fields =
            rowsOf(definitions, "SELECT * FROM [FIELD DEFINITIONS] WHERE TABLENAME = '" + table[1] +
                                    "' ORDER BY FIELDPOS");
        ASSERT_EQ(static_cast<int>(fields.size()), def.FieldCount()) << table[1].toStdString();
        for (int i = 0; i < def.FieldCount(); ++i) {
            const Row& f = fields[static_cast<size_t>(i)];
            const std::string at = where(table[1], i);
            EXPECT_EQ(text(f[1]), std::to_string(i + 1)) << at;
            EXPECT_EQ(text(f[8].toUpper()), text(def.FieldAt(i).Name().toUpper())) << at;
            EXPECT_FALSE(f[2].isEmpty()) << at << ": label";
            EXPECT_FALSE(f[3].isEmpty()) << at << ": tool tip";
            switch (def.FieldAt(i).Type()) {
                case FieldType::Date:
                    EXPECT_TRUE(f[4] == "Short Date" || f[4] == "General Date")
                        << at << ": " << text(f[4]);
                    break;
                case FieldType::Currency:
                    EXPECT_EQ(text(f[4]), "0.00") << at;
                    break;
                case FieldType::Boolean:
                    EXPECT_EQ(text(f[4]), "True/False") << at;
                    break;
                case FieldType::Text:
                case FieldType::Memo:
                    EXPECT_EQ(text(f[4]), "") << at;
                    EXPECT_EQ(text(f[5]), "0") << at << ": text is left-aligned";
                    break;
                default:
                    EXPECT_EQ(text(f[5]), "1") << at << ": numbers are right-aligned";
            }
        }
    }
    // The list colours these columns by their caption.
    for (const auto& [table, n, caption] : std::vector<std::tuple<QString, QString, QString>>{
             {"Activities", "3", "Activity Type"},
             {"Scheduled Activities", "3", "Activity Type"},
             {"Current Requests", "5", "Priority"},
             {"Completed Requests", "5", "Priority"}}) {
        const auto row =
            rowsOf(definitions, "SELECT * FROM [FIELD DEFINITIONS] WHERE TABLENAME = '" + table +
                                    "' AND FIELDNO = '" + n + "'");
        ASSERT_EQ(row.size(), 1u) << table.toStdString();
        EXPECT_EQ(text(row[0][2]), text(caption)) << table.toStdString();
    }
}

TEST_F(ShippedDataModel, DefaultAdministratorSignsInWithEveryRight) {
    tv::engine::Recordset users = data.OpenRecordset("System Users");
    users.SetIndex("PrimaryKey");
    users.Seek("=", Variant("ADMIN"));  // user ids compare ignoring case
    ASSERT_FALSE(users.NoMatch());
    EXPECT_EQ(text(tv::CStr(users[9])), "admin");  // the password is compared as typed
    EXPECT_TRUE(tv::CBool(users[10])) << "administrator";
    EXPECT_FALSE(tv::CBool(users[12])) << "workflow";
    EXPECT_TRUE(tv::CBool(users[13])) << "billing";
    users.Close();

    QSet<QString> granted;
    for (const Row& row :
         rowsOf(data, "SELECT * FROM [SYSTEM USER ACCESS] WHERE USERID = 'admin'")) {
        EXPECT_EQ(text(row[2]), "15") << row[1].toStdString();
        granted.insert(row[1]);
    }
    for (const Row& table : rowsOf(definitions, "SELECT * FROM [TABLE DEFINITIONS]")) {
        EXPECT_TRUE(granted.contains(table[1])) << table[1].toStdString();
    }
}

// Statements the windows, cascades, diary, to-do list and billing run issue, with the
// column names they use, run on the shipped schema.
TEST_F(ShippedDataModel, TheProgramsStatementsRunOnTheSchema) {
    const QStringList statements = {
        "SELECT * FROM [SCHEDULED ACTIVITIES] WHERE [USER ID] = 'admin' ORDER BY SCHEDDATETIME",
        "SELECT * FROM [REQUEST ACTIVITIES] WHERE [PERSONNEL] = 'admin' AND SCHEDULED <> NULL "
        "ORDER BY SCHEDULED",
        "SELECT * FROM [ACTIVITIES] WHERE [SALES REP ID] = 'admin' AND DATETIME >= #2026-12-05# "
        "AND DATETIME < #2026-12-06# ORDER BY DATETIME",
        "SELECT * FROM [REQUEST ACTIVITIES] WHERE [DATE/TIME] >= #2026-12-05# AND [DATE/TIME] < "
        "#2026-12-05 23:59:59# AND COMPLETED <> NULL ORDER BY [DATE/TIME]",
        "SELECT * FROM [Request Activities] WHERE (SCHEDULED <> NULL AND SCHEDULED <= "
        "#2026-12-05 23:59#) AND [PERSONNEL] = 'admin' AND [COMPLETED] = Null",
        "SELECT * FROM CUSTOMERS WHERE TELEPHONENO = '1' OR [EMAIL ADDRESS] = 'a'",
        "SELECT * FROM CONTACTS WHERE ([BUSINESS PHONE] = '1' OR [HOME PHONE] = '1' OR "
        "[MOBILE PHONE] = '1' OR [EMAIL ADDRESS] = 'a')",
        "SELECT * FROM PROJECTS WHERE [CUSTOMER NAME] = \"O'Brien\" ORDER BY "
        "[SCHEDULEDSTART],[ACTUALSTART]",
        "SELECT * FROM [PROJECTS] WHERE [Customer Name] = \"O'Brien\" ORDER BY [NAME]",
        "SELECT * FROM [ACTIVITIES] WHERE [CUSTOMER NAME] = \"O'Brien\" AND [SOURCEDOCTYPE] = "
        "'project' AND [SOURCEDOCID] = \"P\" AND BILLABLE = True ORDER BY [DATETIME]",
        "SELECT * FROM [COMPLETED REQUESTS] WHERE [CUSTOMER NAME] = \"A\" AND [TOTALCHARGE] > 0 "
        "AND ([ORDERNO] = 0 OR [ORDERNO] = NULL) ORDER BY [REQUESTNO]",
        "SELECT * FROM [REQUEST ACTIVITIES] WHERE REQUESTNO = 1 AND BILLABLE = True AND "
        "[ChargeRate] > 0 ORDER BY [DATE/TIME]",
        "SELECT * FROM [REQUEST MATERIALS] WHERE REQUESTNO = 1 ORDER BY LINENO",
        "SELECT * FROM [ACTIVITIES] WHERE [CUSTOMER NAME] = \"A\" AND ([SOURCEDOCID] = '' OR "
        "[SOURCEDOCID] = Null OR [SOURCEDOCID] = '0') AND BILLABLE = True ORDER BY [DATETIME]",
        "SELECT * FROM [SERVICE CONTRACTS] WHERE [CUSTOMER NAME] = \"A\" AND ([ORDERNO] = 0 OR "
        "[ORDERNO] = Null) ORDER BY [CONTRACTID]",
        "SELECT * FROM [CUSTOMER INVENTORY] WHERE [CUSTOMER NAME] = \"A\" AND ([ORDERNO] = '' OR "
        "[ORDERNO] = Null) ORDER BY [ITEMID]",
        "SELECT * FROM PRODUCTS WHERE CUSTOMERINVENTORY <> True",
        "SELECT * FROM QUOTATIONS WHERE [CUSTOMER NAME] = \"A\" ORDER BY [QUOTENO] DESC",
        "SELECT * FROM [SCRIPTS DETAIL] WHERE [SCRIPT NAME] = 'x' ORDER BY [SCRIPT BRANCH ID]",
        "SELECT * FROM [FORM LETTERS] ORDER BY CATEGORY, DESCRIPTION",
        "SELECT * FROM [DOCUMENT LIST] ORDER BY CATEGORY, DESCRIPTION",
        "DELETE * FROM [SCHEDULED ACTIVITIES] WHERE SOURCEDOCTYPE = 'project' AND SOURCEDOCID = "
        "'X'",
        "DELETE * FROM [CUSTOMER INVENTORY] WHERE SOURCEDOCTYPE = 'order' AND SOURCEDOCID = '5'",
        "UPDATE [CUSTOMER INVENTORY] SET [SOURCEDOCTYPE] = NULL, [SOURCEDOCID] = NULL WHERE "
        "[SOURCEDOCTYPE] = 'order' AND [SOURCEDOCID] = '5'",
        "UPDATE [ACTIVITIES] SET [INVOICENO] = NULL WHERE [INVOICENO] = 5",
        "UPDATE [SERVICE CONTRACTS] SET [ORDERNO] = NULL WHERE [ORDERNO] = 5",
        "UPDATE [COMPLETED REQUESTS] SET [ORDERNO] = NULL WHERE [ORDERNO] = 5",
        "DELETE * FROM [QUOTATIONS DETAIL] WHERE [QUOTENO] = 1",
        "DELETE * FROM [SALES ORDERS DETAIL] WHERE [ORDERNO] = 1",
    };
    for (const QString& statement : statements) {
        try {
            if (statement.startsWith("SELECT")) {
                data.OpenRecordset(statement).Close();
            } else {
                data.Execute(statement);
            }
        } catch (const DbError& e) {
            ADD_FAILURE() << statement.toStdString() << "\n  " << e.text().toStdString();
        }
    }
    for (const QString& statement :
         {QString("SELECT * FROM INBOX WHERE USERID = 'admin' ORDER BY RECEIVED"),
          QString("SELECT * FROM OUTBOX WHERE USERID = 'admin' ORDER BY SENT")}) {
        EXPECT_NO_THROW(messages.OpenRecordset(statement).Close()) << statement.toStdString();
    }
}

}  // namespace
