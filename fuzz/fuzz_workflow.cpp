// Fuzz target: the workflow restriction. The input is a record-set source (SQL or a table
// name). Restricting it either refuses it (DbError) or gives a source that restricting
// again leaves as it is, since every SELECT of it already carries the condition; a
// difference is a fault. The restricted source then runs as OpenTable would open it.
#include "fuzz_input.h"
#include "fuzz_sql.h"

#include "data/workflow.h"

#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::vector<tv::data::WorkflowColumn> columns = {
        {QStringLiteral("ACTIVITIES"), QStringLiteral("Sales Rep Id")},
        {QStringLiteral("T"), QStringLiteral("S")},
    };
    const QString user = QStringLiteral("O'Brien");
    const QString source = tvfuzz::textOf(data, size);
    QString once;
    try {
        once = tv::data::ApplyWorkflowFilter(source, columns, user);
    } catch (const tv::engine::DbError&) {
        return 0;
    }
    QString twice;
    try {
        twice = tv::data::ApplyWorkflowFilter(once, columns, user);
    } catch (const tv::engine::DbError&) {
        twice = QStringLiteral("<refused>");
    }
    if (twice != once) {
        std::fprintf(stderr, "restricted twice differently:\n%s\n%s\n", qPrintable(once),
                     qPrintable(twice));
        std::abort();
    }
    tvfuzz::translateAndRun(once);
    return 0;
}
