// The report runner's criteria as a record-selection formula and as a line people read.
// One criterion is one row of REPORT SELECTION with the user's answer:
//
//   field reference   {Table.Field}, or {@Field} when the criterion names a formula
//   operator          "Between": reference in A to B; any other: reference op A
//   values            a check box "True"/"False"; a date, for a date-only field,
//                     Date(yyyy,mm,dd), for a date-and-time field "yyyy/mm/dd 0:00:00.00"
//                     (from) and "yyyy/mm/dd 23:59:59" (to); other inputs their text
//   by field type     numbers and yes/no bare; texts and date-and-time values in double
//                     quotes (a quote inside doubled); dates as Date(...)
//
// A criterion whose first value is empty is left out; the rest are joined by " And " in
// item order. "Between" with only the first value becomes "from A on" (>=).
#pragma once

#include "engine/engine.h"

#include <QDate>
#include <QString>
#include <vector>

namespace tv::reports {

// REPORT SELECTION's option types.
enum class CriterionInput { TextBox = 0, DropDownList = 1, CheckBox = 2, Date = 3, ExtendedList = 4 };

struct Criterion {
    QString table;  // empty: a formula of the report
    QString field;
    QString op;
    CriterionInput input = CriterionInput::TextBox;
    bool dateTime = false;                              // the field holds a date and a time
    engine::FieldType type = engine::FieldType::Text;  // the field's engine type
    // The answers: texts of text boxes and lists, the check box, the dates (null: none).
    QString textA, textB;
    bool checked = false;
    QDate dateA, dateB;
};

// The criterion's term, or an empty text when it is left out.
QString criterionTerm(const Criterion& criterion);
// Every term, joined by " And ".
QString criteriaFormula(const std::vector<Criterion>& criteria);
// The formula as a line printed on the report: "PostalState = NSW, DateTime from 01/03/2000
// to 31/03/2000"; "All records" when the formula is empty.
QString readableCriteria(const QString& formula);

}  // namespace tv::reports
