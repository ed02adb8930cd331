#include "forms/framework/pick_list.h"

#include "data/access.h"
#include "engine/engine.h"

#include <QLineEdit>
#include <QSignalBlocker>

namespace tv::forms {

PickList::PickList(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // Typing a value never adds it to the list: the list is the table's.
    setInsertPolicy(QComboBox::NoInsert);
}

void PickList::setSource(Source source) {
    source_ = std::move(source);
    filled_ = false;
}

void PickList::fill() {
    filled_ = true;
    const QStringList items = source_ ? source_() : QStringList();
    const QString text = currentText();
    {
        // Refilling is no choice of the user's: nothing listening may take it for one.
        const QSignalBlocker quiet(this);
        clear();
        addItems(items);
        // The entry the box holds is the one the list opens on.
        setCurrentIndex(findText(text));
    }
    if (isEditable()) {
        const QSignalBlocker quiet(lineEdit());
        setEditText(text);
    }
}

QStringList PickList::entries() const {
    QStringList items;
    for (int i = 0; i < count(); ++i) items << itemText(i);
    return items;
}

void PickList::showPopup() {
    if (!filled_) fill();
    QComboBox::showPopup();
}

PickList::Source tableColumn(const QString& source, int column, int database) {
    return [source, column, database] {
        data::StringListSink sink;
        data::FillList(source, sink, column, database);
        return sink.items;
    };
}

PickList::Source optionList(const QString& listName) {
    return tableColumn(QStringLiteral("SELECT * FROM [OPTION LISTS] WHERE [LIST NAME] = ") +
                           engine::quoteLiteral(listName) + QStringLiteral(" ORDER BY [OPTION]"),
                       1, data::kDefinitionsDb);
}

}  // namespace tv::forms
