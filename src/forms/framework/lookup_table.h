// The editor of one lookup table: its codes in a list, in primary-key order, and the
// commands Add, Edit, Delete, Print and Close (the control array ListCommand_0..4). A
// modeless child of the main window, one per table: its tag is the table's name in the
// data database, which is how the main window finds it again. The opener ticks
// ColourSupport and PictureSupport to say whether the table's codes carry a colour and a
// picture; the code dialog shows those parts accordingly.
//
// The list is filled when the window is first shown and again after every add, edit and
// delete that happened.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class LookupTable;
}

namespace tv::forms {

class CodeForm;

class LookupTable : public QWidget {
    Q_OBJECT

public:
    // Placed in the main window's area when it has one, captioned, titled with
    // SharedValues(1) (the text the chooser showed).
    explicit LookupTable(QWidget* parent = nullptr);
    ~LookupTable() override;

    // The table it edits (its tag).
    QString table() const;

    // The commands by ListCommand index, as the buttons run them.
    void addCode();
    void editCode();
    void deleteCode();
    void printCodes();

    void refill();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QString selectedCode() const;
    // Shows the code dialog, refills the list and selects the code it saved.
    void runCodeForm(CodeForm& form);

    std::unique_ptr<Ui::LookupTable> ui_;
    bool painted_ = false;
};

}  // namespace tv::forms
