// The Contact window's own rules: the salutation and birthday it writes for the user, what
// it refuses to save (keeping what was typed), moving between a customer's contacts
// without losing changes, and the numbers it dials.
#include "common/data/shipped_fixture.h"

#include "core/convert.h"
#include "data/access.h"
#include "forms/customers/contact_numbers.h"
#include "forms/customers/contact_window.h"
#include "forms/customers/customers_windows.h"
#include "forms/framework/date_box.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/status.h"

#include <QDesktopServices>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QUrl>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::data::msgbox::kCancel;
using tv::data::msgbox::kNo;
using tv::data::msgbox::kOk;
using tv::data::msgbox::kYes;
using tv::forms::PickList;

class ContactWindowTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        tv::forms::setStatusPanel(&status);
        tv::forms::registerCustomerWindows();
        execData({u"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('O''Brien & Söhne')"_s});
    }
    void TearDown() override {
        // Deleted, not closed: a window left with changes would ask about them.
        delete tv::forms::GetRecordWindow(u"Contacts"_s);
        tv::forms::setStatusPanel(nullptr);
        ShippedDatabasesTest::TearDown();
    }
    tv::forms::ContactWindow* open(const QString& contact, int mode) {
        // An existing contact as its stored row, a new one with the customer's name.
        tv::data::FieldValueArray values;
        values.resize(25);
        values(1) = kCustomer;
        if (mode == 2 && tv::data::LoadRecord(u"Contacts"_s, kCustomer, contact))
            values = tv::data::state().FieldValues;
        tv::data::state().PendingEditMode = static_cast<std::int16_t>(mode);
        EXPECT_TRUE(tv::forms::OpenRecordWindow(u"Contacts"_s, values));
        return qobject_cast<tv::forms::ContactWindow*>(tv::forms::GetRecordWindow(u"Contacts"_s));
    }
    template <typename T = QLineEdit>
    static T* field(QWidget* w, const char* name) {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    // Picks the entry from the name's drop-down as a user does: the text changes first.
    static void pick(QWidget* w, const QString& name) {
        auto* list = field<PickList>(w, "ContactName");
        list->fill();
        list->setCurrentIndex(list->findText(name));
        emit list->activated(list->currentIndex());
    }
    static QString title(const QString& contact) {
        return dataValue(u"SELECT [TITLE] FROM CONTACTS WHERE [CONTACT NAME] = "_s +
                         tv::engine::quoteLiteral(contact));
    }

    const QString kCustomer = u"O'Brien & Söhne"_s;
    QLabel status;
};

TEST_F(ContactWindowTest, ANewContactGetsItsSalutationAndBirthdayAndSavesUnderItsQuotedName) {
    ask.setNow(tv::DateFromParts(2026, 12, 5, 10, 0));
    auto* w = open(QString(), 1);
    EXPECT_EQ(field<tv::forms::DateBox>(w, "FirstContact")->dateText(), u"2026-12-05"_s);
    // The definitions' "Mobile No" keeps the designed access key and colon.
    EXPECT_EQ(field<QLabel>(w, "MobileNoLabel")->text(), u"Mobi&le No:"_s);

    auto* name = field<PickList>(w, "ContactName");
    for (const auto& [typed, before, after] : {std::tuple{"Seán O'Neill Jr", "", "Seán"},
                                               {"Cher", "", "Cher"},
                                               {"Tom Li", "Dr Li", "Dr Li"}}) {
        field(w, "Salutation")->setText(QString::fromUtf8(before));
        name->setEditText(QString::fromUtf8(typed));
        emit name->lineEdit()->editingFinished();
        EXPECT_EQ(field(w, "Salutation")->text(), QString::fromUtf8(after)) << typed;
    }
    for (const auto& [typed, shown] : {std::pair{"1980-03-07", "07 Mar"}, {"29 feb", "29 Feb"}}) {
        field(w, "Birthday")->setText(QString::fromLatin1(typed));
        emit field(w, "Birthday")->editingFinished();
        EXPECT_EQ(field(w, "Birthday")->text(), QString::fromLatin1(shown));
    }
    name->setEditText(u"Seán O'Neill Jr"_s);
    field<QPushButton>(w, "ListCommand_1")->click();
    EXPECT_EQ(status.text(), u"Contact details saved."_s);
    EXPECT_EQ(
        dataValue(u"SELECT [CONTACT NAME] & '|' & [SALUTATION] & '|' & [BIRTHDAY] FROM CONTACTS "
                  "WHERE [CUSTOMER NAME] = 'O''Brien & Söhne'"_s),
        u"Seán O'Neill Jr|Dr Li|29 Feb"_s);
    name->fill();
    EXPECT_EQ(name->entries(), QStringList{u"Seán O'Neill Jr"_s});
    auto* role = field<PickList>(w, "Role");  // reading a list keeps a value it lacks
    role->setEditText(u"Chief Tinkerer"_s);
    role->fill();
    EXPECT_EQ(role->count() > 0 ? role->currentText() : QString(), u"Chief Tinkerer"_s);
}

