// Jet LIKE patterns: compiled once into a list of elements, then either written out as an
// SQLite LIKE pattern or matched directly with the usual star-backtracking walk (the
// last "*" seen absorbs one more character on each mismatch, so a match costs at most
// value length times pattern length steps).
#include "engine/jet_like.h"

#include <vector>

namespace tv::engine::dialect {

namespace {

struct Range {
    char16_t low;
    char16_t high;
};

struct Element {
    enum Kind { AnyRun, AnyOne, Digit, Literal, Set } kind = Literal;
    char16_t literal = 0;       // Literal
    std::vector<Range> ranges;  // Set
    bool negated = false;       // Set
};

char16_t foldAscii(char16_t c) { return (c >= u'A' && c <= u'Z') ? char16_t(c + 32) : c; }

char16_t upperAscii(char16_t c) { return (c >= u'a' && c <= u'z') ? char16_t(c - 32) : c; }

enum class SetRead { Unterminated, Empty, Filled };

// Reads the inside of "[...]" starting after the '['.
SetRead readSet(const QString& p, int* i, Element* out) {
    out->kind = Element::Set;
    int j = *i;
    if (j < p.size() && p[j] == u'!') {
        out->negated = true;
        ++j;
    }
    const int first = j;
    while (j < p.size() && p[j] != u']') {
        const char16_t c = p[j].unicode();
        // "a-z" is a range; a '-' first or last in the list stands for itself.
        if (j + 2 < p.size() && p[j + 1] == u'-' && p[j + 2] != u']') {
            char16_t hi = p[j + 2].unicode();
            out->ranges.push_back(c <= hi ? Range{c, hi} : Range{hi, c});
            j += 3;
        } else {
            out->ranges.push_back(Range{c, c});
            ++j;
        }
    }
    if (j >= p.size()) return SetRead::Unterminated;
    *i = j + 1;
    // "[]" stands for the empty text: it matches no character and takes none.
    return j == first && !out->negated ? SetRead::Empty : SetRead::Filled;
}

bool compile(const QString& p, std::vector<Element>* out) {
    for (int i = 0; i < p.size();) {
        const QChar c = p[i++];
        Element e;
        if (c == u'*') {
            e.kind = Element::AnyRun;
        } else if (c == u'?') {
            e.kind = Element::AnyOne;
        } else if (c == u'#') {
            e.kind = Element::Digit;
        } else if (c == u'[') {
            const SetRead read = readSet(p, &i, &e);
            if (read == SetRead::Unterminated) return false;
            if (read == SetRead::Empty) continue;
        } else {
            e.literal = c.unicode();
        }
        out->push_back(std::move(e));
    }
    return true;
}

bool inRange(char16_t c, const std::vector<Range>& ranges) {
    for (const Range& r : ranges) {
        if (c >= r.low && c <= r.high) return true;
    }
    return false;
}

bool matchesOne(const Element& e, char16_t c) {
    switch (e.kind) {
        case Element::AnyOne:
            return true;
        case Element::Digit:
            return c >= u'0' && c <= u'9';
        case Element::Literal:
            return foldAscii(c) == foldAscii(e.literal);
        case Element::Set: {
            const bool hit = inRange(c, e.ranges) || inRange(foldAscii(c), e.ranges) ||
                             inRange(upperAscii(c), e.ranges);
            return hit != e.negated;
        }
        case Element::AnyRun:
            break;
    }
    return false;
}

}  // namespace

bool isValidJetPattern(const QString& jetPattern) {
    std::vector<Element> elements;
    return compile(jetPattern, &elements);
}

std::optional<QString> jetPatternToSqliteLike(const QString& jetPattern, bool* needsEscape) {
    std::vector<Element> elements;
    if (!compile(jetPattern, &elements)) return std::nullopt;
    QString like;
    bool escaped = false;
    for (const Element& e : elements) {
        char16_t literal = 0;
        switch (e.kind) {
            case Element::AnyRun:
                like += u'%';
                continue;
            case Element::AnyOne:
                like += u'_';
                continue;
            case Element::Digit:
                return std::nullopt;
            case Element::Literal:
                literal = e.literal;
                break;
            case Element::Set:
                // "[*]", "[?]", "[#]" are how Jet escapes its wildcards: one character.
                if (e.negated || e.ranges.size() != 1 || e.ranges[0].low != e.ranges[0].high)
                    return std::nullopt;
                literal = e.ranges[0].low;
                break;
        }
        if (literal == u'%' || literal == u'_' || literal == u'\\') {
            like += u'\\';
            escaped = true;
        }
        like += QChar(literal);
    }
    if (needsEscape) *needsEscape = escaped;
    return like;
}

bool jetLikeMatch(const QString& value, const QString& jetPattern) {
    std::vector<Element> pattern;
    if (!compile(jetPattern, &pattern)) return false;
    const int n = static_cast<int>(value.size());
    const int m = static_cast<int>(pattern.size());
    int v = 0, p = 0;
    int starP = -1, starV = 0;
    while (v < n) {
        if (p < m && pattern[p].kind == Element::AnyRun) {
            starP = p++;
            starV = v;
        } else if (p < m && matchesOne(pattern[p], value[v].unicode())) {
            ++p;
            ++v;
        } else if (starP >= 0) {
            p = starP + 1;
            v = ++starV;
        } else {
            return false;
        }
    }
    while (p < m && pattern[p].kind == Element::AnyRun) ++p;
    return p == m;
}

}  // namespace tv::engine::dialect
