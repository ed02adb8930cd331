#include "forms/messages/message_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "forms/messages/send_select.h"
#include "messaging/filing.h"
#include "messaging/msg_client.h"
#include "ui_message_window.h"

#include <QCloseEvent>
#include <QFile>

namespace tv::forms {

namespace {

constexpr int kFileAttachmentsToo = 512;
const QString kWindow = QStringLiteral("Message");

}  // namespace

MessageWindow::MessageWindow(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::MessageWindow>()) {
    ui_->setupUi(this);
    setObjectName(kWindow);
    ApplyFormCaptions(this, kWindow);

    ui_->ContactName->setSource([this] {
        return tableColumn(QStringLiteral("SELECT * FROM CONTACTS WHERE [CUSTOMER NAME] = ") +
                               engine::quoteLiteral(ui_->CustomerName->text()) +
                               QStringLiteral(" ORDER BY [CONTACT NAME]"),
                           1)();
    });
    connect(ui_->CustomerName, &QLineEdit::textChanged, ui_->ContactName, &PickList::invalidate);
    connect(ui_->Searchf, &QToolButton::clicked, this, &MessageWindow::lookUpCustomer);
    connect(ui_->Respondf, &QPushButton::clicked, this, [this] { reply(); });
    connect(ui_->ReAssign, &QPushButton::clicked, this, [this] { passOn(); });
    connect(ui_->SaveDetails, &QPushButton::clicked, this, [this] { fileInHistory(); });
    connect(ui_->OpenAttachment, &QPushButton::clicked, this, &MessageWindow::openAttachment);
    connect(ui_->Attachments, &QListWidget::itemActivated, this, &MessageWindow::openAttachment);
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QWidget::close);
}

MessageWindow::~MessageWindow() = default;

bool MessageWindow::ShowMessageDetails() {
    const std::optional<messaging::InboxMessage> m = messaging::ReadInboxMessage();
    if (!m) return false;
    number_ = m->MessageNo;
    received_ = m->Received.isNull() ? 0 : tv::CDate(m->Received).serial;
    ui_->MessageNo->setText(QString::number(m->MessageNo));
    ui_->Received->setText(tv::Format(m->Received, QStringLiteral("General Date")));
    // The whole date and time stay readable whatever the font and scaling.
    ui_->Received->setMinimumWidth(
        ui_->Received->fontMetrics().horizontalAdvance(ui_->Received->text()) + 16);
    ui_->ToName->setText(m->ToName);
    ui_->ToAddress->setText(m->ToAddress);
    ui_->UserId->setText(m->UserId);
    ui_->ContactName->setEditText(m->ContactName);
    ui_->CustomerName->setText(m->CustomerName);
    ui_->CustAddress->setText(m->CustAddress);
    ui_->SentVia->setText(m->SentVia);
    ui_->MsgSubject->setText(m->MsgSubject);
    ui_->RichTextBox1->setHtml(m->MessageText);
    ui_->Attachments->clear();
    ui_->Attachments->addItems(m->Attachments);
    if (!m->Attachments.isEmpty()) ui_->Attachments->setCurrentRow(0);
    ui_->OpenAttachment->setEnabled(!m->Attachments.isEmpty());
    ui_->StatusLine->setText(m->Attachments.isEmpty()
                                 ? QString()
                                 : tr("%n attached file(s)", nullptr,
                                      static_cast<int>(m->Attachments.size())));
    setWindowTitle(m->MsgSubject.isEmpty() ? tr("Message %1").arg(number_) : m->MsgSubject);
    return true;
}

SendSelect* MessageWindow::reply() {
    auto* send = new SendSelect();
    send->setAttribute(Qt::WA_DeleteOnClose);
    send->setRecipient(ui_->CustomerName->text(), ui_->ContactName->currentText());
    // An answer goes back the way a colleague's message came: to their inbox.
    send->setRoute(SendSelect::Email);
    send->LoadContactNumbers();
    send->setSubject(QStringLiteral("RE: ") + ui_->MsgSubject->text());
    send->setLetter(ui_->RichTextBox1->toHtml());
    hostInMdi(send);
    send->show();
    keepInView(send);
    return send;
}

bool MessageWindow::passOn() {
    const QString user = RunTableLookup(this, QStringLiteral("System Users"), 1);
    if (user.isEmpty() || number_ <= 0) return false;
    if (!messaging::Reassign(number_, user)) return false;
    markReadOnClose_ = false;
    close();
    return true;
}

bool MessageWindow::fileInHistory() {
    QStringList files;
    for (int i = 0; i < ui_->Attachments->count(); ++i)
        files << messaging::AttachmentPath(ui_->Attachments->item(i)->text());
    if (!files.isEmpty() &&
        data::ShowMessage(kFileAttachmentsToo) != data::msgbox::kYes)
        files.clear();

    messaging::MessageToFile message;
    message.customer = ui_->CustomerName->text().trimmed();
    message.contact = ui_->ContactName->currentText().trimmed();
    message.received = tv::DateTime{received_ != 0 ? received_ : data::prompter().now().serial};
    message.sentVia = ui_->SentVia->text();
    message.subject = ui_->MsgSubject->text();
    message.body = ui_->RichTextBox1->toHtml();
    message.attachments = files;
    QStringList filed;
    if (!messaging::FileMessage(message, &filed)) return false;
    // The customer's folder holds the files now; the post office's copies go.
    for (const QString& path : files) {
        if (!path.isEmpty()) QFile::remove(path);
    }
    messaging::DeleteMessage(QStringLiteral("Inbox"), number_);
    markReadOnClose_ = false;
    close();
    return true;
}

void MessageWindow::openAttachment() {
    const QListWidgetItem* item = ui_->Attachments->currentItem();
    if (!item) return;
    messaging::OpenAttachment(item->text());
}

void MessageWindow::lookUpCustomer() {
    const QString customer =
        RunTableLookup(this, QStringLiteral("Customers"), 1, ui_->CustomerName->text());
    if (!customer.isEmpty()) ui_->CustomerName->setText(customer);
}

void MessageWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Placed once it is in its frame: inside the main window that is its sub-window.
    if (!placed_) {
        placed_ = true;
        RestoreWindowLayout(this, kWindow, 6900, 7260, kRecordWindow);
    }
}

void MessageWindow::closeEvent(QCloseEvent* event) {
    if (markReadOnClose_ && number_ > 0) messaging::MarkRead(number_);
    SaveWindowLayout(this, kWindow, kRecordWindow);
    event->accept();
}

}  // namespace tv::forms
