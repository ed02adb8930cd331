#include "forms/framework/lookup_table.h"

#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "forms/framework/code_form.h"
#include "forms/framework/controls.h"
#include "forms/framework/list_widget_sink.h"
#include "forms/framework/lookup_print.h"
#include "forms/framework/window_host.h"
#include "forms/framework/window_layout.h"
#include "ui_lookup_table.h"

#include <QCloseEvent>
#include <QListWidget>
#include <QPushButton>

namespace tv::forms {

namespace {

const QString kLayoutSection = QStringLiteral("Lookup Table");
constexpr int kDefaultHeight = 3840;  // twips
constexpr int kDefaultWidth = 4170;

}  // namespace

LookupTable::LookupTable(QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::LookupTable>()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    hostInMdi(this);
    RestoreWindowLayout(this, kLayoutSection, kDefaultHeight, kDefaultWidth, kRecordWindow);
    ApplyFormCaptions(this, objectName());
    const QString caption = data::state().SharedValues[1];
    if (!caption.isEmpty()) setWindowTitle(caption);
    // Other workstations' changes to the codes must show: let go of read locks, then of
    // whatever was read before.
    (void)data::attempt([] {
        engine::Engine::instance().Idle(true);
        engine::Engine::instance().Idle(false);
    });

    connect(ui_->ListCommand_0, &QPushButton::clicked, this, &LookupTable::addCode);
    connect(ui_->ListCommand_1, &QPushButton::clicked, this, &LookupTable::editCode);
    connect(ui_->ListCommand_2, &QPushButton::clicked, this, &LookupTable::deleteCode);
    connect(ui_->ListCommand_3, &QPushButton::clicked, this, &LookupTable::printCodes);
    connect(ui_->ListCommand_4, &QPushButton::clicked, this, &QWidget::close);
    // A double-click, or Enter on a code, edits it.
    connect(ui_->List1, &QListWidget::itemActivated, this, &LookupTable::editCode);
}

LookupTable::~LookupTable() = default;

QString LookupTable::table() const { return tagOf(this); }

void LookupTable::refill() {
    ListWidgetSink sink(ui_->List1);
    data::FillList(table(), sink, 0, data::kDataDb);
}

void LookupTable::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (painted_) return;
    painted_ = true;
    refill();
}

void LookupTable::closeEvent(QCloseEvent* event) {
    painted_ = false;
    SaveWindowLayout(this, kLayoutSection, kRecordWindow);
    event->accept();
}

QString LookupTable::selectedCode() const {
    const QListWidgetItem* item = ui_->List1->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void LookupTable::runCodeForm(CodeForm& form) {
    const bool saved = form.exec() == QDialog::Accepted;
    refill();
    // The code just saved stays under the cursor, ready for the next command.
    if (!saved) return;
    const QList<QListWidgetItem*> items =
        ui_->List1->findItems(form.codeText(), Qt::MatchFixedString);
    if (!items.isEmpty()) ui_->List1->setCurrentItem(items.front());
}

void LookupTable::addCode() {
    CodeForm form(this);
    form.setUp(table(), ui_->ColourSupport->isChecked(), ui_->PictureSupport->isChecked());
    form.newCode();
    runCodeForm(form);
}

void LookupTable::editCode() {
    const QString code = selectedCode();
    if (code.isEmpty()) return;
    CodeForm form(this);
    form.setUp(table(), ui_->ColourSupport->isChecked(), ui_->PictureSupport->isChecked());
    form.editCode(code);
    runCodeForm(form);
}

void LookupTable::deleteCode() {
    const QString code = selectedCode();
    if (code.isEmpty()) return;
    if (data::DeleteRecord(table(), code, QString(), QString(), true, data::kDataDb)) refill();
}

void LookupTable::printCodes() { PrintLookupTable(table(), windowTitle()); }

}  // namespace tv::forms
