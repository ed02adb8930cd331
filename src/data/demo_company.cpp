#include "data/demo_company.h"

#include "core/variant.h"
#include "data/demo_plan.h"
#include "data/demo_writer.h"
#include "data/shipped_databases.h"
#include "engine/engine.h"

#include <QElapsedTimer>
#include <QFile>
#include <exception>

namespace tv::data {

bool createDemoCompany(const QString& folder, const QString& dbSourceDir,
                       const DemoOptions& options, QString* error,
                       std::vector<DemoTableCount>* counts, const DemoProgress& progress) {
    auto fail = [error](const QString& message) {
        if (error) *error = message;
        return false;
    };
    if (options.scale < 1) return fail(QStringLiteral("the scale must be 1 or more"));
    // createDatabases refuses an occupied folder before it writes anything; only after it
    // has succeeded are the three files ours to remove.
    if (!createDatabases(folder, dbSourceDir, error, progress)) return false;

    const QString dataPath = folder + QStringLiteral("/Data.mdb");
    const QString messagesPath = folder + QStringLiteral("/Messages.mdb");
    auto discard = [&]() {
        for (const ShippedDatabase& db : shippedDatabases())
            QFile::remove(folder + u'/' + db.fileName);
    };
    try {
        const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
        QElapsedTimer clock;
        clock.start();
        const demo::CompanyPlan plan = demo::planCompany(options.seed, options.scale, today);
        if (progress) {
            progress(QStringLiteral("Planned the demo company, scale %1, up to %2 (%3 s)")
                         .arg(options.scale)
                         .arg(today.toString(Qt::ISODate))
                         .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1));
        }
        engine::Database data = engine::Engine::instance().OpenDatabase(dataPath);
        engine::Database messages = engine::Engine::instance().OpenDatabase(messagesPath);
        const auto written = demo::writeCompany(plan, data, messages, progress);
        data.Close();
        messages.Close();
        if (counts) {
            counts->clear();
            for (const auto& t : written) counts->push_back({t.database, t.table, t.rows});
        }
    } catch (const engine::DbError& e) {
        discard();
        return fail(
            QStringLiteral("demo company: %1 (engine error %2)").arg(e.text()).arg(e.number()));
    } catch (const ConversionError& e) {
        discard();
        return fail(QStringLiteral("demo company: %1").arg(e.text()));
    } catch (const std::exception& e) {
        discard();
        return fail(QStringLiteral("demo company: %1").arg(QString::fromUtf8(e.what())));
    }
    return true;
}

}  // namespace tv::data
