#include "forms/framework/find_form.h"

#include "core/convert.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/find_prompt.h"
#include "forms/framework/list_form.h"
#include "forms/framework/list_model.h"
#include "forms/framework/status.h"
#include "forms/framework/window_layout.h"
#include "ui_find_form.h"

#include <QHeaderView>
#include <QPushButton>
#include <QTableView>

namespace tv::forms {

namespace {

// Messages.
constexpr int kReachedEnd = 144;
constexpr int kNothingFound = 145;
constexpr int kReachedStart = 9090;
constexpr int kEveryMatchShown = 9091;
constexpr int kSearchingStatus = 9094;

// What the dialog offered last time, so that a second search starts from the first one.
struct LastFind {
    QString text;
    int where = 0;
    bool wholeRecord = false;
    bool backwards = false;
    bool matchCase = false;
};

LastFind& lastFind() {
    static LastFind last;
    return last;
}

const QString kOne = QStringLiteral("1");
const QString kZero = QStringLiteral("0");

}  // namespace

FindForm::FindForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::FindForm>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("Find"));

    data::StringListSink entries;
    data::FillList(QStringLiteral("SELECT * FROM [OPTION LISTS] WHERE [LIST NAME] = ") +
                       engine::quoteLiteral(QStringLiteral("Find Where")),
                   entries, 1, data::kDefinitionsDb);
    ui_->where->addItems(entries.items);

    const LastFind& last = lastFind();
    ui_->findstring->setText(last.text);
    ui_->findstring->selectAll();
    ui_->where->setCurrentIndex(last.where < ui_->where->count() ? last.where : 0);
    (last.wholeRecord ? ui_->searchin_1 : ui_->searchin_0)->setChecked(true);
    (last.backwards ? ui_->direction_1 : ui_->direction_0)->setChecked(true);
    ui_->matchcase->setChecked(last.matchCase);

    // OK needs something to look for.
    auto enableOk = [this] { ui_->ListCommand_0->setEnabled(!ui_->findstring->text().isEmpty()); };
    connect(ui_->findstring, &QLineEdit::textChanged, this, enableOk);
    enableOk();
    connect(ui_->ListCommand_0, &QPushButton::clicked, this, &FindForm::accept);
    connect(ui_->ListCommand_1, &QPushButton::clicked, this, &FindForm::reject);
}

FindForm::~FindForm() = default;

void FindForm::setFieldName(const QString& caption) { ui_->SearchFieldName->setText(caption); }

void FindForm::accept() {
    if (ui_->findstring->text().isEmpty()) return;
    auto& shared = data::state().SharedValues;
    shared[0] = ui_->findstring->text();
    shared[1] = ui_->where->currentText();
    shared[2] = ui_->searchin_1->isChecked() ? kOne : kZero;
    shared[3] = ui_->direction_1->isChecked() ? kOne : kZero;
    shared[4] = ui_->matchcase->isChecked() ? kOne : kZero;
    lastFind() = {shared[0], ui_->where->currentIndex(), ui_->searchin_1->isChecked(),
                  ui_->direction_1->isChecked(), ui_->matchcase->isChecked()};
    QDialog::accept();
}

void FindForm::reject() {
    for (QString& value : data::state().SharedValues) value.clear();
    QDialog::reject();
}

FindRequest findRequestFromSharedValues() {
    const auto& shared = data::state().SharedValues;
    FindRequest request;
    request.text = shared[0];
    // The number an entry starts with ("2 - Start of Field"); any other entry finds the
    // text anywhere.
    const QString where = shared[1].trimmed();
    qsizetype digits = 0;
    while (digits < where.size() && where[digits].isDigit()) ++digits;
    const int mode = digits > 0 ? where.left(digits).toInt() : 0;
    if (mode == 1) request.mode = MatchMode::WholeField;
    if (mode == 2) request.mode = MatchMode::StartOfField;
    request.wholeRecord = shared[2] == kOne;
    request.backwards = shared[3] == kOne;
    request.matchCase = shared[4] == kOne;
    return request;
}

