#include "forms/framework/table_list.h"

#include "data/app_state.h"
#include "data/failure.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "ui_table_list.h"

#include <QListWidget>
#include <QPushButton>

namespace tv::forms {

namespace {

QString flagText(bool flag) { return flag ? QStringLiteral("-1") : QStringLiteral("0"); }

}  // namespace

TableList::TableList(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::TableList>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("TableList"));
    fill();
    connect(ui_->List1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { choose(ui_->List1->row(item)); });
    connect(ui_->okf, &QPushButton::clicked, this, [this] { choose(ui_->List1->currentRow()); });
    connect(ui_->Closef, &QPushButton::clicked, this, &QDialog::reject);
}

TableList::~TableList() = default;

void TableList::fill() {
    tables_ = ReadLookupTables();
    ui_->List1->clear();
    for (const LookupTableEntry& t : tables_) ui_->List1->addItem(t.displayText);
    if (!tables_.empty()) ui_->List1->setCurrentRow(0);
}

void TableList::choose(int row) {
    if (row < 0 || row >= static_cast<int>(tables_.size())) return;
    const LookupTableEntry& t = tables_[static_cast<std::size_t>(row)];
    if (t.tableName.isEmpty()) return;
    // The codes must be read fresh by the window about to open.
    (void)data::attempt([] { engine::Engine::instance().Idle(true); });
    auto& shared = data::state().SharedValues;
    shared[0] = t.tableName;
    shared[1] = ui_->List1->item(row)->text();
    shared[2] = flagText(t.colourSupport);
    shared[3] = flagText(t.pictureSupport);
    accept();
}

}  // namespace tv::forms
