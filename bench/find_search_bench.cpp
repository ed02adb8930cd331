// Find and Search as a user runs them, beside raw SQLite doing the same work:
//
//   FindAtEnd       the list window's Find on 1,000,000 customers from the first row to the
//                   only match, the last row of the list (Find dialog and result prompt
//                   answered at once). Raw: SQLite's own best plan for the same match and the
//                   first hit in the list's order: the name index walked in order (it holds
//                   the name), or for every field one pass over the table (NOT INDEXED; the
//                   index would send it to the table row by row in random order).
//   FindAtEndAll    the same, looking in every field of each record. Raw: the text columns
//                   (dates and numbers cannot hold the name; the find leaves them out too).
//   PhoneFind       the Search window's lookup of a customer by a contact's telephone number
//                   typed as stored, on 100,000 customers with 250,000 contacts. Raw: the
//                   customers' and then the contacts' indexed numbers.
//   PhoneSearch     the whole Search command to the customer shown in its window.
//   PhoneDigits     a number typed another way ("02 5123 4567" for "(02) 5123 4567"): the
//                   fallback on the digits. Raw: the same LIKE and digit check.
//
// Targets: FindAtEnd under 1 s, PhoneSearch under 50 ms. The ratios are printed at the end.
#include "list_bench_data.h"

#include "data/access.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/list_form.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/search_window.h"
#include "ratio_report.h"

#include <sqlite3.h>

#include <benchmark/benchmark.h>
#include <QApplication>
#include <QDialog>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <map>
#include <memory>
#include <optional>

namespace {

using tv::forms::ListForm;

constexpr int kFindRows = 1000000;
constexpr int kSearchCustomers = 100000;
constexpr int kContactsPerCustomer = 5;  // every second customer has 5: 250,000 contacts

int rowsOf(const benchmark::State& state) { return static_cast<int>(state.range(0)); }

// A contact's business telephone number, as stored.
QString contactPhone(int contact) {
    return QStringLiteral("(02) %1 %2")
        .arg(5000 + contact / 10000, 4, 10, QLatin1Char('0'))
        .arg(contact % 10000, 4, 10, QLatin1Char('0'));
}

// Adds 250,000 contacts to the 100,000 customers of the list data set (once per run).
void addContacts(const QString& dataFile) {
    sqlite3* db = nullptr;
    sqlite3_open(dataFile.toUtf8().constData(), &db);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db,
                       "INSERT INTO CONTACTS ([CUSTOMER NAME], [CONTACT NAME], [BUSINESS PHONE], "
                       "[MOBILE PHONE], [EMAIL ADDRESS]) VALUES (?,?,?,?,?)",
                       -1, &insert, nullptr);
    int contact = 0;
    for (int customer = 2; customer <= kSearchCustomers; customer += 2) {
        char name[64];
        std::snprintf(name, sizeof name, "Customer %08u Ltd",
                      static_cast<unsigned>(customer) * 2654435761u);
        for (int k = 0; k < kContactsPerCustomer; ++k, ++contact) {
            const QByteArray person = QStringLiteral("Person %1").arg(contact).toUtf8();
            const QByteArray phone = contactPhone(contact).toUtf8();
            const QByteArray mobile =
                QStringLiteral("04%1").arg(contact, 8, 10, QLatin1Char('0')).toUtf8();
            const QByteArray mail = QStringLiteral("p%1@example.com").arg(contact).toUtf8();
            sqlite3_bind_text(insert, 1, name, -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 2, person.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 3, phone.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 4, mobile.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_text(insert, 5, mail.constData(), -1, SQLITE_TRANSIENT);
            sqlite3_step(insert);
            sqlite3_reset(insert);
        }
    }
    sqlite3_finalize(insert);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

QString searchDataFile() {
    static bool filled = false;
    const QString file = tvbench::listDataFile(kSearchCustomers);
    if (!filled) {
        addContacts(file);
        filled = true;
    }
    return file;
}

// The number of the contact looked up in iteration i: spread over the table.
int contactAt(int i) { return static_cast<int>((static_cast<long>(i) * 7919) % 250000); }

// Answers the modal dialogs of one command: each dialog in turn gets the next step.
class Answers {
public:
    using Step = std::function<void(QDialog*)>;
    explicit Answers(std::vector<Step> steps) : steps_(std::move(steps)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog == last_ || !dialog->isVisible()) return;
            last_ = dialog;
            if (next_ < steps_.size()) steps_[next_++](dialog);
        });
        timer_.start(0);
    }

