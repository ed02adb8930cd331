#include "core/paths.h"

namespace tv {

namespace {

// "/" or a drive root such as "c:/": the only paths that keep a trailing separator.
bool isRoot(const QString& p) {
    return p == QLatin1String("/") ||
           (p.size() == 3 && p.at(0).isLetter() && p.at(1) == u':' && p.at(2) == u'/');
}

}  // namespace

bool isPathSeparator(QChar c) { return c == u'/' || c == u'\\'; }

QString normalizePath(const QString& path) {
    QString out;
    out.reserve(path.size());
    // A share name ("\\server\share") starts with two separators that must stay.
    const bool share =
        path.size() >= 2 && isPathSeparator(path.at(0)) && isPathSeparator(path.at(1));
    if (share) out = QStringLiteral("/");
    for (QChar c : path) {
        if (isPathSeparator(c)) {
            if (!out.endsWith(u'/') || out.isEmpty() || (share && out.size() == 1)) out += u'/';
        } else {
            out += c;
        }
    }
    while (out.size() > 1 && out.endsWith(u'/') && !isRoot(out) && out != QLatin1String("//")) {
        out.chop(1);
    }
    return out;
}

QString joinPath(const QString& folder, const QString& name) {
    const QString f = normalizePath(folder);
    QString n = normalizePath(name);
    while (n.startsWith(u'/')) n.remove(0, 1);
    if (f.isEmpty()) return n;
    if (n.isEmpty()) return f;
    return f.endsWith(u'/') ? f + n : f + u'/' + n;
}

QString parentFolder(const QString& path) {
    const QString p = normalizePath(path);
    const qsizetype slash = p.lastIndexOf(u'/');
    if (slash < 0) return {};
    const QString parent = p.left(slash + 1);
    return isRoot(parent) ? parent : normalizePath(parent);
}

QString fileName(const QString& path) {
    const QString p = normalizePath(path);
    return p.mid(p.lastIndexOf(u'/') + 1);
}

}  // namespace tv
