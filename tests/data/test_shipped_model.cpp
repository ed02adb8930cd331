// The shipped databases (the shared fixture's, from db/) as today's code relies on them:
// each table's width, key and the positions read or named; the catalogue against the tables;
// the administrator; definitions rows of a fixed shape; a catalogue row for every message
// number in the sources. db/ stays the full description of every column.
#include "common/data/shipped_fixture.h"
#include "common/engine/queries.h"
#include "core/convert.h"
#include "data/app_state.h"
#include "data/user_rights.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <map>
#include <memory>

namespace tvtest {
namespace {

using tv::engine::Database;
using tv::engine::FieldType;
using tv::engine::TableDef;

// Per table: its width where rows are written whole (0: not fixed), its "PrimaryKey" columns,
// and the positions (from 0) the program reads or names as "ordinal NAME: Type", the name
// where SQL names it; Text(n) takes at least the n characters its window lets one type.
struct TableShape {
    const char* database;
    const char* table;
    int width;
    const char* key;
    const char* columns;
};

const TableShape kTables[] = {
    {"Data", "ACTIVITIES", 17, "CUSTOMER NAME|DATETIME",
     "0 CUSTOMER NAME: Text(60); 1 DATETIME: Date; 4 SALES REP ID: Text; 5 CONTACT NAME: Text; "
     "8 DURATION: Double; 13 SOURCEDOCTYPE: Text; 14 SOURCEDOCID: Text; 15 BILLABLE: Boolean; "
     "16 INVOICENO: Long"},
    {"Data", "COMPLETED REQUESTS", 35, nullptr,
     "0 REQUESTNO: Long; 6 CUSTOMER NAME: Text(60); 9 CONTACT NAME: Text; 11 AGREEMENTNO: Text; "
     "15 PERSONNEL: Text; 28 TOTALCHARGE: Number; 29 ORDERNO: Long; 32 CONTRACTFLAG: Text"},
    {"Data", "CONTACTS", 25, "CUSTOMER NAME|CONTACT NAME",
     "0 CUSTOMER NAME: Text(60); 1 CONTACT NAME: Text; 3 BUSINESS PHONE: Text; "
     "4 HOME PHONE: Text; 5 MOBILE PHONE: Text; 7 EMAIL ADDRESS: Text; 18 NEXTCONTACT: Date"},
    {"Data", "COUNTERS", 2, nullptr, "1 LASTNUMBER: Long"},
    {"Data", "CURRENT REQUESTS", 35, "REQUESTNO",
     "0 REQUESTNO: Long; 1 REQUESTED: Date; 6 CUSTOMER NAME: Text(60); 9 CONTACT NAME: Text; "
     "11 AGREEMENTNO: Text; 15 PERSONNEL: Text; 28 TOTALCHARGE: Currency; 29 ORDERNO: Whole"},
    {"Data", "CUSTOMER ATTACHMENTS", 0, "CUSTOMER NAME|DATETIME", "4 FILEPATH: Text"},
    {"Data", "CUSTOMER INVENTORY", 19, nullptr,
     "0 ITEMID: Text(20); 5 CUSTOMER NAME: Text; 9 CONTRACTID: Text; 10 ORDERNO: Text; "
     "11 SUPPLIEDDATE: Date; 13 WARRANTYEXPIRY: Date"},
    {"Data", "CUSTOMERS", 26, "CUSTOMER NAME",
     "0 CUSTOMER NAME: Text(60); 10 TELEPHONENO: Text(20); 13 EMAIL ADDRESS: Text; "
     "20 FIRSTDATE: Date; 22 NEXTDATE: Date; 23 ACCOUNTNO: Text"},
    {"Data", "FILTERS", 5, nullptr, "0: Text(10); 2: Memo; 4: Whole"},
    {"Data", "PRODUCTS", 0, nullptr,
     "0 PRODUCTCODE: Text; 8 TAXRATE: Double; 11 COSTPRICE: Currency; "
     "12 CUSTOMERINVENTORY: Boolean"},
    {"Data", "PROJECTS", 0, "NAME", ""},
    {"Data", "PURCHASE ORDERS", 0, nullptr, "8 USER ID: Text"},
    {"Data", "QUOTATIONS", 0, nullptr, "3 CUSTOMER NAME: Text; 11 COMMENTS: Memo"},
    {"Data", "RMAS", 0, nullptr, "3 CUSTOMER NAME: Text"},
    {"Data", "SALES OPPORTUNITIES", 11, nullptr, "3 CONTACT NAME: Text"},
    {"Data", "SALES ORDERS", 29, nullptr,
     "0 ORDERNO: Long; 3 CUSTOMER NAME: Text(60); 8 SALES REP ID: Text; 12 TOTAL: Currency; "
     "20 AMOUNTPAID: Currency"},
    {"Data", "SCHEDULED ACTIVITIES", 16, "CUSTOMER NAME|SCHEDDATETIME",
     "0 CUSTOMER NAME: Text(60); 1 SCHEDDATETIME: Date; 4 USER ID: Text; 5 CONTACT NAME: Text; "
     "13 SOURCEDOCTYPE: Text; 14 SOURCEDOCID: Text; 15 BILLABLE: Boolean"},
    {"Data", "SERVICE CONTRACTS", 0, nullptr,
     "0 CONTRACTID: Text; 2 CUSTOMER NAME: Text; 3 STARTDATE: Date; 4: Date; "
     "7 REQUESTSTODATE: Long; 11 HOURSUSED: Double; 12 ORDERNO: Long"},
    {"Data", "SYSTEM USER ACCESS", 3, "USERID|TABLENAME", "0 USERID: Text; 2 ACCESSLEVEL: Integer"},
    {"Data", "SYSTEM USERS", 14, nullptr,
     "9 PASSWORD: Text; 10 ADMINISTRATOR: Boolean; 11 CHARGERATE: Currency; 12: Boolean; "
     "13 BILLINGACCESS: Boolean"},
    {"Definitions", "FIELD DEFINITIONS", 0, nullptr, "0 TABLENAME: Text; 6: Boolean"},
    {"Definitions", "FORM CAPTIONS", 0, "FORMNAME|CONTROLTAG", "2: Text; 3: Text; 4: Boolean"},
    {"Definitions", "LOOKUP TABLES", 0, "TABLENAME", "1: Text; 2: Boolean; 3: Boolean"},
    {"Definitions", "MESSAGES", 0, "MSGNO", "0: Integer; 1: Text; 2: Memo; 3: Memo; 5: Long"},
    {"Definitions", "OPTION LISTS", 0, "LIST NAME|OPTION",
     "0 LIST NAME: Text; 1 OPTION: Text; 2: Text"},
    {"Definitions", "REPORT DEFINITIONS", 0, "CATEGORY|NAME",
     "0 CATEGORY: Text; 1 NAME: Text; 3: Text; 5: Text; 7: Text"},
    {"Definitions", "TABLE DEFINITIONS", 0, nullptr,
     "0 TABLENAME: Text; 1 DISPLAYNAME: Text; 5 STDFIELDCOUNT: Whole"},
    {"Messages", "INBOX", 13, nullptr,
     "0 MSGNO: Long; 1 RECEIVED: Date; 2 TONAME: Text; 3 TOADDRESS: Text; 4 USERID: Text; "
     "5 FROMNAME: Text; 6 COMPANY: Text; 7 FROMADDRESS: Text; 8 SENTVIA: Text; 9 SUBJECT: Text; "
     "10 MESSAGETEXT: Memo; 11 HASATTACHMENTS: Boolean; 12 STATUS: Text"},
    {"Messages", "INBOX ATTACHMENTS", 3, "MSGNO|ATTACHNO",
     "0 MSGNO: Long; 1 ATTACHNO: Whole; 2 FILENAME: Text"},
    {"Messages", "OUTBOX", 14, nullptr,
     "0 MSGNO: Long; 1 SENT: Date; 2 OUTREF: Text; 3 PRIORITY: Integer; 4 USERID: Text; "
     "5 FROMNAME: Text; 6 TOCONTACT: Text; 7 COMPANY: Text; 8 TOADDRESS: Text; 9 SENDVIA: Text; "
     "10 SUBJECT: Text; 11 MESSAGETEXT: Memo; 12 HASATTACHMENTS: Boolean; 13 STATUS: Text"},
    {"Messages", "OUTBOX ATTACHMENTS", 3, nullptr,
     "0 MSGNO: Long; 1 ATTACHNO: Whole; 2 FILENAME: Text"},
};

// Whole and Number admit any type of that sort (codes 2-4 and 2-7): the program only
// reads such a value.
bool fits(FieldType t, const QString& kind) {
    const int code = static_cast<int>(t);
    if (kind == "Whole") return code >= 2 && code <= 4;
    if (kind == "Number") return code >= 2 && code <= 7;
    static const QStringList names = {"",         "Boolean",    "Byte",   "Integer", "Long",
                                      "Currency", "Single",     "Double", "Date",    "",
                                      "Text",     "LongBinary", "Memo"};
    return names.value(code) == kind;
}

class ShippedModel : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        messages = tv::engine::Engine::instance().OpenDatabase(data.file("Messages.mdb"));
    }
    Database& db(const QString& name) {
        if (name == "Definitions") return tv::data::state().DefinitionsDb;
        if (name == "Messages") return messages;
        return tv::data::state().DataDb;
    }
    Database& definitions() { return db("Definitions"); }
    Database& dataDb() { return db("Data"); }

