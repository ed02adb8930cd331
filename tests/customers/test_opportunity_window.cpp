// The Sales Opportunity window's own rules: the contact's numbers it shows, the values it
// writes for the user, and what it refuses to save or close over.
#include "common/data/shipped_fixture.h"

#include "data/record_values.h"
#include "forms/customers/customers_windows.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/record_window.h"
#include "forms/framework/status.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::data::msgbox::kCancel;
using tv::data::msgbox::kOk;
using tv::forms::PickList;

const QString kTable = u"Sales Opportunities"_s;

class OpportunityWindowTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        tv::forms::setStatusPanel(&status);
        tv::forms::registerCustomerWindows();
        const QString contact =
            u"INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME], "
            "[BUSINESS PHONE], [MOBILE PHONE]) VALUES "_s;
        execData({u"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('O''Brien & Söhne')"_s,
                  u"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('Acme')"_s,
                  contact + u"('O''Brien & Söhne', 'Ann', '02 1111', '0400 1')"_s,
                  contact + u"('Acme', 'Bob', '03 2222', Null)"_s});
        // A new opportunity as the customer window's Opportunities tab opens it.
        tv::data::FieldValueArray values;
        values.resize(11);
        values(1) = u"O'Brien & Söhne"_s;
        tv::data::NewRecordDefaults(kTable, values);
        tv::data::state().PendingEditMode = 1;
        ASSERT_TRUE(tv::forms::OpenRecordWindow(kTable, values));
        w = tv::forms::GetRecordWindow(kTable);
    }
    void TearDown() override {
        delete w;
        tv::forms::setStatusPanel(nullptr);
        ShippedDatabasesTest::TearDown();
    }
    template <typename T = QLineEdit>
    T* field(const char* name) const {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    // Types into a box and leaves it.
    void type(const char* box, const QString& text) const {
        auto* list = field<PickList>(box);
        QLineEdit* edit = list ? list->lineEdit() : field(box);
        edit->setText(text);
        emit edit->editingFinished();
    }

    QLabel status;
    QPointer<tv::forms::RecordWindow> w;
};

TEST_F(OpportunityWindowTest, ShowsTheCustomersContactsNumbersAndSavesItsValuesAsWritten) {
    for (const auto& [contact, numbers] : {std::pair{"Bob", "||"}, {"Ann", "02 1111||0400 1"}}) {
        type("ContactName", QString::fromLatin1(contact));
        EXPECT_EQ(field("BusinessNo")->text() + u'|' + field("HomeNo")->text() + u'|' +
                      field("MobileNo")->text(),
                  QString::fromLatin1(numbers))
            << contact;
    }
    type("SalesValue", u"1250.5"_s);
    type("Probability", u"2.6"_s);
    EXPECT_EQ(field("SalesValue")->text() + u'|' + field("Probability")->text(), u"1250.50|3"_s);
    field<QPushButton>("SaveDetails")->click();
    EXPECT_EQ(status.text(), u"Sales opportunity saved."_s);
    EXPECT_EQ(dataValue(u"SELECT [SALESVALUE] & '|' & [PROBABILITY] & '|' & [CONTACT NAME] FROM "
                        "[SALES OPPORTUNITIES] WHERE [CUSTOMER NAME] = 'O''Brien & Söhne'"_s),
              u"1250.5|3|Ann"_s);
}

TEST_F(OpportunityWindowTest, WhatTheTableCannotHoldIsRefusedAndUnsavedWorkIsAskedAbout) {
    const std::tuple<const char*, QString, QString, const char*> cases[] = {
        {"SalesValue", u"lots"_s, u"10"_s, "not an amount of money"},
        {"Probability", u"150"_s, u"50"_s, "from 0 to 100"},
        {"Identified", u"soon"_s, u"2026-12-05 10:00"_s, "is not a date"},
        {"CustomerName", QString(), u"Acme"_s, "required field is empty:\nCustomer Name"},
        {"CustomerName", u"Nobody Ltd"_s, u"Acme"_s, "no customer with this name"}};
    for (const auto& [box, bad, good, message] : cases) {
        type(box, bad);
        ask.message(kOk, QString::fromUtf8(message));
        EXPECT_FALSE(w->save()) << box;
        EXPECT_EQ(field(box)->text(), bad);
        type(box, good);
    }

    ask.message(kCancel, u"save the changes"_s);
    EXPECT_FALSE(w->close());
    field<QPushButton>("Cancelf")->click();  // leaves without a question
    EXPECT_TRUE(w->isHidden());
    EXPECT_EQ(dataValue(u"SELECT Count(*) FROM [SALES OPPORTUNITIES]"_s), u"0"_s);
}

}  // namespace
}  // namespace tvtest
