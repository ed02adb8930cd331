// Opening and printing document files with the applications the desktop associates with
// them. Opening goes through QDesktopServices; printing hands the file to the system's
// print command (lp). Failures are reported with message 701, the path and the reason.
#pragma once

#include <QString>
#include <cstdint>
#include <optional>

namespace tv::forms {

// A desktop failure: the classic shell result code and its reason.
struct ShellFailure {
    int code = 0;
    QString reason;
};

// What OpenDocument asks of the desktop. The program uses the real desktop; tests put in
// their own to see what was asked and to make it fail.
class DocumentShell {
public:
    virtual ~DocumentShell() = default;
    virtual std::optional<ShellFailure> open(const QString& path) = 0;
    virtual std::optional<ShellFailure> print(const QString& path) = 0;
};

// The desktop: QDesktopServices for open, `lp <file>` for print.
class DesktopShell : public DocumentShell {
public:
    std::optional<ShellFailure> open(const QString& path) override;
    std::optional<ShellFailure> print(const QString& path) override;
};

// Installs a shell (not owned); nullptr goes back to the desktop. Returns the one before.
DocumentShell* setDocumentShell(DocumentShell* shell);

// The reason the classic shell gives for a result code ("File not found" for 2); empty
// for codes that are not failures.
QString shellReason(int code);

// Opens (printIt false) or prints (printIt true) the file. A missing file (code 2) or
// folder (code 3) is found before the desktop is asked. A failure shows message 701 with
// "\n\n<path> (<reason>(<code>))." appended. Returns -1.
std::int16_t OpenDocument(const QString& path, bool printIt);

}  // namespace tv::forms
