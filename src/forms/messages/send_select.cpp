#include "forms/messages/send_select.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/activity_log.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/locations.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "forms/framework/documents.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "forms/messages/mailbox_window.h"
#include "messaging/letter_merge.h"
#include "messaging/mail_bridge.h"
#include "messaging/msg_client.h"
#include "reports/report_engine.h"
#include "ui_send_select.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTextDocument>

namespace tv::forms {

namespace {

const QString kWindow = QStringLiteral("SendSelect");
constexpr int kNoRecipient = 502;
constexpr int kNoAddress = 503;
constexpr int kNothingToSend = 504;
constexpr int kReplaceLetter = 505;
constexpr int kFilesLeftOut = 9161;

constexpr int kPathRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole + 1;

// Columns of FORM LETTERS and DOCUMENT LIST, from 0.
constexpr int kIdColumn = 0, kCategoryColumn = 1, kDescriptionColumn = 2, kFileColumn = 3;
constexpr int kLetterTextColumn = 5;
// Columns of CONTACTS, from 1 as FieldValues holds them.
constexpr int kContactFax = 7, kContactEmail = 8;

// A path kept relative to the site's files folder, made whole; left relative (and so not
// found) when a server site has no files folder.
QString inFilesFolder(const QString& path, bool userAsked = false) {
    if (path.isEmpty() || QDir::isAbsolutePath(path) || path.contains(u':')) return path;
    const QString folder = data::siteFilesFolder(userAsked);
    if (folder.isEmpty()) return path;
    return QDir(folder).filePath(QString(path).replace(u'\\', u'/'));
}

// The tree of a table's rows, one node per category.
void fillTree(QTreeWidget* tree, const QString& table, bool checkable) {
    tree->clear();
    const QString noCategory = [] {
        const QString caption = GetCaptionText(kWindow, QStringLiteral("NoCategory"));
        return caption.isEmpty() ? QStringLiteral("(No Category)") : caption;
    }();
    QMap<QString, QTreeWidgetItem*> categories;
    engine::Recordset rs = data::OpenTable(QStringLiteral("SELECT * FROM [") + table +
                                           QStringLiteral("] ORDER BY CATEGORY, DESCRIPTION"));
    (void)data::attempt([&] {
        for (; rs.IsOpen() && !rs.EOF_(); rs.MoveNext()) {
            QString category = tv::TextOf(rs[kCategoryColumn]);
            if (category.isEmpty()) category = noCategory;
            QTreeWidgetItem*& parent = categories[category.toLower()];
            if (!parent) {
                parent = new QTreeWidgetItem(tree, {category});
                parent->setFlags(Qt::ItemIsEnabled);
            }
            auto* item = new QTreeWidgetItem(parent, {tv::TextOf(rs[kDescriptionColumn])});
            item->setData(0, kIdRole, tv::TextOf(rs[kIdColumn]));
            item->setData(0, kPathRole, tv::TextOf(rs[kFileColumn]));
            if (checkable) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                item->setCheckState(0, Qt::Unchecked);
            }
        }
    });
    rs.Close();
    tree->expandAll();
}

QList<QTreeWidgetItem*> leaves(QTreeWidget* tree) {
    QList<QTreeWidgetItem*> items;
    for (int i = 0; i < tree->topLevelItemCount(); ++i) {
        QTreeWidgetItem* category = tree->topLevelItem(i);
        for (int j = 0; j < category->childCount(); ++j) items << category->child(j);
    }
    return items;
}

// The user id of the user whose name this is (any letter case); empty when none.
QString userNamed(const QString& name) {
    QString id;
    engine::Recordset rs = data::OpenTable(QStringLiteral("System Users"));
    (void)data::attempt([&] {
        for (; rs.IsOpen() && !rs.EOF_() && id.isEmpty(); rs.MoveNext()) {
            if (tv::TextOf(rs[1]).compare(name.trimmed(), Qt::CaseInsensitive) == 0)
                id = tv::TextOf(rs[0]);
        }
    });
    rs.Close();
    return id;
}

// Logs a send ("Send" of the activity log options) and, with the "Bill Activities" option
// on, marks the entry billable.
void logSend(const QString& key, const QString& customer, const QString& contact,
             const QString& detail) {
    data::FieldValueArray& written = data::state().FieldValues;
    written.clear();
    if (!data::LogEvent(data::kLogSend, key, customer, contact, detail) || written(1).isEmpty())
        return;  // not logged, or the data layer has said why
    if (tv::Val(Setting(keys::BillActivities)) == 0) return;
    (void)data::attempt([&] {
        const QString when = tv::Format(tv::Variant(tv::CDate(tv::Variant(written(2)))),
                                        QStringLiteral("yyyy-mm-dd hh:nn:ss"));
        data::state().DataDb.Execute(
            QStringLiteral("UPDATE [ACTIVITIES] SET [BILLABLE] = True WHERE [CUSTOMER NAME] = ") +
            engine::quoteLiteral(written(1)) + QStringLiteral(" AND [DATETIME] = #") + when +
            u'#');
    });
}

}  // namespace

