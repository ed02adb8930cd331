// Every setting the program reads or writes, with its section, key name, the conversion
// its readers apply and its default, in one place. Code reads a setting through these
// descriptions (Setting(keys::DataLocation), SettingInt(keys::ExitOnSave("Quotations")))
// rather than repeating names and defaults at each call.
#pragma once

#include "core/settings_store.h"

#include <QString>
#include <QStringList>
#include <cstdint>

namespace tv {

// The conversion readers apply to the stored text.
enum class SettingType {
    String,   // as stored
    Integer,  // 16-bit signed
    Long,     // 32-bit signed
    Boolean,  // "True"/"False" or a number, non-zero meaning true
};

struct SettingKey {
    QString section;
    QString key;
    SettingType type = SettingType::String;
    QString defaultValue;
};

// The folder the databases live in when no location is stored: c:\Tolvarine\Database on
// Windows, ~/Tolvarine/Database elsewhere.
QString defaultDatabaseFolder();

// The fixed section of global preferences.
inline const QString kOptionsSection = QStringLiteral("Options");

namespace keys {

// Section "Options".
extern const SettingKey DefinitionsLocation;
extern const SettingKey DataLocation;
extern const SettingKey PostOffice;
// The folder of a server site's pictures, report files and attachments (a folder site
// keeps them in its data folder). Empty by default.
extern const SettingKey FilesLocation;
extern const SettingKey UserId;
extern const SettingKey ApplicationName;
extern const SettingKey StartFormsAtTop;
extern const SettingKey ShowTipsAtStartup;
extern const SettingKey AutoloadToDoList;
extern const SettingKey AutoUnloadSend;
extern const SettingKey PrintPreview;
extern const SettingKey ServiceProductCode;
extern const SettingKey BillActivities;
extern const SettingKey CalculateTaxOnCost;
extern const SettingKey EmailType;
extern const SettingKey SimpleEmailAddress;
extern const SettingKey EnvelopePrinter;
extern const SettingKey EnvelopeDefinition;

// Per table, the section being the table's display name ("Sales Orders").
SettingKey ExitOnSave(const QString& table);
SettingKey DescendingSort(const QString& table);

// Remembered position and size of a list window, in twips; the section is the window key.
SettingKey ListTop(const QString& window);
SettingKey ListLeft(const QString& window);
SettingKey ListWidth(const QString& window);
SettingKey ListHeight(const QString& window);
// Remembered position and size of a record window, in twips. "Help Form" keeps Long values
// with -1 meaning "never placed"; every other window keeps Integers defaulting to 0.
SettingKey FormTop(const QString& window);
SettingKey FormLeft(const QString& window);
SettingKey FormWidth(const QString& window);
SettingKey FormHeight(const QString& window);

// A grid's layout; the section is the grid key.
SettingKey GridWidths(const QString& grid);
SettingKey GridOrder(const QString& grid);
SettingKey GridRowHeight(const QString& grid);

}  // namespace keys

// The display names of the tables whose record windows honour "Exit On Save", in the
// order the Options window lists them: the tables TABLE DEFINITIONS marks FORMCLOSE, by
// the display name each record window reads its section under (its tableName()).
const QStringList& exitOnSaveTables();

// Reading and writing through a description, under kAppName.
// Setting: the stored text or the default. SettingInt: the value as its type's reader
// converts it (Integer: 16-bit, Long: 32-bit, Boolean: -1/0); a stored text that does
// not convert throws tv::ConversionError, as the classic reader raises its error.
// SettingBool: non-zero (or "True") is true; same conversion error.
QString Setting(const SettingKey& key);
std::int32_t SettingInt(const SettingKey& key);
bool SettingBool(const SettingKey& key);
void SaveSetting(const SettingKey& key, const QString& value);
void DeleteSetting(const SettingKey& key);

}  // namespace tv
