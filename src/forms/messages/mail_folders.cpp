#include "forms/messages/mail_folders.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "forms/framework/documents.h"
#include "forms/framework/status.h"
#include "forms/framework/window_layout.h"
#include "messaging/attachment_files.h"
#include "messaging/filing.h"
#include "ui_mail_folders.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QTemporaryDir>

namespace tv::forms {

namespace {

const QString kWindow = QStringLiteral("olInbox");
constexpr int kNoSuchSender = 9162;
constexpr int kNotMail = 9163;
constexpr int kFiled = 9164;
constexpr int kNoStore = 9165;

constexpr int kKindRole = Qt::UserRole;     // kFolderNode or kItemNode
constexpr int kIndexRole = Qt::UserRole + 1;
constexpr int kLoadedRole = Qt::UserRole + 2;
constexpr int kFolderNode = 1, kItemNode = 2;

QString folderCaption(const messaging::MailFolder& f) {
    if (f.kind == messaging::MailFolder::Kind::Folder) return f.name;
    if (f.unread > 0) return QStringLiteral("%1 (%2/%3)").arg(f.name).arg(f.unread).arg(f.total);
    return QStringLiteral("%1 (%2)").arg(f.name).arg(f.total);
}

void setBold(QTreeWidgetItem* node, bool bold) {
    QFont font = node->font(0);
    font.setBold(bold);
    node->setFont(0, font);
}

// Where opened attachments are written: a folder of this program's own under the
// system's temporary folder.
QString attachmentScratch() {
    const QString path = QDir(QStandardPaths::writableLocation(QStandardPaths::TempLocation))
                             .filePath(QStringLiteral("tolvarine-mail-%1").arg(QCoreApplication::applicationPid()));
    QDir().mkpath(path);
    return path;
}

}  // namespace

MailFolders::MailFolders(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::MailFolders>()) {
    ui_->setupUi(this);
    setObjectName(kWindow);
    ApplyFormCaptions(this, kWindow);
    ui_->Splitter->setStretchFactor(1, 1);

    connect(ui_->TreeView1, &QTreeWidget::itemExpanded, this,
            [this](QTreeWidgetItem* node) { expandFolder(node); });
    connect(ui_->TreeView1, &QTreeWidget::itemActivated, this,
            [this](QTreeWidgetItem* node) { openItem(node); });
    connect(ui_->Attachments, &QListWidget::itemActivated, this, &MailFolders::openAttachment);
    connect(ui_->SaveDetails, &QPushButton::clicked, this, [this] { saveDetails(); });
    connect(ui_->OpenAttachment, &QPushButton::clicked, this, &MailFolders::openAttachment);
    connect(ui_->ChooseStore, &QPushButton::clicked, this, &MailFolders::chooseStore);
    connect(ui_->Refreshf, &QPushButton::clicked, this, [this] { showStore(); });
    connect(ui_->Closef, &QPushButton::clicked, this, &QWidget::close);
    ui_->SaveDetails->setEnabled(false);
    ui_->OpenAttachment->setEnabled(false);
}

MailFolders::~MailFolders() = default;

QTreeWidgetItem* MailFolders::rootNode() const { return ui_->TreeView1->topLevelItem(0); }

bool MailFolders::showStore() {
    const QString store = Setting(messaging::kMailStoreKey);
    if (store.isEmpty()) {
        chooseStore();
        return rootNode() != nullptr;
    }
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const std::optional<messaging::MailFolder> tree = messaging::ReadMailTree(store);
    QGuiApplication::restoreOverrideCursor();
    ui_->TreeView1->clear();
    folders_.clear();
    items_.clear();
    if (!tree) {
        data::ShowMessage(kNoStore, store);
        return false;
    }
    QString user = data::GetFieldText(QStringLiteral("System Users"), data::state().CurrentUserId,
                                      QString(), 1);
    if (user.isEmpty()) user = data::state().CurrentUserId;
    auto* root = new QTreeWidgetItem(ui_->TreeView1, {tr("Mail: %1").arg(user)});
    root->setToolTip(0, store);
    addFolder(root, *tree);
    root->setExpanded(true);
    ui_->StatusLine->setText(store);
    return true;
}

void MailFolders::chooseStore() {
    const QString folder = data::prompter().chooseFolder(
        tr("Choose your mail folder (a Maildir, or the folder holding your mbox files)"),
        QDir::homePath());
    if (folder.isEmpty()) return;
    SaveSetting(messaging::kMailStoreKey, QDir::toNativeSeparators(folder));
    showStore();
}

void MailFolders::addFolder(QTreeWidgetItem* parent, const messaging::MailFolder& folder) {
    messaging::MailFolder flat = folder;
    flat.children.clear();
    folders_.push_back(std::move(flat));
    auto* node = new QTreeWidgetItem(parent, {folderCaption(folder)});
    node->setData(0, kKindRole, kFolderNode);
    node->setData(0, kIndexRole, static_cast<int>(folders_.size() - 1));
    node->setToolTip(0, folder.path);
    if (folder.kind != messaging::MailFolder::Kind::Folder && folder.total > 0)
        node->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
    if (folder.unread > 0) setBold(node, true);
    for (const messaging::MailFolder& child : folder.children) addFolder(node, child);
}

int MailFolders::expandFolder(QTreeWidgetItem* node) {
    if (!node || node->data(0, kKindRole).toInt() != kFolderNode || node->data(0, kLoadedRole).toBool())
        return 0;
    node->setData(0, kLoadedRole, true);
    const messaging::MailFolder& folder = folders_.at(node->data(0, kIndexRole).toUInt());
    if (folder.kind == messaging::MailFolder::Kind::Folder) return 0;

    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    QStringList malformed;
    std::vector<messaging::MailItem> found = messaging::ReadMailItems(folder, &malformed);
    QList<QTreeWidgetItem*> nodes;
    nodes.reserve(static_cast<qsizetype>(found.size()));
    int unread = 0;
    for (messaging::MailItem& item : found) {
        auto* child = new QTreeWidgetItem(
            {item.subject.isEmpty() ? tr("(no subject)") : item.subject});
        child->setData(0, kKindRole, kItemNode);
        child->setData(0, kIndexRole, static_cast<int>(items_.size()));
        child->setToolTip(0, item.from + QStringLiteral("  ") +
                                 QLocale().toString(item.received, QLocale::ShortFormat));
        if (item.unread) {
            setBold(child, true);
            ++unread;
        }
        items_.push_back(std::move(item));
        nodes << child;
    }
    node->addChildren(nodes);
    QGuiApplication::restoreOverrideCursor();
    ui_->StatusLine->setText(tr("%1: %n message(s)", nullptr, static_cast<int>(nodes.size())).arg(folder.name));
    if (!malformed.isEmpty()) data::ShowMessage(kNotMail, malformed.join(u'\n'));
    return static_cast<int>(nodes.size());
}

bool MailFolders::openItem(QTreeWidgetItem* node) {
    if (!node || node->data(0, kKindRole).toInt() != kItemNode) return false;
    const int index = node->data(0, kIndexRole).toInt();
    messaging::MailItem& item = items_.at(static_cast<std::size_t>(index));
    shown_ = messaging::ReadMailContent(item);
    shownIndex_ = shown_ ? index : -1;
    ui_->SaveDetails->setEnabled(shown_.has_value());
    ui_->Attachments->clear();
    if (!shown_) {
        ui_->Body->clear();
        ui_->OpenAttachment->setEnabled(false);
        data::ShowMessage(kNotMail, QFileInfo(item.path).fileName());
        return false;
    }
    ui_->From->setText(shown_->item.fromAddress.isEmpty() || shown_->item.from == shown_->item.fromAddress
                           ? shown_->item.from
                           : QStringLiteral("%1 <%2>").arg(shown_->item.from, shown_->item.fromAddress));
    ui_->To->setText(shown_->to);
    ui_->Date->setText(shown_->date);
    ui_->Subject->setText(shown_->item.subject);
    ui_->Body->setPlainText(shown_->text);
    // Shown as they would be saved: a name with folders in it has them dropped.
    for (const QString& name : shown_->attachments) {
        const QString bare = messaging::TempFileName(name);
        ui_->Attachments->addItem(bare.isEmpty() ? name : bare);
    }
    if (!shown_->attachments.isEmpty()) ui_->Attachments->setCurrentRow(0);
    ui_->OpenAttachment->setEnabled(!shown_->attachments.isEmpty());
    if (item.unread && messaging::MarkMailRead(item)) {
        setBold(node, false);
        shown_->item = item;
        // The folder's count of unread messages goes down with it.
        if (QTreeWidgetItem* folderNode = node->parent()) {
            messaging::MailFolder& folder = folders_.at(folderNode->data(0, kIndexRole).toUInt());
            if (folder.unread > 0) --folder.unread;
            folderNode->setText(0, folderCaption(folder));
            setBold(folderNode, folder.unread > 0);
        }
    }
    return true;
}

bool MailFolders::saveDetails() {
    if (!shown_) return false;
    const messaging::MailItem& item = shown_->item;
    QString customer, contact;
    engine::Recordset rs = data::OpenTable(
        QStringLiteral("SELECT * FROM CONTACTS WHERE [EMAIL ADDRESS] = ") +
        engine::quoteLiteral(item.fromAddress) + QStringLiteral(" ORDER BY [CUSTOMER NAME]"));
    (void)data::attempt([&] {
        if (rs.IsOpen() && !rs.EOF_()) {
            customer = tv::TextOf(rs[0]);
            contact = tv::TextOf(rs[1]);
        }
    });
    rs.Close();
    if (item.fromAddress.isEmpty() || customer.isEmpty()) {
        data::ShowMessage(kNoSuchSender, item.fromAddress.isEmpty() ? item.from : item.fromAddress);
        return false;
    }
    QTemporaryDir scratch;
    messaging::MessageToFile message;
    message.customer = customer;
    message.contact = contact;
    message.received = item.received.isValid() ? tv::fromQDateTime(item.received)
                                                : data::prompter().now();
    message.sentVia = QStringLiteral("Internet");
    message.subject = item.subject;
    message.body = Qt::convertFromPlainText(shown_->text);
    if (!shown_->attachments.isEmpty() && scratch.isValid())
        message.attachments = messaging::SaveMailAttachments(item, scratch.path());
    if (!messaging::FileMessage(message)) return false;
    data::ShowMessage(kFiled, customer);
    return true;
}

void MailFolders::openAttachment() {
    if (!shown_ || !ui_->Attachments->currentItem()) return;
    const int row = ui_->Attachments->currentRow();
    const QStringList written = messaging::SaveMailAttachments(shown_->item, attachmentScratch());
    // Written in the message's order; a name used twice got a number, so go by position.
    if (row >= 0 && row < written.size()) OpenDocument(written.at(row), false);
}

void MailFolders::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Placed once it is in its frame: inside the main window that is its sub-window.
    if (!placed_) {
        placed_ = true;
        RestoreWindowLayout(this, kWindow, 7200, 11400, kRecordWindow);
    }
}

void MailFolders::closeEvent(QCloseEvent* event) {
    SaveWindowLayout(this, kWindow, kRecordWindow);
    event->accept();
}

}  // namespace tv::forms
