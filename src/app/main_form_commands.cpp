// The main window's command dispatch: what each menu item runs, the windows opened by
// name, and the commands with a little logic of their own (Show Tips, the lookup-table
// chooser, technical support, the Window menu).
#include "app/list_windows.h"
#include "app/main_form.h"
#include "app/menu_tables.h"
#include "app/open_windows.h"
#include "app/pending_window.h"
#include "app/window_registry.h"
#include "core/convert.h"
#include "core/settings_keys.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "forms/framework/controls.h"
#include "forms/framework/status.h"
#include "forms/framework/window_host.h"
#include "ui_main_form.h"

#include <QActionGroup>
#include <QCheckBox>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>
#include <QPointer>

namespace tv::app {

namespace {

constexpr int kOpeningListStatus = 938;

const QString kSupportTitle = QStringLiteral("Tolvarine Technical Support");
const QString kSupportText = QStringLiteral(
    "EMAIL SUPPORT\n"
    "Send questions about Tolvarine to your Tolvarine administrator, or e-mail "
    "support@tolvarine.example with your user id, the window you were using and the "
    "message you saw.\n\n"
    "SOFTWARE UPDATES\n"
    "New versions of Tolvarine are announced on www.tolvarine.example/updates; Help, About "
    "Tolvarine shows the version you are running.\n\n"
    "COMMENTS AND SUGGESTIONS\n"
    "We welcome your ideas for making Tolvarine better: write to "
    "suggestions@tolvarine.example.");

bool nonZero(const QString& text) { return !text.trimmed().isEmpty() && tv::Val(text) != 0; }

}  // namespace

void MainForm::connectCommands() {
    auto modal = [this](const char* name) {
        return [this, name] { showWindow(QString::fromLatin1(name), true); };
    };
    auto modeless = [this](const char* name) {
        return [this, name] { showWindow(QString::fromLatin1(name), false); };
    };

    commands_ = {
        {"mnuOptions", modal("Options")},
        {"mnuShowTips", [this] { toggleShowTips(); }},
        {"selectcheckinbox", [this] { checkInbox(); }},
        {"mnuPrintSetup", [this] { printerSetup(); }},
        {"mnuSend", modal("SendSelect")},
        {"mnuImport", modal("olImport")},
        {"mnuExport", modal("olExport")},
        {"mnuExit", [this] { close(); }},
        {"mnuSearch", modeless("Search")},
        {"mnuRunBilling", modal("Billing")},
        {"mnuCustBilling", modal("BillInfo")},
        {"mnuDiary", modeless("Diary")},
        {"mnuToDo",
         [this] {
             // The to-do list comes forward in the normal state, never maximised.
             if (QWidget* w = showWindow(QStringLiteral("ToDoList"), false)) {
                 auto* sub = qobject_cast<QMdiSubWindow*>(w->parentWidget());
                 QWidget* frame = sub ? static_cast<QWidget*>(sub) : w;
                 if (frame->isMaximized()) frame->showNormal();
                 w->setFocus();
             }
         }},
        {"mnuLookupTables", [this] { lookupTables(); }},
        {"mnuRunScript", modal("SelectScript")},
        {"mnuReportRun", modeless("RunReport")},
        {"mnuStatistics", modeless("Statistics")},
        {"mnuCounters", modal("CounterList")},
        {"mnuMandatory", modal("Mandatory")},
        {"mnuReplace", modal("Replace")},
        {"mnuCustomAdd", modal("CField")},
        {"mnuCascade", [this] { ui->MdiArea->cascadeSubWindows(); }},
        {"mnuTile", [this] { ui->MdiArea->tileSubWindows(); }},
        {"mnuArrange", [this] { arrangeIcons(); }},
        {"mnuCustomizeToolbar", [this] { customiseToolbar(); }},
        {"mnuHelpIndex", modeless("tvHelp")},
        {"mnuHelpSearch", [this] { helpSearch(); }},
        {"mnuSupport", [this] { technicalSupport(); }},
        {"mnuAbout", modal("About")},
    };
    for (const auto& [item, table] : listCommands()) {
        const QString name = table;
        commands_[item] = [this, name] { ShowListForm(name); };
    }
    for (const auto& [item, command] : commands_) {
        QAction* action = findChild<QAction*>(item);
        if (!action) continue;
        const std::function<void()> run = command;
        connect(action, &QAction::triggered, this, [run] { run(); });
    }
}

void MainForm::runCommand(const QString& name) {
    if (QAction* action = menuItem(name)) {
        if (action->isEnabled()) action->trigger();
    }
}

std::int16_t MainForm::ShowListForm(const QString& tableName) {
    if (FindOpenWindow(tableName, kListWindowsOnly)) return -1;
    forms::ShowStatusMessage(kOpeningListStatus);
    data::state().SharedValues[0] = tableName;
    QWidget* list = createListWindow(tableName);
    if (!list) return -1;
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
    if (isWindowRegistered(name)) {
        if (!modal) {
            // Each of these windows exists once: asking again brings it forward.
            for (QWidget* w : openWindows()) {
                if (w->objectName() == name) {
                    bringForward(w);
                    return w;
                }
            }
        }
        QWidget* window = createWindow(name, this);
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

void MainForm::lookupTables() {
    data::AppState& st = data::state();
    st.SharedValues.fill(QString());
    if (!isWindowRegistered(QStringLiteral("TableList"))) {
        showWindow(QStringLiteral("TableList"), true);
        return;
    }
    showWindow(QStringLiteral("TableList"), true);
    const QString table = st.SharedValues[0];
    if (table.isEmpty()) return;

    // Other users' changes to the codes must be visible in the window about to open.
    (void)data::attempt([] { engine::Engine::instance().Idle(true); });
    if (FindOpenWindow(table, kOtherWindowsOnly)) return;
    QWidget* window = createWindow(QStringLiteral("LookupTable"), this);
    if (!window) {
        showWindow(QStringLiteral("LookupTable"), false);
        return;
    }
    forms::setTag(window, table);
    if (auto* colour = window->findChild<QCheckBox*>(QStringLiteral("ColourSupport")))
        colour->setChecked(nonZero(st.SharedValues[2]));
    if (auto* picture = window->findChild<QCheckBox*>(QStringLiteral("PictureSupport")))
        picture->setChecked(nonZero(st.SharedValues[3]));
    window->setAttribute(Qt::WA_DeleteOnClose);
    if (!qobject_cast<QDialog*>(window)) forms::hostInMdi(window);
    window->show();
    bringForward(window);
}

void MainForm::technicalSupport() {
    data::prompter().messageBox(kSupportTitle, kSupportText, data::msgbox::kInformation);
}

void MainForm::helpSearch() {
    QWidget* help = showWindow(QStringLiteral("tvHelp"), false);
    // The help viewer's search entry point, when the viewer is there to have one.
    if (help) QMetaObject::invokeMethod(help, "searchHelp");
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
