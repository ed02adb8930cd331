// Where child windows live: the main window registers its MDI area here, and a record
// window that loads while an area is registered becomes one of its sub-windows (shown
// modeless inside the main window). Without an area (tools, some tests) windows stay
// top-level.
#pragma once

class QMdiArea;
class QMdiSubWindow;
class QWidget;

namespace tv::forms {

void setMdiArea(QMdiArea* area);
QMdiArea* mdiArea();

// The window's sub-window, adding it to the registered area when it has none yet;
// nullptr when no area is registered. The sub-window is deleted when it closes, and
// closes when the window inside it is deleted.
QMdiSubWindow* hostInMdi(QWidget* window);

// Moves the window's sub-window back inside the visible part of its area when the
// area's own placement left part of it outside (as far as its size allows; the top
// left corner always stays visible).
void keepInView(QWidget* window);

}  // namespace tv::forms
