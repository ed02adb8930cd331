#include "forms/framework/designed_labels.h"

#include <QLabel>
#include <QWidget>

namespace tv::forms {

namespace {

// The letter after the first single "&" ("&&" is a literal ampersand); null when none.
QChar accessKey(const QString& text) {
    for (qsizetype i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != u'&') continue;
        if (text[i + 1] != u'&') return text[i + 1];
        ++i;
    }
    return {};
}

}  // namespace

QString withDesignedAccessKey(const QString& designed, const QString& caption) {
    if (caption == designed || caption.contains(u'&')) return caption;
    QString result = caption;
    if (const QChar key = accessKey(designed); !key.isNull()) {
        const qsizetype at = result.indexOf(key, 0, Qt::CaseInsensitive);
        if (at >= 0) result.insert(at, u'&');
    }
    if (designed.endsWith(u':') && !result.isEmpty() && !result.endsWith(u':')) result += u':';
    return result;
}

QString fieldName(const QLabel* label) {
    const QString designed = label->text();
    QString text;
    for (qsizetype i = 0; i < designed.size(); ++i) {
        // "&&" is an ampersand; a single "&" marks the access key.
        if (designed[i] == u'&' && ++i == designed.size()) break;
        text += designed[i];
    }
    if (text.endsWith(u':')) text.chop(1);
    return text.trimmed();
}

DesignedLabels::DesignedLabels(const QWidget* form) {
    for (QLabel* label : form->findChildren<QLabel*>()) {
        if (label->buddy()) labels_.emplace_back(label, label->text());
    }
}

void DesignedLabels::restoreAccessKeys() const {
    for (const auto& [label, designed] : labels_) {
        if (label) label->setText(withDesignedAccessKey(designed, label->text()));
    }
}

}  // namespace tv::forms