    static QStringList keyOf(const TableDef& def) {
        for (const auto& index : def.Indexes())
            if (index.Name() == "PrimaryKey") return index.FieldNames();
        return {};
    }

    Database messages;
};

TEST_F(ShippedModel, TablesHaveTheShapeTheProgramReliesOn) {
    static const QRegularExpression item(R"(^(\d+)\s*([^:]*?)\s*:\s*(\w+)(?:\((\d+)\))?$)");
    int checked = 0;
    for (const TableShape& t : kTables) {
        const TableDef def = db(t.database).TableDefNamed(t.table);
        EXPECT_TRUE(!t.width || def.FieldCount() == t.width) << t.table << " has the wrong width";
        EXPECT_TRUE(!t.key || keyOf(def).join("|").toUpper() == t.key) << t.table << " key";
        for (const QString& text : QString(t.columns).split(';', Qt::SkipEmptyParts)) {
            const auto m = item.match(text.trimmed());
            ASSERT_TRUE(m.hasMatch()) << t.table << ": " << text.toStdString();
            const std::string where = std::string(t.table) + " " + text.trimmed().toStdString();
            ASSERT_LT(m.captured(1).toInt(), def.FieldCount()) << where;
            const tv::engine::Field f = def.FieldAt(m.captured(1).toInt());
            if (!m.captured(2).isEmpty()) {
                EXPECT_EQ(f.Name().toUpper(), m.captured(2)) << where;
            }
            EXPECT_TRUE(fits(f.Type(), m.captured(3)))
                << where << ": " << f.Name().toStdString() << " has type " << int(f.Type());
            if (f.Type() == FieldType::Text) {
                EXPECT_GE(f.Size(), m.captured(4).toInt()) << where;
            }
            ++checked;
        }
    }
    EXPECT_GT(checked, 120);
    // Message numbers are auto-numbers, so concurrent deliveries get their own; every key
    // holds one to three columns, as the access layer seeks with at most three.
    for (const char* box : {"INBOX", "OUTBOX"})
        EXPECT_TRUE(messages.TableDefNamed(box).FieldAt(0).AutoIncrement()) << box;
    for (const char* database : {"Data", "Definitions", "Messages"}) {
        for (const TableDef& def : db(database).TableDefs()) {
            const qsizetype n = keyOf(def).size();
            EXPECT_TRUE(n >= 1 && n <= 3) << def.Name().toStdString() << " key of " << n;
        }
    }
}

