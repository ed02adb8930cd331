// The to-do list: what each page lists for the signed-in user, and what Open opens.
#include "service/service_fixture.h"

#include "forms/framework/list_model.h"
#include "forms/framework/record_window.h"
#include "forms/service/todo_window.h"

#include <QTableView>

namespace tvtest {
namespace {

using tv::forms::ToDoList;

class ToDoTest : public ServiceWindowsTest {
protected:
    void SetUp() override {
        ServiceWindowsTest::SetUp();
        const QString me = tv::engine::quoteLiteral(kUser);
        execData({
            QStringLiteral("INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('O''Brien')"),
            // Plans: overdue, late today, tomorrow's first second, another user's.
            plan("2026-12-01 09:00:00", me), plan("2026-12-04 23:30:00", me),
            plan("2026-12-05 00:00:00", me), plan("2026-12-04 11:00:00", "'bob'"),
            QStringLiteral("INSERT INTO [CURRENT REQUESTS] (REQUESTNO, [CUSTOMER NAME], PERSONNEL) "
                           "VALUES (7, 'O''Brien', %1)").arg(me),
            QStringLiteral("INSERT INTO [CURRENT REQUESTS] (REQUESTNO, PERSONNEL) VALUES (8, 'bob')"),
            labourLine(7, 1, kUser, "#2026-12-04 12:00:00#", "Null"),   // due today
            labourLine(7, 2, kUser, "Null", "Null"),                    // never scheduled
            labourLine(7, 3, kUser, "#2026-12-03 09:00:00#", "#2026-12-03 10:00:00#"),  // done
            labourLine(7, 4, kUser, "#2026-12-05 00:00:00#", "Null"),   // tomorrow
            labourLine(8, 1, kUser, "#2026-12-02 09:00:00#", "Null"),   // overdue, request 8
            labourLine(8, 2, "bob", "#2026-12-04 09:00:00#", "Null"),
        });
    }
    static QString plan(const char* when, const QString& user) {
        return QStringLiteral("INSERT INTO [SCHEDULED ACTIVITIES] ([CUSTOMER NAME], SCHEDDATETIME, "
                              "[USER ID]) VALUES ('O''Brien', #%1#, %2)")
            .arg(QLatin1String(when), user);
    }
    // The page's rows as their key columns, in the list's order.
    static QStringList keys(ToDoList& list, int page, const QString& columns) {
        list.showPage(page);
        EXPECT_EQ(list.model()->recordCount(), list.model()->rowCount());
        QString sql = list.query();
        return dataRows(sql.replace(QStringLiteral("SELECT *"), QStringLiteral("SELECT ") + columns));
    }
};

TEST_F(ToDoTest, EachPageListsWhatIsDueForTheUserByTheEndOfToday) {
    ToDoList list;
    EXPECT_EQ(keys(list, ToDoList::Scheduled, "Format(SCHEDDATETIME, 'yyyy-mm-dd hh:nn')"),
              (QStringList{"2026-12-01 09:00", "2026-12-04 23:30"}));
    EXPECT_EQ(list.model()->rowCount(), 2);
    EXPECT_EQ(keys(list, ToDoList::Requests, "REQUESTNO"), QStringList{"7"});
    EXPECT_EQ(keys(list, ToDoList::RActivities, "REQUESTNO, ACTIVITYNO"),
              (QStringList{"7|1", "8|1"}));
    EXPECT_EQ(list.model()->rowCount(), 2);
}

TEST_F(ToDoTest, ALabourLineOpensItsRequestAndAnEmptyPageOpensNothing) {
    ToDoList list;
    list.showPage(ToDoList::RActivities);
    list.grid()->setCurrentIndex(list.model()->index(0, 0));
    list.runCommand(ToDoList::Open);
    tv::forms::RecordWindow* opened = tv::forms::GetRecordWindow("Current Requests");
    ASSERT_TRUE(opened);
    EXPECT_EQ(opened->storedKey(), QStringList{"7"});
    EXPECT_EQ(opened->localEditMode(), 2);
    opened->close();

    // The line's request was closed meanwhile: the user is told, nothing opens.
    execData({"DELETE * FROM [CURRENT REQUESTS] WHERE REQUESTNO = 8"});
    list.grid()->setCurrentIndex(list.model()->index(1, 0));
    ask.message(tv::data::msgbox::kOk, "no longer open");
    list.runCommand(ToDoList::Open);

    tv::data::state().CurrentUserId = QStringLiteral("nobody");
    list.showPage(ToDoList::Requests);
    EXPECT_EQ(list.model()->rowCount(), 0);
    list.runCommand(ToDoList::Open);  // no question, no window
}

}  // namespace
}  // namespace tvtest
