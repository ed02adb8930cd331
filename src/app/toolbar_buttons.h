// The main window's sixteen shortcut buttons and the user's own arrangement of them.
// Each button has an identifier, which names the menu command it runs, keys its tool tip
// in FORM CAPTIONS, and hides it when the user may not view the table of that name.
//
// The arrangement the user chooses (which buttons, in which order, with separators) is
// kept in the settings store under application "Tolvarine", section "Toolbar", key "1",
// as the identifiers in order separated by commas, a separator written as "-".
#pragma once

#include <QIcon>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

class QToolBar;

namespace tv::app {

struct ToolbarButton {
    const char* identifier;  // "Customers"
    const char* menuItem;    // the menu command it runs, "mnuCustomers"
    const char* text;        // short text for the customise dialog
};

// The sixteen buttons in their index order (index 1 first).
const std::vector<ToolbarButton>& toolbarButtons();
// The button with this identifier (compared ignoring case), or nullptr.
const ToolbarButton* toolbarButton(const QString& identifier);

// The separator's entry in an arrangement.
inline const QString kToolbarSeparator = QStringLiteral("-");

// The arrangement of a new user: all sixteen buttons in index order, grouped by separators.
QStringList defaultToolbarLayout();

// An arrangement as stored, and back. Reading drops identifiers no button has, repeated
// buttons, and separators at either end or next to each other; an empty or unreadable
// text gives the default arrangement.
QString encodeToolbarLayout(const QStringList& layout);
QStringList decodeToolbarLayout(const QString& text);

// The settings store address: "Toolbar", "Tolvarine", "1" (section, application, key).
void saveToolbarLayout(const QStringList& layout);
QStringList restoreToolbarLayout();

// Pictures come from the desktop's icon theme by their freedesktop names, so the
// program looks like the others on the user's desktop. A desktop without a theme of its
// own (a bare X server, an old window manager) gets the first installed of the themes in
// kFallbackIconThemes; the program's packages install one of them.
inline const QStringList kFallbackIconThemes = {QStringLiteral("Tango"), QStringLiteral("Adwaita")};
// Chooses a fallback theme when the desktop names none that has pictures. Call once the
// application object exists, before the first icon is made.
void useDesktopIcons();
// The theme's picture for a menu command ("mnuCustomers"); a null icon when the command
// has no picture or the theme has none of its names.
QIcon commandIcon(const QString& menuItem);
// The button's picture: its command's picture from the theme, or, when the theme has
// none, a lettered badge drawn so that a button is never blank.
QIcon toolbarIcon(const QString& identifier);

// For each button of the toolbar (an action carrying a "tag"), the tool tip of the
// FORM CAPTIONS row (formName, tag) when that row exists. Returns -1.
std::int16_t SetToolbarTips(const QString& formName, QToolBar* toolbar);

// Gives the toolbar the flat look: buttons without a raised frame until pointed at. The
// style number 2 also keeps the buttons' text beside their pictures. Returns -1.
std::int16_t SetFlatToolbar(QToolBar* toolbar, int style);

}  // namespace tv::app
