// The shipped definitions and code tables as the program reads them: the shape the code
// editor writes, the codes and lists the program names itself, message boxes whose buttons
// fit their wording, and cross-references between tables (log options to activity types,
// report criteria to real columns, list titles to the catalogue), on the databases the
// shared fixture builds from db/. An edit of a row file that breaks one of these links
// fails here.
#include "common/data/shipped_fixture.h"
#include "common/engine/queries.h"
#include "core/convert.h"
#include "data/app_state.h"
#include "engine/engine.h"

#include <QFile>
#include <QMap>
#include <QRegularExpression>
#include <QSet>
#include <QTime>

namespace tvtest {
namespace {

using tv::engine::Database;
using tv::engine::FieldType;
using tv::engine::TableDef;

class ShippedDefinitions : public ShippedDatabasesTest {
protected:
    static Database& data() { return tv::data::state().DataDb; }
    static Database& definitions() { return tv::data::state().DefinitionsDb; }
};

// The code editor writes code and description at 0 and 1, colour and picture at 2 and 3
// of every table with more columns except "Time Zones"; lists read the same positions.
TEST_F(ShippedDefinitions, EveryLookupTableHasTheShapeTheCodeEditorWrites) {
    const auto tables = queryRows(definitions(), "SELECT * FROM [LOOKUP TABLES]");
    ASSERT_FALSE(tables.empty());
    for (const QStringList& row : tables) {
        const QString name = row[0];
        ASSERT_TRUE(data().HasTable(name)) << name.toStdString();
        const TableDef def = data().TableDefNamed(name);
        QStringList key;
        for (const auto& index : def.Indexes()) {
            if (index.Name() == "PrimaryKey") key = index.FieldNames();
        }
        EXPECT_EQ(key, QStringList{def.FieldAt(0).Name()}) << name.toStdString();
        EXPECT_EQ(def.FieldAt(0).Type(), FieldType::Text) << name.toStdString();
        EXPECT_EQ(def.FieldAt(1).Type(), FieldType::Text) << name.toStdString();

        const bool colours = row[2] != "False";
        const bool pictures = row[3] != "False";
        if (def.FieldCount() > 2 && name != "Time Zones") {
            EXPECT_EQ(def.FieldAt(2).Type(), FieldType::Long) << name.toStdString();
            EXPECT_EQ(def.FieldAt(3).Type(), FieldType::Text) << name.toStdString();
        } else {
            EXPECT_FALSE(colours || pictures) << name.toStdString() << " has no colour column";
        }
        EXPECT_FALSE(queryColumn(data(), "SELECT * FROM [" + name + "]").isEmpty())
            << name.toStdString() << " ships without codes";
    }
}

// Lists colour a cell when its text matches a code as a pattern and show a picture only
// for a ".bmp" file that exists, so coloured codes must not match each other and their
// pictures must be bitmaps in db/Pictures.
TEST_F(ShippedDefinitions, ColouredCodesStandApartAndTheirPicturesExist) {
    for (const char* table : {"Activity Types", "Priority Codes"}) {
        const auto codes = queryRows(data(), QString("SELECT * FROM [%1]").arg(table));
        for (const QStringList& code : codes) {
            const QRegularExpression pattern(code[0]);
            EXPECT_FALSE(code[0].contains(QRegularExpression(R"([.*+?()\[\]{}|^$\\])")))
                << code[0].toStdString() << " holds a pattern character";
            for (const QStringList& other : codes) {
                if (other[0] == code[0]) continue;
                EXPECT_FALSE(pattern.match(other[0]).hasMatch())
                    << code[0].toStdString() << " also colours " << other[0].toStdString();
            }
            if (code[3].isEmpty()) continue;
            EXPECT_TRUE(code[3].toUpper().contains("BMP")) << code[3].toStdString();
            QFile picture(tvtest::sourceDir() + "/db/Pictures/" + code[3]);
            ASSERT_TRUE(picture.open(QIODevice::ReadOnly)) << code[3].toStdString();
            EXPECT_EQ(picture.read(2), QByteArray("BM")) << code[3].toStdString();
        }
    }
}

// Values the program writes on its own must be codes of the lists users pick them from.
TEST_F(ShippedDefinitions, CodesTheProgramWritesAreInTheirLists) {
    const QStringList statuses = queryColumn(data(), "SELECT * FROM [Status Codes]");
    for (const char* status : {"Open", "Closed"}) {
        EXPECT_TRUE(statuses.contains(status)) << status;
    }

    const QStringList types = queryColumn(data(), "SELECT * FROM [Activity Types]");
    for (const char* type : {"Local Email", "Internet Email", "Fax"}) {
        EXPECT_TRUE(types.contains(type)) << type;
    }
    const auto events = queryRows(definitions(), "SELECT * FROM [ACTIVITY LOG OPTIONS]");
    for (const QStringList& event : events) {
        if (event[2].isEmpty()) continue;  // an event switched off
        EXPECT_TRUE(types.contains(event[2])) << event[1].toStdString();
    }
    // The events the windows raise by these keys.
    QSet<QString> keys;
    for (const QStringList& event : events) keys.insert(event[0] + "/" + event[1]);
    for (const char* key :
         {"New Record/Quotations", "New Record/Sales Orders", "New Record/Current Requests",
          "New Record/RMAs", "Other/Payments", "Send/Local Email", "Send/Internet Email",
          "Send/Fax", "Send/Printer"}) {
        EXPECT_TRUE(keys.contains(key)) << key;
    }
}

// The lists the program reads by fixed name, with the values it takes from them.
TEST_F(ShippedDefinitions, OptionListsHoldWhatTheirReadersTakeFromThem) {
    auto list = [&](const QString& name, const QString& order = QString()) {
        return queryRows(definitions(),
                         "SELECT * FROM [OPTION LISTS] WHERE [LIST NAME] = '" + name + "'" + order);
    };
    for (const char* name : {"Honorific", "Find Where", "PageOrientation", "TableBorders",
                             "Response Type", "Constants", "Tables", "Outbox", "Inbox",
                             "Report Output", "Report File Format", "ServiceHours"}) {
        EXPECT_FALSE(list(name).empty()) << name;
    }

    // The find window takes the match mode from the number an entry starts with.
    for (const QStringList& entry : list("Find Where")) {
        EXPECT_EQ(entry[1].left(1), entry[2]) << entry[1].toStdString();
    }
    // Script steps store the position of the chosen entry, read in the order the engine
    // returns them: 0 choice, 1 number, 2 text, 3 choice.
    QStringList positions;
    for (const QStringList& entry : list("Response Type")) positions.append(entry[2]);
    EXPECT_EQ(positions, QStringList({"0", "1", "2", "3"}));
    // The inbox and outbox show five columns.
    EXPECT_EQ(list("Inbox", " ORDER BY OPTION").size(), 5u);
    EXPECT_EQ(list("Outbox", " ORDER BY OPTION").size(), 5u);

    QMap<QString, QString> hours;
    for (const QStringList& entry : list("ServiceHours")) hours[entry[1]] = entry[2];
    const QTime start = QTime::fromString(hours["StartTime"], "HH:mm");
    const QTime end = QTime::fromString(hours["EndTime"], "HH:mm");
    ASSERT_TRUE(start.isValid() && end.isValid());
    EXPECT_LT(start, end);
    EXPECT_EQ(hours["IncludeWeekends"], "0");

    // Custom fields go only to tables the catalogue lets take them.
    QSet<QString> extendable;
    for (const QStringList& table : queryRows(definitions(), "SELECT * FROM [TABLE DEFINITIONS]")) {
        if (table[4] == "Data" && tv::CInt(tv::Variant(table[5])) > 0) {
            extendable.insert(table[0].toUpper());
        }
    }
    for (const QStringList& entry : list("Tables")) {
        EXPECT_TRUE(extendable.contains(entry[2].toUpper())) << entry[2].toStdString();
    }
}

// A box's buttons follow its wording: a question has Yes/No buttons and ends in a question,
// a notice has OK alone; every box has a title and a text.
TEST_F(ShippedDefinitions, MessageStylesFitTheirWording) {
    const auto messages = queryRows(definitions(), "SELECT * FROM [MESSAGES] ORDER BY MSGNO");
    ASSERT_GT(messages.size(), 80u);
    for (const QStringList& m : messages) {
        const std::string no = m[0].toStdString();
        EXPECT_FALSE(m[1].trimmed().isEmpty()) << no;
        EXPECT_FALSE(m[2].trimmed().isEmpty()) << no;
        const int style = tv::CLng(tv::Variant(m[5]));
        const int buttons = style & 0x0F;
        const int icon = style & 0xF0;
        const int defaultButton = style & 0xF00;
        EXPECT_TRUE(buttons <= 5) << no;
        EXPECT_TRUE(icon == 0 || icon == 16 || icon == 32 || icon == 48 || icon == 64) << no;
        EXPECT_TRUE(defaultButton == 0 || defaultButton == 256 || defaultButton == 512) << no;
        const bool asks = (m[2] + m[3]).contains('?');
        if (buttons == 3 || buttons == 4) {
            EXPECT_TRUE(asks) << no << ": Yes/No buttons without a question";
            EXPECT_EQ(icon, 32) << no;
        }
        if (buttons == 0) {
            EXPECT_FALSE(asks) << no << ": a question with an OK button only";
        }
    }
}

// Report criteria name real columns, and list inputs name a real lookup column.
TEST_F(ShippedDefinitions, ReportCriteriaNameRealColumns) {
    QSet<QString> reports;
    const QStringList outputs = queryColumn(
        definitions(), "SELECT * FROM [OPTION LISTS] WHERE [LIST NAME] = 'Report Output'", 1);
    for (const QStringList& r : queryRows(definitions(), "SELECT * FROM [REPORT DEFINITIONS]")) {
        reports.insert(r[0] + "/" + r[1]);
        EXPECT_TRUE(outputs.contains(r[5])) << r[1].toStdString();
        EXPECT_TRUE(r[3].endsWith(".rpt", Qt::CaseInsensitive)) << r[1].toStdString();
    }
    for (const QStringList& c : queryRows(definitions(), "SELECT * FROM [REPORT SELECTION]")) {
        const std::string name = c[1].toStdString();
        EXPECT_TRUE(reports.contains(c[0] + "/" + c[1])) << name;
        const int kind = tv::CInt(tv::Variant(c[6]));
        EXPECT_TRUE(kind >= 0 && kind <= 4) << name;
        if (!c[3].isEmpty()) {
            ASSERT_TRUE(data().HasTable(c[3])) << name;
            EXPECT_NO_THROW(data().TableDefNamed(c[3]).FieldNamed(c[4])) << name;
        }
        if (kind == 1 || kind == 4) {
            ASSERT_TRUE(data().HasTable(c[9])) << name;
            EXPECT_NO_THROW(data().TableDefNamed(c[9]).FieldNamed(c[10])) << name;
        }
    }
}

// Each business table's list window and the table-lookup window take their titles from
// rows keyed by display names; a title row for a name the catalogue does not know is dead.
TEST_F(ShippedDefinitions, WindowTitlesFollowTheCatalogue) {
    QSet<QString> displayNames;
    for (const QStringList& t : queryRows(definitions(), "SELECT * FROM [TABLE DEFINITIONS]")) {
        displayNames.insert(t[1]);
        if (t[3].isEmpty()) continue;  // no record window, so no list of its own
        const auto title =
            queryRows(definitions(), "SELECT * FROM [FORM CAPTIONS] WHERE FORMNAME = '" + t[1] +
                                         "' AND CONTROLTAG = 'Caption'");
        EXPECT_EQ(title.size(), 1u) << t[1].toStdString();
    }
    for (const QString& source :
         queryColumn(definitions(), "SELECT * FROM [FORM CAPTIONS] WHERE FORMNAME = 'Lookup'", 1)) {
        if (QStringList({"Caption", "Selectf", "AddButton", "Closef"}).contains(source)) continue;
        EXPECT_TRUE(displayNames.contains(source)) << source.toStdString();
    }
}

}  // namespace
}  // namespace tvtest
