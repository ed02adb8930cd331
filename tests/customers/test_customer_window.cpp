// The customer window over the shipped databases: the related-rows grid's query and button
// states per table, what a new related row takes from the window, saving, renaming and the
// failures a shared database brings.
#include "common/data/shipped_fixture.h"
#include "common/pdf_text.h"
#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "forms/customers/customer_window.h"
#include "forms/customers/customers_windows.h"
#include "forms/framework/controls.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/generic_record_window.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/related_rows_grid.h"
#include "forms/framework/status.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTest>
#include <QTimer>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using namespace tv::forms;
using tv::data::msgbox::kNo;
using tv::data::msgbox::kOk;
using tv::data::msgbox::kYes;
using tv::engine::quoteLiteral;

const QString kName = u"O'Brien & Sons «Ωμέγα»"_s;

class CustomerWindowTest : public ShippedDatabasesTest {
protected:
    void SetUp() override {
        ShippedDatabasesTest::SetUp();
        tv::data::state().CurrentUserId = u"admin"_s;
        ask.setNow(tv::DateFromParts(2026, 3, 10, 9, 30, 0));
        setStatusPanel(&status);
        registerCustomerWindows();
        // Related rows open in the plain window, whichever window is written for them.
        for (const auto& [window, table] : {std::pair{"Contact", "Contacts"},
                                            std::pair{"Activity", "Activities"}})
            registerRecordWindow(QString::fromLatin1(window), [window, table] {
                return new GenericRecordWindow(QString::fromLatin1(window),
                                               QString::fromLatin1(table));
            });
        const QString n = quoteLiteral(kName);
        execData({u"INSERT INTO CUSTOMERS ([CUSTOMER NAME], POSTALSTREET, POSTALCITY, "
                  "POSTALSTATE, POSTALCODE, TELEPHONENO, FAXNO, [EMAIL ADDRESS], CAMPAIGN, "
                  "[TIME ZONE], ACCOUNTNO) VALUES (%1, '1 Quay St', 'Cork', 'CK', 'T12', "
                  "'021 555', '021 556', 'info@obrien.ie', 'Spring', 'GMT', 'A-77')"_s.arg(n),
                  u"INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES ('Acme')"_s,
                  u"INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME]) VALUES ('Acme', 'Lee')"_s,
                  u"INSERT INTO ACTIVITIES ([CUSTOMER NAME], [DATETIME], DESCRIPTION) VALUES "
                  "(%1, #2026-02-01 10:00:00#, 'Site visit')"_s.arg(n)});
        for (const char* contact : {"Pat", "Sam"})
            execData({u"INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME]) VALUES (%1, %2)"_s
                          .arg(n, quoteLiteral(QLatin1String(contact)))});
    }
    void TearDown() override {
        QList<QPointer<QWidget>> windows;
        for (QWidget* w : QApplication::topLevelWidgets())
            if (w != &status && !w->parentWidget()) windows << w;
        for (const QPointer<QWidget>& w : windows) delete w.data();
        QApplication::processEvents();
        setStatusPanel(nullptr);
        ShippedDatabasesTest::TearDown();
    }

