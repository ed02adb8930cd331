#include "forms/scripts/run_script.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/window_layout.h"
#include "ui_run_script.h"

#include <QCloseEvent>
#include <QRadioButton>

namespace tv::forms {

namespace {

const QString kWindow = QStringLiteral("RunScript");
constexpr int kStoreRun = 120;
constexpr int kNoSteps = 9169;
constexpr int kEndMessageColumn = 4;  // SCRIPTS, from 1

}  // namespace

RunScript::RunScript(QWidget* parent) : QWidget(parent), ui_(std::make_unique<Ui::RunScript>()) {
    ui_->setupUi(this);
    setObjectName(kWindow);
    ApplyFormCaptions(this, kWindow);
    connect(ui_->cmdButton_0, &QPushButton::clicked, this, &RunScript::next);
    connect(ui_->cmdButton_1, &QPushButton::clicked, this, [this] { finish(); });
    // A number is shown as the number it reads as once the box is left.
    connect(ui_->NumericResponse, &QLineEdit::editingFinished, this, [this] {
        const QString typed = ui_->NumericResponse->text().trimmed();
        if (!typed.isEmpty()) ui_->NumericResponse->setText(tv::Format(tv::Variant(tv::Val(typed))));
    });
}

RunScript::~RunScript() = default;

bool RunScript::start(const QString& customer, const QString& contact, const QString& script) {
    steps_ = LoadScriptSteps(script);
    if (steps_.empty()) {
        data::ShowMessage(kNoSteps, script);
        return false;
    }
    data::FieldValueArray& values = data::state().FieldValues;
    const data::FieldValueArray kept = values;
    endMessage_ = data::LoadRecord(QStringLiteral("Scripts"), script) ? values(kEndMessageColumn)
                                                                      : QString();
    values = kept;
    if (endMessage_.isEmpty()) endMessage_ = tr("This is the end of the script. Thank the contact for their time.");
    answers_ = QStringList(static_cast<qsizetype>(steps_.size()), QString());
    current_ = 0;
    ui_->CustomerName->setText(customer);
    ui_->ContactName->setText(contact);
    ui_->ScriptName->setText(script);
    ui_->Started->setText(tv::Format(tv::Variant(data::prompter().now()), QStringLiteral("General Date")));
    ui_->Operator->setText(data::state().CurrentUserId);
    setWindowTitle(windowTitle() + QStringLiteral(" - ") + script);
    showStep();
    return true;
}

void RunScript::showStep() {
    qDeleteAll(options_);
    options_.clear();
    ui_->NumericResponse->clear();
    ui_->TextResponse->clear();
    const bool past = current_ >= steps_.size();
    ui_->NumericResponse->setVisible(false);
    ui_->TextResponse->setVisible(false);
    ui_->OptionPanel->setVisible(false);
    ui_->EndMessage->setVisible(past);
    ui_->Question->setVisible(!past);
    ui_->cmdButton_0->setEnabled(!past);
    if (past) {
        ui_->EndMessage->setText(endMessage_);
        ui_->StepNo->setText(tr("End"));
        ui_->cmdButton_1->setDefault(true);
        ui_->cmdButton_1->setFocus();
        return;
    }
    const ScriptStep& step = steps_[current_];
    ui_->StepNo->setText(QString::number(step.branchId));
    ui_->Question->setText(step.prompt);
    if (step.isChoice()) {
        ui_->OptionPanel->setVisible(true);
        const QStringList responses = ScriptResponses(step.responseString);
        for (qsizetype i = 0; i < responses.size(); ++i) {
            auto* option = new QRadioButton(responses[i], ui_->OptionPanel);
            option->setObjectName(QStringLiteral("ResponseOption_%1").arg(i));
            ui_->OptionLayout->addWidget(option);
            options_ << option;
        }
        if (!options_.isEmpty()) options_.first()->setFocus();
    } else if (step.responseType == kNumberResponse) {
        ui_->NumericResponse->setVisible(true);
        ui_->NumericResponse->setFocus();
    } else {
        ui_->TextResponse->setVisible(true);
        ui_->TextResponse->setFocus();
    }
}

QString RunScript::currentAnswer() const {
    if (current_ >= steps_.size()) return QString();
    const ScriptStep& step = steps_[current_];
    if (step.isChoice()) {
        for (const QRadioButton* option : options_)
            if (option->isChecked()) return option->text().remove(u'&');
        return QString();
    }
    if (step.responseType == kNumberResponse) {
        const QString typed = ui_->NumericResponse->text().trimmed();
        return typed.isEmpty() ? typed : tv::Format(tv::Variant(tv::Val(typed)));
    }
    return ui_->TextResponse->toPlainText();
}

void RunScript::answer(const QString& text) {
    if (current_ >= steps_.size()) return;
    const ScriptStep& step = steps_[current_];
    if (step.isChoice()) {
        for (QRadioButton* option : options_)
            if (option->text().remove(u'&') == text) option->setChecked(true);
    } else if (step.responseType == kNumberResponse) {
        ui_->NumericResponse->setText(text);
    } else {
        ui_->TextResponse->setPlainText(text);
    }
}

void RunScript::next() {
    if (current_ >= steps_.size()) return;
    const QString given = currentAnswer();
    answers_[static_cast<qsizetype>(current_)] = given;
    current_ = NextStepIndex(steps_, current_, given);
    showStep();
}

bool RunScript::finish() {
    bool stored = false;
    if (data::ShowMessage(kStoreRun) == data::msgbox::kYes) {
        // The shown step's answer counts too, so a run finished early keeps it.
        if (current_ < steps_.size()) answers_[static_cast<qsizetype>(current_)] = currentAnswer();
        stored = StoreScriptRun(ui_->CustomerName->text(), ui_->ScriptName->text(),
                                ui_->Started->text(), ui_->ContactName->text(), steps_, answers_);
        if (!stored) return false;  // the answers stay on screen
    }
    close();
    return stored;
}

void RunScript::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // Placed once it is in its frame: inside the main window that is its sub-window.
    if (!placed_) {
        placed_ = true;
        RestoreWindowLayout(this, kWindow, 6000, 7800, kRecordWindow);
    }
}

void RunScript::closeEvent(QCloseEvent* event) {
    SaveWindowLayout(this, kWindow, kRecordWindow);
    event->accept();
}

}  // namespace tv::forms
