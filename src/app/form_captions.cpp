#include "app/form_captions.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/app_state.h"
#include "data/failure.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QVariant>
#include <QWidget>
#include <optional>

namespace tv::app {

namespace {

// Column ordinals of FORM CAPTIONS.
constexpr int kCaption = 2;
constexpr int kToolTip = 3;
constexpr int kHidden = 4;

struct CaptionRow {
    QString caption;
    QString toolTip;
    bool hidden = false;
};

std::optional<CaptionRow> lookUp(const QString& windowName, const QString& key) {
    engine::Recordset& rs = data::state().FormCaptionsRs;
    std::optional<CaptionRow> row;
    (void)data::attempt([&] {
        if (!rs.IsOpen()) return;
        rs.Seek(QStringLiteral("="), tv::Variant(windowName), tv::Variant(key));
        if (rs.NoMatch()) return;
        const tv::Variant hidden = rs[kHidden];
        row = CaptionRow{tv::TextOf(rs[kCaption]), tv::TextOf(rs[kToolTip]),
                         !hidden.isNull() && tv::CBool(hidden)};
    });
    return row;
}

// A caption key: a non-empty tag that is not a column ordinal.
QString captionKey(const QWidget* widget) {
    const QString tag = widget->property("tag").toString();
    if (tag.isEmpty()) return {};
    bool numeric = false;
    (void)tag.toInt(&numeric);
    return numeric ? QString() : tag;
}

void applyRow(QWidget* widget, const CaptionRow& row) {
    if (auto* label = qobject_cast<QLabel*>(widget)) {
        if (!row.caption.isEmpty()) label->setText(row.caption);
        if (label->frameShape() != QFrame::NoFrame) label->setToolTip(row.toolTip);
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
        if (!row.caption.isEmpty()) button->setText(row.caption);
        button->setToolTip(row.toolTip);
    } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
        if (!row.caption.isEmpty()) group->setTitle(row.caption);
        group->setToolTip(row.toolTip);
    } else {
        widget->setToolTip(row.toolTip);
    }
    if (row.hidden) widget->setVisible(false);
}

}  // namespace

QString GetCaptionText(const QString& windowName, const QString& key) {
    const std::optional<CaptionRow> row = lookUp(windowName, key);
    return row ? row->caption : QString();
}

QString GetToolTipText(const QString& windowName, const QString& key) {
    const std::optional<CaptionRow> row = lookUp(windowName, key);
    return row ? row->toolTip : QString();
}

void ApplyFormCaptions(QWidget* form, const QString& windowName) {
    if (!form) return;
    if (const std::optional<CaptionRow> title = lookUp(windowName, QStringLiteral("Caption"));
        title && !title->caption.isEmpty()) {
        form->setWindowTitle(title->caption);
    }
    for (QWidget* child : form->findChildren<QWidget*>()) {
        const QString key = captionKey(child);
        if (key.isEmpty()) continue;
        if (const std::optional<CaptionRow> row = lookUp(windowName, key)) applyRow(child, *row);
    }
}

}  // namespace tv::app
