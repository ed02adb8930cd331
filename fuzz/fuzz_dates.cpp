// Fuzz target: the date readers and date formats of core and the dialect's #date#
// literals. The input's first line is a date as text, the second a Format pattern, the
// third a date interval ("yyyy", "m", "ww" ...) with a number. A text that is no date is
// refused (false, or ConversionError); a date is written with the pattern and moved by
// the interval.
#include "fuzz_input.h"

#include "core/convert.h"
#include "core/format.h"
#include "engine/jet_dialect.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList parts = tvfuzz::partsOf(tvfuzz::textOf(data, size), 3);
    const QString& text = parts[0];
    const QString& pattern = parts[1];
    const QString interval = parts[2].section(u' ', 0, 0);
    const double number = tv::Val(parts[2].section(u' ', 1));

    tv::DateTime parsed;
    (void)tv::parseDateTime(text, &parsed);
    (void)tv::engine::dialect::readDateLiteral(text, &parsed);
    (void)tv::fromIsoText(text, &parsed);
    (void)tv::IsDate(tv::Variant(text));
    try {
        const tv::DateTime date = tv::CDate(tv::Variant(text));
        (void)tv::Format(tv::Variant(date), pattern);
        (void)tv::toIsoText(date);
        (void)tv::DateValue(tv::Variant(date));
        (void)tv::TimeValue(tv::Variant(date));
        const tv::DateTime moved = tv::DateAdd(interval, number, date);
        (void)tv::DateDiff(interval, date, moved);
        (void)tv::DatePart(interval, moved);
        (void)tv::Format(tv::Variant(moved), pattern);
    } catch (const tv::ConversionError&) {
    }
    return 0;
}
