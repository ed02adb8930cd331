#include "sales/sales_fixture.h"

#include "core/convert.h"
#include "data/record_values.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/sales/line_item_dialog.h"
#include "forms/sales/sales_windows.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTimer>

namespace tvtest {

void SalesTest::SetUp() {
    ShippedDatabasesTest::SetUp();
    tv::forms::registerSalesWindows();
    ask.setNow(tv::DateFromParts(2026, 11, 20, 10, 0, 0));
    execData({"INSERT INTO CUSTOMERS ([CUSTOMER NAME], ACCOUNTNO) VALUES ('O''Brien Plumbing & Gas', 'OB-1')",
              "INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME]) VALUES ('O''Brien Plumbing & Gas', 'Ann')",
              "INSERT INTO PRODUCTS (PRODUCTCODE, DESCRIPTION, UNITPRICE, SPECIALPRICE, SPECIALSTART, "
              "SPECIALEND, TAXRATE, COSTPRICE) VALUES ('TONER', 'Toner cartridge', 19.99, 15, "
              "#2026-12-01#, #2026-12-10#, 10, 6)",
              "INSERT INTO PRODUCTS (PRODUCTCODE, DESCRIPTION, UNITPRICE, TAXRATE, CUSTOMERINVENTORY, "
              "WARRANTYMONTHS) VALUES ('COPIER', 'Office copier', 900, 10, True, 12)",
              "INSERT INTO PRODUCTS (PRODUCTCODE, DESCRIPTION, UNITPRICE) VALUES ('PAPER', 'Paper', 4.5)"});
}

void SalesTest::TearDown() {
    delete w;
    ShippedDatabasesTest::TearDown();
}

tv::forms::RecordWindow* SalesTest::openNew(const QString& table) {
    tv::data::FieldValueArray values;
    values.resize(table == "Quotations" ? 12 : 29);
    values(4) = kCustomer;
    tv::data::NewRecordDefaults(table, values);
    tv::data::state().PendingEditMode = 1;
    EXPECT_TRUE(tv::forms::OpenRecordWindow(table, values));
    w = tv::forms::GetRecordWindow(table);
    return w;
}

void SalesTest::answerLineDialog(std::vector<std::pair<QString, QString>> boxes) {
    QTimer::singleShot(0, [boxes] {
        auto* dialog = qobject_cast<tv::forms::LineItemDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        for (const auto& [name, text] : boxes) {
            if (name == "ProductCode") {
                dialog->findChild<QComboBox*>(name)->setEditText(text);
                dialog->productChosen();
            } else {
                auto* box = dialog->findChild<QLineEdit*>(name);
                box->setText(text);
                emit box->editingFinished();
            }
        }
        dialog->SaveDetails();
        if (dialog->isVisible()) dialog->reject();  // refused: the test sees nothing added
    });
}

}  // namespace tvtest
