#include "messaging/mail_bridge.h"

#include "core/settings_keys.h"
#include "data/access.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>
#include <QUrlQuery>

namespace tv::messaging {

namespace {

constexpr int kHandOverFailed = 9160;
const QString kProgram = QStringLiteral("xdg-email");

class DesktopLauncher : public MailLauncher {
public:
    bool available(const QString& program) override {
        return !QStandardPaths::findExecutable(program).isEmpty();
    }
    bool start(const QString& program, const QStringList& arguments, QString* error) override {
        QProcess process;
        process.setProgram(program);
        process.setArguments(arguments);
        if (process.startDetached()) return true;
        if (error) *error = process.errorString();
        return false;
    }
    bool openUrl(const QString& url) override {
        return QDesktopServices::openUrl(QUrl(url, QUrl::StrictMode));
    }
};

MailLauncher*& installed() {
    static MailLauncher* launcher = nullptr;
    return launcher;
}

MailLauncher& launcher() {
    static DesktopLauncher desktop;
    return installed() ? *installed() : desktop;
}

}  // namespace

MailLauncher* setMailLauncher(MailLauncher* launcher) {
    MailLauncher* before = installed();
    installed() = launcher;
    return before;
}

QString ComposeRecipient(const QString& contact, const QString& address, bool simpleAddress) {
    const QString bare = address.trimmed();
    const QString name = contact.trimmed();
    if (simpleAddress || name.isEmpty()) return bare;
    static const QString special = QStringLiteral("()<>[]:;@\\,.\"'");
    bool quote = false;
    for (const QChar c : name) quote = quote || special.contains(c);
    QString shown = name;
    if (quote) {
        shown.replace(u'\\', QStringLiteral("\\\\")).replace(u'"', QStringLiteral("\\\""));
        shown = u'"' + shown + u'"';
    }
    return shown + QStringLiteral(" <") + bare + u'>';
}

QStringList ComposeArguments(const QString& recipient, const QString& subject,
                             const QString& body, const QStringList& attachments) {
    QStringList args{QStringLiteral("--utf8"), QStringLiteral("--subject"), subject,
                     QStringLiteral("--body"), body};
    for (const QString& file : attachments) args << QStringLiteral("--attach") << file;
    args << recipient;
    return args;
}

bool ComposeInMailProgram(const QString& contact, const QString& address,
                          const QString& subject, const QString& body,
                          const QStringList& attachments, QStringList* skipped) {
    QStringList files;
    for (const QString& path : attachments) {
        if (QFileInfo(path).isFile())
            files << QFileInfo(path).absoluteFilePath();
        else if (skipped)
            *skipped << path;
    }
    const QString recipient =
        ComposeRecipient(contact, address, SettingBool(keys::SimpleEmailAddress));

    MailLauncher& run = launcher();
    QString error;
    if (run.available(kProgram)) {
        if (run.start(kProgram, ComposeArguments(recipient, subject, body, files), &error))
            return true;
    } else {
        // No xdg-email: a mailto: link carries the rest, the files are named to the user.
        QUrl url;
        url.setScheme(QStringLiteral("mailto"));
        url.setPath(address.trimmed());
        QUrlQuery query;
        query.addQueryItem(QStringLiteral("subject"), QString::fromUtf8(QUrl::toPercentEncoding(subject)));
        query.addQueryItem(QStringLiteral("body"), QString::fromUtf8(QUrl::toPercentEncoding(body)));
        url.setQuery(query);
        if (run.openUrl(url.toString(QUrl::FullyEncoded))) {
            if (skipped) *skipped << files;
            return true;
        }
        error = QStringLiteral("No program on this computer takes mailto: links.");
    }
    data::ShowMessage(kHandOverFailed, error + QStringLiteral("\n\n"));
    return false;
}

}  // namespace tv::messaging
