#include "forms/reports/report_criteria.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/locations.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/date_box.h"
#include "forms/framework/status.h"
#include "forms/framework/table_lookup.h"
#include "reports/report_engine.h"
#include "ui_report_criteria.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace tv::forms {

namespace {

constexpr int kPreparingStatus = 926;
constexpr int kRunningStatus = 916;
constexpr int kFinishedStatus = 917;
constexpr int kStillRunningMessage = 141;
constexpr int kRequiredMessage = 9106;

// REPORT SELECTION's columns, by position.
enum SelectionColumn {
    kTable = 3, kField, kOperator, kOptionType, kDefaultA, kDefaultB,
    kLookupTable, kLookupField, kLookupSelect, kDateTimeFlag, kRequiredFlag
};

QString bracketed(const QString& name) { return u'[' + name + u']'; }

bool flagOf(const tv::Variant& v) {
    if (v.isNull()) return false;
    try {
        return tv::CBool(v);
    } catch (const tv::ConversionError&) {
        return false;
    }
}

}  // namespace

struct ReportCriteria::Row {
    reports::Criterion criterion;  // table, field, operator, input kind, type, flags
    bool required = false;
    QString lookupTable, lookupField, lookupSelect;
    QWidget* a = nullptr;
    QWidget* b = nullptr;  // "Between" only
};

ReportCriteria::ReportCriteria(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ReportCriteria>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, objectName());
    connect(ui_->okf, &QPushButton::clicked, this, [this] { runReport(); });
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QDialog::reject);
}

ReportCriteria::~ReportCriteria() = default;

void ReportCriteria::setReport(const QString& category, const QString& name, int destination) {
    category_ = category;
    name_ = name;
    ui_->ReportTitle->setText(QStringLiteral("<b>%1</b> (%2)").arg(name.toHtmlEscaped(), category.toHtmlEscaped()));
    setWindowTitle(windowTitle().section(QStringLiteral(" - "), 0, 0) + QStringLiteral(" - ") + name);
    QRadioButton* options[] = {ui_->DestinationOption_0, ui_->DestinationOption_1, ui_->DestinationOption_2};
    options[destination >= 0 && destination <= 2 ? destination : 0]->setChecked(true);
}

int ReportCriteria::destination() const {
    if (ui_->DestinationOption_1->isChecked()) return 1;
    if (ui_->DestinationOption_2->isChecked()) return 2;
    return 0;
}

void ReportCriteria::BuildCriteriaPrompts() {
    ShowStatusMessage(kPreparingStatus);
    const QString sql = QStringLiteral("SELECT * FROM [REPORT SELECTION] WHERE [CATEGORY] = ") +
                        engine::quoteLiteral(category_) + QStringLiteral(" AND [NAME] = ") +
                        engine::quoteLiteral(name_) + QStringLiteral(" ORDER BY [ITEMNO]");
    engine::Recordset rs = data::OpenTable(sql, data::kDefinitionsDb);
    if (!rs.IsOpen()) return;
    const bool dataOpen = data::OpenDataDatabase();
    try {
        for (; !rs.EOF_(); rs.MoveNext()) {
            Row row;
            reports::Criterion& c = row.criterion;
            c.table = tv::TextOf(rs[kTable]).trimmed();
            c.field = tv::TextOf(rs[kField]).trimmed();
            c.op = tv::TextOf(rs[kOperator]).trimmed();
            if (c.op.isEmpty()) c.op = QStringLiteral("=");
            const int option = rs[kOptionType].isNull() ? 0 : tv::CInt(rs[kOptionType]);
            c.input = option >= 0 && option <= 4 ? static_cast<reports::CriterionInput>(option)
                                                 : reports::CriterionInput::TextBox;
            c.dateTime = flagOf(rs[kDateTimeFlag]);
            c.textA = tv::TextOf(rs[kDefaultA]);
            c.textB = tv::TextOf(rs[kDefaultB]);
            row.required = flagOf(rs[kRequiredFlag]);
            row.lookupTable = tv::TextOf(rs[kLookupTable]).trimmed();
            row.lookupField = tv::TextOf(rs[kLookupField]).trimmed();
            row.lookupSelect = tv::TextOf(rs[kLookupSelect]).trimmed();
            // The field's type decides how its values are written; a formula's is text.
            if (dataOpen && !c.table.isEmpty()) {
                try {
                    c.type = data::state().DataDb.TableDefNamed(c.table).FieldNamed(c.field).Type();
                } catch (const engine::DbError&) {
                    c.type = engine::FieldType::Text;
                }
            }
            addRow(std::move(row));
        }
    } catch (const engine::DbError& e) {
        data::ShowMessage(194, QStringLiteral("\n\n%1 (%2)").arg(e.text()).arg(e.number()));
    }
    rs.Close();
    ShowStatusMessage(0);
    if (!rows_.empty() && rows_.front().a) rows_.front().a->setFocus();
}

