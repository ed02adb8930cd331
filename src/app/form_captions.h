// Window texts from the definitions: the FORM CAPTIONS table (kept open as
// state().FormCaptionsRs) maps a window's name and a control's tag to a caption, a tool tip
// and a hide flag, so that an administrator can rename labels and buttons without a new
// program. A window's name is its object name ("Login"); a control takes part when its
// dynamic property "tag" holds a non-numeric text (numeric tags bind data columns).
//
// Nothing here fails loudly: a missing table, row or property leaves the design-time text.
#pragma once

#include <QString>

class QWidget;

namespace tv::app {

// The caption (column 2) or tool tip (column 3) of one FORM CAPTIONS row; empty when the
// row does not exist.
QString GetCaptionText(const QString& windowName, const QString& key);
QString GetToolTipText(const QString& windowName, const QString& key);

// Sets the window title from the row tagged "Caption", then the caption, tool tip and
// visibility of every child widget that carries a caption key in its "tag" property:
// labels take the caption (and the tool tip only when framed, i.e. used as a value box),
// buttons and group boxes the caption and tool tip, other widgets the tool tip. A Null or
// empty caption keeps the design-time text. The hide flag hides the widget.
void ApplyFormCaptions(QWidget* form, const QString& windowName);

}  // namespace tv::app
