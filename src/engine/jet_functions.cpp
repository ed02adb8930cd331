// The SQL functions that translated statements call where SQLite has nothing with Jet's
// meaning: the Basic runtime's text, date and conversion functions, Format, the Null
// rules of "&", Jet's rounding integer operators, and Like patterns SQLite's LIKE cannot
// express. Each one converts its arguments to the runtime's values and hands the work to
// the same core routines the rest of the program uses, so a query's Format or CLng gives
// exactly what the windows would.
//
// Conventions: a Null argument gives Null (where Jet would raise "invalid use of Null" in
// a conversion, a query is better served by an empty cell than by failing whole); dates
// are ISO text in and out, as they are stored, and the translator hands a function a
// date's serial (jet_serial) or its text as people read it (jet_gdate) where Jet would
// convert it; Booleans come out as -1/0. A value that does not convert, an overflow or a
// division by zero ends the statement with the runtime's error number and message.
#include "engine/jet_dialect.h"

#include "core/calendar.h"
#include "core/convert.h"
#include "core/format.h"
#include "engine/jet_like.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <QRegularExpression>

namespace tv::engine::dialect {

namespace {

using Impl = void (*)(sqlite3_context*, int, sqlite3_value**);

// ---- values in and out ---------------------------------------------------------------

bool isNull(sqlite3_value* v) { return sqlite3_value_type(v) == SQLITE_NULL; }

// Most functions give Null for a Null argument: sets that result and says so.
bool nullResult(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    for (int i = 0; i < argc; ++i) {
        if (isNull(argv[i])) {
            sqlite3_result_null(ctx);
            return true;
        }
    }
    return false;
}

QString textOf(sqlite3_value* v) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(v));
}

tv::Variant variantOf(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER: {
            const sqlite3_int64 i = sqlite3_value_int64(v);
            if (i >= std::numeric_limits<std::int32_t>::min() &&
                i <= std::numeric_limits<std::int32_t>::max())
                return tv::Variant(static_cast<std::int32_t>(i));
            return tv::Variant(static_cast<double>(i));
        }
        case SQLITE_FLOAT:
            return tv::Variant(sqlite3_value_double(v));
        case SQLITE_TEXT:
            return tv::Variant(textOf(v));
        case SQLITE_BLOB:
            return tv::Variant(QByteArray(static_cast<const char*>(sqlite3_value_blob(v)),
                                          sqlite3_value_bytes(v)));
        default:
            return tv::Variant();
    }
}

// A stored date is ISO text; a text in another form, or a serial number, is read the
// way CDate reads it.
tv::Variant dateVariantOf(sqlite3_value* v) {
    if (sqlite3_value_type(v) == SQLITE_TEXT) {
        DateTime d;
        if (tv::fromIsoText(textOf(v), &d)) return tv::Variant(d);
    }
    return variantOf(v);
}

DateTime dateOf(sqlite3_value* v) { return tv::CDate(dateVariantOf(v)); }

double numberArg(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            return static_cast<double>(sqlite3_value_int64(v));
        case SQLITE_FLOAT:
            return sqlite3_value_double(v);
        default:
            return tv::CDbl(variantOf(v));
    }
}

[[noreturn]] void overflow() { throw tv::ConversionError(tv::kErrOverflow, QStringLiteral("Overflow")); }

// Jet's integer operators round their operands half to even to a Long first.
sqlite3_int64 roundedIntegerOf(sqlite3_value* v) {
    const double n = sqlite3_value_type(v) == SQLITE_INTEGER
                         ? static_cast<double>(sqlite3_value_int64(v))
                         : std::nearbyint(numberArg(v));
    if (!(n >= std::numeric_limits<std::int32_t>::min() &&
          n <= std::numeric_limits<std::int32_t>::max()))
        overflow();
    return static_cast<sqlite3_int64>(n);
}

// A text argument: a fraction written as CStr writes it (10, not SQLite's 10.0).
QString textArg(sqlite3_value* v) {
    if (sqlite3_value_type(v) == SQLITE_FLOAT) return tv::CStr(tv::Variant(sqlite3_value_double(v)));
    return textOf(v);
}