SendSelect::SendSelect(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::SendSelect>()) {
    ui_->setupUi(this);
    setObjectName(kWindow);
    ApplyFormCaptions(this, kWindow);
    ApplyTabCaptions(kWindow, ui_->TabStrip1);

    ui_->ContactName->setSource([this] {
        return tableColumn(QStringLiteral("SELECT * FROM CONTACTS WHERE [CUSTOMER NAME] = ") +
                               engine::quoteLiteral(ui_->CustomerName->text()) +
                               QStringLiteral(" ORDER BY [CONTACT NAME]"),
                           1)();
    });
    ui_->Campaign->setSource(tableColumn(QStringLiteral("Sales Campaigns"), 0));
    fillTrees();
    if (SettingInt(keys::EmailType) != 0) ui_->ShowOutbox->hide();

    connect(ui_->CustomerName, &QLineEdit::textChanged, ui_->ContactName, &PickList::invalidate);
    connect(ui_->ContactName, &QComboBox::activated, this, &SendSelect::LoadContactNumbers);
    connect(ui_->ContactName->lineEdit(), &QLineEdit::editingFinished, this,
            &SendSelect::LoadContactNumbers);
    connect(ui_->Searchf, &QToolButton::clicked, this, &SendSelect::lookUpCustomer);
    for (int i = 0; i <= Fax; ++i) {
        auto* option = findChild<QRadioButton*>(QStringLiteral("SendVia_%1").arg(i));
        connect(option, &QRadioButton::toggled, this, [this](bool on) {
            if (on) routeChanged();
        });
    }
    connect(ui_->LetterList, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        const QString id = item->data(0, kIdRole).toString();
        if (!id.isEmpty()) chooseLetter(id);
    });
    connect(ui_->LetterList, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        const QString id = item->data(0, kIdRole).toString();
        if (!id.isEmpty() && id != letterId_) chooseLetter(id);
    });
    connect(ui_->DocumentList, &QTreeWidget::itemChanged, this, &SendSelect::updateCount);
    connect(ui_->RichTextBox1, &QTextEdit::textChanged, this, [this] {
        if (!loading_) customFlag_ = true;
    });
    connect(ui_->Browsef, &QPushButton::clicked, this, &SendSelect::browse);
    connect(ui_->NewDoc, &QPushButton::clicked, this, &SendSelect::newLetter);
    connect(ui_->ShowOutbox, &QPushButton::clicked, this, &SendSelect::showOutbox);
    connect(ui_->Sendf, &QPushButton::clicked, this, [this] { send(); });
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QWidget::close);
    routeChanged();
}

SendSelect::~SendSelect() = default;

