#include "messaging/filing.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/activity_log.h"
#include "data/app_state.h"
#include "data/locations.h"
#include "data/prompter.h"
#include "messaging/attachment_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>

namespace tv::messaging {

namespace {

constexpr int kCustomerNotFound = 955;
constexpr int kSecondsToTry = 3600;

// ACTIVITIES ordinals, counted from 1 as FieldValues holds them.
constexpr int kActCustomer = 1, kActWhen = 2, kActType = 3, kActDescription = 4, kActUser = 5,
              kActContact = 6, kActDuration = 9, kActCost = 11, kActNotes = 13, kActColumns = 17;
// CUSTOMER ATTACHMENTS ordinals, from 1.
constexpr int kAttCustomer = 1, kAttWhen = 2, kAttUser = 3, kAttDescription = 4, kAttPath = 5,
              kAttContact = 6, kAttColumns = 7;

QString dateText(tv::DateTime when) {
    return tv::Format(tv::Variant(when), QStringLiteral("yyyy-mm-dd hh:nn:ss"));
}

// The first second from `start` on at which the customer has no row in the table.
tv::DateTime freeSecond(const QString& table, const QString& customer, tv::DateTime start) {
    tv::DateTime when{std::floor(start.serial * 86400.0 + 0.5) / 86400.0};
    engine::Recordset rs = data::OpenTable(table);
    if (!rs.IsOpen()) return when;
    for (int i = 0; i < kSecondsToTry; ++i) {
        if (!data::SeekRecord(rs, customer, dateText(when), QString())) break;
        when = tv::DateAddSeconds(when, 1);
    }
    rs.Close();
    return when;
}

// A name not yet used in the folder: "Plan.pdf", else "Plan (2).pdf", "Plan (3).pdf" ...
QString freeName(const QDir& folder, const QString& name) {
    if (!folder.exists(name)) return name;
    const QFileInfo info(name);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate = QStringLiteral("%1 (%2)%3").arg(base).arg(n).arg(suffix);
        if (!folder.exists(candidate)) return candidate;
    }
}

}  // namespace

QString FiledActivityType(const QString& sentVia) {
    const QString via = sentVia.trimmed().toUpper();
    if (via == QLatin1String("FAX")) return QStringLiteral("Fax");
    if (via == QLatin1String("INTERNET")) return QStringLiteral("Internet Email");
    return QStringLiteral("Local Email");
}

bool FileMessage(const MessageToFile& message, QStringList* filed, QStringList* missing) {
    data::AppState& st = data::state();
    const data::FieldValueArray kept = st.FieldValues;
    if (message.customer.trimmed().isEmpty() ||
        !data::LoadRecord(QStringLiteral("Customers"), message.customer)) {
        st.FieldValues = kept;
        data::ShowMessage(kCustomerNotFound);
        return false;
    }

    const QString type = FiledActivityType(message.sentVia);
    const std::optional<data::ActivityLogOption> option = data::ReadLogOption(data::kLogSend, type);
    const tv::DateTime when = freeSecond(QStringLiteral("Activities"), message.customer,
                                         message.received);
    data::FieldValueArray& v = st.FieldValues;
    v.clear();
    v.resize(kActColumns);
    v(kActCustomer) = message.customer;
    v(kActWhen) = dateText(when);
    v(kActType) = option ? option->activityType : type;
    v(kActDescription) = message.subject.left(255);
    v(kActUser) = st.CurrentUserId;
    v(kActContact) = message.contact;
    if (option) {
        v(kActDuration) = option->duration;
        v(kActCost) = option->cost;
    }
    v(kActNotes) = message.body;
    if (!data::AddRecord(QStringLiteral("Activities"))) {
        st.FieldValues = kept;
        return false;
    }

    // A server site without its files folder (told once) keeps no copies: the
    // attachments count as missing, the activity stays.
    const QString files = message.attachments.isEmpty() ? QString() : data::siteFilesFolder(true);
    const QDir folder(files + QStringLiteral("/Attachments"));
    for (const QString& path : message.attachments) {
        const QString bare = TempFileName(path);
        if (files.isEmpty() || bare.isEmpty() || !QFileInfo(path).isFile()) {
            if (missing) *missing << path;
            continue;
        }
        if (!folder.exists()) QDir().mkpath(folder.path());
        const QString name = freeName(folder, bare);
        if (!QFile::copy(path, folder.filePath(name))) {
            if (missing) *missing << path;
            continue;
        }
        v.clear();
        v.resize(kAttColumns);
        v(kAttCustomer) = message.customer;
        v(kAttWhen) = dateText(freeSecond(QStringLiteral("Customer Attachments"),
                                          message.customer, when));
        v(kAttUser) = st.CurrentUserId;
        v(kAttDescription) = QStringLiteral("Message attachment");
        v(kAttPath) = QStringLiteral("Attachments/") + name;
        v(kAttContact) = message.contact;
        if (data::AddRecord(QStringLiteral("Customer Attachments")) && filed) *filed << name;
    }
    st.FieldValues = kept;
    return true;
}

}  // namespace tv::messaging