// A date operand of arithmetic: a stored date (ISO text) or a number, as its serial.
double serialArg(sqlite3_value* v) {
    if (sqlite3_value_type(v) == SQLITE_TEXT) return dateOf(v).serial;
    return numberArg(v);
}

void resultText(sqlite3_context* ctx, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void resultDate(sqlite3_context* ctx, DateTime d) { resultText(ctx, tv::toIsoText(d)); }

// A date reached by arithmetic: beyond the years 100 to 9999 is an overflow, as in Jet.
void resultSerial(sqlite3_context* ctx, double serial) {
    if (!(serial >= calendar::kMinSerial && serial <= calendar::kMaxSerial)) overflow();
    resultDate(ctx, DateTime{serial});
}

void resultNumber(sqlite3_context* ctx, double value) {
    if (!std::isfinite(value)) overflow();
    sqlite3_result_double(ctx, value);
}

// Invalid procedure call: the runtime's error 5, for lengths and positions out of range.
[[noreturn]] void invalidArgument(const char* function) {
    throw tv::ConversionError(
        5, QStringLiteral("Invalid procedure call or argument (%1)").arg(QLatin1String(function)));
}

int lengthArgument(sqlite3_value* v, const char* function) {
    const double n = numberArg(v);
    if (n < 0 || n > std::numeric_limits<int>::max()) invalidArgument(function);
    return static_cast<int>(std::nearbyint(n));
}

// ---- the functions -------------------------------------------------------------------

void ucase(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, textArg(argv[0]).toUpper());
}

void lcase(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, textArg(argv[0]).toLower());
}

void leftPart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, textArg(argv[0]).left(lengthArgument(argv[1], "Left")));
}

void rightPart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, textArg(argv[0]).right(lengthArgument(argv[1], "Right")));
}

void midPart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const int start = lengthArgument(argv[1], "Mid");
    if (start < 1) invalidArgument("Mid");
    const int length = argc > 2 ? lengthArgument(argv[2], "Mid") : -1;
    resultText(ctx, textArg(argv[0]).mid(start - 1, length));
}

// InStr([start,] text, sought[, compare]): 1-based position, 0 when absent; compares
// ignoring case unless compare is 0 (binary).
void inStr(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    int start = 1;
    int first = 0;
    if (argc >= 3) {
        start = lengthArgument(argv[0], "InStr");
        if (start < 1) invalidArgument("InStr");
        first = 1;
    }
    const bool binary = argc == 4 && numberArg(argv[3]) == 0;
    const QString text = textArg(argv[first]);
    const QString sought = textArg(argv[first + 1]);
    if (start > text.size()) {
        sqlite3_result_int(ctx, 0);
        return;
    }
    const qsizetype at =
        text.indexOf(sought, start - 1, binary ? Qt::CaseSensitive : Qt::CaseInsensitive);
    sqlite3_result_int64(ctx, at < 0 ? 0 : at + 1);
}

void nowMoment(sqlite3_context* ctx, int, sqlite3_value**) { resultDate(ctx, tv::Now()); }

void today(sqlite3_context* ctx, int, sqlite3_value**) {
    resultDate(ctx, tv::DateValue(tv::Variant(tv::Now())));
}

void timeOfDay(sqlite3_context* ctx, int, sqlite3_value**) {
    resultDate(ctx, tv::TimeValue(tv::Variant(tv::Now())));
}

template <int (*Part)(DateTime)>
void datePart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_int(ctx, Part(dateOf(argv[0])));
}

void datevalue(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultDate(ctx, tv::DateValue(dateVariantOf(argv[0])));
}

void timevalue(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultDate(ctx, tv::TimeValue(dateVariantOf(argv[0])));
}

void cdate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultDate(ctx, dateOf(argv[0]));
}

void cstr(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, tv::CStr(variantOf(argv[0])));
}

void clng(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_int(ctx, tv::CLng(variantOf(argv[0])));
}

void cint(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_int(ctx, tv::CInt(variantOf(argv[0])));
}