TEST_F(ContactWindowTest, WhatCannotBeSavedIsRefusedWithWhatWasTypedKept) {
    auto* w = open(QString(), 1);
    auto* customer = field(w, "CustomerName");
    auto* birthday = field(w, "Birthday");
    auto* name = field<PickList>(w, "ContactName");
    const std::tuple<QString, QString, QString, const char*> cases[] = {
        {u"Nobody Ltd"_s, {}, u"Ann"_s, "no customer with this name"},
        {kCustomer, u"31 Feb"_s, u"Ann"_s, "birthday is not a date"},
        {kCustomer, {}, {}, "required field is empty:\nContact Name"}};
    for (const auto& [customerName, typedBirthday, contactName, message] : cases) {
        customer->setText(customerName);
        birthday->setText(typedBirthday);
        name->setEditText(contactName);
        ask.message(kOk, QString::fromUtf8(message));
        EXPECT_FALSE(w->save()) << message;
        EXPECT_EQ(customer->text() + birthday->text() + name->currentText(),
                  customerName + typedBirthday + contactName);
    }
    EXPECT_EQ(ask.beeps(), 1);
    EXPECT_EQ(dataValue(u"SELECT Count(*) FROM CONTACTS"_s), u"0"_s);
}

TEST_F(ContactWindowTest, PickingAnotherContactOffersToSaveAndKeepsTheRowWhenItIsGone) {
    const QString insert =
        u"INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME], [ROLE]) VALUES "_s;
    execData({insert + u"('O''Brien & Söhne', 'Ann', 'Owner')"_s,
              insert + u"('O''Brien & Söhne', 'Bob', Null)"_s});
    auto* w = open(u"Ann"_s, 2);
    field<QTabWidget>(w, "TabStrip1")->widget(2)->raise();  // as showing a page may do
    pick(w, u"Ann"_s);                                      // the contact shown: nothing to ask
    field(w, "Title")->setText(u"Buyer"_s);
    ask.message(kCancel, u"before showing another"_s);
    pick(w, u"Bob"_s);
    EXPECT_EQ(field<PickList>(w, "ContactName")->currentText() + field(w, "Title")->text(),
              u"AnnBuyer"_s);
    ask.message(kNo, u"before showing another"_s);
    pick(w, u"Bob"_s);
    EXPECT_EQ(w->originalContactName() + title(u"Ann"_s), u"Bob"_s);

    field(w, "Title")->setText(u"Chief"_s);
    ask.message(kYes, u"before showing another"_s);
    pick(w, u"Ann"_s);
    EXPECT_EQ(w->originalContactName() + title(u"Bob"_s), u"AnnChief"_s);

    execData({u"DELETE FROM CONTACTS WHERE [CONTACT NAME] = 'Bob'"_s});
    ask.message(kOk, u"could not be found"_s);
    pick(w, u"Bob"_s);
    EXPECT_EQ(w->originalContactName(), u"Ann"_s);
}

class TelLinks : public QObject {
    Q_OBJECT
public:
    QStringList called;
    Q_INVOKABLE void call(const QUrl& url) { called << url.toString(); }
};

TEST_F(ContactWindowTest, DialNowOffersTheMarkedNumbersAndHandsOneToTheDesktop) {
    EXPECT_EQ(tv::forms::markedNumbers({u"02 9999 1234"_s, u"03 5555"_s, QString()}),
              (QStringList{u"02 9999 1234 (B)"_s, u"03 5555 (H)"_s}));
    EXPECT_EQ(tv::forms::unmarkedNumber(u"555 1234 (ext 2)"_s), u"555 1234 (ext 2)"_s);
    TelLinks links;
    QDesktopServices::setUrlHandler(u"tel"_s, &links, "call");
    ask.message(kOk, u"must be set"_s).message(kOk, u"must specify a contact telephone number"_s);
    EXPECT_FALSE(tv::forms::DialNumber(kCustomer, QString(), u"0400 111 222 (M)"_s));
    EXPECT_FALSE(tv::forms::DialNumber(kCustomer, u"Ann"_s, u" (M)"_s));
    EXPECT_TRUE(tv::forms::DialNumber(kCustomer, u"Ann"_s, u"+61 400 111 222 (M)"_s));
    QDesktopServices::unsetUrlHandler(u"tel"_s);
    EXPECT_EQ(links.called, QStringList{u"tel:+61400111222"_s});
}

}  // namespace
}  // namespace tvtest

#include "test_contact_window.moc"
