#include "forms/messages/mailbox_window.h"

#include "core/convert.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "forms/messages/message_window.h"
#include "messaging/msg_client.h"
#include "ui_mailbox_window.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMdiSubWindow>

namespace tv::forms {

namespace {

constexpr int kNoMessageSelected = 510;
constexpr int kConfirmDelete = 511;

// The box's lines into the list: one row per line, a column per tab-separated field.
class TreeSink : public data::ListSink {
public:
    explicit TreeSink(QTreeWidget* tree) : tree_(tree) {}
    void clear() override { tree_->clear(); }
    void addItem(const QString& text) override {
        const QStringList fields = text.split(u'\t');
        auto* item = new QTreeWidgetItem(fields);
        item->setTextAlignment(0, Qt::AlignRight | Qt::AlignVCenter);
        // Unread messages stand out, as in any mail program.
        if (fields.value(3).compare(QLatin1String("Unread"), Qt::CaseInsensitive) == 0) {
            QFont bold = tree_->font();
            bold.setBold(true);
            for (int c = 0; c < fields.size(); ++c) item->setFont(c, bold);
        }
        items_ << item;
    }
    // Added together, so that a long list is laid out once.
    void flush() { tree_->addTopLevelItems(items_); }

private:
    QTreeWidget* tree_;
    QList<QTreeWidgetItem*> items_;
};

}  // namespace

MailboxWindow::MailboxWindow(Box box, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::MailboxWindow>()), box_(box) {
    ui_->setupUi(this);
    const bool inbox = box == Box::Inbox;
    setObjectName(inbox ? QStringLiteral("Inbox") : QStringLiteral("Outbox"));
    setWindowTitle(inbox ? tr("Inbox") : tr("Outbox"));
    if (!inbox) ui_->ListLabel->setText(tr("&Messages waiting to be sent:"));
    ui_->ShowAll->setVisible(inbox && data::state().IsAdministrator);
    ApplyFormCaptions(this, objectName());

    data::AppState& st = data::state();
    if (!inbox && st.SharedValues[0] == QLatin1String("All")) {
        showAll_ = true;
        st.SharedValues[0].clear();
    }
    connect(ui_->ShowAll, &QCheckBox::clicked, this, &MailboxWindow::refill);
    connect(ui_->ListCommand_0, &QPushButton::clicked, this, &MailboxWindow::deleteSelected);
    connect(ui_->ListCommand_1, &QPushButton::clicked, this, &QWidget::close);
    if (inbox)
        connect(ui_->List1, &QTreeWidget::itemActivated, this, [this] { openSelected(); });
    ui_->List1->installEventFilter(this);
    refill();
}

MailboxWindow::~MailboxWindow() = default;

void MailboxWindow::refill() {
    const std::int32_t selected = selectedMessage();
    TreeSink sink(ui_->List1);
    QString headings;
    const bool ok = box_ == Box::Inbox
                        ? messaging::ListInbox(sink, &headings, ui_->ShowAll->isChecked())
                        : messaging::ListOutbox(sink, &headings, showAll_);
    if (!headings.isEmpty()) ui_->List1->setHeaderLabels(headings.split(u'\t'));
    if (!ok) return;
    sink.flush();
    QTreeWidget* list = ui_->List1;
    for (int c = 0; c < list->columnCount(); ++c) list->resizeColumnToContents(c);
    // Stay on the message that was selected, else show the newest.
    QTreeWidgetItem* current = nullptr;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        if (tv::Val(list->topLevelItem(i)->text(0)) == selected) current = list->topLevelItem(i);
    }
    if (!current && list->topLevelItemCount() > 0)
        current = list->topLevelItem(list->topLevelItemCount() - 1);
    if (current) list->setCurrentItem(current);
}

std::int32_t MailboxWindow::selectedMessage() const {
    const QTreeWidgetItem* item = ui_->List1->currentItem();
    if (!item || !item->isSelected()) return 0;
    return static_cast<std::int32_t>(tv::Val(item->text(0)));
}

void MailboxWindow::openSelected() {
    const std::int32_t number = selectedMessage();
    if (number <= 0 || box_ != Box::Inbox) return;
    data::state().SharedValues[0] = QString::number(number);
    auto* message = new MessageWindow();
    message->setAttribute(Qt::WA_DeleteOnClose);
    if (!message->ShowMessageDetails()) {
        delete message;
        refill();  // passed on or deleted meanwhile
        return;
    }
    hostInMdi(message);
    message->show();
    keepInView(message);
    message->activateWindow();
}

void MailboxWindow::deleteSelected() {
    const std::int32_t number = selectedMessage();
    if (number <= 0) {
        data::ShowMessage(kNoMessageSelected);
        return;
    }
    if (data::ShowMessage(kConfirmDelete, QString::number(number)) != data::msgbox::kYes) return;
    if (box_ == Box::Inbox) {
        messaging::DeleteMessage(QStringLiteral("Inbox"), number);
    } else {
        // The outbox's attachment rows go with the message.
        messaging::DeleteOutboxMessage(number);
        showAll_ = true;
    }
    refill();
}

void MailboxWindow::activated() {
    if (box_ != Box::Inbox) return;
    data::state().SharedValues[0].clear();
    refill();
}

void MailboxWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Placed once it is in its frame: inside the main window that is its sub-window.
    if (!placed_) {
        placed_ = true;
        RestoreWindowLayout(this, objectName(), 3885, 7260, kRecordWindow);
    }
    // Inside the main window the sub-window, not this widget, is activated.
    auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (sub && !watching_) {
        watching_ = true;
        connect(sub, &QMdiSubWindow::aboutToActivate, this, &MailboxWindow::activated);
    }
}

void MailboxWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isWindow() && isActiveWindow()) activated();
}

void MailboxWindow::closeEvent(QCloseEvent* event) {
    SaveWindowLayout(this, objectName(), kRecordWindow);
    event->accept();
}

bool MailboxWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->List1 && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        deleteSelected();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tv::forms
