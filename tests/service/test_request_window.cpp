// The Request window: a request logged for a customer is numbered, scheduled, logged,
// closed and then shown read-only; its labour and materials keep its totals; the job sheet
// follows the table the request lives in.
#include "common/data/shipped_fixture.h"
#include "common/pdf_text.h"
#include "core/convert.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/record_values.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/related_rows_grid.h"
#include "forms/service/request_window.h"
#include "forms/service/service_windows.h"
#include "reports/report_engine.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QLineEdit>
#include <QPointer>
#include <QPrinter>
#include <QPushButton>
#include <QTableView>

namespace tvtest {
namespace {

using tv::data::msgbox::kNo;
using tv::data::msgbox::kOk;
using tv::forms::RelatedRowsGrid;
using tv::forms::RequestWindow;

const QString kCustomer = "O'Brien Ltd";

class RequestWindowTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        tv::forms::registerServiceWindows();
        ask.setNow(tv::DateFromParts(2026, 12, 7, 15, 0, 0));
        execData({"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('O''Brien Ltd')",
                  "INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, CONTRACTTYPE, [CUSTOMER NAME], EXPIRYDATE) "
                  "VALUES ('SC-1', 'Gold', 'O''Brien Ltd', #2027-06-30#)"});
        for (const char* sheet : {"Jobsheet.rpt", "Jobsht2.rpt"})
            QFile::copy(sourceDir() + "/reports/" + sheet, data.file(sheet));
    }
    void TearDown() override {
        delete w.data();
        ShippedDatabasesTest::TearDown();
    }
    // Opens the request stored in the table, or a new one for the customer.
    RequestWindow* open(const QString& table, const QString& number = QString()) {
        tv::data::FieldValueArray values;
        if (number.isEmpty()) {
            values.resize(35);
            values(7) = kCustomer;
            tv::data::NewRecordDefaults(table, values);
        } else {
            EXPECT_TRUE(tv::data::LoadRecord(table, number));
            values = tv::data::state().FieldValues;
        }
        tv::data::state().PendingEditMode = number.isEmpty() ? 1 : 2;
        EXPECT_TRUE(tv::forms::OpenRecordWindow(table, values));
        w = qobject_cast<RequestWindow*>(tv::forms::GetRecordWindow(table));
        return w.data();
    }
    QLineEdit* box(const char* name) const { return w->findChild<QLineEdit*>(name); }

    QPointer<RequestWindow> w;
};

TEST_F(RequestWindowTest, ALoggedRequestIsNumberedScheduledClosedAndThenReadOnly) {
    ASSERT_NE(open("Current Requests"), nullptr);
    box("Requested")->setText("07/12/2026 10:00");
    box("Summary")->setText("Paper jams");
    box("ScheduleDate")->setText("31/31/2026");
    ask.message(kOk, "not valid");
    EXPECT_FALSE(w->save());
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM [CURRENT REQUESTS]"), "0");
    EXPECT_EQ(box("ScheduleDate")->text(), "31/31/2026") << "what was typed stays";

    box("ScheduleDate")->setText("08/12/2026");
    box("ScheduleTime")->setText("14:30");
    ASSERT_TRUE(w->save());
    EXPECT_EQ(box("RequestNo")->text(), "1");
    EXPECT_EQ(dataRows("SELECT [CUSTOMER NAME], SCHEDULEDDATETIME FROM [CURRENT REQUESTS]"),
              QStringList{"O'Brien Ltd|08/12/2026 14:30:00"});
    EXPECT_EQ(dataValue("SELECT DESCRIPTION FROM ACTIVITIES"), "Service request logged (1)");

    // Lines added elsewhere show in the totals once the grids are read again.
    execData({"INSERT INTO [REQUEST ACTIVITIES] (REQUESTNO, ACTIVITYNO, DURATION, CHARGERATE, COSTRATE) "
              "VALUES (1, 1, 1.5, 60, '')",
              "INSERT INTO [REQUEST MATERIALS] (REQUESTNO, [LINENO], QUANTITY, LINEVALUE) VALUES (1, 1, 2, 12.5)"});
    QCoreApplication::processEvents();  // the grids take the new number
    w->labourGrid()->refresh();
    EXPECT_EQ(box("HoursWorked")->text(), "1.50");
    EXPECT_EQ(box("TotalCost")->text(), "0.00");
    EXPECT_EQ(box("TotalCharged")->text(), "102.50");

    // Closing: lead time in service hours from 10:00 to 15:00, the contract left alone.
    w->findChild<QComboBox*>("ContractNo")->setEditText("SC-1");
    ask.message(kNo, "charge it to the contract");
    w->CloseRequest();
    EXPECT_EQ(dataRows("SELECT REQUESTNO, STATUS, LEADTIME, HOURSWORKED, TOTALCHARGE FROM [COMPLETED REQUESTS]"),
              QStringList{"1|Closed|5|1.5|102.5"});
    EXPECT_EQ(dataValue("SELECT COUNT(*) FROM [CURRENT REQUESTS]"), "0");
    EXPECT_TRUE(!w || !w->isVisible());
    delete w.data();

    ASSERT_NE(open("Completed Requests", "1"), nullptr);
    EXPECT_FALSE(w->findChild<QPushButton*>("ListCommand_1")->isEnabled());
    EXPECT_EQ(w->findChild<QPushButton*>("CloseRequest")->text(), "Re-open &Request");
    for (RelatedRowsGrid* grid : {w->labourGrid(), w->materialsGrid()})
        for (int b : {RelatedRowsGrid::New, RelatedRowsGrid::Open, RelatedRowsGrid::Delete})
            EXPECT_FALSE(grid->button(b)->isEnabled());
    EXPECT_TRUE(box("Summary")->isReadOnly());
    EXPECT_EQ(box("ContractType")->text(), "Gold");
    ask.message(kOk, "completed and cannot be changed");
    EXPECT_FALSE(w->save());
}

TEST_F(RequestWindowTest, TheJobSheetFollowsTheTableTheRequestLivesIn) {
    execData({"INSERT INTO [CURRENT REQUESTS] (REQUESTNO, [CUSTOMER NAME], SUMMARY) VALUES (41, 'O''Brien Ltd', 'Open job')",
              "INSERT INTO [COMPLETED REQUESTS] (REQUESTNO, [CUSTOMER NAME], SUMMARY) VALUES (42, 'O''Brien Ltd', 'Done job')"});
    const struct {
        const char* table;
        const char* number;
        const char* only;  // a heading of that job sheet alone
    } sheets[] = {{"Current Requests", "41", "Customer signature"}, {"Completed Requests", "42", "Resolution"}};
    // Previewed into a PDF, as a user with "Print Preview" on sees it.
    tv::SaveSetting(tv::keys::PrintPreview, "1");
    QString pdf;
    tv::reports::setPreviewHandler([&](const tv::reports::PreviewRequest& request) {
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        request.paint(&printer);
    });
    for (const auto& sheet : sheets) {
        SCOPED_TRACE(sheet.table);
        ASSERT_NE(open(sheet.table, sheet.number), nullptr);
        pdf = data.file(QString("%1.pdf").arg(sheet.number));
        w->ListCommand(0);
        const QString page = pdfPages(pdf).value(0).simplified();
        for (const QString& part : {QString(sheet.number), kCustomer, QString(sheet.only)})
            EXPECT_TRUE(page.contains(part)) << part.toStdString() << "\n" << page.toStdString();
        delete w.data();
    }
    tv::reports::setPreviewHandler({});
}

}  // namespace
}  // namespace tvtest
