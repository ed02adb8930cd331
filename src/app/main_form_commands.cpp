// The main window's command dispatch: what each menu item runs, the windows opened by
// name, and the commands with a little logic of their own (Show Tips, the lookup-table
// chooser, technical support, the Window menu).
#include "app/main_form.h"
#include "app/menu_tables.h"
#include "app/open_windows.h"
#include "app/pending_window.h"
#include "core/convert.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/user_rights.h"
#include "engine/engine.h"
#include "forms/framework/controls.h"
#include "forms/framework/list_form.h"
#include "forms/framework/lookup_table.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/status.h"
#include "forms/framework/table_list.h"
#include "forms/framework/window_host.h"
#include "ui_main_form.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QDialog>
#include <QMenu>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QPointer>

namespace tv::app {

namespace {

constexpr int kOpeningListStatus = 938;
constexpr int kTechnicalSupport = 9006;

constexpr int kNoViewRight = 9014;

bool nonZero(const QString& text) { return !text.trimmed().isEmpty() && tv::Val(text) != 0; }

// Whether the user can reach a command the way the menu offers it: the item enabled and
// visible, and so is the menu it is in, and the menu that one is in, up to the menu bar.
// An item in several menus (the customer submenu is also the pop-up menu) needs one way.
bool reachable(const QAction* action) {
    if (!action || !action->isEnabled() || !action->isVisible()) return false;
    bool inMenu = false;
    for (QObject* owner : action->associatedObjects()) {
        const auto* menu = qobject_cast<const QMenu*>(owner);
        if (!menu) continue;
        inMenu = true;
        if (reachable(menu->menuAction())) return true;
    }
    return !inMenu;
}

}  // namespace

void MainForm::connectCommands() {
    for (const WindowCommand& c : windowCommands()) {
        const QString window = c.window;
        const bool modal = c.modal;
        commands_[c.menuItem] = [this, window, modal] { showWindow(window, modal); };
    }
    // Two of those do a little more once their window is open.
    commands_[QStringLiteral("mnuToDo")] = [this] { showToDoList(); };
    commands_[QStringLiteral("mnuHelpSearch")] = [this] { helpSearch(); };

    const std::pair<const char*, std::function<void()>> own[] = {
        {"mnuShowTips", [this] { toggleShowTips(); }},
        {"selectcheckinbox", [this] { checkInbox(); }},
        {"mnuPrintSetup", [this] { printerSetup(); }},
        {"mnuExit", [this] { close(); }},
        {"mnuLookupTables", [this] { lookupTables(); }},
        {"mnuCascade", [this] { ui->MdiArea->cascadeSubWindows(); }},
        {"mnuTile", [this] { ui->MdiArea->tileSubWindows(); }},
        {"mnuArrange", [this] { arrangeIcons(); }},
        {"mnuCustomizeToolbar", [this] { customiseToolbar(); }},
        {"mnuSupport", [] { data::ShowMessage(kTechnicalSupport); }},
    };
    for (const auto& [item, command] : own) commands_[QString::fromLatin1(item)] = command;
    for (const auto& [item, table] : listCommands()) {
        const QString name = table;
        commands_[item] = [this, name] { ShowListForm(name); };
    }
    for (const auto& [item, command] : commands_) {
        QAction* action = findChild<QAction*>(item);
        if (!action) continue;
        const std::function<void()> run = command;
        // However the item was triggered (menu, shortcut, toolbar, by name), it runs only
        // while the menu offers it to this user.
        connect(action, &QAction::triggered, this, [action, run] {
            if (reachable(action)) run();
        });
    }
}

void MainForm::runCommand(const QString& name) {
    if (QAction* action = menuItem(name); action && reachable(action)) action->trigger();
}

std::int16_t MainForm::ShowListForm(const QString& tableName) {
    // The rights are checked here, where every way of opening a list ends.
    if (data::isAdministrationTable(tableName) && !data::requireAdministrator(tableName)) return 0;
    if (!data::hasRight(tableName, data::kViewRight)) {
        data::ShowMessage(kNoViewRight, tableName);
        return 0;
    }
    if (FindOpenWindow(tableName, kListWindowsOnly)) return -1;
    forms::ShowStatusMessage(kOpeningListStatus);
    data::state().SharedValues[0] = tableName;
    // The list window takes its table from SharedValues(0).
    auto* list = new forms::ListForm();
    list->setObjectName(QStringLiteral("ListForm"));
    forms::setTag(list, tableName);
    forms::hostInMdi(list);
    list->show();
    bringForward(list);
    return -1;
}

std::int16_t MainForm::ShowSpecialForm(const QString& name) {
    const QString command = specialFormCommand(name);
    if (!command.isEmpty()) runCommand(command);
    return -1;
}

QWidget* MainForm::showWindow(const QString& name, bool modal) {
    if (const QString title = administrationWindowTitle(name);
        !title.isEmpty() && !data::requireAdministrator(title))
        return nullptr;
    if (forms::isWindowRegistered(name)) {
        if (!modal) {
            // Each of these windows exists once: asking again brings it forward.
            for (QWidget* w : openWindows()) {
                if (w->objectName() == name) {
                    bringForward(w);
                    return w;
                }
            }
        }
        QWidget* window = forms::createWindow(name, this);
        if (!window) return nullptr;
        if (window->objectName().isEmpty()) window->setObjectName(name);
        if (auto* dialog = qobject_cast<QDialog*>(window)) {
            if (modal) {
                dialog->exec();
                delete dialog;
                return nullptr;
            }
            dialog->setAttribute(Qt::WA_DeleteOnClose);
            dialog->show();
            return dialog;
        }
        window->setAttribute(Qt::WA_DeleteOnClose);
        forms::hostInMdi(window);
        window->show();
        // The area cascades new windows; a large one (the diary) would start half outside it.
        forms::keepInView(window);
        bringForward(window);
        return window;
    }

    // Not written yet: one notice per feature, brought forward when asked again.
    for (QWidget* w : openWindows()) {
        if (w->objectName() == QLatin1String("NotAvailable") &&
            forms::tagOf(w).compare(name, Qt::CaseInsensitive) == 0) {
            bringForward(w);
            return w;
        }
    }
    auto* notice = new PendingWindow(name);
    forms::hostInMdi(notice);
    notice->show();
    bringForward(notice);
    return notice;
}

void MainForm::toggleShowTips() {
    // The item has already changed its check mark when this runs.
    SaveSetting(keys::ShowTipsAtStartup,
                ui->mnuShowTips->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void MainForm::printerSetup() {
    data::PrintRequest request;
    request.title = tr("Printer Setup");
    data::prompter().printerDialog(request);
}

void MainForm::showToDoList() {
    // The to-do list comes forward in the normal state, never maximised.
    QWidget* list = showWindow(QStringLiteral("ToDoList"), false);
    if (!list) return;
    auto* sub = qobject_cast<QMdiSubWindow*>(list->parentWidget());
    QWidget* frame = sub ? static_cast<QWidget*>(sub) : list;
    if (frame->isMaximized()) frame->showNormal();
    list->setFocus();
}

void MainForm::lookupTables() {
    data::AppState& st = data::state();
    st.SharedValues.fill(QString());
    forms::TableList(this).exec();
    const QString table = st.SharedValues[0];
    if (table.isEmpty()) return;

    // Other users' changes to the codes must be visible in the window about to open.
    (void)data::attempt([] { engine::Engine::instance().Idle(true); });
    if (FindOpenWindow(table, kOtherWindowsOnly)) return;
    // The editor joins the main window's area itself.
    auto* window = new forms::LookupTable();
    forms::setTag(window, table);
    if (auto* colour = window->findChild<QCheckBox*>(QStringLiteral("ColourSupport")))
        colour->setChecked(nonZero(st.SharedValues[2]));
    if (auto* picture = window->findChild<QCheckBox*>(QStringLiteral("PictureSupport")))
        picture->setChecked(nonZero(st.SharedValues[3]));
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    bringForward(window);
}

void MainForm::helpSearch() {
    QWidget* help = showWindow(QStringLiteral("tvHelp"), false);
    // The viewer's search entry point. Until the viewer is written the command opens the
    // notice that says so, which has none.
    if (help && help->metaObject()->indexOfMethod("searchHelp()") >= 0)
        QMetaObject::invokeMethod(help, "searchHelp");
}

void MainForm::arrangeIcons() {
    // Minimised windows line up along the bottom of the area, left to right.
    const QRect area = ui->MdiArea->viewport()->rect();
    int x = 0;
    for (QMdiSubWindow* sub : ui->MdiArea->subWindowList(QMdiArea::CreationOrder)) {
        if (!sub->isMinimized()) continue;
        const QSize size = sub->size();
        if (x > 0 && x + size.width() > area.width()) x = 0;
        sub->move(x, area.height() - size.height());
        x += size.width();
    }
}

void MainForm::fillWindowMenu() {
    for (QAction* a : windowListActions_) {
        ui->mnuWindow->removeAction(a);
        delete a;
    }
    windowListActions_.clear();
    const QList<QMdiSubWindow*> windows = ui->MdiArea->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty()) return;
    QAction* separator = ui->mnuWindow->addSeparator();
    windowListActions_.push_back(separator);
    int number = 1;
    for (QMdiSubWindow* sub : windows) {
        const QString title = sub->windowTitle().isEmpty() && sub->widget()
                                  ? sub->widget()->windowTitle()
                                  : sub->windowTitle();
        const QString text = number < 10 ? QStringLiteral("&%1 %2").arg(number).arg(title)
                                         : QStringLiteral("%1 %2").arg(number).arg(title);
        QAction* action = ui->mnuWindow->addAction(text);
        action->setCheckable(true);
        action->setChecked(sub == ui->MdiArea->activeSubWindow());
        const QPointer<QMdiSubWindow> target(sub);
        connect(action, &QAction::triggered, this, [target] {
            if (target) bringForward(target->widget());
        });
        windowListActions_.push_back(action);
        ++number;
    }
}

}  // namespace tv::app
