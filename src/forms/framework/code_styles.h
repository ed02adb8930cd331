// Colour coding and pictures of a list column from a lookup table ("Activity Types",
// "Priority Codes"): each row's code (column 0) gives the cells it matches the row's
// colour (column 2, a platform colour &HBBGGRR; Null or 0 is the grid's own background)
// and, where asked for, its picture (column 3, a bitmap in the Pictures folder beside
// Data.mdb).
//
// A code is matched as a regular expression found anywhere in the cell text, ignoring
// case, so "Call" colours "Call" and "Call Back" alike (the shipped code tables keep no
// code inside another for that reason); a code that is no valid expression is compared
// as plain text. The first matching code wins. A picture is shown beside the cell's text
// rather than replacing it: the code stays readable, and a cell whose code has no
// picture looks as before.
#pragma once

#include <QColor>
#include <QPixmap>
#include <QRegularExpression>
#include <QString>
#include <optional>
#include <vector>

namespace tv::forms {

struct CodeStyle {
    QString code;
    QRegularExpression pattern;  // invalid: compare the code as plain text
    QColor background;           // invalid: the grid's own background
    QPixmap picture;             // null: none
};

class CodeStyles {
public:
    bool empty() const { return styles_.empty(); }
    // Adds one code; colour 0 means none.
    void add(const QString& code, std::optional<long> colour, const QPixmap& picture = QPixmap());
    // The first style whose code matches the text; nullptr when none does.
    const CodeStyle* match(const QString& text) const;
    bool hasPictures() const;

private:
    std::vector<CodeStyle> styles_;
};

// The styles of a lookup table of the data database; with pictures when `withPictures`
// and a row names a bitmap ("BMP" in its upper-cased name) that exists in the data
// location's Pictures folder. A table that cannot be read gives no styles.
CodeStyles LoadCodeStyles(const QString& lookupTable, bool withPictures);

// The platform colour value (red in the low byte) as a colour.
QColor platformColour(long value);

}  // namespace tv::forms
