// Window texts from FORM CAPTIONS: the window title (row "Caption"), the caption, tool tip
// and visibility of every control whose tag is a caption key, and the tabs of a tab strip.
// A window's name for FORM CAPTIONS is its object name.
//
// Like every routine of the window framework these return -1 (done) and never fail: a
// missing row, table or property leaves the design-time text.
#pragma once

#include <QString>
#include <cstdint>

class QTabWidget;
class QWidget;

namespace tv::forms {

// Title from (windowName, "Caption"); then, for each control with a non-numeric tag and a
// row (windowName, tag): a label takes the caption, and the tool tip only when it has a
// border (a label used as a value box); any other control takes both (a text box, having
// no caption, only the tool tip). The hide flag hides the control. Tab pages are left to
// ApplyTabCaptions.
std::int16_t ApplyFormCaptions(QWidget* form, const QString& windowName);

// Each tab's caption and tool tip from the row (windowName, tag of the tab). A tab's tag
// is the "tag" property of its page widget (set in Designer on the page).
std::int16_t ApplyTabCaptions(const QString& windowName, QTabWidget* tabStrip);

// Column 2 (caption) or 3 (tool tip) of one FORM CAPTIONS row; empty when there is none.
QString GetCaptionText(const QString& windowName, const QString& key);
QString GetToolTipText(const QString& windowName, const QString& key);

}  // namespace tv::forms