void SendSelect::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Placed once it is in its frame: inside the main window that is its sub-window.
    if (!placed_) {
        placed_ = true;
        RestoreWindowLayout(this, kWindow, 7800, 9300, kRecordWindow);
    }
}

void SendSelect::closeEvent(QCloseEvent* event) {
    SaveWindowLayout(this, kWindow, kRecordWindow);
    event->accept();
}

void SendSelect::fillTrees() {
    fillTree(ui_->LetterList, QStringLiteral("Form Letters"), false);
    fillTree(ui_->DocumentList, QStringLiteral("Document List"), true);
}

void SendSelect::setRecipient(const QString& customer, const QString& contact) {
    ui_->CustomerName->setText(customer);
    ui_->ContactName->setEditText(contact);
}

void SendSelect::setSubject(const QString& subject) { ui_->Subject->setText(subject); }

void SendSelect::setLetter(const QString& html) {
    loading_ = true;
    ui_->RichTextBox1->setHtml(html);
    loading_ = false;
    letterId_.clear();
    letterDescription_.clear();
    customFlag_ = true;
}

void SendSelect::setRoute(Route route) {
    findChild<QRadioButton*>(QStringLiteral("SendVia_%1").arg(static_cast<int>(route)))->setChecked(true);
}

SendSelect::Route SendSelect::route() const {
    for (int i = 0; i <= Fax; ++i) {
        if (findChild<QRadioButton*>(QStringLiteral("SendVia_%1").arg(i))->isChecked())
            return static_cast<Route>(i);
    }
    return Print;
}

void SendSelect::LoadContactNumbers() {
    data::FieldValueArray& values = data::state().FieldValues;
    const data::FieldValueArray kept = values;
    email_.clear();
    fax_.clear();
    if (data::LoadRecord(QStringLiteral("Contacts"), ui_->CustomerName->text(),
                         ui_->ContactName->currentText())) {
        email_ = values(kContactEmail);
        fax_ = values(kContactFax);
    }
    values = kept;
    // A colleague is reached in the post office by user id.
    if (email_.isEmpty()) email_ = userNamed(ui_->ContactName->currentText());
    routeChanged();
}

void SendSelect::routeChanged() {
    const Route r = route();
    static const char* const keys[] = {"", "LocalEMailAddress", "EMailAddress", "FaxAddress"};
    static const char* const fallback[] = {"", "Email Address:", "Internet Address:", "Fax Number:"};
    if (r != Print) {
        QString caption = GetCaptionText(kWindow, QLatin1String(keys[r]));
        if (caption.isEmpty()) caption = QLatin1String(fallback[r]);
        ui_->Label5->setText(caption);
        ui_->Address->setText(r == Fax ? fax_ : email_);
    }
    const bool sending = r != Print;
    ui_->Address->setEnabled(sending);
    ui_->Label5->setEnabled(sending);
    ui_->Subject->setEnabled(sending);
    ui_->Priority->setEnabled(sending);
    ui_->EnvPrint->setEnabled(!sending);
}

bool SendSelect::chooseLetter(const QString& letterId) {
    if (customFlag_ && !ui_->RichTextBox1->toPlainText().trimmed().isEmpty() &&
        data::ShowMessage(kReplaceLetter) != data::msgbox::kYes)
        return false;
    data::FieldValueArray& values = data::state().FieldValues;
    const data::FieldValueArray kept = values;
    if (!data::LoadRecord(QStringLiteral("Form Letters"), letterId)) {
        values = kept;
        return false;
    }
    QString text = values(kLetterTextColumn + 1);
    const QString file = values(kFileColumn + 1);
    letterDescription_ = values(kDescriptionColumn + 1);
    values = kept;
    if (text.trimmed().isEmpty() && !file.isEmpty()) {
        QFile f(inFilesFolder(file));
        if (f.open(QIODevice::ReadOnly)) text = QString::fromUtf8(f.readAll());
    }
    const bool rich = Qt::mightBeRichText(text);
    const QString merged = messaging::MergeLetter(text, ui_->CustomerName->text(),
                                                  ui_->ContactName->currentText(), rich);
    loading_ = true;
    if (rich)
        ui_->RichTextBox1->setHtml(merged);
    else
        ui_->RichTextBox1->setPlainText(merged);
    loading_ = false;
    letterId_ = letterId;
    customFlag_ = false;
    if (ui_->Subject->text().isEmpty()) ui_->Subject->setText(letterDescription_);
    return true;
}

