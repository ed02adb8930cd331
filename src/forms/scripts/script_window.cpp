#include "forms/scripts/script_window.h"

#include "data/access.h"
#include "forms/framework/pick_list.h"
#include "forms/scripts/script_dialogs.h"
#include "forms/scripts/script_steps.h"
#include "reports/document_printing.h"
#include "ui_script_window.h"

#include <QPointer>

namespace tv::forms {

namespace {

constexpr int kNoName = 9167;

QString kindName(int type) {
    switch (type) {
    case kNumberResponse: return QObject::tr("Number");
    case kTextResponse: return QObject::tr("Text");
    case kYesNoResponse: return QObject::tr("Yes/No");
    default: return QObject::tr("Choice");
    }
}

QString shownList(const QString& tabbed) { return QString(tabbed).replace(u'\t', QStringLiteral(", ")).chopped(tabbed.endsWith(u'\t') ? 2 : 0); }

}  // namespace

ScriptWindow::ScriptWindow(QWidget* parent)
    : RecordWindow(parent), ui_(std::make_unique<Ui::ScriptWindow>()) {
    ui_->setupUi(this);
    ui_->Campaign->setSource(tableColumn(QStringLiteral("Sales Campaigns"), 0));
    connect(ui_->SubButton_0, &QPushButton::clicked, this, [this] { addStep(); });
    connect(ui_->SubButton_1, &QPushButton::clicked, this, [this] { editStep(); });
    connect(ui_->SubButton_2, &QPushButton::clicked, this, [this] { deleteStep(); });
    connect(ui_->TDBGrid1, &QTreeWidget::itemActivated, this, [this] { editStep(); });
    connect(ui_->Printf, &QPushButton::clicked, this, &ScriptWindow::printScript);
}

ScriptWindow::~ScriptWindow() = default;

QString ScriptWindow::defaultTableName() const { return QStringLiteral("Scripts"); }

QSize ScriptWindow::defaultSizeTwips() const { return QSize(9000, 6600); }

void ScriptWindow::refreshSteps() {
    const std::int32_t selected = selectedStep();
    ui_->TDBGrid1->clear();
    const QString name = localEditMode() == 2 ? originalKeyValue() : QString();
    if (name.isEmpty()) return;
    for (const ScriptStep& s : LoadScriptSteps(name)) {
        auto* item = new QTreeWidgetItem(ui_->TDBGrid1, {QString::number(s.branchId), s.prompt.simplified(),
                                                          kindName(s.responseType), shownList(s.responseString),
                                                          shownList(s.branchString)});
        item->setData(0, Qt::UserRole, s.branchId);
        if (s.branchId == selected) ui_->TDBGrid1->setCurrentItem(item);
    }
    ui_->TDBGrid1->resizeColumnToContents(0);
    // The question is what the writer reads: it takes half the width.
    ui_->TDBGrid1->setColumnWidth(1, ui_->TDBGrid1->viewport()->width() / 2);
}

int ScriptWindow::stepCount() const { return ui_->TDBGrid1->topLevelItemCount(); }

std::int32_t ScriptWindow::selectedStep() const {
    const QTreeWidgetItem* item = ui_->TDBGrid1->currentItem();
    return item ? item->data(0, Qt::UserRole).toInt() : 0;
}

bool ScriptWindow::storedName(QString* name) {
    if (ui_->ScriptName->text().trimmed().isEmpty()) {
        data::ShowMessage(kNoName);
        ui_->ScriptName->setFocus();
        return false;
    }
    if ((localEditMode() != 2 || hasUnsavedChanges()) && !save()) return false;
    *name = originalKeyValue();
    return !name->isEmpty();
}

bool ScriptWindow::runStepDialog(std::int32_t branchId) {
    QString name;
    if (!storedName(&name)) return false;
    // Saving a new script may have closed the window ("Exit On Save"): the dialog belongs
    // to the main window, and the steps are shown again only while this one is open.
    QPointer<ScriptWindow> self(this);
    ScriptItem dialog(name, branchId, window());
    if (dialog.exec() != QDialog::Accepted) return false;
    if (self) refreshSteps();
    return true;
}

bool ScriptWindow::addStep() { return runStepDialog(0); }

bool ScriptWindow::editStep() {
    const std::int32_t id = selectedStep();
    return id > 0 && runStepDialog(id);
}

bool ScriptWindow::deleteStep() {
    const std::int32_t id = selectedStep();
    if (id <= 0 || localEditMode() != 2) return false;
    if (!data::DeleteRecord(QStringLiteral("Scripts Detail"), originalKeyValue(), QString::number(id),
                            QString(), true))
        return false;
    refreshSteps();
    return true;
}

void ScriptWindow::printScript() {
    QString name;
    if (!storedName(&name)) return;
    reports::PrintDocument(reports::Document::CallScript, name, windowTitle());
}

}  // namespace tv::forms
