// Window tests over fresh copies of the shipped databases, with helpers that change the
// definitions the way an administrator's windows do (rows written through the engine
// while the program keeps its definitions record sets open) and add custom columns to
// data tables at run time.
#pragma once

#include "common/data/shipped_fixture.h"
#include "engine/engine.h"

#include <QString>
#include <QVariant>
#include <vector>

namespace tvtest {

struct NewColumn {
    QString name;
    tv::engine::FieldType type = tv::engine::FieldType::Text;
    int size = 0;
};

class FrameworkTest : public ShippedDatabasesTest {
protected:
    void TearDown() override;

    // Inserts or replaces a FORM CAPTIONS row; an empty tool tip is stored as Null.
    static void setCaption(const QString& window, const QString& tag, const QString& caption,
                           const QString& toolTip = QString(), bool hidden = false);
    // Inserts or replaces a FIELD DEFINITIONS row of a table display name and ordinal.
    static void setFieldDefinition(const QString& table, int ordinal, const QString& label,
                                   const QString& toolTip = QString(), bool hidden = false);
    // Appends columns to a data table through the engine's table definition.
    static void addColumns(const QString& table, const std::vector<NewColumn>& columns);
    // The number of columns of a data table.
    static int columnCount(const QString& table);
};

}  // namespace tvtest
