#include "app/open_windows.h"

#include "forms/framework/controls.h"
#include "forms/framework/window_host.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QWidget>

namespace tv::app {

namespace {

const QString kListFormName = QStringLiteral("ListForm");

bool passes(const QWidget* window, int mode) {
    const bool isList = window->objectName() == kListFormName;
    if (mode == kListWindowsOnly) return isList;
    if (mode == kOtherWindowsOnly) return !isList;
    return true;
}

}  // namespace

QList<QWidget*> openWindows() {
    QList<QWidget*> windows;
    if (QMdiArea* area = forms::mdiArea()) {
        for (QMdiSubWindow* sub : area->subWindowList(QMdiArea::CreationOrder)) {
            if (sub->widget()) windows.append(sub->widget());
        }
    }
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible() || w->isMinimized()) windows.append(w);
    }
    return windows;
}

QWidget* findOpenWindow(const QString& tag, int mode) {
    for (QWidget* w : openWindows()) {
        if (forms::tagOf(w).compare(tag, Qt::CaseInsensitive) == 0 && passes(w, mode)) return w;
    }
    return nullptr;
}

void bringForward(QWidget* window) {
    if (!window) return;
    auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget());
    QWidget* frame = sub ? static_cast<QWidget*>(sub) : window;
    if (frame->isMinimized()) frame->showNormal();
    frame->show();
    if (sub && sub->mdiArea()) {
        sub->mdiArea()->setActiveSubWindow(sub);
    } else {
        window->raise();
        window->activateWindow();
    }
    window->setFocus();
}

bool FindOpenWindow(const QString& tag, int mode) {
    QWidget* window = findOpenWindow(tag, mode);
    if (!window) return false;
    bringForward(window);
    return true;
}

int AddViaOpenList(const QString& tag) {
    int asked = 0;
    for (QWidget* w : openWindows()) {
        if (w->objectName() != kListFormName) continue;
        if (forms::tagOf(w).compare(tag, Qt::CaseInsensitive) != 0) continue;
        // A list window that cannot add (the placeholder) simply has no RemoteAdd; asking
        // it anyway would only print Qt's complaint.
        if (w->metaObject()->indexOfMethod("RemoteAdd()") < 0) continue;
        if (QMetaObject::invokeMethod(w, "RemoteAdd")) ++asked;
    }
    return asked;
}

}  // namespace tv::app
