#include "forms/reports/report_def.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/locations.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/reports/report_item.h"
#include "ui_report_def.h"

#include <QFileInfo>
#include <QHeaderView>

namespace tv::forms {

namespace {

const QString kTable = QStringLiteral("Report Definitions");
constexpr int kSavedStatus = 9107;
constexpr int kNoFileMessage = 9109;

QString keyCondition(const QString& category, const QString& name) {
    return QStringLiteral(" WHERE [NAME] = ") + engine::quoteLiteral(name) + QStringLiteral(" AND [CATEGORY] = ") +
           engine::quoteLiteral(category);
}

void fillCombo(QComboBox* combo, const QString& source, int column) {
    data::StringListSink items;
    data::FillList(source, items, column, data::kDefinitionsDb);
    const QString shown = combo->currentText();
    combo->clear();
    combo->addItems(items.items);
    combo->setCurrentText(shown);
}

}  // namespace

ReportDef::ReportDef(QWidget* parent) : RecordWindow(parent), ui_(std::make_unique<Ui::ReportDef>()) {
    ui_->setupUi(this);
    ui_->CriteriaGrid->setColumnCount(5);
    ui_->CriteriaGrid->setHorizontalHeaderLabels({tr("No."), tr("Table"), tr("Field"), tr("Operator"), tr("Input")});
    ui_->CriteriaGrid->horizontalHeader()->setStretchLastSection(true);
    ui_->CriteriaGrid->verticalHeader()->hide();
    connect(ui_->Browsef, &QPushButton::clicked, this, &ReportDef::browse);
    connect(ui_->SubButton_0, &QPushButton::clicked, this, [this] { editCriterion(true); });
    connect(ui_->SubButton_1, &QPushButton::clicked, this, [this] { editCriterion(false); });
    connect(ui_->CriteriaGrid, &QTableWidget::cellDoubleClicked, this, [this] { editCriterion(false); });
    connect(ui_->SubButton_2, &QPushButton::clicked, this, &ReportDef::deleteCriterion);
    connect(ui_->Deletef, &QPushButton::clicked, this, &ReportDef::deleteReport);
}

ReportDef::~ReportDef() = default;

QString ReportDef::defaultTableName() const { return kTable; }

QSize ReportDef::defaultSizeTwips() const { return QSize(8400, 7800); }

int ReportDef::savedStatusMessage() const { return kSavedStatus; }

void ReportDef::afterLoad() {
    fillCombo(ui_->Category, QStringLiteral("SELECT DISTINCT CATEGORY FROM [REPORT DEFINITIONS]"), 0);
    fillCombo(ui_->Destination, QStringLiteral("SELECT * FROM [OPTION LISTS] WHERE [LIST NAME] = 'Report Output'"), 1);
    fillCombo(ui_->FileFormat, QStringLiteral("SELECT * FROM [OPTION LISTS] WHERE [LIST NAME] = 'Report File Format'"), 1);
}

void ReportDef::browse() {
    data::FileRequest request;
    request.title = GetCaptionText(QStringLiteral("CommonDialog"), QStringLiteral("GetReportDef"));
    if (request.title.isEmpty()) request.title = tr("Report File");
    request.filter = QStringLiteral("Report Definitions (*.rpt)|*.rpt|All Files (*.*)|*.*");
    const QString files = data::siteFilesFolder();
    request.initialFolder = files;
    request.flags = data::filedlg::kFileMustExist | data::filedlg::kHideReadOnly;
    const QString path = data::prompter().openFile(request);
    if (path.isEmpty()) return;
    // A file in the site's files folder is stored by its name, so the folder can move.
    const QFileInfo file(path);
    const bool inFilesFolder = !files.isEmpty() && QFileInfo(file.absolutePath()) == QFileInfo(files);
    ui_->ReportFile->setText(inFilesFolder ? file.fileName() : path);
}

bool ReportDef::beforeSave() {
    keyBeforeSave_ = storedKey();
    const QString file = ui_->ReportFile->text().trimmed();
    if (file.isEmpty()) return true;
    const QString folder = QFileInfo(file).isAbsolute() ? QString() : data::siteFilesFolder();
    const QString path = folder.isEmpty() ? file : folder + u'/' + file;
    if (QFileInfo::exists(path)) return true;
    return data::ShowMessage(kNoFileMessage, path) == data::msgbox::kYes;
}

void ReportDef::afterSave() {
    // A renamed report keeps its criteria.
    const QStringList key = storedKey();
    if (keyBeforeSave_.size() == 2 && key.size() == 2 && keyBeforeSave_ != key) {
        try {
            data::state().DefinitionsDb.Execute(
                QStringLiteral("UPDATE [REPORT SELECTION] SET [CATEGORY] = ") + engine::quoteLiteral(key[0]) +
                QStringLiteral(", [NAME] = ") + engine::quoteLiteral(key[1]) +
                keyCondition(keyBeforeSave_[0], keyBeforeSave_[1]));
        } catch (const engine::DbError& e) {
            data::ShowMessage(106, QStringLiteral("\n\n%1 (%2)").arg(e.text()).arg(e.number()));
        }
    }
    refreshCriteria();
}

void ReportDef::refreshCriteria() {
    QTableWidget* grid = ui_->CriteriaGrid;
    grid->setRowCount(0);
    const QStringList key = storedKey();
    if (key.size() < 2) return;
    static const QStringList inputs = {tr("Text Box"), tr("Drop Down List"), tr("Check Box"), tr("Date"), tr("Extended List")};
    engine::Recordset rs = data::OpenTable(QStringLiteral("SELECT * FROM [REPORT SELECTION]") + keyCondition(key[0], key[1]) +
                                               QStringLiteral(" ORDER BY [ITEMNO]"),
                                           data::kDefinitionsDb);
    if (!rs.IsOpen()) return;
    try {
        for (; !rs.EOF_(); rs.MoveNext()) {
            const int row = grid->rowCount();
            grid->insertRow(row);
            const int option = rs[6].isNull() ? 0 : tv::CInt(rs[6]);
            const QStringList cells = {tv::TextOf(rs[2]), tv::TextOf(rs[3]), tv::TextOf(rs[4]), tv::TextOf(rs[5]),
                                       inputs.value(option)};
            for (int c = 0; c < cells.size(); ++c) grid->setItem(row, c, new QTableWidgetItem(cells[c]));
        }
    } catch (const engine::DbError& e) {
        data::ShowMessage(194, QStringLiteral("\n\n%1 (%2)").arg(e.text()).arg(e.number()));
    }
    rs.Close();
}

void ReportDef::editCriterion(bool newItem) {
    const QStringList key = storedKey();
    if (key.size() < 2) {
        // Criteria belong to a saved report.
        data::prompter().beep();
        return;
    }
    const int row = ui_->CriteriaGrid->currentRow();
    if (!newItem && row < 0) return;
    ReportItem item(this);
    if (newItem) item.newItem(key[0], key[1], ui_->CriteriaGrid->rowCount() + 1);
    else if (!item.showItem(key[0], key[1], ui_->CriteriaGrid->item(row, 0)->text())) return;
    if (item.exec() == QDialog::Accepted) refreshCriteria();
}

bool ReportDef::deleteCriterion() {
    const QStringList key = storedKey();
    const int row = ui_->CriteriaGrid->currentRow();
    if (key.size() < 2 || row < 0) return false;
    if (!data::DeleteRecord(QStringLiteral("REPORT SELECTION"), key[0], key[1], ui_->CriteriaGrid->item(row, 0)->text(),
                            true, data::kDefinitionsDb))
        return false;
    refreshCriteria();
    return true;
}

bool ReportDef::deleteReport() {
    const QStringList key = storedKey();
    if (key.size() < 2) return false;
    if (!data::DeleteRecord(kTable, key[0], key[1], QString(), true, data::kDefinitionsDb)) return false;
    try {
        data::state().DefinitionsDb.Execute(QStringLiteral("DELETE * FROM [REPORT SELECTION]") + keyCondition(key[0], key[1]));
    } catch (const engine::DbError& e) {
        data::ShowMessage(9040, QStringLiteral("\n\n%1 (%2)").arg(e.text()).arg(e.number()));
    }
    close();
    return true;
}

}  // namespace tv::forms
