// The drop-down list of a record window's field: an editable combo box whose entries are
// read when it first drops down, so that opening a window reads no list the user never
// opens. A value that is not in the list may be typed; reading the entries keeps the
// text the box holds. Where the entries depend on another field (a customer's contacts),
// the window calls invalidate() when that field changes and the next drop-down reads
// them again.
//
// Windows place it in Designer as a promoted QComboBox (tv::forms::PickList) and give it
// its source in code, usually one of the two below.
#pragma once

#include <QComboBox>
#include <QString>
#include <QStringList>
#include <functional>

namespace tv::forms {

class PickList : public QComboBox {
    Q_OBJECT

public:
    using Source = std::function<QStringList()>;

    explicit PickList(QWidget* parent = nullptr);

    // Where the entries come from; read on the next drop-down.
    void setSource(Source source);
    // The next drop-down reads the entries again.
    void invalidate() { filled_ = false; }
    bool isFilled() const { return filled_; }
    // Reads the entries now, keeping the text the box holds.
    void fill();
    QStringList entries() const;

    void showPopup() override;

private:
    Source source_;
    bool filled_ = false;
};

// One column (0-based) of every row of a table or SQL statement, through the data
// layer's FillList (database 0 data, -1 definitions). Build SQL with quoteLiteral.
PickList::Source tableColumn(const QString& source, int column, int database = 0);
// The entries of a named list of OPTION LISTS in the definitions, in their order.
PickList::Source optionList(const QString& listName);

}  // namespace tv::forms
