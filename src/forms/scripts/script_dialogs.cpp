#include "forms/scripts/script_dialogs.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "ui_script_item.h"
#include "ui_script_response.h"

#include <QPushButton>

namespace tv::forms {

namespace {

constexpr int kBadStepNumber = 9166;
constexpr int kNoAnswer = 9168;
constexpr int kTargetRole = Qt::UserRole;

QString stepCaption(const ScriptStep& s) {
    QString prompt = s.prompt.simplified();
    if (prompt.size() > 50) prompt = prompt.left(47) + QStringLiteral("...");
    return QStringLiteral("%1  %2").arg(s.branchId).arg(prompt);
}

}  // namespace

// ---- ScriptResponse -----------------------------------------------------------------------

ScriptResponse::ScriptResponse(const std::vector<ScriptStep>& steps, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ScriptResponse>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("Script Response"));
    ui_->BranchList->addItem(tr("The next step"), 0);
    for (const ScriptStep& s : steps) ui_->BranchList->addItem(stepCaption(s), s.branchId);
    connect(ui_->Buttons, &QDialogButtonBox::accepted, this, &ScriptResponse::accept);
    connect(ui_->Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ScriptResponse::~ScriptResponse() = default;

void ScriptResponse::setPair(const QString& response, std::int32_t target) {
    ui_->ValidResponse->setText(response);
    const int index = ui_->BranchList->findData(target);
    if (index >= 0) {
        ui_->BranchList->setCurrentIndex(index);
    } else {
        // A step since deleted: kept, so that saving changes nothing the user did not.
        ui_->BranchList->addItem(tr("%1 (no such step)").arg(target), target);
        ui_->BranchList->setCurrentIndex(ui_->BranchList->count() - 1);
    }
}

QString ScriptResponse::response() const { return ui_->ValidResponse->text(); }

std::int32_t ScriptResponse::target() const { return ui_->BranchList->currentData().toInt(); }

void ScriptResponse::accept() {
    // A tab would split the answer in two when the step is stored.
    ui_->ValidResponse->setText(ui_->ValidResponse->text().remove(u'\t').trimmed());
    if (ui_->ValidResponse->text().isEmpty()) {
        data::ShowMessage(kNoAnswer);
        ui_->ValidResponse->setFocus();
        return;
    }
    QDialog::accept();
}

// ---- ScriptItem ---------------------------------------------------------------------------

ScriptItem::ScriptItem(const QString& scriptName, std::int32_t branchId, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ScriptItem>()), script_(scriptName) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("Script Item"));
    ui_->ScriptName->setText(scriptName);

    engine::Recordset rs = data::OpenTable(
        QStringLiteral("SELECT * FROM [OPTION LISTS] WHERE [LIST NAME] = 'Response Type' ORDER BY OPTION"),
        data::kDefinitionsDb);
    (void)data::attempt([&] {
        for (; rs.IsOpen() && !rs.EOF_(); rs.MoveNext())
            ui_->ResponseType->addItem(tv::TextOf(rs[1]), static_cast<int>(tv::Val(tv::TextOf(rs[2]))));
    });
    rs.Close();
    if (ui_->ResponseType->count() == 0) {
        for (int i = 0; i <= kYesNoResponse; ++i) ui_->ResponseType->addItem(QString::number(i), i);
    }

    steps_ = LoadScriptSteps(scriptName);
    ScriptStep shown;
    for (const ScriptStep& s : steps_) {
        if (s.branchId == branchId) {
            shown = s;
            original_ = branchId;
        }
    }
    if (original_ == 0) shown.branchId = steps_.empty() ? 1 : steps_.back().branchId + 1;
    setStep(shown);

