#include "data/user_rights.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "engine/engine.h"

#include <sodium.h>

namespace tv::data {

namespace {

const QString kUsersTable = QStringLiteral("System Users");

// libsodium's interactive limits: about a tenth of a second and 64 MB for each check.
const unsigned long long kHashOps = crypto_pwhash_OPSLIMIT_INTERACTIVE;
const size_t kHashMemory = crypto_pwhash_MEMLIMIT_INTERACTIVE;

// A hash made with the limits above, of a password nobody can type. An unknown user id
// or a wrong readable password is checked against it, so that every refusal takes as
// long as a wrong password of a known user.
constexpr char kDecoyHash[] =
    "$argon2id$v=19$m=65536,t=2,p=1$grO5P/8m/gve9rEMkQMZrQ$vxz2/ulvvZg8UUQ5iHbUxht2SnnCwt+Mor8uQ78Rkdo";

// A command or window for administrators was asked for by another user.
constexpr int kMsgAdministratorsOnly = 9130;
// The sign-in went on, but the password stays readable in the file.
constexpr int kMsgPasswordNotProtected = 9131;

const char* const kAdministrationTables[] = {
    "System Users", "System User Access", "Field Definitions", "Form Captions",
    "Table Definitions", "Counters",
};

bool sodiumReady() {
    static const bool ready = sodium_init() >= 0;
    return ready;
}

// Compares two readable passwords without stopping at the first difference.
bool sameText(const QString& a, const QString& b) {
    const QByteArray x = a.toUtf8();
    const QByteArray y = b.toUtf8();
    return x.size() == y.size() && sodium_memcmp(x.constData(), y.constData(), x.size()) == 0;
}

bool needsRehash(const QString& hash) {
    return crypto_pwhash_str_needs_rehash(hash.toLatin1().constData(), kHashOps, kHashMemory) != 0;
}

// "System User Access", 0-based.
constexpr int kTableColumn = 1;
constexpr int kLevelColumn = 2;

// "System Users", 0-based.
constexpr int kPasswordColumn = 9;

}  // namespace

AccessEntry decodeAccessLevel(const QString& table, const tv::Variant& level) {
    AccessEntry entry;
    entry.TableName = table;
    if (level.isNull()) return entry;  // every right, as a missing row

    entry.CanAdd = entry.CanEdit = entry.CanDelete = entry.CanView = false;
    double c = tv::Val(tv::TextOf(level));
    if (c >= kDeleteRight) {
        entry.CanDelete = true;
        c -= kDeleteRight;
    }
    if (c >= kEditRight) {
        entry.CanEdit = true;
        c -= kEditRight;
    }
    if (c >= kAddRight) {
        entry.CanAdd = true;
        c -= kAddRight;
    }
    entry.CanView = c >= kViewRight;
    return entry;
}

int encodeAccessLevel(const AccessEntry& entry) {
    return (entry.CanDelete ? kDeleteRight : 0) + (entry.CanEdit ? kEditRight : 0) +
           (entry.CanAdd ? kAddRight : 0) + (entry.CanView ? kViewRight : 0);
}

std::vector<AccessEntry> readUserAccess(const QString& userId) {
    std::vector<AccessEntry> entries;
    engine::Recordset rs =
        OpenTable(QStringLiteral("SELECT * FROM [SYSTEM USER ACCESS] WHERE USERID = ") +
                  engine::quoteLiteral(userId));
    if (!rs.IsOpen()) return entries;
    // A row that cannot be read ends the list; the rows before it still count.
    (void)attempt([&] {
        for (; !rs.EOF_(); rs.MoveNext())
            entries.push_back(decodeAccessLevel(tv::TextOf(rs[kTableColumn]), rs[kLevelColumn]));
    });
    rs.Close();
    return entries;
}

bool isAdministrationTable(const QString& table) {
    for (const char* name : kAdministrationTables) {
        if (table.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) return true;
    }
    return false;
}

bool hasRight(const QString& table, int right) {
    const AppState& st = state();
    if (!st.IsAdministrator && isAdministrationTable(table)) return false;
    for (const AccessEntry& entry : st.UserAccess) {
        if (entry.TableName.compare(table, Qt::CaseInsensitive) != 0) continue;
        switch (right) {
            case kViewRight:
                return entry.CanView;
            case kAddRight:
                return entry.CanAdd;
            case kEditRight:
                return entry.CanEdit;
            case kDeleteRight:
                return entry.CanDelete;
            default:
                return false;
        }
    }
    return true;
}

bool requireAdministrator(const QString& what) {
    if (state().IsAdministrator) return true;
    ShowMessage(kMsgAdministratorsOnly, what);
    return false;
}

std::optional<QString> hashPassword(const QString& password) {
    if (!sodiumReady()) return std::nullopt;
    const QByteArray bytes = password.toUtf8();
    char hash[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(hash, bytes.constData(), static_cast<unsigned long long>(bytes.size()),
                          kHashOps, kHashMemory) != 0)
        return std::nullopt;
    return QString::fromLatin1(hash);
}

bool isPasswordHash(const QString& stored) {
    // libsodium writes "$argon2id$"; it also verifies the older "$argon2i$".
    return stored.startsWith(QLatin1String("$argon2id$")) ||
           stored.startsWith(QLatin1String("$argon2i$"));
}

bool passwordMatchesHash(const QString& password, const QString& hash) {
    if (!sodiumReady()) return false;
    const QByteArray bytes = password.toUtf8();
    return crypto_pwhash_str_verify(hash.toLatin1().constData(), bytes.constData(),
                                    static_cast<unsigned long long>(bytes.size())) == 0;
}

PasswordCheck checkUserPassword(const QString& userId, const QString& password) {
    engine::Recordset rs = OpenTable(kUsersTable);
    if (!rs.IsOpen()) return PasswordCheck::NoDatabase;

    bool found = false;
    tv::Variant stored;
    (void)attempt([&] {
        rs.Seek(QStringLiteral("="), tv::Variant(userId));
        if (rs.NoMatch()) return;
        stored = rs[kPasswordColumn];
        found = true;
    });

    PasswordCheck result = PasswordCheck::WrongPassword;
    bool protect = false;  // store the password's (new) hash
    if (!found) {
        (void)passwordMatchesHash(password, QLatin1String(kDecoyHash));
        result = PasswordCheck::UnknownUser;
    } else if (stored.isNull()) {
        result = PasswordCheck::Accepted;
    } else if (const QString text = tv::TextOf(stored); isPasswordHash(text)) {
        if (passwordMatchesHash(password, text)) {
            result = PasswordCheck::Accepted;
            protect = needsRehash(text);  // made with lower limits than today's
        }
    } else if (sameText(text, password)) {
        // Readable, as an older program stored it: accepted once more, then protected.
        result = PasswordCheck::Accepted;
        protect = true;
    } else {
        (void)passwordMatchesHash(password, QLatin1String(kDecoyHash));
    }

    if (protect) {
        const std::optional<QString> hash = hashPassword(password);
        std::optional<Failure> failed;
        if (hash) {
            failed = attempt([&] {
                rs.Edit();
                rs.FieldAt(kPasswordColumn).SetValue(tv::Variant(*hash));
                rs.Update();
            });
            if (failed) {
                (void)attempt([&] {
                    if (rs.EditModeNow() != engine::EditMode::None) rs.CancelUpdate();
                });
            }
        } else {
            failed = Failure{kUnexpectedError, QStringLiteral("The password could not be hashed.")};
        }
        if (failed) ShowMessage(kMsgPasswordNotProtected, errorTail(*failed));
    }
    (void)attempt([&] { rs.Close(); });
    if (result == PasswordCheck::Accepted) state().CurrentUserId = userId;
    return result;
}

}  // namespace tv::data
