#include "app/menu_tables.h"

namespace tv::app {

namespace {

struct TableItems {
    const char* table;
    const char* items[2];
};

const TableItems kDisabledItems[] = {
    {"Customers", {"mnuCustomers"}},
    {"Contacts", {"mnuContacts"}},
    {"Activities", {"mnuActivities"}},
    {"Scheduled Activities", {"mnuScheduled", "mnuDiary"}},
    {"Sales Opportunities", {"mnuOpportunities"}},
    {"Quotations", {"mnuQuotations"}},
    {"Sales Orders", {"mnuOrders"}},
    {"Current Requests", {"mnuRequestsOpen"}},
    {"Completed Requests", {"mnuRequestsClosed"}},
    {"RMAs", {"mnuRMA"}},
    {"Service Contracts", {"mnuContracts"}},
    {"Customer Inventory", {"mnuCustomerInventory"}},
    {"Customer Feedback", {"mnuFeedback"}},
    {"Products", {"mnuProducts"}},
    {"Suppliers", {"mnuSuppliers"}},
    {"Sales Campaigns", {"mnuCampaigns"}},
    {"Scripts", {"mnuScripts"}},
    {"Document List", {"mnuDocuments"}},
    {"Customer Care Plans", {"mnuPlans"}},
    {"Form Letters", {"mnuLetters"}},
    {"Known Problems", {"mnuKnownProblems"}},
    {"System Users", {"mnuUsers"}},
};

const std::pair<const char*, const char*> kSpecialForms[] = {
    {"Send", "mnuSend"},
    {"Search", "mnuSearch"},
    {"Run Report", "mnuReportRun"},
    {"Run Script", "mnuRunScript"},
    {"Diary", "mnuDiary"},
    {"To Do List", "mnuToDo"},
    {"Lookup Tables", "mnuLookupTables"},
    {"Options", "mnuOptions"},
    {"Counters", "mnuCounters"},
    {"Mandatory Fields", "mnuMandatory"},
    {"Global Replace", "mnuReplace"},
    {"Form Fields", "mnuFormFields"},
    {"Database Fields", "mnuDatabaseFields"},
};

// The Admin menu's windows opened by name; its lists are administration tables
// (data::isAdministrationTable).
const std::pair<const char*, const char*> kAdministrationWindows[] = {
    {"CounterList", "Manage Counters"},
    {"Mandatory", "Mandatory Fields"},
    {"Replace", "Global Replace"},
    {"CField", "Custom Fields"},
};

}  // namespace

QStringList menuItemsForTable(const QString& tableName) {
    QStringList items;
    for (const TableItems& t : kDisabledItems) {
        if (tableName.compare(QLatin1String(t.table), Qt::CaseInsensitive) != 0) continue;
        for (const char* item : t.items) {
            if (item) items << QString::fromLatin1(item);
        }
    }
    return items;
}

const std::vector<std::pair<QString, QString>>& listCommands() {
    static const std::vector<std::pair<QString, QString>> commands = {
        {"mnuCustomers", "Customers"},
        {"mnuContacts", "Contacts"},
        {"mnuActivities", "Activities"},
        {"mnuScheduled", "Scheduled Activities"},
        {"mnuOpportunities", "Sales Opportunities"},
        {"mnuQuotations", "Quotations"},
        {"mnuOrders", "Sales Orders"},
        {"mnuRequestsOpen", "Current Requests"},
        {"mnuRequestsClosed", "Completed Requests"},
        {"mnuContracts", "Service Contracts"},
        {"mnuCustomerInventory", "Customer Inventory"},
        {"mnuRMA", "RMAs"},
        {"mnuFeedback", "Customer Feedback"},
        {"mnuProjects", "Projects"},
        {"mnuDocuments", "Document List"},
        {"mnuLetters", "Form Letters"},
        {"mnuProducts", "Products"},
        {"mnuSuppliers", "Suppliers"},
        {"mnuPlans", "Customer Care Plans"},
        {"mnuCampaigns", "Sales Campaigns"},
        {"mnuScripts", "Scripts"},
        {"mnuPOrders", "Purchase Orders"},
        {"mnuKnownProblems", "Known Problems"},
        {"mnuReportMaintain", "Report Definitions"},
        {"mnuUsers", "System Users"},
        {"mnuDatabaseFields", "Field Definitions"},
        {"mnuFormFields", "Form Captions"},
    };
    return commands;
}

const std::vector<WindowCommand>& windowCommands() {
    static const std::vector<WindowCommand> commands = {
        {"mnuOptions", "Options", true},      {"mnuSend", "SendSelect", true},
        {"mnuImport", "olImport", true},      {"mnuExport", "olExport", true},
        {"mnuSearch", "Search", false},       {"mnuRunBilling", "Billing", true},
        {"mnuCustBilling", "BillInfo", true}, {"mnuDiary", "Diary", false},
        {"mnuToDo", "ToDoList", false},       {"mnuRunScript", "SelectScript", true},
        {"mnuReportRun", "RunReport", false}, {"mnuStatistics", "Statistics", false},
        {"mnuCounters", "CounterList", true}, {"mnuMandatory", "Mandatory", true},
        {"mnuReplace", "Replace", true},      {"mnuCustomAdd", "CField", true},
        {"mnuHelpIndex", "tvHelp", false},    {"mnuHelpSearch", "tvHelp", false},
        {"mnuAbout", "About", true},
    };
    return commands;
}

QString specialFormCommand(const QString& name) {
    // Names compare exactly, as the callers pass the fixed texts.
    for (const auto& [form, command] : kSpecialForms) {
        if (name == QLatin1String(form)) return QString::fromLatin1(command);
    }
    return {};
}

QStringList specialFormNames() {
    QStringList names;
    for (const auto& [form, command] : kSpecialForms) names << QString::fromLatin1(form);
    return names;
}

QString administrationWindowTitle(const QString& window) {
    for (const auto& [name, title] : kAdministrationWindows) {
        if (window.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(title);
    }
    return {};
}

}  // namespace tv::app
