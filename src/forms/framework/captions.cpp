#include "forms/framework/captions.h"

#include "forms/framework/controls.h"
#include "forms/framework/definition_rows.h"

#include <QStackedWidget>
#include <QTabWidget>
#include <QWidget>

namespace tv::forms {

namespace {

// A tab strip's page: its tag captions the tab, not the page itself.
bool isTabPage(const QObject* control) {
    const QObject* stack = control->parent();
    return qobject_cast<const QStackedWidget*>(stack) && stack->parent() &&
           qobject_cast<const QTabWidget*>(stack->parent());
}

}  // namespace

std::int16_t ApplyFormCaptions(QWidget* form, const QString& windowName) {
    if (!form) return -1;
    if (const auto title = captionRow(windowName, QStringLiteral("Caption"));
        title && title->caption)
        form->setWindowTitle(*title->caption);

    for (QObject* control : taggedControls(form)) {
        const QString key = captionKey(control);
        if (key.isEmpty() || isTabPage(control)) continue;
        const std::optional<DefinitionRow> row = captionRow(windowName, key);
        if (!row) continue;
        if (row->caption) setCaption(control, *row->caption);
        if (row->toolTip && (!isLabel(control) || isFramedLabel(control)))
            setToolTip(control, *row->toolTip);
        if (row->hidden) hideControl(control);
    }
    return -1;
}

std::int16_t ApplyTabCaptions(const QString& windowName, QTabWidget* tabStrip) {
    if (!tabStrip) return -1;
    for (int i = 0; i < tabStrip->count(); ++i) {
        const QString key = tagOf(tabStrip->widget(i));
        if (key.isEmpty()) continue;
        const std::optional<DefinitionRow> row = captionRow(windowName, key);
        if (!row) continue;
        if (row->caption) tabStrip->setTabText(i, *row->caption);
        if (row->toolTip) tabStrip->setTabToolTip(i, *row->toolTip);
    }
    return -1;
}

QString GetCaptionText(const QString& windowName, const QString& key) {
    const std::optional<DefinitionRow> row = captionRow(windowName, key);
    return row && row->caption ? *row->caption : QString();
}

QString GetToolTipText(const QString& windowName, const QString& key) {
    const std::optional<DefinitionRow> row = captionRow(windowName, key);
    return row && row->toolTip ? *row->toolTip : QString();
}

}  // namespace tv::forms
