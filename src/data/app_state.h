// The program-wide state: the open databases and their long-lived record sets, the
// signed-in user and the choices made at sign-in, the shared record buffer and the small
// arrays through which windows hand values to each other. One object, reached through
// state(), so that every layer reads the same values and tests can start from a clean one.
#pragma once

#include "engine/engine.h"

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace tv::data {

// The shared record buffer: one row as texts, element n holding the column with ordinal n.
// Indexing counts from 1 so that a control's ordinal addresses its element directly.
class FieldValueArray {
public:
    // Element n (1-based). Writing past the end grows the array, so a window that sets a
    // custom column the last load did not cover still has somewhere to put it.
    QString& operator()(int n);
    // Element n, or an empty text when n lies outside 1..size().
    QString operator()(int n) const;
    QString value(int n) const { return (*this)(n); }

    int size() const { return static_cast<int>(values_.size()); }
    // New elements are empty; elements past n are dropped.
    void resize(int n);
    void clear() { values_.clear(); }

    // Element 1 first.
    QStringList toList() const;
    void assign(const QStringList& values);

private:
    std::vector<QString> values_;
};

// One table's rights for the signed-in user.
struct AccessEntry {
    QString TableName;  // display name
    bool CanAdd = true;
    bool CanEdit = true;
    bool CanDelete = true;
    bool CanView = true;
};

// A table whose rows are restricted to the signed-in user in workflow mode.
struct WorkflowColumn {
    QString TableName;
    QString ColumnName;
};

// What deleting one row does to the rows that refer to it. Whatever must be asked is asked
// while the cascade is prepared, before anything is locked; `apply` then runs inside the
// delete's transaction and throws engine::DbError to have the whole delete rolled back;
// `afterCommit` does what no rollback could undo (removing a file), once the row is gone.
// Either may be empty.
struct DeleteCascade {
    std::function<void()> apply;
    std::function<void()> afterCommit;
};

// Mouse pointer codes used with the prompter's setPointer.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;
inline constexpr int kPointerCustom = 99;

struct AppState {
    AppState() = default;
    AppState(const AppState&) = delete;
    AppState& operator=(const AppState&) = delete;

    // Database locations (folders without the file name).
    QString DefinitionsLocation;
    QString DataLocation;
    // The setting "Files Location", read at sign-in: where a site on a database server
    // keeps its pictures, report files and attachments (see siteFilesFolder).
    QString FilesLocation;
    // Whether the missing files folder of a server site has been told this sign-in.
    bool FilesFolderReported = false;

    // The definitions database and the three tables kept open for the whole run, each with
    // its index set to "PrimaryKey".
    engine::Database DefinitionsDb;
    engine::Recordset FormCaptionsRs;
    engine::Recordset MessagesRs;
    engine::Recordset FieldDefinitionsRs;

    // The data database, opened on first use; DataOpen stays false after a failed open so
    // that the next table access tries again.
    engine::Database DataDb;
    bool DataOpen = false;

    // Set at sign-in.
    QString CurrentUserId;
    QString ApplicationName;
    int WindowPlacementMode = 0;
    int BusyPointer = kPointerHourglass;
    QString BusyIconPath;

    // The copy of the "EmailType" setting; 0 is the internal post office.
    int MailCheckMode = 0;

    FieldValueArray FieldValues;
    // Set by whoever opens a record window, just before opening it: 1 the window will show
    // a new row, 2 an existing one (the window copies it into its LocalEditMode).
    std::int16_t PendingEditMode = 0;
    // Values handed to a modal window and back (elements 0 to 4).
    std::array<QString, 5> SharedValues;

    // Filled on the main window's first activation. An empty list means full access.
    std::vector<AccessEntry> UserAccess;
    // The signed-in user's flags from "System Users", read on the same activation (the
    // workflow flag turns WorkflowMode on).
    bool IsAdministrator = false;
    bool HasBillingAccess = false;

    // Workflow mode: while on, every source opened through OpenTable is first passed to
    // ApplyWorkflowFilter (installed by the definitions catalogue).
    bool WorkflowMode = false;
    std::vector<WorkflowColumn> WorkflowColumns;
    std::function<QString(const QString& source)> ApplyWorkflowFilter;

    // Deletion cascade, asked for by DeleteRecord once the row is found (installed by the
    // business rules). None installed: nothing else is touched.
    std::function<DeleteCascade(const QString& table, const QString& key1, const QString& key2,
                                const QString& key3)>
        BeforeDelete;

    // Closes the databases and record sets and puts every value back to its start-up
    // default, hooks included. For tests, and for a fresh sign-in.
    void reset();
};

// The one program-wide state object.
AppState& state();

}  // namespace tv::data
