// Fuzz target: the dialect translator. The input is a statement: it is translated against
// the fixed tables of fuzz_sql.h as a statement and as FindFirst criteria over T, and what
// translates runs in SQLite with the dialect's functions. Refusals are DbErrors; anything
// else that ends an input (a crash, a sanitizer report, a timeout) is a fault.
#include "fuzz_input.h"
#include "fuzz_sql.h"

#include "core/variant.h"
#include "engine/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text = tvfuzz::textOf(data, size);
    tvfuzz::translateAndRun(text);
    try {
        const QString criteria =
            tv::engine::dialect::translateCriteria(text, tvfuzz::criteriaFields());
        tvfuzz::run(QStringLiteral("SELECT * FROM \"T\" WHERE ") + criteria);
    } catch (const tv::engine::DbError&) {
    } catch (const tv::ConversionError&) {
    }
    return 0;
}