void cdbl(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_double(ctx, tv::CDbl(variantOf(argv[0])));
}

void csng(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_double(ctx, tv::CSng(variantOf(argv[0])));
}

void cbool(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_int(ctx, tv::CBool(variantOf(argv[0])) ? -1 : 0);
}

void valOf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const double v = tv::Val(textOf(argv[0]));
    if (v == std::trunc(v) && std::abs(v) < 9.0e15) {
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(v));
    } else {
        sqlite3_result_double(ctx, v);
    }
}

// Format(value[, pattern]): Null gives an empty text, as the runtime's Format does.
void formatValue(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const QString pattern = argc > 1 && !isNull(argv[1]) ? textOf(argv[1]) : QString();
    resultText(ctx, tv::Format(dateVariantOf(argv[0]), pattern));
}

// Int and Fix keep an integer as it is and round a fraction down (Int) or toward zero (Fix).
template <double (*Round)(double)>
void wholePart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    if (sqlite3_value_type(argv[0]) == SQLITE_INTEGER) {
        sqlite3_result_int64(ctx, sqlite3_value_int64(argv[0]));
        return;
    }
    sqlite3_result_double(ctx, Round(numberArg(argv[0])));
}

double floorOf(double v) { return std::floor(v); }
double truncOf(double v) { return std::trunc(v); }

// Round(x[, decimals]) rounds half to even, as the runtime does.
void roundHalfEven(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const int decimals = argc > 1 ? lengthArgument(argv[1], "Round") : 0;
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::nearbyint(numberArg(argv[0]) * scale) / scale;
    if (decimals == 0 && std::abs(rounded) < 9.0e15) {
        sqlite3_result_int64(ctx, static_cast<sqlite3_int64>(rounded));
    } else {
        sqlite3_result_double(ctx, rounded);
    }
}

[[noreturn]] void divisionByZero() {
    throw tv::ConversionError(11, QStringLiteral("Division by zero"));
}

void integerDivide(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const sqlite3_int64 divisor = roundedIntegerOf(argv[1]);
    if (divisor == 0) divisionByZero();
    sqlite3_result_int64(ctx, roundedIntegerOf(argv[0]) / divisor);
}

void modulo(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const sqlite3_int64 divisor = roundedIntegerOf(argv[1]);
    if (divisor == 0) divisionByZero();
    sqlite3_result_int64(ctx, roundedIntegerOf(argv[0]) % divisor);
}

void power(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const double result = std::pow(numberArg(argv[0]), numberArg(argv[1]));
    if (std::isnan(result)) invalidArgument("^");  // (-8) ^ 0.5
    resultNumber(ctx, result);
}

// "/": a fraction always; x / 0 is a division by zero, 0 / 0 an overflow, as in Jet.
void divide(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const double dividend = numberArg(argv[0]);
    const double divisor = numberArg(argv[1]);
    if (divisor == 0) {
        if (dividend == 0) overflow();
        divisionByZero();
    }
    resultNumber(ctx, dividend / divisor);
}

// The result of "+", "-" or "*" over fractions, refused when it left the Double range.
void checkedNumber(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_FLOAT && !std::isfinite(sqlite3_value_double(argv[0])))
        overflow();
    sqlite3_result_value(ctx, argv[0]);
}

// ---- date arithmetic -------------------------------------------------------------------

void serialOfDate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_double(ctx, serialArg(argv[0]));
}

void dateOfSerial(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultSerial(ctx, numberArg(argv[0]));
}

// A date as CStr and "&" write it: "General Date" in the regional format.
void generalDate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, tv::CStr(tv::Variant(DateTime{serialArg(argv[0])})));
}

void datePlus(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultSerial(ctx, serialArg(argv[0]) + serialArg(argv[1]));
}

void dateMinus(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultSerial(ctx, serialArg(argv[0]) - serialArg(argv[1]));
}

// Date minus date: the days between them, time as the fraction.
void daysBetween(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_double(ctx, serialArg(argv[0]) - serialArg(argv[1]));
}

int weekStartArg(int argc, sqlite3_value** argv, int at) {
    return argc > at ? static_cast<int>(roundedIntegerOf(argv[at])) : 1;
}

