// The list window's record commands through the table's record window (the feedback
// window): Edit opens the current row, Copy starts a new row without its key, Add an
// empty one, the list reads itself again when it is activated after them, and Delete
// closes the record window that shows the deleted row.
#include "data/app_state.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "framework/list_fixture.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTableView>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::forms::ListForm;
using tv::forms::RecordWindow;

class ListRecordsTest : public ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        tv::forms::registerFrameworkRecordWindows();
        addFeedback(u"Zeta Copiers"_s, u"2026-01-05 09:00:00"_s);
        addFeedback(u"O'Brien Office"_s, u"2026-02-05 09:30:00"_s);
        addFeedback(u"Alpha Print"_s, u"2026-03-05 10:00:00"_s);
        list = openList(u"Customer Feedback"_s);
    }
    // Runs a command on a row and returns the feedback window it left: its mode and the
    // customer and date it shows, as "mode|customer|date".
    QString run(int command, int row) {
        list->grid()->setCurrentIndex(list->model()->index(row, 0));
        list->runCommand(command);
        window = tv::forms::GetRecordWindow(u"Customer Feedback"_s);
        const auto shown = [&](const QString& name) {
            return window->findChild<QLineEdit*>(name)->text();
        };
        return QString::number(window->localEditMode()) + u'|' + shown(u"CustomerName"_s) + u'|' +
               shown(u"DateTime"_s);
    }

    ListForm* list = nullptr;
    QPointer<RecordWindow> window;
};

TEST_F(ListRecordsTest, EditOpensTheRowAndTheListRefreshesOnReturn) {
    const QString shown = run(ListForm::Edit, 1);
    EXPECT_TRUE(shown.startsWith(u"2|O'Brien Office|"_s) && !shown.endsWith(u'|'))
        << shown.toStdString();
    EXPECT_TRUE(list->RefreshPending());
    // Meanwhile a row arrives; coming back to the list shows it, the same row current.
    addFeedback(u"Newcomer"_s, u"2026-04-05 10:00:00"_s);
    list->activate();
    EXPECT_FALSE(list->RefreshPending());
    EXPECT_EQ(list->windowTitle(), u"Customer Feedback (4)"_s);
    EXPECT_EQ(list->grid()->currentIndex().row(), 1);
    // A later activation, with no record window opened since, does not read the list again.
    addFeedback(u"Latecomer"_s, u"2026-05-05 10:00:00"_s);
    list->activate();
    EXPECT_EQ(list->model()->rowCount(), 4);
}

TEST_F(ListRecordsTest, CopyAndAddStartANewRow) {
    // Two key columns: the second (the date and time) is cleared, the customer kept.
    EXPECT_EQ(run(ListForm::Copy, 2), u"1|Alpha Print|"_s);
    EXPECT_TRUE(list->RefreshPending());
    list->activate();
    // Add refills the same window with an empty new row.
    const RecordWindow* copied = window;
    EXPECT_EQ(run(ListForm::Add, 0), u"1||"_s);
    EXPECT_EQ(window, copied);
    EXPECT_TRUE(list->RefreshPending());
}

TEST_F(ListRecordsTest, DeleteClosesTheRecordWindowShowingTheRow) {
    run(ListForm::Edit, 0);
    // Another row goes: the window stays; its own row goes: so does the window.
    for (const bool own : {false, true}) {
        list->grid()->setCurrentIndex(list->model()->index(own ? 0 : 1, 0));
        ask.message(tv::data::msgbox::kYes, u"delete this record"_s);
        list->runCommand(ListForm::Delete);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_EQ(window && window->isVisible(), !own);
    }
    EXPECT_EQ(columnTexts(list, 0), QStringList{u"Alpha Print"_s});
}

}  // namespace
}  // namespace tvtest
