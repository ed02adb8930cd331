// Shared by the lookup-table tests: reading one column of a code row, and a Countries
// table of generated codes "Code 00", "Code 01" ... for the matching tests.
#pragma once

#include "engine/engine.h"
#include "framework/framework_fixture.h"

namespace tvtest {

class LookupTest : public FrameworkTest {
protected:
    static QString codeColumn(const QString& table, const QString& keyColumn, const QString& key,
                              const QString& column) {
        return dataValue(QStringLiteral("SELECT [%1] FROM [%2] WHERE [%3] = %4")
                             .arg(column, table, keyColumn, tv::engine::quoteLiteral(key)));
    }
    static void fillCountries(int n) {
        QStringList statements{QStringLiteral("DELETE * FROM [Countries]")};
        for (int i = 0; i < n; ++i)
            statements << QStringLiteral("INSERT INTO [Countries] ([COUNTRY]) VALUES ('Code %1')")
                              .arg(i, 2, 10, QLatin1Char('0'));
        execData(statements);
    }
};

}  // namespace tvtest
