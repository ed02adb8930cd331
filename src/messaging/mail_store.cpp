// GMime's headers go first: once Qt's keywords are defined, the GLib headers they include
// no longer compile.
#include <gmime/gmime.h>

#include "messaging/mail_store.h"

#include "messaging/attachment_files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <mutex>

namespace tv::messaging {

const SettingKey kMailStoreKey{kOptionsSection, QStringLiteral("Mail Store"), SettingType::String,
                               QString()};

namespace {

constexpr int kMaxDepth = 32;
constexpr qint64 kHeaderChunk = 16 * 1024;
constexpr qint64 kMaxHeader = 1024 * 1024;

void initGMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

// GObject references released on leaving the scope.
struct Unref {
    void operator()(gpointer p) const {
        if (p) g_object_unref(p);
    }
};
template <typename T>
using GPtr = std::unique_ptr<T, Unref>;

QString utf8(const char* text) { return text ? QString::fromUtf8(text) : QString(); }

// ---- Maildir ----------------------------------------------------------------------------

bool isMaildir(const QDir& dir) {
    return dir.exists(QStringLiteral("cur")) || dir.exists(QStringLiteral("new"));
}

// The flags of a Maildir file name ("1733481234.M1P2.host:2,RS" has "RS").
QString maildirFlags(const QString& fileName) {
    const qsizetype at = fileName.lastIndexOf(QLatin1String(":2,"));
    return at < 0 ? QString() : fileName.mid(at + 3);
}

void countMaildir(MailFolder& folder) {
    const QDir dir(folder.path);
    const QStringList fresh = QDir(dir.filePath(QStringLiteral("new")))
                                  .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort);
    const QStringList seen = QDir(dir.filePath(QStringLiteral("cur")))
                                 .entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort);
    folder.total = static_cast<int>(fresh.size() + seen.size());
    folder.unread = static_cast<int>(fresh.size());
    for (const QString& name : seen) {
        if (!maildirFlags(name).contains(u'S')) ++folder.unread;
    }
}

// ---- mbox -------------------------------------------------------------------------------

bool looksLikeMbox(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) && f.read(5) == "From ";
}

int countMbox(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly) || f.size() == 0) return 0;
    const uchar* data = f.map(0, f.size());
    if (!data) return 0;
    const auto size = static_cast<std::size_t>(f.size());
    int count = 0;
    for (std::size_t i = 0; i + 5 <= size; ++i) {
        if ((i == 0 || data[i - 1] == '\n') && std::memcmp(data + i, "From ", 5) == 0) ++count;
    }
    return count;
}

// ---- the tree ---------------------------------------------------------------------------

MailFolder* childNamed(MailFolder& parent, const QString& name) {
    for (MailFolder& c : parent.children)
        if (c.name == name) return &c;
    return nullptr;
}

void readFolder(MailFolder& node, int depth, QSet<QString>& visited);

// Maildir++ sub-folders of a Maildir: ".Customers" and ".Customers.Acme" are nested.
void addMaildirPlusPlus(MailFolder& node) {
    const QDir dir(node.path);
    QStringList names = dir.entryList(QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& name : names) {
        if (!name.startsWith(u'.') || name.size() < 2) continue;
        const QString full = dir.filePath(name);
        if (!isMaildir(QDir(full))) continue;
        MailFolder* parent = &node;
        const QStringList parts = name.mid(1).split(u'.', Qt::SkipEmptyParts);
        for (qsizetype i = 0; i < parts.size(); ++i) {
            MailFolder* child = childNamed(*parent, parts[i]);
            if (!child) {
                parent->children.push_back(MailFolder{MailFolder::Kind::Folder, parts[i], QString(), 0, 0, {}});
                child = &parent->children.back();
            }
            if (i == parts.size() - 1) {
                child->kind = MailFolder::Kind::Maildir;
                child->path = full;
                countMaildir(*child);
            }
            parent = child;
        }
    }
}

