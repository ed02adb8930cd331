// What the demo company is made of: its staff, its product range and suppliers, the
// places its customers are in, and the words their names and activities are built from.
// The business is a dealer that sells and services office equipment (copiers, printers,
// scanners, shredders) from Sydney, with customers across Australia and a few in New
// Zealand.
//
// All of it is read from the text files of db/demo/ (described in db/README.md), so the
// company can be reworded without a rebuild. Loading checks every reference between the
// lists (a product's supplier, a care plan's letter ...) and that every list the planner
// draws from has something in it: a bad list is an error naming its file and line, never
// a company with holes in it.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

namespace tv::demo {

enum class Duty { Administrator, Sales, Service, Office };

struct StaffMember {
    QString id;  // the password is the id in lower case
    QString name;
    QString title;
    QString workPhone;
    QString mobile;
    Duty duty;
    double chargeRate;  // per hour
    bool administrator;
    bool workflow;
    bool billing;
    QString workGroup;  // their usual "Support Areas" code
    QString job;        // "sales manager", "accounts" ... or empty
};

struct Supplier {
    QString name, account, street, city, state, postcode, phone, fax, email, web, contact, terms;
};

enum class ProductKind { Machine, Accessory, Consumable, Part, Service };

struct ProductInfo {
    QString code;
    QString category;
    QString description;
    double price;
    double cost;
    QString unit;
    int supplier;  // index into suppliers
    ProductKind kind;
    int warrantyMonths;  // machines only
    bool discontinued;
};

// A machine on sale that prints or copies: what calls, visits and training are about.
bool isPrinter(const ProductInfo& product);

struct Place {
    QString suburb;
    QString state;  // three letters at most
    QString postcode;
    QString territory;  // a "Sales Territories" code
    QString areaCode;   // telephone prefix, e.g. "(02)"
    QString timeZone;   // a "Time Zones" code
    QString country;
    int weight;  // customers here, relative to other places
};

struct Industry {
    QString code;               // an "Industry Codes" code
    QStringList businessWords;  // what a firm of the industry calls itself
};

struct FirstName {
    QString name;
    bool female;
};

struct Campaign {
    QString name;
    QString description;
    int startDaysAgo;  // relative to the day the company is generated
    int lengthDays;
    double budget;
    double targetRevenue;
};

// A contact's role (a "Role Names" code) with the job titles that go with it.
struct RoleTitles {
    QString role;
    QStringList titles;
};

struct KnownProblem {
    QString product, summary, symptoms, cause, workaround, resolution;
    int daysAgo;
    bool resolved;
};

struct FormLetter {
    QString id, category, description, text;
};

struct CarePlanStep {
    int dayOffset;
    QString activityType, description;
    int duration;
    int letter;  // index into formLetters, -1 none
};
struct CarePlan {
    QString name, description, campaign;
    std::vector<CarePlanStep> steps;
};

struct ScriptStep {
    QString prompt;
    int responseType;  // 0 and 3 choice, 1 number, 2 text
    QStringList responses;
    std::vector<int> branches;  // step id per response; 0 = the next step
};
struct CallScript {
    QString name, description, campaign, endMessage;
    std::vector<ScriptStep> steps;  // ids 1, 2, ...
};

// A customer every company has, whatever the seed.
struct Showcase {
    QString name;
    int industry;  // index into industries
    int place;     // index into places
};

// The feedback types the company's customers give, each with summaries in feedback.tsv.
inline constexpr const char* kFeedbackTypes[] = {"Compliment", "Complaint", "Suggestion"};

struct MailText {
    QString subject;  // "%1" is the customer's name
    QString text;
};

struct Vocabulary {
    std::vector<StaffMember> staff;  // the shipped administrator first
    std::vector<Supplier> suppliers;
    std::vector<ProductInfo> products;
    std::vector<Place> places;
    std::vector<Industry> industries;
    std::vector<FirstName> firstNames;
    QStringList surnames;    // including O'Brien, D'Souza and the like
    QStringList brandWords;  // "Bluegum", "Harbourside" ... for firm names
    QStringList streetNames;
    QStringList streetTypes;
    std::vector<Campaign> campaigns;
    std::vector<RoleTitles> roles;
    QStringList referralSources;
    QStringList competitors;
    QStringList resolutionTexts;
    QStringList interests;
    QStringList customerNotes;
    QStringList itemLocations;
    QStringList opportunityIdeas;  // "%1" is a machine's name
    QStringList projectKinds;
    QStringList returnReasons;
    QStringList faultOnsets;
    std::vector<KnownProblem> knownProblems;
    std::vector<FormLetter> formLetters;
    std::vector<CarePlan> carePlans;
    CallScript callScript;
    std::vector<Showcase> showcase;
    std::vector<MailText> mail;
    QHash<QString, QStringList> feedback;   // summaries by feedback type
    QHash<QString, QStringList> topics;     // by activity type; "*" for the rest
    QHash<QString, QStringList> summaries;  // by request type; "*" for the rest

    // What activities of a type are about ("%1" is a machine's name); the general topics
    // for a type without its own.
    const QStringList& topicsFor(const QString& activityType) const;
    const QStringList& requestSummaries(const QString& requestType) const;

    // The staff member doing a job of staff.tsv's JOB column (loading made sure there is one).
    int staffWithJob(const QString& job) const;
    int productIndex(const QString& code) const;  // -1 when there is none
};

// Reads every list from `folder` (db/demo). Returns false with the reason in `error`,
// "<file>:<line>: <reason>" where a line is at fault.
bool loadVocabulary(const QString& folder, Vocabulary* vocabulary, QString* error);

}  // namespace tv::demo
