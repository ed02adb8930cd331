// Reading a fuzzer's bytes: as UTF-8 text (invalid sequences become replacement
// characters, as they would reaching the program from a file), and cut into parts at
// line feeds, so one input can carry a value and a pattern.
#pragma once

#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>

namespace tvfuzz {

inline QString textOf(const std::uint8_t* data, std::size_t size) {
    return QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
}

// The first `count` parts of the text cut at line feeds; the last takes the rest, and
// missing parts are empty.
inline QStringList partsOf(const QString& text, int count) {
    QStringList parts = text.split(u'\n');
    while (parts.size() > count) parts[count - 1] += u'\n' + parts.takeAt(count);
    while (parts.size() < count) parts.append(QString());
    return parts;
}

}  // namespace tvfuzz
