// Alt+letter in the main window reaches both the menu bar and the controls of the active
// window inside it; Qt then takes the key as ambiguous and neither acts at once. The
// active window's own access keys win, as users of record windows expect ("Alt+S" saves
// rather than opening the Search menu): while a window is active, each menu title whose
// letter one of its controls uses loses its underline, and with it its Alt shortcut. The
// menus stay reachable with F10 or Alt alone and the arrow keys.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <map>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenuBar;

namespace tv::app {

class MenuMnemonics : public QObject {
public:
    MenuMnemonics(QMenuBar* bar, QMdiArea* area);

    // Gives the menu titles back their letters, then takes away those the window uses.
    void follow(QMdiSubWindow* active);

private:
    void restore();

    QMenuBar* bar_;
    // Titles stripped of their letter, with the caption they had.
    std::map<QPointer<QAction>, QString> stripped_;
};

}  // namespace tv::app
