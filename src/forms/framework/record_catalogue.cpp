#include "forms/framework/record_catalogue.h"

#include "forms/framework/feedback_window.h"
#include "forms/framework/generic_record_window.h"
#include "forms/framework/record_window.h"
#include "forms/framework/search_window.h"

#include <QPointer>
#include <map>
#include <utility>

namespace tv::forms {

namespace {

// Business tables with a record window. The two service-request tables share one window,
// which learns from LocalTableName which of them it serves.
const std::pair<const char*, const char*> kCatalogue[] = {
    {"Customers", "Customer"},
    {"Contacts", "Contact"},
    {"Activities", "Activity"},
    {"Scheduled Activities", "Schedule"},
    {"Sales Opportunities", "Opportunity"},
    {"Quotations", "Quote"},
    {"Sales Orders", "Order"},
    {"Purchase Orders", "POrder"},
    {"Current Requests", "Request"},
    {"Completed Requests", "Request"},
    {"Request Activities", "RActivity"},
    {"Service Contracts", "Contract"},
    {"Customer Inventory", "Inventory"},
    {"RMAs", "RMA"},
    {"Customer Feedback", "Feedback"},
    {"Customer Attachments", "Attachment"},
    {"Document List", "DocDetails"},
    {"Form Letters", "Letters"},
    {"Products", "Product"},
    {"Projects", "Project"},
    {"Suppliers", "Supplier"},
    {"Sales Campaigns", "Campaign"},
    {"Customer Care Plans", "Plan"},
    {"Scripts", "Script"},
    {"Known Problems", "Problem"},
    {"System Users", "Users"},
    {"Report Definitions", "ReportDef"},
    {"Field Definitions", "FieldDef"},
    {"Form Captions", "FieldDef2"},
};

struct CaseInsensitiveLess {
    bool operator()(const QString& a, const QString& b) const {
        return a.compare(b, Qt::CaseInsensitive) < 0;
    }
};

std::map<QString, RecordWindowFactory, CaseInsensitiveLess>& factories() {
    static std::map<QString, RecordWindowFactory, CaseInsensitiveLess> table;
    return table;
}

std::map<QString, WindowFactory, CaseInsensitiveLess>& namedWindows() {
    static std::map<QString, WindowFactory, CaseInsensitiveLess> table;
    return table;
}

std::map<QString, QPointer<RecordWindow>, CaseInsensitiveLess>& openWindows() {
    static std::map<QString, QPointer<RecordWindow>, CaseInsensitiveLess> table;
    return table;
}

}  // namespace

QString recordWindowName(const QString& displayName) {
    for (const auto& [table, window] : kCatalogue) {
        if (displayName.compare(QLatin1String(table), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(window);
    }
    return {};
}

QStringList recordWindowTables() {
    QStringList tables;
    for (const auto& entry : kCatalogue) tables << QString::fromLatin1(entry.first);
    return tables;
}

void registerRecordWindow(const QString& windowName, RecordWindowFactory factory) {
    factories()[windowName] = std::move(factory);
}

void unregisterRecordWindow(const QString& windowName) { factories().erase(windowName); }

RecordWindow* GetRecordWindow(const QString& displayName) {
    const QString name = recordWindowName(displayName);
    if (name.isEmpty()) return nullptr;

    QPointer<RecordWindow>& open = openWindows()[name];
    const bool servesSeveral = name == QLatin1String("Request");
    if (open) {
        if (servesSeveral) open->setLocalTableName(displayName);
        return open.data();
    }

    const auto factory = factories().find(name);
    // A table whose own window is not written yet gets the plain one-box-per-column window.
    RecordWindow* window = factory != factories().end() && factory->second
                               ? factory->second()
                               : new GenericRecordWindow(name, displayName);
    if (!window) return nullptr;
    if (servesSeveral) window->setLocalTableName(displayName);
    window->load();
    open = window;
    return window;
}

void registerFrameworkRecordWindows() {
    registerRecordWindow(QStringLiteral("Feedback"), [] { return new FeedbackWindow(); });
    registerWindow(QStringLiteral("Search"), [](QWidget*) { return new SearchWindow(); });
}

void registerWindow(const QString& name, WindowFactory factory) {
    if (factory)
        namedWindows()[name] = std::move(factory);
    else
        namedWindows().erase(name);
}

bool isWindowRegistered(const QString& name) { return namedWindows().count(name) != 0; }

QWidget* createWindow(const QString& name, QWidget* mainWindow) {
    const auto it = namedWindows().find(name);
    return it == namedWindows().end() ? nullptr : it->second(mainWindow);
}

}  // namespace tv::forms
