#include "app/pending_window.h"

#include "forms/framework/controls.h"
#include "ui_pending_window.h"

namespace tv::app {

namespace {

struct Feature {
    const char* window;
    const char* title;
    const char* purpose;
};

const Feature kFeatures[] = {
    {"SendSelect", "Send",
     "Sends a letter, e-mail, fax or internal message to a customer contact or a "
     "colleague, with attachments."},
    {"Search", "Search",
     "Finds a customer by name, contact, telephone number, e-mail address or document "
     "number."},
    {"Diary", "Diary", "Shows the planned and completed activities of a day, a week or a month."},
    {"ToDoList", "To Do List", "Lists the activities due today and the ones overdue."},
    {"RunReport", "Run Report",
     "Runs a registered report to the screen, the printer or a file, asking for its "
     "selection criteria."},
    {"Statistics", "Statistics", "Shows statistics and charts of customers, sales and service."},
    {"SelectScript", "Run Script", "Runs a call script with a customer contact."},
    {"Billing", "Billing Run", "Turns billable activities and service time into invoices."},
    {"BillInfo", "Customer Billing Summary", "Shows what has been billed to a customer."},
    {"olImport", "Import Contacts",
     "Brings customers and contacts in from text files and other programs, matching "
     "their fields to Tolvarine's."},
    {"olExport", "Export Contacts",
     "Writes customers and contacts out for other programs, choosing the fields to "
     "export."},
    {"Mandatory", "Mandatory Fields",
     "Chooses the fields of each table that must be filled in before a record is saved."},
    {"Replace", "Global Replace", "Replaces one value with another in every record of a table."},
    {"CField", "Add Custom Fields",
     "Adds fields of your own to a business table; they appear on the Custom Fields tab of "
     "its window."},
    {"tvHelp", "Help", "Explains each window and how to do common tasks."},
    {"Inbox", "Inbox", "Lists the messages other users have sent you."},
    {"olInbox", "Outlook Inbox", "Lists the messages of your Outlook inbox."},
};

}  // namespace

FeatureDescription describeFeature(const QString& windowName) {
    for (const Feature& f : kFeatures) {
        if (windowName.compare(QLatin1String(f.window), Qt::CaseInsensitive) == 0)
            return {QObject::tr(f.title), QObject::tr(f.purpose)};
    }
    return {windowName, QObject::tr("This part of Tolvarine is still being written.")};
}

PendingWindow::PendingWindow(const QString& windowName, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::NotAvailable>()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    forms::setTag(this, windowName);
    const FeatureDescription feature = describeFeature(windowName);
    setWindowTitle(feature.title);
    ui_->Heading->setText(feature.title);
    ui_->Purpose->setText(feature.purpose);
    ui_->Notice->setText(
        tr("%1 is not yet available in this version of Tolvarine.").arg(feature.title));
    connect(ui_->Closef, &QPushButton::clicked, this, &QWidget::close);
}

PendingWindow::~PendingWindow() = default;

QString PendingWindow::heading() const { return ui_->Heading->text(); }

QString PendingWindow::notice() const { return ui_->Notice->text(); }

}  // namespace tv::app
