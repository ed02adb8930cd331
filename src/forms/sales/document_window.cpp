#include "forms/sales/document_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/activity_log.h"
#include "data/counters.h"
#include "data/prompter.h"
#include "forms/framework/definition_rows.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/status.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_layout.h"
#include "forms/sales/line_item_dialog.h"
#include "reports/document_printing.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QToolButton>

namespace tv::forms {

namespace {

constexpr int kNoLineSelected = 100;
constexpr int kConfirmDelete = 101;
constexpr int kLineDeleted = 902;
constexpr int kQuotationSaved = 911;
constexpr int kOrderSaved = 907;
constexpr int kSaveBeforeClosing = 9015;
constexpr int kRequiredField = 9016;
constexpr int kNoSuchCustomer = 9085;

enum Column { kLineNo, kCode, kDescription, kQuantity, kPrice, kDiscount, kTax, kValue, kColumns };

QString general(double value) { return tv::Format(tv::Variant(value), QStringLiteral("General Number")); }
QString money(double value) { return tv::Format(tv::Variant(value), QStringLiteral("0.00")); }

// A line as one row of text, for the deletion question.
QString lineText(int row, const data::DocumentLine& l) {
    return QStringLiteral("%1  %2  %3  %4 x %5 = %6")
        .arg(row + 1)
        .arg(l.productCode, l.description, general(l.quantity), money(l.unitPrice), money(l.lineValue));
}

}  // namespace

int LineItemsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(lines_->size());
}

int LineItemsModel::columnCount(const QModelIndex& parent) const { return parent.isValid() ? 0 : kColumns; }

QVariant LineItemsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    if (role == Qt::TextAlignmentRole)
        return index.column() >= kQuantity || index.column() == kLineNo
                   ? QVariant(Qt::AlignRight | Qt::AlignVCenter)
                   : QVariant(Qt::AlignLeft | Qt::AlignVCenter);
    if (role != Qt::DisplayRole) return {};
    const data::DocumentLine& l = (*lines_)[static_cast<std::size_t>(index.row())];
    switch (index.column()) {
        case kLineNo: return index.row() + 1;
        case kCode: return l.productCode;
        case kDescription: return l.description;
        case kQuantity: return general(l.quantity);
        case kPrice: return money(l.unitPrice);
        case kDiscount: return general(l.discountRate);
        case kTax: return general(l.taxRate);
        case kValue: return money(l.lineValue);
        default: return {};
    }
}

QVariant LineItemsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    static const char* const kHeads[] = {"Line",     "Product Code", "Description", "Quantity",
                                         "Unit Price", "Discount %",  "Tax %",       "Line Value"};
    if (section < 0 || section >= kColumns) return {};
    const QString defined = headings_.value(section);
    return defined.isEmpty() ? tr(kHeads[section]) : defined;
}

namespace {
const QString kLineMime = QStringLiteral("application/x-tolvarine-line");
}  // namespace

Qt::ItemFlags LineItemsModel::flags(const QModelIndex& index) const {
    const Qt::ItemFlags base = QAbstractTableModel::flags(index);
    return index.isValid() ? base | Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled : base | Qt::ItemIsDropEnabled;
}

QStringList LineItemsModel::mimeTypes() const { return {kLineMime}; }

QMimeData* LineItemsModel::mimeData(const QModelIndexList& indexes) const {
    if (indexes.isEmpty()) return nullptr;
    auto* data = new QMimeData;
    data->setData(kLineMime, QByteArray::number(indexes.first().row()));
    return data;
}

bool LineItemsModel::dropMimeData(const QMimeData* data, Qt::DropAction action, int row, int,
                                  const QModelIndex& parent) {
    if (action != Qt::MoveAction || !data->hasFormat(kLineMime) || !moveLine) return false;
    bool ok = false;
    const int from = data->data(kLineMime).toInt(&ok);
    // Dropped on a row: that row; between rows or below the last: the place there.
    int to = parent.isValid() ? parent.row() : row;
    if (to < 0 || to >= rowCount()) to = rowCount() - 1;
    if (!ok) return false;
    moveLine(from, to);
    // The lines are already in their new order: the view must not remove the dragged row.
    return false;
}

DocumentWindow::DocumentWindow(data::SalesDocument kind, QWidget* parent)
    : RecordWindow(parent), kind_(kind) {}

DocumentWindow::~DocumentWindow() = default;