// Tables whose rows move or are copied between each other keep one layout.
TEST_F(ShippedModel, TablesThatShareRowsShareTheirLayout) {
    auto types = [&](const QString& table, int count) {
        std::vector<FieldType> out;
        const TableDef def = dataDb().TableDefNamed(table);
        for (int i = 0; i < count; ++i) out.push_back(def.FieldAt(i).Type());
        return out;
    };
    const int requestWidth = dataDb().TableDefNamed("CURRENT REQUESTS").FieldCount();
    EXPECT_EQ(types("CURRENT REQUESTS", requestWidth), types("COMPLETED REQUESTS", requestWidth));
    // Completing a scheduled activity inserts its sixteen columns into ACTIVITIES.
    EXPECT_EQ(types("SCHEDULED ACTIVITIES", 16), types("ACTIVITIES", 16));
}

// Every table of Data.mdb but the program's own bookkeeping and the code tables is a
// business table with its catalogue row; each row names a table that exists, counts its
// columns, names a real owner column, and a numbered table has its counter.
TEST_F(ShippedModel, TheCatalogueAndTheTablesMatch) {
    QSet<QString> notBusiness = {"COLOURS", "COUNTERS", "FILTERS", "SYSTEM USER ACCESS"};
    for (const QString& code : queryColumn(definitions(), "SELECT TABLENAME FROM [LOOKUP TABLES]"))
        notBusiness.insert(code.toUpper());
    QSet<QString> counters;
    for (const QString& name : queryColumn(dataDb(), "SELECT * FROM [Counters]"))
        counters.insert(name.toUpper());

    QSet<QString> catalogued;
    for (const QStringList& row : queryRows(definitions(), "SELECT * FROM [TABLE DEFINITIONS]")) {
        const QString table = row[0];
        const std::string name = table.toStdString();
        catalogued.insert(table.toUpper());
        Database& holder = db(row[4]);
        ASSERT_TRUE(holder.HasTable(table)) << name << " in " << row[4].toStdString();
        const TableDef def = holder.TableDefNamed(table);
        EXPECT_EQ(row[1].toUpper(), table.toUpper()) << name << ": display name";
        const int standard = row[5].toInt();
        EXPECT_TRUE(standard == 0 || standard == def.FieldCount()) << name;
        if (!row[3].isEmpty()) {
            EXPECT_EQ(standard, def.FieldCount()) << name << " has a window";
        }
        if (!row[6].isEmpty()) {
            EXPECT_NO_THROW(def.FieldNamed(row[6])) << name << ": owner " << row[6].toStdString();
        }
        EXPECT_EQ(tv::CBool(tv::Variant(row[9])), counters.contains(row[1].toUpper())) << name;
    }
    int businessTables = 0;
    for (const TableDef& def : dataDb().TableDefs()) {
        const QString table = def.Name().toUpper();
        if (notBusiness.contains(table) || table.startsWith("MSYS")) continue;
        ++businessTables;
        EXPECT_TRUE(catalogued.contains(table)) << def.Name().toStdString() << " is not catalogued";
    }
    EXPECT_GT(businessTables, 25);
}

