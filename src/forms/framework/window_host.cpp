#include "forms/framework/window_host.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>

namespace tv::forms {

namespace {

QPointer<QMdiArea>& areaSlot() {
    static QPointer<QMdiArea> area;
    return area;
}

}  // namespace

void setMdiArea(QMdiArea* area) { areaSlot() = area; }

QMdiArea* mdiArea() { return areaSlot().data(); }

QMdiSubWindow* hostInMdi(QWidget* window) {
    if (!window) return nullptr;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) return sub;
    QMdiArea* area = mdiArea();
    if (!area) return nullptr;
    QMdiSubWindow* sub = area->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    return sub;
}

}  // namespace tv::forms
