// The Search window: which filled field finds the customer and which page opens (the
// order of the fields, the questions when none or several are filled, a telephone number
// written another way, a quote in a contact's name), the pickers it falls back on, and the
// options that open a list narrowed by the filled fields. The customer's own window is
// stood in for by one that notes the page it is asked to show.
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/list_form.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/search_window.h"
#include "framework/framework_fixture.h"

#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::data::state;
using tv::forms::SearchWindow;
namespace msgbox = tv::data::msgbox;

class CustomerStandIn : public tv::forms::RecordWindow {
public:
    void SetCurrentTab(const QString& key) override { tabs << key; }
    QStringList tabs;

protected:
    QString defaultTableName() const override { return u"Customers"_s; }
    QSize defaultSizeTwips() const override { return {6000, 4000}; }
};

class SearchTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        execData(
            {u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [TELEPHONENO]) VALUES "
             u"('Acme Copiers', '(02) 9876 5432')"_s,
             u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME]) VALUES ('O''Brien & Co')"_s,
             u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME]) VALUES ('Zed Ltd')"_s,
             u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME]) VALUES ('Twin A')"_s,
             u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME]) VALUES ('Twin B')"_s,
             u"INSERT INTO [CONTACTS] ([CUSTOMER NAME], [CONTACT NAME], [MOBILE PHONE], "
             u"[EMAIL ADDRESS]) VALUES ('O''Brien & Co', 'Mary O''Hara', '0412 345 678', "
             u"'mary@obrien.example')"_s,
             u"INSERT INTO [CONTACTS] ([CUSTOMER NAME], [CONTACT NAME]) VALUES "
             u"('Twin A', 'Sam Lee')"_s,
             u"INSERT INTO [CONTACTS] ([CUSTOMER NAME], [CONTACT NAME]) VALUES "
             u"('Twin B', 'Sam Lee')"_s,
             u"INSERT INTO [SALES ORDERS] ([ORDERNO], [CUSTOMER NAME]) VALUES (501, "
             u"'Zed Ltd')"_s,
             u"INSERT INTO [SALES ORDERS] ([ORDERNO], [CUSTOMER NAME]) VALUES (502, "
             u"'O''Brien & Co')"_s,
             u"INSERT INTO [CUSTOMER INVENTORY] ([ITEMID], [CUSTOMER NAME]) VALUES "
             u"('INV-7', 'Acme Copiers')"_s});
        tv::forms::registerRecordWindow(u"Customer"_s, [this] {
            auto* window = new CustomerStandIn();
            customer = window;
            return window;
        });
    }
    void TearDown() override {
        tv::forms::unregisterRecordWindow(u"Customer"_s);
        window.reset();
        for (QWidget* w : QApplication::topLevelWidgets())
            if (qobject_cast<tv::forms::ListForm*>(w)) delete w;
        FrameworkTest::TearDown();
    }
    // A fresh Search window with these fields filled and this option chosen, searched.
    void search(const std::map<int, QString>& fields, int option = SearchWindow::CustomerProfile) {
        delete customer.data();
        window = std::make_unique<SearchWindow>();
        for (const auto& [field, text] : fields)
            window->findChild<QLineEdit*>(u"DataField_%1"_s.arg(field))->setText(text);
        window->findChild<QRadioButton*>(u"SearchOption_%1"_s.arg(option))->setChecked(true);
        window->search();
    }
    // The customer shown and the page asked for, "" when none opened.
    QString opened() const {
        return customer ? customer->storedKey().value(0) + u" / "_s + customer->tabs.join(u',')
                        : QString();
    }
    // Picks `value` in the table-lookup window the next step opens, after checking its rows.
    static void pickInLookup(const QString& value, const QStringList& rows = {}) {
        QTimer::singleShot(0, [=] {
            auto* lookup = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            ASSERT_TRUE(lookup);
            auto* list = lookup->findChild<QListWidget*>(u"List1"_s);
            QStringList shown;
            for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
            if (!rows.isEmpty()) {
                EXPECT_EQ(shown, rows);
            }
            lookup->findChild<QLineEdit*>(u"fieldvalue"_s)->setText(value);
            list->clearSelection();
            lookup->findChild<QPushButton*>(u"Selectf"_s)->click();
        });
    }

    QPointer<CustomerStandIn> customer;
    std::unique_ptr<SearchWindow> window;
};

