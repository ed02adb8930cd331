// The column positions of the shipped databases are their file format: record windows bind
// controls to ordinals, the access layer moves rows as arrays by position, and the billing
// run, the post office and the definitions readers address columns by number. These tables
// list every position the program relies on, in the counting each reader uses, with the
// column's name where the program's SQL names it and the kind of value it must hold; then
// the catalogue of business tables is checked against the tables that exist.
#include "common/test_support.h"
#include "core/convert.h"
#include "data/shipped_databases.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <QSet>
#include <memory>

namespace {

using tv::engine::Database;
using tv::engine::Engine;
using tv::engine::Field;
using tv::engine::FieldType;

// What a column must hold. Where the program only reads a value as text or as a number,
// any column of that kind will do.
enum class Kind { Text, Memo, Textual, Date, Bool, Long, Short, Whole, Money, Real, Number, Any };

bool fits(const Field& f, Kind kind) {
    const FieldType t = f.Type();
    switch (kind) {
        case Kind::Text:
            return t == FieldType::Text;
        case Kind::Memo:
            return t == FieldType::Memo;
        case Kind::Textual:
            return t == FieldType::Text || t == FieldType::Memo;
        case Kind::Date:
            return t == FieldType::Date;
        case Kind::Bool:
            return t == FieldType::Boolean;
        case Kind::Long:
            return t == FieldType::Long;
        case Kind::Short:
            return t == FieldType::Integer;
        case Kind::Whole:
            return t == FieldType::Byte || t == FieldType::Integer || t == FieldType::Long;
        case Kind::Money:
            return t == FieldType::Currency;
        case Kind::Real:
            return t == FieldType::Double || t == FieldType::Single;
        case Kind::Number:
            return t == FieldType::Byte || t == FieldType::Integer || t == FieldType::Long ||
                   t == FieldType::Currency || t == FieldType::Single || t == FieldType::Double;
        case Kind::Any:
            return true;
    }
    return false;
}

struct Column {
    int position;
    const char* name;  // nullptr: the program never names it
    Kind kind;
    int minSize = 0;  // text columns: the longest value the window lets a user type
};

struct TableColumns {
    const char* database;
    const char* table;
    bool countsFromOne;  // record windows and FieldValues count from 1, record-set readers from 0
    std::vector<Column> columns;
};

using K = Kind;

// Record windows and the field-value array: positions counted from 1.
const std::vector<TableColumns> kFromOne = {
    {"Data",
     "CUSTOMERS",
     true,
     {{1, "CUSTOMER NAME", K::Text, 60},
      {2, nullptr, K::Textual, 150},
      {3, nullptr, K::Text},
      {4, nullptr, K::Text, 3},
      {5, nullptr, K::Text, 12},
      {6, nullptr, K::Textual, 150},
      {7, nullptr, K::Text},
      {8, nullptr, K::Text, 3},
      {9, nullptr, K::Text, 12},
      {10, nullptr, K::Text},
      {11, "TELEPHONENO", K::Text, 20},
      {12, nullptr, K::Text, 20},
      {13, nullptr, K::Textual},
      {14, "EMAIL ADDRESS", K::Text},
      {15, nullptr, K::Text},
      {16, nullptr, K::Text},
      {17, nullptr, K::Text},
      {18, nullptr, K::Text},
      {19, nullptr, K::Text},
      {20, nullptr, K::Text},
      {21, nullptr, K::Date},
      {22, nullptr, K::Date},
      {23, nullptr, K::Date},
      {24, nullptr, K::Text},
      {25, nullptr, K::Text},
      {26, nullptr, K::Textual}}},
    {"Data",
     "CONTACTS",
     true,
     {{1, "CUSTOMER NAME", K::Text, 60},
      {2, "CONTACT NAME", K::Text},
      {3, nullptr, K::Text},
      {4, "BUSINESS PHONE", K::Text},
      {5, "HOME PHONE", K::Text},
      {6, "MOBILE PHONE", K::Text},
      {7, nullptr, K::Text},
      {8, "EMAIL ADDRESS", K::Text},
      {9, nullptr, K::Text},
      {10, nullptr, K::Text},
      {11, nullptr, K::Text},
      {12, nullptr, K::Text},
      {13, nullptr, K::Textual},
      {14, nullptr, K::Text},
      {15, nullptr, K::Text},
      {16, nullptr, K::Text},
      {17, nullptr, K::Date},
      {18, nullptr, K::Date},
      {19, nullptr, K::Date},
      {20, nullptr, K::Any},
      {21, nullptr, K::Text},
      {22, nullptr, K::Any},
      {23, nullptr, K::Textual},
      {24, nullptr, K::Textual},
      {25, nullptr, K::Textual}}},
    {"Data",
     "ACTIVITIES",
     true,
     {{1, "CUSTOMER NAME", K::Text, 60},
      {2, "DATETIME", K::Date},
      {3, nullptr, K::Text},
      {4, nullptr, K::Text, 255},
      {5, "SALES REP ID", K::Text},
      {6, "CONTACT NAME", K::Text},
      {7, nullptr, K::Text},
      {8, nullptr, K::Text},
      {9, nullptr, K::Number},
      {10, nullptr, K::Text},
      {11, nullptr, K::Money},
      {12, nullptr, K::Text},
      {13, nullptr, K::Memo},
      {14, "SOURCEDOCTYPE", K::Text},
      {15, "SOURCEDOCID", K::Text},
      {16, "BILLABLE", K::Bool},
      {17, "INVOICENO", K::Long}}},
    {"Data",
     "SCHEDULED ACTIVITIES",
     true,
     {{1, "CUSTOMER NAME", K::Text, 60},
      {2, "SCHEDDATETIME", K::Date},
      {3, nullptr, K::Text},
      {4, nullptr, K::Text, 255},
      {5, "USER ID", K::Text},
      {6, "CONTACT NAME", K::Text},
      {7, nullptr, K::Text},
      {8, nullptr, K::Text},
      {9, nullptr, K::Number},
      {10, nullptr, K::Text},
      {11, nullptr, K::Money},
      {12, nullptr, K::Text},
      {13, nullptr, K::Memo},
      {14, "SOURCEDOCTYPE", K::Text},
      {15, "SOURCEDOCID", K::Text},
      {16, "BILLABLE", K::Bool}}},
    {"Data",
     "SALES OPPORTUNITIES",
     true,
     {{1, nullptr, K::Text, 60},
      {2, nullptr, K::Date},
      {3, nullptr, K::Text},
      {4, nullptr, K::Text},
      {5, nullptr, K::Text, 255},
      {6, nullptr, K::Money},
      {7, nullptr, K::Text, 9},
      {8, nullptr, K::Whole},
      {9, nullptr, K::Text},
      {10, nullptr, K::Text, 50},
      {11, nullptr, K::Text, 50}}},
    {"Data",
     "System Users",
     true,
     {{1, nullptr, K::Text},
      {2, nullptr, K::Text},
      {3, nullptr, K::Text},
      {4, nullptr, K::Text},
      {5, nullptr, K::Text},
      {6, nullptr, K::Text},
      {7, nullptr, K::Text},
      {8, nullptr, K::Text},
      {9, nullptr, K::Textual},
      {10, nullptr, K::Text},
      {11, nullptr, K::Bool},
      {12, nullptr, K::Money},
      {13, nullptr, K::Bool},
      {14, nullptr, K::Bool}}},
    {"Data",
     "REQUEST ACTIVITIES",
     true,
     {{1, "REQUESTNO", K::Long},
      {2, nullptr, K::Whole},
      {3, "DATE/TIME", K::Date},
      {4, nullptr, K::Text},
      {5, "PERSONNEL", K::Text},
      {6, nullptr, K::Text},
      {7, nullptr, K::Real},
      {8, "CHARGERATE", K::Number},
      {9, nullptr, K::Number},
      {10, "SCHEDULED", K::Date},
      {11, "COMPLETED", K::Date}}},
    {"Data",
     "REQUEST MATERIALS",
     true,
     {{1, "REQUESTNO", K::Long},
      {2, "LINENO", K::Whole},
      {5, nullptr, K::Real},
      {9, nullptr, K::Real}}},
    {"Data",
     "SERVICE CONTRACTS",
     true,
     {{2, nullptr, K::Text},
      {5, nullptr, K::Date},
      {8, nullptr, K::Whole},
      {12, nullptr, K::Real}}},
    {"Data", "PRODUCTS", true, {{12, nullptr, K::Money}}},
    {"Data",
     "QUOTATIONS",
     true,
     {{5, nullptr, K::Text},
      {6, nullptr, K::Text},
      {8, nullptr, K::Money},
      {9, nullptr, K::Money},
      {10, nullptr, K::Money},
      {11, nullptr, K::Money},
      {12, nullptr, K::Textual}}},
    {"Data",
     "SALES ORDERS",
     true,
     {{1, "ORDERNO", K::Long},
      {2, nullptr, K::Date},
      {3, nullptr, K::Text},
      {4, "CUSTOMER NAME", K::Text, 60},
      {9, nullptr, K::Text},
      {10, nullptr, K::Money},
      {11, nullptr, K::Money},
      {12, nullptr, K::Money},
      {13, nullptr, K::Money}}},
    {"Data",
     "Filters",
     true,
     {{1, nullptr, K::Text, 10},
      {2, nullptr, K::Text},
      {3, nullptr, K::Memo},
      {4, nullptr, K::Textual},
      {5, nullptr, K::Whole}}},
    {"Data",
     "SCRIPTS HISTORY",
     true,
     {{1, "CUSTOMER NAME", K::Text},
      {2, "SCRIPT NAME", K::Text},
      {3, nullptr, K::Date},
      {4, nullptr, K::Text},
      {5, nullptr, K::Text}}},
    {"Data",
     "SCRIPTS HISTORY DETAIL",
     true,
     {{1, "CUSTOMER NAME", K::Text},
      {2, "SCRIPT NAME", K::Text},
      {3, nullptr, K::Date},
      {4, "SCRIPT BRANCH ID", K::Long},
      {5, nullptr, K::Textual}}},
};

// The two request tables share one window and one layout (positions from 1).
const std::vector<Column> kRequestColumns = {
    {1, "REQUESTNO", K::Long},
    {2, nullptr, K::Date},
    {3, nullptr, K::Text},
    {4, nullptr, K::Text},
    {5, nullptr, K::Text},
    {6, nullptr, K::Text},
    {7, "CUSTOMER NAME", K::Text, 60},
    {8, nullptr, K::Text},
    {9, nullptr, K::Text},
    {10, "CONTACT NAME", K::Text},
    {11, nullptr, K::Text},
    {12, "AGREEMENTNO", K::Text},
    {13, nullptr, K::Bool},
    {14, nullptr, K::Date},
    {15, nullptr, K::Text},
    {16, "PERSONNEL", K::Text},
    {17, nullptr, K::Text},
    {18, nullptr, K::Textual},
    {19, nullptr, K::Date},
    {20, nullptr, K::Textual},
    {21, nullptr, K::Any},
    {22, nullptr, K::Date},
    {23, nullptr, K::Text},
    {24, nullptr, K::Real},
    {25, nullptr, K::Real},
    {26, nullptr, K::Real},
    {27, nullptr, K::Real},
    {28, nullptr, K::Number},
    {29, "TOTALCHARGE", K::Number},
    {30, "ORDERNO", K::Whole},
    {31, nullptr, K::Text},
    {32, nullptr, K::Any},
    {33, nullptr, K::Text, 3},
    {34, nullptr, K::Textual},
    {35, nullptr, K::Textual},
};

// Record-set readers: positions counted from 0.
const std::vector<TableColumns> kFromZero = {
    {"Definitions",
     "MESSAGES",
     false,
     {{0, nullptr, K::Short},
      {1, nullptr, K::Text},
      {2, nullptr, K::Textual},
      {3, nullptr, K::Textual},
      {5, nullptr, K::Whole}}},
    {"Definitions",
     "FORM CAPTIONS",
     false,
     {{0, nullptr, K::Text},
      {1, nullptr, K::Text},
      {2, nullptr, K::Textual},
      {3, nullptr, K::Textual},
      {4, nullptr, K::Bool}}},
    {"Definitions",
     "FIELD DEFINITIONS",
     false,
     {{0, "TABLENAME", K::Text},
      {1, nullptr, K::Text},
      {2, nullptr, K::Text},
      {3, nullptr, K::Textual},
      {6, nullptr, K::Bool}}},
    {"Definitions",
     "TABLE DEFINITIONS",
     false,
     {{0, "TABLENAME", K::Text},
      {1, "DISPLAYNAME", K::Text},
      {5, "STDFIELDCOUNT", K::Whole},
      {6, nullptr, K::Text}}},
    {"Definitions",
     "OPTION LISTS",
     false,
     {{0, "LIST NAME", K::Text}, {1, "OPTION", K::Text}, {2, nullptr, K::Textual}}},
    {"Definitions",
     "ACTIVITY LOG OPTIONS",
     false,
     {{0, "EVENT CATEGORY", K::Text},
      {1, "KEY VALUE", K::Text},
      {2, nullptr, K::Text},
      {3, nullptr, K::Textual},
      {4, nullptr, K::Number},
      {5, nullptr, K::Money}}},
    {"Definitions",
     "LOOKUP TABLES",
     false,
     {{0, nullptr, K::Text}, {1, nullptr, K::Text}, {2, nullptr, K::Bool}, {3, nullptr, K::Bool}}},
    {"Definitions",
     "REPORT DEFINITIONS",
     false,
     {{0, "CATEGORY", K::Text},
      {1, "NAME", K::Text},
      {5, nullptr, K::Text},
      {7, nullptr, K::Text}}},
    {"Definitions",
     "REPORT SELECTION",
     false,
     {{0, "CATEGORY", K::Text},
      {1, "NAME", K::Text},
      {2, "ITEMNO", K::Whole},
      {3, nullptr, K::Text},
      {4, nullptr, K::Text},
      {5, nullptr, K::Text},
      {6, nullptr, K::Whole},
      {7, nullptr, K::Text},
      {8, nullptr, K::Text},
      {9, nullptr, K::Text},
      {10, nullptr, K::Text},
      {11, nullptr, K::Textual},
      {12, nullptr, K::Bool},
      {13, nullptr, K::Bool}}},
    {"Data", "Counters", false, {{0, nullptr, K::Text}, {1, nullptr, K::Long}}},
    {"Data",
     "System User Access",
     false,
     {{0, "USERID", K::Text}, {1, nullptr, K::Text}, {2, nullptr, K::Whole}}},
    {"Data", "System Users", false, {{9, nullptr, K::Text}, {11, nullptr, K::Money}}},
    {"Data", "CUSTOMERS", false, {{0, "CUSTOMER NAME", K::Text}, {23, nullptr, K::Text}}},
    {"Data",
     "Activity Types",
     false,
     {{0, nullptr, K::Text},
      {1, nullptr, K::Textual},
      {2, nullptr, K::Long},
      {3, nullptr, K::Text}}},
    {"Data",
     "Priority Codes",
     false,
     {{0, nullptr, K::Text},
      {1, nullptr, K::Textual},
      {2, nullptr, K::Long},
      {3, nullptr, K::Text}}},
    // Read by the billing run.
    {"Data", "PROJECTS", false, {{0, nullptr, K::Text}}},
    {"Data",
     "ACTIVITIES",
     false,
     {{1, nullptr, K::Date},
      {2, nullptr, K::Text},
      {3, nullptr, K::Text},
      {4, nullptr, K::Text},
      {8, nullptr, K::Number},
      {16, nullptr, K::Long}}},
    {"Data", "COMPLETED REQUESTS", false, {{1, nullptr, K::Date}, {29, "ORDERNO", K::Whole}}},
    {"Data",
     "REQUEST ACTIVITIES",
     false,
     {{2, nullptr, K::Date},
      {5, nullptr, K::Text},
      {6, nullptr, K::Real},
      {7, nullptr, K::Number}}},
    {"Data",
     "REQUEST MATERIALS",
     false,
     {{2, nullptr, K::Text},
      {3, nullptr, K::Text},
      {4, nullptr, K::Real},
      {5, nullptr, K::Real},
      {6, nullptr, K::Real},
      {7, nullptr, K::Real},
      {8, nullptr, K::Real}}},
    {"Data",
     "SERVICE CONTRACTS",
     false,
     {{0, "CONTRACTID", K::Text},
      {1, nullptr, K::Text},
      {3, nullptr, K::Date},
      {4, nullptr, K::Date},
      {5, nullptr, K::Money},
      {9, nullptr, K::Textual},
      {12, "ORDERNO", K::Whole}}},
    {"Data",
     "CUSTOMER INVENTORY",
     false,
     {{0, "ITEMID", K::Text, 20},
      {1, nullptr, K::Text},
      {3, nullptr, K::Text},
      {10, "ORDERNO", K::Text},
      {11, nullptr, K::Date},
      {12, nullptr, K::Money}}},
    {"Data", "SALES ORDERS", false, {{20, nullptr, K::Money}}},
    {"Data",
     "PRODUCTS",
     false,
     {{0, "PRODUCTCODE", K::Text},
      {2, nullptr, K::Text},
      {3, nullptr, K::Money},
      {4, nullptr, K::Money},
      {5, nullptr, K::Date},
      {6, nullptr, K::Date},
      {8, nullptr, K::Real},
      {11, nullptr, K::Money},
      {12, "CUSTOMERINVENTORY", K::Bool}}},
    {"Data",
     "SCRIPTS DETAIL",
     false,
     {{0, "SCRIPT NAME", K::Text},
      {1, "SCRIPT BRANCH ID", K::Long},
      {2, nullptr, K::Textual},
      {3, nullptr, K::Whole},
      {4, nullptr, K::Text},
      {5, nullptr, K::Text}}},
    // The post office addresses every column by position.
    {"Messages",
     "INBOX",
     false,
     {{0, "MSGNO", K::Long},
      {1, "RECEIVED", K::Date},
      {2, "TONAME", K::Text},
      {3, "TOADDRESS", K::Text},
      {4, "USERID", K::Text},
      {5, "FROMNAME", K::Text},
      {6, "COMPANY", K::Text},
      {7, "FROMADDRESS", K::Text},
      {8, "SENTVIA", K::Text},
      {9, "SUBJECT", K::Text},
      {10, "MESSAGETEXT", K::Memo},
      {11, "HASATTACHMENTS", K::Bool},
      {12, "STATUS", K::Text}}},
    {"Messages",
     "OUTBOX",
     false,
     {{0, "MSGNO", K::Long},
      {1, "SENT", K::Date},
      {2, "OUTREF", K::Text},
      {3, "PRIORITY", K::Whole},
      {4, "USERID", K::Text},
      {5, "FROMNAME", K::Text},
      {6, "TOCONTACT", K::Text},
      {7, "COMPANY", K::Text},
      {8, "TOADDRESS", K::Text},
      {9, "SENDVIA", K::Text},
      {10, "SUBJECT", K::Text},
      {11, "MESSAGETEXT", K::Memo},
      {12, "HASATTACHMENTS", K::Bool},
      {13, "STATUS", K::Text}}},
    {"Messages",
     "INBOX ATTACHMENTS",
     false,
     {{0, "MSGNO", K::Long}, {1, "ATTACHNO", K::Whole}, {2, "FILENAME", K::Text}}},
    {"Messages",
     "OUTBOX ATTACHMENTS",
     false,
     {{0, "MSGNO", K::Long}, {1, "ATTACHNO", K::Whole}, {2, "FILENAME", K::Text}}},
};

// Tables whose every column is listed above: nothing may stand between or before them.
const std::vector<std::pair<const char*, int>> kWidths = {
    {"CUSTOMERS", 26},
    {"CONTACTS", 25},
    {"ACTIVITIES", 17},
    {"SCHEDULED ACTIVITIES", 16},
    {"SALES OPPORTUNITIES", 11},
    {"CURRENT REQUESTS", 35},
    {"COMPLETED REQUESTS", 35},
    {"SALES ORDERS", 29},
    {"System Users", 14},
    {"System User Access", 3},
    {"Counters", 2},
    {"Filters", 5},
    {"SCRIPTS DETAIL", 6},
    {"SCRIPTS HISTORY", 5},
    {"SCRIPTS HISTORY DETAIL", 5},
    {"QUOTATIONS DETAIL", 9},
    {"SALES ORDERS DETAIL", 9},
    {"REQUEST MATERIALS", 9},
};

class ShippedSchema : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        folder_ = std::make_unique<tvtest::ScratchFolder>();
        built_ = tv::data::createDatabases(folder_->path(), tvtest::sourceDir() + "/db", &error_);
    }
    static void TearDownTestSuite() { folder_.reset(); }

    void SetUp() override {
        ASSERT_TRUE(built_) << error_.toStdString();
        for (const char* name : {"Definitions", "Data", "Messages"}) {
            dbs_[name] =
                Engine::instance().OpenDatabase(folder_->file(QString(name) + ".mdb"), true);
        }
    }

    Database& db(const QString& name) { return dbs_[name]; }

    void checkColumns(const TableColumns& t) {
        const tv::engine::TableDef def = db(t.database).TableDefNamed(t.table);
        const int offset = t.countsFromOne ? 1 : 0;
        for (const Column& c : t.columns) {
            const int ordinal = c.position - offset;
            const std::string where = std::string(t.table) + " position " +
                                      std::to_string(c.position) +
                                      (t.countsFromOne ? " (from 1)" : " (from 0)");
            ASSERT_LT(ordinal, def.FieldCount()) << where;
            const Field f = def.FieldAt(ordinal);
            if (c.name) {
                EXPECT_EQ(f.Name().toUpper(), QString(c.name)) << where;
            }
            EXPECT_TRUE(fits(f, c.kind)) << where << ": " << f.Name().toStdString() << " has type "
                                         << static_cast<int>(f.Type());
            if (c.minSize > 0 && f.Type() == FieldType::Text) {
                EXPECT_GE(f.Size(), c.minSize) << where << ": " << f.Name().toStdString();
            }
        }
    }

    static inline std::unique_ptr<tvtest::ScratchFolder> folder_;
    static inline bool built_ = false;
    static inline QString error_;
    std::map<QString, Database> dbs_;
};

