// The dialog that edits one code of a lookup table: the code, its description and, where
// the table's codes carry them, a colour and a picture. Its opener sets it up (table,
// which optional parts show, the code being edited) and shows it modally; Save writes the
// code through SaveLookupCode and closes only when the row was stored, so a refused code
// stays on screen with everything the user typed.
//
// Pictures are file names relative to the Pictures folder beside Data.mdb, so that every
// workstation finds them; a picture browsed for elsewhere is copied into that folder.
#pragma once

#include <QDialog>
#include <cstdint>
#include <memory>
#include <optional>

namespace Ui {
class CodeForm;
}

namespace tv::forms {

class CodeForm : public QDialog {
    Q_OBJECT

public:
    explicit CodeForm(QWidget* parent = nullptr);
    ~CodeForm() override;

    // The table the code belongs to: the code and description accept at most their
    // columns' sizes; the colour and picture controls show only when the table has them.
    void setUp(const QString& table, bool colourSupport, bool pictureSupport);
    // A new code (edit mode 1), empty.
    void newCode();
    // An existing code (edit mode 2) with its stored description, picture and colour.
    void editCode(const QString& code);

    int editMode() const { return editMode_; }
    // The code as typed (after a save: as stored).
    QString codeText() const;
    QString oldCode() const { return oldCode_; }

    // The commands, as their buttons run them.
    void chooseColour();
    void browsePicture();
    bool saveDetails();

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Shows the named picture, or empties the picture box and clears a name whose file is
    // gone.
    void showPicture();
    void showSwatch(std::uint32_t colour);
    // The colour the code is saved with: the chosen one, else the one its stored row has
    // (0 for a new code).
    std::uint32_t colourToSave() const;

    std::unique_ptr<Ui::CodeForm> ui_;
    QString table_;
    int editMode_ = 1;
    QString oldCode_;
    std::optional<std::uint32_t> colour_;  // chosen in this dialog
    bool shown_ = false;
};

}  // namespace tv::forms