// The list window shows FIELD DEFINITIONS rows 1, 2, ... up to the first gap, so every
// column needs its row, naming the column at that position.
TEST_F(ShippedModel, FieldDefinitionsDescribeEveryColumnInOrder) {
    for (const QStringList& table : queryRows(definitions(), "SELECT * FROM [TABLE DEFINITIONS]")) {
        const TableDef def = db(table[4]).TableDefNamed(table[0]);
        const auto fields =
            queryRows(definitions(), "SELECT * FROM [FIELD DEFINITIONS] WHERE TABLENAME = " +
                                         tv::engine::quoteLiteral(table[1]) + " ORDER BY FIELDPOS");
        ASSERT_EQ(static_cast<int>(fields.size()), def.FieldCount()) << table[1].toStdString();
        for (int i = 0; i < def.FieldCount(); ++i) {
            const QStringList& f = fields[static_cast<size_t>(i)];
            const std::string at = table[1].toStdString() + " ordinal " + std::to_string(i);
            EXPECT_EQ(f[1], QString::number(i + 1)) << at;
            EXPECT_EQ(f[8].toUpper(), def.FieldAt(i).Name().toUpper()) << at;
            EXPECT_FALSE(f[2].isEmpty() || f[3].isEmpty()) << at << ": label and tool tip";
        }
    }
    // The list colours these columns by their caption.
    EXPECT_EQ(
        joinedRows(definitions(),
                   "SELECT TABLENAME, FIELDNO, LABEL FROM [FIELD DEFINITIONS] WHERE "
                   "TABLENAME IN ('Activities', 'Scheduled Activities', 'Current Requests', "
                   "'Completed Requests') AND LABEL IN ('Activity Type', 'Priority') ORDER BY 1"),
        (QStringList{"Activities|3|Activity Type", "Completed Requests|5|Priority",
                     "Current Requests|5|Priority", "Scheduled Activities|3|Activity Type"}));
}

