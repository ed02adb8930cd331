#include "app/list_windows.h"

#include "forms/framework/list_form.h"

namespace tv::app {

namespace {

ListWindowFactory& installedFactory() {
    static ListWindowFactory factory;
    return factory;
}

}  // namespace

void setListWindowFactory(ListWindowFactory factory) { installedFactory() = std::move(factory); }

QWidget* createListWindow(const QString& tableName) {
    const ListWindowFactory& factory = installedFactory();
    // The list window takes its table from SharedValues(0), which ShowListForm has set.
    return factory ? factory(tableName) : new forms::ListForm();
}

}  // namespace tv::app
