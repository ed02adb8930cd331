// A customer's contacts as the windows that pick and call them use them: their names for a
// drop-down, and their telephone numbers, read from the contact's row, offered as a list
// in which each number carries its kind, and dialled by handing a tel: link to the
// desktop, whose telephone program (a softphone, a phone linked to the computer) makes
// the call.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace tv::forms {

struct ContactNumbers {
    QString business;
    QString home;
    QString mobile;
};

// The names of the customer's contacts in name order, for the lists a contact is picked
// from; none for an empty customer name.
QStringList customerContactNames(const QString& customer);

// The stored numbers of the contact (customer name, contact name); nothing when there is
// no such contact or its row cannot be read.
std::optional<ContactNumbers> ReadContactNumbers(const QString& customer, const QString& contact);

// The numbers that are not empty, each followed by its kind: business " (B)", mobile
// " (M)", home " (H)", in that order.
QStringList markedNumbers(const ContactNumbers& numbers);
// The number of such an entry, its kind removed. Any other text is returned as it is
// (trimmed), so a number typed with an extension in brackets keeps it.
QString unmarkedNumber(const QString& entry);

// Calls the number for the contact of the customer: message 9081 when either name is
// empty, 9082 when the number is, 9083 when nothing on the desktop takes tel: links.
// True when the number was handed over.
bool DialNumber(const QString& customer, const QString& contact, const QString& number);

}  // namespace tv::forms
