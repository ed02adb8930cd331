// Small fixtures shared by every test executable.
#pragma once
#include <QString>
#include <QTemporaryDir>
#include <memory>

namespace tvtest {

// A fresh folder removed when the object goes; path() has no trailing separator.
class ScratchFolder {
public:
    ScratchFolder();
    QString path() const;
    QString file(const QString& name) const;  // path() + "/" + name

private:
    std::unique_ptr<QTemporaryDir> dir_;
};

// The backend a test program runs on. Engine and data programs run twice: on files, and
// as their "_server" variant (TOLVARINE_TEST_BACKEND=server) on the PostgreSQL server whose
// connection string test.sh puts in TOLVARINE_TEST_SERVER. Empty: files.
QString testServer();
// Whether this run is a server variant; without a server it has nothing to run on.
bool serverVariant();
// Where a fresh database called `fileName` goes: a file in `folder`, or on the server a
// schema of its own in this program's site database.
QString databaseLocation(const ScratchFolder& folder, const QString& fileName);
// For main(): a server variant without a server says so and runs nothing (true).
bool skipServerVariant();

// The repository's root folder (for db/ and other shipped files).
QString sourceDir();
// The build folder (for helper executables built beside the tests).
QString binaryDir();

}  // namespace tvtest

// GoogleTest prints a failing QString as its text instead of its bytes.
#include <ostream>
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
