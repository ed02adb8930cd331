// Captions, tool tips and hiding from FORM CAPTIONS, by each control's "tag".
#include "app/form_captions.h"
#include "app_fixture.h"

#include "app/definitions_open.h"
#include "data/app_state.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QWidget>
#include <type_traits>

namespace tvtest {
namespace {

using tv::app::ApplyFormCaptions;

class FormCaptionsTest : public SignInTest {
protected:
    void SetUp() override {
        SignInTest::SetUp();
        execOn(definitionsPath(),
               {
                   QStringLiteral("INSERT INTO [FORM CAPTIONS] VALUES ('TestForm', 'Caption', "
                                  "'Customer''s Window', Null, 0)"),
                   QStringLiteral("INSERT INTO [FORM CAPTIONS] VALUES ('TestForm', 'Plain', "
                                  "'Plain label:', 'tip not shown', 0)"),
                   QStringLiteral("INSERT INTO [FORM CAPTIONS] VALUES ('TestForm', 'Boxed', "
                                  "'Boxed value', 'boxed tip', 0)"),
                   QStringLiteral("INSERT INTO [FORM CAPTIONS] VALUES ('TestForm', 'Go', "
                                  "'&Go', 'go tip', 0)"),
                   QStringLiteral("INSERT INTO [FORM CAPTIONS] VALUES ('TestForm', 'Secret', "
                                  "'Secret', Null, -1)"),
                   QStringLiteral("INSERT INTO [FORM CAPTIONS] VALUES ('TestForm', 'TipOnly', "
                                  "Null, 'only a tip', 0)"),
                   QStringLiteral("INSERT INTO [FORM CAPTIONS] VALUES ('TestForm', 'Frame', "
                                  "'Group', 'group tip', 0)"),
                   QStringLiteral("INSERT INTO [FORM CAPTIONS] VALUES ('TestForm', '3', "
                                  "'Numbered', 'numbered tip', 0)"),
                   QStringLiteral("INSERT INTO [FORM CAPTIONS] VALUES ('Other', 'Go', "
                                  "'Wrong window', Null, 0)"),
               });
        ASSERT_TRUE(tv::app::OpenDefinitions());
    }

    template <typename T>
    T* add(const QString& tag, const QString& text = QStringLiteral("design")) {
        auto* w = new T(&form);
        w->setProperty("tag", tag);
        if constexpr (std::is_same_v<T, QGroupBox>) {
            w->setTitle(text);
        } else if constexpr (!std::is_same_v<T, QLineEdit>) {
            w->setText(text);
        }
        return w;
    }

    QWidget form;
};

TEST_F(FormCaptionsTest, EachKindOfControlTakesWhatSuitsIt) {
    form.setWindowTitle(QStringLiteral("design title"));
    auto* plain = add<QLabel>(QStringLiteral("Plain"));
    auto* boxed = add<QLabel>(QStringLiteral("boxed"));  // keys ignore case
    boxed->setFrameShape(QFrame::Panel);
    auto* go = add<QPushButton>(QStringLiteral("Go"));
    auto* secret = add<QCheckBox>(QStringLiteral("Secret"));
    auto* tipOnly = add<QPushButton>(QStringLiteral("TipOnly"));
    auto* frame = add<QGroupBox>(QStringLiteral("Frame"));
    auto* bound = add<QLineEdit>(QStringLiteral("3"));
    auto* unknown = add<QPushButton>(QStringLiteral("Missing"));
    auto* untagged = add<QPushButton>(QString());
    form.show();

    ApplyFormCaptions(&form, QStringLiteral("TestForm"));

    EXPECT_EQ(form.windowTitle(), QStringLiteral("Customer's Window"));
    EXPECT_EQ(plain->text(), QStringLiteral("Plain label:"));
    EXPECT_TRUE(plain->toolTip().isEmpty());
    EXPECT_EQ(boxed->text(), QStringLiteral("Boxed value"));
    EXPECT_EQ(boxed->toolTip(), QStringLiteral("boxed tip"));
    EXPECT_EQ(go->text(), QStringLiteral("&Go"));
    EXPECT_EQ(go->toolTip(), QStringLiteral("go tip"));
    EXPECT_FALSE(secret->isVisible());
    EXPECT_TRUE(go->isVisible());
    EXPECT_EQ(tipOnly->text(), QStringLiteral("design"));
    EXPECT_EQ(tipOnly->toolTip(), QStringLiteral("only a tip"));
    EXPECT_EQ(frame->title(), QStringLiteral("Group"));
    EXPECT_EQ(frame->toolTip(), QStringLiteral("group tip"));
    // Numeric tags bind columns; they are not caption keys.
    EXPECT_TRUE(bound->toolTip().isEmpty());
    EXPECT_EQ(unknown->text(), QStringLiteral("design"));
    EXPECT_EQ(untagged->text(), QStringLiteral("design"));
}

TEST_F(FormCaptionsTest, LookupsAnswerEmptyForMissingRows) {
    EXPECT_EQ(tv::app::GetCaptionText(QStringLiteral("TestForm"), QStringLiteral("Go")),
              QStringLiteral("&Go"));
    EXPECT_EQ(tv::app::GetToolTipText(QStringLiteral("testform"), QStringLiteral("go")),
              QStringLiteral("go tip"));
    EXPECT_TRUE(
        tv::app::GetCaptionText(QStringLiteral("TestForm"), QStringLiteral("Nope")).isEmpty());
    EXPECT_TRUE(tv::app::GetCaptionText(QStringLiteral("O'Neil"), QStringLiteral("Go")).isEmpty());
}

TEST_F(FormCaptionsTest, WithoutTheDefinitionsEverythingKeepsItsDesign) {
    tv::data::state().reset();
    auto* go = add<QPushButton>(QStringLiteral("Go"));
    form.setWindowTitle(QStringLiteral("design title"));
    ApplyFormCaptions(&form, QStringLiteral("TestForm"));
    EXPECT_EQ(go->text(), QStringLiteral("design"));
    EXPECT_EQ(form.windowTitle(), QStringLiteral("design title"));
}

}  // namespace
}  // namespace tvtest
