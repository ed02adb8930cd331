// Reports printed from the shipped report files over a few documents of our own, read back
// from the PDF: what a quotation and a contract show, where each destination sends the
// pages, how groups, totals and page numbers come out, and the one message each kind of
// bad input gives.
#include "common/data/shipped_fixture.h"
#include "common/pdf_text.h"
#include "core/settings_keys.h"
#include "reports/document_printing.h"
#include "reports/report_engine.h"
#include "reports/report_files.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QPrinter>

namespace {

using namespace Qt::StringLiterals;
using tv::reports::Document;
using tv::reports::ReportEngine;

class ReportPrintingTest : public tvtest::ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        QString error;
        ASSERT_GT(tv::reports::installReportFiles(TOLVARINE_SOURCE_DIR "/reports"_L1, data.path(), &error), 10) << error.toStdString();
        execData({
            u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [POSTALSTREET], [POSTALCITY]) VALUES ('O''Brien Plumbing', '4 Quay St', 'Cork')"_s,
            u"INSERT INTO [QUOTATIONS] VALUES (2001, #2026-03-02#, #2026-04-01#, 'O''Brien Plumbing', 'Sean', Null, 'ann', 1000, 25, 100, 1125, 'Thanks')"_s,
            u"INSERT INTO [QUOTATIONS] (QUOTENO, [CUSTOMER NAME]) VALUES (2002, 'Acme')"_s,
            u"INSERT INTO [QUOTATIONS DETAIL] VALUES (2001, 1, 'CP-1', 'Copier A4', 1, 800, 0, 10, 880)"_s,
            u"INSERT INTO [QUOTATIONS DETAIL] VALUES (2001, 2, 'TN-9', 'Toner O''Black', 4, 50, 0, 10, 220)"_s,
            u"INSERT INTO [QUOTATIONS DETAIL] VALUES (2002, 1, 'XX', 'Other quote line', 1, 5, 0, 0, 5)"_s,
            u"INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, [CUSTOMER NAME], PRICE) VALUES ('SC-O''NEIL', 'O''Brien Plumbing', 480)"_s,
            u"INSERT INTO [SERVICE CONTRACTS] (CONTRACTID, [CUSTOMER NAME], PRICE) VALUES ('SC-OTHER', 'Acme', 9)"_s,
        });
        tv::reports::setStatusReporter([this](int n) { statuses.push_back(n); });
    }
    void TearDown() override {
        tv::reports::setStatusReporter({});
        tv::reports::setPreviewHandler({});
        ShippedDatabasesTest::TearDown();
    }

    QString allText(const QString& pdf) { return tvtest::pdfPages(pdf).join(u'\f'); }

    std::vector<int> statuses;
};

TEST_F(ReportPrintingTest, AQuotationGoesToPdfPreviewAndPrinterWithItsLinesAndTotal) {
    const QString pdf = data.file(u"quote.pdf"_s);
    ReportEngine engine;
    engine.setReportFileName(data.file(u"Quote.rpt"_s));
    engine.setSelectionFormula(tv::reports::documentFormula(Document::Quotation, u"2001"_s));
    engine.setDestination(2);
    engine.setPrintFileName(pdf);
    ASSERT_EQ(engine.PrintReport(), tv::reports::kStatusFinished);
    const QString text = allText(pdf);
    for (const QString& part : {u"QUOTATION"_s, u"2001"_s, u"O'Brien Plumbing"_s, u"Copier A4"_s,
                                u"Toner O'Black"_s, u"1,125.00"_s, u"Page 1 of 1"_s})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();
    EXPECT_FALSE(text.contains(u"Other quote line"_s));

    // With "Print Preview" on, the window's caption titles the preview.
    tv::SaveSetting(tv::keys::PrintPreview, u"1"_s);
    QString title;
    const QString previewed = data.file(u"preview.pdf"_s);
    tv::reports::setPreviewHandler([&](const tv::reports::PreviewRequest& request) {
        title = request.title;
        QPrinter printer;
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(previewed);
        request.paint(&printer);
    });
    EXPECT_TRUE(tv::reports::PrintDocument(Document::Quotation, u"2001"_s, u"Quotation 2001"_s, &engine));
    EXPECT_EQ(title, u"Quotation 2001"_s);
    EXPECT_TRUE(allText(previewed).contains(u"Toner O'Black"_s));

    // Without it the printer gets the pages; a text key with an apostrophe selects its own
    // contract. An empty key prints nothing and says nothing.
    tv::SaveSetting(tv::keys::PrintPreview, u"0"_s);
    const QString printed = data.file(u"printed.pdf"_s);
    engine.setPrinterOutputFile(printed);
    statuses.clear();
    EXPECT_TRUE(tv::reports::PrintDocument(Document::Contract, u"SC-O'NEIL"_s, u"Contract"_s, &engine));
    EXPECT_EQ(statuses, (std::vector<int>{913, 914}));
    const QString contract = allText(printed);
    EXPECT_TRUE(contract.contains(u"SC-O'NEIL"_s) && contract.contains(u"480.00"_s)) << contract.toStdString();
    EXPECT_FALSE(contract.contains(u"SC-OTHER"_s));
    statuses.clear();
    EXPECT_FALSE(tv::reports::PrintDocument(Document::Contract, QString(), u"Contract"_s, &engine));
    EXPECT_TRUE(statuses.empty());

    // The billing run prints each invoice until the first empty number.
    QFile::remove(printed);
    EXPECT_EQ(tv::reports::PrintInvoices({}, &engine), 0);
    EXPECT_FALSE(QFile::exists(printed));
}

