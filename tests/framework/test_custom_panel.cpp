// The custom-fields panel: columns added to a table at run time get their controls, sized
// and placed in twips, captioned from the definitions, scrolled when they do not fit, and
// saved and loaded by ordinal like any bound control.
#include "data/access.h"
#include "data/app_state.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/custom_panel.h"
#include "forms/framework/feedback_window.h"
#include "forms/framework/field_definitions.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/twips.h"
#include "framework/framework_fixture.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QScrollBar>
#include <QTabWidget>
#include <cmath>

namespace {

using namespace tv::forms;
using tv::engine::FieldType;

const QString kTable = QStringLiteral("Customer Feedback");
const QString kDataTable = QStringLiteral("CUSTOMER FEEDBACK");

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

    static QWidget* panel(QWidget* w) {
        return w->findChild<QWidget*>(QStringLiteral("CustomPanel"));
    }
    static QWidget* element(QWidget* w, const char* name, int index) {
        return arrayElement(w, QString::fromLatin1(name), index);
    }
    static int topTwips(const QWidget* control) { return pixelsToTwipsY(control->y()); }

    int standard = 0;
};

TEST_F(CustomPanelTest, ATableWithOnlyItsStandardFieldsLosesTheCustomTab) {
    ASSERT_EQ(tv::forms::StandardFieldCount(kTable), standard);
    EXPECT_FALSE(HasCustomFields(kTable));
    RecordWindow* w = GetRecordWindow(kTable);
    ASSERT_NE(w, nullptr);
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("TabStrip1"));
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(tabs->count(), 2);
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("CustomTab")), nullptr);
}

TEST_F(CustomPanelTest, AColumnAddedAtRunTimeBringsTheTabBackCaptionedFromTheDefinitions) {
    setCaption(QStringLiteral("Custom"), QStringLiteral("TabName"), QStringLiteral("&Extras"),
               QStringLiteral("Fields of our own"));
    addColumns(kDataTable, {{QStringLiteral("REGION"), FieldType::Text, 20}});
    EXPECT_TRUE(HasCustomFields(kTable));

    RecordWindow* w = GetRecordWindow(kTable);
    ASSERT_NE(w, nullptr);
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("TabStrip1"));
    QWidget* customTab = w->findChild<QWidget*>(QStringLiteral("CustomTab"));
    ASSERT_NE(customTab, nullptr);
    const int index = tabs->indexOf(customTab);
    ASSERT_GE(index, 0);
    EXPECT_EQ(tabs->tabText(index), QStringLiteral("&Extras"));
    EXPECT_EQ(tabs->tabToolTip(index), QStringLiteral("Fields of our own"));
    EXPECT_EQ(tagOf(element(w, "CustomTextBox", 0)), QString::number(standard + 1));
}

TEST_F(CustomPanelTest, TableWithoutDefinitionsRowOrStandardCountHasNoCustomFields) {
    EXPECT_FALSE(HasCustomFields(QStringLiteral("No Such Table")));
    // Detail tables carry a standard count of 0: every column would count as custom.
    EXPECT_FALSE(HasCustomFields(QStringLiteral("Quotations Detail")));
}

