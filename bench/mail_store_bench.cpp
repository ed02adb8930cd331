// The mail-folder window's reading of a local Maildir: a store of 10,000 messages in
// nested folders (Maildir++ sub-folders and Maildirs inside plain folders), the largest
// folder holding 5,000. Three figures, each beside the least any reader must do for the
// same result, timed in the same run and printed as a ratio:
//   Tree    the folder tree with counts and unread state (ReadMailTree), beside a raw
//           readdir() walk of every folder counting files;
//   Items   a 5,000-message folder's list with subject, sender and time (ReadMailItems),
//           beside reading each file's first 4 KB with stdio;
//   Open    one message in full (ReadMailContent), beside reading its file.
// There is no SQLite in this work, so the raw file system stands where raw SQLite stands
// in the other benchmarks.
#include "messaging/mail_store.h"
#include "ratio_report.h"

#include <benchmark/benchmark.h>
#include <dirent.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

namespace {

QString storePath() {
    const QString base = qEnvironmentVariable("TV_BENCH_DIR", QDir::tempPath());
    return base + QStringLiteral("/tv_mail_bench");
}

void writeFolder(const QString& path, int count, int first) {
    for (const char* sub : {"cur", "new", "tmp"}) QDir().mkpath(path + u'/' + QLatin1String(sub));
    for (int i = 0; i < count; ++i) {
        const int n = first + i;
        const bool unread = n % 7 == 0;
        const QString name = QStringLiteral("%1.M%2P1.bench").arg(1700000000 + n).arg(n) +
                             (unread ? QString() : QStringLiteral(":2,S"));
        QFile f(path + (unread ? QStringLiteral("/new/") : QStringLiteral("/cur/")) + name);
        if (!f.open(QIODevice::WriteOnly)) continue;
        f.write(QStringLiteral("Return-Path: <c%1@example.com>\nFrom: Customer %1 <c%1@example.com>\n"
                               "To: sales@example.com\nSubject: Order number %1 for toner\n"
                               "Date: Tue, 14 Nov 2023 22:13:20 +0000\nMessage-ID: <%1@example.com>\n"
                               "Content-Type: text/plain; charset=utf-8\n\n")
                    .arg(n)
                    .toUtf8());
        f.write(QByteArray(1500, 'x'));
        f.write("\n");
    }
}

// 10,000 messages: 5,000 in the top folder, the rest over eight nested folders.
const QString& store() {
    static const QString path = [] {
        const QString root = storePath();
        if (!QFile::exists(root + QStringLiteral("/.complete"))) {
            QDir(root).removeRecursively();
            writeFolder(root, 5000, 0);
            const char* nested[] = {".Customers", ".Customers.Acme", ".Customers.Beta",
                                    ".Customers.Beta.Orders", ".Suppliers", "Archive/2024",
                                    "Archive/2025", "Archive/2025/Old"};
            int first = 5000;
            for (const char* folder : nested) {
                writeFolder(root + u'/' + QLatin1String(folder), 625, first);
                first += 625;
            }
            QFile done(root + QStringLiteral("/.complete"));
            (void)done.open(QIODevice::WriteOnly);
        }
        return root;
    }();
    return path;
}

int walk(const std::string& path, int depth) {
    DIR* dir = opendir(path.c_str());
    if (!dir) return 0;
    int files = 0;
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.' && (e->d_name[1] == 0 || (e->d_name[1] == '.' && e->d_name[2] == 0)))
            continue;
        if (e->d_type == DT_DIR && depth < 32)
            files += walk(path + '/' + e->d_name, depth + 1);
        else
            ++files;
    }
    closedir(dir);
    return files;
}

void Tree_engine(benchmark::State& state) {
    const QString root = store();
    for (auto _ : state) benchmark::DoNotOptimize(tv::messaging::ReadMailTree(root));
}

void Tree_raw(benchmark::State& state) {
    const std::string root = store().toStdString();
    for (auto _ : state) benchmark::DoNotOptimize(walk(root, 0));
}

void Items_engine(benchmark::State& state) {
    const tv::messaging::MailFolder top = *tv::messaging::ReadMailTree(store());
    for (auto _ : state) benchmark::DoNotOptimize(tv::messaging::ReadMailItems(top));
}

void Items_raw(benchmark::State& state) {
    QStringList files;
    for (const char* sub : {"/new", "/cur"}) {
        const QDir dir(store() + QLatin1String(sub));
        for (const QString& name : dir.entryList(QDir::Files)) files << dir.filePath(name);
    }
    std::vector<std::string> paths;
    for (const QString& f : files) paths.push_back(f.toStdString());
    char buffer[4096];
    for (auto _ : state) {
        int subjects = 0;
        for (const std::string& p : paths) {
            FILE* f = std::fopen(p.c_str(), "rb");
            if (!f) continue;
            const size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
            buffer[n] = 0;
            if (std::strstr(buffer, "Subject:")) ++subjects;
            std::fclose(f);
        }
        benchmark::DoNotOptimize(subjects);
    }
}

void Open_engine(benchmark::State& state) {
    const tv::messaging::MailFolder top = *tv::messaging::ReadMailTree(store());
    const tv::messaging::MailItem item = tv::messaging::ReadMailItems(top).at(2500);
    for (auto _ : state) benchmark::DoNotOptimize(tv::messaging::ReadMailContent(item));
}

void Open_raw(benchmark::State& state) {
    const tv::messaging::MailFolder top = *tv::messaging::ReadMailTree(store());
    const QString path = tv::messaging::ReadMailItems(top).at(2500).path;
    for (auto _ : state) {
        QFile f(path);
        (void)f.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(f.readAll());
    }
}

BENCHMARK(Tree_engine)->Unit(benchmark::kMillisecond);
BENCHMARK(Tree_raw)->Unit(benchmark::kMillisecond);
BENCHMARK(Items_engine)->Unit(benchmark::kMillisecond);
BENCHMARK(Items_raw)->Unit(benchmark::kMillisecond);
BENCHMARK(Open_engine)->Unit(benchmark::kMicrosecond);
BENCHMARK(Open_raw)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    tvbench::RatioTable table;
    table.argsHeader.clear();
    table.ours = "reader";
    table.theirs = "raw";
    table.pairs = {{"_engine", "_raw"}};
    // Real (wall-clock) times: the work is mostly the file system's, which CPU time does
    // not see.
    table.decimals = 3;
    tvbench::runWithRatios(table);
    return 0;
}