void readFolder(MailFolder& node, int depth, QSet<QString>& visited) {
    if (depth > kMaxDepth) return;
    const QDir dir(node.path);
    const QString canonical = QFileInfo(node.path).canonicalFilePath();
    if (visited.contains(canonical)) return;  // a link back up the tree
    visited.insert(canonical);

    if (isMaildir(dir)) {
        node.kind = MailFolder::Kind::Maildir;
        countMaildir(node);
        addMaildirPlusPlus(node);
    }
    const QFileInfoList entries =
        dir.entryInfoList(QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::DirsLast);
    for (const QFileInfo& e : entries) {
        const QString name = e.fileName();
        if (e.isDir()) {
            if (name == QLatin1String("cur") || name == QLatin1String("new") ||
                name == QLatin1String("tmp"))
                continue;
            MailFolder child{MailFolder::Kind::Folder, name, e.filePath(), 0, 0, {}};
            readFolder(child, depth + 1, visited);
            if (child.kind == MailFolder::Kind::Folder && child.children.empty()) continue;
            node.children.push_back(std::move(child));
        } else if (node.kind == MailFolder::Kind::Folder && looksLikeMbox(e.filePath())) {
            node.children.push_back(MailFolder{MailFolder::Kind::Mbox, name, e.filePath(),
                                               countMbox(e.filePath()), -1, {}});
        }
    }
    // Thunderbird keeps the sub-folders of the mbox "Inbox" in the folder "Inbox.sbd".
    for (std::size_t i = 0; i < node.children.size();) {
        MailFolder& sbd = node.children[i];
        MailFolder* owner = nullptr;
        if (sbd.kind == MailFolder::Kind::Folder && sbd.name.endsWith(QLatin1String(".sbd"))) {
            for (MailFolder& c : node.children)
                if (c.kind == MailFolder::Kind::Mbox && c.name == sbd.name.chopped(4)) owner = &c;
        }
        if (!owner) {
            ++i;
            continue;
        }
        std::vector<MailFolder> moved = std::move(sbd.children);
        const QString ownerName = owner->name;
        node.children.erase(node.children.begin() + static_cast<std::ptrdiff_t>(i));
        for (MailFolder& c : node.children)
            if (c.kind == MailFolder::Kind::Mbox && c.name == ownerName)
                for (MailFolder& m : moved) c.children.push_back(std::move(m));
    }
}

// ---- messages ---------------------------------------------------------------------------

GPtr<GMimeMessage> parseBytes(const QByteArray& bytes) {
    initGMime();
    GPtr<GMimeStream> stream(g_mime_stream_mem_new_with_buffer(
        bytes.constData(), static_cast<size_t>(bytes.size())));
    GPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    return GPtr<GMimeMessage>(g_mime_parser_construct_message(parser.get(), nullptr));
}

bool hasHeaders(GMimeMessage* message) {
    GMimeHeaderList* headers = g_mime_object_get_header_list(GMIME_OBJECT(message));
    return headers && g_mime_header_list_get_count(headers) > 0;
}

// The header block of a file (up to the first empty line), read a piece at a time.
QByteArray headerBlock(QFile& file) {
    QByteArray bytes;
    while (bytes.size() < kMaxHeader && !file.atEnd()) {
        const qsizetype from = std::max<qsizetype>(0, bytes.size() - 3);
        bytes += file.read(kHeaderChunk);
        const qsizetype lf = bytes.indexOf("\n\n", from);
        const qsizetype crlf = bytes.indexOf("\r\n\r\n", from);
        if (lf >= 0 || crlf >= 0) {
            const qsizetype end = lf < 0 ? crlf + 4 : (crlf < 0 ? lf + 2 : std::min(lf + 2, crlf + 4));
            bytes.truncate(end);
            break;
        }
    }
    return bytes;
}

void fillItem(MailItem& item, GMimeMessage* message) {
    item.subject = utf8(g_mime_message_get_subject(message));
    InternetAddressList* from = g_mime_message_get_from(message);
    if (from && internet_address_list_length(from) > 0) {
        InternetAddress* a = internet_address_list_get_address(from, 0);
        if (INTERNET_ADDRESS_IS_MAILBOX(a))
            item.fromAddress = utf8(internet_address_mailbox_get_addr(INTERNET_ADDRESS_MAILBOX(a)));
        item.from = utf8(internet_address_get_name(a));
        if (item.from.isEmpty()) item.from = item.fromAddress;
    }
    if (!item.received.isValid()) {
        if (GDateTime* date = g_mime_message_get_date(message))
            item.received = QDateTime::fromSecsSinceEpoch(g_date_time_to_unix(date));
    }
}

