// The description of one field of a record set or table: what Field reports, and where
// an edit writes it.
#pragma once

#include "engine/engine.h"

#include <QString>

namespace tv::engine {

struct FieldInfo {
    QString name;
    FieldType type = FieldType::Memo;
    int size = 0;
    bool required = false;
    bool allowZeroLength = true;
    bool autoIncrement = false;
    int tableColumn = -1;        // column of the updatable table; -1 for a computed value
    bool typeFromValue = false;  // an expression: the type is read from the first row
};

}  // namespace tv::engine