TEST_F(ShippedModel, DefaultAdministratorSignsInWithEveryRight) {
    // User ids compare ignoring case; the password "admin" is stored as its hash, made
    // with the limits sign-in checks with (else the first sign-in would rewrite it).
    EXPECT_EQ(joinedRows(dataDb(),
                         "SELECT ADMINISTRATOR, WORKFLOW, BILLINGACCESS FROM [System Users] "
                         "WHERE USERID = 'ADMIN'"),
              QStringList{"True|False|True"});
    const QString hash = queryValue(dataDb(), "SELECT PASSWORD FROM [System Users]");
    EXPECT_TRUE(tv::data::passwordMatchesHash("admin", hash)) << hash.toStdString();
    EXPECT_EQ(hash.section('$', 3, 3), tv::data::hashPassword("x")->section('$', 3, 3));
    QSet<QString> granted;
    for (const QStringList& row :
         queryRows(dataDb(), "SELECT * FROM [SYSTEM USER ACCESS] WHERE USERID = 'admin'")) {
        EXPECT_EQ(row[2], "15") << row[1].toStdString();
        granted.insert(row[1]);
    }
    for (const QString& table : queryColumn(definitions(), "SELECT * FROM [TABLE DEFINITIONS]", 1))
        EXPECT_TRUE(granted.contains(table)) << table.toStdString();
}

// Definitions and code tables ---------------------------------------------------------

// The code editor writes code and description at 0 and 1, colour and picture at 2 and 3
// of every table with more columns except "Time Zones"; lists read the same positions.
TEST_F(ShippedModel, EveryLookupTableHasTheShapeTheCodeEditorWrites) {
    const auto tables = queryRows(definitions(), "SELECT * FROM [LOOKUP TABLES]");
    ASSERT_FALSE(tables.empty());
    for (const QStringList& row : tables) {
        const std::string name = row[0].toStdString();
        ASSERT_TRUE(dataDb().HasTable(row[0])) << name;
        const TableDef def = dataDb().TableDefNamed(row[0]);
        EXPECT_EQ(keyOf(def), QStringList{def.FieldAt(0).Name()}) << name;
        EXPECT_TRUE(def.FieldAt(0).Type() == FieldType::Text &&
                    def.FieldAt(1).Type() == FieldType::Text)
            << name;
        if (def.FieldCount() > 2 && row[0] != "Time Zones") {
            EXPECT_TRUE(def.FieldAt(2).Type() == FieldType::Long &&
                        def.FieldAt(3).Type() == FieldType::Text)
                << name;
        } else {
            EXPECT_EQ(row[2] + row[3], "FalseFalse") << name << " has no colour column";
        }
        EXPECT_NE(queryValue(dataDb(), "SELECT * FROM [" + row[0] + "]"), "<none>")
            << name << " ships without codes";
    }
}

// Each business table's list window and the table-lookup window take their titles from
// rows keyed by display names; a title row for a name the catalogue does not know is dead.
TEST_F(ShippedModel, EveryListWindowHasItsTitle) {
    for (const QStringList& t : queryRows(definitions(), "SELECT * FROM [TABLE DEFINITIONS]")) {
        if (t[3].isEmpty()) continue;  // no record window, so no list of its own
        EXPECT_EQ(queryValue(definitions(),
                             "SELECT COUNT(*) FROM [FORM CAPTIONS] WHERE FORMNAME = " +
                                 tv::engine::quoteLiteral(t[1]) + " AND CONTROLTAG = 'Caption'"),
                  "1")
            << t[1].toStdString();
    }
}

// Where a number is used, for the failure message.
struct Use {
    int number;
    QString where;
};

struct SourceScan {
    std::vector<Use> uses;
    QStringList unresolved;  // named constants passed to a message call with no value found
};

