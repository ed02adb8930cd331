#include "demo/vocabulary.h"

#include "data/shipped_text.h"
#include "demo/plan.h"

#include <QFile>
#include <algorithm>

namespace tv::demo {
namespace {

template <typename T>
int indexOf(const std::vector<T>& items, QString T::*key, const QString& wanted) {
    for (size_t i = 0; i < items.size(); ++i)
        if (items[i].*key == wanted) return static_cast<int>(i);
    return -1;
}

// A list that cannot be used; the text names the file and, where one is at fault, the line.
struct ListError {
    QString text;
};

// One row of a .tsv list, its cells in the order the reader asked for them.
class Row {
public:
    Row(QString file, int line, QStringList columns, QStringList cells)
        : file_(std::move(file)),
          line_(line),
          columns_(std::move(columns)),
          cells_(std::move(cells)) {}

    const QString& operator[](int i) const { return cells_[i]; }
    [[noreturn]] void fail(const QString& reason) const {
        throw ListError{QStringLiteral("%1:%2: %3").arg(file_).arg(line_).arg(reason)};
    }
    double number(int i) const {
        bool ok = false;
        const double value = cells_[i].toDouble(&ok);
        if (!ok) fail(QStringLiteral("%1 \"%2\" is not a number").arg(columns_[i], cells_[i]));
        return value;
    }
    int whole(int i) const {
        bool ok = false;
        const int value = cells_[i].toInt(&ok);
        if (!ok)
            fail(QStringLiteral("%1 \"%2\" is not a whole number").arg(columns_[i], cells_[i]));
        return value;
    }
    bool flag(int i) const {
        const QString& cell = cells_[i];
        if (cell == u"-1" || cell.compare(u"True", Qt::CaseInsensitive) == 0) return true;
        if (cell == u"0" || cell.compare(u"False", Qt::CaseInsensitive) == 0) return false;
        fail(QStringLiteral("%1 \"%2\" is neither True nor False").arg(columns_[i], cell));
    }
    // The index of the item of `items` whose `key` is cell i; naming nothing known is an
    // error.
    template <typename T>
    int reference(int i, const QString& list, const std::vector<T>& items, QString T::*key) const {
        const int index = indexOf(items, key, cells_[i]);
        if (index < 0)
            fail(QStringLiteral("%1 \"%2\" is not in %3").arg(columns_[i], cells_[i], list));
        return index;
    }
    // The position of cell i among the texts allowed there.
    int oneOf(int i, const QStringList& allowed) const {
        const int index = int(allowed.indexOf(cells_[i]));
        if (index < 0) {
            fail(QStringLiteral("%1 \"%2\" is none of %3")
                     .arg(columns_[i], cells_[i], allowed.join(QStringLiteral(", "))));
        }
        return index;
    }

private:
    QString file_;
    int line_;
    QStringList columns_;
    QStringList cells_;
};

class ListReader {
public:
    explicit ListReader(QString folder) : folder_(std::move(folder)) {}

    // A .txt list: one item per line; blank lines and lines starting with '#' are skipped.
    QStringList items(const QString& name) const {
        QStringList found;
        for (const QString& line : read(name).split(u'\n')) {
            const QString item = line.trimmed();
            if (!item.isEmpty() && !item.startsWith(u'#')) found << item;
        }
        if (found.isEmpty()) empty(name);
        return found;
    }

    // A .tsv list (the row-file format of db/): every row with the named columns, which
    // the header must hold, in the order given here. A Null cell reads as an empty text.
    std::vector<Row> rows(const QString& name, const QStringList& columns) const {
        data::TsvTable table;
        int errorLine = 0;
        QString error;
        if (!data::parseTsv(read(name), &table, &errorLine, &error))
            throw ListError{QStringLiteral("%1:%2: %3").arg(path(name)).arg(errorLine).arg(error)};
        std::vector<qsizetype> at;
        for (const QString& column : columns) {
            const auto found = std::find_if(
                table.columns.begin(), table.columns.end(),
                [&](const QString& c) { return c.compare(column, Qt::CaseInsensitive) == 0; });
            at.push_back(found - table.columns.begin());
            if (found == table.columns.end()) {
                throw ListError{QStringLiteral("%1:%2: no column %3")
                                    .arg(path(name))
                                    .arg(table.headerLine)
                                    .arg(column)};
            }
        }
        if (table.rows.empty()) empty(name);
        std::vector<Row> found;
        for (const data::TsvRow& row : table.rows) {
            QStringList cells;
            for (qsizetype i : at) cells << row.cells[size_t(i)].value_or(QString());
            found.emplace_back(path(name), row.line, columns, std::move(cells));
        }
        return found;
    }