void DocumentWindow::setUpDocument(const Controls& controls) {
    c_ = controls;
    labels_ = DesignedLabels(this);
    model_ = new LineItemsModel(&lines_, this);
    c_.grid->setModel(model_);
    model_->moveLine = [this](int from, int to) { moveLine(from, to); };
    c_.grid->setDragEnabled(true);
    c_.grid->setAcceptDrops(true);
    c_.grid->setDropIndicatorShown(true);
    c_.grid->setDragDropMode(QAbstractItemView::DragDrop);
    c_.grid->setDefaultDropAction(Qt::MoveAction);
    c_.grid->verticalHeader()->hide();
    c_.grid->setWordWrap(false);
    c_.grid->verticalHeader()->setDefaultSectionSize(c_.grid->fontMetrics().height() + 6);
    // The detail table's field definitions caption the columns and hide those an
    // administrator hid (the grid's columns are the table's fields from LINENO on).
    QStringList headings;
    for (int column = 0; column < kColumns; ++column) {
        const std::optional<DefinitionRow> field = fieldRow(data::detailTable(kind_), column + 2);
        headings << (field && field->caption ? *field->caption : QString());
        c_.grid->setColumnHidden(column, field && field->hidden);
    }
    model_->setHeadings(headings);
    // Figures take the width of their heading or of their usual values, whichever is
    // wider; the description takes the rest.
    const int digit = c_.grid->fontMetrics().horizontalAdvance(u'0');
    const QFontMetrics heading(c_.grid->horizontalHeader()->font());
    const int padding = 2 * c_.grid->style()->pixelMetric(QStyle::PM_HeaderMargin) + digit;
    const int valueDigits[kColumns] = {4, 10, 0, 7, 9, 6, 5, 10};
    for (int column = 0; column < kColumns; ++column) {
        if (valueDigits[column] == 0) continue;
        c_.grid->setColumnWidth(column, std::max(valueDigits[column] * digit,
                                                 heading.horizontalAdvance(headings[column]) + padding));
    }
    c_.grid->horizontalHeader()->setSectionResizeMode(kDescription, QHeaderView::Stretch);
    c_.grid->horizontalHeader()->setMinimumSectionSize(4 * digit);

    c_.contact->setSource([this] {
        QStringList names;
        const QString sql = QStringLiteral("SELECT * FROM CONTACTS WHERE [CUSTOMER NAME] = ") +
                            engine::quoteLiteral(c_.customer->text().trimmed()) +
                            QStringLiteral(" ORDER BY [CONTACT NAME]");
        return tableColumn(sql, 1)();
    });
    c_.campaign->setSource(tableColumn(QStringLiteral("Sales Campaigns"), 0));
    c_.salesRep->setSource(tableColumn(QStringLiteral("System Users"), 0));

    connect(c_.lineButtons[0], &QPushButton::clicked, this, &DocumentWindow::addLine);
    connect(c_.lineButtons[1], &QPushButton::clicked, this, &DocumentWindow::editLine);
    connect(c_.lineButtons[2], &QPushButton::clicked, this, &DocumentWindow::deleteLine);
    connect(c_.grid, &QTableView::doubleClicked, this, &DocumentWindow::editLine);
    connect(c_.print, &QPushButton::clicked, this, &DocumentWindow::printDocument);
    connect(c_.search, &QToolButton::clicked, this, &DocumentWindow::lookUpCustomer);
    connect(c_.customer, &QLineEdit::textChanged, this, &DocumentWindow::customerChanged);
    connect(c_.freight, &QLineEdit::editingFinished, this, &DocumentWindow::recomputeTotals);
}

void DocumentWindow::customerChanged() { c_.contact->invalidate(); }

void DocumentWindow::lookUpCustomer() {
    const QString picked = RunTableLookup(this, QStringLiteral("Customers"), 1, c_.customer->text());
    if (!picked.isEmpty()) c_.customer->setText(picked);
}

void DocumentWindow::afterLoad() {
    labels_.restoreAccessKeys();
    QWidget* frame = windowFrame(this);
    frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
}

void DocumentWindow::rowShown() {
    const QString number = c_.number->text().trimmed();
    std::vector<data::DocumentLine> stored;
    if (localEditMode() == 2 && tv::Val(number) != 0.0) stored = data::ReadDocumentLines(kind_, number);
    lines_ = std::move(stored);
    linesEdited_ = false;
    model_->reset();
    customerChanged();
    recomputeTotals();
}

void DocumentWindow::replaceLines(std::vector<data::DocumentLine> lines) {
    lines_ = std::move(lines);
    linesChanged();
}

void DocumentWindow::linesChanged() {
    linesEdited_ = true;
    model_->reset();
    recomputeTotals();
}

void DocumentWindow::recomputeTotals() {
    const QString freight = c_.freight->text().trimmed();
    const data::DocumentTotals totals = data::DocumentLineTotals(lines_, tv::Val(freight));
    c_.itemTotal->setText(data::moneyText(totals.items));
    c_.salesTax->setText(data::moneyText(totals.tax));
    // Freight that is not a number stays as typed, for the user to correct.
    if (freight.isEmpty() || tv::IsNumeric(tv::Variant(freight)))
        c_.freight->setText(data::moneyText(totals.freight));
    c_.total->setText(data::moneyText(totals.total));
}

