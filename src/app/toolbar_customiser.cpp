#include "app/toolbar_customiser.h"

#include "app/toolbar_buttons.h"
#include "ui_toolbar_customiser.h"

#include <QSet>

namespace tv::app {

namespace {

constexpr int kIdentifierRole = Qt::UserRole;

QListWidgetItem* makeItem(const QString& identifier) {
    auto* item = new QListWidgetItem();
    item->setData(kIdentifierRole, identifier);
    if (identifier == kToolbarSeparator) {
        item->setText(QObject::tr("--- Separator ---"));
    } else if (const ToolbarButton* b = toolbarButton(identifier)) {
        item->setText(QString::fromLatin1(b->text));
        item->setIcon(toolbarIcon(identifier));
    }
    return item;
}

}  // namespace

ToolbarCustomiser::ToolbarCustomiser(const QStringList& layout, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ToolbarCustomiser>()) {
    ui_->setupUi(this);
    connect(ui_->Addf, &QPushButton::clicked, this, &ToolbarCustomiser::addSelected);
    connect(ui_->Removef, &QPushButton::clicked, this, &ToolbarCustomiser::removeSelected);
    connect(ui_->MoveUpf, &QPushButton::clicked, this, [this] { moveSelected(-1); });
    connect(ui_->MoveDownf, &QPushButton::clicked, this, [this] { moveSelected(1); });
    connect(ui_->Resetf, &QPushButton::clicked, this, &ToolbarCustomiser::reset);
    connect(ui_->Available, &QListWidget::itemDoubleClicked, this, &ToolbarCustomiser::addSelected);
    connect(ui_->Current, &QListWidget::itemDoubleClicked, this,
            &ToolbarCustomiser::removeSelected);
    connect(ui_->Available, &QListWidget::currentRowChanged, this,
            &ToolbarCustomiser::updateButtons);
    connect(ui_->Current, &QListWidget::currentRowChanged, this, &ToolbarCustomiser::updateButtons);
    connect(ui_->ButtonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(ui_->ButtonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    setArrangement(layout);
}

ToolbarCustomiser::~ToolbarCustomiser() = default;

QListWidget* ToolbarCustomiser::availableList() const { return ui_->Available; }
QListWidget* ToolbarCustomiser::currentList() const { return ui_->Current; }

QStringList ToolbarCustomiser::arrangement() const {
    QStringList out;
    for (int i = 0; i < ui_->Current->count(); ++i)
        out << ui_->Current->item(i)->data(kIdentifierRole).toString();
    return out;
}

void ToolbarCustomiser::setArrangement(const QStringList& layout) {
    ui_->Current->clear();
    ui_->Available->clear();
    QSet<QString> shown;
    for (const QString& id : layout) {
        ui_->Current->addItem(makeItem(id));
        shown.insert(id);
    }
    // The separator stays available: the toolbar may hold any number of them.
    ui_->Available->addItem(makeItem(kToolbarSeparator));
    for (const ToolbarButton& b : toolbarButtons()) {
        const QString id = QString::fromLatin1(b.identifier);
        if (!shown.contains(id)) ui_->Available->addItem(makeItem(id));
    }
    ui_->Available->setCurrentRow(0);
    ui_->Current->setCurrentRow(ui_->Current->count() > 0 ? 0 : -1);
    updateButtons();
}

void ToolbarCustomiser::addSelected() {
    QListWidgetItem* item = ui_->Available->currentItem();
    if (!item) return;
    const QString id = item->data(kIdentifierRole).toString();
    // New buttons go in front of the selected one, as the classic dialog does.
    const int at =
        ui_->Current->currentRow() < 0 ? ui_->Current->count() : ui_->Current->currentRow();
    ui_->Current->insertItem(at, makeItem(id));
    ui_->Current->setCurrentRow(at);
    if (id != kToolbarSeparator) delete ui_->Available->takeItem(ui_->Available->row(item));
    updateButtons();
}

void ToolbarCustomiser::removeSelected() {
    const int row = ui_->Current->currentRow();
    if (row < 0) return;
    QListWidgetItem* item = ui_->Current->takeItem(row);
    const QString id = item->data(kIdentifierRole).toString();
    delete item;
    if (id != kToolbarSeparator) {
        // Back among the available buttons, in index order after the separator.
        int at = 1;
        const auto& buttons = toolbarButtons();
        auto indexOf = [&](const QString& ident) {
            for (size_t i = 0; i < buttons.size(); ++i)
                if (ident == QLatin1String(buttons[i].identifier)) return static_cast<int>(i);
            return -1;
        };
        while (at < ui_->Available->count() &&
               indexOf(ui_->Available->item(at)->data(kIdentifierRole).toString()) < indexOf(id))
            ++at;
        ui_->Available->insertItem(at, makeItem(id));
    }
    ui_->Current->setCurrentRow(qMin(row, ui_->Current->count() - 1));
    updateButtons();
}

void ToolbarCustomiser::moveSelected(int delta) {
    const int row = ui_->Current->currentRow();
    const int to = row + delta;
    if (row < 0 || to < 0 || to >= ui_->Current->count()) return;
    QListWidgetItem* item = ui_->Current->takeItem(row);
    ui_->Current->insertItem(to, item);
    ui_->Current->setCurrentRow(to);
    updateButtons();
}

void ToolbarCustomiser::reset() { setArrangement(defaultToolbarLayout()); }

void ToolbarCustomiser::updateButtons() {
    const int row = ui_->Current->currentRow();
    ui_->Addf->setEnabled(ui_->Available->currentItem() != nullptr);
    ui_->Removef->setEnabled(row >= 0);
    ui_->MoveUpf->setEnabled(row > 0);
    ui_->MoveDownf->setEnabled(row >= 0 && row < ui_->Current->count() - 1);
}

}  // namespace tv::app