private:
    std::vector<Step> steps_;
    size_t next_ = 0;
    QPointer<QDialog> last_;
    QTimer timer_;
};

std::unique_ptr<ListForm> openCustomers() {
    tv::data::state().SharedValues[0] = QStringLiteral("Customers");
    auto list = std::make_unique<ListForm>();
    tv::forms::setTag(list.get(), QStringLiteral("Customers"));
    list->resize(1000, 700);
    list->show();
    list->activate();
    return list;
}

// The Find command from the first row, looking for the name of the last row.
void findAtEnd(benchmark::State& state, bool allFields) {
    tvbench::listDataFolder(rowsOf(state));
    auto list = openCustomers();
    const int last = list->model()->rowCount() - 1;
    const QString wanted = list->model()->index(last, 0).data().toString();
    bool reached = false;
    for (auto _ : state) {
        state.PauseTiming();
        list->grid()->setCurrentIndex(list->model()->index(0, 0));
        state.ResumeTiming();
        Answers answers(
            {[&](QDialog* form) {
                 form->findChild<QLineEdit*>(QStringLiteral("findstring"))->setText(wanted);
                 form->findChild<QRadioButton*>(allFields ? QStringLiteral("searchin_1")
                                                          : QStringLiteral("searchin_0"))
                     ->setChecked(true);
                 form->findChild<QRadioButton*>(QStringLiteral("direction_0"))->setChecked(true);
                 form->findChild<QPushButton*>(QStringLiteral("ListCommand_0"))->click();
             },
             [&](QDialog* prompt) {
                 reached = list->grid()->currentIndex().row() == last;
                 prompt->findChild<QPushButton*>(QStringLiteral("Cancelf"))->click();
             }});
        list->runCommand(ListForm::Find);
    }
    if (!reached) state.SkipWithError("the find did not reach the last row");
}

void FindAtEnd_tv(benchmark::State& state) { findAtEnd(state, false); }
void FindAtEndAll_tv(benchmark::State& state) { findAtEnd(state, true); }

// Raw SQLite: the first row in the list's order whose name (or any column) holds the text.
void findAtEndRaw(benchmark::State& state, bool allFields) {
    const QString file = tvbench::listDataFile(rowsOf(state));
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* last = nullptr;
    sqlite3_prepare_v2(
        db, "SELECT [CUSTOMER NAME] FROM CUSTOMERS ORDER BY [CUSTOMER NAME] DESC LIMIT 1", -1,
        &last, nullptr);
    sqlite3_step(last);
    const std::string pattern =
        std::string("%") + reinterpret_cast<const char*>(sqlite3_column_text(last, 0)) + "%";
    sqlite3_finalize(last);
    std::string where = "[CUSTOMER NAME] LIKE ?1";
    if (allFields) {
        where.clear();
        sqlite3_stmt* columns = nullptr;
        sqlite3_prepare_v2(
            db,
            "SELECT name FROM pragma_table_info('CUSTOMERS') WHERE type LIKE 'TEXT(%' OR "
            "type LIKE 'MEMO%'",
            -1, &columns, nullptr);
        while (sqlite3_step(columns) == SQLITE_ROW)
            where += std::string(where.empty() ? "" : " OR ") + "\"" +
                     reinterpret_cast<const char*>(sqlite3_column_text(columns, 0)) + "\" LIKE ?1";
        sqlite3_finalize(columns);
    }
    const std::string sql = std::string("SELECT rowid FROM CUSTOMERS ") +
                            (allFields ? "NOT INDEXED " : "") + "WHERE " + where +
                            " ORDER BY [CUSTOMER NAME] LIMIT 1";
    sqlite3_stmt* find = nullptr;
    sqlite3_prepare_v2(db, sql.c_str(), -1, &find, nullptr);
    for (auto _ : state) {
        sqlite3_bind_text(find, 1, pattern.c_str(), -1, SQLITE_STATIC);
        if (sqlite3_step(find) != SQLITE_ROW) state.SkipWithError("no row");
        benchmark::DoNotOptimize(sqlite3_column_int64(find, 0));
        sqlite3_reset(find);
    }
    sqlite3_finalize(find);
    sqlite3_close(db);
}

