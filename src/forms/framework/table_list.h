// The lookup-table chooser: a modal list of the code tables an administrator may maintain
// (the rows of "Lookup Tables"). Choosing one leaves it in SharedValues: element 0 the
// table's name, 1 the text shown, 2 and 3 whether its codes carry a colour and a picture
// ("-1" or "0"). Closing without a choice leaves element 0 empty.
#pragma once

#include "forms/framework/lookup_codes.h"

#include <QDialog>
#include <memory>
#include <vector>

namespace Ui {
class TableList;
}

namespace tv::forms {

class TableList : public QDialog {
    Q_OBJECT

public:
    explicit TableList(QWidget* parent = nullptr);
    ~TableList() override;

    // Hands the table at a list position back to the opener and closes; nothing for a
    // position without a table.
    void choose(int row);

private:
    void fill();

    std::unique_ptr<Ui::TableList> ui_;
    // Parallel to the list, by position.
    std::vector<LookupTableEntry> tables_;
};

}  // namespace tv::forms