TEST_F(CustomPanelTest, ControlsFollowTheColumnTypes) {
    addColumns(kDataTable, {{QStringLiteral("REGION"), FieldType::Text, 20},
                            {QStringLiteral("VIP"), FieldType::Boolean, 0},
                            {QStringLiteral("SCORE"), FieldType::Long, 0},
                            {QStringLiteral("ARCHIVED"), FieldType::Boolean, 0},
                            {QStringLiteral("REMARKS"), FieldType::Memo, 0}});
    setFieldDefinition(kTable, standard + 2, QStringLiteral("Very important"),
                       QStringLiteral("A customer we look after first"));
    auto w = windowWithPanel(3000, 3000);
    // Element 0 had a limit of its own; clones must not carry it to other columns.
    qobject_cast<QLineEdit*>(element(w.get(), "CustomTextBox", 0))->setMaxLength(7);
    BuildCustomPanel(w.get(), kTable);
    ApplyFieldDefinitions(w.get(), kTable);

    const int top0 = topTwips(element(w.get(), "CustomLabel", 0));
    for (int row = 0; row < 5; ++row) {
        SCOPED_TRACE(row);
        QWidget* label = element(w.get(), "CustomLabel", row);
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->y(), twipsToPixelsY(top0 + row * kCustomRowPitch));
        EXPECT_EQ(tagOf(label), QString::number(standard + 1 + row));
    }
    auto label = [&](int i) { return qobject_cast<QLabel*>(element(w.get(), "CustomLabel", i)); };
    auto text = [&](int i) {
        return qobject_cast<QLineEdit*>(element(w.get(), "CustomTextBox", i));
    };
    auto check = [&](int i) {
        return qobject_cast<QCheckBox*>(element(w.get(), "CustomCheckBox", i));
    };

    // Text column: a visible label and a box 100 twips per character, limited to its size.
    EXPECT_EQ(label(0)->text(), QStringLiteral("REGION:"));
    EXPECT_FALSE(label(0)->isHidden());
    EXPECT_EQ(text(0)->maxLength(), 20);
    EXPECT_EQ(text(0)->width(), twipsToPixelsX(2000));
    EXPECT_EQ(text(0)->y(), label(0)->y());

    // Boolean columns: a check box on the row, its label hidden; the caption comes from
    // FIELD DEFINITIONS, or stays as designed without a row.
    EXPECT_TRUE(label(1)->isHidden());
    ASSERT_NE(check(0), nullptr);
    EXPECT_FALSE(check(0)->isHidden());
    EXPECT_EQ(check(0)->y(), label(1)->y());
    EXPECT_EQ(check(0)->text(), QStringLiteral("Very important"));
    EXPECT_EQ(check(0)->toolTip(), QStringLiteral("A customer we look after first"));
    EXPECT_TRUE(label(3)->isHidden());
    ASSERT_NE(check(1), nullptr);
    EXPECT_EQ(check(1)->text(), QStringLiteral("CustomCheckBox"));
    EXPECT_EQ(tagOf(check(1)), QString::number(standard + 4));

    // Other types: a box 1000 twips wide, with no length limit.
    for (int i : {1, 2}) {
        SCOPED_TRACE(i);
        ASSERT_NE(text(i), nullptr);
        EXPECT_FALSE(text(i)->isHidden());
        EXPECT_EQ(text(i)->width(), twipsToPixelsX(kCustomNonTextWidth));
        EXPECT_EQ(text(i)->maxLength(), 32767);
    }
    EXPECT_EQ(text(1)->y(), label(2)->y());
    EXPECT_EQ(text(2)->y(), label(4)->y());
    EXPECT_EQ(element(w.get(), "CustomTextBox", 3), nullptr);
}

TEST_F(CustomPanelTest, TextBoxWidthIsLimitedByThePanel) {
    addColumns(kDataTable, {{QStringLiteral("REMARKS"), FieldType::Text, 255}});
    struct Case {
        int panelWidth;
        int expectedWidth;
    };
    // The text box of the design starts 1500 twips into the panel. Only a panel wider
    // than 4035 widens the limit, to its width less 1500 less the 300 margin (which can
    // also make it narrower).
    const Case cases[] = {{3000, 4035}, {4035, 4035}, {6000, 4200}, {4500, 2700}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.panelWidth);
        auto w = windowWithPanel(c.panelWidth, 3000);
        ASSERT_EQ(pixelsToTwipsX(element(w.get(), "CustomTextBox", 0)->x()), 1500);
        BuildCustomPanel(w.get(), kTable);
        EXPECT_EQ(element(w.get(), "CustomTextBox", 0)->width(), twipsToPixelsX(c.expectedWidth));
    }
}

