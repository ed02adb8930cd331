// List-window tests: lists opened as the main window opens them (the table in
// SharedValues(0), the tag set, then activated), and rows written straight into the data
// database.
#pragma once

#include "forms/framework/list_form.h"
#include "framework/framework_fixture.h"

#include <QList>
#include <QPointer>
#include <QStringList>

namespace tvtest {

class ListFormTest : public FrameworkTest {
protected:
    void TearDown() override;

    // A list window of the table after its first activation.
    tv::forms::ListForm* openList(const QString& table);

    // CUSTOMERS rows: name and city.
    static void addCustomers(const QStringList& names,
                             const QString& city = QStringLiteral("Leeds"));
    // CUSTOMER FEEDBACK rows: customer and ISO date-time, the rest Null.
    static void addFeedback(const QString& customer, const QString& when);

    // Every displayed text of one grid column, top to bottom.
    static QStringList columnTexts(const tv::forms::ListForm* list, int column);

    QList<QPointer<tv::forms::ListForm>> lists;
};

}  // namespace tvtest
