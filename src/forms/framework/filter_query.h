// The text side of the Filter window, free of widgets: how a condition is written into
// the criteria box, and how the criteria box and the chosen sort become one SELECT
// statement in the Jet dialect.
//
// Criteria are one condition per line, "[caption] operator value", every line after the
// first starting with "And " or " Or ". Turning them into a WHERE clause groups the
// conditions at each And, so that a, And b, Or c reads (a) AND (b OR c): an Or always
// binds to the condition before it, which is what a person building the list top down
// means. Quoted values, bracketed names and #dates# are single words, whatever blanks
// they hold, so a value such as 'New York' or 'O''Brien' survives the regrouping.
#pragma once

#include "engine/engine.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace tv::forms::filter {

// The sort field entry that means "no particular field".
inline constexpr char kNoSortField[] = "(none)";

enum class Join { And, Or };

// The value part of a condition, with its leading blank, by the field's engine type:
// texts and memos as a quoted literal (" 'O''Brien'"), dates as " #05-Dec-26#" (the
// "Medium Date" form, which names the month and so cannot be misread; with four year
// digits outside 1930-2029, where two would name the wrong century), anything else as
// typed (" 42"). Nothing when a date field's value is not a date.
std::optional<QString> valueText(engine::FieldType type, const QString& value);

// The criteria text with one more condition "[caption] operator" + valueText: a first
// condition stands alone, later ones go on a new line after "And " or " Or ".
QString appendCondition(const QString& criteria, Join join, const QString& caption,
                        const QString& op, const QString& valueText);

// The words of a text, split at blanks. A quoted part ('...' or "...", a doubled quote
// staying inside), a bracketed name and a #date# are kept whole with their blanks.
QStringList splitWords(const QString& text);

// Maps a column caption (without brackets) to its field name; empty when the caption is
// not one of the list's columns.
using FieldLookup = std::function<QString(const QString& caption)>;

// The WHERE condition for the criteria text (empty criteria give an empty text): the
// conditions between two Ands become one parenthesised group and groups are joined by
// AND; "Or", "In" and "Like" are written in capitals; an And or Or with no condition
// before it in its group is dropped (a list that starts with "Or", a doubled "And"); the
// And of "Between x And y" stays inside its condition;
// bracketed captions become their bracketed field names, names that are no caption stay
// as typed, and nothing inside a quoted value is touched.
QString whereCondition(const QString& criteria, const FieldLookup& fieldOf);

// The ORDER BY part, with its leading blank: the chosen field (descending when asked)
// followed by the table's first field to keep the order stable among equal values; with
// no field chosen (empty or "(none)"), the first field alone. Empty when the table's first
// field is not known.
QString orderByText(const QString& sortField, bool descending, const QString& firstField);

// "Select * From [table]" with " Where " + condition when there is one, and orderBy.
QString selectStatement(const QString& table, const QString& condition, const QString& orderBy);

}  // namespace tv::forms::filter
