#include "forms/admin/counter_list.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/user_rights.h"
#include "forms/framework/captions.h"
#include "forms/framework/status.h"
#include "ui_counter_list.h"

#include <QKeyEvent>

namespace tv::forms {

namespace {

const QString kWindowName = QStringLiteral("CounterList");
const QString kCounters = QStringLiteral("Counters");
const QString kDefaultPrompt = QStringLiteral("Enter last used record number for this table:");
constexpr int kLastNumberColumn = 1;

constexpr int kZeroRefused = 600;
constexpr int kLowerAsked = 601;
constexpr int kStoredStatus = 919;
constexpr int kUnchangedStatus = 920;

}  // namespace

CounterList::CounterList(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::CounterList>()) {
    ui_->setupUi(this);

    engine::Recordset rs = data::OpenTable(
        QStringLiteral("SELECT * FROM [TABLE DEFINITIONS] WHERE [COUNTERTABLE] <> 0"),
        data::kDefinitionsDb);
    if (rs.IsOpen()) {
        // A row that cannot be read ends the list; what was read stays.
        (void)data::attempt([&] {
            while (!rs.EOF_()) {
                tableNames_.append(tv::TextOf(rs[0]));
                ui_->List1->addItem(tv::TextOf(rs[1]));
                rs.MoveNext();
            }
        });
        rs.Close();
    }
    if (ui_->List1->count() > 0) ui_->List1->setCurrentRow(0);

    ApplyFormCaptions(this, kWindowName);
    ui_->List1->installEventFilter(this);
    connect(ui_->List1, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { changeCounter(ui_->List1->row(item)); });
    connect(ui_->Closef, &QPushButton::clicked, this, &QDialog::accept);
}

CounterList::~CounterList() = default;

bool CounterList::eventFilter(QObject* watched, QEvent* event) {
    // Enter on the list changes the selected counter rather than closing the window.
    if (watched == ui_->List1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            changeCounter(ui_->List1->currentRow());
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void CounterList::changeCounter(int row) {
    if (row < 0 || row >= tableNames_.size()) return;
    // Only administrators number the documents, however this window was reached.
    if (!data::requireAdministrator(windowTitle())) return;
    const QString table = tableNames_.at(row);
    const QString current = data::GetFieldText(kCounters, table, QString(), kLastNumberColumn);
    QString prompt = GetCaptionText(kWindowName, QStringLiteral("Prompt"));
    if (prompt.isEmpty()) prompt = kDefaultPrompt;

    QString answer;
    for (;;) {
        answer = data::prompter().inputBox(prompt, windowTitle(), current).trimmed();
        if (answer.isEmpty()) {
            ShowStatusMessage(kUnchangedStatus);
            return;
        }
        const double value = tv::Val(answer);
        if (value == 0) {
            data::ShowMessage(kZeroRefused);
            continue;
        }
        if (value < tv::Val(current) && data::ShowMessage(kLowerAsked) != data::msgbox::kYes)
            continue;
        break;
    }

    // The stored number is the whole number typed ("12abc" and "12.0" store 12).
    data::FieldValueArray& values = data::state().FieldValues;
    values.clear();
    values(1) = table;
    values(2) = QString::number(static_cast<qint64>(tv::Val(answer)));
    data::UpdateRecord(kCounters, true, table, QString());
    ShowStatusMessage(kStoredStatus);
}

}  // namespace tv::forms
