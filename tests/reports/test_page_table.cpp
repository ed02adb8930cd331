// The page table, painted into PDF files and read back: what every page repeats, rows in
// order across pages, and columns narrowed, cut or left off to fit the page.
#include "common/pdf_text.h"
#include "common/test_support.h"
#include "reports/page_table.h"

#include <gtest/gtest.h>
#include <QPdfWriter>
#include <QRegularExpression>

namespace {

using namespace Qt::StringLiterals;
using tv::reports::PageTable;
using tv::reports::PageTableColumn;
using tv::reports::RowList;

class PageTableTest : public ::testing::Test {
protected:
    // Paints the table into a PDF file and returns the text of its pages.
    QStringList print(const PageTable& table, std::vector<QStringList> rows,
                      int* painted = nullptr) {
        const QString path = folder.file(u"table.pdf"_s);
        int pages = 0;
        {
            QPdfWriter pdf(path);
            RowList list(std::move(rows));
            pages = tv::reports::paintPageTable(table, list, pdf);
        }
        if (painted) *painted = pages;
        return tvtest::pdfPages(path);
    }

    tvtest::ScratchFolder folder;
};

TEST_F(PageTableTest, EveryPageRepeatsTheHeadingAndCaptionsAndNumbersItself) {
    PageTable table;
    table.title = u"Customers"_s;
    table.subtitles = {u"130 records"_s};
    table.columns = {{u"Account Name"_s, 30}, {u"Balance"_s, 10, Qt::AlignRight, false}};
    std::vector<QStringList> rows;
    for (int i = 0; i < 130; ++i)
        rows.push_back({u"O'Brien %1"_s.arg(i, 3, 10, QLatin1Char('0')), QString::number(i * 37)});
    int painted = 0;
    const QStringList pages = print(table, rows, &painted);
    ASSERT_GE(pages.size(), 3) << "130 rows do not fit on two pages";
    EXPECT_EQ(painted, pages.size());

    int next = 0;  // the row expected next
    for (int p = 0; p < pages.size(); ++p) {
        SCOPED_TRACE(p + 1);
        const QString& page = pages[p];
        for (const QString& text : {u"Customers"_s, u"130 records"_s, u"Account Name"_s,
                                    u"Page %1 of %2"_s.arg(p + 1).arg(pages.size())})
            EXPECT_TRUE(page.contains(text)) << text.toStdString();
        static const QRegularExpression row(uR"(O'Brien (\d{3}))"_s);
        for (auto m = row.globalMatch(page); m.hasNext();)
            EXPECT_EQ(m.next().captured(1).toInt(), next++);
    }
    EXPECT_EQ(next, 130) << "every row printed once, in order";

    // An empty table still prints its heading and captions.
    const QStringList empty = print(table, {});
    ASSERT_EQ(empty.size(), 1);
    EXPECT_TRUE(empty[0].contains(u"Balance"_s));
    EXPECT_TRUE(empty[0].contains(u"Page 1 of 1"_s));
}

TEST_F(PageTableTest, ColumnsTooWideForThePageNarrowOrAreLeftOff) {
    const QString wide =
        u"A remark long enough to need more room than a narrowed column gives it"_s;
    const PageTableColumn date{u"Due"_s, 12, Qt::AlignLeft, false};  // never narrows
    struct Case {
        const char* name;
        std::vector<PageTableColumn> columns;
        QStringList row;
        QStringList shown;   // printed whole
        QStringList absent;  // not printed at all
        bool cut;            // a text ends in an ellipsis
    };
    const Case cases[] = {
        {"all fit",
         {{u"Name"_s, 20}, date},
         {u"O'Brien Ltd"_s, u"2026-12-05"_s},
         {u"Name"_s, u"O'Brien Ltd"_s, u"Due"_s, u"2026-12-05"_s},
         {},
         false},
        // Two 70-character columns and a date shrink to fit; the date keeps its width.
        {"narrowed",
         {{u"Name"_s, 70}, {u"Remark"_s, 70}, date},
         {u"O'Brien Ltd"_s, wide, u"2026-12-05"_s},
         {u"Name"_s, u"Remark"_s, u"Due"_s, u"2026-12-05"_s},
         {},
         true},
        // Even at 60 % the remark does not fit: it and what follows are left off.
        {"left off",
         {{u"Name"_s, 20}, {u"Remark"_s, 200}, date},
         {u"O'Brien Ltd"_s, wide, u"2026-12-05"_s},
         {u"Name"_s, u"O'Brien Ltd"_s},
         {u"Remark"_s, u"Due"_s, u"2026-12-05"_s},
         false},
        {"a first column wider than the page",
         {{u"Remark"_s, 300}},
         {wide + wide + wide},
         {u"Remark"_s},
         {},
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PageTable table;
        table.columns = c.columns;
        const QStringList page = print(table, {c.row});
        ASSERT_EQ(page.size(), 1);
        for (const QString& text : c.shown)
            EXPECT_TRUE(page[0].contains(text)) << text.toStdString();
        for (const QString& text : c.absent)
            EXPECT_FALSE(page[0].contains(text)) << text.toStdString();
        EXPECT_EQ(page[0].contains(u"…"_s), c.cut) << page[0].toStdString();
    }
}

}  // namespace