bool readMaildirItem(const QString& path, bool unread, MailItem& item) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    GPtr<GMimeMessage> message = parseBytes(headerBlock(file));
    if (!message || !hasHeaders(message.get())) return false;
    item.path = path;
    item.unread = unread;
    // The delivery time leads a Maildir file name; the file's time stands in for it.
    const QString name = QFileInfo(path).fileName();
    bool ok = false;
    const qint64 secs = name.section(u'.', 0, 0).toLongLong(&ok);
    item.received = ok && secs > 0 ? QDateTime::fromSecsSinceEpoch(secs)
                                   : QFileInfo(path).lastModified();
    fillItem(item, message.get());
    return true;
}

// An mbox parser over the file, positioned at `offset`.
GPtr<GMimeParser> mboxParser(const QString& path, qint64 offset) {
    initGMime();
    GError* error = nullptr;
    GPtr<GMimeStream> stream(
        g_mime_stream_fs_open(QFile::encodeName(path).constData(), O_RDONLY, 0, &error));
    if (error) g_error_free(error);
    if (!stream) return nullptr;
    if (offset > 0 && g_mime_stream_seek(stream.get(), offset, GMIME_STREAM_SEEK_SET) < 0)
        return nullptr;
    GPtr<GMimeParser> parser(g_mime_parser_new_with_stream(stream.get()));
    g_mime_parser_set_format(parser.get(), GMIME_FORMAT_MBOX);
    return parser;
}

bool mboxUnread(GMimeMessage* message) {
    const char* status = g_mime_object_get_header(GMIME_OBJECT(message), "Status");
    return !(status && std::strchr(status, 'R'));
}

// The whole message of an item.
GPtr<GMimeMessage> loadMessage(const MailItem& item) {
    if (item.offset >= 0) {
        GPtr<GMimeParser> parser = mboxParser(item.path, item.offset);
        if (!parser) return nullptr;
        return GPtr<GMimeMessage>(g_mime_parser_construct_message(parser.get(), nullptr));
    }
    QFile file(item.path);
    if (!file.open(QIODevice::ReadOnly)) return nullptr;
    return parseBytes(file.readAll());
}

QString partText(GMimeObject* part) {
    if (!part || !GMIME_IS_TEXT_PART(part)) return QString();
    char* text = g_mime_text_part_get_text(GMIME_TEXT_PART(part));
    QString result = utf8(text);
    g_free(text);
    return result;
}

struct Attachment {
    QString name;
    GMimePart* part;
};

std::vector<Attachment> attachmentsOf(GMimeMessage* message) {
    std::vector<Attachment> found;
    GMimePartIter* iter = g_mime_part_iter_new(GMIME_OBJECT(message));
    if (g_mime_part_iter_is_valid(iter)) {
        do {
            GMimeObject* current = g_mime_part_iter_get_current(iter);
            if (!GMIME_IS_PART(current)) continue;
            GMimePart* part = GMIME_PART(current);
            const QString name = utf8(g_mime_part_get_filename(part));
            if (!name.isEmpty() || g_mime_part_is_attachment(part))
                found.push_back({name.isEmpty() ? QStringLiteral("attachment") : name, part});
        } while (g_mime_part_iter_next(iter));
    }
    g_mime_part_iter_free(iter);
    return found;
}

QString freeNameIn(const QDir& folder, const QString& name) {
    if (!folder.exists(name)) return name;
    const QFileInfo info(name);
    const QString suffix = info.suffix().isEmpty() ? QString() : u'.' + info.suffix();
    for (int n = 2;; ++n) {
        const QString candidate =
            QStringLiteral("%1 (%2)%3").arg(info.completeBaseName()).arg(n).arg(suffix);
        if (!folder.exists(candidate)) return candidate;
    }
}

}  // namespace

std::optional<MailFolder> ReadMailTree(const QString& storePath) {
    const QFileInfo info(storePath);
    if (storePath.isEmpty() || !info.exists()) return std::nullopt;
    MailFolder root{MailFolder::Kind::Folder, info.fileName(), info.absoluteFilePath(), 0, 0, {}};
    if (info.isFile()) {
        root.kind = MailFolder::Kind::Mbox;
        root.total = countMbox(root.path);
        root.unread = -1;
        return root;
    }
    QSet<QString> visited;
    readFolder(root, 0, visited);
    return root;
}

