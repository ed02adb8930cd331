#include "forms/framework/window_host.h"

#include <QEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTimer>

#include <algorithm>

namespace tv::forms {

namespace {

QPointer<QMdiArea>& areaSlot() {
    static QPointer<QMdiArea> area;
    return area;
}

// Keeps a hosted window inside the area the first time it shows, whoever opened it: its
// remembered or default place may lie outside a smaller main window. Queued, so that the
// window's own restored geometry is applied first.
class FirstShowInView : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            watched->removeEventFilter(this);
            QPointer<QMdiSubWindow> sub = static_cast<QMdiSubWindow*>(watched);
            QTimer::singleShot(0, sub, [sub] {
                if (sub) keepInView(sub->widget());
            });
            deleteLater();
        }
        return false;
    }
};

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
    sub->installEventFilter(new FirstShowInView(sub));
    // A window that closes itself (its Close button, "Exit On Save") takes its frame with
    // it; queued, so that a frame already being deleted is not touched.
    QObject::connect(window, &QObject::destroyed, sub, &QMdiSubWindow::close, Qt::QueuedConnection);
    return sub;
}

void keepInView(QWidget* window) {
    auto* sub = window ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
    QMdiArea* area = sub ? sub->mdiArea() : nullptr;
    if (!area || sub->isMaximized() || sub->isMinimized()) return;
    const QSize view = area->viewport()->size();
    QRect frame = sub->geometry();
    frame.moveLeft(std::max(0, std::min(frame.left(), view.width() - frame.width())));
    frame.moveTop(std::max(0, std::min(frame.top(), view.height() - frame.height())));
    if (frame.topLeft() != sub->pos()) sub->move(frame.topLeft());
}

}  // namespace tv::forms
