// The record-window machinery: the catalogue of windows and the control arrays they are
// built on; captions, tool tips and hidden controls from FORM CAPTIONS and FIELD
// DEFINITIONS, an administrator's change showing in the next window; the custom-fields
// panel (controls by column type, sized and placed in twips, scrolled when they do not
// fit); and moving a row between the controls and the record buffer.
#include "common/engine/queries.h"
#include "data/access.h"
#include "data/app_state.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/custom_panel.h"
#include "forms/framework/date_box.h"
#include "forms/framework/feedback_window.h"
#include "forms/framework/field_definitions.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/generic_record_window.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/twips.h"
#include "framework/framework_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextEdit>
#include <cmath>

namespace {

using namespace tv::forms;
using namespace Qt::StringLiterals;

// A record window of a table of its own, to stand in for windows not written yet.
class StandInWindow : public RecordWindow {
public:
    StandInWindow() { setObjectName(u"Request"_s); }
    int loads = 0;

protected:
    QString defaultTableName() const override { return u"Current Requests"_s; }
    QSize defaultSizeTwips() const override { return QSize(6000, 4500); }
    void afterLoad() override { ++loads; }
};

class CatalogueTest : public tvtest::FrameworkTest {
protected:
    void TearDown() override {
        unregisterRecordWindow(u"Request"_s);
        FrameworkTest::TearDown();
    }
};

// The shipped TABLE DEFINITIONS name the same record window for each table as the
// program's catalogue does.
TEST_F(CatalogueTest, TheShippedDefinitionsAgreeWithTheCatalogue) {
    for (const QString& display : recordWindowTables()) {
        EXPECT_EQ(tvtest::queryValue(tv::data::state().DefinitionsDb,
                                     u"SELECT RECORDWINDOW FROM [TABLE DEFINITIONS] WHERE "
                                     "DISPLAYNAME = "_s +
                                         tv::engine::quoteLiteral(display)),
                  recordWindowName(display))
            << display.toStdString();
    }
}

TEST_F(CatalogueTest, EachTableHasOneWindowItsOwnOrThePlainOne) {
    registerFrameworkRecordWindows();
    EXPECT_EQ(GetRecordWindow(u"Lookup Tables"_s), nullptr);
    RecordWindow* plain = GetRecordWindow(u"Customers"_s);  // not written yet
    ASSERT_NE(qobject_cast<GenericRecordWindow*>(plain), nullptr);
    EXPECT_EQ(plain->objectName(), u"Customer"_s);
    EXPECT_EQ(plain->findChild<QLineEdit*>(u"Field_1"_s)->maxLength(), 60);
    RecordWindow* w = GetRecordWindow(u"Customer Feedback"_s);
    EXPECT_EQ(w->objectName(), u"Feedback"_s);
    EXPECT_EQ(GetRecordWindow(u"customer feedback"_s), w);

    // The request window serves both request tables, made and loaded once.
    int made = 0;
    registerRecordWindow(u"Request"_s, [&made] {
        ++made;
        return new StandInWindow();
    });
    RecordWindow* current = GetRecordWindow(u"Current Requests"_s);
    EXPECT_EQ(current->tableName(), u"Current Requests"_s);
    EXPECT_EQ(GetRecordWindow(u"Completed Requests"_s), current);
    EXPECT_EQ(current->property("LocalTableName").toString(), u"Completed Requests"_s);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(static_cast<StandInWindow*>(current)->loads, 1);
}

TEST(ControlArrays, ElementsComeInIndexOrderAndCloneElementZero) {
    QWidget form;
    for (const char* name : {"Item_10", "Item_2", "Item_0", "Item_1", "Item_x", "ItemB_3", "Item"})
        (new QLabel(&form))->setObjectName(QString::fromLatin1(name));
    QStringList names;
    for (QWidget* w : controlArray(&form, u"Item"_s)) names << w->objectName();
    EXPECT_EQ(names.join(u' '), u"Item_0 Item_1 Item_2 Item_10"_s);

    // Custom-panel tests check what a clone takes over; here, how elements are made.
    auto* label0 = form.findChild<QLabel*>(u"Item_0"_s);
    QWidget* clone = loadArrayElement(label0, 3);
    ASSERT_NE(qobject_cast<QLabel*>(clone), nullptr);
    EXPECT_EQ(clone->objectName(), u"Item_3"_s);
    EXPECT_TRUE(clone->isHidden());
    EXPECT_EQ(loadArrayElement(label0, 3), clone);   // loaded once
    EXPECT_EQ(loadArrayElement(clone, 4), nullptr);  // only element 0 is a model
}

const QString kTable = u"Customer Feedback"_s;

template <typename T>
T* child(const QWidget* w, const char* name) {
    return w->findChild<T*>(QString::fromLatin1(name));
}

class CaptionsTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        registerFrameworkRecordWindows();
    }
};

