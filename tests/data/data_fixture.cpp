#include "data_fixture.h"

#include "common/engine/queries.h"
#include "core/regional.h"
#include "data/prompter.h"

namespace tvtest {

using tv::engine::Engine;
using tv::engine::quoteLiteral;
namespace msgbox = tv::data::msgbox;

namespace {

// Questions where the layer asks one, notices elsewhere.
int styleOf(int number) {
    return number == 11 || number == 101 || number == 107 ? msgbox::kYesNo + msgbox::kQuestion
                                                          : msgbox::kOkOnly + msgbox::kExclamation;
}

}  // namespace

void DataLayerTest::SetUp() {
    tv::RegionalSettings regional;
    regional.dateOrder = tv::DateOrder::DayMonthYear;
    tv::pinRegional(regional);
    tv::data::state().reset();

    Engine::instance().CreateDatabase(definitionsPath()).Close();
    QStringList definitions{QStringLiteral(
        "CREATE TABLE [MESSAGES] ([MSGNO] SHORT NOT NULL, [TITLE] TEXT(100), [MSGTEXT] MEMO, "
        "[PARAGRAPH] MEMO, [CATEGORY] TEXT(50), [STYLE] LONG, "
        "CONSTRAINT PrimaryKey PRIMARY KEY ([MSGNO]))")};
    for (int n : kCatalogue) {
        definitions << QStringLiteral(
                           "INSERT INTO [MESSAGES] VALUES (%1, %2, %3, Null, 'Test', %4)")
                           .arg(n)
                           .arg(quoteLiteral(QStringLiteral("Title %1").arg(n)),
                                quoteLiteral(QStringLiteral("Text %1.").arg(n)))
                           .arg(styleOf(n));
    }
    execOn(definitionsPath(), definitions);

    Engine::instance().CreateDatabase(dataPath()).Close();
    execData({
        QStringLiteral("CREATE TABLE [CUSTOMERS] ([CUSTOMER NAME] TEXT(50) NOT NULL, "
                       "[CITY] TEXT(50), [CREDIT] CURRENCY, [ACTIVE] BIT, [NOTES] MEMO, "
                       "[SINCE] DATETIME, [VISITS] LONG, [OWNER] TEXT(20), "
                       "CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME]))"),
        QStringLiteral("CREATE TABLE [ACTIVITIES] ([CUSTOMER NAME] TEXT(50) NOT NULL, "
                       "[DATETIME] DATETIME NOT NULL, [TYPE] TEXT(30), [DURATION] LONG, "
                       "CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [DATETIME]))"),
        QStringLiteral("CREATE TABLE [CONTACT ROLES] ([CUSTOMER NAME] TEXT(50) NOT NULL, "
                       "[CONTACT NAME] TEXT(50) NOT NULL, [ROLE] TEXT(30) NOT NULL, "
                       "[SINCE] DATETIME, "
                       "CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [CONTACT NAME], "
                       "[ROLE]))"),
        QStringLiteral("CREATE TABLE [PRODUCTS] ([PRODUCTNO] LONG NOT NULL, "
                       "[DESCRIPTION] TEXT(50), CONSTRAINT PrimaryKey PRIMARY KEY ([PRODUCTNO]))"),
        QStringLiteral("CREATE TABLE [COUNTERS] ([NAME] TEXT(30) NOT NULL, [VALUE] LONG, "
                       "CONSTRAINT PrimaryKey PRIMARY KEY ([NAME]))"),
        QStringLiteral("CREATE TABLE [System User Access] ([USERID] TEXT(20) NOT NULL, "
                       "[TABLENAME] TEXT(50) NOT NULL, [LEVEL] SHORT, "
                       "CONSTRAINT PrimaryKey PRIMARY KEY ([USERID], [TABLENAME]))"),
    });

    tv::data::AppState& st = tv::data::state();
    st.DataLocation = folder.path();
    st.DefinitionsLocation = folder.path();
    st.DefinitionsDb = Engine::instance().OpenDatabase(definitionsPath());
    st.MessagesRs = st.DefinitionsDb.OpenRecordset("Messages");
    st.MessagesRs.SetIndex("PrimaryKey");
}

void DataLayerTest::TearDown() {
    ask.verifyDone();
    tv::data::state().reset();
    tv::resetRegional();
}

void DataLayerTest::execOn(const QString& path, const QStringList& statements) {
    tv::engine::Database db = Engine::instance().OpenDatabase(path);
    for (const QString& s : statements) db.Execute(s);
    db.Close();
}

QStringList DataLayerTest::column(const QString& sql) {
    tv::engine::Database db = Engine::instance().OpenDatabase(dataPath());
    return queryColumn(db, sql);
}

QString DataLayerTest::row(const QString& sql) {
    tv::engine::Database db = Engine::instance().OpenDatabase(dataPath());
    const std::vector<QStringList> rows = queryRows(db, sql);
    return rows.empty() ? "<none>" : rows.front().join(u'|');
}

}  // namespace tvtest
