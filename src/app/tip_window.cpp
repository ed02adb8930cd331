#include "app/tip_window.h"

#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "data/failure.h"
#include "ui_tip_window.h"

namespace tv::app {

namespace {

// Where the next showing starts: the tip after the last one read.
const QString kTipSection = QStringLiteral("Tip");
const QString kTipKey = QStringLiteral("Next Tip");

}  // namespace

const QStringList& TipWindow::tips() {
    static const QStringList all = {
        tr("Right-click anywhere in the empty area of the main window to reach the customer "
           "lists: customers, contacts, activities, quotations, orders and service requests."),
        tr("Choose a list twice from the menu and Tolvarine brings the open list forward "
           "instead of opening a second copy."),
        tr("Customize the toolbar from the Window menu, or by right-clicking it: keep the "
           "buttons you use, drop the others and put them in your own order. Your toolbar "
           "is there again the next time you sign in."),
        tr("The word \"Mail\" in the status bar means messages are waiting in your inbox. "
           "Double-click it to open the inbox."),
        tr("Windows open where you left them when \"Start Forms at Top\" is set to remember "
           "positions in Set Options."),
        tr("Your administrator can rename any label or button, add tool tips and add fields "
           "of your own to a table; the new fields appear on the Custom Fields tab."),
        tr("Use Window, Cascade or Tile when many windows are open, and pick any of them from "
           "the bottom of the Window menu."),
        tr("Quotation, order and service request numbers come from counters shared by every "
           "workstation, so two people never get the same number."),
        tr("Names with apostrophes, such as O'Brien, can be typed anywhere: Tolvarine saves, "
           "finds and prints them like any other."),
        tr("Administrators set each user's rights per table with the Security button of the "
           "user's window; the changes apply when the user next signs in."),
    };
    return all;
}

TipWindow::TipWindow(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::Tip>()) {
    ui_->setupUi(this);
    const int count = static_cast<int>(tips().size());
    const int stored = GetSetting(kAppName, kTipSection, kTipKey, QStringLiteral("0")).toInt();
    index_ = stored >= 0 && stored < count ? stored : 0;
    ui_->TipText->setText(tips().at(index_));
    SaveSetting(kAppName, kTipSection, kTipKey, QString::number((index_ + 1) % count));

    int show = 1;
    (void)data::attempt([&] { show = SettingInt(keys::ShowTipsAtStartup); });
    ui_->ShowTips->setChecked(show != 0);
    connect(ui_->ShowTips, &QCheckBox::toggled, this, &TipWindow::setShowAtStartup);
    connect(ui_->NextTipf, &QPushButton::clicked, this, &TipWindow::nextTip);
    connect(ui_->Closef, &QPushButton::clicked, this, &QDialog::accept);
}

TipWindow::~TipWindow() = default;

QString TipWindow::currentTip() const { return ui_->TipText->text(); }

void TipWindow::nextTip() {
    const int count = static_cast<int>(tips().size());
    index_ = (index_ + 1) % count;
    ui_->TipText->setText(tips().at(index_));
    SaveSetting(kAppName, kTipSection, kTipKey, QString::number((index_ + 1) % count));
}

bool TipWindow::showAtStartup() const { return ui_->ShowTips->isChecked(); }

void TipWindow::setShowAtStartup(bool on) {
    SaveSetting(keys::ShowTipsAtStartup, on ? QStringLiteral("1") : QStringLiteral("0"));
}

}  // namespace tv::app
