#include "demo/company.h"

#include "core/variant.h"
#include "data/shipped_databases.h"
#include "demo/plan.h"
#include "demo/vocabulary.h"
#include "demo/writer.h"
#include "engine/bulk_insert.h"
#include "engine/engine.h"

#include <QElapsedTimer>
#include <QFile>
#include <exception>

namespace tv::demo {

bool createCompany(const QString& folder, const QString& dbSourceDir, const Options& options,
                   QString* error, std::vector<TableCount>* counts, const Progress& progress) {
    auto fail = [error](const QString& message) {
        if (error) *error = message;
        return false;
    };
    if (options.scale < 1) return fail(QStringLiteral("the scale must be 1 or more"));
    Vocabulary vocabulary;
    QString listError;
    if (!loadVocabulary(dbSourceDir + QStringLiteral("/demo"), &vocabulary, &listError))
        return fail(QStringLiteral("demo company: %1").arg(listError));
    // createDatabases refuses an occupied folder before it writes anything; only after it
    // has succeeded are the three files ours to remove.
    if (!data::createDatabases(folder, dbSourceDir, error, progress)) return false;

    const QString dataPath = folder + QStringLiteral("/Data.mdb");
    const QString messagesPath = folder + QStringLiteral("/Messages.mdb");
    auto discard = [&]() {
        for (const data::ShippedDatabase& db : data::shippedDatabases())
            QFile::remove(folder + u'/' + db.fileName);
    };
    try {
        const QDate today = options.today.isValid() ? options.today : QDate::currentDate();
        QElapsedTimer clock;
        clock.start();
        const CompanyPlan plan = planCompany(vocabulary, options.seed, options.scale, today);
        if (progress) {
            progress(QStringLiteral("Planned the demo company, scale %1, up to %2 (%3 s)")
                         .arg(options.scale)
                         .arg(today.toString(Qt::ISODate))
                         .arg(double(clock.elapsed()) / 1000.0, 0, 'f', 1));
        }
        engine::Database data = engine::Engine::instance().OpenDatabase(dataPath);
        engine::Database messages = engine::Engine::instance().OpenDatabase(messagesPath);
        // The files are new and discarded if filling them fails: no waiting for the disk.
        engine::SetBulkLoading(data, true);
        engine::SetBulkLoading(messages, true);
        const std::vector<TableCount> written =
            writeCompany(vocabulary, plan, data, messages, progress);
        engine::SetBulkLoading(data, false);
        engine::SetBulkLoading(messages, false);
        data.Close();
        messages.Close();
        if (counts) *counts = written;
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

}  // namespace tv::demo
