#include "forms/framework/code_styles.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/locations.h"

#include <QFileInfo>

namespace tv::forms {

namespace {

constexpr int kCodeColumn = 0;
constexpr int kColourColumn = 2;
constexpr int kPictureColumn = 3;

QPixmap pictureFor(const QString& fileName) {
    if (!fileName.toUpper().contains(QStringLiteral("BMP"))) return {};
    const QString path = data::siteFile(QStringLiteral("Pictures/") + fileName);
    if (path.isEmpty() || !QFileInfo::exists(path)) return {};
    return QPixmap(path);
}

}  // namespace

QColor platformColour(long value) {
    const auto v = static_cast<unsigned long>(value);
    return QColor(static_cast<int>(v & 0xff), static_cast<int>((v >> 8) & 0xff),
                  static_cast<int>((v >> 16) & 0xff));
}

void CodeStyles::add(const QString& code, std::optional<long> colour, const QPixmap& picture) {
    CodeStyle style;
    style.code = code;
    style.pattern = QRegularExpression(code, QRegularExpression::CaseInsensitiveOption);
    if (colour && *colour != 0) style.background = platformColour(*colour);
    style.picture = picture;
    styles_.push_back(std::move(style));
}

const CodeStyle* CodeStyles::match(const QString& text) const {
    if (text.isEmpty()) return nullptr;
    for (const CodeStyle& style : styles_) {
        const bool hit = style.pattern.isValid() ? style.pattern.match(text).hasMatch()
                                                 : text.contains(style.code, Qt::CaseInsensitive);
        if (hit) return &style;
    }
    return nullptr;
}

bool CodeStyles::hasPictures() const {
    for (const CodeStyle& style : styles_)
        if (!style.picture.isNull()) return true;
    return false;
}

CodeStyles LoadCodeStyles(const QString& lookupTable, bool withPictures) {
    CodeStyles styles;
    engine::Recordset rs = data::OpenTable(lookupTable);
    if (!rs.IsOpen()) return styles;
    (void)data::attempt([&] {
        const int fields = rs.FieldCount();
        for (; !rs.EOF_() && !rs.BOF(); rs.MoveNext()) {
            const QString code = tv::TextOf(rs[kCodeColumn]);
            if (code.isEmpty()) continue;
            std::optional<long> colour;
            if (fields > kColourColumn) {
                const tv::Variant c = rs[kColourColumn];
                if (!c.isNull()) (void)data::attempt([&] { colour = tv::CLng(c); });
            }
            QPixmap picture;
            if (withPictures && fields > kPictureColumn)
                picture = pictureFor(tv::TextOf(rs[kPictureColumn]));
            styles.add(code, colour, picture);
        }
    });
    rs.Close();
    return styles;
}

}  // namespace tv::forms
