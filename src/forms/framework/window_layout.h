// Remembered position and size of child windows, per user, in the settings store under
// the window's section (its table display name), in twips. A record window in the main
// window's MDI area is placed through its sub-window; any other window directly.
//
// state().WindowPlacementMode (the "Start Forms at Top" option, read at sign-in) decides
// how windows open: 0 default position and size, 1 top left with the default size,
// 2 the remembered position and size.
#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace tv::forms {

inline constexpr int kListWindow = -1;
inline constexpr int kRecordWindow = 0;

// The widget whose geometry is the window's: its MDI sub-window when it has one.
QWidget* windowFrame(QWidget* form);

// Places the window before it is shown. Mode 2 reads "List Top/Left/Width/Height"
// (isList -1) or "Form Top/Left/Width/Height" (isList 0): a missing top or left is 0, a
// missing or zero width or height is the default; a stored value that is not a number
// leaves that measure as it was. Another isList, or another mode, changes nothing.
// Positions are not checked against the screen. Returns -1.
std::int16_t RestoreWindowLayout(QWidget* form, const QString& section, int defaultHeight,
                                 int defaultWidth, int isList);

// Writes Top, Left, Width and Height in twips (whole numbers) when the window is in the
// normal state; a minimised or maximised window writes nothing, so its last normal
// geometry stays stored. Returns -1.
std::int16_t SaveWindowLayout(QWidget* form, const QString& section, int isList);

}  // namespace tv::forms
