// The Diary window: the calendar's marks, deleting and planning from the day planner,
// opening items that have gone, and the calendar export of the shown range.
#include "diary/diary_fixture.h"

#include "data/prompter.h"
#include "forms/activities/activities_windows.h"
#include "forms/diary/day_planner.h"
#include "forms/diary/diary_window.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/status.h"

#include <QCalendarWidget>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <memory>

namespace tvtest {
namespace {

using tv::forms::DayPlanner;
using tv::forms::DiaryWindow;

class DiaryWindowTest : public DiaryTest {
protected:
    void SetUp() override {
        DiaryTest::SetUp();
        tv::forms::setStatusPanel(&status);
        tv::forms::registerActivityWindows();
    }
    void TearDown() override {
        delete tv::forms::GetRecordWindow(u"Scheduled Activities"_s);
        diary.reset();
        tv::forms::setStatusPanel(nullptr);
        DiaryTest::TearDown();
    }
    DiaryWindow& open() {
        diary = std::make_unique<DiaryWindow>();
        diary->resize(1100, 700);
        return *diary;
    }
    // The days the calendar shows in bold.
    QList<QDate> boldDays() const {
        QList<QDate> days;
        const auto formats = diary->findChild<QCalendarWidget*>(u"SSMonth1"_s)->dateTextFormat();
        for (auto it = formats.cbegin(); it != formats.cend(); ++it)
            if (it.value().fontWeight() == QFont::Bold) days << it.key();
        return days;
    }
    QStringList plannerTexts() const { return texts(diary->planner()->items()); }

