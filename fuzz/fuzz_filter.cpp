// Fuzz target: the Filter window's criteria builder. The input's first line is the sort
// field, the second a value (written into a condition for each column type), the rest
// the criteria text as a user types it. The statement built runs through the translator
// and SQLite as the list window would open it.
#include "fuzz_input.h"
#include "fuzz_sql.h"

#include "forms/framework/filter_query.h"

namespace filter = tv::forms::filter;
using tv::engine::FieldType;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList parts = tvfuzz::partsOf(tvfuzz::textOf(data, size), 3);
    const QString& sortField = parts[0];
    const QString& value = parts[1];
    QString criteria = parts[2];

    // The captions of the Customers list and the fields behind them.
    const filter::FieldLookup fieldOf = [](const QString& caption) -> QString {
        if (caption.compare(QLatin1String("Account Name"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("CUSTOMER NAME");
        if (caption.compare(QLatin1String("City"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("CITY");
        if (caption.compare(QLatin1String("Balance"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("BALANCE");
        if (caption.compare(QLatin1String("Since"), Qt::CaseInsensitive) == 0)
            return QStringLiteral("DATETIME");
        return QString();
    };
    const std::pair<const char*, FieldType> columns[] = {{"Account Name", FieldType::Text},
                                                         {"Since", FieldType::Date},
                                                         {"Balance", FieldType::Currency}};
    for (const auto& [caption, type] : columns) {
        if (const std::optional<QString> written = filter::valueText(type, value))
            criteria = filter::appendCondition(criteria, filter::Join::Or,
                                               QString::fromLatin1(caption), QStringLiteral("="),
                                               *written);
    }
    const QString where = filter::whereCondition(criteria, fieldOf);
    const QString orderBy = filter::orderByText(fieldOf(sortField), sortField.size() % 2 == 1,
                                                QStringLiteral("CUSTOMER NAME"));
    tvfuzz::translateAndRun(filter::selectStatement(QStringLiteral("CUSTOMERS"), where, orderBy));
    (void)filter::splitWords(criteria);
    return 0;
}
