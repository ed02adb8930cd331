#include "app/qt_prompter.h"

#include "core/convert.h"
#include "data/app_state.h"

#include <QApplication>
#include <QColorDialog>
#include <QCursor>
#include <QFileDialog>
#include <QInputDialog>
#include <QPageLayout>
#include <QPixmap>
#include <QPrintDialog>
#include <QPrinter>

#include <vector>

namespace tv::app {

namespace msgbox = tv::data::msgbox;
namespace filedlg = tv::data::filedlg;

namespace {

std::vector<QMessageBox::StandardButton> buttonsFor(int style) {
    using B = QMessageBox;
    switch (style & msgbox::kButtonsMask) {
        case msgbox::kOkCancel:
            return {B::Ok, B::Cancel};
        case msgbox::kAbortRetryIgnore:
            return {B::Abort, B::Retry, B::Ignore};
        case msgbox::kYesNoCancel:
            return {B::Yes, B::No, B::Cancel};
        case msgbox::kYesNo:
            return {B::Yes, B::No};
        case msgbox::kRetryCancel:
            return {B::Retry, B::Cancel};
        default:
            return {B::Ok};
    }
}

QMessageBox::StandardButton standardFor(int classic) {
    switch (classic) {
        case msgbox::kCancel:
            return QMessageBox::Cancel;
        case msgbox::kAbort:
            return QMessageBox::Abort;
        case msgbox::kRetry:
            return QMessageBox::Retry;
        case msgbox::kIgnore:
            return QMessageBox::Ignore;
        case msgbox::kYes:
            return QMessageBox::Yes;
        case msgbox::kNo:
            return QMessageBox::No;
        default:
            return QMessageBox::Ok;
    }
}

// Classic colours keep red in the low byte.
QColor fromClassic(std::uint32_t c) {
    return QColor(static_cast<int>(c & 0xFF), static_cast<int>((c >> 8) & 0xFF),
                  static_cast<int>((c >> 16) & 0xFF));
}

std::uint32_t toClassic(const QColor& c) {
    return static_cast<std::uint32_t>(c.red()) | (static_cast<std::uint32_t>(c.green()) << 8) |
           (static_cast<std::uint32_t>(c.blue()) << 16);
}

}  // namespace

QtPrompter::QtPrompter() = default;
QtPrompter::~QtPrompter() = default;

void QtPrompter::applyStyle(QMessageBox& box, int style) {
    const std::vector<QMessageBox::StandardButton> buttons = buttonsFor(style);
    QMessageBox::StandardButtons all;
    for (QMessageBox::StandardButton b : buttons) all |= b;
    box.setStandardButtons(all);

    switch (style & msgbox::kIconMask) {
        case msgbox::kCritical:
            box.setIcon(QMessageBox::Critical);
            break;
        case msgbox::kQuestion:
            box.setIcon(QMessageBox::Question);
            break;
        case msgbox::kExclamation:
            box.setIcon(QMessageBox::Warning);
            break;
        case msgbox::kInformation:
            box.setIcon(QMessageBox::Information);
            break;
        default:
            box.setIcon(QMessageBox::NoIcon);
    }

    const size_t defaultIndex = static_cast<size_t>((style & msgbox::kDefaultMask) >> 8);
    box.setDefaultButton(buttons.at(defaultIndex < buttons.size() ? defaultIndex : 0));
    // Escape answers as the classic box does: Cancel or No where there is one.
    box.setEscapeButton(standardFor(msgbox::dismissAnswer(style)));
}

int QtPrompter::classicCode(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return msgbox::kOk;
        case QMessageBox::Cancel:
            return msgbox::kCancel;
        case QMessageBox::Abort:
            return msgbox::kAbort;
        case QMessageBox::Retry:
            return msgbox::kRetry;
        case QMessageBox::Ignore:
            return msgbox::kIgnore;
        case QMessageBox::Yes:
            return msgbox::kYes;
        case QMessageBox::No:
            return msgbox::kNo;
        default:
            return msgbox::kCancel;
    }
}