    QLabel status;
    std::unique_ptr<DiaryWindow> diary;
};

TEST_F(DiaryWindowTest, TheCalendarBoldsTheShownMonthsDaysAndResetsThemOnTurning) {
    plan(u"2026-12-03 10:00:00"_s, u"a"_s);
    plan(u"2027-01-07 10:00:00"_s, u"b"_s);
    open();
    EXPECT_EQ(boldDays(), QList<QDate>{QDate(2026, 12, 3)});
    diary->findChild<QCalendarWidget*>(u"SSMonth1"_s)->setCurrentPage(2027, 1);
    EXPECT_EQ(boldDays(), QList<QDate>{QDate(2027, 1, 7)});
}

TEST_F(DiaryWindowTest, OnlyAWorkflowUserLooksAtAnotherUsersDiary) {
    plan(u"2026-12-05 10:00:00"_s, u"mine"_s);
    plan(u"2026-12-05 11:00:00"_s, u"Bob's"_s, u"bob"_s);
    for (const bool workflow : {false, true}) {
        tv::data::state().WorkflowMode = workflow;
        open();
        auto* user = diary->findChild<QComboBox*>(u"UserList"_s);
        EXPECT_EQ(user->isEnabled(), workflow);
        EXPECT_EQ(diary->findChild<QCheckBox*>(u"ShowAll"_s)->isHidden(), !workflow);
        user->setEditText(u"bob"_s);
        emit user->lineEdit()->editingFinished();
        EXPECT_EQ(plannerTexts(), QStringList{workflow ? u"Bob's"_s : u"mine"_s});
    }
    tv::data::state().WorkflowMode = false;
}

TEST_F(DiaryWindowTest, ThePlannerWidensToItemsOutsideTheWorkingHours) {
    plan(u"2026-12-05 01:00:00"_s, u"early"_s);
    plan(u"2026-12-05 22:15:00"_s, u"late"_s);
    open();
    EXPECT_EQ(diary->planner()->firstHour(), 1);
    EXPECT_EQ(diary->planner()->lastHour(), 23);
    EXPECT_EQ(diary->planner()->slotMinutes(0), 60);
}

TEST_F(DiaryWindowTest, OnlyAPlanIsDeletedAndOnlyAfterYes) {
    plan(u"2026-12-05 10:00:00"_s, u"Visit"_s);
    done(u"2026-12-05 11:00:00"_s, u"Call"_s, 30);
    request(7, u"Jam"_s);
    line(7, 1, u"2026-12-05 14:00:00"_s, QString());
    open().findChild<QRadioButton*>(u"DisplayOption_2"_s)->setChecked(true);
    ASSERT_EQ(plannerTexts(), (QStringList{u"Visit"_s, u"Call"_s, u"Jam"_s}));
    const auto rows = [] {
        return dataRows(u"SELECT Count(*) FROM [SCHEDULED ACTIVITIES] UNION ALL SELECT Count(*) "
                        "FROM ACTIVITIES UNION ALL SELECT Count(*) FROM [REQUEST ACTIVITIES]"_s);
    };
    const QStringList before = rows();
    // White and yellow items stay, without a question.
    for (int i : {1, 2}) EXPECT_FALSE(diary->deleteItem(diary->planner()->items().at(i)));
    ask.message(tv::data::msgbox::kNo, u"Visit"_s);
    EXPECT_FALSE(diary->deleteItem(diary->planner()->items().front()));
    EXPECT_EQ(rows(), before);

    // The Delete key on the selected plan.
    ask.message(tv::data::msgbox::kYes, u"Visit"_s);
    diary->planner()->selectItem(0);
    QTest::keyClick(diary->planner(), Qt::Key_Delete);
    EXPECT_EQ(rows(), (QStringList{u"0"_s, u"1"_s, u"1"_s}));
    EXPECT_EQ(plannerTexts(), (QStringList{u"Call"_s, u"Jam"_s}));
}

TEST_F(DiaryWindowTest, ADoubleClickOnAnEmptySlotPlansThereAndTheSavedPlanShows) {
    open().show();
    DayPlanner* day = diary->planner();
    const int slot = (14 * 60 + 30 - DayPlanner::kFirstHour * 60) / DayPlanner::kSlotMinutes;
    QTest::mouseDClick(day, Qt::LeftButton, {}, day->slotRect(slot).center());
    QPointer<tv::forms::RecordWindow> plan = tv::forms::GetRecordWindow(u"Scheduled Activities"_s);
    ASSERT_TRUE(plan);
    EXPECT_EQ(plan->localEditMode(), 1);
    EXPECT_EQ(plan->findChild<QLineEdit*>(u"ScheduledDateTime"_s)->text(), u"2026-12-05 14:30"_s);
    plan->findChild<QLineEdit*>(u"CustomerName"_s)->setText(kCustomer);
    plan->findChild<QLineEdit*>(u"Description"_s)->setText(u"Demo"_s);
    ASSERT_TRUE(plan->save());
    EXPECT_EQ(dataRows(u"SELECT Format(SCHEDDATETIME, 'yyyy-mm-dd hh:nn'), [USER ID] "
                       "FROM [SCHEDULED ACTIVITIES]"_s),
              QStringList{u"2026-12-05 14:30|O'Brien"_s});
    delete plan;
    EXPECT_EQ(plannerTexts(), QStringList{u"Demo"_s});
}

TEST_F(DiaryWindowTest, AnItemGoneMeanwhileIsReportedAndALabourLineOpensItsRequest) {
    plan(u"2026-12-05 10:00:00"_s, u"Visit"_s);
    request(7, u"Jam"_s);
    line(7, 1, u"2026-12-05 14:00:00"_s, QString());
    open();
    const tv::data::DiaryItem visit = diary->planner()->items().front();
    execData({u"DELETE * FROM [SCHEDULED ACTIVITIES]"_s});
    ask.message(1, u"O'Neill & Söhne, "_s);
    EXPECT_FALSE(diary->openItem(visit));
    EXPECT_EQ(plannerTexts(), QStringList{u"Jam"_s});

    ASSERT_TRUE(diary->openItem(diary->planner()->items().front()));
    tv::forms::RecordWindow* shown = tv::forms::GetRecordWindow(u"Current Requests"_s);
    EXPECT_EQ(shown->storedKey(), QStringList{u"7"_s});
    delete shown;
}

TEST_F(DiaryWindowTest, TheExportHoldsThePlannedWorkOfTheRangeOnly) {
    plan(u"2026-12-05 10:00:00"_s, u"Visit"_s, kUser, 45);
    plan(u"2026-12-31 10:00:00"_s, u"Year end"_s);
    plan(u"2027-01-02 10:00:00"_s, u"Next year"_s);
    plan(u"2026-12-06 10:00:00"_s, u"Bob's"_s, u"bob"_s);
    request(7, u"Jam"_s);
    line(7, 1, u"2026-12-09 14:00:00"_s, QString());
    const QString path = data.file(u"December.ics"_s);
    ask.saveFile(path);
    ASSERT_TRUE(open().exportRange(QDate(2026, 12, 1), QDate(2026, 12, 31)));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString ics = QString::fromUtf8(file.readAll());
    EXPECT_EQ(ics.count(u"BEGIN:VEVENT"_s), 3);
    for (const QString& in : {u"Visit"_s, u"Year end"_s, u"Request 7: Jam"_s, u"DURATION:PT45M"_s})
        EXPECT_TRUE(ics.contains(in)) << in.toStdString();
    EXPECT_FALSE(ics.contains(u"Next year"_s) || ics.contains(u"Bob"_s));

    ask.message(1, u"O'Brien, "_s);
    EXPECT_FALSE(diary->exportRange(QDate(2027, 2, 1), QDate(2027, 2, 28)));
}

}  // namespace
}  // namespace tvtest
