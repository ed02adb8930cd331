// A demo company for trying the program out and for measuring it: the shipped databases
// filled with a believable office-equipment dealer (customers with contacts, two years of
// activities, planned work, opportunities, quotations, orders and invoices, service
// requests, contracts, inventory, products and suppliers), every reference between tables
// consistent and every counter past the highest number used. What the company is made of
// (names, places, products, known problems ...) is read from db/demo/.
//
// The same lists, seed, scale and day give the same company. Scale 1 has 1,000 customers
// and about 10,000 activities; the numbers grow in proportion, so scale 100 has 100,000
// customers and about a million activities.
#pragma once

#include <QDate>
#include <QString>
#include <cstdint>
#include <functional>
#include <vector>

namespace tv::demo {

struct Options {
    int scale = 1;
    std::uint64_t seed = 20240601;
    QDate today;  // the day the history runs up to; invalid means the current date
};

struct TableCount {
    QString database;  // "Data.mdb" or "Messages.mdb"
    QString table;
    long rows = 0;
};

using Progress = std::function<void(const QString& step)>;

// Reads the company's lists from `dbSourceDir`/demo, creates the shipped databases in
// `folder` from `dbSourceDir` (as createDatabases does, refusing a folder that already
// holds any of them) and fills them with the demo company. A list that is missing or
// wrong stops it before any file is made. When filling fails, the three new files are
// removed again, so the folder never keeps a half-filled company. Returns false with the
// reason in `error`; never throws.
bool createCompany(const QString& folder, const QString& dbSourceDir, const Options& options,
                   QString* error, std::vector<TableCount>* counts = nullptr,
                   const Progress& progress = {});

}  // namespace tv::demo
