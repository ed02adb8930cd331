// The value type every layer passes around: one cell of a row, one setting, one
// control's contents. It carries the ten kinds of value the databases and the windows
// know (Null, Boolean, Integer, Long, Currency, Single, Double, Date, String, Binary)
// and converts between them the way the classic Basic runtime does, because the stored
// data and the program's rules were written against that behaviour.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <stdexcept>
#include <utility>
#include <variant>

namespace tv {

enum class VarType { Null, Boolean, Integer, Long, Currency, Single, Double, Date, String, Binary };

// A failed conversion. `number` is the runtime's error number: 13 type mismatch,
// 5 invalid procedure call, 6 overflow, 94 invalid use of Null.
class ConversionError : public std::runtime_error {
public:
    ConversionError(int number, const QString& text);
    int number() const { return number_; }
    QString text() const { return QString::fromUtf8(what()); }

private:
    int number_;
};

inline constexpr int kErrInvalidCall = 5;
inline constexpr int kErrTypeMismatch = 13;
inline constexpr int kErrOverflow = 6;
inline constexpr int kErrInvalidUseOfNull = 94;

// Currency is a fixed-point number with four decimals, kept as a scaled integer so that
// sums of money do not drift.
struct Currency {
    std::int64_t scaled = 0;  // value * 10,000
    static Currency fromDouble(double d);
    double toDouble() const { return static_cast<double>(scaled) / 10000.0; }
    friend bool operator==(Currency a, Currency b) { return a.scaled == b.scaled; }
};

// A date and time as the runtime keeps it: days since 30 December 1899, the fraction
// being the time of day. 0.0 is the "zero date" (no date part, midnight).
struct DateTime {
    double serial = 0.0;
    friend bool operator==(DateTime a, DateTime b) { return a.serial == b.serial; }
};

class Variant {
public:
    Variant() = default;  // Null
    Variant(bool b) : v_(b) {}
    Variant(std::int16_t i) : v_(i) {}
    Variant(std::int32_t l) : v_(l) {}
    Variant(Currency c) : v_(c) {}
    Variant(float f) : v_(f) {}
    Variant(double d) : v_(d) {}
    Variant(DateTime d) : v_(d) {}
    Variant(const QString& s) : v_(s) {}
    Variant(QString&& s) : v_(std::move(s)) {}  // a text made for the value is not copied
    Variant(const char* s) : v_(QString::fromUtf8(s)) {}
    Variant(const QByteArray& b) : v_(b) {}
    Variant(QByteArray&& b) : v_(std::move(b)) {}

    static Variant null() { return Variant(); }

    VarType type() const { return static_cast<VarType>(v_.index()); }
    bool isNull() const { return type() == VarType::Null; }
    bool isNumeric() const;  // Boolean .. Double (not Date, not String)

    // Raw access; the caller has checked type().
    bool asBool() const { return std::get<bool>(v_); }
    std::int16_t asInteger() const { return std::get<std::int16_t>(v_); }
    std::int32_t asLong() const { return std::get<std::int32_t>(v_); }
    Currency asCurrency() const { return std::get<Currency>(v_); }
    float asSingle() const { return std::get<float>(v_); }
    double asDouble() const { return std::get<double>(v_); }
    DateTime asDate() const { return std::get<DateTime>(v_); }
    const QString& asString() const { return std::get<QString>(v_); }
    const QByteArray& asBinary() const { return std::get<QByteArray>(v_); }

    // Same type and same value (Null equals Null). Not the runtime's "=" operator,
    // which is CompareValues below.
    friend bool operator==(const Variant& a, const Variant& b) { return a.v_ == b.v_; }

private:
    // Order matches VarType.
    std::variant<std::monostate, bool, std::int16_t, std::int32_t, Currency, float, double,
                 DateTime, QString, QByteArray>
        v_;
};

// Readable name of a type ("Null", "Integer", ...), for messages and debugging.
QString typeName(VarType t);

}  // namespace tv
