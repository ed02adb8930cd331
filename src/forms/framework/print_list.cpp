#include "forms/framework/print_list.h"

#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "forms/framework/list_model.h"
#include "forms/framework/status.h"
#include "reports/page_table.h"

#include <QHeaderView>
#include <QPrinter>
#include <QTableView>
#include <algorithm>

namespace tv::forms {

namespace {

constexpr int kNoRowsMessage = 9020;
constexpr int kNoPrinterMessage = 9013;
constexpr int kPrintedStatus = 9023;
constexpr int kReadFailedMessage = 194;

Qt::Alignment alignmentOf(const ListColumn& column) {
    switch (column.alignment) {
        case 1:
            return Qt::AlignRight;
        case 2:
            return Qt::AlignHCenter;
        default:
            return Qt::AlignLeft;
    }
}

// The record set's rows as the list shows them, in the printed columns.
class ListRows : public reports::PageTableRows {
public:
    ListRows(engine::Recordset& rs, std::vector<ListColumn> columns)
        : rs_(rs), columns_(std::move(columns)) {}

    long count() override { return rs_.RecordCount(); }
    bool next(QStringList& cells) override {
        if (started_)
            rs_.MoveNext();
        else
            rs_.MoveFirst();
        started_ = true;
        if (rs_.EOF_()) return false;
        cells.clear();
        const int fields = rs_.FieldCount();
        for (const ListColumn& c : columns_)
            cells << (c.field < fields ? ListCellText(rs_[c.field], c) : QString());
        return true;
    }

private:
    engine::Recordset& rs_;
    std::vector<ListColumn> columns_;
    bool started_ = false;
};

// The grid's visible columns in display order, each as wide (in characters) as on screen.
void gridColumns(const QTableView* grid, reports::PageTable& table,
                 std::vector<ListColumn>& printed) {
    const auto* model = qobject_cast<const ListModel*>(grid->model());
    if (!model) return;
    const QHeaderView* header = grid->horizontalHeader();
    const double charWidth = std::max(1, grid->fontMetrics().averageCharWidth());
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical < 0 || header->isSectionHidden(logical) ||
            logical >= static_cast<int>(model->columns().size()))
            continue;
        const ListColumn& column = model->columns()[static_cast<size_t>(logical)];
        table.columns.push_back(
            {column.caption, header->sectionSize(logical) / charWidth, alignmentOf(column), true});
        printed.push_back(column);
    }
}

}  // namespace

bool PrintList(const PrintListRequest& request) {
    if (!request.grid || !request.rows || !request.rows->IsOpen()) return false;
    long count = 0;
    (void)data::attempt([&] { count = request.rows->RecordCount(); });
    if (count <= 0) {
        data::ShowMessage(kNoRowsMessage);
        return false;
    }

    data::PrintRequest ask;
    ask.title = request.tableName;
    if (!data::prompter().printerDialog(ask)) return false;
    QPrinter printer(QPrinter::HighResolution);
    reports::setUpPrinter(printer, ask, request.tableName);

    reports::PageTable table;
    table.title = request.heading;
    table.subtitles << (request.recordCount == u"1" ? QObject::tr("1 record")
                                                    : QObject::tr("%1 records").arg(request.recordCount));
    std::vector<ListColumn> printed;
    gridColumns(request.grid, table, printed);
    ListRows rows(*request.rows, std::move(printed));

    data::prompter().setPointer(data::kPointerHourglass);
    int pages = 0;
    const std::optional<data::Failure> failed =
        data::attempt([&] { pages = reports::paintPageTable(table, rows, printer); });
    data::prompter().setPointer(data::kPointerDefault);
    if (failed) {
        data::ShowMessage(kReadFailedMessage, data::errorTail(*failed));
        return false;
    }
    if (pages == 0) {
        data::ShowMessage(kNoPrinterMessage);
        return false;
    }
    ShowStatusMessage(kPrintedStatus);
    return true;
}

}  // namespace tv::forms
