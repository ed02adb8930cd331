// Fuzz target: the number readers and number formats of core. The input's first line is
// a number as text, the rest a Format pattern. Val and IsNumeric read any text; the
// conversions either convert or throw ConversionError; Format writes the number, the
// text and the conversions' results with the pattern.
#include "fuzz_input.h"

#include "core/convert.h"
#include "core/format.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList parts = tvfuzz::partsOf(tvfuzz::textOf(data, size), 2);
    const QString& text = parts[0];
    const QString& pattern = parts[1];
    const tv::Variant given(text);

    const double value = tv::Val(text);
    (void)tv::IsNumeric(given);
    (void)tv::numberOf(given);
    (void)tv::Format(tv::Variant(value), pattern);
    (void)tv::Format(given, pattern);
    const auto attempt = [&](auto convert) {
        try {
            (void)tv::Format(tv::Variant(convert(given)), pattern);
        } catch (const tv::ConversionError&) {
        }
    };
    attempt([](const tv::Variant& v) { return tv::CInt(v); });
    attempt([](const tv::Variant& v) { return tv::CLng(v); });
    attempt([](const tv::Variant& v) { return tv::CDbl(v); });
    attempt([](const tv::Variant& v) { return tv::CSng(v); });
    attempt([](const tv::Variant& v) { return tv::CCur(v); });
    attempt([](const tv::Variant& v) { return tv::CByte(v); });
    attempt([](const tv::Variant& v) { return tv::CBool(v); });
    attempt([](const tv::Variant& v) { return tv::CStr(v); });
    return 0;
}
