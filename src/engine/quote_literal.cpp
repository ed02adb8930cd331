// quoteLiteral: the one way a text value becomes an SQL literal, in the program's own
// statements and in the dialect translator's output alike.
#include "engine/engine.h"

namespace tv::engine {

QString quoteLiteral(const QString& value, QChar quote) {
    QString doubled = value;
    doubled.replace(quote, QString(2, quote));
    return quote + doubled + quote;
}

}  // namespace tv::engine
