// The interaction seam: everything a person answers (message and input boxes, file,
// folder, colour and printer dialogs) and the few things the program asks of the
// desktop (the clock, the busy pointer, letting pending events run, the beep) go
// through one interface. The program installs the Qt implementation; tests install a
// scripted one; when nothing is installed a non-blocking default answers Cancel/No and
// reports the question on stderr, so a command-line tool can never hang on a dialog.
#pragma once

#include "core/variant.h"

#include <QString>
#include <cstdint>
#include <optional>

namespace tv::data {

// Message box styles, as the classic box numbers them: buttons (style & 7), icon
// (style & 0x70) and default button (style & 0x300) added together.
namespace msgbox {
inline constexpr int kOkOnly = 0;
inline constexpr int kOkCancel = 1;
inline constexpr int kAbortRetryIgnore = 2;
inline constexpr int kYesNoCancel = 3;
inline constexpr int kYesNo = 4;
inline constexpr int kRetryCancel = 5;
inline constexpr int kCritical = 16;
inline constexpr int kQuestion = 32;
inline constexpr int kExclamation = 48;
inline constexpr int kInformation = 64;
inline constexpr int kDefaultButton1 = 0;
inline constexpr int kDefaultButton2 = 256;
inline constexpr int kDefaultButton3 = 512;

inline constexpr int kButtonsMask = 0x7;
inline constexpr int kIconMask = 0x70;
inline constexpr int kDefaultMask = 0x300;

// The button pressed.
inline constexpr int kOk = 1;
inline constexpr int kCancel = 2;
inline constexpr int kAbort = 3;
inline constexpr int kRetry = 4;
inline constexpr int kIgnore = 5;
inline constexpr int kYes = 6;
inline constexpr int kNo = 7;

// What a box answers when it is dismissed without choosing (Escape, or no person to ask):
// Cancel where there is one, else No, else Abort... as the classic box does; OK for a
// box that has only OK.
int dismissAnswer(int style);
}  // namespace msgbox

// File dialog flags the program uses (classic common-dialog values).
namespace filedlg {
inline constexpr int kReadOnly = 0x1;
inline constexpr int kOverwritePrompt = 0x2;
inline constexpr int kHideReadOnly = 0x4;
inline constexpr int kPathMustExist = 0x800;
inline constexpr int kFileMustExist = 0x1000;

// The classic filter ("Database Files (*.mdb)|*.mdb|All Files|*.*") in Qt's form
// ("Database Files (*.mdb);;All Files (*.*)"); several patterns of one entry are
// separated by ";" in the classic form and by blanks in Qt's.
QString toQtFilter(const QString& classicFilter);
}  // namespace filedlg

struct FileRequest {
    QString title;
    QString initialFolder;
    // Classic form: pairs of description and patterns separated by "|", e.g.
    // "Database Files (*.mdb)|*.mdb|All Files (*.*)|*.*".
    QString filter;
    int flags = 0;
    QString defaultName;  // proposed file name (save dialogs)
};

struct PrintRequest {
    QString title;
    int copies = 1;
    int fromPage = 0;  // 0: all pages
    int toPage = 0;
    bool landscape = false;
    // Where the pages go, as chosen in the dialog: a PDF file when outputFile is set,
    // otherwise the named printer (empty: the system's default printer).
    QString printerName;
    QString outputFile;
};

class Prompter {
public:
    virtual ~Prompter() = default;

    // A message box; returns the button pressed (msgbox::kOk .. kNo).
    virtual int messageBox(const QString& title, const QString& text, int style) = 0;
    // An input box; Cancel gives an empty text.
    virtual QString inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) = 0;
    // File and folder choosers: the chosen path, or an empty text when cancelled.
    virtual QString openFile(const FileRequest& request) = 0;
    virtual QString saveFile(const FileRequest& request) = 0;
    virtual QString chooseFolder(const QString& title, const QString& initialFolder) = 0;
    // A colour as the classic long value (red in the low byte: &HBBGGRR); nothing when
    // cancelled.
    virtual std::optional<std::uint32_t> chooseColour(std::uint32_t initial) = 0;
    // The printer dialog; true when accepted (the request then holds the choices).
    virtual bool printerDialog(PrintRequest& request) = 0;

    // The clock: the present date and time.
    virtual tv::DateTime now() = 0;
    // The mouse pointer: kPointerDefault, kPointerHourglass or kPointerCustom with the
    // icon file's path.
    virtual void setPointer(int code, const QString& iconPath = QString()) = 0;
    // Lets pending window events run (repaints during long work).
    virtual void processEvents() = 0;
    virtual void beep() = 0;
};

// The prompter in force: the installed one, else the non-blocking default.
Prompter& prompter();
// Installs a prompter (not owned; the caller keeps it alive). nullptr goes back to the
// default. Returns the one installed before, nullptr when it was the default.
Prompter* setPrompter(Prompter* p);

// The default: answers without asking anybody. Message boxes get msgbox::dismissAnswer,
// inputs and choosers nothing, the printer dialog false; each question is written to
// stderr so that its text is not lost. The clock is the system clock.
class DefaultPrompter : public Prompter {
public:
    int messageBox(const QString& title, const QString& text, int style) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFile(const FileRequest& request) override;
    QString saveFile(const FileRequest& request) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
    bool printerDialog(PrintRequest& request) override;
    tv::DateTime now() override;
    void setPointer(int code, const QString& iconPath = QString()) override;
    void processEvents() override;
    void beep() override;
};

}  // namespace tv::data
