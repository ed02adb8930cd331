#include "console.h"

#include <cstdio>

namespace tv::admin {

// QTextStream on a FILE* writes UTF-8 in Qt 6 and flushes when asked; both streams are
// flushed at every line end so that output and errors interleave as they happened.
QTextStream& out() {
    static QTextStream stream(stdout);
    return stream;
}

QTextStream& err() {
    static QTextStream stream(stderr);
    return stream;
}

}  // namespace tv::admin