namespace {

bool isNumberType(engine::FieldType type) {
    using engine::FieldType;
    return type == FieldType::Byte || type == FieldType::Integer || type == FieldType::Long ||
           type == FieldType::Currency || type == FieldType::Single || type == FieldType::Double;
}

bool only(const QString& text, const QString& allowed) {
    return std::all_of(text.begin(), text.end(),
                       [&](QChar c) { return c.isDigit() || allowed.contains(c); });
}

// Whether a number or date could be shown holding the text. A number (plain, or through a
// pattern of digits and separators) is digits, signs and separators; a date written in
// numbers ("General Date", "Short Date", "dd/mm/yy" ...) digits, separators and the AM/PM
// marks. Fields that cannot hold the text are left out of the search, which in a
// whole-record search for a name over a long list is most of the work.
bool couldHold(const FindField& field, const QString& text) {
    const QString pattern = field.pattern.toLower();
    if (isNumberType(field.type) && only(pattern, QStringLiteral("#.,%")))
        return only(text, QStringLiteral("+-.,Ee %"));
    if (field.type != engine::FieldType::Date) return true;
    static const QStringList numericNames = {
        QStringLiteral("general date"), QStringLiteral("short date"), QStringLiteral("long time"),
        QStringLiteral("medium time"), QStringLiteral("short time")};
    const bool numeric =
        numericNames.contains(pattern) ||
        (!pattern.contains(QLatin1String("mmm")) && !pattern.contains(QLatin1String("ddd")) &&
         only(pattern, QStringLiteral("dmyhns/:.- ")));
    return !numeric || only(text, QStringLiteral("/-.: AaPpMm"));
}

bool isAscii(const QString& text) {
    for (const QChar c : text)
        if (c.unicode() > 0x7f) return false;
    return true;
}

// The text as a Like pattern that matches exactly it: the pattern characters stand for
// themselves inside brackets.
QString likeExactly(const QString& text) {
    QString pattern;
    for (const QChar c : text) {
        if (c == u'*' || c == u'?' || c == u'#' || c == u'[')
            pattern += u'[' + QString(c) + u']';
        else
            pattern += c;
    }
    return pattern;
}

QString quoted(const QString& text) { return engine::quoteLiteral(text, u'"'); }

// The criterion for one field, or nothing when the field cannot show the text.
QString fieldCriterion(const FindField& field, const FindRequest& request) {
    using engine::FieldType;
    if (field.type == FieldType::LongBinary) return {};
    const bool plainText =
        (field.type == FieldType::Text || field.type == FieldType::Memo) && field.pattern.isEmpty();
    if (!couldHold(field, request.text)) return {};

    const QString name = u'[' + field.name + u']';
    // Texts compare as stored; other values as the list writes them.
    QString shown = name;
    if (!field.pattern.isEmpty())
        shown = QStringLiteral("Format(%1, %2)").arg(name, quoted(field.pattern));
    else if (field.type == FieldType::Boolean)
        shown = QStringLiteral("Format(%1, \"True/False\")").arg(name);

    // Plain ASCII text ignoring case is what the engine's own comparisons do, and they can
    // use the column's index; everything else is compared in full Unicode.
    if (plainText && !request.matchCase && isAscii(request.text)) {
        switch (request.mode) {
            case MatchMode::WholeField:
                return name + QStringLiteral(" = ") + quoted(request.text);
            case MatchMode::StartOfField:
                return name + QStringLiteral(" Like ") + quoted(likeExactly(request.text) + u'*');
            case MatchMode::Anywhere:
                return name + QStringLiteral(" Like ") +
                       quoted(u'*' + likeExactly(request.text) + u'*');
        }
    }
    const QString at = QStringLiteral("InStr(1, %1, %2, %3)")
                           .arg(shown, quoted(request.text), request.matchCase ? kZero : kOne);
    switch (request.mode) {
        case MatchMode::WholeField:
            return QStringLiteral("(Len(%1) = %2 And %3 = 1)")
                .arg(shown)
                .arg(request.text.toUcs4().size())
                .arg(at);
        case MatchMode::StartOfField:
            return at + QStringLiteral(" = 1");
        case MatchMode::Anywhere:
            break;
    }
    return at + QStringLiteral(" > 0");
}

}  // namespace