QWidget* QtPrompter::parentWindow() const { return QApplication::activeWindow(); }

QString QtPrompter::titleOr(const QString& title) const {
    if (!title.isEmpty()) return title;
    const QString app = tv::data::state().ApplicationName;
    return app.isEmpty() ? QCoreApplication::applicationName() : app;
}

int QtPrompter::messageBox(const QString& title, const QString& text, int style) {
    QMessageBox box(parentWindow());
    box.setWindowTitle(titleOr(title));
    box.setText(text);
    box.setTextFormat(Qt::PlainText);
    applyStyle(box, style);
    box.exec();
    const auto pressed =
        static_cast<QMessageBox::StandardButton>(box.standardButton(box.clickedButton()));
    // Closing the window counts as the escape button.
    return pressed == QMessageBox::NoButton ? msgbox::dismissAnswer(style) : classicCode(pressed);
}

QString QtPrompter::inputBox(const QString& prompt, const QString& title,
                             const QString& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(parentWindow(), titleOr(title), prompt,
                                               QLineEdit::Normal, defaultText, &ok);
    return ok ? text : QString();
}

QString QtPrompter::openFile(const tv::data::FileRequest& request) {
    return QFileDialog::getOpenFileName(parentWindow(), request.title, request.initialFolder,
                                        filedlg::toQtFilter(request.filter));
}

QString QtPrompter::saveFile(const tv::data::FileRequest& request) {
    QString start = request.initialFolder;
    if (!request.defaultName.isEmpty())
        start = start.isEmpty() ? request.defaultName : start + u'/' + request.defaultName;
    QFileDialog::Options options;
    if (!(request.flags & filedlg::kOverwritePrompt)) options |= QFileDialog::DontConfirmOverwrite;
    return QFileDialog::getSaveFileName(parentWindow(), request.title, start,
                                        filedlg::toQtFilter(request.filter), nullptr, options);
}

QString QtPrompter::chooseFolder(const QString& title, const QString& initialFolder) {
    return QFileDialog::getExistingDirectory(parentWindow(), title, initialFolder);
}

std::optional<std::uint32_t> QtPrompter::chooseColour(std::uint32_t initial) {
    const QColor chosen = QColorDialog::getColor(fromClassic(initial), parentWindow());
    if (!chosen.isValid()) return std::nullopt;
    return toClassic(chosen);
}

QPrinter& QtPrompter::printer() {
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *printer_;
}

bool QtPrompter::printerDialog(tv::data::PrintRequest& request) {
    QPrinter& p = printer();
    p.setCopyCount(request.copies);
    p.setPageOrientation(request.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    if (request.fromPage > 0) p.setFromTo(request.fromPage, request.toPage);
    QPrintDialog dialog(&p, parentWindow());
    if (!request.title.isEmpty()) dialog.setWindowTitle(request.title);
    if (dialog.exec() != QDialog::Accepted) return false;
    request.copies = p.copyCount();
    request.fromPage = p.fromPage();
    request.toPage = p.toPage();
    request.landscape = p.pageLayout().orientation() == QPageLayout::Landscape;
    request.outputFile =
        p.outputFormat() == QPrinter::PdfFormat ? p.outputFileName() : QString();
    request.printerName = p.printerName();
    return true;
}

tv::DateTime QtPrompter::now() { return tv::Now(); }

void QtPrompter::setPointer(int code, const QString& iconPath) {
    // The classic pointer is a setting, not a stack: each call replaces the last.
    while (QApplication::overrideCursor()) QApplication::restoreOverrideCursor();
    if (code == tv::data::kPointerDefault) return;
    QCursor cursor(Qt::WaitCursor);
    if (code == tv::data::kPointerCustom) {
        const QPixmap icon(iconPath);
        if (!icon.isNull()) cursor = QCursor(icon);
    }
    QApplication::setOverrideCursor(cursor);
}

void QtPrompter::processEvents() { QCoreApplication::processEvents(); }

void QtPrompter::beep() { QApplication::beep(); }

}  // namespace tv::app
