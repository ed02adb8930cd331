// The main window: the frame whose MDI area holds every list and record window. It owns
// the menu tree, the sixteen-button toolbar (which the user may rearrange; the
// arrangement survives a restart), the five-panel status bar and the 30-second timer that
// watches the user's internal mail. It applies the signed-in user's rights to its menus
// and toolbar on its first activation, and it decides which window each command opens.
// Closing it ends the program.
#pragma once

#include <QMainWindow>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

class QAction;
class QLabel;
class QMdiArea;
class QMenu;
class QTimer;
class QToolBar;

namespace Ui {
class MainForm;
}

namespace tv::app {

class MainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    // The load step: captions and tool tips from FORM CAPTIONS, the Show Tips check mark,
    // the flat toolbar with the user's arrangement and its tool tips.
    void load();
    // The activation step; the first call loads the user's rights and flags, applies them,
    // opens the to-do list and the tip window when the settings ask for them. The
    // window's activation runs it; later calls only reset the pointer.
    void activate();
    bool isActivated() const { return activated_; }

    // Opens (or brings forward) the list window of a business table. Returns -1; 0 when
    // the user may not view the table (message 9014) or it is an administration table and
    // the user no administrator (message 9130).
    std::int16_t ShowListForm(const QString& tableName);
    // Runs the command of a special window by its name ("Diary", "Counters" ...), as its
    // menu item would (nothing when the menu does not offer it to this user); other names
    // do nothing. Returns -1.
    std::int16_t ShowSpecialForm(const QString& name);
    // Disables the menu item(s) of a table display name.
    void DisableMenuForTable(const QString& name);
    // Hides each toolbar button whose identifier is a table the user may not view.
    void hideToolbarButtons();

    // The timer's tick: shows or hides the "Mail" panel from the post office, or stops
    // polling for good when mail goes through Outlook.
    void checkMail();
    // Opens the inbox (internal or Outlook, as "EmailType" says).
    void checkInbox();

    // Opens the customise dialog; OK applies and saves the new arrangement.
    void customiseToolbar();
    // Shows the buttons of an arrangement, then hides the ones the user may not use.
    void applyToolbarLayout(const QStringList& layout);
    QStringList toolbarLayout() const;

    // Runs a menu command by its item's name ("mnuCustomers"), as choosing it does; an
    // item the menu does not offer (disabled, or hidden or in a hidden menu such as the
    // Admin menu of a user who is no administrator) does nothing.
    void runCommand(const QString& menuItem);

    QMdiArea* mdiArea() const;
    QAction* menuItem(const QString& name) const;
    QMenu* menu(const QString& name) const;
    QToolBar* toolbar() const;
    QTimer* mailTimer() const { return mailTimer_; }
    QLabel* statusPanel(int panel) const;  // 1..5
    // Panel 1: a status message (empty clears it).
    void setStatusText(const QString& text);

protected:
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildStatusBar();
    void buildToolbarButtons();
    void connectCommands();
    void applyCaptions();
    void loadAccessAndFlags();
    void updateClock();
    void fillWindowMenu();
    void arrangeIcons();
    void toggleShowTips();
    void printerSetup();
    void showToDoList();
    void lookupTables();
    void helpSearch();
    // Opens a named window: modal ones run to their end, modeless ones are brought
    // forward when already open. A window no library provides yet opens as a window that
    // says so. An administration window opens for administrators only (message 9130).
    // Returns the modeless window shown, nullptr otherwise.
    QWidget* showWindow(const QString& name, bool modal);

    std::unique_ptr<Ui::MainForm> ui;
    std::map<QString, std::function<void()>> commands_;
    std::vector<QAction*> toolbarActions_;
    std::vector<QAction*> windowListActions_;
    QLabel* panels_[5] = {};
    QTimer* mailTimer_ = nullptr;
    QTimer* clockTimer_ = nullptr;
    bool activated_ = false;
};

}  // namespace tv::app
