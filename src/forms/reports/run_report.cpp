#include "forms/reports/run_report.h"

#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/record_opener.h"
#include "forms/reports/report_criteria.h"
#include "ui_run_report.h"

#include <QPushButton>
#include <QTreeWidget>

namespace tv::forms {

namespace {

constexpr int kWrongPasswordMessage = 9003;
const QString kTable = QStringLiteral("Report Definitions");
constexpr int kCategoryRole = Qt::UserRole;
constexpr int kNameRole = Qt::UserRole + 1;
constexpr int kDescriptionRole = Qt::UserRole + 2;

// REPORT DEFINITIONS' columns, by position.
enum DefinitionColumn { kCategory = 0, kName, kDescription, kReportFile, kOutputFile, kDestination, kFileFormat, kPassword };

// "Disk File" 2, "Printer" 1, anything else the screen.
int destinationCode(const QString& destination) {
    if (destination.compare(QLatin1String("Disk File"), Qt::CaseInsensitive) == 0) return 2;
    if (destination.compare(QLatin1String("Printer"), Qt::CaseInsensitive) == 0) return 1;
    return 0;
}

}  // namespace

RunReport::RunReport(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::RunReport>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, objectName());
    connect(ui_->TreeView1, &QTreeWidget::currentItemChanged, this, &RunReport::showDescription);
    connect(ui_->TreeView1, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
        if (item && item->parent()) runSelected();
    });
    connect(ui_->ListCommand_0, &QPushButton::clicked, this, [this] { runSelected(); });
    connect(ui_->ListCommand_1, &QPushButton::clicked, this, [this] { editSelected(false); });
    connect(ui_->ListCommand_2, &QPushButton::clicked, this, [this] { editSelected(true); });
    connect(ui_->ListCommand_3, &QPushButton::clicked, this, &QWidget::close);
    refresh();
}

RunReport::~RunReport() = default;

void RunReport::refresh() {
    ui_->TreeView1->clear();
    engine::Recordset rs = data::OpenTable(
        QStringLiteral("SELECT * FROM [REPORT DEFINITIONS] ORDER BY [CATEGORY], [NAME]"), data::kDefinitionsDb);
    if (!rs.IsOpen()) return;
    QTreeWidgetItem* branch = nullptr;
    try {
        for (; !rs.EOF_(); rs.MoveNext()) {
            const QString category = tv::TextOf(rs[kCategory]);
            if (!branch || branch->text(0).compare(category, Qt::CaseInsensitive) != 0) {
                branch = new QTreeWidgetItem(ui_->TreeView1, {category});
                branch->setExpanded(true);
            }
            auto* report = new QTreeWidgetItem(branch, {tv::TextOf(rs[kName])});
            report->setData(0, kCategoryRole, category);
            report->setData(0, kNameRole, tv::TextOf(rs[kName]));
            report->setData(0, kDescriptionRole, tv::TextOf(rs[kDescription]));
        }
    } catch (const engine::DbError& e) {
        data::ShowMessage(194, QStringLiteral("\n\n%1 (%2)").arg(e.text()).arg(e.number()));
    }
    rs.Close();
    showDescription();
}

bool RunReport::selectReport(const QString& category, const QString& name) {
    for (int i = 0; i < ui_->TreeView1->topLevelItemCount(); ++i) {
        QTreeWidgetItem* branch = ui_->TreeView1->topLevelItem(i);
        for (int j = 0; j < branch->childCount(); ++j) {
            QTreeWidgetItem* item = branch->child(j);
            if (item->data(0, kCategoryRole).toString().compare(category, Qt::CaseInsensitive) == 0 &&
                item->data(0, kNameRole).toString().compare(name, Qt::CaseInsensitive) == 0) {
                ui_->TreeView1->setCurrentItem(item);
                return true;
            }
        }
    }
    return false;
}

void RunReport::showDescription() {
    const QTreeWidgetItem* item = ui_->TreeView1->currentItem();
    const bool report = item && item->parent();
    ui_->ReportDesc->setText(report ? item->data(0, kDescriptionRole).toString() : QString());
    ui_->ListCommand_0->setEnabled(report);
    ui_->ListCommand_1->setEnabled(report);
}

ReportCriteria* RunReport::runSelected() {
    const QTreeWidgetItem* item = ui_->TreeView1->currentItem();
    if (!item || !item->parent()) return nullptr;
    const QString category = item->data(0, kCategoryRole).toString();
    const QString name = item->data(0, kNameRole).toString();
    if (!data::LoadRecord(kTable, category, name, data::kDefinitionsDb)) return nullptr;
    const data::FieldValueArray& row = data::state().FieldValues;
    const int destination = destinationCode(row(kDestination + 1));
    const QString password = row(kPassword + 1);
    if (!password.isEmpty()) {
        QString prompt = GetCaptionText(objectName(), QStringLiteral("PasswordPrompt"));
        if (prompt.isEmpty()) prompt = tr("Enter the password of the report \"%1\":").arg(name);
        if (data::prompter().inputBox(prompt, windowTitle(), QString()) != password) {
            data::ShowMessage(kWrongPasswordMessage);
            return nullptr;
        }
    }
    auto* criteria = new ReportCriteria(this);
    criteria->setAttribute(Qt::WA_DeleteOnClose);
    criteria->setReport(category, name, destination);
    criteria->BuildCriteriaPrompts();
    criteria->show();
    return criteria;
}

void RunReport::editSelected(bool newReport) {
    data::FieldValueArray values;
    const QTreeWidgetItem* item = ui_->TreeView1->currentItem();
    if (newReport) {
        values.resize(10);
        if (item) values(1) = item->parent() ? item->data(0, kCategoryRole).toString() : item->text(0);
        values(6) = QStringLiteral("Screen");
        data::state().PendingEditMode = 1;
    } else {
        if (!item || !item->parent()) return;
        if (!data::LoadRecord(kTable, item->data(0, kCategoryRole).toString(), item->data(0, kNameRole).toString(),
                              data::kDefinitionsDb))
            return;
        values = data::state().FieldValues;
        data::state().PendingEditMode = 2;
    }
    OpenRecordWindow(kTable, values);
}

}  // namespace tv::forms
