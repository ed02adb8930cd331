// The custom-fields panel: columns added to a table at run time get their controls, sized
// and placed in twips, captioned from the definitions, scrolled when they do not fit, and
// saved and loaded by ordinal like any bound control.
#include "data/access.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/custom_panel.h"
#include "forms/framework/feedback_window.h"
#include "forms/framework/field_definitions.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/twips.h"
#include "framework/framework_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <cmath>

namespace {

using namespace tv::forms;
using namespace Qt::StringLiterals;
using tv::engine::FieldType;

const QString kTable = u"Customer Feedback"_s;
const QString kDataTable = u"CUSTOMER FEEDBACK"_s;

class CustomPanelTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        registerFrameworkRecordWindows();
        standard = columnCount(kDataTable);
    }

    // A window built but not loaded, with its panel set to the given size in twips.
    std::unique_ptr<FeedbackWindow> windowWithPanel(int widthTwips, int heightTwips) {
        auto w = std::make_unique<FeedbackWindow>();
        panel(w.get())->resize(twipsToPixelsX(widthTwips), twipsToPixelsY(heightTwips));
        return w;
    }
    // Columns "<prefix>1" .. "<prefix>n" of ten characters.
    void addTextColumns(const QString& prefix, int n) {
        std::vector<tvtest::NewColumn> columns;
        for (int i = 1; i <= n; ++i)
            columns.push_back({prefix + QString::number(i), FieldType::Text, 10});
        addColumns(kDataTable, columns);
    }
    static QWidget* panel(QWidget* w) { return w->findChild<QWidget*>(u"CustomPanel"_s); }
    template <typename T = QWidget>
    static T* element(QWidget* w, const char* name, int index) {
        return qobject_cast<T*>(arrayElement(w, QString::fromLatin1(name), index));
    }

    int standard = 0;
};

TEST_F(CustomPanelTest, CustomColumnsGetTheirTabAndAreSavedAndShownByOrdinal) {
    EXPECT_EQ(StandardFieldCount(kTable), standard);
    EXPECT_FALSE(HasCustomFields(kTable));
    EXPECT_FALSE(HasCustomFields(u"No Such Table"_s));
    // Detail tables carry a standard count of 0: every column would count as custom.
    EXPECT_FALSE(HasCustomFields(u"Quotations Detail"_s));
    RecordWindow* w = GetRecordWindow(kTable);
    EXPECT_EQ(w->findChild<QTabWidget*>(u"TabStrip1"_s)->count(), 2);
    EXPECT_EQ(w->findChild<QWidget*>(u"CustomTab"_s), nullptr);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    setCaption(u"Custom"_s, u"TabName"_s, u"&Extras"_s, u"Fields of our own"_s);
    addColumns(kDataTable, {{u"REGION"_s, FieldType::Text, 20}});
    EXPECT_TRUE(HasCustomFields(kTable));
    w = GetRecordWindow(kTable);
    auto* tabs = w->findChild<QTabWidget*>(u"TabStrip1"_s);
    const int index = tabs->indexOf(w->findChild<QWidget*>(u"CustomTab"_s));
    ASSERT_GE(index, 0);
    EXPECT_EQ(tabs->tabText(index) + tabs->tabToolTip(index), u"&ExtrasFields of our own"_s);
    auto* region = element<QLineEdit>(w, "CustomTextBox", 0);
    EXPECT_EQ(tagOf(region), QString::number(standard + 1));
    EXPECT_FALSE(region->isHidden());
    EXPECT_TRUE(element(w, "CustomCheckBox", 0)->isHidden()) << "no Boolean column to show";

    w->findChild<QLineEdit*>(u"CustomerName"_s)->setText(u"O'Brien Ltd"_s);
    w->findChild<QLineEdit*>(u"DateTime"_s)->setText(u"2026-03-04 10:00:00"_s);
    region->setText(u"North"_s);
    ASSERT_TRUE(w->save());
    EXPECT_EQ(dataValue(u"SELECT [REGION] FROM [CUSTOMER FEEDBACK]"_s), u"North"_s);
    w->showNewRow();
    EXPECT_TRUE(region->text().isEmpty());
    ASSERT_TRUE(w->showStoredRow(u"O'Brien Ltd"_s, u"2026-03-04 10:00:00"_s));
    EXPECT_EQ(region->text(), u"North"_s);
}