TEST_F(ShippedSchema, ColumnsCountedFromOneSitWhereTheWindowsBindThem) {
    for (const TableColumns& t : kFromOne) checkColumns(t);
    for (const char* table : {"CURRENT REQUESTS", "COMPLETED REQUESTS"})
        checkColumns({"Data", table, true, kRequestColumns});
}

TEST_F(ShippedSchema, ColumnsCountedFromZeroSitWhereTheReadersTakeThem) {
    for (const TableColumns& t : kFromZero) checkColumns(t);
}

TEST_F(ShippedSchema, TablesListedWholeHaveNoOtherColumns) {
    for (const auto& [table, width] : kWidths)
        EXPECT_EQ(db("Data").TableDefNamed(table).FieldCount(), width) << table;
    for (const auto& [table, width] : std::vector<std::pair<const char*, int>>{
             {"INBOX", 13}, {"OUTBOX", 14}, {"INBOX ATTACHMENTS", 3}, {"OUTBOX ATTACHMENTS", 3}})
        EXPECT_EQ(db("Messages").TableDefNamed(table).FieldCount(), width) << table;
    // Message numbers are given by the database.
    for (const char* box : {"INBOX", "OUTBOX"})
        EXPECT_TRUE(db("Messages").TableDefNamed(box).FieldAt(0).AutoIncrement()) << box;
}

