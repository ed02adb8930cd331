#include "forms/framework/pick_list_box.h"

#include "data/access.h"

namespace tv::forms {

namespace {

class ComboSink : public data::ListSink {
public:
    explicit ComboSink(QComboBox* combo) : combo_(combo) {}
    void clear() override { combo_->clear(); }
    void addItem(const QString& text) override { combo_->addItem(text); }

private:
    QComboBox* combo_;
};

}  // namespace

PickListBox::PickListBox(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // A typed value stays a typed value: it is not added to the list as an entry.
    setInsertPolicy(QComboBox::NoInsert);
}

void PickListBox::fill() {
    const QString source = property("listSource").toString();
    if (source.isEmpty()) return;
    const QString typed = currentText();
    ComboSink sink(this);
    data::FillList(source, sink, property("listColumn").toInt());
    setEditText(typed);
}

void PickListBox::showPopup() {
    fill();
    QComboBox::showPopup();
}

}  // namespace tv::forms
