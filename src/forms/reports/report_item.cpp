#include "forms/reports/report_item.h"

#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "forms/framework/captions.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/status.h"
#include "ui_report_item.h"

#include <algorithm>

namespace tv::forms {

namespace {

const QString kTable = QStringLiteral("REPORT SELECTION");
constexpr int kColumns = 14;
constexpr int kOptionTypeColumn = 6;  // 0-based
constexpr int kSavedStatus = 9108;

}  // namespace

ReportItem::ReportItem(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::ReportItem>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, objectName());
    data::StringListSink tables;
    data::ListDataTables(tables);
    ui_->TableName->addItem(QString());
    ui_->TableName->addItems(tables.items);
    connect(ui_->TableName, &QComboBox::currentTextChanged, this, &ReportItem::listFields);
    connect(ui_->okf, &QPushButton::clicked, this, [this] {
        if (save()) accept();
    });
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QDialog::reject);
}

ReportItem::~ReportItem() = default;

void ReportItem::listFields() {
    const QString shown = ui_->FieldName->currentText();
    ui_->FieldName->clear();
    const QString table = ui_->TableName->currentText().trimmed();
    if (!table.isEmpty() && data::OpenDataDatabase()) {
        try {
            for (const engine::Field& f : data::state().DataDb.TableDefNamed(table).Fields()) ui_->FieldName->addItem(f.Name());
        } catch (const engine::DbError&) {
            // A formula name or a table not in this database: the field is typed.
        }
    }
    ui_->FieldName->setCurrentText(shown);
}

void ReportItem::newItem(const QString& category, const QString& name, int itemNo) {
    storedKey_.clear();
    ui_->CategoryName->setText(category);
    ui_->ReportName->setText(name);
    ui_->ItemNo->setValue(itemNo);
    ui_->Operator->setCurrentText(QStringLiteral("="));
}

bool ReportItem::showItem(const QString& category, const QString& name, const QString& itemNo) {
    engine::Recordset rs = data::OpenTable(QStringLiteral("SELECT * FROM [REPORT SELECTION] WHERE [CATEGORY] = ") +
                                               engine::quoteLiteral(category) + QStringLiteral(" AND [NAME] = ") +
                                               engine::quoteLiteral(name) + QStringLiteral(" AND [ITEMNO] = ") +
                                               QString::number(itemNo.toInt()),
                                           data::kDefinitionsDb);
    if (!rs.IsOpen() || rs.EOF_()) return false;
    data::FieldValueArray values;
    values.resize(kColumns);
    for (int i = 0; i < kColumns && i < rs.FieldCount(); ++i) values(i + 1) = tv::TextOf(rs[i]);
    rs.Close();
    ui_->TableName->setCurrentText(values(4));
    listFields();
    LoadFormFields(this, values);
    ui_->ItemNo->setValue(values(3).toInt());
    ui_->OptionType->setCurrentIndex(std::clamp(values(kOptionTypeColumn + 1).toInt(), 0, 4));
    storedKey_ = {category, name, QString::number(itemNo.toInt())};
    return true;
}

bool ReportItem::save() {
    QStringList values;
    for (int i = 0; i < kColumns; ++i) values << QString();
    for (QObject* control : findChildren<QWidget*>()) {
        bool numeric = false;
        const int tag = control->property("tag").toString().toInt(&numeric);
        if (!numeric || tag < 1 || tag > kColumns) continue;
        if (const auto value = controlValue(control)) values[tag - 1] = *value;
    }
    values[2] = QString::number(ui_->ItemNo->value());
    values[kOptionTypeColumn] = QString::number(ui_->OptionType->currentIndex());
    // Booleans are stored as the databases keep them.
    for (int column : {12, 13}) values[column] = values[column] == QLatin1String("0") ? QStringLiteral("0") : QStringLiteral("-1");
    if (!data::SaveRecord(kTable, values, true, data::kDefinitionsDb)) return false;
    // A renumbered criterion is stored under its new number only.
    if (!storedKey_.isEmpty() && storedKey_[2] != values[2]) {
        try {
            data::state().DefinitionsDb.Execute(QStringLiteral("DELETE * FROM [REPORT SELECTION] WHERE [CATEGORY] = ") +
                                                engine::quoteLiteral(storedKey_[0]) + QStringLiteral(" AND [NAME] = ") +
                                                engine::quoteLiteral(storedKey_[1]) + QStringLiteral(" AND [ITEMNO] = ") +
                                                storedKey_[2]);
        } catch (const engine::DbError& e) {
            data::ShowMessage(106, QStringLiteral("\n\n%1 (%2)").arg(e.text()).arg(e.number()));
        }
    }
    storedKey_ = {values[0], values[1], values[2]};
    ShowStatusMessage(kSavedStatus);
    return true;
}

}  // namespace tv::forms
