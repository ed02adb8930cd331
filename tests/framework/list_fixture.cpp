#include "framework/list_fixture.h"

#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/list_model.h"

#include <QCoreApplication>

namespace tvtest {

using tv::engine::quoteLiteral;

void ListFormTest::TearDown() {
    for (const QPointer<tv::forms::ListForm>& list : lists) delete list.data();
    lists.clear();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FrameworkTest::TearDown();
}

tv::forms::ListForm* ListFormTest::openList(const QString& table) {
    tv::data::state().SharedValues[0] = table;
    auto* list = new tv::forms::ListForm();
    tv::forms::setTag(list, table);
    list->activate();
    lists.append(list);
    return list;
}

void ListFormTest::addCustomers(const QStringList& names, const QString& city) {
    tv::engine::Database& db = tv::data::state().DataDb;
    db.BeginTrans();
    for (const QString& name : names) {
        db.Execute(QStringLiteral("INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [POSTALCITY]) "
                                  "VALUES (%1, %2)")
                       .arg(quoteLiteral(name), quoteLiteral(city)));
    }
    db.CommitTrans();
}

void ListFormTest::addFeedback(const QString& customer, const QString& when) {
    execData({QStringLiteral("INSERT INTO [CUSTOMER FEEDBACK] ([CUSTOMER NAME], [DATETIME]) "
                             "VALUES (%1, #%2#)")
                  .arg(quoteLiteral(customer), when)});
}

QStringList ListFormTest::columnTexts(const tv::forms::ListForm* list, int column) {
    QStringList texts;
    const tv::forms::ListModel* model = list->model();
    for (int row = 0; row < model->rowCount(); ++row)
        texts << model->index(row, column).data().toString();
    return texts;
}

}  // namespace tvtest
