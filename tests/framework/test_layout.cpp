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
#include <QPushButton>
#include <QStandardItemModel>
#include <QTableView>

namespace {

using namespace tv::forms;
using namespace Qt::StringLiterals;

QString setting(const QString& section, const QString& key) {
    return tv::GetSetting(tv::kAppName, section, key, u"<none>"_s);
}
// Stores "Key=value;Key=value" in the section.
void store(const QString& section, const QString& values) {
    for (const QString& pair : values.split(u';', Qt::SkipEmptyParts))
        tv::SaveSetting(tv::kAppName, section, pair.section(u'=', 0, 0), pair.section(u'=', 1));
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
    store(stored,
          u"Form Top=750;Form Left=1500;Form Width=7500;Form Height=0;"
          "List Top=900;List Left=150;List Height=3000"_s);
    // Texts that are no numbers, and a width beyond 16 bits, keep what the window has.
    store(u"Products"_s, u"Form Top=high;Form Left=600;Form Width=99999;Form Height=3000"_s);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        sub->setGeometry(twipsToPixels(start));
        tv::data::state().WindowPlacementMode = c.mode;
        RestoreWindowLayout(sub->widget(), c.section, 4500, 6000, c.isList);
        EXPECT_EQ(frameTwips(), c.expected);
    }
    // Saving writes whole twips under the keys of the window's kind.
    sub->setGeometry(twipsToPixels(QRect(150, 300, 6000, 4500)));
    SaveWindowLayout(sub->widget(), u"Quotations"_s, kListWindow);
    QStringList saved;
    for (const char* key : {"List Top", "List Left", "List Width", "List Height", "Form Top"})
        saved << setting(u"Quotations"_s, QString::fromLatin1(key));
    EXPECT_EQ(saved.join(u' '), u"300 150 6000 4500 <none>"_s);
}

TEST_F(LayoutTest, AWindowClosedMaximisedKeepsItsLastNormalGeometry) {
    registerFrameworkRecordWindows();
    setMdiArea(&area);
    tv::data::state().WindowPlacementMode = 2;
    const QString table = u"Customer Feedback"_s;
    const QRect normal(450, 600, 7500, 7500);  // larger than the window's least size
    // Closed by its own Close button, a window takes its MDI frame with it.
    auto closeWindow = [](RecordWindow* w) {
        const QPointer<QWidget> frame(windowFrame(w));
        w->findChild<QPushButton*>(u"Closef"_s)->click();
        for (int i = 0; i < 3 && frame; ++i) {
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QCoreApplication::processEvents();
        }
        EXPECT_TRUE(frame.isNull());
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

    // A stored size too small for the window's layout opens at the least size that fits.
    closeWindow(w);
    store(table, u"Form Height=300;Form Width=300"_s);
    w = GetRecordWindow(table);
    const QSize least = windowFrame(w)->minimumSizeHint();
    EXPECT_GE(windowFrame(w)->height(), least.height());
    EXPECT_GE(windowFrame(w)->width(), least.width());
    setMdiArea(nullptr);
}

class GridLayoutTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        model.setColumnCount(3);
        grid.setModel(&model);
    }
    // Three columns 600 twips wide in their natural order, rows 300 twips high.
    void resetGrid() {
        for (int c = 0; c < 3; ++c) {
            grid.setColumnWidth(c, twipsToPixelsX(600));
            grid.horizontalHeader()->moveSection(grid.horizontalHeader()->visualIndex(c), c);
        }
        grid.verticalHeader()->setDefaultSectionSize(twipsToPixelsY(300));
    }
    // The grid as "widths|display positions|row height", in twips and counting from 1.
    QString shown() const {
        QString widths, order;
        for (int c = 0; c < 3; ++c) {
            widths += QString::number(pixelsToTwipsX(grid.columnWidth(c))) + u',';
            order += QString::number(grid.horizontalHeader()->visualIndex(c) + 1) + u',';
        }
        const int height = pixelsToTwipsY(grid.verticalHeader()->defaultSectionSize());
        return widths + u'|' + order + u'|' + QString::number(height);
    }
    QString stored() const {
        return setting(section, u"Widths"_s) + u'|' + setting(section, u"Order"_s) + u'|' +
               setting(section, u"RowHeight"_s);
    }
    void storeLayout(const QString& layout) {
        store(section, u"Widths=%1;Order=%2;RowHeight=%3"_s.arg(layout.section(u'|', 0, 0),
                                                                layout.section(u'|', 1, 1),
                                                                layout.section(u'|', 2, 2)));
    }

    const QString section = u"Line Items"_s;
    QStandardItemModel model;
    QTableView grid;
};

TEST_F(GridLayoutTest, StoredValuesApplyAsFarAsTheyGoAndSaveAsShown) {
    const std::pair<const char*, const char*> cases[] = {
        {"1545,2010,810,|3,1,2,|330", "1545,2010,810,|3,1,2,|330"},
        // Text after the last comma is no value; a row height of 0 is not applied.
        {"1500,2250|2,1,|0", "1500,600,600,|2,1,3,|300"},
        // Values beyond the columns, positions out of range and no numbers are skipped.
        {"1500,2250,900,600,450,|9,x,1,|", "1500,2250,900,|2,3,1,|300"},
        {"|3,|abc", "600,600,600,|3,1,2,|300"}};
    for (const auto& [layout, expected] : cases) {
        SCOPED_TRACE(layout);
        resetGrid();
        storeLayout(QString::fromLatin1(layout));
        RestoreGridLayout(&grid, section);
        EXPECT_EQ(shown(), QString::fromLatin1(expected));
        SaveGridLayout(&grid, section);
        EXPECT_EQ(stored(), QString::fromLatin1(expected));
    }
    grid.setColumnWidth(1, 200);  // widened by the user
    SaveGridLayout(&grid, section);
    EXPECT_EQ(setting(section, u"Widths"_s), u"600,%1,600,"_s.arg(pixelsToTwipsX(200)));
}

TEST_F(GridLayoutTest, ResetWritesTheDefaultsOnTheNextSave) {
    storeLayout(u"900,900,900,|3,2,1,|600"_s);
    RestoreGridLayout(&grid, section);
    ResetGridLayout(&grid, section);
    EXPECT_EQ(stored(), u"<none>|<none>|<none>"_s);
    EXPECT_EQ(shown(), u"1545,1545,1545,|1,2,3,|225"_s);
    SaveGridLayout(&grid, section);
    EXPECT_EQ(stored(), u"1545,1545,1545,|1,2,3,|225"_s);
}

TEST_F(LayoutTest, ASubWindowPlacedPastTheAreaIsPulledBackWithItsCornerVisible) {
    area.resize(400, 300);
    area.show();
    const QRect view(QPoint(0, 0), area.viewport()->size());
    const auto place = [&](const QRect& where) {
        sub->setGeometry(where);
        keepInView(sub->widget());
        return sub->geometry();
    };
    sub->show();
    EXPECT_EQ(place({350, 250, 200, 100}).bottomRight(), view.bottomRight());
    EXPECT_EQ(place({10, 20, 200, 100}).topLeft(), QPoint(10, 20));
    EXPECT_EQ(place({300, 40, 600, 100}).topLeft(), QPoint(0, 40)) << "too wide: its left shows";
}

}  // namespace
