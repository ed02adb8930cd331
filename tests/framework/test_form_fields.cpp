// Moving a row between the controls and the record buffer: each control kind's reading
// and writing, ordinals outside the row, and the add and update that follow a save.
#include "data/access.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/date_box.h"
#include "forms/framework/form_fields.h"
#include "framework/framework_fixture.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace {

using namespace tv::forms;

const QString kTable = QStringLiteral("Customer Feedback");

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

TEST(FormFields, CheckBoxesReadTheClassicBooleanTexts) {
    struct Case {
        const char* value;
        Qt::CheckState expected;
    };
    const Case cases[] = {{"True", Qt::Checked},
                          {"true", Qt::Checked},
                          {"-1", Qt::Checked},
                          {"1", Qt::Checked},
                          {"2", Qt::Checked},
                          {"False", Qt::Unchecked},
                          {"0", Qt::Unchecked},
                          {"", Qt::Unchecked},
                          // Not a Boolean: the box keeps what it showed.
                          {"maybe", Qt::PartiallyChecked}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        QWidget form;
        auto* check = bound<QCheckBox>(&form, 1);
        check->setTristate(true);
        check->setCheckState(Qt::PartiallyChecked);
        LoadFormFields(&form, row({QString::fromLatin1(c.value)}));
        EXPECT_EQ(check->checkState(), c.expected);
    }
}

TEST(FormFields, EachControlKindGivesItsValue) {
    QWidget form;
    auto* check = bound<QCheckBox>(&form, 1);
    check->setTristate(true);
    auto* date = bound<DateBox>(&form, 2);
    auto* rich = bound<QTextEdit>(&form, 3);
    auto* memo = bound<QPlainTextEdit>(&form, 4);
    auto* combo = bound<QComboBox>(&form, 5);
    combo->addItems({QStringLiteral("Compliment"), QStringLiteral("Complaint")});
    auto* label = bound<QLabel>(&form, 6);
    label->setText(QStringLiteral("Label text"));

    const struct {
        Qt::CheckState state;
        const char* stored;
    } checks[] = {{Qt::Unchecked, "0"}, {Qt::Checked, "1"}, {Qt::PartiallyChecked, "2"}};
    for (const auto& c : checks) {
        check->setCheckState(c.state);
        EXPECT_EQ(controlValue(check), QString::fromLatin1(c.stored));
    }

    LoadFormFields(&form, row({QStringLiteral("1"), QStringLiteral("05-Dec-2026"),
                               QStringLiteral("<p>A <b>bold</b> answer</p>"),
                               QStringLiteral("line one\nline two"), QStringLiteral("Complaint"),
                               QStringLiteral("not for a label")}));
    EXPECT_EQ(controlValue(date), QStringLiteral("2026-12-05"));
    EXPECT_EQ(rich->toPlainText(), QStringLiteral("A bold answer"));
    EXPECT_TRUE(controlValue(rich)->contains(QStringLiteral("font-weight")));
    EXPECT_EQ(controlValue(memo), QStringLiteral("line one\nline two"));
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(label->text(), QStringLiteral("Label text"));
    EXPECT_FALSE(controlValue(label).has_value());

    // Empty values: no date, an empty rich text saved as an empty text.
    LoadFormFields(&form, row({QString(), QString(), QString(), QString(), QString()}));
    EXPECT_TRUE(date->isNull());
    EXPECT_EQ(controlValue(date), QString());
    EXPECT_EQ(controlValue(rich), QString());
}

TEST(FormFields, AnOrdinalBeyondTheRowLeavesItsControl) {
    QWidget form;
    auto* first = bound<QLineEdit>(&form, 1);
    auto* far = bound<QLineEdit>(&form, 5);
    far->setText(QStringLiteral("kept"));
    LoadFormFields(&form, row({QStringLiteral("one"), QStringLiteral("two")}));
    EXPECT_EQ(first->text(), QStringLiteral("one"));
    EXPECT_EQ(far->text(), QStringLiteral("kept"));
}

class SaveFormFieldsTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        name = bound<QLineEdit>(&form, 1);
        when = bound<QLineEdit>(&form, 2);
        summary = bound<QLineEdit>(&form, 7);
        followUp = bound<QCheckBox>(&form, 10);
        resolved = bound<DateBox>(&form, 12);
        name->setText(QStringLiteral("O'Brien"));
        when->setText(QStringLiteral("2026-02-03 08:15:00"));
        summary->setText(QStringLiteral("Praised the engineer"));
    }
    QString stored(const QString& column) {
        return dataValue(
            QStringLiteral("SELECT [%1] FROM [CUSTOMER FEEDBACK] WHERE [CUSTOMER NAME] "
                           "= 'O''Brien'")
                .arg(column));
    }

    QWidget form;
    QLineEdit* name = nullptr;
    QLineEdit* when = nullptr;
    QLineEdit* summary = nullptr;
    QCheckBox* followUp = nullptr;
    DateBox* resolved = nullptr;
};

TEST_F(SaveFormFieldsTest, TrueLoadedIntoACheckBoxIsWrittenBackAsOne) {
    tv::data::FieldValueArray values;
    values(10) = QStringLiteral("True");
    LoadFormFields(&form, values);
    EXPECT_TRUE(followUp->isChecked());
    ASSERT_EQ(SaveFormFields(&form, kTable, 0, QString(), QString()), -1);
    EXPECT_EQ(tv::data::state().FieldValues(10), QStringLiteral("1"));
}

TEST_F(SaveFormFieldsTest, TheRecordBufferHasOneElementPerColumn) {
    tv::data::state().FieldValues(40) = QStringLiteral("left over");
    SaveFormFields(&form, kTable, 0, QString(), QString());
    const auto& values = tv::data::state().FieldValues;
    EXPECT_EQ(values.size(), columnCount(QStringLiteral("CUSTOMER FEEDBACK")));
    EXPECT_EQ(values(1), QStringLiteral("O'Brien"));
    EXPECT_EQ(values(3), QString());   // no control
    EXPECT_EQ(values(12), QString());  // no date
    EXPECT_EQ(stored(QStringLiteral("SUMMARY")),
              QStringLiteral("<none>"));  // mode 0 writes nothing
}

TEST_F(SaveFormFieldsTest, ModeOneAddsAndModeTwoUpdates) {
    followUp->setChecked(true);
    resolved->setDateText(QStringLiteral("2026-02-10"));
    ASSERT_EQ(SaveFormFields(&form, kTable, 1, QString(), QString()), -1);
    EXPECT_EQ(stored(QStringLiteral("SUMMARY")), QStringLiteral("Praised the engineer"));
    EXPECT_EQ(
        dataValue(QStringLiteral("SELECT Count(*) FROM [CUSTOMER FEEDBACK] WHERE [FOLLOWUP] = "
                                 "True AND [RESOLVEDDATE] = #2026-02-10#")),
        QStringLiteral("1"));

    summary->setText(QStringLiteral("Praised the engineer twice"));
    followUp->setChecked(false);
    ASSERT_EQ(SaveFormFields(&form, kTable, 2, QStringLiteral("O'Brien"),
                             QStringLiteral("2026-02-03 08:15:00")),
              -1);
    EXPECT_EQ(stored(QStringLiteral("SUMMARY")), QStringLiteral("Praised the engineer twice"));
    EXPECT_EQ(dataValue(QStringLiteral(
                  "SELECT Count(*) FROM [CUSTOMER FEEDBACK] WHERE [FOLLOWUP] = True")),
              QStringLiteral("0"));
}

TEST_F(SaveFormFieldsTest, ARefusedRowReportsAndGivesFalse) {
    name->clear();  // the key may not be empty
    ask.message(tv::data::msgbox::kOk);
    EXPECT_EQ(SaveFormFields(&form, kTable, 1, QString(), QString()), 0);
    ASSERT_EQ(ask.messages().size(), 1u);
}

}  // namespace
