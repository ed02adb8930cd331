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
#include <QEvent>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QStandardItemModel>
#include <QTableView>

namespace {

using namespace tv::forms;

QString setting(const QString& section, const QString& key) {
    return tv::GetSetting(tv::kAppName, section, key, QStringLiteral("<none>"));
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
        form = sub->widget();
    }

    QRect frameTwips() const { return pixelsToTwips(sub->geometry()); }

    QMdiArea area;
    QMdiSubWindow* sub = nullptr;
    QWidget* form = nullptr;
};

TEST_F(LayoutTest, PlacementModes) {
    const QString section = QStringLiteral("Contacts");
    struct Case {
        const char* name;
        int mode;
        int isList;
        QRect expected;  // twips
    };
    const QRect start(300, 450, 3000, 1500);
    const Case cases[] = {
        {"mode 0: default size where it is", 0, kRecordWindow, QRect(300, 450, 6000, 4500)},
        {"mode 1: default size at the top left", 1, kRecordWindow, QRect(0, 0, 6000, 4500)},
        {"mode 2: record keys", 2, kRecordWindow, QRect(1500, 750, 7500, 4500)},
        {"mode 2: list keys", 2, kListWindow, QRect(150, 900, 6000, 3000)},
        {"mode 2: another isList changes nothing", 2, 1, start},
        {"another mode changes nothing", 3, kRecordWindow, start},
    };
    store(section, QStringLiteral("Form Top"), QStringLiteral("750"));
    store(section, QStringLiteral("Form Left"), QStringLiteral("1500"));
    store(section, QStringLiteral("Form Width"), QStringLiteral("7500"));
    store(section, QStringLiteral("Form Height"), QStringLiteral("0"));  // zero: the default
    store(section, QStringLiteral("List Top"), QStringLiteral("900"));
    store(section, QStringLiteral("List Left"), QStringLiteral("150"));
    store(section, QStringLiteral("List Height"), QStringLiteral("3000"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sub->setGeometry(twipsToPixels(start));
        tv::data::state().WindowPlacementMode = c.mode;
        RestoreWindowLayout(form, section, 4500, 6000, c.isList);
        EXPECT_EQ(frameTwips(), c.expected);
    }
}

TEST_F(LayoutTest, ModeTwoWithNothingStoredOpensTopLeftWithTheDefaultSize) {
    sub->setGeometry(twipsToPixels(QRect(900, 900, 3000, 3000)));
    tv::data::state().WindowPlacementMode = 2;
    RestoreWindowLayout(form, QStringLiteral("Never Saved"), 4500, 6000, kRecordWindow);
    EXPECT_EQ(frameTwips(), QRect(0, 0, 6000, 4500));
}

TEST_F(LayoutTest, AStoredValueThatIsNotANumberKeepsThatMeasure) {
    const QString section = QStringLiteral("Products");
    store(section, QStringLiteral("Form Top"), QStringLiteral("high"));
    store(section, QStringLiteral("Form Left"), QStringLiteral("600"));
    store(section, QStringLiteral("Form Width"), QStringLiteral("99999"));  // beyond 16 bits
    store(section, QStringLiteral("Form Height"), QStringLiteral("3000"));
    sub->setGeometry(twipsToPixels(QRect(300, 450, 4500, 1500)));
    tv::data::state().WindowPlacementMode = 2;
    RestoreWindowLayout(form, section, 6000, 6000, kRecordWindow);
    EXPECT_EQ(frameTwips(), QRect(600, 450, 4500, 3000));
}

TEST_F(LayoutTest, SavingWritesWholeTwipsUnderTheChosenKeys) {
    sub->setGeometry(twipsToPixels(QRect(150, 300, 6000, 4500)));
    SaveWindowLayout(form, QStringLiteral("Quotations"), kListWindow);
    EXPECT_EQ(setting(QStringLiteral("Quotations"), QStringLiteral("List Top")),
              QStringLiteral("300"));
    EXPECT_EQ(setting(QStringLiteral("Quotations"), QStringLiteral("List Left")),
              QStringLiteral("150"));
    EXPECT_EQ(setting(QStringLiteral("Quotations"), QStringLiteral("List Width")),
              QStringLiteral("6000"));
    EXPECT_EQ(setting(QStringLiteral("Quotations"), QStringLiteral("List Height")),
              QStringLiteral("4500"));
    EXPECT_EQ(setting(QStringLiteral("Quotations"), QStringLiteral("Form Top")),
              QStringLiteral("<none>"));
}

TEST_F(LayoutTest, AWindowClosedMaximisedKeepsItsLastNormalGeometry) {
    registerFrameworkRecordWindows();
    setMdiArea(&area);
    tv::data::state().WindowPlacementMode = 2;
    const QString table = QStringLiteral("Customer Feedback");
    const QRect normal(450, 600, 7500, 5250);

    auto closeWindow = [](RecordWindow* w) {
        const QPointer<RecordWindow> gone(w);
        windowFrame(w)->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(gone.isNull());
    };

    RecordWindow* w = GetRecordWindow(table);
    ASSERT_NE(w, nullptr);
    ASSERT_EQ(windowFrame(w)->parentWidget(), area.viewport());
    windowFrame(w)->setGeometry(twipsToPixels(normal));
    closeWindow(w);
    EXPECT_EQ(setting(table, QStringLiteral("Form Width")), QStringLiteral("7500"));

    w = GetRecordWindow(table);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(pixelsToTwips(windowFrame(w)->geometry()), normal);
    windowFrame(w)->showMaximized();
    closeWindow(w);
    EXPECT_EQ(setting(table, QStringLiteral("Form Top")), QStringLiteral("600"));
    EXPECT_EQ(setting(table, QStringLiteral("Form Width")), QStringLiteral("7500"));

    w = GetRecordWindow(table);
    ASSERT_NE(w, nullptr);
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
    int widthTwips(int column) const { return pixelsToTwipsX(grid.columnWidth(column)); }
    int visual(int column) const { return grid.horizontalHeader()->visualIndex(column); }
    QString stored(const char* key) const { return setting(section, QString::fromLatin1(key)); }

    const QString section = QStringLiteral("Line Items");
    QStandardItemModel model;
    QTableView grid;
};

TEST_F(GridLayoutTest, ALayoutSurvivesASaveAndRestoreUnchanged) {
    store(section, QStringLiteral("Widths"), QStringLiteral("1545,2000,800,"));
    store(section, QStringLiteral("Order"), QStringLiteral("3,1,2,"));
    store(section, QStringLiteral("RowHeight"), QStringLiteral("300"));
    RestoreGridLayout(&grid, section);
    EXPECT_EQ(grid.columnWidth(0), twipsToPixelsX(1545));
    EXPECT_EQ(grid.columnWidth(1), twipsToPixelsX(2000));
    EXPECT_EQ(grid.columnWidth(2), twipsToPixelsX(800));
    EXPECT_EQ(visual(0), 2);
    EXPECT_EQ(visual(1), 0);
    EXPECT_EQ(visual(2), 1);
    EXPECT_EQ(grid.verticalHeader()->defaultSectionSize(), twipsToPixelsY(300));

    tv::DeleteSetting(tv::kAppName, section, QStringLiteral("Widths"));
    SaveGridLayout(&grid, section);
    EXPECT_EQ(stored("Widths"), QStringLiteral("1545,2000,800,"));
    EXPECT_EQ(stored("Order"), QStringLiteral("3,1,2,"));
    EXPECT_EQ(stored("RowHeight"), QStringLiteral("300"));
}

TEST_F(GridLayoutTest, WidthsCountOnlyUpToTheLastComma) {
    struct Case {
        const char* text;
        int widths[3];  // twips; 0 keeps the grid's own
    };
    const Case cases[] = {
        {"1500,2250", {1500, 0, 0}},
        {"1500,2250,", {1500, 2250, 0}},
        {"1500,2250,900,600,450,", {1500, 2250, 900}},
        {"", {0, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        for (int col = 0; col < 3; ++col) grid.setColumnWidth(col, 50 + 10 * col);
        store(section, QStringLiteral("Widths"), QString::fromLatin1(c.text));
        RestoreGridLayout(&grid, section);
        for (int col = 0; col < 3; ++col) {
            const int expected = c.widths[col] ? twipsToPixelsX(c.widths[col]) : 50 + 10 * col;
            EXPECT_EQ(grid.columnWidth(col), expected) << "column " << col;
        }
    }
}

TEST_F(GridLayoutTest, OrderPositionsOutOfRangeOrMissingKeepTheirColumns) {
    store(section, QStringLiteral("Order"), QStringLiteral("2,1,"));
    RestoreGridLayout(&grid, section);
    EXPECT_EQ(visual(0), 1);
    EXPECT_EQ(visual(1), 0);
    EXPECT_EQ(visual(2), 2);

    store(section, QStringLiteral("Order"), QStringLiteral("9,x,1,"));
    RestoreGridLayout(&grid, section);
    EXPECT_EQ(visual(2), 0);
}

TEST_F(GridLayoutTest, ResetWritesTheDefaultsOnTheNextSave) {
    store(section, QStringLiteral("Widths"), QStringLiteral("900,900,900,"));
    store(section, QStringLiteral("Order"), QStringLiteral("3,2,1,"));
    store(section, QStringLiteral("RowHeight"), QStringLiteral("600"));
    RestoreGridLayout(&grid, section);

    ResetGridLayout(&grid, section);
    EXPECT_EQ(stored("Widths"), QStringLiteral("<none>"));
    EXPECT_EQ(stored("Order"), QStringLiteral("<none>"));
    EXPECT_EQ(stored("RowHeight"), QStringLiteral("<none>"));
    EXPECT_EQ(grid.verticalHeader()->defaultSectionSize(), twipsToPixelsY(kResetRowHeight));
    for (int c = 0; c < 3; ++c) {
        EXPECT_EQ(grid.columnWidth(c), twipsToPixelsX(kResetColumnWidth));
        EXPECT_EQ(visual(c), c);
    }

    SaveGridLayout(&grid, section);
    EXPECT_EQ(stored("Widths"), QStringLiteral("1545,1545,1545,"));
    EXPECT_EQ(stored("Order"), QStringLiteral("1,2,3,"));
    EXPECT_EQ(stored("RowHeight"), QStringLiteral("225"));
}

TEST_F(GridLayoutTest, AColumnResizedByTheUserIsSavedAtItsNewWidth) {
    store(section, QStringLiteral("Widths"), QStringLiteral("2000,2000,2000,"));
    RestoreGridLayout(&grid, section);
    grid.setColumnWidth(1, 200);
    SaveGridLayout(&grid, section);
    EXPECT_EQ(stored("Widths"), QStringLiteral("2000,%1,2000,").arg(pixelsToTwipsX(200)));
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
        return sub;
    };

    QMdiSubWindow* past = place({350, 250, 200, 100});
    EXPECT_TRUE(view.contains(past->geometry())) << "pulled back inside the viewport";
    EXPECT_EQ(past->geometry().bottomRight(), view.bottomRight());

    QMdiSubWindow* inside = place({10, 20, 200, 100});
    EXPECT_EQ(inside->pos(), QPoint(10, 20));

    QMdiSubWindow* wide = place({300, 40, 600, 100});
    EXPECT_EQ(wide->pos(), QPoint(0, 40)) << "too wide to fit: its left edge shows";
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
    EXPECT_TRUE(area.subWindowList().isEmpty());
    tv::forms::setMdiArea(nullptr);
}
