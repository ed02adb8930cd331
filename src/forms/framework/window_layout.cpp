#include "forms/framework/window_layout.h"

#include "core/convert.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "forms/framework/twips.h"

#include <QMdiSubWindow>
#include <QWidget>
#include <cmath>

namespace tv::forms {

namespace {

struct GeometryKeys {
    QString top;
    QString left;
    QString width;
    QString height;
};

std::optional<GeometryKeys> keysFor(const QString& section, int isList) {
    if (isList == kListWindow)
        return GeometryKeys{keys::ListTop(section).key, keys::ListLeft(section).key,
                            keys::ListWidth(section).key, keys::ListHeight(section).key};
    if (isList == kRecordWindow)
        return GeometryKeys{keys::FormTop(section).key, keys::FormLeft(section).key,
                            keys::FormWidth(section).key, keys::FormHeight(section).key};
    return std::nullopt;
}

QString stored(const QString& section, const QString& key) {
    return GetSetting(kAppName, section, key, QStringLiteral("0"));
}

void resizeTwips(QWidget* frame, int height, int width) {
    frame->resize(twipsToPixelsX(width), twipsToPixelsY(height));
}

}  // namespace

QWidget* windowFrame(QWidget* form) {
    if (!form) return nullptr;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(form->parentWidget())) return sub;
    return form;
}

std::int16_t RestoreWindowLayout(QWidget* form, const QString& section, int defaultHeight,
                                 int defaultWidth, int isList) {
    QWidget* frame = windowFrame(form);
    if (!frame) return -1;
    switch (data::state().WindowPlacementMode) {
        case 0:
            resizeTwips(frame, defaultHeight, defaultWidth);
            break;
        case 1:
            resizeTwips(frame, defaultHeight, defaultWidth);
            frame->move(0, 0);
            break;
        case 2: {
            const std::optional<GeometryKeys> k = keysFor(section, isList);
            if (!k) break;
            // Each measure on its own: one bad value must not lose the others.
            (void)data::attempt([&] {
                const float top = tv::CSng(tv::Variant(stored(section, k->top)));
                frame->move(frame->x(), twipsToPixelsY(top));
            });
            (void)data::attempt([&] {
                const float left = tv::CSng(tv::Variant(stored(section, k->left)));
                frame->move(twipsToPixelsX(left), frame->y());
            });
            (void)data::attempt([&] {
                int height = tv::CInt(tv::Variant(stored(section, k->height)));
                if (height == 0) height = defaultHeight;
                frame->resize(frame->width(), twipsToPixelsY(height));
            });
            (void)data::attempt([&] {
                int width = tv::CInt(tv::Variant(stored(section, k->width)));
                if (width == 0) width = defaultWidth;
                frame->resize(twipsToPixelsX(width), frame->height());
            });
            break;
        }
        default:
            break;
    }
    // A stored or default size smaller than the window's layout needs would clip it.
    frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
    return -1;
}

std::int16_t SaveWindowLayout(QWidget* form, const QString& section, int isList) {
    QWidget* frame = windowFrame(form);
    const std::optional<GeometryKeys> k = keysFor(section, isList);
    if (!frame || !k) return -1;
    if (frame->windowState() & (Qt::WindowMinimized | Qt::WindowMaximized)) return -1;
    auto save = [&](const QString& key, int twips) {
        SaveSetting(kAppName, section, key, QString::number(twips));
    };
    save(k->top, pixelsToTwipsY(frame->y()));
    save(k->left, pixelsToTwipsX(frame->x()));
    save(k->width, pixelsToTwipsX(frame->width()));
    save(k->height, pixelsToTwipsY(frame->height()));
    return -1;
}

}  // namespace tv::forms
