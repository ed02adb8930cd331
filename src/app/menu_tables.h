// What the menu commands open. Which belong to which business table: the commands that
// open a table's list, and the items a user without the right to view a table loses. The
// two differ: the diary shows scheduled activities, so it goes with them, while some lists
// (the definitions windows, report definitions) have no access entry of their own. And the
// commands that open a window by its name in the window catalogue, with the windows that
// only administrators open.
#pragma once

#include <QString>
#include <QStringList>
#include <utility>
#include <vector>

namespace tv::app {

// The menu items disabled for a table display name (compared ignoring case); none for
// tables that have no menu item of their own.
QStringList menuItemsForTable(const QString& tableName);

// (menu item, table display name) of every command that opens a list window.
const std::vector<std::pair<QString, QString>>& listCommands();

// A command that opens a window by its catalogue name, modally or not.
struct WindowCommand {
    QString menuItem;
    QString window;
    bool modal = false;
};
// Every such command; one window may have several (Help Index and Search Help For...).
const std::vector<WindowCommand>& windowCommands();

// The command a special window's name runs ("Diary" -> "mnuDiary"); empty for names
// that have none.
QString specialFormCommand(const QString& name);
// Every name ShowSpecialForm knows, in the order of its table.
QStringList specialFormNames();

// For a window only administrators open ("CounterList"), what the user knows it by
// ("Manage Counters"); empty for every other window.
QString administrationWindowTitle(const QString& window);

}  // namespace tv::app