void SendSelect::checkDocument(const QString& documentId, bool checked) {
    for (QTreeWidgetItem* item : leaves(ui_->DocumentList)) {
        if (item->data(0, kIdRole).toString().compare(documentId, Qt::CaseInsensitive) == 0)
            item->setCheckState(0, checked ? Qt::Checked : Qt::Unchecked);
    }
}

void SendSelect::addFile(const QString& path) {
    if (path.isEmpty()) return;
    ui_->OtherFiles->addItem(path);
    updateCount();
}

void SendSelect::updateCount() {
    ui_->NumDocs->setText(QString::number(attachmentPaths().size()));
}

QStringList SendSelect::attachmentPaths() const {
    QStringList paths;
    for (QTreeWidgetItem* item : leaves(ui_->DocumentList)) {
        if (item->checkState(0) == Qt::Checked)
            paths << inFilesFolder(item->data(0, kPathRole).toString());
    }
    for (int i = 0; i < ui_->OtherFiles->count(); ++i) paths << ui_->OtherFiles->item(i)->text();
    return paths;
}

void SendSelect::browse() {
    data::FileRequest request;
    request.title = tr("Find Message Attachment");
    request.filter = QStringLiteral("All Files (*.*)|*.*");
    request.flags = data::filedlg::kFileMustExist | data::filedlg::kHideReadOnly;
    addFile(data::prompter().openFile(request));
}

void SendSelect::newLetter() {
    if (customFlag_ && !ui_->RichTextBox1->toPlainText().trimmed().isEmpty() &&
        data::ShowMessage(kReplaceLetter) != data::msgbox::kYes)
        return;
    loading_ = true;
    ui_->RichTextBox1->clear();
    loading_ = false;
    letterId_.clear();
    letterDescription_.clear();
    customFlag_ = false;
    ui_->TabStrip1->setCurrentIndex(0);
    ui_->RichTextBox1->setFocus();
}

void SendSelect::showOutbox() {
    auto* outbox = new MailboxWindow(MailboxWindow::Box::Outbox);
    outbox->setAttribute(Qt::WA_DeleteOnClose);
    hostInMdi(outbox);
    outbox->show();
    keepInView(outbox);
}

void SendSelect::lookUpCustomer() {
    const QString customer =
        RunTableLookup(this, QStringLiteral("Customers"), 1, ui_->CustomerName->text());
    if (customer.isEmpty()) return;
    ui_->CustomerName->setText(customer);
    ui_->ContactName->setEditText(QString());
    LoadContactNumbers();
}

bool SendSelect::printLetter() {
    data::PrintRequest request;
    request.title = tr("Print Letter");
    if (!data::prompter().printerDialog(request)) return false;
    QPrinter printer(QPrinter::HighResolution);
    if (!request.outputFile.isEmpty()) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(request.outputFile);
    } else if (!request.printerName.isEmpty()) {
        printer.setPrinterName(request.printerName);
    }
    printer.setCopyCount(request.copies);
    if (!printer.isValid()) {
        data::prompter().messageBox(
            tr("Print Custom Letter"),
            tr("An error occurred while trying to run:\nprint\n\n%1").arg(tr("No printer is available.")),
            data::msgbox::kExclamation);
        return false;
    }
    std::unique_ptr<QTextDocument> letter(ui_->RichTextBox1->document()->clone());
    letter->print(&printer);
    return true;
}