    QString path(const QString& name) const { return folder_ + u'/' + name; }
    [[noreturn]] void fail(const QString& name, const QString& reason) const {
        throw ListError{path(name) + QStringLiteral(": ") + reason};
    }

private:
    QString read(const QString& name) const {
        QFile file(path(name));
        if (!file.open(QIODevice::ReadOnly)) fail(name, file.errorString());
        return QString::fromUtf8(file.readAll());
    }
    [[noreturn]] void empty(const QString& name) const {
        fail(name, QStringLiteral("the list is empty"));
    }

    QString folder_;
};

void loadStaff(const ListReader& in, Vocabulary& v) {
    static const QStringList duties = {"Administrator", "Sales", "Service", "Office"};
    for (const Row& r : in.rows(
             "staff.tsv", {"USERID", "NAME", "TITLE", "WORKPHONE", "MOBILE", "DUTY", "CHARGERATE",
                           "ADMINISTRATOR", "WORKFLOW", "BILLING", "WORKGROUP", "JOB"})) {
        const int duty = r.oneOf(5, duties);
        v.staff.push_back({r[0], r[1], r[2], r[3], r[4], Duty(duty), r.number(6), r.flag(7),
                           r.flag(8), r.flag(9), r[10], r[11]});
        if (v.staff.size() == 1 && v.staff[0].duty != Duty::Administrator)
            r.fail(QStringLiteral("the first row must be the shipped administrator"));
    }
    for (const char* job :
         {"sales manager", "service manager", "accounts", "delivery", "help desk"})
        if (v.staffWithJob(QString::fromUtf8(job)) < 0)
            in.fail("staff.tsv", QStringLiteral("nobody has the job \"%1\"").arg(job));
    for (Duty duty : {Duty::Sales, Duty::Service})
        if (std::none_of(v.staff.begin(), v.staff.end(),
                         [&](const StaffMember& s) { return s.duty == duty; }))
            in.fail("staff.tsv", QStringLiteral("nobody works in %1").arg(duties[int(duty)]));
}

void loadProducts(const ListReader& in, Vocabulary& v) {
    for (const Row& r :
         in.rows("suppliers.tsv", {"SUPPLIER NAME", "ACCOUNTNO", "STREET", "CITY", "STATE",
                                   "POSTCODE", "TELEPHONENO", "FAXNO", "EMAIL ADDRESS",
                                   "INTERNETURL", "CONTACT NAME", "PAYMENTTERMS"}))
        v.suppliers.push_back(
            {r[0], r[1], r[2], r[3], r[4], r[5], r[6], r[7], r[8], r[9], r[10], r[11]});
    static const QStringList kinds = {"Machine", "Accessory", "Consumable", "Part", "Service"};
    for (const Row& r :
         in.rows("products.tsv", {"PRODUCTCODE", "CATEGORY", "DESCRIPTION", "PRICE", "COST", "UNIT",
                                  "SUPPLIER NAME", "KIND", "WARRANTYMONTHS", "DISCONTINUED"})) {
        const int supplier = r.reference(6, "suppliers.tsv", v.suppliers, &Supplier::name);
        const int kind = r.oneOf(7, kinds);
        v.products.push_back({r[0], r[1], r[2], r.number(3), r.number(4), r[5], supplier,
                              ProductKind(kind), r[8].isEmpty() ? 0 : r.whole(8), r.flag(9)});
    }
    for (const char* code : {"SV-LABOUR", "SV-TRAIN", "SV-CONTRACT", "SV-INSTALL"})
        if (v.productIndex(QString::fromUtf8(code)) < 0)
            in.fail("products.tsv", QStringLiteral("no product %1").arg(code));
    for (ProductKind kind : {ProductKind::Machine, ProductKind::Accessory, ProductKind::Consumable,
                             ProductKind::Part}) {
        if (std::none_of(v.products.begin(), v.products.end(),
                         [&](const ProductInfo& p) { return p.kind == kind && !p.discontinued; }))
            in.fail("products.tsv", QStringLiteral("no %1 on sale").arg(kinds[int(kind)]));
    }
    if (std::none_of(v.products.begin(), v.products.end(),
                     [](const ProductInfo& p) { return isPrinter(p); }))
        in.fail("products.tsv", QStringLiteral("no copier or printer on sale"));
}

void loadPlaces(const ListReader& in, Vocabulary& v) {
    for (const Row& r : in.rows("places.tsv", {"SUBURB", "STATE", "POSTCODE", "TERRITORY",
                                               "AREACODE", "TIME ZONE", "COUNTRY", "WEIGHT"})) {
        v.places.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r[6], r.whole(7)});
        if (v.places.back().weight < 0) r.fail(QStringLiteral("WEIGHT is below 0"));
    }
    for (const Row& r : in.rows("industries.tsv", {"INDUSTRY CODE", "BUSINESS WORD"})) {
        const int at = indexOf(v.industries, &Industry::code, r[0]);
        if (at < 0) v.industries.push_back({r[0], {}});
        v.industries[size_t(at < 0 ? int(v.industries.size()) - 1 : at)].businessWords << r[1];
    }
    for (const Row& r :
         in.rows("showcase_customers.tsv", {"CUSTOMER NAME", "INDUSTRY", "SUBURB"})) {
        v.showcase.push_back({r[0], r.reference(1, "industries.tsv", v.industries, &Industry::code),
                              r.reference(2, "places.tsv", v.places, &Place::suburb)});
    }
}

