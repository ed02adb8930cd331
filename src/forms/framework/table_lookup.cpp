#include "forms/framework/table_lookup.h"

#include "core/convert.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/record_values.h"
#include "forms/framework/captions.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/definition_rows.h"
#include "forms/framework/lookup_codes.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/status.h"
#include "ui_table_lookup.h"

#include <QListWidget>
#include <QPushButton>

namespace tv::forms {

namespace {

const QString kWindowName = QStringLiteral("Lookup");
const QString kFreeValues = QStringLiteral("No");
constexpr int kNotInListMessage = 300;
constexpr int kOpeningRecordStatus = 915;

}  // namespace

TableLookup::TableLookup(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::TableLookup>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, kWindowName);

    auto& shared = data::state().SharedValues;
    source_ = shared[0];
    column_ = std::max(1, static_cast<int>(tv::Val(shared[1])));
    if (!shared[2].isEmpty()) ui_->fieldvalue->setText(shared[2]);
    alternative_ = shared[3];
    for (int i = 0; i <= 3; ++i) shared[static_cast<std::size_t>(i)].clear();

    connect(ui_->fieldvalue, &QLineEdit::textChanged, this, [this] { refill(); });
    connect(ui_->List1, &QListWidget::itemClicked, this, &TableLookup::takeRow);
    connect(ui_->List1, &QListWidget::currentItemChanged, this,
            [this](QListWidgetItem* item) { takeRow(item); });
    connect(ui_->List1, &QListWidget::itemDoubleClicked, this, [this] { selectValue(); });
    connect(ui_->Selectf, &QPushButton::clicked, this, &TableLookup::selectValue);
    connect(ui_->AddButton, &QPushButton::clicked, this, &TableLookup::addNew);
    connect(ui_->Closef, &QPushButton::clicked, this, &QDialog::reject);
}

TableLookup::~TableLookup() {
    rs_.Close();
}

void TableLookup::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (activated_) return;
    activated_ = true;
    activate();
}

void TableLookup::activate() {
    // A source without a title of its own keeps the general one.
    const QString title = GetCaptionText(kWindowName, source_);
    if (!title.isEmpty()) setWindowTitle(title);
    const std::optional<DefinitionRow> field = fieldRow(source_, column_);
    ui_->FieldName->setText(field && field->caption ? *field->caption : QString());
    // Adding needs a record window to enter the new row in.
    ui_->AddButton->setEnabled(!recordWindowName(source_).isEmpty());

    rs_ = data::OpenTable(alternative_.isEmpty() ? source_ : alternative_, data::kDataDb);
    if (rs_.IsOpen() && column_ > 1) {
        // Another column than the key is matched on the index named after it.
        (void)data::attempt([&] {
            const std::optional<engine::TableDef> def = tableDefinition(source_);
            if (def) rs_.SetIndex(def->FieldAt(column_ - 1).Name());
        });
    }
    ui_->fieldvalue->selectAll();
    ui_->fieldvalue->setFocus();
    refill();
}

void TableLookup::refill() {
    if (busy_ || !activated_ || !rs_.IsOpen()) return;
    busy_ = true;
    const std::optional<LookupRows> found =
        matchLookupRows(rs_, column_ - 1, ui_->fieldvalue->text());
    if (found) {
        ui_->List1->clear();
        ui_->List1->addItems(found->rows);
        if (found->matches == 1) ui_->List1->setCurrentRow(0);
    }
    busy_ = false;
}

void TableLookup::takeRow(QListWidgetItem* item) {
    if (busy_ || !item) return;
    busy_ = true;
    ui_->fieldvalue->setText(item->text());
    ui_->fieldvalue->selectAll();
    busy_ = false;
}

void TableLookup::selectValue() {
    const QList<QListWidgetItem*> selected = ui_->List1->selectedItems();
    const QString value = selected.isEmpty() ? ui_->fieldvalue->text() : selected.front()->text();
    auto& shared = data::state().SharedValues;
    const bool found = rs_.IsOpen() && lookupValueExists(rs_, value);
    if (shared[4] == kFreeValues || found) {
        shared[0] = value;
        accept();
        return;
    }
    data::ShowMessage(kNotInListMessage, QStringLiteral("\n\n") + value);
}

void TableLookup::addNew() {
    reject();
    data::FieldValueArray values;
    values.resize(tableFieldCount(source_));
    data::NewRecordDefaults(source_, values);
    ShowStatusMessage(kOpeningRecordStatus);
    data::state().PendingEditMode = 1;
    OpenRecordWindow(source_, values);
    ShowStatusMessage(0);
}

QString RunTableLookup(QWidget* parent, const QString& source, int column, const QString& startText,
                       const QString& alternative, bool freeValues) {
    auto& shared = data::state().SharedValues;
    shared[0] = source;
    shared[1] = QString::number(column);
    shared[2] = startText;
    shared[3] = alternative;
    shared[4] = freeValues ? kFreeValues : QString();
    TableLookup window(parent);
    window.exec();
    return shared[0];
}

}  // namespace tv::forms
