// The per-user settings store: string values addressed by application, section and key.
// Values live in QSettings' native format (an INI file in the user's config folder on
// Linux, the registry on Windows). Section and key names compare ignoring case, whatever
// the backing store does: "Exit On Save" and "Exit on Save" are one value, and a value is
// never stored twice under two spellings.
//
// Nothing here throws: a missing value yields the caller's default, and deleting a value
// that is not there does nothing. Settings are read from the store on every call, so two
// parts of the program (or two programs) never disagree about a value. Settings are used
// from the user-interface thread only.
#pragma once

#include <QString>

namespace tv {

// The application name every setting of the program is stored under.
inline const QString kAppName = QStringLiteral("Tolvarine");

// The stored text, or `defaultValue` when the value is absent. A value stored as the
// empty text is returned as the empty text, not as the default.
QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue);
// Creates or overwrites the value, reusing the spelling of a section or key that already
// exists in another letter case.
void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value);
// Removes the value under every spelling; the section goes when it becomes empty.
void DeleteSetting(const QString& app, const QString& section, const QString& key);

// Groups the writes made while it exists into one update of the backing file per
// application. Each lone SaveSetting rewrites and flushes the file, which is noticeable
// when a window saves dozens of values at once (the Options window, grid layouts). Reads
// inside the batch see the pending values. Batches nest; the outermost one writes.
class SettingsBatch {
public:
    SettingsBatch();
    ~SettingsBatch();
    SettingsBatch(const SettingsBatch&) = delete;
    SettingsBatch& operator=(const SettingsBatch&) = delete;
};

// Points the store at an INI file inside `folder` instead of the user's own settings, so
// that tests never read or change them (on Windows too, where the native store is the
// registry). An empty folder goes back to the user's store.
void setSettingsLocationForTests(const QString& folder);

}  // namespace tv