void loadNames(const ListReader& in, Vocabulary& v) {
    for (const Row& r : in.rows("first_names.tsv", {"NAME", "FEMALE"}))
        v.firstNames.push_back({r[0], r.flag(1)});
    v.surnames = in.items("surnames.txt");
    v.brandWords = in.items("brand_words.txt");
    v.streetNames = in.items("street_names.txt");
    v.streetTypes = in.items("street_types.txt");
    for (const Row& r : in.rows("roles.tsv", {"ROLE", "TITLE"})) {
        if (v.roles.empty() || v.roles.back().role != r[0]) v.roles.push_back({r[0], {}});
        v.roles.back().titles << r[1];
    }
    // A customer's first contact is its owner or decision maker: the first two roles.
    if (v.roles.size() < 2) in.fail("roles.tsv", QStringLiteral("fewer than two roles"));
}

// Rows of texts grouped by their first column, which must include "*" for the rest.
QHash<QString, QStringList> groups(const ListReader& in, const QString& name,
                                   const QStringList& columns) {
    QHash<QString, QStringList> found;
    for (const Row& r : in.rows(name, columns)) found[r[0]] << r[1];
    if (!found.contains(QStringLiteral("*"))) in.fail(name, QStringLiteral("no rows for *"));
    return found;
}

void loadWords(const ListReader& in, Vocabulary& v) {
    v.topics = groups(in, "topics.tsv", {"ACTIVITY TYPE", "TOPIC"});
    v.summaries = groups(in, "request_summaries.tsv", {"REQUEST TYPE", "SUMMARY"});
    v.referralSources = in.items("referral_sources.txt");
    v.competitors = in.items("competitors.txt");
    v.resolutionTexts = in.items("resolutions.txt");
    v.interests = in.items("interests.txt");
    v.customerNotes = in.items("customer_notes.txt");
    v.itemLocations = in.items("item_locations.txt");
    v.opportunityIdeas = in.items("opportunity_ideas.txt");
    v.projectKinds = in.items("project_kinds.txt");
    v.returnReasons = in.items("return_reasons.txt");
    v.faultOnsets = in.items("fault_onsets.txt");
    for (const Row& r : in.rows("feedback.tsv", {"FEEDBACKTYPE", "SUMMARY"}))
        v.feedback[r[0]] << r[1];
    for (const char* type : kFeedbackTypes)
        if (!v.feedback.contains(QString::fromUtf8(type)))
            in.fail("feedback.tsv", QStringLiteral("no rows for %1").arg(type));
    for (const Row& r : in.rows("mail.tsv", {"SUBJECT", "TEXT"})) v.mail.push_back({r[0], r[1]});
}

void loadMarketing(const ListReader& in, Vocabulary& v) {
    for (const Row& r : in.rows("campaigns.tsv", {"CAMPAIGN", "DESCRIPTION", "STARTDAYSAGO",
                                                  "LENGTHDAYS", "BUDGET", "TARGETREVENUE"}))
        v.campaigns.push_back({r[0], r[1], r.whole(2), r.whole(3), r.number(4), r.number(5)});
    for (const Row& r :
         in.rows("form_letters.tsv", {"LETTERID", "CATEGORY", "DESCRIPTION", "LETTERTEXT"}))
        v.formLetters.push_back({r[0], r[1], r[2], r[3]});
    for (const Row& r : in.rows("care_plans.tsv", {"PLAN NAME", "DESCRIPTION", "CAMPAIGN"})) {
        if (!r[2].isEmpty()) r.reference(2, "campaigns.tsv", v.campaigns, &Campaign::name);
        v.carePlans.push_back({r[0], r[1], r[2], {}});
    }
    for (const Row& r : in.rows("care_plan_steps.tsv", {"PLAN NAME", "DAYOFFSET", "ACTIVITY TYPE",
                                                        "DESCRIPTION", "DURATION", "LETTERID"})) {
        const int plan = r.reference(0, "care_plans.tsv", v.carePlans, &CarePlan::name);
        r.oneOf(2, QStringList(activityTypes().begin(), activityTypes().end()));
        const int letter = r[5].isEmpty()
                               ? -1
                               : r.reference(5, "form_letters.tsv", v.formLetters, &FormLetter::id);
        v.carePlans[size_t(plan)].steps.push_back({r.whole(1), r[2], r[3], r.whole(4), letter});
    }
    for (const CarePlan& p : v.carePlans)
        if (p.steps.empty())
            in.fail("care_plan_steps.tsv", QStringLiteral("no steps for %1").arg(p.name));
}

