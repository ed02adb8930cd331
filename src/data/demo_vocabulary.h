// What the demo company is made of: its staff, its product range and suppliers, the
// places its customers are in, and the words their names and activities are built from.
// The business is a dealer that sells and services office equipment (copiers, printers,
// scanners, shredders) from Sydney, with customers across Australia and a few in New
// Zealand. Every code used here (activity types, territories, industries, priorities ...)
// is one the shipped code tables hold.
#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace tv::data::demo {

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
    QString workGroup;  // service staff: their usual "Support Areas" code
};
// The shipped administrator first, then the demo staff.
const std::vector<StaffMember>& staff();

struct Supplier {
    QString name, account, street, city, state, postcode, phone, fax, email, web, contact, terms;
};
const std::vector<Supplier>& suppliers();

enum class ProductKind { Machine, Accessory, Consumable, Part, Service };

struct ProductInfo {
    QString code;
    QString category;
    QString description;
    double price;
    double cost;
    QString unit;
    int supplier;  // index into suppliers()
    ProductKind kind;
    int warrantyMonths;  // machines only
    bool discontinued;
};
const std::vector<ProductInfo>& products();

struct Place {
    QString suburb;
    QString state;  // three letters at most
    QString postcode;
    QString territory;  // a "Sales Territories" code
    QString areaCode;   // telephone prefix, e.g. "(02)"
    QString timeZone;   // a "Time Zones" code
    QString country;
};
const std::vector<Place>& places();

struct Industry {
    QString code;               // an "Industry Codes" code
    QStringList businessWords;  // what a firm of the industry calls itself
};
const std::vector<Industry>& industries();

struct FirstName {
    QString name;
    bool female;
};
const std::vector<FirstName>& firstNames();
const QStringList& surnames();    // including O'Brien, D'Souza and the like
const QStringList& brandWords();  // "Bluegum", "Harbourside" ... for firm names
const QStringList& streetNames();
const QStringList& streetTypes();

struct Campaign {
    QString name;
    QString description;
    int startDaysAgo;  // relative to the day the company is generated
    int lengthDays;
    double budget;
    double targetRevenue;
};
const std::vector<Campaign>& campaigns();

// A contact's role (a "Role Names" code) with the job titles that go with it.
struct RoleTitles {
    QString role;
    QStringList titles;
};
const std::vector<RoleTitles>& roles();

// What activities of a type are about; "%1" stands for a product or model name.
const QStringList& topicsFor(const QString& activityType);

const QStringList& referralSources();
const QStringList& competitors();
const QStringList& requestSummaries(const QString& requestType);
const QStringList& resolutionTexts();

}  // namespace tv::data::demo
