// The list window's record commands through the table's record window (the feedback
// window): Edit opens the current row, Copy starts a new row without its key, Add an
// empty one, the list reads itself again when it is activated after them, and Delete
// closes the record window that shows the deleted row.
#include "data/app_state.h"
#include "data/prompter.h"
#include "forms/framework/controls.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "framework/list_fixture.h"

#include <QApplication>
#include <QCoreApplication>
#include <QPointer>
#include <QTableView>

namespace tvtest {
namespace {

using tv::data::state;
using tv::forms::ListForm;
using tv::forms::RecordWindow;
namespace msgbox = tv::data::msgbox;

class ListRecordsTest : public ListFormTest {
protected:
    void SetUp() override {
        ListFormTest::SetUp();
        tv::forms::registerFrameworkRecordWindows();
        addFeedback(QStringLiteral("Zeta Copiers"), QStringLiteral("2026-01-05 09:00:00"));
        addFeedback(QStringLiteral("O'Brien Office"), QStringLiteral("2026-02-05 09:30:00"));
        addFeedback(QStringLiteral("Alpha Print"), QStringLiteral("2026-03-05 10:00:00"));
        list = openList(QStringLiteral("Customer Feedback"));
    }

    // The open feedback window, if any.
    static RecordWindow* feedbackWindow() {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* r = qobject_cast<RecordWindow*>(w);
            if (r && r->tableName() == QStringLiteral("Customer Feedback") && r->isVisible())
                return r;
        }
        return nullptr;
    }

    // What a window shows in the control bound to an ordinal.
    static QString shown(const QWidget* window, int ordinal) {
        for (QObject* control : tv::forms::taggedControls(window)) {
            if (tv::forms::boundOrdinal(control) != ordinal) continue;
            if (const std::optional<QString> value = tv::forms::controlValue(control))
                return *value;
        }
        return QStringLiteral("<no control>");
    }

    void select(int row) { list->grid()->setCurrentIndex(list->model()->index(row, 0)); }

    ListForm* list = nullptr;
};

TEST_F(ListRecordsTest, EditOpensTheRowAndTheListRefreshesOnReturn) {
    select(1);
    list->runCommand(ListForm::Edit);
    RecordWindow* window = feedbackWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(shown(window, 1), QStringLiteral("O'Brien Office"));
    EXPECT_FALSE(shown(window, 2).isEmpty());
    EXPECT_EQ(window->localEditMode(), 2);
    EXPECT_TRUE(list->RefreshPending());

    // Meanwhile a row arrives; coming back to the list shows it, the same row current.
    addFeedback(QStringLiteral("Newcomer"), QStringLiteral("2026-04-05 10:00:00"));
    list->activate();
    EXPECT_FALSE(list->RefreshPending());
    EXPECT_EQ(list->model()->rowCount(), 4);
    EXPECT_EQ(list->windowTitle(), QStringLiteral("Customer Feedback (4)"));
    EXPECT_EQ(list->grid()->currentIndex().row(), 1);
    // A later activation, with no record window opened since, does not read the list again.
    addFeedback(QStringLiteral("Latecomer"), QStringLiteral("2026-05-05 10:00:00"));
    list->activate();
    EXPECT_EQ(list->model()->rowCount(), 4);
}

TEST_F(ListRecordsTest, CopyAndAddStartANewRow) {
    select(2);
    list->runCommand(ListForm::Copy);
    RecordWindow* window = feedbackWindow();
    ASSERT_TRUE(window);
    EXPECT_EQ(window->localEditMode(), 1);
    // Two key columns: the second (the date and time) is cleared, the customer kept.
    EXPECT_EQ(shown(window, 1), QStringLiteral("Alpha Print"));
    EXPECT_TRUE(shown(window, 2).isEmpty()) << shown(window, 2).toStdString();
    EXPECT_TRUE(list->RefreshPending());

    // Add refills the same window with an empty new row.
    list->activate();
    list->runCommand(ListForm::Add);
    EXPECT_EQ(window->localEditMode(), 1);
    EXPECT_TRUE(shown(window, 1).isEmpty());
    EXPECT_TRUE(list->RefreshPending());
}

TEST_F(ListRecordsTest, DeleteClosesTheRecordWindowShowingTheRow) {
    select(0);
    list->runCommand(ListForm::Edit);
    QPointer<RecordWindow> window = feedbackWindow();
    ASSERT_TRUE(window);

    // Another row goes: the window stays.
    select(1);
    ask.message(msgbox::kYes, QStringLiteral("delete this record"));
    list->runCommand(ListForm::Delete);
    EXPECT_TRUE(window && window->isVisible());

    // Its own row goes: so does the window.
    select(0);
    ASSERT_EQ(list->model()->index(0, 0).data().toString(), QStringLiteral("Zeta Copiers"));
    ask.message(msgbox::kYes, QStringLiteral("delete this record"));
    list->runCommand(ListForm::Delete);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(!window || !window->isVisible());
    EXPECT_EQ(columnTexts(list, 0), QStringList{QStringLiteral("Alpha Print")});
}

}  // namespace
}  // namespace tvtest
