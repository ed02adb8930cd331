#include "forms/framework/filter_window.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/status.h"
#include "ui_filter_window.h"

#include <QAbstractItemModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTableView>

namespace tv::forms {

namespace {

constexpr char kFiltersTable[] = "Filters";
constexpr int kFilterKeyLength = 10;  // FILTERS.TABLENAME holds the first 10 characters

// FILTERS columns in the record buffer (1-based).
constexpr int kCriteriaElement = 3;
constexpr int kSortFieldElement = 5;

// Numbered messages: boxes 200 and 800, status-bar texts 949 and 980.
constexpr int kNeedFilterName = 200;
constexpr int kInvalidDate = 800;
constexpr int kFilterSaved = 949;
constexpr int kFilterDeleted = 980;

bool isEnter(const QEvent* event) {
    if (event->type() != QEvent::KeyPress) return false;
    const int key = static_cast<const QKeyEvent*>(event)->key();
    return key == Qt::Key_Return || key == Qt::Key_Enter;
}

// A number typed in the regional form ("3,5" where the comma is the decimal point)
// written as SQL reads numbers; anything else as typed.
QString sqlNumber(const QString& value) {
    QString number = value;
    if (IsNumeric(Variant(value)))
        (void)data::attempt([&] { number = QString::number(CDbl(Variant(value)), 'g', 15); });
    return number;
}

}  // namespace

Filter::Filter(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::FilterWindow>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("Filter"));
    data::state().SharedValues[0].clear();

    connect(ui_->cmdAnd, &QPushButton::clicked, this, [this] { addCondition(filter::Join::And); });
    connect(ui_->cmdOr, &QPushButton::clicked, this, [this] { addCondition(filter::Join::Or); });
    connect(ui_->cmdGetValues, &QPushButton::clicked, this, &Filter::getValues);
    connect(ui_->cmdClear, &QPushButton::clicked, this, &Filter::clearCriteria);
    connect(ui_->cmdRunQuery, &QPushButton::clicked, this, &Filter::runQuery);
    connect(ui_->cmdClose, &QPushButton::clicked, this, &QDialog::reject);
    connect(ui_->filterbutton_0, &QPushButton::clicked, this, &Filter::saveFilter);
    connect(ui_->filterbutton_1, &QPushButton::clicked, this, &Filter::deleteFilter);
    // Picking a name from the list loads it. The combo box also reports a typed name as
    // picked when the box loses the focus; leaving the box has its own rule below.
    connect(ui_->filters, &QComboBox::activated, this, [this] {
        if (!leavingNameBox_) loadSavedFilter();
    });
    ui_->filters->lineEdit()->installEventFilter(this);
    ui_->cboValue->lineEdit()->installEventFilter(this);
}

Filter::~Filter() = default;

void Filter::setTableName(const QString& name) { tableName_ = name; }

QString Filter::tableName() const { return tableName_; }

std::int16_t Filter::ListDataFields(const QTableView* grid) {
    ui_->cboField->clear();
    ui_->cboOrderByField->clear();
    ui_->cboValue->clear();
    ui_->cboOrderByField->addItem(QString::fromLatin1(filter::kNoSortField));
    fieldNames_.clear();
    readTableFields();

    const QAbstractItemModel* model = grid ? grid->model() : nullptr;
    const int columns = model ? model->columnCount() : 0;
    for (int k = 1; k <= columns; ++k) {
        const QString caption = model->headerData(k - 1, Qt::Horizontal).toString();
        ui_->cboField->addItem(caption);
        ui_->cboOrderByField->addItem(caption);
        fieldNames_.append(tableFields_.value(k - 1));
    }
    if (ui_->cboField->count() > 0) {
        ui_->cboField->setCurrentIndex(0);
        ui_->cboOrderByField->setCurrentIndex(0);
    }
    return -1;
}

std::int16_t Filter::LoadFilters() {
    ui_->filters->clear();
    // The key column is named by the table itself, so a renamed column still works.
    QString keyColumn;
    (void)data::attempt([&] {
        engine::Recordset rs = data::OpenTable(QString::fromLatin1(kFiltersTable));
        if (!rs.IsOpen()) return;
        keyColumn = rs.FieldAt(0).Name();
        // A name longer than its column would only fail when saved.
        ui_->filters->lineEdit()->setMaxLength(rs.FieldAt(1).Size());
    });
    if (keyColumn.isEmpty()) return -1;
    data::StringListSink names;
    data::FillList(QStringLiteral("SELECT * FROM FILTERS WHERE [") + keyColumn +
                       QStringLiteral("] = ") + engine::quoteLiteral(tableKey()),
                   names, 1);
    ui_->filters->addItems(names.items);
    ui_->filters->setCurrentIndex(-1);  // no name until the user picks or types one
    loadedFilter_.clear();
    return -1;
}

