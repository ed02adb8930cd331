#include "forms/framework/generic_record_window.h"

#include "data/access.h"
#include "data/failure.h"
#include "forms/framework/data_tables.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

namespace tv::forms {

namespace {

QWidget* controlFor(const engine::Field& field, QWidget* parent) {
    switch (field.Type()) {
        case engine::FieldType::Boolean:
            return new QCheckBox(parent);
        case engine::FieldType::Memo: {
            auto* memo = new QPlainTextEdit(parent);
            memo->setTabChangesFocus(true);
            memo->setMaximumHeight(memo->fontMetrics().lineSpacing() * 5);
            return memo;
        }
        case engine::FieldType::LongBinary:
            return nullptr;  // pictures and files have no text form
        default: {
            // Dates stay text boxes: a key such as an activity's date and time must keep
            // its time, which a date-only box would drop.
            auto* box = new QLineEdit(parent);
            if (field.Type() == engine::FieldType::Text && field.Size() > 0)
                box->setMaxLength(field.Size());
            return box;
        }
    }
}

}  // namespace

int databaseOfTable(const QString& displayName) {
    for (const char* name : {"Report Definitions", "Form Captions", "Field Definitions"}) {
        if (displayName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return data::kDefinitionsDb;
    }
    return data::kDataDb;
}

GenericRecordWindow::GenericRecordWindow(const QString& windowName, const QString& tableName,
                                         QWidget* parent)
    : RecordWindow(parent), table_(tableName) {
    setObjectName(windowName);
    setWindowTitle(tableName);
    buildControls();
}

int GenericRecordWindow::database() const { return databaseOfTable(tableName()); }

void GenericRecordWindow::buildControls() {
    auto* outer = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    auto* page = new QWidget(scroll);
    auto* form = new QFormLayout(page);
    form->setFieldGrowthPolicy(QFormLayout::AllNonFixedFieldsGrow);

    const std::optional<engine::TableDef> def = tableDefinition(table_, databaseOfTable(table_));
    (void)data::attempt([&] {
        if (!def) return;
        const int count = def->FieldCount();
        for (int i = 0; i < count; ++i) {
            const engine::Field field = def->FieldAt(i);
            QWidget* control = controlFor(field, page);
            if (!control) continue;
            const int ordinal = i + 1;
            auto* label = new QLabel(field.Name() + QLatin1Char(':'), page);
            label->setProperty("tag", QString::number(ordinal));
            label->setBuddy(control);
            control->setObjectName(QStringLiteral("Field_%1").arg(ordinal));
            control->setProperty("tag", QString::number(ordinal));
            form->addRow(label, control);
        }
    });
    scroll->setWidget(page);
    outer->addWidget(scroll);

    // The load's caption step may rename these (FORM CAPTIONS under the window's name).
    auto* buttons = new QDialogButtonBox(this);
    auto* saveButton = buttons->addButton(tr("Sa&ve"), QDialogButtonBox::AcceptRole);
    saveButton->setObjectName(QStringLiteral("Savef"));
    saveButton->setProperty("tag", QStringLiteral("Savef"));
    auto* closeButton = buttons->addButton(tr("&Close"), QDialogButtonBox::RejectRole);
    closeButton->setObjectName(QStringLiteral("Closef"));
    closeButton->setProperty("tag", QStringLiteral("Closef"));
    outer->addWidget(buttons);
}

}  // namespace tv::forms
