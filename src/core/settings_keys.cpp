// The table of settings. Defaults are texts, as the store hands values back; readers
// convert them with the runtime's conversions so that a bad stored value fails the same
// way whether it came from the store or from the default.
#include "core/settings_keys.h"

#include "core/convert.h"
#include "core/variant.h"

#include <QDir>

namespace tv {

QString defaultDatabaseFolder() {
#ifdef Q_OS_WIN
    return QStringLiteral("c:\\Tolvarine\\Database");
#else
    return QDir::homePath() + QStringLiteral("/Tolvarine/Database");
#endif
}

namespace keys {
namespace {

SettingKey option(const char* key, SettingType type, const QString& defaultValue) {
    return SettingKey{kOptionsSection, QString::fromUtf8(key), type, defaultValue};
}

const QString kHelpForm = QStringLiteral("Help Form");

// The help window alone keeps its geometry as Long values with -1 for "never placed".
SettingKey formGeometry(const QString& window, const char* key) {
    const bool help = window.compare(kHelpForm, Qt::CaseInsensitive) == 0;
    return SettingKey{window, QString::fromUtf8(key),
                      help ? SettingType::Long : SettingType::Integer,
                      help ? QStringLiteral("-1") : QStringLiteral("0")};
}

SettingKey integerZero(const QString& section, const char* key) {
    return SettingKey{section, QString::fromUtf8(key), SettingType::Integer, QStringLiteral("0")};
}

}  // namespace

const SettingKey DefinitionsLocation =
    option("Definitions Location", SettingType::String, defaultDatabaseFolder());
const SettingKey DataLocation =
    option("Data Location", SettingType::String, defaultDatabaseFolder());
const SettingKey PostOffice = option("PostOffice", SettingType::String, QString());
const SettingKey FilesLocation = option("Files Location", SettingType::String, QString());
const SettingKey UserId = option("User Id", SettingType::String, QString());
const SettingKey ApplicationName = option("Application Name", SettingType::String, QString());
const SettingKey StartFormsAtTop = option("Start Forms at Top", SettingType::Integer, "0");
const SettingKey ShowTipsAtStartup = option("Show Tips at Startup", SettingType::Integer, "1");
const SettingKey AutoloadToDoList = option("Autoload To Do List", SettingType::Integer, "0");
const SettingKey AutoUnloadSend = option("Auto Unload Send", SettingType::Integer, "0");
const SettingKey PrintPreview = option("Print Preview", SettingType::Integer, "0");
const SettingKey ServiceProductCode = option("Service Product Code", SettingType::String, {});
const SettingKey BillActivities = option("Bill Activities", SettingType::String, "0");
const SettingKey CalculateTaxOnCost = option("Calculate Tax On Cost", SettingType::Boolean, "0");
const SettingKey EmailType = option("EmailType", SettingType::Integer, "0");
const SettingKey SimpleEmailAddress = option("SimpleEmailAddress", SettingType::Boolean, "False");
const SettingKey EnvelopePrinter = option("Envelope Printer", SettingType::String, QString());
const SettingKey EnvelopeDefinition = option("Envelope Definition", SettingType::String, QString());

SettingKey ExitOnSave(const QString& table) { return integerZero(table, "Exit On Save"); }
SettingKey DescendingSort(const QString& table) { return integerZero(table, "Descending Sort"); }

SettingKey ListTop(const QString& window) { return integerZero(window, "List Top"); }
SettingKey ListLeft(const QString& window) { return integerZero(window, "List Left"); }
SettingKey ListWidth(const QString& window) { return integerZero(window, "List Width"); }
SettingKey ListHeight(const QString& window) { return integerZero(window, "List Height"); }

SettingKey FormTop(const QString& window) { return formGeometry(window, "Form Top"); }
SettingKey FormLeft(const QString& window) { return formGeometry(window, "Form Left"); }
SettingKey FormWidth(const QString& window) { return formGeometry(window, "Form Width"); }
SettingKey FormHeight(const QString& window) { return formGeometry(window, "Form Height"); }

SettingKey GridWidths(const QString& grid) {
    return SettingKey{grid, QStringLiteral("Widths"), SettingType::String, QString()};
}
SettingKey GridOrder(const QString& grid) {
    return SettingKey{grid, QStringLiteral("Order"), SettingType::String, QString()};
}
SettingKey GridRowHeight(const QString& grid) { return integerZero(grid, "RowHeight"); }

}  // namespace keys

const QStringList& exitOnSaveTables() {
    static const QStringList tables = {
        "Activities",
        "Contacts",
        "Current Requests",
        "Customer Attachments",
        "Customer Care Plans",
        "Customer Feedback",
        "Customer Inventory",
        "Document List",
        "Field Definitions",
        "Form Captions",
        "Form Letters",
        "Known Problems",
        "Products",
        "Projects",
        "Purchase Orders",
        "Quotations",
        "Report Definitions",
        "RMAs",
        "Sales Campaigns",
        "Sales Opportunities",
        "Sales Orders",
        "Scheduled Activities",
        "Scripts",
        "Service Contracts",
        "Suppliers",
        "System Users",
    };
    return tables;
}

QString Setting(const SettingKey& key) {
    return GetSetting(kAppName, key.section, key.key, key.defaultValue);
}

std::int32_t SettingInt(const SettingKey& key) {
    const Variant stored(Setting(key));
    switch (key.type) {
        case SettingType::Integer:
            return CInt(stored);
        case SettingType::Boolean:
            return CBool(stored) ? -1 : 0;
        case SettingType::Long:
        case SettingType::String:
            break;
    }
    return CLng(stored);
}

bool SettingBool(const SettingKey& key) { return CBool(Variant(Setting(key))); }

void SaveSetting(const SettingKey& key, const QString& value) {
    SaveSetting(kAppName, key.section, key.key, value);
}

void DeleteSetting(const SettingKey& key) { DeleteSetting(kAppName, key.section, key.key); }

}  // namespace tv
