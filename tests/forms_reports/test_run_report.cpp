// The report runner over the shipped report definitions: the password, the inputs built
// for each criterion, and a run to a file whose text shows the criteria and only the
// records they select.
#include "common/data/shipped_fixture.h"
#include "common/pdf_text.h"
#include "data/app_state.h"
#include "forms/framework/date_box.h"
#include "forms/reports/report_criteria.h"
#include "forms/reports/run_report.h"
#include "reports/report_engine.h"
#include "reports/report_files.h"

#include <gtest/gtest.h>
#include <QLineEdit>
#include <QRadioButton>

namespace {

using namespace Qt::StringLiterals;
using tv::data::msgbox::kOk;

class RunReportTest : public tvtest::ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        QString error;
        ASSERT_GT(tv::reports::installReportFiles(TOLVARINE_SOURCE_DIR "/reports"_L1, data.path(), &error), 0);
        tv::data::state().CurrentUserId = u"admin"_s;
    }
};

TEST_F(RunReportTest, APasswordGuardsTheReportAndEachCriterionGetsItsInput) {
    execDefinitions({u"UPDATE [REPORT DEFINITIONS] SET [PASSWORD] = 'secret' WHERE [NAME] = 'Customer List by State'"_s});
    tv::forms::RunReport runner;
    ASSERT_TRUE(runner.selectReport(u"customers"_s, u"Customer List by State"_s));
    ask.input(u"guess"_s).message(kOk, u"password"_s);
    EXPECT_EQ(runner.runSelected(), nullptr);

    ask.input(u"secret"_s);
    tv::forms::ReportCriteria* criteria = runner.runSelected();
    ASSERT_NE(criteria, nullptr);
    EXPECT_NE(criteria->findChild<QLineEdit*>(u"SelectText_0"_s), nullptr);
    EXPECT_NE(criteria->findChild<QLineEdit*>(u"LookupText_1"_s), nullptr);
    EXPECT_EQ(criteria->destination(), 0);
    criteria->close();
}

TEST_F(RunReportTest, CriteriaSelectTheRowsAndAreNamedOnTheReport) {
    execData({u"INSERT INTO [ACTIVITIES] ([CUSTOMER NAME], [DATETIME], [DESCRIPTION], [SALES REP ID]) VALUES "
              "('O''Brien', #2000-03-31 17:30:00#, 'Late call in March', 'ann')"_s,
              u"INSERT INTO [ACTIVITIES] ([CUSTOMER NAME], [DATETIME], [DESCRIPTION], [SALES REP ID]) VALUES "
              "('O''Brien', #2000-04-01 09:00:00#, 'Call in April', 'ann')"_s});
    tv::forms::ReportCriteria criteria;
    criteria.setReport(u"Activities"_s, u"Activities by User"_s, 2);
    criteria.BuildCriteriaPrompts();
    auto* from = criteria.findChild<tv::forms::DateBox*>(u"SelectDate_1"_s);
    auto* to = criteria.findChild<tv::forms::DateBox*>(u"SelectDate_B1"_s);
    ASSERT_TRUE(from && to);
    from->setDateText(u"2000-03-01"_s);
    to->setDateText(u"2000-03-31"_s);

    // A required criterion left empty stops the run.
    execDefinitions({u"UPDATE [REPORT SELECTION] SET [REQUIREDFIELD] = True WHERE [NAME] = 'Activities by User' AND [ITEMNO] = 1"_s});
    tv::forms::ReportCriteria strict;
    strict.setReport(u"Activities"_s, u"Activities by User"_s, 2);
    strict.BuildCriteriaPrompts();
    ask.message(kOk, u"Sales Rep ID"_s);
    EXPECT_FALSE(strict.runReport());

    const QString pdf = data.file(u"activities.pdf"_s);
    ask.saveFile(pdf);
    tv::reports::ReportEngine engine;
    ASSERT_TRUE(criteria.runReport(&engine));
    EXPECT_EQ(engine.selectionFormula(),
              uR"({Activities.DateTime} in "2000/03/01 0:00:00.00" to "2000/03/31 23:59:59")"_s);
    const QString text = tvtest::pdfPages(pdf).join(u'\f');
    EXPECT_TRUE(text.contains(u"Late call in March"_s));
    EXPECT_FALSE(text.contains(u"Call in April"_s));
    EXPECT_TRUE(text.contains(u"DateTime from"_s)) << text.toStdString();
    QStringList last = tvtest::joinedRows(tv::data::state().DefinitionsDb,
                                          u"SELECT [LASTSELECTEDBY] FROM [REPORT DEFINITIONS] WHERE [NAME] = 'Activities by User'"_s);
    EXPECT_EQ(last, QStringList{u"admin"_s});
}

}  // namespace
