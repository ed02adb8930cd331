// The settings store over QSettings. QSettings compares names as the backing store does
// (case-sensitively in an INI file, ignoring case in the registry), so every lookup here
// lists the names that exist and matches them ignoring case itself. Names are also
// escaped, because QSettings reads '/' and '\' inside a name as a group separator.
#include "core/settings_store.h"

#include <QSettings>
#include <QStringList>
#include <QVariant>
#include <map>
#include <memory>

namespace tv {
namespace {

QString overrideFolder;  // empty: the user's own store

// While a SettingsBatch exists, one QSettings per application collects the writes; it
// writes the file when the outermost batch ends and the objects are dropped.
int batchDepth = 0;
std::map<QString, std::shared_ptr<QSettings>> batchStores;

// A section or key name as QSettings may hold it: '%', '/' and '\' percent-encoded, so
// that "Service/Sales" stays one name. Upper-case hex keeps the encoding unique, so
// encoded names can be compared ignoring case just like the plain ones.
QString encodeName(const QString& name) {
    QString out;
    out.reserve(name.size());
    for (QChar c : name) {
        if (c == u'%') {
            out += QStringLiteral("%25");
        } else if (c == u'/') {
            out += QStringLiteral("%2F");
        } else if (c == u'\\') {
            out += QStringLiteral("%5C");
        } else {
            out += c;
        }
    }
    return out;
}

std::shared_ptr<QSettings> newStore(const QString& app) {
    if (!overrideFolder.isEmpty()) {
        return std::make_shared<QSettings>(overrideFolder + u'/' + encodeName(app) + ".ini",
                                           QSettings::IniFormat);
    }
    return std::make_shared<QSettings>(QSettings::NativeFormat, QSettings::UserScope, kAppName,
                                       app);
}

std::shared_ptr<QSettings> openStore(const QString& app) {
    if (batchDepth == 0) return newStore(app);
    std::shared_ptr<QSettings>& shared = batchStores[app];
    if (!shared) shared = newStore(app);
    return shared;
}

// The names among `existing` that equal `wanted` ignoring case, the exact spelling first.
QStringList matchingNames(const QStringList& existing, const QString& wanted) {
    QStringList found;
    for (const QString& name : existing) {
        if (name.compare(wanted, Qt::CaseInsensitive) != 0) continue;
        if (name == wanted) {
            found.prepend(name);
        } else {
            found.append(name);
        }
    }
    return found;
}

// An INI value holding unquoted commas is read back as a list; the program only ever
// stores texts, so such a value (written by hand) is joined back into one text.
QString textOf(const QVariant& value) {
    if (value.typeId() == QMetaType::QStringList) return value.toStringList().join(u',');
    return value.toString();
}

}  // namespace

QString GetSetting(const QString& app, const QString& section, const QString& key,
                   const QString& defaultValue) {
    auto store = openStore(app);
    const QString wantedKey = encodeName(key);
    for (const QString& group : matchingNames(store->childGroups(), encodeName(section))) {
        store->beginGroup(group);
        const QStringList keys = matchingNames(store->childKeys(), wantedKey);
        const QString value = keys.isEmpty() ? QString() : textOf(store->value(keys.first()));
        store->endGroup();  // the store may be a batch's, shared with the next call
        if (!keys.isEmpty()) return value;
    }
    return defaultValue;
}

void SaveSetting(const QString& app, const QString& section, const QString& key,
                 const QString& value) {
    auto store = openStore(app);
    const QString wantedSection = encodeName(section);
    const QString wantedKey = encodeName(key);
    const QStringList groups = matchingNames(store->childGroups(), wantedSection);
    const QString group = groups.isEmpty() ? wantedSection : groups.first();

    // Keep the spelling already stored, and drop any second spelling of the same value
    // (left by an older version or a hand edit) so that readers cannot see two values.
    QString targetKey;
    for (const QString& g : groups) {
        store->beginGroup(g);
        for (const QString& k : matchingNames(store->childKeys(), wantedKey)) {
            if (g == group && targetKey.isEmpty()) {
                targetKey = k;
            } else {
                store->remove(k);
            }
        }
        store->endGroup();
    }
    store->beginGroup(group);
    store->setValue(targetKey.isEmpty() ? wantedKey : targetKey, value);
    store->endGroup();
}

void DeleteSetting(const QString& app, const QString& section, const QString& key) {
    auto store = openStore(app);
    const QString wantedKey = encodeName(key);
    for (const QString& group : matchingNames(store->childGroups(), encodeName(section))) {
        store->beginGroup(group);
        for (const QString& k : matchingNames(store->childKeys(), wantedKey)) store->remove(k);
        store->endGroup();
    }
}

SettingsBatch::SettingsBatch() { ++batchDepth; }

SettingsBatch::~SettingsBatch() {
    if (--batchDepth == 0) batchStores.clear();
}

void setSettingsLocationForTests(const QString& folder) {
    batchStores.clear();  // a batch's pending writes belong to the old location
    overrideFolder = folder;
}

}  // namespace tv
