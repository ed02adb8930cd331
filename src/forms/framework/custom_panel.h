// The custom-fields panel: columns an administrator added to a business table after its
// standard ones get a label and a text box (or a check box for a Boolean column) on the
// record window's custom-fields tab, laid out in twips by the classic arithmetic below,
// with a scroll bar when they do not fit.
//
// The window provides, at design time, the panel "CustomPanel" (inside a clipping parent,
// "DataPanel", with no layout managing it), the vertical scroll bar "VScroll1" beside it,
// and element 0 of three control arrays inside the panel: "CustomLabel_0",
// "CustomTextBox_0" and "CustomCheckBox_0". Further elements are cloned from element 0.
#pragma once

#include <QString>
#include <cstdint>

class QWidget;

namespace tv::forms {

// Geometry of the panel, in twips.
inline constexpr int kCustomRowPitch = 330;
inline constexpr int kCustomMaxTextWidth = 4035;
inline constexpr int kCustomMargin = 300;
inline constexpr int kCustomNonTextWidth = 1000;
inline constexpr int kCustomTwipsPerChar = 100;
// The panel's top when the scroll bar is at 0.
inline constexpr int kCustomPanelTop = 15;

// The standard column count of the table (TABLE DEFINITIONS, ordinal 5), 0 when the table
// has no row there or the count is not positive.
int StandardFieldCount(const QString& tableName);

// True when the data table has more columns than its standard count. A table that is not
// described in TABLE DEFINITIONS, or whose standard count is 0, has none.
bool HasCustomFields(const QString& tableName);

// Builds the panel for every column after the standard ones:
//  - maxWidth = 4035, or, for a panel wider than that, its width less the text box's Left
//    less 300;
//  - each column takes a row 330 below the one before: a label captioned with the column
//    name and ":", and a check box (Boolean columns; the label stays hidden) or a text
//    box, 1000 wide for other types, for text columns 100 per character of the column's
//    size up to maxWidth and limited to that many characters; each control's tag is the
//    column's ordinal;
//  - visibleRows = Int(panel height / 330) - 1; with more rows than that, a panel too
//    short for the last row grows to that row's Top + 330 and VScroll1 shows, with
//    Max = Int(height * 0.75), LargeChange = Int(height / 4), SmallChange =
//    Int(height / 12); moving it puts the panel's Top at 15 - value.
// Returns -1; missing controls leave the panel as designed.
std::int16_t BuildCustomPanel(QWidget* form, const QString& tableName);

}  // namespace tv::forms