void Filter::readTableFields() {
    tableFields_.clear();
    tableTypes_.clear();
    (void)data::attempt([&] {
        data::AppState& s = data::state();
        if (!s.DataOpen) data::OpenDataDatabase();
        const bool inData = s.DataOpen && s.DataDb.HasTable(tableName_);
        database_ = inData ? data::kDataDb : data::kDefinitionsDb;
        const engine::Database& db = inData ? s.DataDb : s.DefinitionsDb;
        if (!inData && !(db.IsOpen() && db.HasTable(tableName_))) return;
        for (const engine::Field& f : db.TableDefNamed(tableName_).Fields()) {
            tableFields_.append(f.Name());
            tableTypes_.push_back(f.Type());
        }
    });
}

int Filter::columnOf(const QString& caption) const {
    int index = ui_->cboField->findText(caption);
    if (index < 0) index = ui_->cboField->findText(caption, Qt::MatchFixedString);
    return index;
}

QString Filter::fieldOf(const QString& caption) const {
    return fieldNames_.value(columnOf(caption));
}

QString Filter::tableKey() const { return tableName_.left(kFilterKeyLength); }

QString Filter::filterName() const { return ui_->filters->currentText().trimmed(); }

void Filter::addCondition(filter::Join join) {
    const int column = ui_->cboField->currentIndex();
    if (column < 0) {
        data::prompter().beep();
        return;
    }
    if (ui_->cboOperator->currentIndex() < 0) ui_->cboOperator->setCurrentIndex(0);
    const QString caption = ui_->cboField->currentText();
    const QString value = ui_->cboValue->currentText();
    const int field = tableFields_.indexOf(fieldNames_.value(column));
    const engine::FieldType type =
        field >= 0 ? tableTypes_[static_cast<size_t>(field)] : engine::FieldType::Text;

    std::optional<QString> written;
    switch (type) {
        case engine::FieldType::Text:
        case engine::FieldType::Memo:
        case engine::FieldType::Date:
            written = filter::valueText(type, value);
            break;
        default:
            written = filter::valueText(type, sqlNumber(value));
            break;
    }
    if (!written) {
        // The value stays in its box to be corrected.
        data::ShowMessage(kInvalidDate);
        ui_->cboValue->setFocus();
        return;
    }
    ui_->txtCriteria->setPlainText(filter::appendCondition(
        ui_->txtCriteria->toPlainText(), join, caption, ui_->cboOperator->currentText(), *written));
    ui_->cboField->setFocus();
}

void Filter::getValues() {
    const QString field = fieldOf(ui_->cboField->currentText());
    if (field.isEmpty()) return;
    data::prompter().setPointer(data::kPointerHourglass);
    QStringList values;
    (void)data::attempt([&] {
        engine::Recordset rs = data::OpenTable(QStringLiteral("Select Distinct [") + field +
                                                   QStringLiteral("] from [") + tableName_ + u']',
                                               database_);
        if (!rs.IsOpen()) return;
        while (!rs.EOF_()) {
            const QString text = TextOf(rs[0]);
            if (!text.trimmed().isEmpty()) values.append(text);
            rs.MoveNext();
        }
    });
    ui_->cboValue->clear();
    ui_->cboValue->addItems(values);
    if (!values.isEmpty()) ui_->cboValue->setCurrentIndex(0);
    ui_->cboValue->setFocus();
    data::prompter().setPointer(data::kPointerDefault);
}

void Filter::clearCriteria() {
    ui_->filters->setEditText(QString());
    ui_->txtCriteria->clear();
    loadedFilter_.clear();
    shownCriteria_.clear();
}

void Filter::runQuery() {
    const QString condition =
        filter::whereCondition(ui_->txtCriteria->toPlainText(),
                               [this](const QString& caption) { return fieldOf(caption); });

    const QString sortCaption = ui_->cboOrderByField->currentText();
    QString sortField;
    if (!sortCaption.isEmpty() && sortCaption != QLatin1String(filter::kNoSortField))
        sortField = fieldOf(sortCaption);
    const QString orderBy =
        filter::orderByText(sortField, ui_->optOrder_1->isChecked(), tableFields_.value(0));

    // The statement is tried on an empty result first: criteria the engine cannot read
    // get their message here, with the criteria still in the box to be put right, rather
    // than an empty list after the window has gone.
    const QString probe = filter::selectStatement(
        tableName_,
        condition.isEmpty() ? QStringLiteral("False")
                            : u'(' + condition + QStringLiteral(") AND False"),
        orderBy);
    if (!data::OpenTable(probe, database_).IsOpen()) {
        ui_->txtCriteria->setFocus();
        return;
    }

    if (!filterName().isEmpty()) setTag(ui_->filters, filterName());
    data::state().SharedValues[0] = filter::selectStatement(tableName_, condition, orderBy);
    accept();
}

