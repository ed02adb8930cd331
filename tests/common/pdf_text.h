// Reading a printed PDF back as text, page by page, with poppler's pdftotext (the layout
// kept, so that a line of the page is a line of the text).
#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace tvtest {

// The text of each page; nothing when the file cannot be read.
inline QStringList pdfPages(const QString& path) {
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")});
    if (!run.waitForFinished(30000) || run.exitCode() != 0) return {};
    QStringList pages = QString::fromUtf8(run.readAllStandardOutput()).split(u'\f');
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) pages.removeLast();
    return pages;
}

}  // namespace tvtest
