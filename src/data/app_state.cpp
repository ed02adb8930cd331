#include "data/app_state.h"

namespace tv::data {

QString& FieldValueArray::operator()(int n) {
    if (n < 1) {
        // Ordinal 0 and below address nothing; a scratch element keeps the caller's write
        // harmless instead of corrupting element 1.
        static thread_local QString scratch;
        scratch.clear();
        return scratch;
    }
    if (n > size()) values_.resize(static_cast<size_t>(n));
    return values_[static_cast<size_t>(n - 1)];
}

QString FieldValueArray::operator()(int n) const {
    if (n < 1 || n > size()) return QString();
    return values_[static_cast<size_t>(n - 1)];
}

void FieldValueArray::resize(int n) { values_.resize(static_cast<size_t>(n < 0 ? 0 : n)); }

QStringList FieldValueArray::toList() const {
    QStringList out;
    out.reserve(size());
    for (const QString& v : values_) out.append(v);
    return out;
}

void FieldValueArray::assign(const QStringList& values) {
    values_.assign(values.begin(), values.end());
}

void AppState::reset() {
    // Record sets first: they belong to the databases closed after them.
    FormCaptionsRs.Close();
    MessagesRs.Close();
    FieldDefinitionsRs.Close();
    DefinitionsDb.Close();
    DataDb.Close();
    FormCaptionsRs = engine::Recordset();
    MessagesRs = engine::Recordset();
    FieldDefinitionsRs = engine::Recordset();
    DefinitionsDb = engine::Database();
    DataDb = engine::Database();

    DefinitionsLocation.clear();
    DataLocation.clear();
    FilesLocation.clear();
    FilesFolderReported = false;
    DataOpen = false;
    CurrentUserId.clear();
    ApplicationName.clear();
    WindowPlacementMode = 0;
    BusyPointer = kPointerHourglass;
    BusyIconPath.clear();
    MailCheckMode = 0;
    FieldValues.clear();
    PendingEditMode = 0;
    SharedValues.fill(QString());
    UserAccess.clear();
    IsAdministrator = false;
    HasBillingAccess = false;
    WorkflowMode = false;
    WorkflowColumns.clear();
    ApplyWorkflowFilter = nullptr;
    BeforeDelete = nullptr;
}

AppState& state() {
    static AppState s;
    return s;
}

}  // namespace tv::data