TEST_F(CaptionsTest, EachKindOfControlTakesWhatItsCaptionRowGives) {
    QWidget form;
    form.setWindowTitle(u"Designed title"_s);
    const auto make = [&](auto* w, const char* tag) {
        setTag(w, QString::fromLatin1(tag));
        w->setText(u"Designed"_s);
        return w;
    };
    QLabel* label = make(new QLabel(&form), "PlainLabel");
    QLabel* valueBox = make(new QLabel(&form), "ValueBox");
    valueBox->setFrameShape(QFrame::Panel);  // a label used as a read-only value box
    QPushButton* button = make(new QPushButton(&form), "okf");
    QLineEdit* text = make(new QLineEdit(&form), "Notes");
    QCheckBox* check = make(new QCheckBox(&form), "Flag");
    QPushButton* untagged = new QPushButton(u"Designed"_s, &form);
    QAction* item = make(new QAction(&form), "mnuItem");
    QPushButton* noCaption = make(new QPushButton(&form), "Bare");
    for (const char* tag : {"PlainLabel", "ValueBox", "okf", "Notes", "Flag", "mnuItem"})
        setCaption(u"Sample"_s, QString::fromLatin1(tag), u"New"_s, u"Tip"_s,
                   tag == std::string("Flag") || tag == std::string("mnuItem"));
    setCaption(u"Sample"_s, u"Bare"_s, QString(), u"Only a tip"_s);
    setCaption(u"Sample"_s, u"Caption"_s, u"Renamed window"_s);
    ApplyFormCaptions(&form, u"Sample"_s);

    EXPECT_EQ(form.windowTitle(), u"Renamed window"_s);
    // A text box takes no caption (its text is the user's), a plain label no tool tip, and
    // a Null caption keeps the design's.
    QStringList texts, tips;
    for (QObject* c : std::initializer_list<QObject*>{label, valueBox, button, check, item, text,
                                                      untagged, noCaption}) {
        texts << c->property("text").toString();
        tips << c->property("toolTip").toString();
    }
    EXPECT_EQ(texts.join(u'|'), u"New|New|New|New|New|Designed|Designed|Designed"_s);
    EXPECT_EQ(tips.join(u'|'), u"|Tip|Tip|Tip|Tip|Tip||Only a tip"_s);
    // The hide flag hides controls and menu items alike.
    EXPECT_TRUE(check->isHidden());
    EXPECT_FALSE(item->isVisible());
}

TEST_F(CaptionsTest, FieldDefinitionsLabelLimitAndHideAndChangesShowInTheNextWindow) {
    setFieldDefinition(kTable, 7, u"Headline"_s, u"One line for the list"_s);
    setFieldDefinition(kTable, 6, u"Product"_s, QString(), true);
    setCaption(u"Feedback"_s, u"DetailsTab"_s, u"&Notes"_s, u"What was said"_s, true);
    setCaption(u"Feedback"_s, u"Savef"_s, u"&Store"_s);
    RecordWindow* w = GetRecordWindow(kTable);
    EXPECT_EQ(
        child<QLabel>(w, "SummaryLabel")->text() + child<QLabel>(w, "SummaryLabel")->toolTip(),
        u"Headline"_s);
    EXPECT_EQ(child<QLineEdit>(w, "Summary")->toolTip(), u"One line for the list"_s);
    // Limits come from the data table: SUMMARY is TEXT(255), the rating a number (no limit).
    EXPECT_EQ(child<QLineEdit>(w, "Summary")->maxLength(), 255);
    // Tabs are captioned by their page's tag, the page not treated as a control.
    auto* tabs = child<QTabWidget>(w, "TabStrip1");
    const int details = tabs->indexOf(child<QWidget>(w, "DetailsTab"));
    EXPECT_EQ(tabs->tabText(details) + tabs->tabToolTip(details), u"&NotesWhat was said"_s);
    EXPECT_TRUE(tabs->isTabVisible(details));
    EXPECT_EQ(child<QWidget>(w, "DetailsTab")->toolTip(), QString());

    // A hidden field is still saved.
    auto* product = child<QLineEdit>(w, "ProductCode");
    EXPECT_TRUE(product->isHidden());
    child<QLineEdit>(w, "CustomerName")->setText(u"Acme"_s);
    child<QLineEdit>(w, "DateTime")->setText(u"2026-05-06 09:30:00"_s);
    product->setText(u"P-100"_s);
    ASSERT_TRUE(w->save());
    EXPECT_EQ(dataValue(u"SELECT [PRODUCTCODE] FROM [CUSTOMER FEEDBACK]"_s), u"P-100"_s);

    // An administrator's change shows in the next window without a restart: the
    // definitions record sets stay open all along, as sign-in left them.
    setCaption(u"Feedback"_s, u"Savef"_s, u"Sa&ve now"_s, u"Save it"_s);
    setFieldDefinition(kTable, 7, u"Account"_s);
    EXPECT_EQ(child<QPushButton>(w, "Savef")->text(), u"&Store"_s);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    w = GetRecordWindow(kTable);
    EXPECT_EQ(child<QPushButton>(w, "Savef")->text() + child<QPushButton>(w, "Savef")->toolTip(),
              u"Sa&ve nowSave it"_s);
    EXPECT_EQ(child<QLabel>(w, "SummaryLabel")->text(), u"Account"_s);

    // A memo column lifts a designed limit.
    QWidget form;
    auto* box = new QLineEdit(&form);
    setTag(box, u"8"_s);  // DETAILS
    box->setMaxLength(10);
    ApplyFieldDefinitions(&form, kTable);
    EXPECT_EQ(box->maxLength(), 32767);
}

