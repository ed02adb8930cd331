#include "activities/activities_fixture.h"

#include "core/convert.h"
#include "data/business_rules.h"
#include "data/record_values.h"
#include "engine/engine.h"
#include "forms/activities/activities_windows.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/status.h"

#include <QCoreApplication>
#include <QEvent>

namespace tvtest {

void ActivityWindowsTest::SetUp() {
    ShippedDatabasesTest::SetUp();
    ask.setNow(tv::DateFromParts(2026, 12, 5, 9, 0, 0));
    tv::data::InstallBusinessRules();
    tv::data::state().CurrentUserId = QStringLiteral("admin");
    tv::forms::setStatusPanel(&status);
    tv::forms::registerActivityWindows();
    const QString name = tv::engine::quoteLiteral(kCustomer);
    execData({QStringLiteral("INSERT INTO CUSTOMERS ([CUSTOMER NAME]) VALUES (%1)").arg(name),
              QStringLiteral("INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME], "
                             "[BUSINESS PHONE]) VALUES (%1, 'Ann', '02 1111')")
                  .arg(name)});
}

void ActivityWindowsTest::TearDown() {
    delete w;
    tv::forms::setStatusPanel(nullptr);
    ShippedDatabasesTest::TearDown();
}

void ActivityWindowsTest::openNew(const QString& table) {
    delete w;
    tv::data::FieldValueArray values;
    values.resize(17);
    values(1) = kCustomer;
    tv::data::NewRecordDefaults(table, values);
    tv::data::state().PendingEditMode = 1;
    ASSERT_TRUE(tv::forms::OpenRecordWindow(table, values));
    w = tv::forms::GetRecordWindow(table);
}

void ActivityWindowsTest::type(const char* box, const QString& text) const {
    auto* list = field<tv::forms::PickList>(box);
    QLineEdit* edit = list ? list->lineEdit() : field(box);
    edit->setText(text);
    emit edit->editingFinished();
}

bool ActivityWindowsTest::stillOpen() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return !w.isNull();
}

QString ActivityWindowsTest::dateOf(const QString& table, const QString& column) {
    const QString value = dataValue(QStringLiteral("SELECT Format([%1], 'yyyy-mm-dd') FROM [%2]")
                                        .arg(column, table));
    return value == QLatin1String("<none>") ? QString() : value;
}

}  // namespace tvtest
