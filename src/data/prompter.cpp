#include "data/prompter.h"

#include "core/convert.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

namespace tv::data {

namespace msgbox {

int dismissAnswer(int style) {
    switch (style & kButtonsMask) {
        case kOkOnly:
            return kOk;
        case kYesNo:
            return kNo;
        case kAbortRetryIgnore:
            // No Cancel button here; Abort is the choice that stops what was asked.
            return kAbort;
        default:  // OK/Cancel, Yes/No/Cancel, Retry/Cancel
            return kCancel;
    }
}

}  // namespace msgbox

namespace filedlg {

QString toQtFilter(const QString& classicFilter) {
    const QStringList parts = classicFilter.split(u'|');
    QStringList entries;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString description = parts.at(i).trimmed();
        // The description often repeats its patterns in parentheses; Qt reads the patterns
        // from the last parentheses, so they are written once, from the pattern part.
        const qsizetype open = description.lastIndexOf(u'(');
        if (open > 0 && description.endsWith(u')')) description = description.left(open).trimmed();
        QStringList patterns = parts.at(i + 1).split(u';', Qt::SkipEmptyParts);
        for (QString& pattern : patterns) pattern = pattern.trimmed();
        entries << description + QStringLiteral(" (") + patterns.join(u' ') + u')';
    }
    return entries.join(QStringLiteral(";;"));
}

}  // namespace filedlg

namespace {

void report(const QString& kind, const QString& title, const QString& text, const QString& answer) {
    const QString line = QStringLiteral("[%1] %2: %3 -> %4\n").arg(kind, title, text, answer);
    std::fputs(line.toLocal8Bit().constData(), stderr);
}

DefaultPrompter& defaultPrompter() {
    static DefaultPrompter p;
    return p;
}

Prompter* installed = nullptr;

}  // namespace

Prompter& prompter() { return installed ? *installed : defaultPrompter(); }

Prompter* setPrompter(Prompter* p) {
    Prompter* before = installed;
    installed = p;
    return before;
}

int DefaultPrompter::messageBox(const QString& title, const QString& text, int style) {
    const int answer = msgbox::dismissAnswer(style);
    report(QStringLiteral("message"), title, text, QString::number(answer));
    return answer;
}

QString DefaultPrompter::inputBox(const QString& prompt, const QString& title, const QString&) {
    report(QStringLiteral("input"), title, prompt, QStringLiteral("cancelled"));
    return QString();
}

QString DefaultPrompter::openFile(const FileRequest& request) {
    report(QStringLiteral("open file"), request.title, request.initialFolder,
           QStringLiteral("cancelled"));
    return QString();
}

QString DefaultPrompter::saveFile(const FileRequest& request) {
    report(QStringLiteral("save file"), request.title, request.initialFolder,
           QStringLiteral("cancelled"));
    return QString();
}

QString DefaultPrompter::chooseFolder(const QString& title, const QString& initialFolder) {
    report(QStringLiteral("folder"), title, initialFolder, QStringLiteral("cancelled"));
    return QString();
}

std::optional<std::uint32_t> DefaultPrompter::chooseColour(std::uint32_t) {
    report(QStringLiteral("colour"), QString(), QString(), QStringLiteral("cancelled"));
    return std::nullopt;
}

bool DefaultPrompter::printerDialog(PrintRequest& request) {
    report(QStringLiteral("printer"), request.title, QString(), QStringLiteral("cancelled"));
    return false;
}

tv::DateTime DefaultPrompter::now() { return tv::Now(); }

void DefaultPrompter::setPointer(int, const QString&) {}

void DefaultPrompter::processEvents() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
}

void DefaultPrompter::beep() {}

}  // namespace tv::data
