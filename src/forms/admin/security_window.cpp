#include "forms/admin/security_window.h"

#include "data/access.h"
#include "data/user_rights.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/list_widget_sink.h"
#include "forms/framework/status.h"
#include "ui_security_window.h"

#include <QCheckBox>
#include <QEvent>

namespace tv::forms {

namespace {

const QString kWindowName = QStringLiteral("Security");
const QString kAccessTable = QStringLiteral("System User Access");
constexpr int kDisplayNameColumn = 1;  // of TABLE DEFINITIONS
constexpr int kSavedStatus = 935;

// The four boxes in the order of their array index.
enum Box { kAdd = 0, kEdit = 1, kDelete = 2, kView = 3 };

bool& rightOf(data::AccessEntry& entry, int box) {
    switch (box) {
        case kAdd:
            return entry.CanAdd;
        case kEdit:
            return entry.CanEdit;
        case kDelete:
            return entry.CanDelete;
        default:
            return entry.CanView;
    }
}

}  // namespace

SecurityWindow::SecurityWindow(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::Security>()) {
    ui_->setupUi(this);
    ListWidgetSink sink(ui_->List1);
    data::FillList(QStringLiteral("TABLE DEFINITIONS"), sink, kDisplayNameColumn,
                   data::kDefinitionsDb);
    ApplyFormCaptions(this, kWindowName);

    const QList<QWidget*> boxes = controlArray(this, QStringLiteral("AccessLevel"));
    for (QWidget* w : boxes) {
        auto* box = qobject_cast<QCheckBox*>(w);
        if (!box) continue;
        box->setEnabled(false);
        const int index = arrayIndex(box);
        connect(box, &QCheckBox::toggled, this, [this, index](bool on) { setRight(index, on); });
    }
    connect(ui_->List1, &QListWidget::currentRowChanged, this, &SecurityWindow::showSelected);
    connect(ui_->SaveDetails, &QPushButton::clicked, this, &SecurityWindow::saveDetails);
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QDialog::reject);
}

SecurityWindow::~SecurityWindow() = default;

void SecurityWindow::setUserId(const QString& userId) { ui_->UserId->setText(userId); }

QString SecurityWindow::userId() const { return ui_->UserId->text(); }

bool SecurityWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) loadRights();
    return QDialog::event(event);
}

void SecurityWindow::loadRights() {
    if (rightsLoaded_) return;
    rightsLoaded_ = true;
    const std::vector<data::AccessEntry> stored = data::readUserAccess(userId());
    entries_.clear();
    entries_.reserve(ui_->List1->count());
    for (int i = 0; i < ui_->List1->count(); ++i) {
        const QString table = ui_->List1->item(i)->text();
        data::AccessEntry entry;  // every right unless a row says otherwise
        entry.TableName = table;
        for (const data::AccessEntry& row : stored) {
            if (row.TableName.compare(table, Qt::CaseInsensitive) == 0) {
                entry = row;
                entry.TableName = table;
                break;
            }
        }
        entries_.push_back(entry);
    }
    if (ui_->List1->count() > 0 && ui_->List1->currentRow() < 0) ui_->List1->setCurrentRow(0);
    showSelected();
}

void SecurityWindow::showSelected() {
    const int row = ui_->List1->currentRow();
    const bool known = row >= 0 && row < static_cast<int>(entries_.size());
    for (QWidget* w : controlArray(this, QStringLiteral("AccessLevel"))) {
        auto* box = qobject_cast<QCheckBox*>(w);
        if (!box) continue;
        const QSignalBlocker quiet(box);
        box->setEnabled(known);
        box->setChecked(known && rightOf(entries_[row], arrayIndex(box)));
    }
}

void SecurityWindow::setRight(int box, bool on) {
    const int row = ui_->List1->currentRow();
    if (row < 0 || row >= static_cast<int>(entries_.size())) return;
    rightOf(entries_[row], box) = on;
}

bool SecurityWindow::saveDetails() {
    // Only administrators give rights, however this window was reached.
    if (!data::requireAdministrator(windowTitle())) return false;
    loadRights();  // a window saved before its first activation still writes real levels
    const QString user = userId();
    for (const data::AccessEntry& entry : entries_) {
        const QStringList row{user, entry.TableName,
                              QString::number(data::encodeAccessLevel(entry))};
        if (!data::SaveRecord(kAccessTable, row, true)) return false;
    }
    ShowStatusMessage(kSavedStatus);
    accept();
    return true;
}

}  // namespace tv::forms