void Filter::saveFilter() {
    const QString name = filterName();
    if (name.isEmpty()) {
        data::ShowMessage(kNeedFilterName);
        ui_->filters->setFocus();
        return;
    }
    data::FieldValueArray& values = data::state().FieldValues;
    values.assign({tableKey(), name, ui_->txtCriteria->toPlainText(), QString(),
                   QString::number(ui_->cboOrderByField->currentIndex())});
    // Saving under a name that is already there replaces that filter's criteria, as a
    // person who picks a name from the list and saves expects; a new name adds a row.
    const bool known = ui_->filters->findText(name, Qt::MatchFixedString) >= 0;
    const QString source = QString::fromLatin1(kFiltersTable);
    const bool saved =
        known ? data::UpdateRecord(source, true, tableKey(), name) : data::AddRecord(source);
    if (!saved) return;
    if (!known) ui_->filters->addItem(name);
    ui_->filters->setEditText(name);
    loadedFilter_ = name;
    shownCriteria_ = ui_->txtCriteria->toPlainText();
    ShowStatusMessage(kFilterSaved);
}

void Filter::deleteFilter() {
    const QString name = filterName();
    if (name.isEmpty()) return;
    if (!data::DeleteRecord(QString::fromLatin1(kFiltersTable), tableKey(), name, QString(), false))
        return;
    const int index = ui_->filters->findText(name, Qt::MatchFixedString);
    if (index >= 0) ui_->filters->removeItem(index);
    ShowStatusMessage(kFilterDeleted);
    clearCriteria();
}

void Filter::loadSavedFilter() {
    const QString name = filterName();
    if (name.isEmpty()) return;
    // A name that is not saved is one the user is about to save under: his criteria stay.
    if (ui_->filters->findText(name, Qt::MatchFixedString) < 0) return;
    if (!data::LoadRecord(QString::fromLatin1(kFiltersTable), tableKey(), name)) {
        ui_->cboOrderByField->setCurrentIndex(0);
        ui_->txtCriteria->clear();
        loadedFilter_.clear();
        shownCriteria_.clear();
        return;
    }
    const data::FieldValueArray& values = data::state().FieldValues;
    ui_->txtCriteria->setPlainText(values(kCriteriaElement));
    bool ok = false;
    const int sortIndex = values(kSortFieldElement).toInt(&ok);
    ui_->cboOrderByField->setCurrentIndex(
        ok && sortIndex < ui_->cboOrderByField->count() ? sortIndex : 0);
    loadedFilter_ = name;
    shownCriteria_ = ui_->txtCriteria->toPlainText();
}

void Filter::keyPressEvent(QKeyEvent* event) {
    if (isEnter(event)) {
        // A focused button presses itself (the dialog's own handling); Enter in the
        // condition boxes adds the condition; anywhere else it does nothing.
        QWidget* focus = focusWidget();
        if (qobject_cast<QPushButton*>(focus)) {
            QDialog::keyPressEvent(event);
            return;
        }
        for (QWidget* box :
             {static_cast<QWidget*>(ui_->cboField), static_cast<QWidget*>(ui_->cboOperator),
              static_cast<QWidget*>(ui_->cboValue)}) {
            if (focus && (focus == box || box->isAncestorOf(focus))) {
                ui_->cmdAnd->click();
                break;
            }
        }
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

bool Filter::eventFilter(QObject* watched, QEvent* event) {
    if (watched == ui_->cboValue->lineEdit() && isEnter(event)) {
        ui_->cmdAnd->click();
        return true;
    }
    if (watched == ui_->filters->lineEdit()) {
        if (isEnter(event)) {
            loadSavedFilter();
            return true;
        }
        if (event->type() == QEvent::FocusIn) leavingNameBox_ = false;
        // Leaving the name box loads the named filter, unless the criteria box holds work
        // the user has done since the window last filled it: clicking Save right after
        // typing an existing name must save what he typed, not reload the old criteria.
        if (event->type() == QEvent::FocusOut &&
            static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason) {
            leavingNameBox_ = true;
            if (filterName().compare(loadedFilter_, Qt::CaseInsensitive) != 0 &&
                ui_->txtCriteria->toPlainText() == shownCriteria_)
                loadSavedFilter();
        }
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace tv::forms