TEST_F(CustomPanelTest, RowsThatDoNotFitMakeThePanelScroll) {
    std::vector<tvtest::NewColumn> twelve;
    for (int i = 1; i <= 12; ++i)
        twelve.push_back({QStringLiteral("EXTRA%1").arg(i), FieldType::Text, 10});
    addColumns(kDataTable, twelve);
    auto w = windowWithPanel(6000, 2000);
    auto* bar = w->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
    BuildCustomPanel(w.get(), kTable);

    // 2000 twips hold Int(2000 / 330) - 1 = 5 rows; twelve grow the panel to the last
    // label's top + 330.
    const int lastTop = topTwips(element(w.get(), "CustomLabel", 11));
    EXPECT_EQ(lastTop, topTwips(element(w.get(), "CustomLabel", 0)) + 11 * kCustomRowPitch);
    const int needed = lastTop + kCustomRowPitch;
    EXPECT_EQ(panel(w.get())->height(), twipsToPixelsY(needed));
    EXPECT_FALSE(bar->isHidden());
    EXPECT_EQ(bar->minimum(), 0);
    EXPECT_EQ(bar->maximum(), static_cast<int>(std::floor(needed * 0.75)));
    EXPECT_EQ(bar->pageStep(), needed / 4);
    EXPECT_EQ(bar->singleStep(), needed / 12);

    bar->setValue(300);
    EXPECT_EQ(panel(w.get())->y(), twipsToPixelsY(kCustomPanelTop - 300));
    bar->setValue(0);
    EXPECT_EQ(panel(w.get())->y(), twipsToPixelsY(kCustomPanelTop));
}

TEST_F(CustomPanelTest, ScrollBarShowsOnlyWhenRowsExceedTheVisibleOnes) {
    struct Case {
        int columns;
        bool scrolls;
    };
    const Case cases[] = {{5, false}, {6, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.columns);
        std::vector<tvtest::NewColumn> columns;
        for (int i = 0; i < c.columns; ++i)
            columns.push_back(
                {QStringLiteral("C%1_%2").arg(c.columns).arg(i), FieldType::Text, 10});
        const int before = columnCount(kDataTable);
        addColumns(kDataTable, columns);
        execDefinitions({QStringLiteral("UPDATE [TABLE DEFINITIONS] SET [STDFIELDCOUNT] = %1 WHERE "
                                        "[TABLENAME] = 'CUSTOMER FEEDBACK'")
                             .arg(before)});
        auto w = windowWithPanel(6000, 2000);
        const int height = panel(w.get())->height();
        BuildCustomPanel(w.get(), kTable);
        EXPECT_EQ(!w->findChild<QScrollBar*>(QStringLiteral("VScroll1"))->isHidden(), c.scrolls);
        EXPECT_EQ(panel(w.get())->height() != height, c.scrolls);
    }
}

TEST_F(CustomPanelTest, CustomValuesAreSavedAndLoadedByOrdinal) {
    addColumns(kDataTable, {{QStringLiteral("REGION"), FieldType::Text, 20},
                            {QStringLiteral("VIP"), FieldType::Boolean, 0}});
    RecordWindow* w = GetRecordWindow(kTable);
    ASSERT_NE(w, nullptr);
    w->findChild<QLineEdit*>(QStringLiteral("CustomerName"))
        ->setText(QStringLiteral("O'Brien Ltd"));
    w->findChild<QLineEdit*>(QStringLiteral("DateTime"))
        ->setText(QStringLiteral("2026-03-04 10:00:00"));
    qobject_cast<QLineEdit*>(element(w, "CustomTextBox", 0))->setText(QStringLiteral("North"));
    qobject_cast<QCheckBox*>(element(w, "CustomCheckBox", 0))->setChecked(true);
    ASSERT_EQ(SaveFormFields(w, kTable, 1, QString(), QString()), -1);
    EXPECT_EQ(dataValue(QStringLiteral("SELECT [REGION] FROM [CUSTOMER FEEDBACK] WHERE "
                                       "[CUSTOMER NAME] = 'O''Brien Ltd'")),
              QStringLiteral("North"));
    EXPECT_EQ(
        dataValue(QStringLiteral("SELECT Count(*) FROM [CUSTOMER FEEDBACK] WHERE [VIP] = True")),
        QStringLiteral("1"));

    const QPointer<RecordWindow> first(w);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(first.isNull());
    ASSERT_TRUE(tv::data::LoadRecord(kTable, QStringLiteral("O'Brien Ltd"),
                                     QStringLiteral("2026-03-04 10:00:00")));
    RecordWindow* again = GetRecordWindow(kTable);
    ASSERT_NE(again, nullptr);
    LoadFormFields(again, tv::data::state().FieldValues);
    EXPECT_EQ(qobject_cast<QLineEdit*>(element(again, "CustomTextBox", 0))->text(),
              QStringLiteral("North"));
    EXPECT_TRUE(qobject_cast<QCheckBox*>(element(again, "CustomCheckBox", 0))->isChecked());
}

}  // namespace
