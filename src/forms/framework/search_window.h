// The Search window: finds a customer from whatever the user knows of it (a customer or
// contact name, a telephone number, an e-mail address or the number of one of its
// documents) and opens the customer window on the page that matches what was entered.
//
// Customer Profile (the first option): the first filled field, in the order of the
// fields, decides how the customer is found and which page opens: a name, telephone
// number or e-mail address the Address page, a document number that document's page.
// When several fields are filled the user is asked first (message 951); none filled is
// message 950. What is not found offers the field's picker (a customer, a contact, a
// document) and goes on with the value picked; a telephone number or e-mail address that
// nobody has is message 952. A telephone number is found as typed or, failing that, by
// its digits alone, so "02 9876 5432" finds "(02) 9876 5432".
//
// The other options open that table's list window narrowed by every filled field the
// table records (names by their start, numbers and codes exactly).
//
// Modeless, in the main window's area; it keeps what was typed until it is closed, and
// remembers its place under "Search Form". Enter searches, Escape closes.
#pragma once

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>

namespace Ui {
class SearchWindow;
}

namespace tv::forms {

class SearchWindow : public QWidget {
    Q_OBJECT

public:
    // Search options (SearchOption_0 .. _7).
    enum Option {
        CustomerProfile = 0,
        ContactPerson,
        SalesOrder,
        Quotation,
        ServiceRequest,
        ServiceContract,
        Rma,
        InventoryItem,
    };

    explicit SearchWindow(QWidget* parent = nullptr);
    ~SearchWindow() override;

    // The Search command (Searchf).
    void search();
    // Lookup button `index`: the picker of its field's table, starting at what the field
    // holds; the value picked goes into the field. True when a value was picked.
    bool lookup(int index);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    QString fieldText(int field) const;
    int option() const;
    // False (after telling the user) when a number field holds no number.
    bool checkNumber(int field);

    void searchCustomer(int field);
    // The customer the field's text leads to: a name; an empty name when the user closed
    // a picker; nothing when no customer has it.
    std::optional<QString> customerFor(int field);
    std::optional<QString> customerByContact(const QString& name);
    void openCustomer(const QString& name, const QString& tab);

    void showList(int option);

    std::unique_ptr<Ui::SearchWindow> ui_;
};

// The first customer name of a query's rows whose column 0 is the customer name; nothing
// when it has no rows.
std::optional<QString> firstCustomerOf(const QString& sql);

// The customer with this telephone number: on the customer itself, else on a contact
// (business, home or mobile); first as typed, then by the digits alone (at least six).
std::optional<QString> customerByTelephone(const QString& number);

}  // namespace tv::forms
