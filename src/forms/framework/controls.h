// How windows are bound to the definitions: every widget (or menu action) may carry the
// dynamic property "tag". A numeric tag is the 1-based ordinal of the table column the
// control shows; any other non-empty tag is the control's key into FORM CAPTIONS; an
// empty tag leaves the control alone.
//
// Control arrays are widgets named "Name_Index" (CustomLabel_0, CustomLabel_1 ...);
// elements made at run time are created by cloning element 0's properties.
#pragma once

#include <QList>
#include <QString>

class QObject;
class QWidget;

namespace tv::forms {

// The dynamic property that carries a control's tag.
inline constexpr char kTagProperty[] = "tag";

QString tagOf(const QObject* control);
void setTag(QObject* control, const QString& tag);

// The column ordinal of a bound control (its numeric tag), 0 when it is not bound.
int boundOrdinal(const QObject* control);
// The FORM CAPTIONS key of a control (its non-numeric tag), empty when it has none.
QString captionKey(const QObject* control);

// Every widget and action of the window that carries a non-empty tag, in creation order.
QList<QObject*> taggedControls(const QWidget* form);

// The elements of the control array `name` (children named name_0, name_1 ...) in index
// order; gaps in the numbering are skipped.
QList<QWidget*> controlArray(const QWidget* form, const QString& name);
// One element, or nullptr.
QWidget* arrayElement(const QWidget* form, const QString& name, int index);
// The index in a control array's element name ("CustomLabel_3" gives 3), -1 otherwise.
int arrayIndex(const QObject* control);

// Loads element `index` of the array whose element 0 is given: a widget of the same kind
// beside it, with element 0's stored properties and tag, named name_index and hidden, as
// the classic Load statement creates it. An element that already exists is returned as it
// is. nullptr when element 0 is of a kind that cannot be cloned.
QWidget* loadArrayElement(QWidget* element0, int index);

// Captions and tool tips for any kind of control: labels, buttons and check boxes, group
// boxes and menu actions take a caption; widgets and actions take a tool tip. A control
// without a caption ignores it (the classic statement fails and is skipped).
void setCaption(QObject* control, const QString& caption);
void setToolTip(QObject* control, const QString& toolTip);
// True for a label drawn with a border, i.e. used as a read-only value box.
bool isFramedLabel(const QObject* control);
bool isLabel(const QObject* control);
// Hides a widget or menu action.
void hideControl(QObject* control);
// The longest text a text box accepts; 0 means no limit. Other controls ignore it.
void setMaxLength(QObject* control, int length);

}  // namespace tv::forms
