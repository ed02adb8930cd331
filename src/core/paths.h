// Folder and file paths as the program stores them: settings and tables hold paths
// written with "\" (c:\Tolvarine\Database) or "/", and the program appends names such as
// "\Quote.rpt" to folders. These helpers accept either separator and produce paths with
// "/", which Qt understands on every platform.
#pragma once

#include <QString>

namespace tv {

bool isPathSeparator(QChar c);

// "\" becomes "/", runs of separators become one (a leading "\\server" share keeps its
// two), and a trailing separator is removed unless the path is a root ("/", "c:/").
QString normalizePath(const QString& path);

// The folder and the name joined by exactly one separator, whatever separators either
// side brings: joinPath("c:\Data\", "\Quote.rpt") is "c:/Data/Quote.rpt". An empty folder
// gives the name alone.
QString joinPath(const QString& folder, const QString& name);

// The folder part of a path ("" when there is none) and the last name in it.
QString parentFolder(const QString& path);
QString fileName(const QString& path);

}  // namespace tv
