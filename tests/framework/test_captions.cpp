// Captions, tool tips and hidden controls from FORM CAPTIONS and FIELD DEFINITIONS, and
// an administrator's change showing in the next window without a restart.
#include "data/app_state.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/field_definitions.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "framework/framework_fixture.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTextEdit>

namespace {

using namespace tv::forms;

const QString kTable = QStringLiteral("Customer Feedback");

// A window built in code with one control of each kind the caption rules tell apart.
struct SampleForm {
    SampleForm() {
        form.setObjectName(QStringLiteral("Sample"));
        form.setWindowTitle(QStringLiteral("Designed title"));
        plainLabel = make<QLabel>("PlainLabel", "Designed label");
        framedLabel = make<QLabel>("ValueBox", "Designed value");
        framedLabel->setFrameShape(QFrame::Panel);
        button = make<QPushButton>("okf", "Designed button");
        textBox = make<QLineEdit>("Notes", "typed by the user");
        check = make<QCheckBox>("Flag", "Designed check");
        untagged = new QPushButton(QStringLiteral("Untagged"), &form);
        menuItem = new QAction(QStringLiteral("Designed item"), &form);
        setTag(menuItem, QStringLiteral("mnuItem"));
    }
    template <typename T>
    T* make(const char* tag, const char* text) {
        auto* w = new T(&form);
        setTag(w, QString::fromLatin1(tag));
        w->setText(QString::fromLatin1(text));
        return w;
    }

    QWidget form;
    QLabel* plainLabel;
    QLabel* framedLabel;
    QPushButton* button;
    QLineEdit* textBox;
    QCheckBox* check;
    QPushButton* untagged;
    QAction* menuItem;
};

class CaptionsTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        registerFrameworkRecordWindows();
    }
    static RecordWindow* reopen(RecordWindow* w) {
        const QPointer<RecordWindow> old(w);
        w->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_TRUE(old.isNull());
        return GetRecordWindow(kTable);
    }
};

TEST_F(CaptionsTest, ACaptionRowRenamesAControlAndGivesItsToolTip) {
    for (const char* tag : {"PlainLabel", "ValueBox", "okf", "Notes", "Flag", "mnuItem"}) {
        setCaption(QStringLiteral("Sample"), QString::fromLatin1(tag),
                   QStringLiteral("New %1").arg(QLatin1String(tag)),
                   QStringLiteral("Tip %1").arg(QLatin1String(tag)));
    }
    setCaption(QStringLiteral("Sample"), QStringLiteral("Caption"),
               QStringLiteral("Renamed window"));
    SampleForm s;
    ApplyFormCaptions(&s.form, QStringLiteral("Sample"));

    EXPECT_EQ(s.form.windowTitle(), QStringLiteral("Renamed window"));
    EXPECT_EQ(s.plainLabel->text(), QStringLiteral("New PlainLabel"));
    EXPECT_EQ(s.plainLabel->toolTip(), QString());  // a plain label shows no tip
    EXPECT_EQ(s.framedLabel->text(), QStringLiteral("New ValueBox"));
    EXPECT_EQ(s.framedLabel->toolTip(), QStringLiteral("Tip ValueBox"));
    EXPECT_EQ(s.button->text(), QStringLiteral("New okf"));
    EXPECT_EQ(s.button->toolTip(), QStringLiteral("Tip okf"));
    EXPECT_EQ(s.check->text(), QStringLiteral("New Flag"));
    EXPECT_EQ(s.menuItem->text(), QStringLiteral("New mnuItem"));
    EXPECT_EQ(s.menuItem->toolTip(), QStringLiteral("Tip mnuItem"));
    // A text box has no caption: its contents stay, its tool tip comes.
    EXPECT_EQ(s.textBox->text(), QStringLiteral("typed by the user"));
    EXPECT_EQ(s.textBox->toolTip(), QStringLiteral("Tip Notes"));
    EXPECT_EQ(s.untagged->text(), QStringLiteral("Untagged"));
}

TEST_F(CaptionsTest, MissingRowsAndNullColumnsKeepTheDesign) {
    setCaption(QStringLiteral("Sample"), QStringLiteral("okf"), QString(),
               QStringLiteral("Only a tip"));
    SampleForm s;
    ApplyFormCaptions(&s.form, QStringLiteral("Sample"));
    EXPECT_EQ(s.form.windowTitle(), QStringLiteral("Designed title"));
    EXPECT_EQ(s.button->text(), QStringLiteral("Designed button"));
    EXPECT_EQ(s.button->toolTip(), QStringLiteral("Only a tip"));
    EXPECT_EQ(s.plainLabel->text(), QStringLiteral("Designed label"));
    EXPECT_EQ(GetCaptionText(QStringLiteral("Sample"), QStringLiteral("Nothing")), QString());
    EXPECT_EQ(GetToolTipText(QStringLiteral("Sample"), QStringLiteral("okf")),
              QStringLiteral("Only a tip"));
}

TEST_F(CaptionsTest, TheHideFlagHidesControlsAndMenuItems) {
    setCaption(QStringLiteral("Sample"), QStringLiteral("Flag"), QStringLiteral("Gone"), QString(),
               true);
    setCaption(QStringLiteral("Sample"), QStringLiteral("mnuItem"), QStringLiteral("Gone"),
               QString(), true);
    setCaption(QStringLiteral("Sample"), QStringLiteral("okf"), QStringLiteral("Stays"), QString(),
               false);
    SampleForm s;
    ApplyFormCaptions(&s.form, QStringLiteral("Sample"));
    EXPECT_TRUE(s.check->isHidden());
    EXPECT_FALSE(s.menuItem->isVisible());
    EXPECT_FALSE(s.button->isHidden());
}