void dateAdd(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultDate(ctx, tv::DateAdd(textOf(argv[0]), numberArg(argv[1]), DateTime{serialArg(argv[2])}));
}

void dateDiff(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_int(ctx, tv::DateDiff(textOf(argv[0]), DateTime{serialArg(argv[1])},
                                         DateTime{serialArg(argv[2])}, weekStartArg(argc, argv, 3)));
}

void datePartOf(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_int(ctx, tv::DatePart(textOf(argv[0]), DateTime{serialArg(argv[1])},
                                         weekStartArg(argc, argv, 2)));
}

template <DateTime (*Build)(int, int, int)>
void dateFromParts(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const DateTime d = Build(tv::CInt(variantOf(argv[0])), tv::CInt(variantOf(argv[1])),
                             tv::CInt(variantOf(argv[2])));
    if (!(d.serial >= calendar::kMinSerial && d.serial <= calendar::kMaxSerial))
        invalidArgument("DateSerial");
    resultDate(ctx, d);
}

// ---- First and Last --------------------------------------------------------------------

// The value of the first or the last row each group reads, Null included. The value is
// copied (sqlite3_value_dup) since SQLite's own lives only for the step.
struct Kept {
    sqlite3_value* value = nullptr;
    bool set = false;
};

template <bool Last>
void keepStep(sqlite3_context* ctx, int, sqlite3_value** argv) {
    auto* kept = static_cast<Kept*>(sqlite3_aggregate_context(ctx, sizeof(Kept)));
    if (!kept || (kept->set && !Last)) return;
    sqlite3_value* copy = sqlite3_value_dup(argv[0]);
    if (!copy) {
        sqlite3_result_error_nomem(ctx);
        return;
    }
    sqlite3_value_free(kept->value);
    kept->value = copy;
    kept->set = true;
}

void keepFinal(sqlite3_context* ctx) {
    auto* kept = static_cast<Kept*>(sqlite3_aggregate_context(ctx, 0));
    if (!kept || !kept->value) {
        sqlite3_result_null(ctx);
        return;
    }
    sqlite3_result_value(ctx, kept->value);
    sqlite3_value_free(kept->value);
    kept->value = nullptr;
}

// "&": Null counts as an empty text, and only Null & Null is Null. Numbers are written as
// CStr writes them (10, not SQLite's 10.0).
void concatenate(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    QString text;
    bool allNull = true;
    for (int i = 0; i < argc; ++i) {
        switch (sqlite3_value_type(argv[i])) {
            case SQLITE_NULL:
                continue;
            case SQLITE_FLOAT:
                text += tv::CStr(tv::Variant(sqlite3_value_double(argv[i])));
                break;
            default:
                text += textOf(argv[i]);
                break;
        }
        allNull = false;
    }
    if (allNull) {
        sqlite3_result_null(ctx);
    } else {
        resultText(ctx, text);
    }
}

void likeMatch(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    sqlite3_result_int(ctx, jetLikeMatch(textArg(argv[0]), textArg(argv[1])) ? 1 : 0);
}

struct Entry {
    const char* name;
    int argc;  // -1: any number
    bool deterministic;
    Impl impl;
};

