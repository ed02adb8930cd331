// The SQL functions that translated statements call where SQLite has nothing with Jet's
// meaning: the Basic runtime's text, date and conversion functions, Format, the Null
// rules of "&", Jet's rounding integer operators, and Like patterns SQLite's LIKE cannot
// express. Each one converts its arguments to the runtime's values and hands the work to
// the same core routines the rest of the program uses, so a query's Format or CLng gives
// exactly what the windows would.
//
// Conventions: a Null argument gives Null (where Jet would raise "invalid use of Null" in
// a conversion, a query is better served by an empty cell than by failing whole); dates
// are ISO text in and out, as they are stored; Booleans come out as -1/0. A value that
// does not convert ends the statement with the runtime's message, as Jet's query would.
#include "engine/jet_dialect.h"

#include "core/convert.h"
#include "core/format.h"
#include "engine/jet_like.h"

#include <sqlite3.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>

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

double numberOf(sqlite3_value* v) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_INTEGER:
            return static_cast<double>(sqlite3_value_int64(v));
        case SQLITE_FLOAT:
            return sqlite3_value_double(v);
        default:
            return tv::CDbl(variantOf(v));
    }
}

// Jet's integer operators round their operands half to even first.
sqlite3_int64 roundedIntegerOf(sqlite3_value* v) {
    if (sqlite3_value_type(v) == SQLITE_INTEGER) return sqlite3_value_int64(v);
    return static_cast<sqlite3_int64>(std::nearbyint(numberOf(v)));
}

void resultText(sqlite3_context* ctx, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void resultDate(sqlite3_context* ctx, DateTime d) { resultText(ctx, tv::toIsoText(d)); }

// Invalid procedure call: the runtime's error 5, for lengths and positions out of range.
[[noreturn]] void invalidArgument(const char* function) {
    throw tv::ConversionError(
        5, QStringLiteral("Invalid procedure call or argument (%1)").arg(QLatin1String(function)));
}

int lengthArgument(sqlite3_value* v, const char* function) {
    const double n = numberOf(v);
    if (n < 0 || n > std::numeric_limits<int>::max()) invalidArgument(function);
    return static_cast<int>(std::nearbyint(n));
}

// ---- the functions -------------------------------------------------------------------

void ucase(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, textOf(argv[0]).toUpper());
}

void lcase(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, textOf(argv[0]).toLower());
}

void leftPart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, textOf(argv[0]).left(lengthArgument(argv[1], "Left")));
}

void rightPart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    resultText(ctx, textOf(argv[0]).right(lengthArgument(argv[1], "Right")));
}

void midPart(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const int start = lengthArgument(argv[1], "Mid");
    if (start < 1) invalidArgument("Mid");
    const int length = argc > 2 ? lengthArgument(argv[2], "Mid") : -1;
    resultText(ctx, textOf(argv[0]).mid(start - 1, length));
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
    const bool binary = argc == 4 && numberOf(argv[3]) == 0;
    const QString text = textOf(argv[first]);
    const QString sought = textOf(argv[first + 1]);
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
    sqlite3_result_double(ctx, Round(numberOf(argv[0])));
}

double floorOf(double v) { return std::floor(v); }
double truncOf(double v) { return std::trunc(v); }

// Round(x[, decimals]) rounds half to even, as the runtime does.
void roundHalfEven(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (nullResult(ctx, argc, argv)) return;
    const int decimals = argc > 1 ? lengthArgument(argv[1], "Round") : 0;
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::nearbyint(numberOf(argv[0]) * scale) / scale;
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
    sqlite3_result_double(ctx, std::pow(numberOf(argv[0]), numberOf(argv[1])));
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
    sqlite3_result_int(ctx, jetLikeMatch(textOf(argv[0]), textOf(argv[1])) ? 1 : 0);
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
    {"jet_like", 2, true, likeMatch},
};

// No exception may cross into SQLite: each call runs here and a failure becomes the
// statement's error.
void trampoline(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    const auto* entry = static_cast<const Entry*>(sqlite3_user_data(ctx));
    try {
        entry->impl(ctx, argc, argv);
    } catch (const tv::ConversionError& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    } catch (const std::exception& e) {
        sqlite3_result_error(ctx, e.what(), -1);
    } catch (...) {
        sqlite3_result_error(ctx, "error in a dialect function", -1);
    }
}

}  // namespace

void registerDialectFunctions(sqlite3* db) {
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DML, 0, nullptr);
    sqlite3_db_config(db, SQLITE_DBCONFIG_DQS_DDL, 0, nullptr);
    for (const Entry& e : kEntries) {
        const int flags = SQLITE_UTF8 | (e.deterministic ? SQLITE_DETERMINISTIC : 0);
        sqlite3_create_function_v2(db, e.name, e.argc, flags, const_cast<Entry*>(&e), trampoline,
                                   nullptr, nullptr, nullptr);
    }
}

}  // namespace tv::engine::dialect