QString findCriteria(const FindRequest& request, const std::vector<FindField>& fields) {
    QStringList criteria;
    for (const FindField& field : fields) {
        const QString criterion = fieldCriterion(field, request);
        if (!criterion.isEmpty()) criteria << u'(' + criterion + u')';
    }
    return criteria.join(QStringLiteral(" Or "));
}

namespace {

// One search through a list, from the dialog's answer to the last prompt.
class ListSearch {
public:
    ListSearch(ListForm* list, FindRequest request) : list_(list), request_(std::move(request)) {}

    void run() {
        if (!open()) {
            data::ShowMessage(kNothingFound);
            return;
        }
        busy(true);
        startAtCurrentRow();
        for (;;) {
            if (noMatch_) {
                if (!wrapRound()) break;
                continue;
            }
            const long row = rs_.AbsolutePosition();
            if (wrapped_ && (request_.backwards ? row <= start_ : row >= start_)) {
                finished();  // round to where the search began
                break;
            }
            found_ = true;
            const QString answer = showHit(row);
            if (answer == QLatin1String("Open")) {
                busy(false);
                list_->runCommand(ListForm::Edit);
                return;
            }
            if (answer != QLatin1String("Next")) break;
            busy(true);
            findNext();
        }
        busy(false);
    }

private:
    // The record set to walk, a clone of the list's over the same key set, and the
    // criteria; false when nothing in the list could match.
    bool open() {
        engine::Recordset& rows = list_->model()->recordset();
        if (!rows.IsOpen()) return false;
        std::vector<FindField> fields;
        const std::optional<data::Failure> failed = data::attempt([&] {
            rs_ = rows.Clone();
            const std::vector<ListColumn>& columns = list_->model()->columns();
            auto patternOf = [&](int field) {
                for (const ListColumn& column : columns)
                    if (column.field == field) return column.numberFormat;
                return QString();
            };
            auto add = [&](int field) {
                const engine::Field f = rs_.FieldAt(field);
                fields.push_back({f.Name(), f.Type(), patternOf(field)});
            };
            if (request_.wholeRecord) {
                for (int i = 0; i < rs_.FieldCount(); ++i) add(i);
            } else {
                const QModelIndex current = list_->grid()->currentIndex();
                const int column = current.isValid() ? current.column() : 0;
                if (column < static_cast<int>(columns.size()))
                    add(columns[static_cast<size_t>(column)].field);
            }
        });
        if (failed) return false;
        criteria_ = findCriteria(request_, fields);
        return !criteria_.isEmpty();
    }

    // The first step looks at the current row itself, then on in the search's direction.
    void startAtCurrentRow() {
        const QModelIndex current = list_->grid()->currentIndex();
        const std::optional<QByteArray> bookmark =
            current.isValid() ? list_->model()->bookmark(current.row()) : std::nullopt;
        const std::optional<data::Failure> failed = data::attempt([&] {
            if (!bookmark) {
                start_ = request_.backwards ? list_->model()->recordCount() - 1 : 0;
                find(request_.backwards ? &engine::Recordset::FindLast
                                        : &engine::Recordset::FindFirst);
                return;
            }
            rs_.SetBookmark(*bookmark);
            start_ = rs_.AbsolutePosition();
            // One row back (to the start or end of the set, where the find begins at the
            // first or last row), so that the find's next row is the current one.
            if (request_.backwards)
                rs_.MoveNext();
            else
                rs_.MovePrevious();
            findNext();
        });
        if (failed) noMatch_ = true;
    }

