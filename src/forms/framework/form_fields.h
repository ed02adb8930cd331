// Moving a row between a window's bound controls and the shared record buffer
// (state().FieldValues, element n = the column with ordinal n). Each control kind holds
// its value in its own way:
//   text box (QLineEdit), memo box (QPlainTextEdit), combo box  the text
//   check box       "0" unchecked, "1" checked, "2" partially checked
//   rich-text box (QTextEdit)  Qt rich text (HTML)
//   date combo (DateBox)       ISO date text, empty for no date
// Labels show no value and are not read or written.
#pragma once

#include "data/app_state.h"

#include <QString>
#include <cstdint>
#include <optional>

class QObject;
class QWidget;

namespace tv::forms {

// Puts values(n) into every control bound to ordinal n. A check box is checked by
// "True", "-1", "1" or any other non-zero number and cleared by "False", "0" or an empty
// text. An ordinal beyond the array leaves its control unchanged. Returns -1.
std::int16_t LoadFormFields(QWidget* form, const data::FieldValueArray& values);

// Rebuilds FieldValues with one empty element per column of `tableName` in the chosen
// database (0 data, -1 definitions), fills it from the bound controls (hidden ones too),
// then for mode 1 adds a row, for mode 2 updates the row stored under key1/key2 (empty
// key1: the keys are taken from FieldValues), for mode 0 writes nothing. Returns -1 when
// the row was stored (or nothing had to be), 0 when the data layer refused it (it has
// shown its message).
std::int16_t SaveFormFields(QWidget* form, const QString& tableName, int mode, const QString& key1,
                            const QString& key2, int database = 0);

// One control's value as SaveFormFields stores it; nothing for a control that holds none.
std::optional<QString> controlValue(const QObject* control);
// Puts a value into one control as LoadFormFields does.
void setControlValue(QObject* control, const QString& value);

}  // namespace tv::forms
