// The post office keeps a copy of every attached file in its "Temp" folder under the
// file's bare name. A name comes from a sender's path or from a row of the attachment
// tables, and neither may place a file anywhere but in that folder: the folder part of a
// path is dropped, and a name that would still leave the folder is refused. A Temp
// folder that is a link (or a junction) is not followed: nothing is copied into it and
// no path inside it is given.
#pragma once

#include <QString>
#include <optional>

namespace tv::messaging {

// The bare name a file is kept under: the last part of the path, either separator
// counting ("c:\Docs\Plan.pdf" and "../Plan.pdf" both give "Plan.pdf"). Empty when that
// part cannot name a file inside a folder: nothing, "." or "..", or dots alone (and on
// Windows a name with a drive prefix such as "c:Plan.pdf").
QString TempFileName(const QString& path);

// The Temp folder of a post-office folder; for a post office on a database server, Temp
// in the site's files folder (data::siteFilesFolder); empty when there is none.
QString TempFolder(const QString& postOfficeFolder);

// postOfficeFolder/Temp/<bare name of fileName>; empty when TempFileName refuses it or
// the Temp folder is a link.
QString TempFilePath(const QString& postOfficeFolder, const QString& fileName);

// Copies an existing file into the Temp folder (created when missing) under its bare
// name, replacing a file of that name; a link standing there is replaced, never written
// through. Nothing is copied when the source already is that file, nor into a Temp
// folder that is a link. Returns the reason when the copy failed.
std::optional<QString> CopyIntoTemp(const QString& postOfficeFolder, const QString& source);

}  // namespace tv::messaging
