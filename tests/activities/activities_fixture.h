// The activity windows over fresh shipped databases: a customer called O'Brien with a
// contact, the area's windows registered, a status panel, and a fixed clock.
#pragma once

#include "common/data/shipped_fixture.h"

#include "data/app_state.h"
#include "forms/framework/record_window.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace tvtest {

class ActivityWindowsTest : public ShippedDatabasesTest {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new row of the table in its window, as the customer window's tab opens one.
    void openNew(const QString& table);
    template <typename T = QLineEdit>
    T* field(const char* name) const {
        return w->findChild<T*>(QString::fromLatin1(name));
    }
    // Types into a box (or a list's box) and leaves it.
    void type(const char* box, const QString& text) const;
    void click(const char* button) const { field<QPushButton>(button)->click(); }
    // Whether the window is still open once pending deletions have run.
    bool stillOpen();
    // "yyyy-mm-dd" of a date column of the customer (CUSTOMERS) or contact (CONTACTS) row.
    static QString dateOf(const QString& table, const QString& column);

    static inline const QString kCustomer = QStringLiteral("O'Brien & Söhne");
    QLabel status;
    QPointer<tv::forms::RecordWindow> w;
};

}  // namespace tvtest