// Every table of Data.mdb but the program's own bookkeeping and the code tables is a
// business table: it has its catalogue row, its standard column count is its width, and
// each standard column has its field definition.
TEST_F(ShippedSchema, EveryBusinessTableIsCatalogued) {
    QSet<QString> notBusiness = {"COLOURS", "COUNTERS", "FILTERS", "SYSTEM USER ACCESS"};
    {
        tv::engine::Recordset codes =
            db("Definitions").OpenRecordset("SELECT TABLENAME FROM [LOOKUP TABLES]");
        for (; !codes.EOF_(); codes.MoveNext()) notBusiness.insert(tv::CStr(codes[0]).toUpper());
    }
    QMap<QString, std::pair<QString, int>> catalogue;  // table -> display name, standard count
    {
        tv::engine::Recordset rs = db("Definitions")
                                       .OpenRecordset(
                                           "SELECT TABLENAME, DISPLAYNAME, STDFIELDCOUNT, "
                                           "DATABASENAME FROM [TABLE DEFINITIONS]");
        for (; !rs.EOF_(); rs.MoveNext()) {
            catalogue.insert(tv::CStr(rs[0]).toUpper(),
                             {tv::CStr(rs[1]), rs[2].isNull() ? 0 : tv::CInt(rs[2])});
        }
    }
    int businessTables = 0;
    for (const tv::engine::TableDef& def : db("Data").TableDefs()) {
        const QString table = def.Name().toUpper();
        if (notBusiness.contains(table) || table.startsWith("MSYS")) continue;
        ++businessTables;
        ASSERT_TRUE(catalogue.contains(table))
            << def.Name().toStdString() << " has no catalogue row";
        const auto& [display, standard] = catalogue[table];
        if (standard > 0) {
            EXPECT_EQ(standard, def.FieldCount()) << def.Name().toStdString();
        }
        tv::engine::Recordset fields =
            db("Definitions")
                .OpenRecordset("SELECT FIELDNO FROM [FIELD DEFINITIONS] WHERE TABLENAME = " +
                               tv::engine::quoteLiteral(display));
        QSet<int> numbers;
        for (; !fields.EOF_(); fields.MoveNext()) numbers.insert(tv::CStr(fields[0]).toInt());
        for (int n = 1; n <= std::max(standard, def.FieldCount()); ++n)
            EXPECT_TRUE(numbers.contains(n)) << display.toStdString() << " field " << n;
    }
    EXPECT_GT(businessTables, 25);
}

}  // namespace
