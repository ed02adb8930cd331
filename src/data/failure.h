// Catching at a routine's boundary: runs a step and turns whatever it throws into an
// error number and text, so that the data layer's routines report and go on instead of
// letting an exception reach a window.
#pragma once

#include "core/variant.h"
#include "engine/engine.h"

#include <QString>
#include <exception>
#include <optional>

namespace tv::data {

struct Failure {
    int number = 0;
    QString text;
};

// The number given to failures that carry no number of their own.
inline constexpr int kUnexpectedError = 3000;  // Jet's "Reserved error"

template <typename F>
std::optional<Failure> attempt(F&& step) {
    try {
        step();
        return std::nullopt;
    } catch (const engine::DbError& e) {
        return Failure{e.number(), e.text()};
    } catch (const tv::ConversionError& e) {
        return Failure{e.number(), e.text()};
    } catch (const std::exception& e) {
        return Failure{kUnexpectedError, QString::fromUtf8(e.what())};
    } catch (...) {
        return Failure{kUnexpectedError, QStringLiteral("Unknown error")};
    }
}

// The tail that the layer's messages append: two line feeds, the text, " (", the number, ")".
inline QString errorTail(const Failure& f) {
    return QStringLiteral("\n\n") + f.text + QStringLiteral(" (") + QString::number(f.number) +
           QStringLiteral(")");
}

}  // namespace tv::data