const Entry kEntries[] = {
    {"jet_ucase", 1, true, ucase},
    {"jet_lcase", 1, true, lcase},
    {"jet_left", 2, true, leftPart},
    {"jet_right", 2, true, rightPart},
    {"jet_mid", 2, true, midPart},
    {"jet_mid", 3, true, midPart},
    {"jet_instr", 2, true, inStr},
    {"jet_instr", 3, true, inStr},
    {"jet_instr", 4, true, inStr},
    {"jet_now", 0, false, nowMoment},
    {"jet_date", 0, false, today},
    {"jet_time", 0, false, timeOfDay},
    {"jet_year", 1, true, datePart<tv::Year>},
    {"jet_month", 1, true, datePart<tv::Month>},
    {"jet_day", 1, true, datePart<tv::Day>},
    {"jet_hour", 1, true, datePart<tv::Hour>},
    {"jet_minute", 1, true, datePart<tv::Minute>},
    {"jet_second", 1, true, datePart<tv::Second>},
    {"jet_weekday", 1, true, datePart<tv::Weekday>},
    {"jet_datevalue", 1, true, datevalue},
    {"jet_timevalue", 1, true, timevalue},
    {"jet_cdate", 1, true, cdate},
    {"jet_cstr", 1, true, cstr},
    {"jet_clng", 1, true, clng},
    {"jet_cint", 1, true, cint},
    {"jet_cdbl", 1, true, cdbl},
    {"jet_csng", 1, true, csng},
    {"jet_cbool", 1, true, cbool},
    {"jet_val", 1, true, valOf},
    {"jet_format", 1, true, formatValue},
    {"jet_format", 2, true, formatValue},
    {"jet_int", 1, true, wholePart<floorOf>},
    {"jet_fix", 1, true, wholePart<truncOf>},
    {"jet_round", 1, true, roundHalfEven},
    {"jet_round", 2, true, roundHalfEven},
    {"jet_intdiv", 2, true, integerDivide},
    {"jet_mod", 2, true, modulo},
    {"jet_pow", 2, true, power},
    {"jet_concat", -1, true, concatenate},
    {"jet_div", 2, true, divide},
    {"jet_num", 1, true, checkedNumber},
    {"jet_serial", 1, true, serialOfDate},
    {"jet_todate", 1, true, dateOfSerial},
    {"jet_gdate", 1, true, generalDate},
    {"jet_dateplus", 2, true, datePlus},
    {"jet_dateminus", 2, true, dateMinus},
    {"jet_days", 2, true, daysBetween},
    {"jet_dateadd", 3, true, dateAdd},
    {"jet_datediff", 3, true, dateDiff},
    {"jet_datediff", 4, true, dateDiff},
    {"jet_datepart", 2, true, datePartOf},
    {"jet_datepart", 3, true, datePartOf},
    {"jet_dateserial", 3, true, dateFromParts<tv::DateSerial>},
    {"jet_timeserial", 3, true, dateFromParts<tv::TimeSerial>},
    {"jet_like", 2, true, likeMatch},
};

const QString kRuntimeErrorTag = QStringLiteral("runtime error ");

// No exception may cross into SQLite: each call runs here and a failure becomes the
// statement's error, its text carrying the runtime's error number.
void trampoline(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const auto* entry = static_cast<const Entry*>(sqlite3_user_data(ctx));
    try {
        entry->impl(ctx, argc, argv);
    } catch (const tv::ConversionError& e) {
        const QByteArray text =
            (kRuntimeErrorTag + QString::number(e.number()) + QStringLiteral(": ") + e.text())
                .toUtf8();
        sqlite3_result_error(ctx, text.constData(), static_cast<int>(text.size()));
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    } catch (...) {
        sqlite3_result_error(ctx, "error in a dialect function", -1);
    }
}

}  // namespace

int runtimeErrorNumber(const QString& sqliteMessage, QString* text) {
    static const QRegularExpression tagged(u'^' + kRuntimeErrorTag + QStringLiteral("(\\d+): (.*)$"),
                                           QRegularExpression::DotMatchesEverythingOption);
    const QRegularExpressionMatch m = tagged.match(sqliteMessage);
    if (!m.hasMatch()) return 0;
    if (text) *text = m.captured(2);
    return m.captured(1).toInt();
}

void registerDialectFunctions(sqlite3* db) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    for (const Entry& e : kEntries) {
        const int flags = SQLITE_UTF8 | (e.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(db, e.name, e.argc, flags, const_cast<Entry*>(&e), trampoline,
                                   nullptr, nullptr, nullptr);
    }
    sqlite3_create_function_v2(db, "jet_first", 1, SQLITE_UTF8, nullptr, nullptr, keepStep<false>,
                               keepFinal, nullptr);
    sqlite3_create_function_v2(db, "jet_last", 1, SQLITE_UTF8, nullptr, nullptr, keepStep<true>,
                               keepFinal, nullptr);
}

}  // namespace tv::engine::dialect
