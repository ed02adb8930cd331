// Moving a row between the controls and the record buffer: each control kind's reading
// and writing, ordinals outside the row, and the add and update that follow a save.
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
using namespace Qt::StringLiterals;

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
    QWidget form;
    auto* check = bound<QCheckBox>(&form, 1);
    check->setTristate(true);
    // Any number but 0 checks, an empty text (a Null) clears, what is no Boolean is left.
    for (const auto& [values, expected] :
         {std::pair{"True|true|-1|1|2", Qt::Checked}, std::pair{"False|0|", Qt::Unchecked},
          std::pair{"maybe", Qt::PartiallyChecked}}) {
        for (const QString& value : QString::fromLatin1(values).split(u'|')) {
            check->setCheckState(Qt::PartiallyChecked);
            LoadFormFields(&form, row({value}));
            EXPECT_EQ(check->checkState(), expected) << value.toStdString();
        }
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
    combo->addItems({u"Compliment"_s, u"Complaint"_s});
    auto* label = bound<QLabel>(&form, 6);
    label->setText(u"Label text"_s);
    auto* far = bound<QLineEdit>(&form, 9);
    far->setText(u"kept"_s);
    QString checks;  // a check box's three states as stored
    for (const Qt::CheckState state : {Qt::Unchecked, Qt::Checked, Qt::PartiallyChecked}) {
        check->setCheckState(state);
        checks += *controlValue(check);
    }
    EXPECT_EQ(checks, u"012"_s);

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
    EXPECT_EQ(stored(), u"Praised the engineer|-1|2026-02-10 00:00:00"_s);
    summary->setText(u"Praised twice"_s);
    followUp->setChecked(false);
    ASSERT_EQ(SaveFormFields(&form, table, 2, u"O'Brien"_s, u"2026-02-03 08:15:00"_s), -1);
    EXPECT_EQ(stored(), u"Praised twice|0|2026-02-10 00:00:00"_s);

    // A row the engine refuses is reported (the key may not be empty) and gives 0.
    name->clear();
    ask.message(tv::data::msgbox::kOk);
    EXPECT_EQ(SaveFormFields(&form, table, 1, QString(), QString()), 0);
}

}  // namespace