using tv::engine::FieldType;

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
    static QWidget* panel(QWidget* w) { return w->findChild<QWidget*>(u"CustomPanel"_s); }
    template <typename T = QWidget>
    static T* element(QWidget* w, const char* name, int index) {
        return qobject_cast<T*>(arrayElement(w, QString::fromLatin1(name), index));
    }

    int standard = 0;
};

TEST_F(CustomPanelTest, CustomColumnsGetTheirTabAndAreSavedAndShownByOrdinal) {
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

    // Each row as shown: its visible controls with that row's tag and top, by kind. A text
    // column gets 100 twips per character and its size as limit, other types 1000 twips
    // and no limit; a Boolean one a check box (its label hidden) captioned from FIELD
    // DEFINITIONS, or as designed without a row.
    const int top0 = pixelsToTwipsY(element(w.get(), "CustomLabel", 0)->y());
    const auto row = [&](int r) {
        QStringList shown;
        for (const char* array : {"CustomLabel", "CustomTextBox", "CustomCheckBox"}) {
            for (QWidget* c : controlArray(w.get(), QString::fromLatin1(array))) {
                if (c->isHidden() || tagOf(c) != QString::number(standard + 1 + r) ||
                    c->y() != twipsToPixelsY(top0 + r * kCustomRowPitch))
                    continue;
                if (auto* text = qobject_cast<QLineEdit*>(c))
                    shown << u"%1 wide, %2"_s.arg(text->width()).arg(text->maxLength());
                else
                    shown << c->property("text").toString() + c->toolTip();
            }
        }
        return shown.join(u" | ");
    };
    const int other = twipsToPixelsX(kCustomNonTextWidth);
    EXPECT_EQ(row(0), u"REGION: | %1 wide, 20"_s.arg(twipsToPixelsX(2000)));
    EXPECT_EQ(row(1), u"Very importantLook after them first"_s);
    EXPECT_EQ(row(2), u"SCORE: | %1 wide, 32767"_s.arg(other));
    EXPECT_EQ(row(3), u"CustomCheckBox"_s);
    EXPECT_EQ(row(4), u"REMARKS: | %1 wide, 32767"_s.arg(other));
    EXPECT_EQ(element(w.get(), "CustomTextBox", 3), nullptr);
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
        std::vector<tvtest::NewColumn> columns;
        for (int i = 0; i < rows; ++i)
            columns.push_back({u"C%1_%2"_s.arg(rows).arg(i), FieldType::Text, 10});
        addColumns(kDataTable, columns);
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

template <typename T>
T* bound(QWidget* form, int ordinal) {
    auto* w = new T(form);
    setTag(w, QString::number(ordinal));
    return w;
}

tv::data::FieldValueArray row(const QStringList& values) {
    tv::data::FieldValueArray a;
    a.assign(values);
    return a;
}

TEST(FormFields, EachControlKindTakesAndGivesItsValue) {
    QWidget form;
    auto* check = bound<QCheckBox>(&form, 1);
    check->setTristate(true);
    auto* date = bound<DateBox>(&form, 2);
    auto* rich = bound<QTextEdit>(&form, 3);
    auto* memo = bound<QPlainTextEdit>(&form, 4);
    auto* combo = bound<QComboBox>(&form, 5);
    combo->addItems({u"Compliment"_s, u"Complaint"_s});
    auto* label = bound<QLabel>(&form, 6);
    label->setText(u"Label text"_s);
    auto* far = bound<QLineEdit>(&form, 9);
    far->setText(u"kept"_s);
    // A check box: any number but 0 checks, an empty text (a Null) clears, what is no
    // Boolean is left; it stores "0", "1" or "2".
    QString checks;
    for (const char* value : {"True", "true", "-1", "1", "2", "False", "0", "", "maybe"}) {
        check->setCheckState(Qt::PartiallyChecked);
        LoadFormFields(&form, row({QString::fromLatin1(value)}));
        checks += *controlValue(check);
    }
    EXPECT_EQ(checks, u"111110002"_s);

    LoadFormFields(&form, row({u"1"_s, u"05-Dec-2026"_s, u"<p>A <b>bold</b> answer</p>"_s,
                               u"line one\nline two"_s, u"Complaint"_s, u"not for a label"_s}));
    EXPECT_EQ(controlValue(date), u"2026-12-05"_s);
    EXPECT_EQ(rich->toPlainText(), u"A bold answer"_s);
    EXPECT_TRUE(controlValue(rich)->contains(u"font-weight"_s));
    EXPECT_EQ(controlValue(memo), u"line one\nline two"_s);
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(label->text(), u"Label text"_s);
    EXPECT_FALSE(controlValue(label).has_value());
    EXPECT_EQ(far->text(), u"kept"_s) << "an ordinal beyond the row leaves its control";
    // Empty values: no date, an empty rich text saved as an empty text.
    LoadFormFields(&form, row({QString(), QString(), QString(), QString(), QString()}));
    EXPECT_TRUE(date->isNull());
    EXPECT_EQ(controlValue(date), QString());
    EXPECT_EQ(controlValue(rich), QString());
}

class SaveFormFieldsTest : public tvtest::FrameworkTest {};

TEST_F(SaveFormFieldsTest, AddsUpdatesOrOnlyCollects) {
    const QString table = u"Customer Feedback"_s;
    QWidget form;
    auto* name = bound<QLineEdit>(&form, 1);
    bound<QLineEdit>(&form, 2);
    auto* summary = bound<QLineEdit>(&form, 7);
    auto* followUp = bound<QCheckBox>(&form, 10);
    bound<DateBox>(&form, 12)->setDateText(u"2026-02-10"_s);
    const auto stored = [] {
        return dataValue(
            u"SELECT [SUMMARY] & '|' & [FOLLOWUP] & '|' & [RESOLVEDDATE] FROM "
            "[CUSTOMER FEEDBACK] WHERE [CUSTOMER NAME] = 'O''Brien'"_s);
    };

    // Mode 0 only collects, into one element per column; "True" is written back as "1".
    tv::data::state().FieldValues(40) = u"left over"_s;
    LoadFormFields(
        &form,
        row({u"O'Brien"_s, u"2026-02-03 08:15:00"_s, {}, {}, {}, {}, {}, {}, {}, u"True"_s}));
    ASSERT_EQ(SaveFormFields(&form, table, 0, QString(), QString()), -1);
    const auto& values = tv::data::state().FieldValues;
    EXPECT_EQ(values.size(), columnCount(u"CUSTOMER FEEDBACK"_s));
    EXPECT_EQ(values(10), u"1"_s);
    EXPECT_EQ(values(3), QString());  // no control
    EXPECT_EQ(stored(), u"<none>"_s);

    summary->setText(u"Praised the engineer"_s);
    ASSERT_EQ(SaveFormFields(&form, table, 1, QString(), QString()), -1);
    EXPECT_EQ(stored(), u"Praised the engineer|-1|10/02/2026"_s);
    // Mode 2 updates the row stored under the keys given (record-window tests rename one).
    followUp->setChecked(false);
    ASSERT_EQ(SaveFormFields(&form, table, 2, u"O'Brien"_s, u"2026-02-03 08:15:00"_s), -1);
    EXPECT_EQ(stored(), u"Praised the engineer|0|10/02/2026"_s);

    // A row the engine refuses is reported (the key may not be empty) and gives 0.
    name->clear();
    ask.message(tv::data::msgbox::kOk);
    EXPECT_EQ(SaveFormFields(&form, table, 1, QString(), QString()), 0);
}

}  // namespace
