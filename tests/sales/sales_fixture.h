// The sales windows' fixture: a customer with a contact, three products (toner with a
// special price in the first ten days of December 2026, a copier tracked at the customer's
// site, paper), and a way to answer the line-item dialog a window opens.
#pragma once

#include "common/data/shipped_fixture.h"
#include "forms/framework/record_window.h"

#include <QString>
#include <utility>
#include <vector>

namespace tvtest {

inline const QString kCustomer = QStringLiteral("O'Brien Plumbing & Gas");

class SalesTest : public ShippedDatabasesTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new document of the table for the customer, as the customer window's tab opens it.
    tv::forms::RecordWindow* openNew(const QString& table);
    // Answers the next line dialog: the boxes get these texts (the product code is chosen
    // as from the list), then OK is pressed.
    static void answerLineDialog(std::vector<std::pair<QString, QString>> boxes);

    tv::forms::RecordWindow* w = nullptr;
};

}  // namespace tvtest