TEST_F(SearchTest, TheFirstFilledFieldFindsTheCustomerAndItsPage) {
    const struct {
        std::map<int, QString> fields;
        int answer;  // to message 951, 950, 952 or 9093 (0: none asked)
        const char* asked;
        const char* opened;
    } cases[] = {
        {{{0, u"acme copiers"_s}}, 0, "", "Acme Copiers / Address"},
        {{{1, u"Mary O'Hara"_s}}, 0, "", "O'Brien & Co / Address"},
        {{{2, u"(02) 9876 5432"_s}}, 0, "", "Acme Copiers / Address"},
        {{{2, u"0412345678"_s}}, 0, "", "O'Brien & Co / Address"},
        {{{3, u"MARY@obrien.example"_s}}, 0, "", "O'Brien & Co / Address"},
        {{{4, u" 501 "_s}}, 0, "", "Zed Ltd / Sales Orders"},
        {{{9, u"inv-7"_s}}, 0, "", "Acme Copiers / Customer Inventory"},
        {{{4, u"501"_s}, {2, u"02 9876 5432"_s}},
         msgbox::kYes,
         "More than one",
         "Acme Copiers / Address"},
        {{{4, u"501"_s}, {1, u"Mary O'Hara"_s}}, msgbox::kNo, "More than one", ""},
        {{{5, u"   "_s}}, msgbox::kOk, "fill in one", ""},
        {{{2, u"(09) 999 999"_s}}, msgbox::kOk, "No customer or contact", ""},
        {{{4, u"12x"_s}}, msgbox::kOk, "takes a number", ""},
    };
    for (const auto& c : cases) {
        if (c.answer) ask.message(c.answer, QString::fromLatin1(c.asked));
        search(c.fields);
        EXPECT_EQ(opened(), QString::fromLatin1(c.opened))
            << c.fields.begin()->second.toStdString();
        ask.verifyDone();
    }
}

TEST_F(SearchTest, WhatIsNotFoundOrNotOneIsPickedFromAList) {
    // Two customers have a contact called Sam Lee: the user picks which.
    pickInLookup(u"Twin B"_s, {u"Twin A"_s, u"Twin B"_s});
    search({{1, u"Sam Lee"_s}});
    EXPECT_EQ(opened(), u"Twin B / Address"_s);
    // A customer name nobody has: the customers are offered from that name on.
    pickInLookup(u"Zed Ltd"_s);
    search({{0, u"Zebra"_s}});
    EXPECT_EQ(opened(), u"Zed Ltd / Address"_s);
    EXPECT_EQ(window->findChild<QLineEdit*>(u"DataField_0"_s)->text(), u"Zed Ltd"_s);
}

TEST_F(SearchTest, ListOptionsShowTheTableNarrowedByTheFilledFields) {
    search({{0, u"o'brien"_s}, {2, u"(02) 9876 5432"_s}}, SearchWindow::SalesOrder);
    tv::forms::ListForm* list = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* l = qobject_cast<tv::forms::ListForm*>(w)) list = l;
    ASSERT_TRUE(list);
    list->activate();
    EXPECT_EQ(tv::forms::tagOf(list), u"Sales Orders"_s);
    ASSERT_EQ(list->model()->rowCount(), 1) << list->ListQuery().toStdString();
    EXPECT_EQ(list->model()->index(0, 0).data().toString(), u"502"_s);
    EXPECT_FALSE(customer) << "no customer is opened";

    ask.message(msgbox::kOk, u"Sales Order No"_s);
    search({{2, u"(02) 9876 5432"_s}}, SearchWindow::Rma);
}

}  // namespace
}  // namespace tvtest
