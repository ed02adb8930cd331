// The interaction seam's real side: Qt's standard dialogs for the questions the program
// asks, the override cursor for the busy pointer, and the system clock. main() installs
// one for the program's lifetime.
#pragma once

#include "data/prompter.h"

#include <QMessageBox>
#include <memory>

class QPrinter;
class QWidget;

namespace tv::app {

class QtPrompter : public tv::data::Prompter {
public:
    QtPrompter();
    ~QtPrompter() override;

    int messageBox(const QString& title, const QString& text, int style) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFile(const tv::data::FileRequest& request) override;
    QString saveFile(const tv::data::FileRequest& request) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
    bool printerDialog(tv::data::PrintRequest& request) override;
    tv::DateTime now() override;
    void setPointer(int code, const QString& iconPath = QString()) override;
    void processEvents() override;
    void beep() override;

    // The printer the printer dialog configures, for the report layer to print on.
    QPrinter& printer();

    // The buttons, icon, default and escape buttons a classic style number asks for,
    // applied to a box (exposed so that the mapping can be checked without showing it).
    static void applyStyle(QMessageBox& box, int style);
    // The classic code of a pressed button (1 OK .. 7 No).
    static int classicCode(QMessageBox::StandardButton button);

private:
    QWidget* parentWindow() const;
    QString titleOr(const QString& title) const;

    std::unique_ptr<QPrinter> printer_;
};

}  // namespace tv::app
