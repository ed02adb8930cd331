#include "forms/customers/contact_numbers.h"

#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "engine/engine.h"

#include <QDesktopServices>
#include <QRegularExpression>
#include <QUrl>

namespace tv::forms {

namespace {

constexpr int kNamesMissing = 9081;
constexpr int kNumberMissing = 9082;
constexpr int kNoTelephoneProgram = 9083;

// CONTACTS columns, counting from 0.
constexpr int kContactName = 1;
constexpr int kBusinessPhone = 3;
constexpr int kHomePhone = 4;
constexpr int kMobilePhone = 5;

const QString kMarkers[] = {QStringLiteral(" (B)"), QStringLiteral(" (M)"), QStringLiteral(" (H)")};

}  // namespace

QStringList customerContactNames(const QString& customer) {
    if (customer.trimmed().isEmpty()) return {};
    data::StringListSink names;
    data::FillList(QStringLiteral("SELECT * FROM CONTACTS WHERE [CUSTOMER NAME] = ") +
                       engine::quoteLiteral(customer.trimmed()) +
                       QStringLiteral(" ORDER BY [CONTACT NAME]"),
                   names, kContactName);
    return names.items;
}

std::optional<ContactNumbers> ReadContactNumbers(const QString& customer, const QString& contact) {
    if (customer.trimmed().isEmpty() || contact.trimmed().isEmpty()) return std::nullopt;
    std::optional<ContactNumbers> found;
    engine::Recordset rs = data::OpenTable(QStringLiteral("CONTACTS"));
    if (!rs.IsOpen()) return found;
    (void)data::attempt([&] {
        if (!data::SeekRecord(rs, customer, contact, QString())) return;
        found = ContactNumbers{tv::TextOf(rs.FieldAt(kBusinessPhone).Value()),
                               tv::TextOf(rs.FieldAt(kHomePhone).Value()),
                               tv::TextOf(rs.FieldAt(kMobilePhone).Value())};
    });
    rs.Close();
    return found;
}

QStringList markedNumbers(const ContactNumbers& numbers) {
    QStringList entries;
    const QString inOrder[] = {numbers.business, numbers.mobile, numbers.home};
    for (int i = 0; i < 3; ++i) {
        const QString number = inOrder[i].trimmed();
        if (!number.isEmpty()) entries << number + kMarkers[i];
    }
    return entries;
}

QString unmarkedNumber(const QString& entry) {
    const QString text = entry.trimmed();
    for (const QString& marker : kMarkers) {
        const QString kind = marker.trimmed();
        if (text.endsWith(kind)) return text.chopped(kind.size()).trimmed();
    }
    return text;
}

bool DialNumber(const QString& customer, const QString& contact, const QString& number) {
    if (customer.trimmed().isEmpty() || contact.trimmed().isEmpty()) {
        data::ShowMessage(kNamesMissing);
        return false;
    }
    const QString digits = unmarkedNumber(number);
    if (digits.isEmpty()) {
        data::ShowMessage(kNumberMissing);
        return false;
    }
    // A tel: link holds no blanks; the visual separators - . ( ) may stay.
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QUrl link(QStringLiteral("tel:") + QString(digits).remove(blanks));
    if (QDesktopServices::openUrl(link)) return true;
    data::ShowMessage(kNoTelephoneProgram, digits);
    return false;
}

}  // namespace tv::forms
