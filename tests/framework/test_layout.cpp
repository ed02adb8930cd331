// Window and grid layouts kept in the settings store: the placement modes, a maximised
// window saving nothing, the "Widths"/"Order"/"RowHeight" texts and the reset.
#include "core/settings_store.h"
#include "data/app_state.h"
#include "forms/framework/grid_layout.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/twips.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "framework/framework_fixture.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStandardItemModel>
#include <QTableView>

namespace {

using namespace tv::forms;
using namespace Qt::StringLiterals;

QString setting(const QString& section, const QString& key) {
    return tv::GetSetting(tv::kAppName, section, key, u"<none>"_s);
}
void store(const QString& section, const QString& key, const QString& value) {
    tv::SaveSetting(tv::kAppName, section, key, value);
}

class LayoutTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        area.resize(1600, 1200);
        sub = area.addSubWindow(new QWidget());
    }
    QRect frameTwips() const { return pixelsToTwips(sub->geometry()); }

    QMdiArea area;
    QMdiSubWindow* sub = nullptr;
};

TEST_F(LayoutTest, PlacementModes) {
    struct Case {
        const char* name;
        QString section;
        int mode, isList;
        QRect expected;  // twips
    };
    const QRect start(300, 450, 3000, 1500);
    const QString stored = u"Contacts"_s;
    const Case cases[] = {
        {"mode 0: default size where it is", stored, 0, kRecordWindow, {300, 450, 6000, 4500}},
        {"mode 1: default size at the top left", stored, 1, kRecordWindow, {0, 0, 6000, 4500}},
        {"mode 2: record keys", stored, 2, kRecordWindow, {1500, 750, 7500, 4500}},
        {"mode 2: list keys", stored, 2, kListWindow, {150, 900, 6000, 3000}},
        {"mode 2: nothing stored", u"Never Saved"_s, 2, kRecordWindow, {0, 0, 6000, 4500}},
        {"mode 2: not numbers", u"Products"_s, 2, kRecordWindow, {600, 450, 3000, 3000}},
        {"mode 2: another isList changes nothing", stored, 2, 1, start},
        {"another mode changes nothing", stored, 3, kRecordWindow, start},
    };
    using Values = std::pair<const char*, const char*>[];
    for (const auto& [key, value] : Values{{"Form Top", "750"}, {"Form Left", "1500"},
                                           {"Form Width", "7500"}, {"Form Height", "0"},
                                           {"List Top", "900"}, {"List Left", "150"},
                                           {"List Height", "3000"}})
        store(stored, QString::fromLatin1(key), QString::fromLatin1(value));
    // Texts that are no numbers, and a width beyond 16 bits, keep what the window has.
    for (const auto& [key, value] : Values{{"Form Top", "high"}, {"Form Left", "600"},
                                           {"Form Width", "99999"}, {"Form Height", "3000"}})
        store(u"Products"_s, QString::fromLatin1(key), QString::fromLatin1(value));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sub->setGeometry(twipsToPixels(start));
        tv::data::state().WindowPlacementMode = c.mode;
        RestoreWindowLayout(sub->widget(), c.section, 4500, 6000, c.isList);
        EXPECT_EQ(frameTwips(), c.expected);
    }
}

TEST_F(LayoutTest, SavingWritesWholeTwipsUnderTheChosenKeys) {
    sub->setGeometry(twipsToPixels(QRect(150, 300, 6000, 4500)));
    SaveWindowLayout(sub->widget(), u"Quotations"_s, kListWindow);
    QStringList saved;
    for (const char* key : {"List Top", "List Left", "List Width", "List Height", "Form Top"})
        saved << setting(u"Quotations"_s, QString::fromLatin1(key));
    EXPECT_EQ(saved, (QStringList{u"300"_s, u"150"_s, u"6000"_s, u"4500"_s, u"<none>"_s}));
}

TEST_F(LayoutTest, AWindowClosedMaximisedKeepsItsLastNormalGeometry) {
    registerFrameworkRecordWindows();
    setMdiArea(&area);
    tv::data::state().WindowPlacementMode = 2;
    const QString table = u"Customer Feedback"_s;
    const QRect normal(450, 600, 7500, 5250);
    auto closeWindow = [](RecordWindow* w) {
        const QPointer<RecordWindow> gone(w);
        windowFrame(w)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(gone.isNull());
    };

    RecordWindow* w = GetRecordWindow(table);
    ASSERT_EQ(windowFrame(w)->parentWidget(), area.viewport());
    windowFrame(w)->setGeometry(twipsToPixels(normal));
    closeWindow(w);
    w = GetRecordWindow(table);
    EXPECT_EQ(pixelsToTwips(windowFrame(w)->geometry()), normal);
    windowFrame(w)->showMaximized();
    closeWindow(w);
    EXPECT_EQ(setting(table, u"Form Width"_s), u"7500"_s);
    w = GetRecordWindow(table);
    EXPECT_EQ(pixelsToTwips(windowFrame(w)->geometry()), normal);
    setMdiArea(nullptr);
}

class GridLayoutTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        model.setColumnCount(3);
        model.setRowCount(4);
        grid.setModel(&model);
        for (int c = 0; c < 3; ++c) grid.setColumnWidth(c, 50 + 10 * c);
    }
    int visual(int column) const { return grid.horizontalHeader()->visualIndex(column); }
    QString stored(const char* key) const { return setting(section, QString::fromLatin1(key)); }
    void storeLayout(const char* widths, const char* order, const char* rowHeight) {
        store(section, u"Widths"_s, QString::fromLatin1(widths));
        store(section, u"Order"_s, QString::fromLatin1(order));
        store(section, u"RowHeight"_s, QString::fromLatin1(rowHeight));
    }

    const QString section = u"Line Items"_s;
    QStandardItemModel model;
    QTableView grid;
};

TEST_F(GridLayoutTest, ALayoutSurvivesARestoreAndSaveUnchanged) {
    storeLayout("1545,2000,800,", "3,1,2,", "300");
    RestoreGridLayout(&grid, section);
    EXPECT_EQ(grid.columnWidth(1), twipsToPixelsX(2000));
    EXPECT_EQ(visual(0), 2);
    EXPECT_EQ(visual(1), 0);
    EXPECT_EQ(grid.verticalHeader()->defaultSectionSize(), twipsToPixelsY(300));
    storeLayout("", "", "");
    SaveGridLayout(&grid, section);
    EXPECT_EQ(stored("Widths") + stored("Order") + stored("RowHeight"), u"1545,2000,800,3,1,2,300"_s);

    // A column the user widens is saved at its new width, the others unchanged.
    grid.setColumnWidth(1, 200);
    SaveGridLayout(&grid, section);
    EXPECT_EQ(stored("Widths"), u"1545,%1,800,"_s.arg(pixelsToTwipsX(200)));
}

TEST_F(GridLayoutTest, ValuesCountOnlyUpToTheirCommaAndWithinTheColumns) {
    struct Case {
        const char* widths;
        int expected[3];  // twips; 0 keeps the grid's own
        const char* order;
        int visual[3];
    };
    const Case cases[] = {
        {"1500,2250", {1500, 0, 0}, "2,1,", {1, 0, 2}},
        {"1500,2250,", {1500, 2250, 0}, "9,x,1,", {1, 2, 0}},  // out of range: kept
        {"1500,2250,900,600,450,", {1500, 2250, 900}, "", {0, 1, 2}},
        {"", {0, 0, 0}, "3,", {2, 0, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.widths);
        for (int col = 0; col < 3; ++col) {
            grid.setColumnWidth(col, 50 + 10 * col);
            grid.horizontalHeader()->moveSection(visual(col), col);
        }
        storeLayout(c.widths, c.order, "0");
        RestoreGridLayout(&grid, section);
        for (int col = 0; col < 3; ++col) {
            const int w = c.expected[col] ? twipsToPixelsX(c.expected[col]) : 50 + 10 * col;
            EXPECT_EQ(grid.columnWidth(col), w) << "column " << col;
            EXPECT_EQ(visual(col), c.visual[col]) << "column " << col;
        }
    }
}

TEST_F(GridLayoutTest, ResetWritesTheDefaultsOnTheNextSave) {
    storeLayout("900,900,900,", "3,2,1,", "600");
    RestoreGridLayout(&grid, section);
    ResetGridLayout(&grid, section);
    EXPECT_EQ(stored("Widths") + stored("Order") + stored("RowHeight"), u"<none><none><none>"_s);
    EXPECT_EQ(grid.verticalHeader()->defaultSectionSize(), twipsToPixelsY(kResetRowHeight));
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(grid.columnWidth(c), twipsToPixelsX(kResetColumnWidth));
        EXPECT_EQ(visual(c), c);
    }
    SaveGridLayout(&grid, section);
    EXPECT_EQ(stored("Widths") + stored("Order") + stored("RowHeight"),
              u"1545,1545,1545,1,2,3,225"_s);
}

}  // namespace

TEST(KeepInView, ASubWindowPlacedPastTheAreaIsPulledBackWithItsCornerVisible) {
    QMdiArea area;
    area.resize(400, 300);
    area.show();
    const QRect view(QPoint(0, 0), area.viewport()->size());
    const auto place = [&](const QRect& where) {
        auto* sub = area.addSubWindow(new QWidget);
        sub->show();
        sub->setGeometry(where);
        tv::forms::keepInView(sub->widget());
        return sub->geometry();
    };
    EXPECT_EQ(place({350, 250, 200, 100}).bottomRight(), view.bottomRight());
    EXPECT_EQ(place({10, 20, 200, 100}).topLeft(), QPoint(10, 20));
    EXPECT_EQ(place({300, 40, 600, 100}).topLeft(), QPoint(0, 40)) << "too wide: its left shows";
}

TEST(HostInMdi, AWindowThatClosesItselfTakesItsFrameWithIt) {
    QMdiArea area;
    tv::forms::setMdiArea(&area);
    auto* window = new QWidget;
    window->setAttribute(Qt::WA_DeleteOnClose);
    QPointer<QMdiSubWindow> frame = tv::forms::hostInMdi(window);
    ASSERT_TRUE(frame);
    frame->show();
    window->close();  // as a window's own Close button does
    for (int i = 0; i < 3 && frame; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(frame.isNull());
    tv::forms::setMdiArea(nullptr);
}
