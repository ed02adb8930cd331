// Printing a list window and a lookup table, read back from the PDF files they print to:
// what each hands the page table (columns in the grid's order, the rows of the filter in
// force, a table's codes in key order), and the messages around the printer dialog.
#include "common/pdf_text.h"
#include "data/app_state.h"
#include "forms/framework/list_model.h"
#include "forms/framework/lookup_print.h"
#include "framework/list_fixture.h"

#include <QHeaderView>
#include <QTableView>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::forms::ListForm;

TEST_F(ListFormTest, AListPrintsItsVisibleColumnsInTheUsersOrder) {
    ListForm* empty = openList(u"Customers"_s);
    ask.message(tv::data::msgbox::kOk, u"no records to print"_s);
    empty->runCommand(ListForm::Print);  // no printer dialog for an empty list
    delete empty;

    addCustomers({u"O'Brien Ltd"_s}, u"Cork"_s);
    addCustomers({u"Plain Traders"_s}, u"Leeds"_s);
    ListForm* list = openList(u"Customers"_s);
    list->grid()->setColumnWidth(0, 300);                 // room for the whole name
    list->grid()->setColumnHidden(1, true);               // Street
    list->grid()->horizontalHeader()->moveSection(2, 0);  // City first
    list->applyQuery(u"SELECT * FROM [Customers] WHERE [POSTALCITY] = 'Cork'"_s);
    const QString pdf = data.file(u"list.pdf"_s);
    ask.printer(true, pdf);
    list->runCommand(ListForm::Print);
    const QStringList pages = pdfPages(pdf);
    ASSERT_EQ(pages.size(), 1);
    const QString& page = pages[0];
    for (const QString& text : {u"Customers"_s, u"1 record"_s, u"Page 1 of 1"_s})
        EXPECT_TRUE(page.contains(text)) << text.toStdString();
    EXPECT_FALSE(page.contains(u"Street"_s));
    EXPECT_FALSE(page.contains(u"Plain Traders"_s)) << "the filter in force is printed";
    EXPECT_LT(page.indexOf(u"City"_s), page.indexOf(u"Account Name"_s));
    EXPECT_LT(page.indexOf(u"Cork"_s), page.indexOf(u"O'Brien Ltd"_s));

    ask.printer(false);
    list->runCommand(ListForm::Print);  // cancelled: nothing else happens
}

class LookupPrintTest : public FrameworkTest {};

TEST_F(LookupPrintTest, ATablePrintsEveryCodeInKeyOrder) {
    QStringList rows{u"DELETE * FROM [Countries]"_s};
    for (int i = 0; i < 150; ++i)
        rows << u"INSERT INTO [Countries] ([COUNTRY]) VALUES ('Code %1')"_s.arg(i, 3, 10,
                                                                                QChar(u'0'));
    rows << u"INSERT INTO [Countries] VALUES ('A''s Land', 'First')"_s;
    execData(rows);
    tv::forms::LookupPrintout printout;
    ASSERT_TRUE(tv::forms::ReadLookupPrintout(u"Countries"_s, u"Countries"_s, printout));
    EXPECT_EQ(printout.table.subtitles,
              (QStringList{u"Tolvarine Customer Management"_s, u"Version 1.20"_s}));
    ASSERT_EQ(printout.table.columns.size(), 2u);
    EXPECT_EQ(printout.table.columns[1].caption, u"DESCRIPTION"_s);
    EXPECT_EQ(printout.table.columns[1].width, 100);
    // Numbers keep their width and stand to the right.
    tv::forms::LookupPrintout zones;
    ASSERT_TRUE(tv::forms::ReadLookupPrintout(u"Time Zones"_s, QString(), zones));
    EXPECT_FALSE(zones.table.columns.back().narrows);
    EXPECT_EQ(zones.table.columns.back().alignment, Qt::AlignRight);

    const QString pdf = data.file(u"codes.pdf"_s);
    ask.printer(true, pdf);
    ASSERT_TRUE(tv::forms::PrintLookupTable(u"Countries"_s, u"Countries"_s));
    const QStringList pages = pdfPages(pdf);
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(u"A's Land"_s));
    EXPECT_LT(pages[0].indexOf(u"A's Land"_s), pages[0].indexOf(u"Code 000"_s));
    EXPECT_TRUE(pages.back().contains(u"Code 149"_s));
    ask.printer(false);
    EXPECT_FALSE(tv::forms::PrintLookupTable(u"Countries"_s, u"Countries"_s));
}

}  // namespace
}  // namespace tvtest