void ReportCriteria::addRow(Row row) {
    const size_t index = rows_.size();
    const int line = static_cast<int>(index);
    const reports::Criterion& c = row.criterion;
    const bool between = c.op.compare(QLatin1String("Between"), Qt::CaseInsensitive) == 0;
    auto* label = new QLabel(ui_->CriteriaPanel);
    label->setObjectName(QStringLiteral("CriterionLabel_%1").arg(line));
    label->setText((c.table.isEmpty() ? c.field : c.field + QStringLiteral(" (") + c.table + u')') +
                   (between ? QStringLiteral(" from") : u' ' + c.op) + (row.required ? QStringLiteral(" *") : QString()));

    auto make = [&](bool second) -> QWidget* {
        const QString suffix = (second ? QStringLiteral("B") : QString()) + QString::number(line);
        const QString& value = second ? c.textB : c.textA;
        switch (c.input) {
            case reports::CriterionInput::DropDownList: {
                auto* combo = new QComboBox(ui_->CriteriaPanel);
                combo->setObjectName(QStringLiteral("SelectCombo_") + suffix);
                data::StringListSink items;
                if (row.lookupTable.compare(QLatin1String("*Months"), Qt::CaseInsensitive) == 0) {
                    for (int m = 1; m <= 12; ++m)
                        items.items << tv::Format(tv::Variant(tv::DateSerial(2000, m, 1)), QStringLiteral("mmmm"));
                } else if (!row.lookupTable.isEmpty()) {
                    const QString source = !row.lookupSelect.isEmpty()
                                               ? row.lookupSelect
                                               : QStringLiteral("SELECT DISTINCT ") + bracketed(row.lookupField.isEmpty() ? c.field : row.lookupField) +
                                                     QStringLiteral(" FROM ") + bracketed(row.lookupTable) + QStringLiteral(" ORDER BY 1");
                    data::FillList(source, items, 0);
                }
                combo->addItem(QString());
                combo->addItems(items.items);
                combo->setCurrentText(value);
                if (combo->currentText() != value) combo->setCurrentIndex(0);
                return combo;
            }
            case reports::CriterionInput::CheckBox: {
                auto* check = new QCheckBox(ui_->CriteriaPanel);
                check->setObjectName(QStringLiteral("SelectCheck_") + suffix);
                check->setChecked(flagOf(tv::Variant(value)));
                return check;
            }
            case reports::CriterionInput::Date: {
                auto* date = new DateBox(ui_->CriteriaPanel);
                date->setObjectName(QStringLiteral("SelectDate_") + suffix);
                date->setDateText(value);
                return date;
            }
            case reports::CriterionInput::ExtendedList: {
                auto* box = new QWidget(ui_->CriteriaPanel);
                auto* layout = new QHBoxLayout(box);
                layout->setContentsMargins(0, 0, 0, 0);
                auto* text = new QLineEdit(value, box);
                text->setObjectName(QStringLiteral("LookupText_") + suffix);
                auto* button = new QToolButton(box);
                button->setObjectName(QStringLiteral("Lookup_") + suffix);
                button->setText(QStringLiteral("..."));
                button->setToolTip(tr("Choose from the list"));
                layout->addWidget(text, 1);
                layout->addWidget(button);
                box->setFocusProxy(text);
                connect(button, &QToolButton::clicked, this, [this, index, second] { lookup(index, second); });
                return box;
            }
            case reports::CriterionInput::TextBox:
                break;
        }
        auto* text = new QLineEdit(value, ui_->CriteriaPanel);
        text->setObjectName(QStringLiteral("SelectText_") + suffix);
        return text;
    };
    row.a = make(false);
    label->setBuddy(row.a->focusProxy() ? row.a->focusProxy() : row.a);
    ui_->CriteriaLayout->addWidget(label, line, 0);
    ui_->CriteriaLayout->addWidget(row.a, line, 1);
    if (between) {
        row.b = make(true);
        ui_->CriteriaLayout->addWidget(new QLabel(tr("to"), ui_->CriteriaPanel), line, 2);
        ui_->CriteriaLayout->addWidget(row.b, line, 3);
        setTabOrder(row.a, row.b);
    }
    ui_->CriteriaLayout->setRowStretch(line + 1, 1);
    ui_->CriteriaLayout->setRowStretch(line, 0);
    rows_.push_back(std::move(row));
}

void ReportCriteria::lookup(size_t index, bool second) {
    const Row& row = rows_[index];
    QWidget* box = second ? row.b : row.a;
    auto* text = box ? box->findChild<QLineEdit*>() : nullptr;
    if (!text) return;
    const QString field = row.lookupField.isEmpty() ? row.criterion.field : row.lookupField;
    const QString table = row.lookupTable.isEmpty() ? row.criterion.table : row.lookupTable;
    const QString source = !row.lookupSelect.isEmpty()
                               ? row.lookupSelect
                               : QStringLiteral("SELECT DISTINCT ") + bracketed(field) + QStringLiteral(" FROM ") +
                                     bracketed(table) + QStringLiteral(" ORDER BY 1");
    const QString picked = RunTableLookup(this, source, 1, text->text());
    if (!picked.isEmpty()) text->setText(picked);
}

