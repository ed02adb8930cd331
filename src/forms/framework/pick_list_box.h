// The drop-down of a record window that fills itself from a table each time it opens: the
// codes of a lookup table ("Countries", "Time Zones"), the users ("System Users"), the
// campaigns ("Sales Campaigns"). Reading at every drop-down shows codes another user has
// just added; a value that is not in the list may still be typed. In Designer: a combo box
// promoted to tv::forms::PickListBox, with the dynamic property "listSource" (a table of
// the data database, or SQL) and, when the values are not its first column,
// "listColumn" (counting from 0).
#pragma once

#include <QComboBox>

namespace tv::forms {

class PickListBox : public QComboBox {
    Q_OBJECT

public:
    explicit PickListBox(QWidget* parent = nullptr);

    // Fills the list from the source, keeping the text in the box.
    void fill();
    void showPopup() override;
};

}  // namespace tv::forms
