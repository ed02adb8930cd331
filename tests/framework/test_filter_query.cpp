// The criteria text of the Filter window and the statement it becomes: grouping at And,
// words that must stay whole (quoted values, bracketed names, dates), captions turned
// into field names, values written by field type, and the sort.
#include "forms/framework/filter_query.h"

#include <gtest/gtest.h>
#include <QHash>

namespace {

using namespace tv::forms::filter;
using tv::engine::FieldType;

QString fieldOf(const QString& caption) {
    static const QHash<QString, QString> fields = {
        {QStringLiteral("Account Name"), QStringLiteral("CUSTOMER NAME")},
        {QStringLiteral("City"), QStringLiteral("POSTALCITY")},
        {QStringLiteral("State"), QStringLiteral("POSTALSTATE")},
        {QStringLiteral("First Date"), QStringLiteral("FIRSTDATE")},
    };
    return fields.value(caption);
}

TEST(FilterQuery, CriteriaBecomeGroupedWhereText) {
    struct Case {
        const char* name;
        const char* criteria;
        const char* where;
    };
    const Case cases[] = {
        {"a, And b, Or c", "[Account Name] = 'A'\nAnd [City] = 'New York'\n Or [State] = 'NY'",
         "([CUSTOMER NAME] = 'A') AND ([POSTALCITY] = 'New York' OR [POSTALSTATE] = 'NY')"},
        {"only Or: one group", "[City] = 'X'\n Or [City] = 'Y'\n Or [City] = 'Z'",
         "([POSTALCITY] = 'X' OR [POSTALCITY] = 'Y' OR [POSTALCITY] = 'Z')"},
        {"a leading Or is dropped", " Or [City] = 'X'\nAnd [State] = 'NY'",
         "([POSTALCITY] = 'X') AND ([POSTALSTATE] = 'NY')"},
        {"keywords inside a value stay in it", "[Account Name] = 'O''Brien and Sons Or Daughters'",
         "([CUSTOMER NAME] = 'O''Brien and Sons Or Daughters')"},
        {"blanks inside a value are kept", "[City] = 'New  York'", "([POSTALCITY] = 'New  York')"},
        {"double-quoted value", "[City] = \"New York\"", "([POSTALCITY] = \"New York\")"},
        {"keywords in capitals", "[Account Name] like 'O*'\nand [State] in ('NY', 'NJ')",
         "([CUSTOMER NAME] LIKE 'O*') AND ([POSTALSTATE] IN ('NY', 'NJ'))"},
        {"a caption inside quotes is text", "[City] = '[City]'", "([POSTALCITY] = '[City]')"},
        {"a name that is no caption stays", "[POSTALCODE] = '1'", "([POSTALCODE] = '1')"},
        {"carriage returns and line feeds", "[City] = 'X'\r\nAnd [State] = 'Y'",
         "([POSTALCITY] = 'X') AND ([POSTALSTATE] = 'Y')"},
        {"doubled and trailing And", "[City] = 'X'\nAnd\nAnd [State] = 'Y'\nAnd",
         "([POSTALCITY] = 'X') AND ([POSTALSTATE] = 'Y')"},
        {"the And of Between stays",
         "[First Date] Between #1 Dec 2026# And #5 Dec 2026#\nAnd [City] = 'X'",
         "([FIRSTDATE] Between #1 Dec 2026# And #5 Dec 2026#) AND ([POSTALCITY] = 'X')"},
        {"a date with blanks", "[First Date] >= #5 Dec 2026#", "([FIRSTDATE] >= #5 Dec 2026#)"},
        {"an unclosed quote keeps the rest", "[City] = 'New York", "([POSTALCITY] = 'New York)"},
        {"empty criteria", "", ""},
        {"only blanks and lines", "  \n \r\n", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(whereCondition(QString::fromUtf8(c.criteria), fieldOf),
                  QString::fromUtf8(c.where))
            << c.name;
    }
}

TEST(FilterQuery, ValuesAreWrittenByFieldType) {
    struct Case {
        const char* name;
        FieldType type;
        const char* value;
        std::optional<QString> written;
    };
    const Case cases[] = {
        {"text with a quote", FieldType::Text, "O'Brien", QStringLiteral(" 'O''Brien'")},
        {"memo", FieldType::Memo, "New York", QStringLiteral(" 'New York'")},
        {"ISO date", FieldType::Date, "2026-12-05", QStringLiteral(" #05-Dec-26#")},
        {"date with a time", FieldType::Date, "5 Dec 2026 14:30", QStringLiteral(" #05-Dec-26#")},
        {"a year two digits would misread", FieldType::Date, "2035-01-31",
         QStringLiteral(" #31-Jan-2035#")},
        {"not a date", FieldType::Date, "soon", std::nullopt},
        {"number", FieldType::Long, "42", QStringLiteral(" 42")},
    };
    for (const Case& c : cases)
        EXPECT_EQ(valueText(c.type, QString::fromUtf8(c.value)), c.written) << c.name;
}

}  // namespace
