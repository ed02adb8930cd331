// setting: reads, writes or deletes one per-user setting, the way the program does
// (names compared ignoring case). Used by run.sh to learn and set the data folder.
#include "commands.h"
#include "console.h"
#include "core/settings_keys.h"

namespace tv::admin {
namespace {

// The default a program reader would pass for a known key; empty for unknown keys.
QString knownDefault(const QString& section, const QString& key) {
    const SettingKey* known[] = {
        &keys::DefinitionsLocation, &keys::DataLocation,
        &keys::PostOffice,          &keys::UserId,
        &keys::ApplicationName,     &keys::StartFormsAtTop,
        &keys::ShowTipsAtStartup,   &keys::AutoloadToDoList,
        &keys::AutoUnloadSend,      &keys::PrintPreview,
        &keys::ServiceProductCode,  &keys::BillActivities,
        &keys::CalculateTaxOnCost,  &keys::EmailType,
        &keys::SimpleEmailAddress,  &keys::EnvelopePrinter,
        &keys::EnvelopeDefinition,  &keys::FilesLocation,
    };
    for (const SettingKey* k : known) {
        if (k->section.compare(section, Qt::CaseInsensitive) == 0 &&
            k->key.compare(key, Qt::CaseInsensitive) == 0) {
            return k->defaultValue;
        }
    }
    return QString();
}

}  // namespace

int runSetting(const QStringList& args) {
    if (!args.isEmpty() && args[0] == QLatin1String("--delete")) {
        if (args.size() != 3) return usageError(QStringLiteral("setting --delete SECTION KEY"));
        DeleteSetting(kAppName, args[1], args[2]);
        return kExitOk;
    }
    if (args.size() == 2) {
        out() << GetSetting(kAppName, args[0], args[1], knownDefault(args[0], args[1])) << Qt::endl;
        return kExitOk;
    }
    if (args.size() == 3) {
        SaveSetting(kAppName, args[0], args[1], args[2]);
        return kExitOk;
    }
    return usageError(QStringLiteral("setting SECTION KEY [VALUE]"));
}

}  // namespace tv::admin
