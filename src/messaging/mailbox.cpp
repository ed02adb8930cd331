// Reading and tending the boxes: the inbox and outbox lists, the unread indicator, one
// inbox message for the message window, marking read, passing on, deleting, and the
// attachments' copies in the Temp folder.
#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "messaging/attachment_files.h"
#include "messaging/msg_client.h"
#include "messaging/post_office_session.h"

#include <QFileInfo>
#include <functional>
#include <limits>

namespace tv::messaging {

namespace {

using detail::PostOfficeSession;

// Column ordinals of INBOX.
constexpr int kMsgNo = 0, kReceived = 1, kToName = 2, kToAddress = 3, kUserId = 4, kFromName = 5,
              kCompany = 6, kFromAddress = 7, kSentVia = 8, kSubject = 9, kMessageText = 10,
              kHasAttachments = 11, kStatus = 12;
// Column ordinals of OUTBOX that its list shows.
constexpr int kOutSent = 1, kOutSendVia = 9, kOutCompany = 7, kOutStatus = 13;
// Column of an attachment row holding the file name.
constexpr int kAttachFileName = 2;
// Column of OPTION LISTS holding a list entry's value.
constexpr int kOptionValue = 2;

const QString kUnread = QStringLiteral("Unread");

// One box as its list shows it.
struct Box {
    QString table;
    QString dateColumn;
    QString optionList;
    std::function<QString(const engine::Recordset&)> line;
};

QString field(const engine::Recordset& rs, int ordinal) { return tv::TextOf(rs[ordinal]); }

QString number(const engine::Recordset& rs) { return tv::Format(rs[kMsgNo], QStringLiteral("0")); }

QString when(const engine::Recordset& rs, int ordinal) {
    return tv::Format(rs[ordinal], QStringLiteral("General Date"));
}

const Box& inboxBox() {
    static const Box box{QStringLiteral("INBOX"), QStringLiteral("RECEIVED"),
                         QStringLiteral("Inbox"), [](const engine::Recordset& rs) {
                             const QString company = field(rs, kCompany);
                             return QStringList{
                                 number(rs), when(rs, kReceived), field(rs, kSentVia),
                                 field(rs, kStatus),
                                 company.isEmpty() ? QStringLiteral("Unknown") : company}
                                 .join(u'\t');
                         }};
    return box;
}

const Box& outboxBox() {
    static const Box box{QStringLiteral("OUTBOX"), QStringLiteral("SENT"), QStringLiteral("Outbox"),
                         [](const engine::Recordset& rs) {
                             return QStringList{number(rs), when(rs, kOutSent),
                                                field(rs, kOutSendVia), field(rs, kOutStatus),
                                                field(rs, kOutCompany)}
                                 .join(u'\t');
                         }};
    return box;
}

// The box's messages, oldest first: every user's, or the signed-in user's.
QString boxQuery(const Box& box, bool showAll) {
    QString sql = QStringLiteral("SELECT * FROM ") + box.table;
    if (!showAll)
        sql +=
            QStringLiteral(" WHERE USERID = ") + engine::quoteLiteral(data::state().CurrentUserId);
    return sql + QStringLiteral(" ORDER BY ") + box.dateColumn;
}

// The column headings from the option list of the box's name, separated by tabs.
QString headingsOf(const Box& box) {
    QString joined;
    engine::Recordset rs = data::OpenTable(
        QStringLiteral("SELECT * FROM [OPTION LISTS] WHERE [LIST NAME] = ") +
            engine::quoteLiteral(box.optionList) + QStringLiteral(" ORDER BY OPTION"),
        data::kDefinitionsDb);
    (void)data::attempt([&] {
        for (; rs.IsOpen() && !rs.EOF_(); rs.MoveNext()) joined += field(rs, kOptionValue) + u'\t';
    });
    joined.chop(1);
    rs.Close();
    return joined;
}

bool listBox(const Box& box, data::ListSink& list, QString* headings, bool showAll) {
    PostOfficeSession po;
    if (!po.isOpen()) return false;
    QStringList lines;
    const std::optional<data::Failure> failed = data::attempt([&] {
        engine::Recordset& rs = po.query(boxQuery(box, showAll));
        for (; !rs.EOF_(); rs.MoveNext()) lines << box.line(rs);
    });
    po.close();
    if (headings) *headings = headingsOf(box);
    if (failed) return false;
    list.clear();
    for (const QString& line : lines) list.addItem(line);
    return true;
}

// Finds one INBOX row and changes it under the row's lock.
bool editInbox(std::int32_t msgNo, const std::function<void(engine::Recordset&)>& change) {
    PostOfficeSession po;
    if (!po.isOpen()) return false;
    bool changed = false;
    (void)data::attempt([&] {
        engine::Recordset& rs = po.table(QStringLiteral("INBOX"));
        rs.Seek(QStringLiteral("="), tv::Variant(msgNo));
        if (rs.NoMatch()) return;
        rs.Edit();
        try {
            change(rs);
            rs.Update();
        } catch (...) {
            if (rs.EditModeNow() != engine::EditMode::None) rs.CancelUpdate();
            throw;
        }
        changed = true;
    });
    return changed;
}

}  // namespace

bool ListInbox(data::ListSink& list, QString* headings, bool showAll) {
    return listBox(inboxBox(), list, headings, showAll);
}

bool ListOutbox(data::ListSink& list, QString* headings, bool showAll) {
    return listBox(outboxBox(), list, headings, showAll);
}

int UnreadState() {
    PostOfficeSession po(PostOfficeSession::Reporting::Quiet);
    if (!po.isOpen()) return -1;
    int unread = 0;
    const std::optional<data::Failure> failed = data::attempt([&] {
        engine::Recordset& rs = po.query(boxQuery(inboxBox(), false));
        for (; !rs.EOF_(); rs.MoveNext()) {
            if (field(rs, kStatus).toUpper() == kUnread.toUpper()) ++unread;
        }
    });
    if (failed) return -1;
    return unread >= 1 ? 1 : 0;
}

std::optional<InboxMessage> ReadInboxMessage() {
    const double n = tv::Val(data::state().SharedValues[0]);
    if (n < 1 || n > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return ReadInboxMessage(static_cast<std::int32_t>(n));
}

std::optional<InboxMessage> ReadInboxMessage(std::int32_t msgNo) {
    PostOfficeSession po;
    if (!po.isOpen()) return std::nullopt;
    std::optional<InboxMessage> found;
    (void)data::attempt([&] {
        engine::Recordset& rs = po.table(QStringLiteral("INBOX"));
        rs.Seek(QStringLiteral("="), tv::Variant(msgNo));
        if (rs.NoMatch()) return;
        InboxMessage m;
        m.MessageNo = msgNo;
        m.Received = rs[kReceived];
        m.ToName = field(rs, kToName);
        m.ToAddress = field(rs, kToAddress);
        m.UserId = field(rs, kUserId);
        m.ContactName = field(rs, kFromName);
        m.CustomerName = field(rs, kCompany);
        m.CustAddress = field(rs, kFromAddress);
        m.SentVia = field(rs, kSentVia);
        m.MsgSubject = field(rs, kSubject);
        m.MessageText = field(rs, kMessageText);
        const tv::Variant hasAttachments = rs[kHasAttachments];
        if (!hasAttachments.isNull() && tv::CBool(hasAttachments)) {
            // Numbers 1, 2, ... up to the first one missing (a skipped file leaves a gap).
            engine::Recordset& files = po.table(QStringLiteral("INBOX ATTACHMENTS"));
            for (std::int16_t i = 1; i < std::numeric_limits<std::int16_t>::max(); ++i) {
                files.Seek(QStringLiteral("="), tv::Variant(msgNo), tv::Variant(i));
                if (files.NoMatch()) break;
                m.Attachments << field(files, kAttachFileName);
            }
        }
        found = std::move(m);
    });
    return found;
}

bool MarkRead(std::int32_t msgNo) {
    return editInbox(msgNo, [](engine::Recordset& rs) {
        rs.FieldAt(kStatus).SetValue(tv::Variant(QStringLiteral("Read")));
    });
}

bool Reassign(std::int32_t msgNo, const QString& userId) {
    if (userId.isEmpty()) return false;
    return editInbox(msgNo, [&](engine::Recordset& rs) {
        rs.FieldAt(kUserId).SetValue(tv::Variant(userId));
        rs.FieldAt(kStatus).SetValue(tv::Variant(kUnread));
    });
}

bool DeleteMessage(const QString& box, std::int32_t msgNo) {
    QString table;
    if (box.compare(QLatin1String("Inbox"), Qt::CaseInsensitive) == 0)
        table = QStringLiteral("INBOX");
    else if (box.compare(QLatin1String("Outbox"), Qt::CaseInsensitive) == 0)
        table = QStringLiteral("OUTBOX");
    else
        return false;

    PostOfficeSession po;
    if (!po.isOpen()) return false;
    const std::optional<data::Failure> failed = data::attempt([&] {
        engine::Recordset& rs = po.table(table);
        rs.Seek(QStringLiteral("="), tv::Variant(msgNo));
        if (!rs.NoMatch()) rs.Delete();
    });
    return !failed;
}

QString AttachmentPath(const QString& fileName) {
    const QString folder = PostOfficeFolder();
    if (folder.isEmpty()) return QString();
    return TempFilePath(folder, fileName);
}

bool OpenAttachment(const QString& fileName) {
    const QString path = AttachmentPath(fileName);
    if (path.isEmpty()) return false;
    if (!QFileInfo(path).isFile()) {
        data::ShowMessage(701,
                          QStringLiteral("\n\n") + path + QStringLiteral(" (file not found)."));
        return false;
    }
    return openDocument(path);
}

}  // namespace tv::messaging
