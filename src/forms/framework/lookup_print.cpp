#include "forms/framework/lookup_print.h"

#include "core/format.h"
#include "data/access.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"
#include "forms/framework/status.h"

#include <QPrinter>
#include <algorithm>

namespace tv::forms {

namespace {

constexpr int kPrintedStatus = 9022;
constexpr int kNoPrinterMessage = 9013;

// A column's width in characters: a text column's size, or enough for the widest value.
reports::PageTableColumn columnOf(const engine::Field& field) {
    reports::PageTableColumn c;
    c.caption = field.Name();
    switch (field.Type()) {
        case engine::FieldType::Text:
            c.width = std::max(1, field.Size());
            break;
        case engine::FieldType::Memo:
            c.width = 40;
            break;
        case engine::FieldType::Boolean:
            c.width = 6;
            c.narrows = false;
            break;
        case engine::FieldType::Date:
            c.width = 19;
            c.narrows = false;
            break;
        default:  // whole numbers to 2147483647, money with two decimals
            c.width = 11;
            c.narrows = false;
            c.alignment = Qt::AlignRight;
            break;
    }
    return c;
}

}  // namespace

bool ReadLookupPrintout(const QString& table, const QString& caption, LookupPrintout& out) {
    out = LookupPrintout{};
    out.table.title = caption;
    out.table.subtitles << GetCaptionText(QStringLiteral("About"), QStringLiteral("Title"))
                        << GetCaptionText(QStringLiteral("About"), QStringLiteral("Version"));

    engine::Recordset rs = data::OpenTable(table, data::kDataDb);
    if (!rs.IsOpen()) return false;
    (void)data::attempt([&] {
        const int count = rs.FieldCount();
        for (int i = 0; i < count; ++i) out.table.columns.push_back(columnOf(rs.FieldAt(i)));
        while (!rs.EOF_() && !rs.BOF()) {
            QStringList row;
            for (int i = 0; i < count; ++i) row << tv::TextOf(rs[i]);
            out.rows.append(row);
            rs.MoveNext();
        }
    });
    rs.Close();
    return true;
}

bool PrintLookupTable(const QString& table, const QString& caption) {
    LookupPrintout printout;
    if (!ReadLookupPrintout(table, caption, printout)) return false;

    data::PrintRequest request;
    request.title = caption;
    if (!data::prompter().printerDialog(request)) return false;
    QPrinter printer(QPrinter::HighResolution);
    reports::setUpPrinter(printer, request, caption);

    if (reports::paintPageTable(printout.table, printout.rows, printer) == 0) {
        data::ShowMessage(kNoPrinterMessage);
        return false;
    }
    ShowStatusMessage(kPrintedStatus);
    return true;
}

}  // namespace tv::forms
