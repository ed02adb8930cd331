#include "app/toolbar_buttons.h"

#include "core/settings_store.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QFont>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QSet>
#include <QToolBar>
#include <QToolButton>

namespace tv::app {

namespace {

const QString kSection = QStringLiteral("Toolbar");
const QString kKey = QStringLiteral("1");

// The pictures of last resort, for a desktop without any icon theme: badge colour and
// letters of each button, in index order.
struct Badge {
    QRgb colour;
    const char* letters;
};
const Badge kBadges[] = {
    {0x2e6db4, "Cu"}, {0x3a8f4b, "Sc"}, {0x2f8f8a, "Di"}, {0xb5651d, "SO"},
    {0xc08a1e, "Qu"}, {0xb23a48, "SR"}, {0x6d5a9c, "In"}, {0x7a4e2d, "SC"},
    {0x4b6584, "FL"}, {0x5f6b73, "Do"}, {0x9b2f2f, "KP"}, {0x246b8f, "Rp"},
    {0x58862f, "Sp"}, {0x1f7a6d, "Se"}, {0x39506b, "Fi"}, {0x7b3f98, "?"},
};

// Freedesktop icon names of the commands that have a picture, best first: a theme that
// lacks the first may have the next. The toolbar's commands come first.
struct CommandIconNames {
    const char* menuItem;
    const char* names[3];
};
const CommandIconNames kCommandIcons[] = {
    {"mnuCustomers", {"x-office-address-book", "address-book-new", "system-users"}},
    {"mnuScheduled", {"appointment-soon", "appointment-new", "x-office-calendar"}},
    {"mnuDiary", {"x-office-calendar", "office-calendar", "appointment-new"}},
    {"mnuOrders", {"x-office-spreadsheet", "document-new", nullptr}},
    {"mnuQuotations", {"x-office-document", "document-new", nullptr}},
    {"mnuRequestsOpen", {"preferences-system", "applications-system", "emblem-system"}},
    {"mnuCustomerInventory", {"computer", "drive-harddisk", "package-x-generic"}},
    {"mnuContracts", {"x-office-presentation", "text-x-generic", nullptr}},
    {"mnuLetters", {"text-x-generic-template", "mail-message-new", "text-x-generic"}},
    {"mnuDocuments", {"folder-documents", "folder", nullptr}},
    {"mnuKnownProblems", {"dialog-warning", "emblem-important", nullptr}},
    {"mnuReportRun", {"document-print-preview", "document-print", nullptr}},
    {"mnuRunScript", {"media-playback-start", "system-run", nullptr}},
    {"mnuSend", {"mail-send-receive", "mail-send", nullptr}},
    {"mnuSearch", {"system-search", "edit-find", nullptr}},
    {"mnuHelpIndex", {"help-contents", "help-browser", nullptr}},
    // Menu commands without a button.
    {"mnuContacts", {"contact-new", nullptr, nullptr}},
    {"mnuPrintSetup", {"document-page-setup", "printer", "document-print"}},
    {"mnuImport", {"document-open", nullptr, nullptr}},
    {"mnuExport", {"document-save-as", nullptr, nullptr}},
    {"mnuExit", {"application-exit", "system-log-out", nullptr}},
    {"mnuUndo", {"edit-undo", nullptr, nullptr}},
    {"mnuCut", {"edit-cut", nullptr, nullptr}},
    {"mnuCopy", {"edit-copy", nullptr, nullptr}},
    {"mnuPaste", {"edit-paste", nullptr, nullptr}},
    {"mnuOptions", {"preferences-system", "preferences-desktop", nullptr}},
    {"mnuProducts", {"package-x-generic", nullptr, nullptr}},
    {"mnuUsers", {"system-users", nullptr, nullptr}},
    {"mnuReplace", {"edit-find-replace", nullptr, nullptr}},
    {"mnuStatistics", {"x-office-spreadsheet", nullptr, nullptr}},
    {"mnuHelpSearch", {"help-browser", "edit-find", nullptr}},
    {"mnuAbout", {"help-about", "help-browser", nullptr}},
};

// Whether a theme of that name is installed where Qt looks for themes.
bool themeInstalled(const QString& name) {
    for (const QString& path : QIcon::themeSearchPaths()) {
        if (QFileInfo::exists(path + u'/' + name + QStringLiteral("/index.theme"))) return true;
    }
    return false;
}

}  // namespace

void useDesktopIcons() {
    // Qt reads the theme search path from XDG_DATA_DIRS; a session that sets it without
    // the system folder would otherwise find no theme at all.
    const QString system = QStringLiteral("/usr/share/icons");
    QStringList paths = QIcon::themeSearchPaths();
    if (!paths.contains(system) && QDir(system).exists()) {
        paths << system;
        QIcon::setThemeSearchPaths(paths);
    }
    // "hicolor" is every theme's last fallback and holds application icons only.
    const QString current = QIcon::themeName();
    if (!current.isEmpty() && current != QLatin1String("hicolor") && themeInstalled(current))
        return;
    for (const QString& theme : kFallbackIconThemes) {
        if (themeInstalled(theme)) {
            QIcon::setThemeName(theme);
            return;
        }
    }
}

QIcon commandIcon(const QString& menuItem) {
    for (const CommandIconNames& command : kCommandIcons) {
        if (menuItem.compare(QLatin1String(command.menuItem), Qt::CaseInsensitive) != 0) continue;
        for (const char* name : command.names) {
            if (name && QIcon::hasThemeIcon(QString::fromLatin1(name)))
                return QIcon::fromTheme(QString::fromLatin1(name));
        }
        return {};
    }
    return {};
}

const std::vector<ToolbarButton>& toolbarButtons() {
    static const std::vector<ToolbarButton> buttons = {
        {"Customers", "mnuCustomers", "Customers"},
        {"Scheduled", "mnuScheduled", "Scheduled Activities"},
        {"Diary", "mnuDiary", "Diary"},
        {"Orders", "mnuOrders", "Sales Orders"},
        {"Quotations", "mnuQuotations", "Quotations"},
        {"OpenRequests", "mnuRequestsOpen", "Open Service Requests"},
        {"Inventory", "mnuCustomerInventory", "Customer Inventory"},
        {"Contracts", "mnuContracts", "Service Contracts"},
        {"Letters", "mnuLetters", "Form Letters"},
        {"Documents", "mnuDocuments", "Documents"},
        {"KnownProblems", "mnuKnownProblems", "Known Problems"},
        {"RunReport", "mnuReportRun", "Run Report"},
        {"RunScript", "mnuRunScript", "Run Script"},
        {"Send", "mnuSend", "Send"},
        {"Search", "mnuSearch", "Search"},
        {"HelpIndex", "mnuHelpIndex", "Help"},
    };
    return buttons;
}

const ToolbarButton* toolbarButton(const QString& identifier) {
    for (const ToolbarButton& b : toolbarButtons()) {
        if (identifier.compare(QLatin1String(b.identifier), Qt::CaseInsensitive) == 0) return &b;
    }
    return nullptr;
}

QStringList defaultToolbarLayout() {
    // Customer work, documents, reference material, tools, help.
    QStringList layout;
    const auto& buttons = toolbarButtons();
    for (size_t i = 0; i < buttons.size(); ++i) {
        if (i == 3 || i == 8 || i == 11 || i == 15) layout << kToolbarSeparator;
        layout << QString::fromLatin1(buttons[i].identifier);
    }
    return layout;
}

QString encodeToolbarLayout(const QStringList& layout) { return layout.join(u','); }

QStringList decodeToolbarLayout(const QString& text) {
    QStringList layout;
    QSet<QString> seen;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        const QString item = part.trimmed();
        if (item == kToolbarSeparator) {
            if (!layout.isEmpty() && layout.last() != kToolbarSeparator) layout << item;
            continue;
        }
        const ToolbarButton* button = toolbarButton(item);
        if (!button) continue;
        const QString id = QString::fromLatin1(button->identifier);
        if (seen.contains(id)) continue;
        seen.insert(id);
        layout << id;
    }
    while (!layout.isEmpty() && layout.last() == kToolbarSeparator) layout.removeLast();
    // A stored arrangement that names no button at all cannot be what the user chose.
    if (seen.isEmpty()) return defaultToolbarLayout();
    return layout;
}