TEST_F(ReportPrintingTest, GroupsTotalsAndPageNumbersOfABandedReport) {
    QStringList rows;
    for (int i = 3; i <= 70; ++i)
        rows << u"INSERT INTO [QUOTATIONS DETAIL] VALUES (2002, %1, 'XX', 'Line %1', 1, %1, 0, 0, %1)"_s.arg(i);
    execData(rows);
    QFile file(data.file(u"Lines.rpt"_s));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(R"x(<report title="Lines">
      <data><table name="Quotations Detail"/><sort by="{Quotations Detail.LineNo}"/></data>
      <total name="Count" function="count" of="{Quotations Detail.LineNo}" reset="Quote"/>
      <total name="Sum" function="sum" of="{Quotations Detail.LineValue}" reset="Quote"/>
      <total name="Most" function="maximum" of="{Quotations Detail.LineValue}"/>
      <pageHeader height="8"><text x="0" y="0" w="40" h="6">Description</text></pageHeader>
      <group name="Quote" by="{Quotations Detail.QuoteNo}">
        <header height="8"><field x="0" y="0" w="100" h="6" value="&quot;Quote &quot; &amp; {Quotations Detail.QuoteNo}"/></header>
        <footer height="8"><field x="0" y="0" w="150" h="6" value="{#Count} &amp; &quot; lines worth &quot; &amp; {#Sum}"/></footer>
      </group>
      <detail height="6"><field x="0" y="0" w="60" h="6" value="{Quotations Detail.Description}"/>
        <field x="80" y="0" w="60" h="6" value="&quot;so far &quot; &amp; {#Sum}"/></detail>
      <pageFooter height="6"><field x="0" y="0" w="100" h="6" value="&quot;Page &quot; &amp; PageNumber() &amp; &quot; of &quot; &amp; TotalPages()"/></pageFooter>
      <reportFooter height="8"><field x="0" y="0" w="100" h="6" value="&quot;Largest &quot; &amp; {#Most}"/></reportFooter>
    </report>)x");
    file.close();
    ReportEngine engine;
    engine.setReportFileName(file.fileName());
    engine.setDestination(2);
    engine.setPrintFileName(data.file(u"lines.pdf"_s));
    ASSERT_EQ(engine.PrintReport(), tv::reports::kStatusFinished);
    const QStringList pages = tvtest::pdfPages(data.file(u"lines.pdf"_s));
    ASSERT_EQ(pages.size(), engine.pagesPrinted());
    ASSERT_GE(pages.size(), 2);
    for (int p = 0; p < pages.size(); ++p)
        EXPECT_TRUE(pages[p].contains(u"Page %1 of %2"_s.arg(p + 1).arg(pages.size())));
    const QString text = pages.join(u'\f');
    // Lines 1 and 2 of quote 2001 (880 + 220), then 1 and 3..70 of quote 2002.
    for (const QString& part : {u"Quote 2001"_s, u"2 lines worth 1100"_s, u"Quote 2002"_s,
                                u"69 lines worth 2487"_s, u"so far 1100"_s, u"so far 2487"_s, u"Largest 880"_s})
        EXPECT_TRUE(text.contains(part)) << part.toStdString();

    // The detail rows as CSV, captioned from the page header.
    engine.setPrintFileName(data.file(u"lines.csv"_s));
    ASSERT_EQ(engine.PrintReport(), tv::reports::kStatusFinished);
    QFile csv(data.file(u"lines.csv"_s));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(u"\r\n"_s, Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 1 + 71);
    EXPECT_EQ(lines[0], u"Description,"_s);
    EXPECT_TRUE(lines[2].startsWith(u"Toner O'Black,"_s)) << lines[2].toStdString();
}

TEST_F(ReportPrintingTest, BadInputGivesOneClearMessageAndPrintsNothing) {
    QFile damaged(data.file(u"Damaged.rpt"_s));
    ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
    damaged.write("<report><data><table name=\"Quotations\"/></data>\n<detail height=\"x\"/></report>");
    damaged.close();
    const struct {
        const char* file;
        QString formula;
        QString output;
        const char* message;
    } cases[] = {
        {"Missing.rpt", {}, {}, "The report file could not be found:"},
        {"Damaged.rpt", {}, {}, "line 2: \"height\" of <detail> must be a number"},
        {"Quote.rpt", u"{Quotations Detail.QuoteNumber} = 1"_s, {}, "has no field \"QuoteNumber\""},
        {"Quote.rpt", u"{Quotations Detail.QuoteNo} = 999"_s, {}, "No records match"},
        {"Quote.rpt", u"{Quotations Detail.QuoteNo} = 2001"_s, u"/no/such/folder/q.pdf"_s, "could not be saved to the file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.message);
        ask.message(tv::data::msgbox::kOk, QString::fromUtf8(c.message));
        ReportEngine engine;
        engine.setReportFileName(data.file(QString::fromUtf8(c.file)));
        engine.setSelectionFormula(c.formula);
        engine.setDestination(2);
        engine.setPrintFileName(c.output.isEmpty() ? data.file(u"out.pdf"_s) : c.output);
        EXPECT_EQ(engine.PrintReport(), tv::reports::kStatusFailed);
        EXPECT_EQ(ask.pending(), 0);
        EXPECT_FALSE(QFile::exists(data.file(u"out.pdf"_s)));
    }
}

}  // namespace
