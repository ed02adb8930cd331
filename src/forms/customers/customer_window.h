// The Customer window: one row of CUSTOMERS (a sales account) and the hub from which the
// account's related records are reached. The upper half holds the account's own fields;
// the tab strip TabStrip1 holds the addresses, one page per related table, the dates and
// comments, and the custom fields. Every related table names the customer by its
// [CUSTOMER NAME]; a related page shows those rows in the related-rows grid, whose New,
// Open, Delete and Send work through the table's own record window.
//
// Each related page carries the table's display name in its dynamic property "key"
// (SetCurrentTab selects a page by it) and a caption key in its "tag". The grid rows are
// those stored under the customer's stored name (OriginalCustomerName), so a name being
// typed does not empty the tabs; saving under a new name moves the related rows along
// (the data layer's key change) and the tab then lists them under the new name.
//
// The commands: ListCommand_0 Save, _1 Close, _2 Billing information (shown to users
// with billing access), _3 Print; CopyAddress_0 copies the postal address into the
// delivery address, CopyAddress_1 the other way; Searchf looks up another customer by
// name and shows it (after offering to save changes, as closing does). A picture named Customer.png, .jpg or .bmp in the data folder's
// Pictures folder is drawn behind the window.
#pragma once

#include "forms/framework/designed_labels.h"
#include "forms/framework/record_window.h"

#include <QPixmap>
#include <memory>

class QPushButton;
class QTabWidget;

namespace Ui {
class Customer;
}

namespace tv::forms {

class RelatedRowsGrid;
struct RelatedRows;

class CustomerWindow : public RecordWindow {
    Q_OBJECT

public:
    explicit CustomerWindow(QWidget* parent = nullptr);
    ~CustomerWindow() override;

    // Selects the page of the related table (its display name, any letter case); an
    // unknown key leaves the page as it is.
    void SetCurrentTab(const QString& key) override;
    // 0: postal to delivery; 1: delivery to postal (street, city, state and post code).
    void CopyAddress(int index);
    // The look-up beside the name: another customer picked is shown. True when one was.
    bool lookUpCustomer();
    // Prints the account; true when pages were printed.
    bool printCustomer();

    // The related table of the selected page; empty on the address, notes and custom pages.
    QString currentTabKey() const;
    RelatedRowsGrid* grid() const { return grid_; }
    QPushButton* command(int index) const;

    // What a related page shows for a customer: the grid query's link, the designed button
    // states of its table and the values a new row takes from the window.
    RelatedRows relatedRows(const QString& table);

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    QWidget* saveButton() const override;
    int savedStatusMessage() const override;
    void afterLoad() override;
    void rowShown() override;
    void afterActivate() override;
    bool beforeSave() override;
    void afterSave() override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // The name the related rows are stored under: the stored key, or for a customer never
    // saved the name typed.
    QString customerName() const;
    void tabChosen(int index);
    void refreshGrid();
    void newRowDefaults(const QString& table, data::FieldValueArray& values) const;
    bool runForCustomer(const QString& windowName, const QString& contact = QString());
    void loadBackground();

    std::unique_ptr<Ui::Customer> ui_;
    RelatedRowsGrid* grid_ = nullptr;
    DesignedLabels labels_;
    QPixmap background_;
    // The name stored before the save under way, to tell a rename.
    QString nameBeforeSave_;
};

}  // namespace tv::forms