void saveToolbarLayout(const QStringList& layout) {
    SaveSetting(kAppName, kSection, kKey, encodeToolbarLayout(layout));
}

QStringList restoreToolbarLayout() {
    return decodeToolbarLayout(GetSetting(kAppName, kSection, kKey, QString()));
}

QIcon toolbarIcon(const QString& identifier) {
    const auto& buttons = toolbarButtons();
    size_t index = 0;
    while (index < buttons.size() &&
           identifier.compare(QLatin1String(buttons[index].identifier), Qt::CaseInsensitive) != 0)
        ++index;
    if (index < buttons.size()) {
        if (QIcon icon = commandIcon(QString::fromLatin1(buttons[index].menuItem)); !icon.isNull())
            return icon;
    }
    const Badge badge = index < buttons.size() ? kBadges[index] : Badge{0x808080, "?"};

    QIcon icon;
    for (int size : {16, 24, 32, 48}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF box(0.5, 0.5, size - 1.0, size - 1.0);
        QPainterPath path;
        path.addRoundedRect(box, size / 5.0, size / 5.0);
        p.fillPath(path, QColor(badge.colour));
        p.setPen(QColor(badge.colour).darker(130));
        p.drawPath(path);
        QFont font;
        font.setBold(true);
        font.setPixelSize(qMax(7, size * 9 / 20));
        p.setFont(font);
        p.setPen(Qt::white);
        p.drawText(box, Qt::AlignCenter, QString::fromLatin1(badge.letters));
        p.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

std::int16_t SetToolbarTips(const QString& formName, QToolBar* toolbar) {
    if (!toolbar) return -1;
    for (QAction* button : toolbar->actions()) {
        const QString tag = forms::tagOf(button);
        if (tag.isEmpty()) continue;
        const QString tip = forms::GetToolTipText(formName, tag);
        if (!tip.isEmpty()) button->setToolTip(tip);
    }
    return -1;
}

std::int16_t SetFlatToolbar(QToolBar* toolbar, int style) {
    if (!toolbar) return -1;
    toolbar->setToolButtonStyle(style == 2 ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);
    for (QToolButton* button : toolbar->findChildren<QToolButton*>()) button->setAutoRaise(true);
    return -1;
}

}  // namespace tv::app