    static CustomerWindow* open(const QString& name) {
        auto* w = qobject_cast<CustomerWindow*>(GetRecordWindow(u"Customers"_s));
        if (w && !name.isEmpty()) {
            EXPECT_TRUE(w->showStoredRow(name));
        }
        return w;
    }
    template <typename T = QLineEdit>
    static T* control(QWidget* w, const char* name) {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    // The text a record window shows for a column ordinal.
    static QString shown(QWidget* w, int ordinal) {
        for (QObject* c : taggedControls(w))
            if (boundOrdinal(c) == ordinal) return controlValue(c).value_or(QString());
        return u"<none>"_s;
    }
    static QStringList gridColumn(const CustomerWindow* w, int column) {
        QStringList cells;
        const ListModel* m = w->grid()->model();
        for (int r = 0; r < m->rowCount(); ++r) cells << m->index(r, column).data().toString();
        return cells;
    }

    QLabel status;
};

TEST_F(CustomerWindowTest, GridQueryPerTableAndTheRowsItShows) {
    CustomerWindow* w = open(kName);
    const QString head = u"] WHERE [CUSTOMER NAME] = 'O''Brien & Sons «Ωμέγα»' ORDER BY ["_s;
    // The third column sorts, or the second where the third is the customer's name.
    for (const auto& [table, sort] :
         {std::pair{"Contacts", "TITLE"}, {"Activities", "ACTIVITY TYPE"},
          {"Service Contracts", "CONTRACTTYPE"}, {"Projects", "SCHEDULEDSTART"},
          {"Current Requests", "REQUEST TYPE"}, {"Scripts History", "STARTED"}}) {
        const QString t = QString::fromLatin1(table);
        EXPECT_EQ(RelatedRowsQuery(w->relatedRows(t)), u"SELECT * FROM ["_s + t + head + sort + u']');
    }
    tv::SaveSetting(tv::keys::DescendingSort(u"Activities"_s), u"1"_s);
    EXPECT_TRUE(RelatedRowsQuery(w->relatedRows(u"Activities"_s)).endsWith(u"] DESC"_s));

    // The tab shows this customer's contacts only, the customer's name column hidden.
    w->SetCurrentTab(u"contacts"_s);
    EXPECT_EQ(gridColumn(w, 1), (QStringList{u"Pat"_s, u"Sam"_s}));
    EXPECT_TRUE(w->grid()->view()->isColumnHidden(0));
    w->SetCurrentTab(u"No Such Table"_s);
    EXPECT_EQ(w->currentTabKey(), u"Contacts"_s);
    // Leaving the tab keeps its layout for the table's list too: the hidden column's width.
    w->grid()->view()->setColumnWidth(1, 140);
    w->SetCurrentTab(u"Activities"_s);
    const QStringList widths = tv::Setting(tv::keys::GridWidths(u"Contacts"_s)).split(u',');
    EXPECT_GT(widths.value(0).toInt(), 0);
    EXPECT_NE(widths.value(1), widths.value(0));
}

TEST_F(CustomerWindowTest, ADocumentsLinesInTheSameGrid) {
    execData({u"INSERT INTO [QUOTATIONS DETAIL] (QUOTENO, [LINENO], PRODUCTCODE) VALUES (7, 2, "
              "'TONER')"_s,
              u"INSERT INTO [QUOTATIONS DETAIL] (QUOTENO, [LINENO], PRODUCTCODE) VALUES (7, 1, "
              "'PAPER')"_s});
    RelatedRowsGrid lines;
    RelatedRows rows;
    rows.table = u"Quotations Detail"_s;
    rows.linkColumn = u"QUOTENO"_s;
    rows.linkValue = u"7"_s;
    rows.sortColumn = u"LINENO"_s;
    QString opened;
    rows.openCommand = [&opened](const tv::data::FieldValueArray& row) {
        opened = row(3);
        return false;
    };
    lines.showRows(rows);
    // A number key is written bare; one that is no number lists nothing.
    EXPECT_EQ(lines.query(), u"SELECT * FROM [Quotations Detail] WHERE [QUOTENO] = 7 ORDER BY "
                             "[LINENO]"_s);
    rows.linkValue = u"7 OR 1=1"_s;
    EXPECT_EQ(RelatedRowsQuery(rows), QString());
    QStringList deleted;
    QObject::connect(&lines, &RelatedRowsGrid::rowDeleted,
                     [&deleted](const QStringList& keys) { deleted = keys; });
    lines.runCommand(RelatedRowsGrid::Open);
    EXPECT_EQ(opened, u"PAPER"_s);
    ask.message(kYes, u"delete"_s);
    lines.runCommand(RelatedRowsGrid::Delete);
    EXPECT_EQ(deleted, (QStringList{u"7"_s, u"1"_s}));
    EXPECT_EQ(lines.model()->recordCount(), 1);
    EXPECT_TRUE(lines.button(RelatedRowsGrid::Send)->isHidden());
}

TEST_F(CustomerWindowTest, ButtonStatesFollowTheTableThenTheUsersRights) {
    CustomerWindow* w = open(kName);
    auto states = [&](const QString& table) {
        w->SetCurrentTab(table);
        QString s;
        for (int b = RelatedRowsGrid::New; b <= RelatedRowsGrid::Delete; ++b)
            s += w->grid()->button(b)->isEnabled() ? u'1' : u'0';
        return s;
    };
    auto& access = tv::data::state().UserAccess;
    access = {{u"Contacts"_s, false, true, true, true}, {u"Activities"_s, true, false, false, true},
              {u"Completed Requests"_s, true, true, true, true}};
    // New, Open, Delete: designed states, then the access entry can only take rights away.
    for (const auto& [table, expected] :
         {std::pair{"Contacts", "011"}, {"Activities", "100"}, {"Completed Requests", "010"},
          {"Customer Care Plan Status", "001"}, {"Scripts History", "001"}})
        EXPECT_EQ(states(QString::fromLatin1(table)), QString::fromLatin1(expected)) << table;
    // Windows this version does not have say so instead of doing nothing.
    EXPECT_FALSE(w->grid()->button(RelatedRowsGrid::Send)->isEnabled());
    EXPECT_TRUE(w->grid()->button(RelatedRowsGrid::New)->toolTip().contains(u"later version"_s));
    EXPECT_EQ(states(u"Quotations"_s), u"111"_s);
    EXPECT_FALSE(w->grid()->button(RelatedRowsGrid::New)->toolTip().contains(u"later version"_s));
}

TEST_F(CustomerWindowTest, ANewRelatedRowTakesTheCustomersValues) {
    CustomerWindow* w = open(kName);
    const QString today = tv::Format(tv::Variant(tv::DateSerial(2026, 3, 10)), u"Short Date"_s);
    const QString week = tv::Format(tv::Variant(tv::DateSerial(2026, 3, 17)), u"Short Date"_s);
    const QString now = tv::Format(tv::Variant(tv::DateFromParts(2026, 3, 10, 9, 30, 0)),
                                   u"General Date"_s);
    control<QComboBox>(w, "Campaign")->setEditText(u"Summer"_s);  // as shown, saved or not
    control(w, "AccountNo")->setText(u"typed, not saved"_s);      // as stored
    const std::pair<const char*, QStringList> cases[] = {
        {"Contacts", {u"4=021 555"_s, u"7=021 556"_s, u"8=info@obrien.ie"_s, u"10=GMT"_s,
                      u"13=1 Quay St"_s, u"14=Cork"_s, u"15=CK"_s, u"16=T12"_s, u"17="_s + today}},
        {"Activities", {u"2="_s + now, u"5=admin"_s, u"7=Summer"_s}},
        {"Sales Orders", {u"2="_s + today, u"3=A-77"_s, u"7="_s + week, u"8=Summer"_s, u"9=admin"_s}},
        {"Quotations", {u"2="_s + today, u"3="_s + week, u"6=Summer"_s, u"7=admin"_s}},
        {"Customer Attachments", {u"2="_s + now, u"3=admin"_s}},
        {"Customer Feedback", {}}};
    for (const auto& [table, expected] : cases) {
        tv::data::FieldValueArray values;
        values.resize(20);
        w->relatedRows(QString::fromLatin1(table)).newDefaults(values);
        QStringList filled;
        for (int n = 1; n <= values.size(); ++n)
            if (!values(n).isEmpty()) filled << QString::number(n) + u'=' + values(n);
        EXPECT_EQ(filled, expected) << table;
    }

    // New on the tab opens the table's window on the row, the customer's name in it.
    w->SetCurrentTab(u"Contacts"_s);
    w->grid()->runCommand(RelatedRowsGrid::New);
    QPointer<RecordWindow> contact = GetRecordWindow(u"Contacts"_s);
    EXPECT_EQ(shown(contact, 1) + u'|' + shown(contact, 4), kName + u"|021 555"_s);
    EXPECT_EQ(contact->localEditMode(), 1);
    // Saved and closed there, the new contact is on the tab.
    control(contact, "Field_2")->setText(u"Kim"_s);
    ASSERT_TRUE(contact->save());
    contact->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(gridColumn(w, 1), (QStringList{u"Kim"_s, u"Pat"_s, u"Sam"_s}));
}

TEST_F(CustomerWindowTest, SendHandsTheSendWindowTheCustomerAndTheRowsContact) {
    QString got;
    registerWindow(u"SendSelect"_s, [&got](QWidget*) {
        auto* send = new QDialog;
        auto* customer = new QLineEdit(send);
        customer->setObjectName(u"CustomerName"_s);
        auto* contact = new QLineEdit(send);
        contact->setObjectName(u"ContactName"_s);
        QObject::connect(send, &QDialog::accepted, [&got, customer, contact] {
            got = customer->text() + u'|' + contact->text();
        });
        QTimer::singleShot(0, send, &QDialog::accept);
        return send;
    });
    execData({u"INSERT INTO [SALES OPPORTUNITIES] ([CUSTOMER NAME], IDENTIFIED, [CONTACT NAME]) "
              "VALUES (%1, #2026-01-02#, 'Sam')"_s.arg(quoteLiteral(kName))});
    CustomerWindow* w = open(kName);
    w->SetCurrentTab(u"Sales Opportunities"_s);
    w->grid()->runCommand(RelatedRowsGrid::Send);
    registerWindow(u"SendSelect"_s, {});
    EXPECT_EQ(got, kName + u"|Sam"_s);
}

TEST_F(CustomerWindowTest, OpenAndDeleteFromATab) {
    CustomerWindow* w = open(kName);
    w->SetCurrentTab(u"Activities"_s);
    w->grid()->runCommand(RelatedRowsGrid::Open);
    QPointer<RecordWindow> activity = GetRecordWindow(u"Activities"_s);
    EXPECT_EQ(shown(activity, 4), u"Site visit"_s);
    EXPECT_EQ(activity->localEditMode(), 2);

    // Deleting asks once; the row goes, its window closes, the tab shows the rest.
    ask.message(kYes, u"delete"_s);
    w->grid()->runCommand(RelatedRowsGrid::Delete);
    EXPECT_EQ(dataValue(u"SELECT Count(*) FROM ACTIVITIES"_s), u"0"_s);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(activity.isNull());
    EXPECT_EQ(status.text(), u"Record deleted."_s);
    ask.message(kOk, u"no record selected"_s);
    w->grid()->runCommand(RelatedRowsGrid::Open);
}

TEST_F(CustomerWindowTest, RenamingSavesUnderTheNewNameWithTheRelatedRows) {
    CustomerWindow* w = open(kName);
    w->SetCurrentTab(u"Contacts"_s);
    QLineEdit* name = control(w, "CustomerName");
    EXPECT_EQ(name->maxLength(), 60);
    name->clear();
    QTest::keyClicks(name, QString(61, u'x'));
    EXPECT_EQ(name->text().size(), 60);

    // A contact of the customer open in its window follows the rename.
    w->grid()->runCommand(RelatedRowsGrid::Open);
    RecordWindow* contact = GetRecordWindow(u"Contacts"_s);
    const QString renamed = u"O\"Brien & Daughters «Ωμέγα»"_s;
    name->setText(renamed);
    control<QPushButton>(w, "ListCommand_0")->click();
    EXPECT_EQ(status.text(), u"Customer details saved."_s);
    EXPECT_EQ(shown(contact, 1), renamed);
    EXPECT_TRUE(contact->save());
    EXPECT_EQ(w->originalCustomerName(), renamed);
    EXPECT_EQ(gridColumn(w, 1), (QStringList{u"Pat"_s, u"Sam"_s}));
    EXPECT_EQ(dataValue(u"SELECT Count(*) FROM CONTACTS WHERE [CUSTOMER NAME] = "_s +
                        quoteLiteral(renamed)),
              u"2"_s);
    // Opened again, it shows as saved, and prints with the window's own labels.
    EXPECT_TRUE(w->showStoredRow(renamed));
    EXPECT_EQ(control(w, "PCity")->text(), u"Cork"_s);
    const QString pdf = data.file(u"customer.pdf"_s);
    ask.printer(true, pdf);
    ASSERT_TRUE(w->printCustomer());
    const QString page = pdfPages(pdf).value(0).simplified();
    for (const QString& part : {u"Page: 1"_s, u"Account Name "_s + renamed, u"Telephone No 021 555"_s,
                                u"Postal Address Street 1 Quay St City Cork"_s})
        EXPECT_TRUE(page.contains(part)) << part.toStdString() << "\n" << page.toStdString();

    // Another workstation deletes it: saving asks before adding it again; No keeps the window.
    execData({u"DELETE * FROM CUSTOMERS WHERE [CUSTOMER NAME] = "_s + quoteLiteral(renamed)});
    control(w, "ReferredBy")->setText(u"A friend"_s);
    ask.message(kNo, u"could not be found"_s);
    EXPECT_FALSE(w->save());
    EXPECT_EQ(control(w, "ReferredBy")->text(), u"A friend"_s);
    ask.message(kYes, u"could not be found"_s);
    EXPECT_FALSE(w->save());
    EXPECT_EQ(dataValue(u"SELECT REFERREDBY FROM CUSTOMERS WHERE [CUSTOMER NAME] = "_s +
                        quoteLiteral(renamed)),
              u"A friend"_s);
}

TEST_F(CustomerWindowTest, ANewCustomerIsSavedOnceThenUpdated) {
    CustomerWindow* w = open(QString());
    w->showNewRow();
    w->SetCurrentTab(u"Contacts"_s);
    ask.message(kOk, u"not been saved"_s);
    w->grid()->runCommand(RelatedRowsGrid::New);
    ask.message(kOk, u"required field"_s);
    EXPECT_FALSE(w->save());

    control(w, "CustomerName")->setText(u"Zeta"_s);
    control(w, "PStreet")->setText(u"2 Main Rd"_s);
    w->CopyAddress(0);
    ASSERT_TRUE(w->save());
    control(w, "DStreet")->setText(u"Dock 4"_s);
    w->CopyAddress(1);
    ASSERT_TRUE(w->save());
    EXPECT_EQ(dataRows(u"SELECT [POSTALSTREET], [DELIVERYSTREET] FROM CUSTOMERS WHERE "
                       "[CUSTOMER NAME] = 'Zeta'"_s),
              QStringList{u"Dock 4|Dock 4"_s});
}

}  // namespace
}  // namespace tvtest