// The program's sources, read once.
std::map<QString, QString> programSources() {
    std::map<QString, QString> files;
    for (const char* root : {"src", "tools"}) {
        QDirIterator it(tvtest::sourceDir() + "/" + root, {"*.cpp", "*.h"}, QDir::Files,
                        QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString path = it.next();
            QFile file(path);
            if (file.open(QIODevice::ReadOnly))
                files[path.mid(tvtest::sourceDir().size() + 1)] = QString::fromUtf8(file.readAll());
        }
    }
    return files;
}

// Message numbers reach the catalogue through ShowMessage (a box) and ShowStatusMessage
// (the status bar), either as a literal or as a named constant; constants named kMsg...
// are message numbers wherever they are used.
SourceScan scanSources(const std::map<QString, QString>& files) {
    static const QRegularExpression constant(
        R"(\b(?:constexpr|const)\s+(?:auto|int|short|long|(?:std::)?u?int(?:16|32)_t|qu?int(?:16|32))\s+(k\w+)\s*(?:=\s*|\{\s*)(\d+)\s*\}?\s*;)");
    static const QRegularExpression call(R"(\b(ShowMessage|ShowStatusMessage)\s*\(\s*([\w:]+))");
    QHash<QString, int> values;
    SourceScan scan;
    for (const auto& [path, text] : files) {
        for (auto m = constant.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            values.insert(match.captured(1), match.captured(2).toInt());
            if (match.captured(1).startsWith("kMsg"))
                scan.uses.push_back({match.captured(2).toInt(), path});
        }
    }
    for (const auto& [path, text] : files) {
        for (auto m = call.globalMatch(text); m.hasNext();) {
            const auto match = m.next();
            const QString argument = match.captured(2);
            const QString where = QStringLiteral("%1:%2 %3")
                                      .arg(path)
                                      .arg(text.left(match.capturedStart()).count('\n') + 1)
                                      .arg(match.captured(0));
            bool isNumber = false;
            const int number = argument.toInt(&isNumber);
            const QString name = argument.section("::", -1);
            if (isNumber) {
                scan.uses.push_back({number, where});
            } else if (values.contains(name)) {
                scan.uses.push_back({values.value(name), where});
            } else if (name.size() > 1 && name[0] == 'k' && name[1].isUpper()) {
                scan.unresolved << where;
            }
            // Anything else is a declaration or a number handed through a parameter.
        }
    }
    return scan;
}

// The questions the program asks, which need Yes and No buttons.
const int kQuestions[] = {11, 101, 107, 120, 147, 148, 149, 150, 193, 199, 505, 601};

class MessageCatalogue : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        tvtest::ScratchFolder folder;
        ASSERT_TRUE(tvtest::copyShippedDatabases(folder.path()));
        tv::engine::Database db =
            tv::engine::Engine::instance().OpenDatabase(folder.file("Definitions.mdb"), true);
        for (const QStringList& row : tvtest::queryRows(db, "SELECT MSGNO, STYLE FROM MESSAGES"))
            styles_[row[0].toInt()] = row[1].isEmpty() ? -1 : row[1].toLong();
    }
    static inline std::map<int, long> styles_;  // message number -> box style
};

TEST_F(MessageCatalogue, EveryNumberTheSourcesShowHasARow) {
    const SourceScan scan = scanSources(programSources());
    EXPECT_TRUE(scan.unresolved.isEmpty()) << "message constants without a value:\n"
                                           << scan.unresolved.join('\n').toStdString();
    // The scan must see the calls it exists for, or it proves nothing.
    QSet<int> seen;
    for (const Use& use : scan.uses) seen.insert(use.number);
    for (int known : {11, 101, 194}) EXPECT_TRUE(seen.contains(known)) << known;
    for (const Use& use : scan.uses) {
        // Status message 0 is no message: it clears the status bar.
        if (use.number == 0 && use.where.contains(QLatin1String("ShowStatusMessage"))) continue;
        EXPECT_TRUE(styles_.count(use.number))
            << use.number << " used at " << use.where.toStdString();
    }
}

TEST_F(MessageCatalogue, QuestionsOfferYesAndNo) {
    for (int number : kQuestions) {
        ASSERT_TRUE(styles_.count(number)) << number;
        const long buttons = styles_[number] & 0xF;
        EXPECT_TRUE(buttons == 3 || buttons == 4) << number << " has buttons " << buttons;
    }
}

}  // namespace
}  // namespace tvtest
