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
