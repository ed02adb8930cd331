// What ShowListForm opens until the list window is written: a child window named
// "ListForm" and tagged with the table's display name, as the list window will be, that
// names the table and says the list comes in a later version. For a table whose rows
// have a one-column key and a record window, it lists the keys so that a row can still be
// opened or a new one started (the Users window is reached this way).
//
// The list window replaces it by installing its own factory.
#pragma once

#include <QStringList>
#include <QWidget>
#include <functional>

class QLabel;
class QListWidget;
class QPushButton;

namespace tv::app {

// Makes the list window of a table display name (the main window then tags and shows it).
using ListWindowFactory = std::function<QWidget*(const QString& tableName)>;
// Installs the factory ShowListForm uses; an empty one puts back the placeholder.
void setListWindowFactory(ListWindowFactory factory);
QWidget* createListWindow(const QString& tableName);

class ListPlaceholder : public QWidget {
    Q_OBJECT

public:
    explicit ListPlaceholder(const QString& tableName, QWidget* parent = nullptr);

    QString notice() const;
    // The keys offered for opening (empty when the table offers none).
    QStringList keys() const;

    // Opens the row with this key in the table's record window; false when there is no
    // such row or the table's record window is not available either.
    bool openRecord(const QString& key);
    // Opens the record window on an empty new row.
    bool newRecord();

private:
    QString tableName_;   // display name
    QString storedName_;  // name in the data database
    QLabel* notice_ = nullptr;
    QListWidget* keys_ = nullptr;
    QPushButton* open_ = nullptr;
    QPushButton* new_ = nullptr;
};

}  // namespace tv::app
