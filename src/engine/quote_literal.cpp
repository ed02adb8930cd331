// quoteLiteral: the one way a text value becomes an SQL literal, in the program's own
// statements and in the dialect translator's output alike; and bracketName, the way a
// name does.
#include "engine/engine.h"

#include "engine/errors.h"

namespace tv::engine {

QString quoteLiteral(const QString& value, QChar quote) {
    QString doubled = value;
    doubled.replace(quote, QString(2, quote));
    return quote + doubled + quote;
}

bool isValidName(const QString& name) {
    if (name.trimmed().isEmpty()) return false;
    for (const QChar c : name) {
        if (c == u'[' || c == u']' || c.category() == QChar::Other_Control) return false;
    }
    return true;
}

QString bracketName(const QString& name) {
    if (!isValidName(name)) fail(err::kInvalidName, name);
    return u'[' + name + u']';
}

}  // namespace tv::engine
