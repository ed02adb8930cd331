// Tests of the administration windows over fresh copies of the shipped databases, with a
// status panel standing in for the main window's so that status messages can be read.
#pragma once

#include "common/data/shipped_fixture.h"

#include <QLabel>
#include <QString>
#include <memory>

namespace tvtest {

class AdminFormsTest : public ShippedDatabasesTest {
protected:
    void SetUp() override;
    void TearDown() override;

    QString statusText() const { return status->text(); }

    // A user's stored level on a table: empty for Null, "<none>" without a row.
    static QString storedLevel(const QString& userId, const QString& table);
    static int accessRowCount(const QString& userId);

    std::unique_ptr<QLabel> status;
};

}  // namespace tvtest
