// The comma-delimited export line: every kind of value as it is written, and the line.
#include "core/convert.h"
#include "forms/framework/delimited_line.h"

#include <gtest/gtest.h>

namespace {

using tv::Variant;

TEST(DelimitedLine, EachKindOfValueIsWrittenInItsClassicForm) {
    struct Case {
        const char* name;
        Variant value;
        const char* written;
    };
    const Case cases[] = {
        {"null", Variant(), "#NULL#"},
        {"true", Variant(true), "#TRUE#"},
        {"false", Variant(false), "#FALSE#"},
        {"integer", Variant(std::int16_t{-42}), "-42"},
        {"long", Variant(std::int32_t{1234567}), "1234567"},
        {"currency with a fraction", Variant(tv::Currency{125000}), "12.5"},
        {"negative currency", Variant(tv::Currency{-10001}), "-1.0001"},
        {"whole currency", Variant(tv::Currency{30000}), "3"},
        {"single", Variant(0.1f), "0.1"},
        {"double", Variant(1234.5678), "1234.5678"},
        {"date and time", Variant(tv::DateFromParts(2026, 12, 5, 14, 30, 5)),
         "#2026-12-05 14:30:05#"},
        {"text", Variant(QStringLiteral("Leeds")), "\"Leeds\""},
        {"text with a comma", Variant(QStringLiteral("Smith, Jones")), "\"Smith, Jones\""},
        {"text with quotes", Variant(QStringLiteral("12\" Monitor")), "\"12\"\" Monitor\""},
        {"empty text", Variant(QString()), "\"\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(tv::forms::DelimitedItem(c.value), QString::fromUtf8(c.written));
    }
    EXPECT_EQ(tv::forms::WriteDelimitedLine({Variant(QStringLiteral("a,b")), Variant()}),
              QStringLiteral("\"a,b\",#NULL#\r\n"));
}

}  // namespace
