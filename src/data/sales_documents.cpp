#include "data/sales_documents.h"

#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/access_internal.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "engine/engine.h"

#include <cmath>

namespace tv::data {

namespace {

constexpr int kMsgReadFailed = 194;
constexpr int kMsgAddFailed = 105;
constexpr int kMsgLinesNotWritten = 9150;

// PRODUCTS by ordinal.
constexpr int kProductDescription = 2;
constexpr int kProductPrice = 3;
constexpr int kProductSpecialPrice = 4;
constexpr int kProductSpecialStart = 5;
constexpr int kProductSpecialEnd = 6;
constexpr int kProductCategory = 1;
constexpr int kProductTaxRate = 8;
constexpr int kProductCost = 11;
constexpr int kProductTracked = 12;
constexpr int kProductWarrantyMonths = 13;

// CUSTOMER INVENTORY by ordinal.
constexpr int kItemId = 0;
constexpr int kItemProduct = 1;
constexpr int kItemDescription = 3;
constexpr int kItemCategory = 4;
constexpr int kItemCustomer = 5;
constexpr int kItemInstalled = 8;
constexpr int kItemOrder = 10;
constexpr int kItemSupplied = 11;
constexpr int kItemWarrantyEnd = 13;
constexpr int kItemSourceType = 14;
constexpr int kItemSourceId = 15;
constexpr int kItemIdLength = 20;

const QString kOrderSource = QStringLiteral("order");

double numberIn(const tv::Variant& v) { return tv::numberOf(v).value_or(0.0); }
QString textIn(const tv::Variant& v) { return v.isNull() ? QString() : tv::CStr(v); }

// A document number as it may stand in SQL text: the number the text starts with.
QString numberLiteral(const QString& number) {
    return QString::number(static_cast<qint64>(tv::Val(number)));
}

QString inventoryCondition(const QString& orderNumber) {
    return QStringLiteral(" WHERE SOURCEDOCTYPE = ") + engine::quoteLiteral(kOrderSource) +
           QStringLiteral(" AND SOURCEDOCID = ") + engine::quoteLiteral(numberLiteral(orderNumber));
}


}  // namespace

QString documentTable(SalesDocument kind) {
    return kind == SalesDocument::Quotation ? QStringLiteral("Quotations")
                                            : QStringLiteral("Sales Orders");
}

QString detailTable(SalesDocument kind) { return documentTable(kind) + QStringLiteral(" Detail"); }

QString documentKeyColumn(SalesDocument kind) {
    return kind == SalesDocument::Quotation ? QStringLiteral("QUOTENO") : QStringLiteral("ORDERNO");
}

DocumentLine DocumentLineAt(engine::Recordset& rs) {
    DocumentLine line;
    line.productCode = textIn(rs[2]);
    line.description = textIn(rs[3]);
    line.quantity = numberIn(rs[4]);
    line.unitPrice = numberIn(rs[5]);
    line.discountRate = numberIn(rs[6]);
    line.taxRate = numberIn(rs[7]);
    line.lineValue = numberIn(rs[8]);
    return line;
}

std::vector<DocumentLine> ReadDocumentLines(SalesDocument kind, const QString& number) {
    std::vector<DocumentLine> lines;
    if (!OpenDataDatabase()) return lines;
    const QString sql = QStringLiteral("SELECT * FROM [%1] WHERE [%2] = %3 ORDER BY [LINENO]")
                            .arg(detailTable(kind).toUpper(), documentKeyColumn(kind),
                                 numberLiteral(number));
    const std::optional<Failure> failed = attempt([&] {
        engine::Recordset rs = detail::databaseFor(kDataDb).OpenRecordset(sql);
        lines.reserve(static_cast<std::size_t>(rs.RecordCount()));
        for (; !rs.EOF_(); rs.MoveNext()) lines.push_back(DocumentLineAt(rs));
    });
    detail::idleQuietly();
    if (failed) {
        ShowMessage(kMsgReadFailed, errorTail(*failed));
        lines.clear();
    }
    return lines;
}

bool WriteDocumentLines(SalesDocument kind, const QString& number,
                        const std::vector<DocumentLine>& lines) {
    if (!state().DataOpen && !OpenDataDatabase()) return false;
    const QString key = numberLiteral(number);
    const std::optional<Failure> failed = detail::inTransaction([&](engine::Database& db) {
        db.Execute(QStringLiteral("DELETE * FROM [%1] WHERE [%2] = %3")
                       .arg(detailTable(kind).toUpper(), documentKeyColumn(kind), key));
        engine::Recordset rs = db.OpenRecordset(detailTable(kind));
        int lineNo = 0;
        for (const DocumentLine& line : lines) {
            rs.AddNew();
            rs.FieldAt(0).SetValue(tv::Variant(key));
            rs.FieldAt(1).SetValue(tv::Variant(static_cast<std::int16_t>(++lineNo)));
            rs.FieldAt(2).SetValue(line.productCode.isEmpty() ? tv::Variant()
                                                              : tv::Variant(line.productCode));
            rs.FieldAt(3).SetValue(line.description.isEmpty() ? tv::Variant()
                                                              : tv::Variant(line.description));
            rs.FieldAt(4).SetValue(tv::Variant(line.quantity));
            rs.FieldAt(5).SetValue(tv::Variant(line.unitPrice));
            rs.FieldAt(6).SetValue(tv::Variant(line.discountRate));
            rs.FieldAt(7).SetValue(tv::Variant(line.taxRate));
            rs.FieldAt(8).SetValue(tv::Variant(line.lineValue));
            rs.Update();
        }
        rs.Close();
    });
    if (failed) ShowMessage(kMsgLinesNotWritten, errorTail(*failed));
    return !failed;
}

std::optional<ProductFacts> ReadProduct(const QString& productCode, tv::DateTime now) {
    if (productCode.trimmed().isEmpty() || !OpenDataDatabase()) return std::nullopt;
    std::optional<ProductFacts> facts;
    const std::optional<Failure> failed = attempt([&] {
        engine::Recordset rs = detail::databaseFor(kDataDb).OpenRecordset(QStringLiteral("PRODUCTS"));
        rs.SetIndex(QStringLiteral("PrimaryKey"));
        rs.Seek(QStringLiteral("="), tv::Variant(productCode.trimmed()));
        if (rs.NoMatch()) return;
        ProductFacts f;
        f.description = textIn(rs[kProductDescription]);
        f.price = numberIn(rs[kProductPrice]);
        const tv::Variant start = rs[kProductSpecialStart];
        const tv::Variant end = rs[kProductSpecialEnd];
        if (!start.isNull() && !end.isNull() && now.serial >= tv::CDate(start).serial &&
            now.serial <= tv::CDate(end).serial)
            f.price = numberIn(rs[kProductSpecialPrice]);
        const tv::Variant tax = rs[kProductTaxRate];
        if (!tax.isNull()) f.taxRate = numberIn(tax);
        f.cost = numberIn(rs[kProductCost]);
        f.tracked = numberIn(rs[kProductTracked]) != 0.0;
        facts = f;
    });
    detail::idleQuietly();
    if (failed) ShowMessage(kMsgReadFailed, errorTail(*failed));
    return facts;
}

LineInput LineInputOf(const DocumentLine& line, bool taxOnCost) {
    LineInput in{line.quantity, line.unitPrice, line.discountRate, line.taxRate, std::nullopt};
    if (taxOnCost) {
        const std::optional<ProductFacts> product = ReadProduct(line.productCode, tv::DateTime{});
        in.taxOnCost = product ? product->cost : 0.0;
    }
    return in;
}

DocumentTotals DocumentLineTotals(const std::vector<DocumentLine>& lines, double freight) {
    bool taxOnCost = false;
    (void)attempt([&] { taxOnCost = tv::SettingBool(tv::keys::CalculateTaxOnCost); });
    std::vector<LineInput> inputs;
    inputs.reserve(lines.size());
    for (const DocumentLine& line : lines) inputs.push_back(LineInputOf(line, taxOnCost));
    return documentTotals(inputs, freight);
}

bool HasOrderInventory(const QString& orderNumber) {
    const QString sql = QStringLiteral("SELECT * FROM [CUSTOMER INVENTORY]") +
                        inventoryCondition(orderNumber) + QStringLiteral(" ORDER BY ITEMID");
    engine::Recordset rs = OpenTable(sql);
    if (!rs.IsOpen()) return false;
    bool any = false;
    (void)attempt([&] { any = !rs.EOF_(); });
    rs.Close();
    detail::idleQuietly();
    return any;
}

bool DeleteOrderInventory(const QString& orderNumber) {
    if (!OpenDataDatabase()) return false;
    const std::optional<Failure> failed = attempt([&] {
        detail::databaseFor(kDataDb).Execute(QStringLiteral("DELETE * FROM [CUSTOMER INVENTORY]") +
                                             inventoryCondition(orderNumber));
    });
    detail::idleQuietly();
    if (failed) ShowMessage(kMsgAddFailed, errorTail(*failed));
    return !failed;
}

int CreateOrderInventory(const QString& orderNumber, const QString& customer,
                         const std::vector<DocumentLine>& lines, tv::DateTime today) {
    if (!OpenDataDatabase()) return -1;
    const QString number = numberLiteral(orderNumber);
    int created = 0;
    const std::optional<Failure> failed = detail::inTransaction([&](engine::Database& db) {
        engine::Recordset products = db.OpenRecordset(QStringLiteral("PRODUCTS"));
        products.SetIndex(QStringLiteral("PrimaryKey"));
        engine::Recordset items = db.OpenRecordset(QStringLiteral("CUSTOMER INVENTORY"));
        for (const DocumentLine& line : lines) {
            if (line.productCode.trimmed().isEmpty()) continue;
            products.Seek(QStringLiteral("="), tv::Variant(line.productCode.trimmed()));
            if (products.NoMatch() || numberIn(products[kProductTracked]) == 0.0) continue;
            // Whole units, halves to even: 2.5 makes 2 items, 3.5 makes 4.
            const auto units = static_cast<long>(std::nearbyint(line.quantity));
            const int warranty = static_cast<int>(numberIn(products[kProductWarrantyMonths]));
            for (long unit = 0; unit < units; ++unit) {
                ++created;
                items.AddNew();
                const QString id = (u'_' + number + u'/' + QString::number(created)).left(kItemIdLength);
                items.FieldAt(kItemId).SetValue(tv::Variant(id));
                items.FieldAt(kItemProduct).SetValue(products[0]);
                items.FieldAt(kItemDescription).SetValue(products[kProductDescription]);
                items.FieldAt(kItemCategory).SetValue(products[kProductCategory]);
                items.FieldAt(kItemCustomer).SetValue(tv::Variant(customer));
                items.FieldAt(kItemInstalled).SetValue(tv::Variant(today));
                items.FieldAt(kItemSupplied).SetValue(tv::Variant(today));
                if (warranty > 0)
                    items.FieldAt(kItemWarrantyEnd)
                        .SetValue(tv::Variant(tv::DateAdd(QStringLiteral("m"), warranty, today)));
                // Sold on this order, so already charged: the billing run leaves it alone.
                items.FieldAt(kItemOrder).SetValue(tv::Variant(number));
                items.FieldAt(kItemSourceType).SetValue(tv::Variant(kOrderSource));
                items.FieldAt(kItemSourceId).SetValue(tv::Variant(number));
                items.Update();
            }
        }
        items.Close();
        products.Close();
    });
    if (failed) {
        ShowMessage(kMsgAddFailed, errorTail(*failed));
        return -1;
    }
    return created;
}

QString StoredAmountPaid(const QString& orderNumber) {
    if (tv::Val(orderNumber) == 0.0) return QString();
    return GetFieldText(QStringLiteral("Sales Orders"), numberLiteral(orderNumber), QString(), 20);
}

}  // namespace tv::data
