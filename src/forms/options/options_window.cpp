#include "forms/options/options_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/paths.h"
#include "data/access.h"
#include "data/activity_log.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/locations.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "engine/server.h"
#include "forms/framework/captions.h"
#include "forms/framework/designed_labels.h"
#include "forms/framework/pick_list.h"
#include "forms/options/log_options.h"
#include "ui_options_window.h"

#include <QDir>
#include <QFileInfo>
#include <QPrinterInfo>

namespace tv::forms {

namespace {

const QString kWindowName = QStringLiteral("Options");
constexpr int kNoDataDatabase = 1;
constexpr int kNoDatabaseFile = 9143;
constexpr int kNoFilesFolder = 9192;

struct DatabaseFolder {
    const char* dialogKey;
    const char* file;
};
// By folder box: 0 data, 1 definitions, 2 post office.
const DatabaseFolder kFolders[3] = {
    {"GetData", "Data.mdb"}, {"GetDefinitions", "Definitions.mdb"}, {"GetPostOffice", "Messages.mdb"}};

const QString kCategories[3] = {data::kLogNewRecord, data::kLogSend, data::kLogOther};

QString flag(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }

bool sameKey(const SettingKey& a, const SettingKey& b) {
    return a.section.compare(b.section, Qt::CaseInsensitive) == 0 &&
           a.key.compare(b.key, Qt::CaseInsensitive) == 0;
}

int settingOr(const SettingKey& key, int fallback) {
    int value = fallback;
    (void)data::attempt([&] { value = SettingInt(key); });
    return value;
}

void showText(QComboBox* box, const QString& text) {
    if (!text.isEmpty() && box->findText(text) < 0) box->addItem(text);
    box->setCurrentIndex(box->findText(text));
}

}  // namespace

OptionsWindow::OptionsWindow(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Options>()) {
    ui_->setupUi(this);
    const DesignedLabels labels(this);
    ApplyFormCaptions(this, kWindowName);
    ApplyTabCaptions(kWindowName, ui_->tbsOptions);
    labels.restoreAccessKeys();
    // The two table lists' pages take their headings' captions.
    for (const auto& [page, key] : {std::pair{ui_->picOptions_2, "SortOption1"},
                                    std::pair{ui_->picOptions_3, "FormOption1"}}) {
        const QString caption = GetCaptionText(kWindowName, QLatin1String(key));
        if (!caption.isEmpty()) ui_->tbsOptions->setTabText(ui_->tbsOptions->indexOf(page), caption);
    }

    ui_->UserId->setSource(tableColumn(QStringLiteral("System Users"), 0));
    ui_->DefaultProduct->setSource(tableColumn(QStringLiteral("Products"), 0));
    readSettings();
    shown_ = currentValues();
    ui_->cmdApply->setEnabled(false);

    const auto changed = [this] { updateApply(); };
    for (QComboBox* box : {static_cast<QComboBox*>(ui_->UserId),
                           static_cast<QComboBox*>(ui_->DefaultProduct), ui_->EPrinterList,
                           ui_->EnvDefinition})
        connect(box, &QComboBox::currentTextChanged, this, changed);
    for (QLineEdit* box : {ui_->TextOption_0, ui_->TextOption_1, ui_->TextOption_2, ui_->TextOption_3})
        connect(box, &QLineEdit::textChanged, this, changed);
    for (QAbstractButton* button :
         std::initializer_list<QAbstractButton*>{
             ui_->FormPosition_0, ui_->FormPosition_1, ui_->FormPosition_2, ui_->LoadToDo,
             ui_->UnloadSend, ui_->PrintPreview, ui_->BillActivities, ui_->CalculateonCost,
             ui_->EmailOption_0, ui_->EmailOption_1})
        connect(button, &QAbstractButton::toggled, this, changed);
    for (QListWidget* list : {ui_->SortList, ui_->FormList})
        connect(list, &QListWidget::itemChanged, this, changed);

    QToolButton* browse[3] = {ui_->dbBrowse_0, ui_->dbBrowse_1, ui_->dbBrowse_2};
    for (int i = 0; i < 3; ++i)
        connect(browse[i], &QToolButton::clicked, this, [this, i] { browseDatabase(i); });
    connect(ui_->dbBrowse_3, &QToolButton::clicked, this, &OptionsWindow::browseFilesFolder);
    QRadioButton* categories[3] = {ui_->LogOption_0, ui_->LogOption_1, ui_->LogOption_2};
    for (int i = 0; i < 3; ++i)
        connect(categories[i], &QRadioButton::toggled, this, [this, i](bool on) {
            if (on) showLogCategory(i);
        });
    connect(ui_->LogSettings, &QTreeWidget::itemActivated, this, &OptionsWindow::editLogEvent);
    connect(ui_->cmdOK, &QPushButton::clicked, this, &OptionsWindow::accept);
    connect(ui_->cmdApply, &QPushButton::clicked, this, &OptionsWindow::apply);
    connect(ui_->cmdCancel, &QPushButton::clicked, this, &OptionsWindow::reject);
    ui_->LogOption_0->setChecked(true);
}

OptionsWindow::~OptionsWindow() = default;

void OptionsWindow::readSettings() {
    ui_->UserId->setEditText(Setting(keys::UserId));
    ui_->TextOption_0->setText(Setting(keys::DataLocation));
    ui_->TextOption_1->setText(Setting(keys::DefinitionsLocation));
    ui_->TextOption_2->setText(Setting(keys::PostOffice));
    ui_->TextOption_3->setText(Setting(keys::FilesLocation));
    QRadioButton* positions[3] = {ui_->FormPosition_0, ui_->FormPosition_1, ui_->FormPosition_2};
    positions[std::clamp(settingOr(keys::StartFormsAtTop, 0), 0, 2)]->setChecked(true);
    ui_->LoadToDo->setChecked(settingOr(keys::AutoloadToDoList, 0) != 0);
    ui_->UnloadSend->setChecked(settingOr(keys::AutoUnloadSend, 0) != 0);
    ui_->PrintPreview->setChecked(settingOr(keys::PrintPreview, 0) != 0);
    ui_->DefaultProduct->setEditText(Setting(keys::ServiceProductCode));
    bool bill = false;
    (void)data::attempt([&] { bill = SettingBool(keys::BillActivities); });
    ui_->BillActivities->setChecked(bill);
    bool onCost = false;
    (void)data::attempt([&] { onCost = SettingBool(keys::CalculateTaxOnCost); });
    ui_->CalculateonCost->setChecked(onCost);
    fillTableList(ui_->SortList, QStringLiteral("SORTOPTION"), &keys::DescendingSort);
    fillTableList(ui_->FormList, QStringLiteral("FORMCLOSE"), &keys::ExitOnSave);
    fillEnvelopeLists();
    (settingOr(keys::EmailType, 0) == 0 ? ui_->EmailOption_0 : ui_->EmailOption_1)
        ->setChecked(true);
}

void OptionsWindow::fillTableList(QListWidget* list, const QString& flagColumn,
                                  SettingKey (*key)(const QString&)) {
    data::StringListSink tables;
    data::FillList(QStringLiteral("SELECT * FROM [TABLE DEFINITIONS] WHERE ") + flagColumn +
                       QStringLiteral(" <> 0 ORDER BY [DISPLAYNAME]"),
                   tables, 1, data::kDefinitionsDb);
    list->clear();
    for (const QString& table : tables.items) {
        auto* item = new QListWidgetItem(table, list);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(settingOr(key(table), 0) != 0 ? Qt::Checked : Qt::Unchecked);
    }
}

void OptionsWindow::fillEnvelopeLists() {
    ui_->EPrinterList->clear();
    ui_->EPrinterList->addItem(QString());
    ui_->EPrinterList->addItems(QPrinterInfo::availablePrinterNames());
    showText(ui_->EPrinterList, Setting(keys::EnvelopePrinter));
    ui_->EnvDefinition->clear();
    ui_->EnvDefinition->addItem(QString());
    // The report files of the site in use (none when a server site has no files folder).
    if (const QString files = data::siteFilesFolder(); !files.isEmpty())
        ui_->EnvDefinition->addItems(QDir(files).entryList({QStringLiteral("*.rpt")}, QDir::Files,
                                                           QDir::Name | QDir::IgnoreCase));
    showText(ui_->EnvDefinition, Setting(keys::EnvelopeDefinition));
}

OptionsWindow::Values OptionsWindow::currentValues() const {
    Values values;
    // Empty boxes keep what is stored: they write nothing.
    const auto unlessEmpty = [&](const SettingKey& key, const QString& text) {
        if (!text.trimmed().isEmpty()) values.emplace_back(key, text.trimmed());
    };
    unlessEmpty(keys::UserId, ui_->UserId->currentText());
    unlessEmpty(keys::DataLocation, ui_->TextOption_0->text());
    unlessEmpty(keys::DefinitionsLocation, ui_->TextOption_1->text());
    unlessEmpty(keys::PostOffice, ui_->TextOption_2->text());
    // Emptied, the files folder falls back to its default (see data::siteFilesFolder).
    values.emplace_back(keys::FilesLocation, ui_->TextOption_3->text().trimmed());
    const int position = ui_->FormPosition_2->isChecked()   ? 2
                         : ui_->FormPosition_1->isChecked() ? 1
                                                            : 0;
    values.emplace_back(keys::StartFormsAtTop, QString::number(position));
    values.emplace_back(keys::AutoloadToDoList, flag(ui_->LoadToDo->isChecked()));
    values.emplace_back(keys::AutoUnloadSend, flag(ui_->UnloadSend->isChecked()));
    values.emplace_back(keys::PrintPreview, flag(ui_->PrintPreview->isChecked()));
    values.emplace_back(keys::ServiceProductCode, ui_->DefaultProduct->currentText().trimmed());
    values.emplace_back(keys::BillActivities, flag(ui_->BillActivities->isChecked()));
    values.emplace_back(keys::CalculateTaxOnCost, flag(ui_->CalculateonCost->isChecked()));
    for (const auto& [list, key] : {std::pair{ui_->SortList, &keys::DescendingSort},
                                    std::pair{ui_->FormList, &keys::ExitOnSave}}) {
        for (int i = 0; i < list->count(); ++i) {
            const QListWidgetItem* item = list->item(i);
            values.emplace_back(key(item->text()), flag(item->checkState() == Qt::Checked));
        }
    }
    values.emplace_back(keys::EnvelopePrinter, ui_->EPrinterList->currentText());
    values.emplace_back(keys::EnvelopeDefinition, ui_->EnvDefinition->currentText());
    values.emplace_back(keys::EmailType, flag(!ui_->EmailOption_0->isChecked()));
    return values;
}

void OptionsWindow::updateApply() {
    const Values now = currentValues();
    const bool same = std::equal(now.begin(), now.end(), shown_.begin(), shown_.end(),
                                 [](const auto& a, const auto& b) {
                                     return sameKey(a.first, b.first) && a.second == b.second;
                                 });
    ui_->cmdApply->setEnabled(!same);
}

bool OptionsWindow::foldersAreValid(const Values& changed) {
    const SettingKey* folderKeys[3] = {&keys::DataLocation, &keys::DefinitionsLocation,
                                       &keys::PostOffice};
    QLineEdit* boxes[3] = {ui_->TextOption_0, ui_->TextOption_1, ui_->TextOption_2};
    for (const auto& [key, folder] : changed) {
        if (sameKey(key, keys::FilesLocation) && !folder.isEmpty() && !data::isFilesFolder(folder)) {
            data::ShowMessage(kNoFilesFolder, folder);
            ui_->tbsOptions->setCurrentWidget(ui_->picOptions_0);
            ui_->TextOption_3->setFocus(Qt::OtherFocusReason);
            ui_->TextOption_3->selectAll();
            return false;
        }
        for (int i = 0; i < 3; ++i) {
            if (!sameKey(key, *folderKeys[i])) continue;
            const QString file = tv::joinPath(folder, QLatin1String(kFolders[i].file));
            // A server location is tried, and what is wrong with it told, as at sign-in.
            const bool server = engine::IsServerLocation(folder);
            if (data::LocationHoldsDatabase(folder, QLatin1String(kFolders[i].file), server))
                continue;
            if (!server && i == 0)
                data::ShowMessage(kNoDataDatabase);
            else if (!server)
                data::ShowMessage(kNoDatabaseFile, QDir::toNativeSeparators(file));
            ui_->tbsOptions->setCurrentWidget(ui_->picOptions_0);
            boxes[i]->setFocus(Qt::OtherFocusReason);
            boxes[i]->selectAll();
            return false;
        }
    }
    return true;
}

bool OptionsWindow::apply() {
    const Values now = currentValues();
    Values changed;
    for (const auto& entry : now) {
        const auto before = std::find_if(shown_.begin(), shown_.end(), [&](const auto& shown) {
            return sameKey(shown.first, entry.first);
        });
        if (before == shown_.end() || before->second != entry.second) changed.push_back(entry);
    }
    if (!foldersAreValid(changed)) return false;
    // One write of the settings file for all of them.
    const SettingsBatch batch;
    for (const auto& [key, value] : changed) {
        (void)data::attempt([&] { SaveSetting(key, value); });
        // These two take effect at once; the folders wait for the next sign-in.
        if (sameKey(key, keys::StartFormsAtTop)) data::state().WindowPlacementMode = value.toInt();
        if (sameKey(key, keys::EmailType)) data::state().MailCheckMode = value.toInt();
    }
    shown_ = now;
    ui_->cmdApply->setEnabled(false);
    return true;
}

void OptionsWindow::accept() {
    if (apply()) QDialog::accept();
}

void OptionsWindow::browseDatabase(int index) {
    QLineEdit* boxes[3] = {ui_->TextOption_0, ui_->TextOption_1, ui_->TextOption_2};
    const DatabaseFolder& folder = kFolders[index];
    const QString file = QLatin1String(folder.file);
    data::FileRequest request;
    request.title = GetCaptionText(kWindowName, QLatin1String(folder.dialogKey));
    request.initialFolder = boxes[index]->text().trimmed();
    request.filter = QStringLiteral("Access Databases (*.mdb)|*.mdb");
    request.defaultName = file;
    const QString picked = data::prompter().openFile(request);
    if (picked.isEmpty()) return;
    const QFileInfo info(picked);
    if (info.fileName().compare(file, Qt::CaseInsensitive) != 0) {
        if (index == 0)
            data::ShowMessage(kNoDataDatabase);
        else
            data::ShowMessage(kNoDatabaseFile, QDir::toNativeSeparators(
                                                   tv::joinPath(info.absolutePath(), file)));
        return;
    }
    boxes[index]->setText(QDir::toNativeSeparators(info.absolutePath()));
}

void OptionsWindow::browseFilesFolder() {
    const QString start = ui_->TextOption_3->text().trimmed();
    const QString picked = data::prompter().chooseFolder(
        ui_->FilesLocationLabel->text().remove(u'&').remove(u':'),
        data::isFilesFolder(start) ? start : QString());
    if (!picked.isEmpty()) ui_->TextOption_3->setText(QDir::toNativeSeparators(picked));
}

void OptionsWindow::showLogCategory(int index) {
    ui_->LogSettings->clear();
    const QString sql =
        QStringLiteral("SELECT * FROM [ACTIVITY LOG OPTIONS] WHERE [EVENT CATEGORY] = ") +
        engine::quoteLiteral(kCategories[index]) + QStringLiteral(" ORDER BY [KEY VALUE]");
    engine::Recordset rs = data::OpenTable(sql, data::kDefinitionsDb);
    if (!rs.IsOpen()) return;
    (void)data::attempt([&] {
        for (; !rs.EOF_(); rs.MoveNext()) {
            QStringList cells;
            for (int column = 1; column <= 5; ++column) {
                const tv::Variant v = rs[column];
                cells << (v.isNull() ? QString() : tv::CStr(v));
            }
            // Cost as money.
            if (!cells[4].isEmpty() && tv::IsNumeric(tv::Variant(cells[4])))
                cells[4] = tv::Format(tv::Variant(tv::Val(cells[4])), QStringLiteral("0.00"));
            auto* item = new QTreeWidgetItem(ui_->LogSettings, cells);
            item->setData(0, Qt::UserRole, kCategories[index]);
            item->setTextAlignment(3, Qt::AlignRight | Qt::AlignVCenter);
            item->setTextAlignment(4, Qt::AlignRight | Qt::AlignVCenter);
        }
    });
    rs.Close();
    for (int column = 0; column < ui_->LogSettings->columnCount(); ++column)
        ui_->LogSettings->resizeColumnToContents(column);
}

void OptionsWindow::editLogEvent(QTreeWidgetItem* item) {
    if (!item) return;
    const QString category = item->data(0, Qt::UserRole).toString();
    LogOptionsWindow editor(this);
    editor.showLogEvent(category, {item->text(0), item->text(1), item->text(2), item->text(3),
                                   item->text(4)});
    if (editor.exec() != QDialog::Accepted) return;
    for (int i = 0; i < 3; ++i) {
        if (kCategories[i] == category) showLogCategory(i);
    }
}

}  // namespace tv::forms
