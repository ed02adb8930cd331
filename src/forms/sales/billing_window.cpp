#include "forms/sales/billing_window.h"

#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/status.h"
#include "forms/framework/table_lookup.h"
#include "reports/document_printing.h"
#include "ui_billing_window.h"

#include <QCheckBox>
#include <QLabel>
#include <QDate>
#include <QRegularExpression>
#include <algorithm>

namespace tv::forms {

namespace {

constexpr int kNothingTicked = 163;
constexpr int kFinished = 164;
constexpr int kBillingStatus = 9153;

QString withoutAccessKey(QString caption) {
    caption.remove(QRegularExpression(QStringLiteral("&(?!&)")));
    return caption.replace(QStringLiteral("&&"), QStringLiteral("&"));
}

}  // namespace

BillingWindow::BillingWindow(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::Billing>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("Billing"));
    const QDate today = QDate::currentDate();
    ui_->StartDate->setDate(today);
    ui_->EndDate->setDate(today);
    connect(ui_->AllOutstanding, &QCheckBox::toggled, this, [this](bool all) {
        ui_->StartDate->setEnabled(!all);
        ui_->EndDate->setEnabled(!all);
    });
    connect(ui_->Searchf, &QToolButton::clicked, this, &BillingWindow::lookUpCustomer);
    connect(ui_->ListCommand_1, &QPushButton::clicked, this, [this] {
        if (run()) accept();
    });
    connect(ui_->ListCommand_0, &QPushButton::clicked, this, &QDialog::reject);
}

BillingWindow::~BillingWindow() = default;

void BillingWindow::lookUpCustomer() {
    const QString picked = RunTableLookup(this, QStringLiteral("Customers"), 1, ui_->CustomerName->text());
    if (!picked.isEmpty()) ui_->CustomerName->setText(picked);
}

data::BillingRequest BillingWindow::request() const {
    data::BillingRequest r;
    const QCheckBox* boxes[] = {ui_->BillingOption_0, ui_->BillingOption_1, ui_->BillingOption_2,
                                ui_->BillingOption_3, ui_->BillingOption_4};
    for (int i = 0; i < data::kBillingKinds; ++i) {
        r.kinds[static_cast<std::size_t>(i)] = boxes[i]->isChecked();
        // The caption shown is the one product codes carry, as the definitions name it.
        r.captions[static_cast<std::size_t>(i)] = withoutAccessKey(boxes[i]->text());
    }
    r.customer = ui_->CustomerName->text().trimmed();
    r.multipleInvoices = ui_->BillingType_1->isChecked();
    if (!ui_->AllOutstanding->isChecked()) {
        const auto serial = [](const QDate& d) {
            return tv::DateTime{static_cast<double>(QDate(1899, 12, 30).daysTo(d))};
        };
        r.start = serial(ui_->StartDate->date());
        r.end = serial(ui_->EndDate->date());
    }
    (void)data::attempt([&] { r.serviceProductCode = tv::Setting(tv::keys::ServiceProductCode); });
    r.userId = data::state().CurrentUserId;
    r.today = data::prompter().now();
    return r;
}

bool BillingWindow::run() {
    const data::BillingRequest r = request();
    if (std::none_of(r.kinds.begin(), r.kinds.end(), [](bool b) { return b; })) {
        data::ShowMessage(kNothingTicked);
        return false;
    }
    ShowStatusMessage(kBillingStatus);
    data::prompter().setPointer(data::kPointerHourglass);
    ui_->ListCommand_1->setEnabled(false);
    ui_->StatusLine->setValue(0);
    result_ = data::RunBilling(r, [this](int percent) {
        ui_->StatusLine->setValue(percent);
        data::prompter().processEvents();
    });
    if (ui_->PrintAll->isChecked() && !result_.orders.isEmpty()) reports::PrintInvoices(result_.orders);
    data::prompter().setPointer(data::kPointerDefault);
    ui_->ListCommand_1->setEnabled(true);
    if (QLabel* status = statusPanel()) status->clear();
    data::ShowMessage(kFinished, QStringLiteral("\n\n%1 invoices raised.").arg(result_.orders.size()));
    return true;
}

}  // namespace tv::forms
