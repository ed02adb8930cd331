#include "forms/framework/lookup_codes.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/locations.h"

#include <QDir>
#include <QFileInfo>

namespace tv::forms {

namespace {

const QString kLookupTables = QStringLiteral("Lookup Tables");
const QString kPrimaryKey = QStringLiteral("PrimaryKey");
// Its third column is the zone's UTC offset, which a colour must never overwrite.
const QString kTimeZones = QStringLiteral("Time Zones");

constexpr int kColourColumn = 2;
constexpr int kPictureColumn = 3;
constexpr int kSaveFailedMessage = 195;

}  // namespace

bool lookupFlag(const tv::Variant& value) {
    return tv::Format(value, QStringLiteral("True/False")) != QLatin1String("False");
}

std::vector<LookupTableEntry> ReadLookupTables() {
    std::vector<LookupTableEntry> entries;
    engine::Recordset rs = data::OpenTable(kLookupTables, data::kDefinitionsDb);
    if (!rs.IsOpen()) return entries;
    // A read error ends the list with the rows read so far.
    (void)data::attempt([&] {
        rs.SetIndex(kPrimaryKey);
        while (!rs.EOF_() && !rs.BOF()) {
            entries.push_back(
                {tv::TextOf(rs[0]), tv::TextOf(rs[1]), lookupFlag(rs[2]), lookupFlag(rs[3])});
            rs.MoveNext();
        }
    });
    rs.Close();
    return entries;
}

QString pictureFolder() {
    QString folder = data::siteFilesFolder();
    if (folder.isEmpty()) return QString();
    folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
    if (!folder.endsWith(QLatin1Char('/'))) folder += QLatin1Char('/');
    return folder + QStringLiteral("Pictures/");
}

QStringList pictureFiles() {
    const QString folder = pictureFolder();
    if (folder.isEmpty()) return {};
    return QDir(folder)
        .entryList({QStringLiteral("*.bmp")}, QDir::Files, QDir::Name | QDir::IgnoreCase);
}

QString existingPicture(const QString& name) {
    const QString folder = pictureFolder();
    if (name.trimmed().isEmpty() || folder.isEmpty()) return {};
    const QFileInfo file(folder + name);
    return file.isFile() ? file.filePath() : QString();
}

std::uint32_t storedColour(const QString& table, const QString& code) {
    const double value = tv::Val(data::GetFieldText(table, code, QString(), kColourColumn));
    return value > 0 ? static_cast<std::uint32_t>(value) : 0;
}

std::int16_t SaveLookupCode(const QString& table, const QString& code, const QString& description,
                            std::uint32_t colour, const QString& picture, int editMode,
                            const QString& oldCode) {
    engine::Recordset rs = data::OpenTable(table, data::kDataDb);
    if (!rs.IsOpen()) return 0;  // OpenTable has said why

    const std::optional<data::Failure> failed = data::attempt([&] {
        rs.SetIndex(kPrimaryKey);
        bool existing = false;
        if (editMode == 2) {
            rs.Seek(QStringLiteral("="), tv::Variant(oldCode));
            existing = !rs.NoMatch();
        }
        if (existing)
            rs.Edit();
        else
            rs.AddNew();
        // An empty code is Null, which the key column refuses with the engine's own words.
        rs.FieldAt(0).SetValue(code.isEmpty() ? tv::Variant() : tv::Variant(code));
        rs.FieldAt(1).SetValue(description.isEmpty() ? tv::Variant() : tv::Variant(description));
        const int columns = rs.FieldCount();
        if (columns > kColourColumn && table.compare(kTimeZones, Qt::CaseInsensitive) != 0) {
            rs.FieldAt(kColourColumn).SetValue(tv::Variant(static_cast<std::int32_t>(colour)));
            if (columns > kPictureColumn) {
                rs.FieldAt(kPictureColumn)
                    .SetValue(picture.isEmpty() ? tv::Variant() : tv::Variant(picture));
            }
        }
        rs.Update();
    });
    if (failed) {
        // The pending edit holds the write lock: give it up before the box waits for a person.
        (void)data::attempt([&] {
            if (rs.EditModeNow() != engine::EditMode::None) rs.CancelUpdate();
        });
        rs.Close();
        data::ShowMessage(kSaveFailedMessage,
                          QStringLiteral("\n\n") + failed->text + QStringLiteral(" (") +
                              QString::number(failed->number) + QStringLiteral(")."));
        return 0;
    }
    rs.Close();
    return -1;
}

std::optional<LookupRows> matchLookupRows(engine::Recordset& rs, int column, const QString& text,
                                          int limit) {
    LookupRows found;
    bool positioned = false;
    const std::optional<data::Failure> failed = data::attempt([&] {
        if (rs.Type() == engine::RecordsetType::Table) {
            rs.Seek(QStringLiteral(">="), tv::Variant(text));
        } else {
            // A query result cannot seek: the first row in its own order whose column
            // compares at or after the text (the engine's comparison, ignoring case).
            rs.FindFirst(QStringLiteral("[%1] >= %2")
                             .arg(rs.FieldAt(column).Name(), engine::quoteLiteral(text)));
        }
        if (rs.NoMatch()) return;
        positioned = true;
        const QString wanted = text.toUpper();
        while (found.rows.size() < limit && !rs.EOF_()) {
            const QString value = tv::TextOf(rs[column]);
            found.rows.append(value);
            if (value.left(text.size()).toUpper() == wanted) ++found.matches;
            rs.MoveNext();
        }
    });
    if (!positioned) return std::nullopt;
    // A read error part way keeps the rows read so far.
    (void)failed;
    return found;
}

bool lookupValueExists(engine::Recordset& rs, const QString& value) {
    bool found = false;
    (void)data::attempt([&] {
        if (rs.Type() == engine::RecordsetType::Table) {
            rs.Seek(QStringLiteral("="), tv::Variant(value));
        } else {
            rs.FindFirst(
                QStringLiteral("[%1]=%2").arg(rs.FieldAt(0).Name(), engine::quoteLiteral(value)));
        }
        found = !rs.NoMatch();
    });
    return found;
}

}  // namespace tv::forms