std::vector<MailItem> ReadMailItems(const MailFolder& folder, QStringList* malformed) {
    std::vector<MailItem> items;
    if (folder.kind == MailFolder::Kind::Maildir) {
        for (const char* sub : {"new", "cur"}) {
            const QDir dir(QDir(folder.path).filePath(QLatin1String(sub)));
            const bool fresh = qstrcmp(sub, "new") == 0;
            for (const QString& name :
                 dir.entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::NoSort)) {
                MailItem item;
                if (readMaildirItem(dir.filePath(name), fresh || !maildirFlags(name).contains(u'S'), item))
                    items.push_back(std::move(item));
                else if (malformed)
                    *malformed << name;
            }
        }
    } else if (folder.kind == MailFolder::Kind::Mbox) {
        GPtr<GMimeParser> parser = mboxParser(folder.path, 0);
        while (parser && !g_mime_parser_eos(parser.get())) {
            GPtr<GMimeMessage> message(g_mime_parser_construct_message(parser.get(), nullptr));
            const qint64 offset = g_mime_parser_get_mbox_marker_offset(parser.get());
            if (!message || !hasHeaders(message.get())) {
                if (malformed) *malformed << QStringLiteral("offset %1").arg(offset);
                if (!message) break;
                continue;
            }
            MailItem item;
            item.path = folder.path;
            item.offset = offset;
            item.unread = mboxUnread(message.get());
            fillItem(item, message.get());
            items.push_back(std::move(item));
        }
    }
    std::stable_sort(items.begin(), items.end(), [](const MailItem& a, const MailItem& b) {
        return a.received < b.received;
    });
    return items;
}

std::optional<MailContent> ReadMailContent(const MailItem& item) {
    GPtr<GMimeMessage> message = loadMessage(item);
    if (!message || !hasHeaders(message.get())) return std::nullopt;
    MailContent content;
    content.item = item;
    fillItem(content.item, message.get());
    if (InternetAddressList* to = g_mime_message_get_addresses(message.get(), GMIME_ADDRESS_TYPE_TO)) {
        char* text = internet_address_list_to_string(to, nullptr, FALSE);
        content.to = utf8(text);
        g_free(text);
    }
    content.date = utf8(g_mime_object_get_header(GMIME_OBJECT(message.get()), "Date"));
    GMimeObject* body = g_mime_message_get_body(message.get());
    content.text = partText(body);
    if (body && GMIME_IS_TEXT_PART(body)) {
        GMimeContentType* type = g_mime_object_get_content_type(body);
        if (type && g_mime_content_type_is_type(type, "text", "html"))
            content.text = QString(content.text).remove(QRegularExpression(QStringLiteral("<[^>]*>")));
    }
    for (const Attachment& a : attachmentsOf(message.get())) content.attachments << a.name;
    return content;
}

bool MarkMailRead(MailItem& item) {
    item.unread = false;
    if (item.offset >= 0) return true;
    const QFileInfo info(item.path);
    QString name = info.fileName();
    if (name.contains(QLatin1String(":2,"))) {
        if (maildirFlags(name).contains(u'S')) return true;
        // Flags stay in ASCII order.
        QString flags = maildirFlags(name) + u'S';
        std::sort(flags.begin(), flags.end());
        name = name.left(name.lastIndexOf(QLatin1String(":2,")) + 3) + flags;
    } else {
        name += QStringLiteral(":2,S");
    }
    const QString target = QDir(info.dir().filePath(QStringLiteral("../cur"))).absoluteFilePath(name);
    if (!QFile::rename(item.path, QDir::cleanPath(target))) return false;
    item.path = QDir::cleanPath(target);
    return true;
}

QStringList SaveMailAttachments(const MailItem& item, const QString& folder) {
    QStringList written;
    GPtr<GMimeMessage> message = loadMessage(item);
    if (!message) return written;
    const QDir dir(folder);
    if (!dir.exists()) QDir().mkpath(folder);
    for (const Attachment& a : attachmentsOf(message.get())) {
        QString bare = TempFileName(a.name);
        if (bare.isEmpty()) bare = QStringLiteral("attachment");
        GMimeDataWrapper* content = g_mime_part_get_content(a.part);
        if (!content) continue;
        GPtr<GMimeStream> memory(g_mime_stream_mem_new());
        g_mime_data_wrapper_write_to_stream(content, memory.get());
        GByteArray* bytes = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(memory.get()));
        // A new file only: never written through a link or over another file.
        QFile out(dir.filePath(freeNameIn(dir, bare)));
        if (!out.open(QIODevice::WriteOnly | QIODevice::NewOnly)) continue;
        out.write(reinterpret_cast<const char*>(bytes->data), static_cast<qint64>(bytes->len));
        out.close();
        written << out.fileName();
    }
    return written;
}

}  // namespace tv::messaging
