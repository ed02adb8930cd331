// Captions, tool tips and hidden controls from FORM CAPTIONS and FIELD DEFINITIONS, and
// an administrator's change showing in the next window without a restart.
#include "data/app_state.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/field_definitions.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "framework/framework_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>

namespace {

using namespace tv::forms;
using namespace Qt::StringLiterals;

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
    EXPECT_FALSE(button->isHidden());
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
    EXPECT_EQ(child<QLineEdit>(w, "Rating")->maxLength(), 32767);
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

}  // namespace