std::vector<reports::Criterion> ReportCriteria::criteria() const {
    std::vector<reports::Criterion> all;
    for (const Row& row : rows_) {
        reports::Criterion c = row.criterion;
        auto read = [&c](QWidget* w, QString& text, QDate& date) {
            text.clear();
            date = QDate();
            if (!w) return;
            if (auto* line = qobject_cast<QLineEdit*>(w)) text = line->text();
            else if (auto* combo = qobject_cast<QComboBox*>(w)) text = combo->currentText();
            else if (auto* check = qobject_cast<QCheckBox*>(w)) c.checked = check->isChecked();
            else if (auto* dateBox = qobject_cast<DateBox*>(w)) date = dateBox->isNull() ? QDate() : dateBox->date();
            else if (auto* inner = w->findChild<QLineEdit*>()) text = inner->text();
        };
        read(row.a, c.textA, c.dateA);
        read(row.b, c.textB, c.dateB);
        all.push_back(c);
    }
    return all;
}

bool ReportCriteria::runReport(reports::ReportEngine* engine) {
    const std::vector<reports::Criterion> answers = criteria();
    for (size_t i = 0; i < answers.size(); ++i) {
        if (rows_[i].required && reports::criterionTerm(answers[i]).isEmpty()) {
            const reports::Criterion& c = answers[i];
            data::ShowMessage(kRequiredMessage, c.table.isEmpty() ? c.field : c.table + u'.' + c.field);
            rows_[i].a->setFocus();
            return false;
        }
    }
    const QString formula = reports::criteriaFormula(answers);
    const QString readable = reports::readableCriteria(formula);

    // The report's file, and where a run to a file goes.
    const QString key = QStringLiteral(" WHERE [CATEGORY] = ") + engine::quoteLiteral(category_) +
                        QStringLiteral(" AND [NAME] = ") + engine::quoteLiteral(name_);
    QString reportFile, outputFile, format;
    {
        engine::Recordset rs = data::OpenTable(
            QStringLiteral("SELECT [REPORTFILE], [OUTPUTFILE], [FILEFORMAT] FROM [REPORT DEFINITIONS]") + key,
            data::kDefinitionsDb);
        if (!rs.IsOpen()) return false;
        if (!rs.EOF_()) {
            reportFile = tv::TextOf(rs[0]).trimmed();
            outputFile = tv::TextOf(rs[1]).trimmed();
            format = tv::TextOf(rs[2]).trimmed();
        }
        rs.Close();
    }
    if (!format.isEmpty()) {
        engine::Recordset rs = data::OpenTable(
            QStringLiteral("SELECT [VALUE] FROM [OPTION LISTS] WHERE [LIST NAME] = 'Report File Format' AND [OPTION] = ") +
                engine::quoteLiteral(format),
            data::kDefinitionsDb);
        if (rs.IsOpen() && !rs.EOF_()) format = tv::TextOf(rs[0]);
    }
    const int target = destination();
    if (target == 2 && outputFile.isEmpty()) {
        data::FileRequest request;
        request.title = windowTitle();
        request.filter = QStringLiteral("PDF Document (*.pdf)|*.pdf|Comma Separated Values (*.csv)|*.csv|Plain Text (*.txt)|*.txt");
        request.flags = data::filedlg::kOverwritePrompt | data::filedlg::kPathMustExist;
        request.defaultName = name_ + u'.' + (format.isEmpty() ? QStringLiteral("pdf") : format);
        outputFile = data::prompter().saveFile(request);
        if (outputFile.isEmpty()) return false;
        format = QFileInfo(outputFile).suffix();
    }

    reports::ReportEngine& report = engine ? *engine : reports::reportEngine();
    ShowStatusMessage(kRunningStatus);
    const QString folder =
        QFileInfo(reportFile).isAbsolute() ? QString() : data::siteFilesFolder(true);
    report.setReportFileName(folder.isEmpty() ? reportFile : folder + u'/' + reportFile);
    report.setSelectionFormula(formula);
    report.clearFormulas();
    report.setFormula(QStringLiteral("criteria"), QStringLiteral("criteria=") + engine::quoteLiteral(readable));
    report.setDestination(target);
    if (target == 0) {
        report.setWindowTitle(name_);
        report.setWindowMaximized(true);
    } else if (target == 2) {
        report.setPrintFileName(outputFile);
        report.setPrintFileType(format);
    }
    report.PrintReport();
    if (report.status() == reports::kStatusRunning) {
        data::ShowMessage(kStillRunningMessage);
        while (report.status() > 0) data::prompter().processEvents();
    }
    ShowStatusMessage(kFinishedStatus);
    const bool done = report.status() == reports::kStatusFinished;
    if (done) {
        // Who ran the report last, and when: the definitions record it for the administrator.
        try {
            data::state().DefinitionsDb.Execute(
                QStringLiteral("UPDATE [REPORT DEFINITIONS] SET [LASTSELECTED] = ") +
                engine::sqlLiteral(tv::Variant(data::prompter().now())) + QStringLiteral(", [LASTSELECTEDBY] = ") +
                engine::quoteLiteral(data::state().CurrentUserId) + key);
        } catch (const engine::DbError&) {
            // A read-only definitions file still runs reports.
        }
        accept();
    }
    return done;
}

}  // namespace tv::forms