TEST_F(CustomPanelTest, ControlsFollowTheColumnTypes) {
    addColumns(kDataTable, {{u"REGION"_s, FieldType::Text, 20},
                            {u"VIP"_s, FieldType::Boolean, 0},
                            {u"SCORE"_s, FieldType::Long, 0},
                            {u"ARCHIVED"_s, FieldType::Boolean, 0},
                            {u"REMARKS"_s, FieldType::Memo, 0}});
    setFieldDefinition(kTable, standard + 2, u"Very important"_s, u"Look after them first"_s);
    auto w = windowWithPanel(3000, 3000);
    // Element 0 had a limit of its own; clones must not carry it to other columns.
    element<QLineEdit>(w.get(), "CustomTextBox", 0)->setMaxLength(7);
    BuildCustomPanel(w.get(), kTable);
    ApplyFieldDefinitions(w.get(), kTable);

    auto label = [&](int i) { return element<QLabel>(w.get(), "CustomLabel", i); };
    auto text = [&](int i) { return element<QLineEdit>(w.get(), "CustomTextBox", i); };
    auto check = [&](int i) { return element<QCheckBox>(w.get(), "CustomCheckBox", i); };
    const int top0 = pixelsToTwipsY(label(0)->y());
    for (int row = 0; row < 5; ++row) {
        ASSERT_NE(label(row), nullptr);
        EXPECT_EQ(label(row)->y(), twipsToPixelsY(top0 + row * kCustomRowPitch)) << row;
        EXPECT_EQ(tagOf(label(row)), QString::number(standard + 1 + row));
    }
    // Text column: a visible label and a box 100 twips per character, limited to its size.
    EXPECT_EQ(label(0)->text(), u"REGION:"_s);
    EXPECT_FALSE(label(0)->isHidden());
    EXPECT_EQ(text(0)->maxLength(), 20);
    EXPECT_EQ(text(0)->width(), twipsToPixelsX(2000));
    // Boolean columns: a check box on the row, its label hidden; the caption comes from
    // FIELD DEFINITIONS, or stays as designed without a row.
    EXPECT_TRUE(label(1)->isHidden());
    EXPECT_EQ(check(0)->y(), label(1)->y());
    EXPECT_EQ(check(0)->text(), u"Very important"_s);
    EXPECT_EQ(check(0)->toolTip(), u"Look after them first"_s);
    EXPECT_TRUE(label(3)->isHidden());
    EXPECT_EQ(check(1)->text(), u"CustomCheckBox"_s);
    EXPECT_EQ(tagOf(check(1)), QString::number(standard + 4));
    // Other types: a box 1000 twips wide, with no length limit.
    for (int i : {1, 2}) {
        EXPECT_EQ(text(i)->width(), twipsToPixelsX(kCustomNonTextWidth)) << i;
        EXPECT_EQ(text(i)->maxLength(), 32767) << i;
    }
    EXPECT_EQ(text(2)->y(), label(4)->y());
    EXPECT_EQ(text(3), nullptr);
}

TEST_F(CustomPanelTest, TextBoxWidthIsLimitedByThePanel) {
    addColumns(kDataTable, {{u"REMARKS"_s, FieldType::Text, 255}});
    // The text box of the design starts 1500 twips into the panel. Only a panel wider
    // than 4035 widens the limit, to its width less 1500 less the 300 margin (which can
    // also make it narrower).
    for (const auto& [panelWidth, expected] : {std::pair{3000, 4035}, std::pair{4035, 4035},
                                               std::pair{6000, 4200}, std::pair{4500, 2700}}) {
        auto w = windowWithPanel(panelWidth, 3000);
        ASSERT_EQ(pixelsToTwipsX(element(w.get(), "CustomTextBox", 0)->x()), 1500);
        BuildCustomPanel(w.get(), kTable);
        EXPECT_EQ(element(w.get(), "CustomTextBox", 0)->width(), twipsToPixelsX(expected))
            << panelWidth;
    }
}

TEST_F(CustomPanelTest, RowsThatDoNotFitMakeThePanelScroll) {
    // 2000 twips hold Int(2000 / 330) - 1 = 5 rows.
    for (const auto& [rows, scrolls] : {std::pair{5, false}, std::pair{6, true}}) {
        SCOPED_TRACE(rows);
        const int before = columnCount(kDataTable);
        addTextColumns(u"C%1_"_s.arg(rows), rows);
        execDefinitions(
            {u"UPDATE [TABLE DEFINITIONS] SET [STDFIELDCOUNT] = %1 WHERE "
             "[TABLENAME] = 'CUSTOMER FEEDBACK'"_s.arg(before)});
        auto w = windowWithPanel(6000, 2000);
        auto* bar = w->findChild<QScrollBar*>(u"VScroll1"_s);
        BuildCustomPanel(w.get(), kTable);
        EXPECT_EQ(!bar->isHidden(), scrolls);
        if (!scrolls) {
            EXPECT_EQ(panel(w.get())->height(), twipsToPixelsY(2000));
            continue;
        }
        // The panel grows to the last label's top + 330.
        const int needed =
            pixelsToTwipsY(element(w.get(), "CustomLabel", 0)->y()) + rows * kCustomRowPitch;
        EXPECT_EQ(panel(w.get())->height(), twipsToPixelsY(needed));
        EXPECT_EQ(bar->maximum(), static_cast<int>(std::floor(needed * 0.75)));
        EXPECT_EQ(bar->pageStep(), needed / 4);
        EXPECT_EQ(bar->singleStep(), needed / 12);
        bar->setValue(300);
        EXPECT_EQ(panel(w.get())->y(), twipsToPixelsY(kCustomPanelTop - 300));
    }
}

}  // namespace