    connect(ui_->SubButton_0, &QPushButton::clicked, this, [this] { editResponse(true); });
    connect(ui_->SubButton_1, &QPushButton::clicked, this, [this] { editResponse(false); });
    connect(ui_->ListView1, &QTreeWidget::itemActivated, this, [this] { editResponse(false); });
    connect(ui_->SubButton_2, &QPushButton::clicked, this, &ScriptItem::removeResponse);
    connect(ui_->Buttons, &QDialogButtonBox::accepted, this, &ScriptItem::accept);
    connect(ui_->Buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
}

ScriptItem::~ScriptItem() = default;

void ScriptItem::setStep(const ScriptStep& step) {
    ui_->BranchId->setText(QString::number(step.branchId));
    ui_->Prompt->setPlainText(step.prompt);
    const int type = ui_->ResponseType->findData(step.responseType);
    ui_->ResponseType->setCurrentIndex(type < 0 ? 0 : type);
    ui_->ResponseString->setText(step.responseString);
    ui_->BranchString->setText(step.branchString);
    ui_->ListView1->clear();
    const QStringList responses = ScriptResponses(step.responseString);
    const std::vector<std::int32_t> targets = ScriptBranches(step.branchString);
    for (qsizetype i = 0; i < responses.size(); ++i) {
        const std::int32_t target =
            static_cast<std::size_t>(i) < targets.size() ? targets[static_cast<std::size_t>(i)] : 0;
        addResponse(responses[i], target);
    }
}

ScriptStep ScriptItem::step() const {
    ScriptStep s;
    s.branchId = static_cast<std::int32_t>(tv::Val(ui_->BranchId->text()));
    s.prompt = ui_->Prompt->toPlainText();
    s.responseType = ui_->ResponseType->currentData().toInt();
    s.responseString = ui_->ResponseString->text();
    s.branchString = ui_->BranchString->text();
    return s;
}

void ScriptItem::addResponse(const QString& response, std::int32_t target) {
    auto* item = new QTreeWidgetItem(ui_->ListView1, {response, target == 0 ? tr("next") : QString::number(target)});
    item->setData(1, kTargetRole, target);
    collectPairs();
}

void ScriptItem::collectPairs() {
    QString responses, branches;
    for (int i = 0; i < ui_->ListView1->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = ui_->ListView1->topLevelItem(i);
        responses += item->text(0) + u'\t';
        branches += QString::number(item->data(1, kTargetRole).toInt()) + u'\t';
    }
    ui_->ResponseString->setText(responses);
    ui_->BranchString->setText(branches);
}

void ScriptItem::editResponse(bool add) {
    QTreeWidgetItem* item = add ? nullptr : ui_->ListView1->currentItem();
    if (!add && !item) return;
    ScriptResponse dialog(steps_, this);
    if (item) dialog.setPair(item->text(0), item->data(1, kTargetRole).toInt());
    if (dialog.exec() != QDialog::Accepted) return;
    if (!item) {
        addResponse(dialog.response(), dialog.target());
        return;
    }
    item->setText(0, dialog.response());
    item->setText(1, dialog.target() == 0 ? tr("next") : QString::number(dialog.target()));
    item->setData(1, kTargetRole, dialog.target());
    collectPairs();
}

void ScriptItem::removeResponse() {
    delete ui_->ListView1->currentItem();
    collectPairs();
}

bool ScriptItem::saveStep() {
    const QString typed = ui_->BranchId->text().trimmed();
    bool whole = false;
    const int id = typed.toInt(&whole);
    bool taken = false;
    for (const ScriptStep& s : steps_) taken = taken || (s.branchId == id && id != original_);
    if (!whole || id < 1 || taken) {
        data::ShowMessage(kBadStepNumber, typed);
        ui_->BranchId->setFocus();
        return false;
    }
    const ScriptStep s = step();
    const QStringList values{script_, QString::number(id), s.prompt, QString::number(s.responseType),
                             s.responseString, s.branchString};
    if (!data::SaveRecord(QStringLiteral("Scripts Detail"), values, true)) return false;
    // A renumbered step leaves its old number.
    if (original_ != 0 && original_ != id)
        data::DeleteRecord(QStringLiteral("Scripts Detail"), script_, QString::number(original_),
                           QString(), false);
    original_ = id;
    return true;
}

void ScriptItem::accept() {
    if (saveStep()) QDialog::accept();
}

}  // namespace tv::forms