void FindAtEnd_raw(benchmark::State& state) { findAtEndRaw(state, false); }
void FindAtEndAll_raw(benchmark::State& state) { findAtEndRaw(state, true); }

// What a contact's customer is called, as the lookups must answer.
QString expectedCustomer(int contact) {
    const int customer = 2 + 2 * (contact / kContactsPerCustomer);
    return QStringLiteral("Customer %1 Ltd")
        .arg(static_cast<unsigned>(customer) * 2654435761u, 8, 10, QLatin1Char('0'));
}

void PhoneFind_tv(benchmark::State& state) {
    searchDataFile();
    int i = 0;
    for (auto _ : state) {
        const int contact = contactAt(i++);
        const std::optional<QString> name = tv::forms::customerByTelephone(contactPhone(contact));
        if (name != expectedCustomer(contact)) state.SkipWithError("wrong customer");
    }
}

void PhoneDigits_tv(benchmark::State& state) {
    searchDataFile();
    int i = 0;
    for (auto _ : state) {
        const int contact = contactAt(i++);
        const QString typed =
            contactPhone(contact).remove(QLatin1Char('(')).remove(QLatin1Char(')'));
        if (tv::forms::customerByTelephone(typed) != expectedCustomer(contact))
            state.SkipWithError("wrong customer");
    }
}

void PhoneSearch_tv(benchmark::State& state) {
    searchDataFile();
    tv::forms::registerFrameworkRecordWindows();
    tv::forms::SearchWindow window;
    auto* phone = window.findChild<QLineEdit*>(QStringLiteral("DataField_2"));
    int i = 0;
    for (auto _ : state) {
        const int contact = contactAt(i++);
        phone->setText(contactPhone(contact));
        window.search();
        tv::forms::RecordWindow* shown = tv::forms::GetRecordWindow(QStringLiteral("Customers"));
        if (!shown || shown->storedKey().value(0) != expectedCustomer(contact))
            state.SkipWithError("the customer was not shown");
    }
    delete tv::forms::GetRecordWindow(QStringLiteral("Customers"));
}

// Raw SQLite: the customers' numbers, then the contacts' three numbers (indexed), then the
// customer's row, as the Search window reads it.
class RawPhone {
public:
    RawPhone() {
        sqlite3_open_v2(searchDataFile().toUtf8().constData(), &db_, SQLITE_OPEN_READONLY, nullptr);
        prepare(&customers_, "SELECT [CUSTOMER NAME] FROM CUSTOMERS WHERE TELEPHONENO = ?1");
        prepare(
            &contacts_,
            "SELECT [CUSTOMER NAME] FROM CONTACTS WHERE [BUSINESS PHONE] = ?1 OR [HOME PHONE] = "
            "?1 OR [MOBILE PHONE] = ?1 LIMIT 1");
        prepare(&digitsCustomers_,
                "SELECT [CUSTOMER NAME], TELEPHONENO FROM CUSTOMERS WHERE TELEPHONENO LIKE ?1");
        prepare(&digitsContacts_,
                "SELECT [CUSTOMER NAME], [BUSINESS PHONE], [HOME PHONE], [MOBILE PHONE] FROM "
                "CONTACTS WHERE [BUSINESS PHONE] LIKE ?1 OR [HOME PHONE] LIKE ?1 OR [MOBILE PHONE] "
                "LIKE ?1");
        prepare(&row_, "SELECT * FROM CUSTOMERS WHERE [CUSTOMER NAME] = ?1");
    }
    ~RawPhone() {
        for (sqlite3_stmt* s : {customers_, contacts_, digitsCustomers_, digitsContacts_, row_})
            sqlite3_finalize(s);
        sqlite3_close(db_);
    }
    QString exact(const QString& number) {
        const QByteArray text = number.toUtf8();
        QString name = first(customers_, text);
        if (name.isEmpty()) name = first(contacts_, text);
        return name;
    }
    QString digits(const QString& number) {
        QString wanted;
        for (QChar c : number)
            if (c.isDigit()) wanted += c;
        QByteArray pattern = "%";
        for (QChar d : wanted) pattern += d.toLatin1() + QByteArray("%");
        for (sqlite3_stmt* s : {digitsCustomers_, digitsContacts_}) {
            sqlite3_bind_text(s, 1, pattern.constData(), -1, SQLITE_TRANSIENT);
            QString found;
            while (found.isEmpty() && sqlite3_step(s) == SQLITE_ROW)
                for (int c = 1; c < sqlite3_column_count(s); ++c) {
                    QString value =
                        QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, c)));
                    value.remove(QRegularExpression(QStringLiteral("\\D")));
                    if (value == wanted)
                        found = QString::fromUtf8(
                            reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
                }
            sqlite3_reset(s);
            if (!found.isEmpty()) return found;
        }
        return {};
    }
    void readRow(const QString& name) {
        const QByteArray text = name.toUtf8();
        sqlite3_bind_text(row_, 1, text.constData(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(row_) == SQLITE_ROW)
            for (int c = 0; c < sqlite3_column_count(row_); ++c)
                benchmark::DoNotOptimize(sqlite3_column_text(row_, c));
        sqlite3_reset(row_);
    }

private:
    void prepare(sqlite3_stmt** s, const char* sql) {
        sqlite3_prepare_v2(db_, sql, -1, s, nullptr);
    }
    static QString first(sqlite3_stmt* s, const QByteArray& value) {
        sqlite3_bind_text(s, 1, value.constData(), -1, SQLITE_TRANSIENT);
        QString name;
        if (sqlite3_step(s) == SQLITE_ROW)
            name = QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
        sqlite3_reset(s);
        return name;
    }
    sqlite3* db_ = nullptr;
    sqlite3_stmt *customers_ = nullptr, *contacts_ = nullptr, *digitsCustomers_ = nullptr,
                 *digitsContacts_ = nullptr, *row_ = nullptr;
};