void loadScript(const ListReader& in, Vocabulary& v) {
    const std::vector<Row> script =
        in.rows("call_script.tsv", {"SCRIPT NAME", "DESCRIPTION", "CAMPAIGN", "ENDMESSAGE"});
    if (script.size() > 1) script[1].fail(QStringLiteral("one script only"));
    const Row& s = script.front();
    if (!s[2].isEmpty()) s.reference(2, "campaigns.tsv", v.campaigns, &Campaign::name);
    v.callScript = {s[0], s[1], s[2], s[3], {}};
    for (const Row& r :
         in.rows("call_script_steps.tsv", {"PROMPT", "RESPONSE TYPE", "RESPONSES", "BRANCHES"})) {
        ScriptStep step{r[0], r.whole(1), r[2].isEmpty() ? QStringList() : r[2].split(u'|'), {}};
        for (const QString& branch : r[3].isEmpty() ? QStringList() : r[3].split(u'|')) {
            bool ok = false;
            step.branches.push_back(branch.toInt(&ok));
            if (!ok)
                r.fail(QStringLiteral("BRANCHES \"%1\" is not a list of step numbers").arg(r[3]));
        }
        if (step.branches.size() != size_t(step.responses.size()))
            r.fail(QStringLiteral("RESPONSES and BRANCHES differ in number"));
        v.callScript.steps.push_back(std::move(step));
    }
}

void loadKnownProblems(const ListReader& in, Vocabulary& v) {
    for (const Row& r :
         in.rows("known_problems.tsv", {"PRODUCTCODE", "SUMMARY", "SYMPTOMS", "CAUSE", "WORKAROUND",
                                        "RESOLUTION", "DAYSAGO", "RESOLVED"})) {
        r.reference(0, "products.tsv", v.products, &ProductInfo::code);
        v.knownProblems.push_back({r[0], r[1], r[2], r[3], r[4], r[5], r.whole(6), r.flag(7)});
    }
}

// Plans keep staff, products and topics in 8-bit fields.
void checkSizes(const ListReader& in, const Vocabulary& v) {
    if (v.staff.size() > 255) in.fail("staff.tsv", QStringLiteral("more than 255 people"));
    if (v.products.size() > 255) in.fail("products.tsv", QStringLiteral("more than 255 products"));
    for (const QStringList& topics : v.topics)
        if (topics.size() > 255)
            in.fail("topics.tsv", QStringLiteral("more than 255 topics for a type"));
}

}  // namespace

bool isPrinter(const ProductInfo& p) {
    return p.kind == ProductKind::Machine && !p.discontinued &&
           (p.category == QLatin1String("Copiers") || p.category == QLatin1String("Printers"));
}

const QStringList& Vocabulary::topicsFor(const QString& activityType) const {
    const auto it = topics.constFind(activityType);
    return it == topics.constEnd() ? *topics.constFind(QStringLiteral("*")) : *it;
}

const QStringList& Vocabulary::requestSummaries(const QString& requestType) const {
    const auto it = summaries.constFind(requestType);
    return it == summaries.constEnd() ? *summaries.constFind(QStringLiteral("*")) : *it;
}

int Vocabulary::staffWithJob(const QString& job) const {
    return indexOf(staff, &StaffMember::job, job);
}

int Vocabulary::productIndex(const QString& code) const {
    return indexOf(products, &ProductInfo::code, code);
}

bool loadVocabulary(const QString& folder, Vocabulary* vocabulary, QString* error) {
    Vocabulary v;
    const ListReader in(folder);
    try {
        loadStaff(in, v);
        loadProducts(in, v);
        loadPlaces(in, v);
        loadNames(in, v);
        loadWords(in, v);
        loadMarketing(in, v);
        loadScript(in, v);
        loadKnownProblems(in, v);
        checkSizes(in, v);
    } catch (const ListError& e) {
        if (error) *error = e.text;
        return false;
    }
    *vocabulary = std::move(v);
    return true;
}

}  // namespace tv::demo