void SendSelect::printEnvelope() {
    QString file = Setting(keys::EnvelopeDefinition);
    if (file.isEmpty()) file = QStringLiteral("envelope.rpt");
    const auto quoted = [](QString text) { return u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"'; };
    reports::ReportEngine& engine = reports::reportEngine();
    engine.reset();
    engine.setReportFileName(inFilesFolder(file, true));
    engine.setSelectionFormula(QStringLiteral("{Contacts.Contact Name} = ") +
                               quoted(ui_->ContactName->currentText()) +
                               QStringLiteral(" And {Contacts.Customer Name} = ") +
                               quoted(ui_->CustomerName->text()));
    engine.setDestination(1);
    engine.setPrinterName(Setting(keys::EnvelopePrinter));
    engine.PrintReport();
}

bool SendSelect::send() {
    const QString customer = ui_->CustomerName->text().trimmed();
    const QString contact = ui_->ContactName->currentText().trimmed();
    const bool hasLetter = !letterId_.isEmpty() || !ui_->RichTextBox1->toPlainText().trimmed().isEmpty();
    const QStringList files = attachmentPaths();
    if (!hasLetter && files.isEmpty()) {
        data::ShowMessage(kNothingToSend);
        return false;
    }
    const QString letterCaption =
        letterId_.isEmpty() || customFlag_
            ? GetCaptionText(kWindow, QStringLiteral("CustomCaption"))
            : letterDescription_;
    QStringList skipped;

    const Route r = route();
    if (r == Print) {
        if (hasLetter && !printLetter()) return false;
        for (const QString& path : files) {
            if (QFileInfo(path).isFile())
                OpenDocument(path, true);
            else
                skipped << path;
        }
        if (ui_->EnvPrint->isChecked()) printEnvelope();
        logSend(QStringLiteral("Printer"), customer, contact,
                       hasLetter ? letterCaption : GetCaptionText(kWindow, QStringLiteral("PrintLetter")));
    } else {
        if (contact.isEmpty()) {
            data::ShowMessage(kNoRecipient);
            ui_->ContactName->setFocus();
            return false;
        }
        const QString address = ui_->Address->text().trimmed();
        if (address.isEmpty()) {
            data::ShowMessage(kNoAddress);
            ui_->Address->setFocus();
            return false;
        }
        const int kind = r == Email ? messaging::kSendEmail
                         : r == Internet ? messaging::kSendInternet
                                         : messaging::kSendFax;
        static const char* const logKeys[] = {"Local Email", "Internet Email", "Fax"};
        const QString subject = ui_->Subject->text();
        const QString body = ui_->RichTextBox1->toHtml();
        const QString userId = kind == messaging::kSendEmail ? userNamed(contact) : QString();
        bool sent = false;
        if (!userId.isEmpty()) {
            data::state().SharedValues[0] = userId;
            sent = messaging::DeliverLocal(customer, subject, body, files, &skipped);
        } else if (SettingInt(keys::EmailType) == 1 && kind != messaging::kSendFax) {
            // A desktop mail program sends mail, not faxes: those stay with the outbox.
            sent = messaging::ComposeInMailProgram(contact, address, subject,
                                                   ui_->RichTextBox1->toPlainText(), files, &skipped);
        } else {
            sent = messaging::QueueOutbound(kind, ui_->Priority->isChecked() ? 1 : 0, QString(),
                                            contact, customer, address, subject, body, files,
                                            &skipped);
        }
        if (!sent) return false;
        logSend(QLatin1String(logKeys[kind]), customer, contact,
                       subject.isEmpty() ? letterCaption : subject);
    }
    if (!skipped.isEmpty()) data::ShowMessage(kFilesLeftOut, skipped.join(u'\n'));
    if (SettingInt(keys::AutoUnloadSend) != 0) close();
    return true;
}

}  // namespace tv::forms
