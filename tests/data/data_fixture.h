// Small databases for the access layer's tests: definitions holding the messages the layer
// shows, data with keys of one text, a text and a date, three columns, and a whole number.
#pragma once

#include "common/data/scripted_prompter.h"
#include "common/test_backend.h"
#include "data/app_state.h"
#include "engine/engine.h"

#include <gtest/gtest.h>
#include <QStringList>

namespace tvtest {

class DataLayerTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    QString dataPath() const { return folder.file("Data.mdb"); }
    QString definitionsPath() const { return folder.file("Definitions.mdb"); }

    // Statements and queries on a database file opened apart from the layer's own handles.
    void execOn(const QString& path, const QStringList& statements);
    void execData(const QStringList& statements) { execOn(dataPath(), statements); }
    // The first column of every row of a data-database query, as texts; the first row with
    // its columns joined by "|" ("<none>" when there is no row).
    QStringList column(const QString& sql);
    QString row(const QString& sql);

    ScratchSite folder;  // a folder, or a site database on the server
    ScriptedPrompter ask;
};

// The messages the fixture's catalogue holds; each text is "Text <n>." and each title
// "Title <n>", so a test can tell which message was shown.
inline constexpr int kCatalogue[] = {2, 11, 13, 101, 102, 105, 106, 107, 194, 9000, 9040};

}  // namespace tvtest