int DocumentWindow::selectedRow() const {
    const QModelIndexList rows = c_.grid->selectionModel()->selectedRows();
    if (!rows.isEmpty()) return rows.first().row();
    const QModelIndex current = c_.grid->currentIndex();
    return current.isValid() && c_.grid->selectionModel()->isSelected(current) ? current.row() : -1;
}

bool DocumentWindow::editLineAt(int row, bool adding) {
    const int lineNumber = adding ? static_cast<int>(lines_.size()) + 1 : row + 1;
    LineItemDialog dialog(this, data::detailTable(kind_), c_.number->text(), lineNumber,
                          adding ? nullptr : &lines_[static_cast<std::size_t>(row)]);
    if (dialog.exec() != QDialog::Accepted) return false;
    if (adding)
        lines_.push_back(dialog.line());
    else
        lines_[static_cast<std::size_t>(row)] = dialog.line();
    linesChanged();
    c_.grid->selectRow(adding ? static_cast<int>(lines_.size()) - 1 : row);
    return true;
}

void DocumentWindow::addLine() { editLineAt(-1, true); }

void DocumentWindow::editLine() {
    const int row = selectedRow();
    if (row < 0) {
        data::ShowMessage(kNoLineSelected);
        return;
    }
    editLineAt(row, false);
}

void DocumentWindow::deleteLine() {
    const int row = selectedRow();
    if (row < 0) {
        data::ShowMessage(kNoLineSelected);
        return;
    }
    const QString text = QStringLiteral("\n\n") + lineText(row, lines_[static_cast<std::size_t>(row)]) + u'\n';
    if (data::ShowMessage(kConfirmDelete, text) != data::msgbox::kYes) return;
    ShowStatusMessage(kLineDeleted);
    lines_.erase(lines_.begin() + row);
    linesChanged();
    if (!lines_.empty()) c_.grid->selectRow(std::min(row, static_cast<int>(lines_.size()) - 1));
}

void DocumentWindow::moveLine(int from, int to) {
    const int count = static_cast<int>(lines_.size());
    if (from < 0 || from >= count || to < 0 || to >= count || from == to) return;
    const data::DocumentLine moved = lines_[static_cast<std::size_t>(from)];
    lines_.erase(lines_.begin() + from);
    lines_.insert(lines_.begin() + to, moved);
    linesChanged();
    c_.grid->selectRow(to);
}

void DocumentWindow::printDocument() {
    reports::PrintDocument(kind_ == data::SalesDocument::Quotation ? reports::Document::Quotation
                                                                   : reports::Document::Invoice,
                           c_.number->text().trimmed(), windowTitle());
}

bool DocumentWindow::beforeSave() {
    const auto refuse = [](int message, const QString& extra, QWidget* field) {
        data::ShowMessage(message, extra);
        field->setFocus(Qt::OtherFocusReason);
        return false;
    };
    const QString customer = c_.customer->text().trimmed();
    if (customer.isEmpty()) {
        const auto* label = findChild<QLabel*>(QStringLiteral("CustomerNameLabel"));
        return refuse(kRequiredField, label ? fieldName(label) : QString(), c_.customer);
    }
    if (data::GetFieldText(QStringLiteral("Customers"), customer, QString(), 0).isEmpty())
        return refuse(kNoSuchCustomer, customer, c_.customer);
    recomputeTotals();
    wasNew_ = localEditMode() != 2;
    if (tv::Val(c_.number->text()) == 0.0) {
        const std::int32_t number = data::NextCounter(data::documentTable(kind_));
        if (number <= 0) return false;  // the counter has said why
        c_.number->setText(QString::number(number));
    }
    return true;
}

void DocumentWindow::afterSave() {
    const QString number = c_.number->text().trimmed();
    if (data::WriteDocumentLines(kind_, number, lines_)) linesEdited_ = false;
    if (wasNew_)
        data::LogNewRecord(data::documentTable(kind_), number, c_.customer->text().trimmed(),
                           c_.contact->currentText().trimmed());
}

int DocumentWindow::savedStatusMessage() const {
    return kind_ == data::SalesDocument::Quotation ? kQuotationSaved : kOrderSaved;
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    if (!discarding_) {
        bool mayClose = true;
        if (linesEdited_ && !hasUnsavedChanges()) {
            // Only the lines changed: the question the header's changes would have asked.
            const int answer = data::ShowMessage(kSaveBeforeClosing);
            if (answer == data::msgbox::kCancel) mayClose = false;
            else if (answer == data::msgbox::kYes) mayClose = save();
        } else {
            mayClose = offerToSave(kSaveBeforeClosing);
        }
        if (!mayClose) {
            event->ignore();
            return;
        }
    }
    RecordWindow::closeEvent(event);
}

}  // namespace tv::forms