void PhoneFind_raw(benchmark::State& state) {
    RawPhone raw;
    int i = 0;
    for (auto _ : state) {
        const int contact = contactAt(i++);
        if (raw.exact(contactPhone(contact)) != expectedCustomer(contact))
            state.SkipWithError("wrong customer");
    }
}

void PhoneSearch_raw(benchmark::State& state) {
    RawPhone raw;
    int i = 0;
    for (auto _ : state) raw.readRow(raw.exact(contactPhone(contactAt(i++))));
}

void PhoneDigits_raw(benchmark::State& state) {
    RawPhone raw;
    int i = 0;
    for (auto _ : state) {
        const int contact = contactAt(i++);
        const QString typed =
            contactPhone(contact).remove(QLatin1Char('(')).remove(QLatin1Char(')'));
        if (raw.digits(typed) != expectedCustomer(contact)) state.SkipWithError("wrong customer");
    }
}

BENCHMARK(FindAtEnd_tv)->Arg(kFindRows)->Unit(benchmark::kMillisecond);
BENCHMARK(FindAtEnd_raw)->Arg(kFindRows)->Unit(benchmark::kMillisecond);
BENCHMARK(FindAtEndAll_tv)->Arg(kFindRows)->Unit(benchmark::kMillisecond);
BENCHMARK(FindAtEndAll_raw)->Arg(kFindRows)->Unit(benchmark::kMillisecond);
BENCHMARK(PhoneFind_tv)->Arg(kSearchCustomers)->Unit(benchmark::kMillisecond);
BENCHMARK(PhoneFind_raw)->Arg(kSearchCustomers)->Unit(benchmark::kMillisecond);
BENCHMARK(PhoneSearch_tv)->Arg(kSearchCustomers)->Unit(benchmark::kMillisecond);
BENCHMARK(PhoneSearch_raw)->Arg(kSearchCustomers)->Unit(benchmark::kMillisecond);
BENCHMARK(PhoneDigits_tv)->Arg(kSearchCustomers)->Unit(benchmark::kMillisecond);
BENCHMARK(PhoneDigits_raw)->Arg(kSearchCustomers)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table;
    table.ours = "Tolvarine";
    table.theirs = "raw SQLite";
    table.pairs = {{"_tv", "_raw"}};
    table.units = true;
    table.decimals = 2;
    table.ratioDecimals = 1;
    table.targets = {{"FindAtEnd", "1000ms"}, {"PhoneSearch", "50ms"}};
    table.footnote = "(wall times; Tolvarine's include its dialogs and windows where the case says so)";
    tvbench::runWithRatios(table);
    tv::data::state().reset();
    return 0;
}
