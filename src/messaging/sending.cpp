// Writing messages into the post office: local delivery to a user's inbox, queueing an
// outbound message, and taking a queued one back. A message row is written first, then its
// attachment rows, each followed by the copy of its file into the Temp folder; a reader
// that sees HASATTACHMENTS before the rows exist simply lists fewer attachments.
#include "core/convert.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "messaging/attachment_files.h"
#include "messaging/msg_client.h"
#include "messaging/post_office_session.h"

#include <QDebug>
#include <QFileInfo>
#include <functional>

namespace tv::messaging {

namespace {

using detail::PostOfficeSession;

// Column ordinals of INBOX.
namespace inbox {
constexpr int kReceived = 1, kToName = 2, kToAddress = 3, kUserId = 4, kFromName = 5, kCompany = 6,
              kFromAddress = 7, kSentVia = 8, kSubject = 9, kMessageText = 10, kHasAttachments = 11,
              kStatus = 12;
}
// Column ordinals of OUTBOX.
namespace outbox {
constexpr int kSent = 1, kOutRef = 2, kPriority = 3, kUserId = 4, kFromName = 5, kToContact = 6,
              kCompany = 7, kToAddress = 8, kSendVia = 9, kSubject = 10, kMessageText = 11,
              kHasAttachments = 12, kStatus = 13;
}
// Column ordinals of INBOX ATTACHMENTS and OUTBOX ATTACHMENTS.
constexpr int kAttachMsgNo = 0, kAttachNo = 1, kAttachFileName = 2;

const QString kLocal = QStringLiteral("Local");

// An empty text is stored as Null, as the data layer stores it.
tv::Variant text(const QString& value) {
    return value.isEmpty() ? tv::Variant() : tv::Variant(value);
}

void put(engine::Recordset& rs, int ordinal, const tv::Variant& value) {
    rs.FieldAt(ordinal).SetValue(value);
}

void cancelPending(engine::Recordset& rs) {
    if (rs.EditModeNow() != engine::EditMode::None) rs.CancelUpdate();
}

// Adds a row filled by `fill` and returns the number the database gave it (column 0).
std::int32_t addMessageRow(engine::Recordset& rs, const std::function<void()>& fill) {
    rs.AddNew();
    try {
        fill();
        rs.Update();
    } catch (...) {
        cancelPending(rs);
        throw;
    }
    rs.SetBookmark(rs.LastModified());
    return tv::CLng(rs[0]);
}

// A row (msgNo, attachNo) may be left over from a deleted message whose number has been
// given out again: its file name is replaced.
void writeAttachmentRow(engine::Recordset& rows, std::int32_t msgNo, int attachNo,
                        const QString& name) {
    const tv::Variant number(msgNo);
    const tv::Variant position(static_cast<std::int16_t>(attachNo));
    try {
        rows.AddNew();
        put(rows, kAttachMsgNo, number);
        put(rows, kAttachNo, position);
        put(rows, kAttachFileName, tv::Variant(name));
        rows.Update();
    } catch (const engine::DbError& e) {
        cancelPending(rows);
        if (e.number() != engine::err::kDuplicateKey) throw;
        rows.Seek(QStringLiteral("="), number, position);
        if (rows.NoMatch()) throw;
        rows.Edit();
        put(rows, kAttachFileName, tv::Variant(name));
        rows.Update();
    }
}

enum class Attached { All, Abandoned };

// Rows and copies for attachments 1..n. A path with no file behind it is skipped, keeping
// its number unused. A copy that fails asks message 501; Yes abandons the message.
Attached attachFiles(PostOfficeSession& po, const QString& table, std::int32_t msgNo,
                     const QStringList& files, QStringList* skipped) {
    if (files.isEmpty()) return Attached::All;
    engine::Recordset& rows = po.table(table);
    for (int i = 1; i <= files.size(); ++i) {
        const QString& source = files.at(i - 1);
        if (!QFileInfo(source).isFile()) {
            if (skipped) skipped->append(source);
            continue;
        }
        const QString name = TempFileName(source);
        std::optional<QString> failure;
        if (name.isEmpty()) {
            failure = QStringLiteral("The file name cannot be used in the post office.");
        } else {
            writeAttachmentRow(rows, msgNo, i, name);
            failure = CopyIntoTemp(po.folder(), source);
        }
        if (failure && data::ShowMessage(501, *failure + QStringLiteral("\n\n") + source) ==
                           data::msgbox::kYes)
            return Attached::Abandoned;
    }
    return Attached::All;
}

QString userName(const QString& userId) {
    if (userId.isEmpty()) return QString();
    return data::GetFieldText(QStringLiteral("System Users"), userId, QString(), 1);
}

QString sendViaText(int kind) {
    switch (kind) {
        case kSendEmail:
            return QStringLiteral("Email");
        case kSendInternet:
            return QStringLiteral("Internet");
        default:
            return QStringLiteral("Fax");
    }
}

void warn(const char* operation, const data::Failure& f) {
    qWarning().noquote() << operation << "failed:" << f.text << '(' << f.number << ')';
}

}  // namespace

bool DeliverLocal(const QString& customer, const QString& subject, const QString& body,
                  const QStringList& attachments, QStringList* skipped) {
    data::AppState& st = data::state();
    const QString recipient = st.SharedValues[0];
    if (recipient.isEmpty()) return false;  // nobody to deliver to
    if (!LocatePostOffice()) return false;

    // The names come from the data database, read before the post office is opened.
    const QString toName = userName(recipient);
    const QString fromName = userName(st.CurrentUserId);
    const tv::DateTime now = data::prompter().now();

    PostOfficeSession po;
    if (!po.isOpen()) return false;
    bool delivered = false;
    const std::optional<data::Failure> failed = data::attempt([&] {
        engine::Recordset& rows = po.table(QStringLiteral("INBOX"));
        const std::int32_t msgNo = addMessageRow(rows, [&] {
            put(rows, inbox::kReceived, tv::Variant(now));
            put(rows, inbox::kToName, text(toName));
            put(rows, inbox::kToAddress, tv::Variant(kLocal));
            put(rows, inbox::kUserId, tv::Variant(recipient));
            put(rows, inbox::kFromName, text(fromName));
            put(rows, inbox::kCompany, text(customer));
            put(rows, inbox::kFromAddress, text(st.CurrentUserId));
            put(rows, inbox::kSentVia, tv::Variant(kLocal));
            put(rows, inbox::kSubject, text(subject));
            put(rows, inbox::kMessageText, text(body));
            put(rows, inbox::kHasAttachments, tv::Variant(!attachments.isEmpty()));
            put(rows, inbox::kStatus, tv::Variant(QStringLiteral("Unread")));
        });
        rows.Close();

        if (attachFiles(po, QStringLiteral("INBOX ATTACHMENTS"), msgNo, attachments, skipped) ==
            Attached::Abandoned) {
            const QString number = QString::number(msgNo);
            po.db().Execute(QStringLiteral("DELETE * FROM [INBOX ATTACHMENTS] WHERE MSGNO = ") +
                            number);
            po.db().Execute(QStringLiteral("DELETE * FROM [INBOX] WHERE MSGNO = ") + number);
            return;
        }
        delivered = true;
    });
    po.close();
    if (failed) warn("DeliverLocal", *failed);
    if (!delivered) return false;
    reportStatus(908);
    return true;
}

bool QueueOutbound(int kind, int priority, const QString& outref, const QString& contact,
                   const QString& customer, const QString& address, const QString& subject,
                   const QString& body, const QStringList& attachments, QStringList* skipped) {
    if (!LocatePostOffice()) return false;
    data::AppState& st = data::state();
    const QString fromName = userName(st.CurrentUserId);
    const tv::DateTime now = data::prompter().now();

    PostOfficeSession po;
    if (!po.isOpen()) return false;
    std::int32_t msgNo = 0;
    Attached attached = Attached::All;
    const std::optional<data::Failure> failed = data::attempt([&] {
        engine::Recordset& rows = po.table(QStringLiteral("OUTBOX"));
        msgNo = addMessageRow(rows, [&] {
            put(rows, outbox::kSent, tv::Variant(now));
            if (!outref.isEmpty()) put(rows, outbox::kOutRef, tv::Variant(outref));
            put(rows, outbox::kPriority, tv::Variant(static_cast<std::int16_t>(priority)));
            put(rows, outbox::kUserId, text(st.CurrentUserId));
            put(rows, outbox::kFromName, text(fromName));
            put(rows, outbox::kToContact, text(contact));
            put(rows, outbox::kCompany, text(customer));
            put(rows, outbox::kToAddress, text(address));
            put(rows, outbox::kSendVia, tv::Variant(sendViaText(kind)));
            put(rows, outbox::kSubject, text(subject));
            put(rows, outbox::kMessageText, text(body));
            put(rows, outbox::kHasAttachments, tv::Variant(!attachments.isEmpty()));
            put(rows, outbox::kStatus, tv::Variant(QStringLiteral("Queued")));
        });
        rows.Close();
        attached =
            attachFiles(po, QStringLiteral("OUTBOX ATTACHMENTS"), msgNo, attachments, skipped);
    });
    po.close();
    if (failed) {
        warn("QueueOutbound", *failed);
        return false;
    }
    if (attached == Attached::Abandoned) {
        DeleteOutboxMessage(msgNo);
        return false;
    }
    return true;
}

bool DeleteOutboxMessage(std::int32_t msgNo) {
    PostOfficeSession po;
    if (!po.isOpen()) return false;
    const std::optional<data::Failure> failed = data::attempt([&] {
        engine::Recordset& rows = po.table(QStringLiteral("OUTBOX"));
        rows.Seek(QStringLiteral("="), tv::Variant(msgNo));
        if (!rows.NoMatch()) rows.Delete();
        po.db().Execute(QStringLiteral("DELETE * FROM [OUTBOX ATTACHMENTS] WHERE MSGNO = ") +
                        QString::number(msgNo));
    });
    po.close();
    if (failed) {
        warn("DeleteOutboxMessage", *failed);
        return false;
    }
    reportStatus(909);
    return true;
}

}  // namespace tv::messaging