    // A find the engine refuses (the list's file gone) ends the search as "no match".
    void find(void (engine::Recordset::*how)(const QString&)) {
        const std::optional<data::Failure> failed =
            data::attempt([&] { noMatch_ = ((rs_.*how)(criteria_), rs_.NoMatch()); });
        if (failed) noMatch_ = true;
    }

    void findNext() {
        find(request_.backwards ? &engine::Recordset::FindPrevious : &engine::Recordset::FindNext);
    }

    // At the end (or start) of the list: the first time the user may go on from the other
    // end; false when the search is over.
    bool wrapRound() {
        const long last = list_->model()->recordCount() - 1;
        const bool coveredAll = request_.backwards ? start_ >= last : start_ <= 0;
        if (wrapped_ || coveredAll) {
            finished();
            return false;
        }
        busy(false);
        if (data::ShowMessage(request_.backwards ? kReachedStart : kReachedEnd) !=
            data::msgbox::kYes)
            return false;
        busy(true);
        wrapped_ = true;
        // Rows other users changed meanwhile are read as they are now.
        (void)data::attempt([] { engine::Engine::instance().Idle(true); });
        find(request_.backwards ? &engine::Recordset::FindLast : &engine::Recordset::FindFirst);
        return true;
    }

    void finished() {
        busy(false);
        data::ShowMessage(found_ ? kEveryMatchShown : kNothingFound);
    }

    // Selects the row in the grid and asks what to do: "Next", "Open" or empty.
    QString showHit(long row) {
        busy(false);
        QTableView* grid = list_->grid();
        QAbstractItemModel* model = grid->model();
        const QModelIndex current = grid->currentIndex();
        const int column = current.isValid() ? current.column() : 0;
        if (row >= 0 && row < model->rowCount()) {
            const QModelIndex hit = model->index(static_cast<int>(row), column);
            grid->setCurrentIndex(hit);
            grid->scrollTo(hit, QAbstractItemView::PositionAtCenter);
        }
        FindPrompt prompt(list_);
        const QPushButton* edit = list_->commandButton(ListForm::Edit);
        prompt.allowOpen(edit && edit->isEnabled());
        const QModelIndex shown = grid->currentIndex();
        if (shown.isValid() && grid->isVisible()) {
            QRect rect = grid->visualRect(shown);
            rect.setLeft(0);
            rect.setRight(grid->viewport()->width());
            const QWidget* frame = windowFrame(list_);
            const QRect window(frame->mapToGlobal(QPoint(0, 0)), frame->frameGeometry().size());
            prompt.placeOutside(window,
                                QRect(grid->viewport()->mapToGlobal(rect.topLeft()), rect.size()));
        }
        prompt.exec();
        return prompt.answer();
    }

    void busy(bool on) {
        if (on == busy_) return;
        busy_ = on;
        const data::AppState& app = data::state();
        data::prompter().setPointer(on ? app.BusyPointer : data::kPointerDefault, app.BusyIconPath);
        ShowStatusMessage(on ? kSearchingStatus : 0);
    }

    ListForm* list_;
    FindRequest request_;
    engine::Recordset rs_;
    QString criteria_;
    long start_ = 0;
    bool wrapped_ = false;
    bool found_ = false;
    bool busy_ = false;
    bool noMatch_ = false;
};

}  // namespace

void FindInList(ListForm* list) {
    if (!list) return;
    FindForm form(list);
    const QModelIndex current = list->grid()->currentIndex();
    const int column = current.isValid() ? current.column() : 0;
    form.setFieldName(
        list->model()->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    form.exec();
    const FindRequest request = findRequestFromSharedValues();
    if (request.text.isEmpty()) return;
    ListSearch(list, request).run();
}

}  // namespace tv::forms
