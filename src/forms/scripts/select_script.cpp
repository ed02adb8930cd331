#include "forms/scripts/select_script.h"

#include "data/access.h"
#include "data/app_state.h"
#include "engine/engine.h"
#include "forms/customers/contact_numbers.h"
#include "forms/framework/captions.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_host.h"
#include "forms/scripts/run_script.h"
#include "ui_select_script.h"

namespace tv::forms {

namespace {

const QString kWindow = QStringLiteral("SelectScript");
constexpr int kNoCustomer = 117;
constexpr int kNoContact = 118;
constexpr int kNoScript = 119;

}  // namespace

SelectScript::SelectScript(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::SelectScript>()) {
    ui_->setupUi(this);
    setObjectName(kWindow);
    ApplyFormCaptions(this, kWindow);
    ui_->ContactName->setSource([this] { return customerContactNames(ui_->CustomerName->text()); });
    ui_->ScriptName->setSource(tableColumn(QStringLiteral("SELECT * FROM SCRIPTS ORDER BY [SCRIPT NAME]"), 0));
    connect(ui_->CustomerName, &QLineEdit::textChanged, ui_->ContactName, &PickList::invalidate);
    connect(ui_->ContactName, &QComboBox::currentTextChanged, this, &SelectScript::LoadContactNumbers);
    connect(ui_->Searchf, &QToolButton::clicked, this, &SelectScript::lookUpCustomer);
    connect(ui_->Startf, &QPushButton::clicked, this, [this] { startRun(); });
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QDialog::reject);
}

SelectScript::~SelectScript() = default;

void SelectScript::LoadContactNumbers() {
    const std::optional<ContactNumbers> numbers =
        ReadContactNumbers(ui_->CustomerName->text(), ui_->ContactName->currentText());
    ui_->BusinessNo->setText(numbers ? numbers->business : QString());
    ui_->HomeNo->setText(numbers ? numbers->home : QString());
    ui_->MobileNo->setText(numbers ? numbers->mobile : QString());
}

void SelectScript::setScript(const QString& script) { ui_->ScriptName->setEditText(script); }

void SelectScript::lookUpCustomer() {
    const QString customer =
        RunTableLookup(this, QStringLiteral("Customers"), 1, ui_->CustomerName->text());
    if (customer.isEmpty()) return;
    ui_->CustomerName->setText(customer);
    ui_->ContactName->setEditText(QString());
    ui_->ContactName->setFocus();
}

RunScript* SelectScript::startRun() {
    const QString customer = ui_->CustomerName->text().trimmed();
    const QString contact = ui_->ContactName->currentText().trimmed();
    const QString script = ui_->ScriptName->currentText().trimmed();
    if (customer.isEmpty()) {
        data::ShowMessage(kNoCustomer);
        ui_->Searchf->setFocus();
        return nullptr;
    }
    if (contact.isEmpty()) {
        data::ShowMessage(kNoContact);
        ui_->ContactName->setFocus();
        return nullptr;
    }
    if (script.isEmpty()) {
        data::ShowMessage(kNoScript);
        ui_->ScriptName->setFocus();
        return nullptr;
    }
    if (ui_->AutoDial->isChecked()) DialNumber(customer, contact, ui_->BusinessNo->text());
    auto* run = new RunScript();
    run->setAttribute(Qt::WA_DeleteOnClose);
    if (!run->start(customer, contact, script)) {
        delete run;
        return nullptr;
    }
    hostInMdi(run);
    run->show();
    keepInView(run);
    accept();
    return run;
}

}  // namespace tv::forms
