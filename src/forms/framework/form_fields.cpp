#include "forms/framework/form_fields.h"

#include "core/convert.h"
#include "data/access.h"
#include "data/failure.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/date_box.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextDocument>
#include <QTextEdit>

namespace tv::forms {

namespace {

Qt::CheckState checkStateOf(const QString& value) {
    // An empty element is a Null Boolean, which is stored as False.
    if (value.trimmed().isEmpty()) return Qt::Unchecked;
    // Any other text that is not a Boolean throws, and the caller leaves the box as it is.
    return tv::CBool(tv::Variant(value.trimmed())) ? Qt::Checked : Qt::Unchecked;
}

QString checkText(Qt::CheckState state) {
    switch (state) {
        case Qt::Checked:
            return QStringLiteral("1");
        case Qt::PartiallyChecked:
            return QStringLiteral("2");
        default:
            return QStringLiteral("0");
    }
}

}  // namespace

void setControlValue(QObject* control, const QString& value) {
    // A value the control cannot take leaves it unchanged.
    (void)data::attempt([&] {
        if (auto* rich = qobject_cast<QTextEdit*>(control)) {
            if (Qt::mightBeRichText(value)) {
                rich->setHtml(value);
            } else {
                rich->setPlainText(value);
            }
        } else if (auto* check = qobject_cast<QCheckBox*>(control)) {
            check->setCheckState(checkStateOf(value));
        } else if (auto* date = qobject_cast<DateBox*>(control)) {
            date->setDateText(value);
        } else if (auto* plainDate = qobject_cast<QDateEdit*>(control)) {
            tv::DateTime parsed;
            if (tv::parseDateTime(value, &parsed))
                plainDate->setDate(tv::toQDateTime(parsed).date());
        } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            edit->setText(value);
        } else if (auto* memo = qobject_cast<QPlainTextEdit*>(control)) {
            memo->setPlainText(value);
        } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
            if (combo->isEditable()) {
                combo->setEditText(value);
            } else if (const int index = combo->findText(value); index >= 0 || value.isEmpty()) {
                combo->setCurrentIndex(index);
            }
        }
    });
}

std::optional<QString> controlValue(const QObject* control) {
    if (const auto* rich = qobject_cast<const QTextEdit*>(control))
        return rich->document()->isEmpty() ? QString() : rich->toHtml();
    if (const auto* check = qobject_cast<const QCheckBox*>(control))
        return checkText(check->checkState());
    if (const auto* date = qobject_cast<const DateBox*>(control)) return date->dateText();
    if (const auto* plainDate = qobject_cast<const QDateEdit*>(control))
        return plainDate->date().toString(Qt::ISODate);
    if (const auto* edit = qobject_cast<const QLineEdit*>(control)) return edit->text();
    if (const auto* memo = qobject_cast<const QPlainTextEdit*>(control)) return memo->toPlainText();
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) return combo->currentText();
    return std::nullopt;
}

std::int16_t LoadFormFields(QWidget* form, const data::FieldValueArray& values) {
    if (!form) return -1;
    for (QObject* control : taggedControls(form)) {
        const int n = boundOrdinal(control);
        if (n < 1 || n > values.size()) continue;
        setControlValue(control, values(n));
    }
    return -1;
}

std::int16_t SaveFormFields(QWidget* form, const QString& tableName, int mode, const QString& key1,
                            const QString& key2, int database) {
    data::FieldValueArray& fields = data::state().FieldValues;
    fields.clear();
    fields.resize(tableFieldCount(tableName, database));
    if (form) {
        for (QObject* control : taggedControls(form)) {
            const int n = boundOrdinal(control);
            if (n < 1) continue;
            if (const std::optional<QString> value = controlValue(control)) fields(n) = *value;
        }
    }

    switch (mode) {
        case 1:
            return data::AddRecord(tableName, true, database) ? -1 : 0;
        case 2:
            return data::UpdateRecord(tableName, true, key1, key2, database) ? -1 : 0;
        default:
            return -1;
    }
}

}  // namespace tv::forms