TEST_F(CaptionsTest, TabsTakeTheirCaptionsByTheirPagesTag) {
    setCaption(QStringLiteral("Feedback"), QStringLiteral("DetailsTab"), QStringLiteral("&Notes"),
               QStringLiteral("What the customer said and what we answered"), true);
    RecordWindow* w = GetRecordWindow(kTable);
    ASSERT_NE(w, nullptr);
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("TabStrip1"));
    const int index = tabs->indexOf(w->findChild<QWidget*>(QStringLiteral("DetailsTab")));
    ASSERT_GE(index, 0);
    EXPECT_EQ(tabs->tabText(index), QStringLiteral("&Notes"));
    EXPECT_EQ(tabs->tabToolTip(index),
              QStringLiteral("What the customer said and what we answered"));
    // A tab page is captioned as a tab, not treated as a control of its own.
    EXPECT_TRUE(tabs->isTabVisible(index));
    EXPECT_EQ(w->findChild<QWidget*>(QStringLiteral("DetailsTab"))->toolTip(), QString());
}

TEST_F(CaptionsTest, FieldDefinitionsLabelAndLimitBoundControls) {
    setFieldDefinition(kTable, 7, QStringLiteral("Headline"),
                       QStringLiteral("One line for the list"));
    RecordWindow* w = GetRecordWindow(kTable);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("SummaryLabel"))->text(),
              QStringLiteral("Headline"));
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("SummaryLabel"))->toolTip(), QString());
    auto* summary = w->findChild<QLineEdit*>(QStringLiteral("Summary"));
    EXPECT_EQ(summary->toolTip(), QStringLiteral("One line for the list"));

    // Limits come from the data table: SUMMARY is TEXT(255), CUSTOMER NAME TEXT(60), the
    // rating a number (no limit set).
    const tv::engine::TableDef def =
        tv::data::state().DataDb.TableDefNamed(QStringLiteral("CUSTOMER FEEDBACK"));
    EXPECT_EQ(summary->maxLength(), def.FieldAt(6).Size());
    EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("CustomerName"))->maxLength(),
              def.FieldAt(0).Size());
    EXPECT_EQ(w->findChild<QLineEdit*>(QStringLiteral("Rating"))->maxLength(), 32767);
}

TEST_F(CaptionsTest, AMemoColumnLiftsADesignedLimit) {
    setFieldDefinition(kTable, 8, QStringLiteral("Details"));
    QWidget form;
    auto* box = new QLineEdit(&form);
    setTag(box, QStringLiteral("8"));  // DETAILS, a memo
    box->setMaxLength(10);
    ApplyFieldDefinitions(&form, kTable);
    EXPECT_EQ(box->maxLength(), 32767);
}

TEST_F(CaptionsTest, AHiddenFieldIsStillSaved) {
    setFieldDefinition(kTable, 6, QStringLiteral("Product"), QString(), true);
    RecordWindow* w = GetRecordWindow(kTable);
    ASSERT_NE(w, nullptr);
    auto* product = w->findChild<QLineEdit*>(QStringLiteral("ProductCode"));
    EXPECT_TRUE(product->isHidden());
    w->findChild<QLineEdit*>(QStringLiteral("CustomerName"))->setText(QStringLiteral("Acme"));
    w->findChild<QLineEdit*>(QStringLiteral("DateTime"))
        ->setText(QStringLiteral("2026-05-06 09:30:00"));
    product->setText(QStringLiteral("P-100"));
    ASSERT_TRUE(w->saveRecord());
    EXPECT_EQ(dataValue(QStringLiteral("SELECT [PRODUCTCODE] FROM [CUSTOMER FEEDBACK] WHERE "
                                       "[CUSTOMER NAME] = 'Acme'")),
              QStringLiteral("P-100"));
}

TEST_F(CaptionsTest, AnAdministratorsChangeShowsInTheNextWindowWithoutARestart) {
    setCaption(QStringLiteral("Feedback"), QStringLiteral("Savef"), QStringLiteral("&Store"),
               QStringLiteral("Store this feedback"));
    setFieldDefinition(kTable, 1, QStringLiteral("Client"));
    RecordWindow* w = GetRecordWindow(kTable);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->findChild<QPushButton*>(QStringLiteral("Savef"))->text(),
              QStringLiteral("&Store"));
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("CustomerLabel"))->text(),
              QStringLiteral("Client"));

    // The definitions record sets stay open all along, as sign-in left them.
    setCaption(QStringLiteral("Feedback"), QStringLiteral("Savef"), QStringLiteral("Sa&ve now"),
               QStringLiteral("Save it"));
    setFieldDefinition(kTable, 1, QStringLiteral("Account"));
    EXPECT_EQ(w->findChild<QPushButton*>(QStringLiteral("Savef"))->text(),
              QStringLiteral("&Store"));

    w = reopen(w);
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->findChild<QPushButton*>(QStringLiteral("Savef"))->text(),
              QStringLiteral("Sa&ve now"));
    EXPECT_EQ(w->findChild<QPushButton*>(QStringLiteral("Savef"))->toolTip(),
              QStringLiteral("Save it"));
    EXPECT_EQ(w->findChild<QLabel*>(QStringLiteral("CustomerLabel"))->text(),
              QStringLiteral("Account"));
}

}  // namespace
