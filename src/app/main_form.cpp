#include "app/main_form.h"

#include "app/about_box.h"
#include "app/mail_check.h"
#include "app/menu_mnemonics.h"
#include "app/menu_tables.h"
#include "app/open_windows.h"
#include "app/tip_window.h"
#include "app/toolbar_buttons.h"
#include "app/toolbar_customiser.h"
#include "core/convert.h"
#include "core/format.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"
#include "data/user_rights.h"
#include "data/workflow.h"
#include "forms/activities/activities_windows.h"
#include "forms/admin/admin_windows.h"
#include "forms/customers/customers_windows.h"
#include "forms/diary/diary_windows.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/definition_rows.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/status.h"
#include "forms/framework/twips.h"
#include "forms/framework/window_host.h"
#include "forms/messages/messages_windows.h"
#include "forms/options/options_windows.h"
#include "forms/reports/reports_windows.h"
#include "forms/sales/sales_windows.h"
#include "forms/scripts/scripts_windows.h"
#include "forms/service/service_windows.h"
#include "messaging/client_hooks.h"
#include "ui_main_form.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <algorithm>
#include <optional>

namespace tv::app {

namespace {

const QString kFormName = QStringLiteral("MainForm");
const QString kUsersTable = QStringLiteral("System Users");

constexpr int kMailInterval = 30000;  // ms
constexpr int kWelcomeStatus = 900;
constexpr int kLoadingRightsStatus = 943;

// Columns of the signed-in user's row, counted from 1 as FieldValues holds them.
constexpr int kAdministratorField = 11;
constexpr int kWorkflowField = 13;
constexpr int kBillingField = 14;

// Status bar panels: widths in twips, as designed.
constexpr int kPanelWidths[5] = {7056, 2540, 1764, 1411, 1764};

// A flag column's text as a boolean; Null, empty and unreadable texts are false.
bool flagOf(const QString& text) {
    bool on = false;
    if (text.trimmed().isEmpty()) return false;
    (void)data::attempt([&] { on = tv::CBool(tv::Variant(text)); });
    return on;
}

int settingOr(const SettingKey& key, int fallback) {
    int value = fallback;
    (void)data::attempt([&] { value = SettingInt(key); });
    return value;
}

// Every window area puts its windows into the catalogue, then the shell adds its own.
void registerWindows() {
    forms::registerFrameworkRecordWindows();
    forms::registerAdminWindows();
    forms::registerCustomerWindows();
    forms::registerSalesWindows();
    forms::registerServiceWindows();
    forms::registerActivityWindows();
    forms::registerOptionsWindows();
    forms::registerReportWindows();
    forms::registerMessageWindows();
    forms::registerScriptWindows();
    forms::registerDiaryWindows();
    forms::registerWindow(QStringLiteral("About"),
                          [](QWidget* main) { return new AboutBox(main); });
    forms::registerWindow(QStringLiteral("Tip"), [](QWidget* main) { return new TipWindow(main); });
}

}  // namespace

MainForm::MainForm(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::MainForm>()) {
    ui->setupUi(this);
    setCentralWidget(ui->MdiArea);
    ui->MdiArea->viewport()->installEventFilter(this);
    for (QMenu* m : findChildren<QMenu*>()) m->setToolTipsVisible(true);

    registerWindows();
    forms::setMdiArea(ui->MdiArea);
    buildStatusBar();
    useDesktopIcons();
    buildToolbarButtons();
    connectCommands();
    connect(ui->mnuWindow, &QMenu::aboutToShow, this, &MainForm::fillWindowMenu);
    new MenuMnemonics(menuBar(), ui->MdiArea);

    // The toolbar's own menu offers the customise dialog, as a double-click on it does.
    ui->Toolbar1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(ui->Toolbar1, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QMenu popup(this);
        popup.addAction(ui->mnuCustomizeToolbar);
        popup.exec(ui->Toolbar1->mapToGlobal(at));
    });
    ui->Toolbar1->installEventFilter(this);

    messaging::setStatusReporter([](int number) { forms::ShowStatusMessage(number); });

    mailTimer_ = new QTimer(this);
    mailTimer_->setInterval(kMailInterval);
    connect(mailTimer_, &QTimer::timeout, this, &MainForm::checkMail);
    mailTimer_->start();
}

MainForm::~MainForm() {
    if (forms::statusPanel() == panels_[0]) forms::setStatusPanel(nullptr);
}

void MainForm::buildStatusBar() {
    static const char* const kNames[5] = {"MessagePanel", "UserPanel", "DatePanel", "TimePanel",
                                          "MailPanel"};
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(this);
        panel->setObjectName(QString::fromLatin1(kNames[i]));
        panel->setFrameShape(QFrame::StyledPanel);
        panel->setFrameShadow(QFrame::Sunken);
        panel->setMinimumWidth(forms::twipsToPixelsX(kPanelWidths[i]));
        panels_[i] = panel;
    }
    panels_[1]->setText(tr("User"));
    panels_[1]->setToolTip(tr("Signed-in user"));
    panels_[4]->setText(tr("Mail"));
    panels_[4]->setAlignment(Qt::AlignCenter);
    panels_[4]->setToolTip(tr("You have messages; double-click to open your inbox"));
    panels_[4]->installEventFilter(this);
    panels_[4]->hide();

    statusBar()->addWidget(panels_[0], 1);
    for (int i = 1; i < 5; ++i) statusBar()->addPermanentWidget(panels_[i]);
    forms::setStatusPanel(panels_[0]);

    updateClock();
    clockTimer_ = new QTimer(this);
    clockTimer_->setInterval(1000);
    connect(clockTimer_, &QTimer::timeout, this, &MainForm::updateClock);
    clockTimer_->start();
}

void MainForm::updateClock() {
    const tv::DateTime now = data::prompter().now();
    panels_[2]->setText(tv::Format(tv::Variant(now), QStringLiteral("Short Date")));
    panels_[3]->setText(tv::Format(tv::Variant(now), QStringLiteral("Short Time")));
}

void MainForm::buildToolbarButtons() {
    // Menu commands show the pictures of their buttons, and a few common ones their own;
    // a command on the menu bar itself (Search) keeps its text there.
    const QList<QAction*> onMenuBar = ui->MenuBar->actions();
    for (QAction* item : findChildren<QAction*>()) {
        if (onMenuBar.contains(item)) continue;
        if (const QIcon icon = commandIcon(item->objectName()); !icon.isNull()) item->setIcon(icon);
    }
    for (const ToolbarButton& b : toolbarButtons()) {
        const QString id = QString::fromLatin1(b.identifier);
        auto* action = new QAction(toolbarIcon(id), QString::fromLatin1(b.text), this);
        action->setObjectName(QStringLiteral("Button_") + id);
        forms::setTag(action, id);
        action->setToolTip(QString::fromLatin1(b.text));
        const QString command = QString::fromLatin1(b.menuItem);
        connect(action, &QAction::triggered, this, [this, command] { runCommand(command); });
        // A button is usable exactly when the menu command it runs is.
        if (QAction* item = menuItem(command)) {
            action->setEnabled(item->isEnabled());
            connect(item, &QAction::enabledChanged, action, &QAction::setEnabled);
        }
        toolbarActions_.push_back(action);
    }
}

void MainForm::load() {
    applyCaptions();
    ui->mnuShowTips->setChecked(settingOr(keys::ShowTipsAtStartup, 1) != 0);
    // The busy pointer's own picture (state().BusyIconPath) needs no loading here: the
    // prompter turns it into the cursor whenever the busy pointer is set.
    SetFlatToolbar(ui->Toolbar1, 1);
    applyToolbarLayout(restoreToolbarLayout());
    SetToolbarTips(kFormName, ui->Toolbar1);
    panels_[1]->setText(data::state().CurrentUserId);
}

void MainForm::applyCaptions() {
    // The window framework's lookup, so a Null column keeps the designed text here too.
    if (const auto title = forms::captionRow(kFormName, QStringLiteral("Caption"));
        title && title->caption)
        setWindowTitle(*title->caption);
    // Menus and their items; the toolbar's buttons take only tool tips (SetToolbarTips).
    QList<QObject*> items;
    for (QMenu* m : ui->MenuBar->findChildren<QMenu*>()) items << m;
    for (QAction* a : ui->MenuBar->findChildren<QAction*>()) items << a;
    for (QAction* a : findChildren<QAction*>(QString(), Qt::FindDirectChildrenOnly)) items << a;
    for (QObject* item : items) {
        const QString tag = forms::captionKey(item);
        if (tag.isEmpty()) continue;
        if (std::find(toolbarActions_.begin(), toolbarActions_.end(), item) !=
            toolbarActions_.end())
            continue;
        const std::optional<forms::DefinitionRow> row = forms::captionRow(kFormName, tag);
        if (!row) continue;
        if (row->caption) forms::setCaption(item, *row->caption);
        if (row->toolTip) forms::setToolTip(item, *row->toolTip);
    }
}

bool MainForm::event(QEvent* event) {
    if (event->type() == QEvent::WindowActivate) {
        // The first activation opens windows of its own: let the activation finish first.
        QTimer::singleShot(0, this, &MainForm::activate);
    } else if (event->type() == QEvent::Show && !activated_) {
        // A display without a window manager never activates the window; the signed-in
        // user must still get their rights, mail check and welcome.
        QTimer::singleShot(0, this, [this] {
            if (!activated_) activate();
        });
    }
    return QMainWindow::event(event);
}

void MainForm::activate() {
    if (!activated_) {
        activated_ = true;
        loadAccessAndFlags();
        if (settingOr(keys::AutoloadToDoList, 0) != 0) runCommand(QStringLiteral("mnuToDo"));
        if (settingOr(keys::ShowTipsAtStartup, 1) != 0) showWindow(QStringLiteral("Tip"), false);
        forms::ShowStatusMessage(kWelcomeStatus);
        panels_[1]->setText(data::state().CurrentUserId);
        data::prompter().processEvents();
        applyToolbarLayout(restoreToolbarLayout());
        // Without waiting half a minute: a user who signs in to waiting mail sees it at once.
        checkMail();
    }
    data::prompter().setPointer(data::kPointerDefault);
}

void MainForm::loadAccessAndFlags() {
    data::AppState& st = data::state();
    forms::ShowStatusMessage(kLoadingRightsStatus);
    st.UserAccess = data::readUserAccess(st.CurrentUserId);
    for (const data::AccessEntry& entry : st.UserAccess) {
        if (!entry.CanView) DisableMenuForTable(entry.TableName);
    }

    bool administrator = false;
    bool workflow = false;
    bool billing = false;
    if (data::LoadRecord(kUsersTable, st.CurrentUserId)) {
        administrator = flagOf(st.FieldValues(kAdministratorField));
        workflow = flagOf(st.FieldValues(kWorkflowField));
        billing = flagOf(st.FieldValues(kBillingField));
    }
    st.IsAdministrator = administrator;
    st.HasBillingAccess = billing;
    ui->mnuAdmin->menuAction()->setVisible(administrator);

    if (workflow) {
        const QString caption = forms::GetCaptionText(kFormName, QStringLiteral("Caption2"));
        if (!caption.isEmpty())
            setWindowTitle(caption + QStringLiteral(" (") + st.CurrentUserId + u')');
        data::BuildWorkflowColumns();
        st.WorkflowMode = true;
    }
    if (!billing) ui->mnuBilling->menuAction()->setVisible(false);
}

void MainForm::DisableMenuForTable(const QString& name) {
    for (const QString& item : menuItemsForTable(name)) {
        if (QAction* action = menuItem(item)) action->setEnabled(false);
    }
}

void MainForm::hideToolbarButtons() {
    const QList<QAction*> buttons = ui->Toolbar1->actions();
    for (const data::AccessEntry& entry : data::state().UserAccess) {
        if (entry.CanView) continue;
        for (QAction* button : buttons) {
            if (button->isSeparator()) continue;
            if (forms::tagOf(button).compare(entry.TableName, Qt::CaseInsensitive) == 0) {
                button->setVisible(false);
                break;
            }
        }
    }
}

void MainForm::applyToolbarLayout(const QStringList& layout) {
    ui->Toolbar1->clear();
    for (const QString& id : layout) {
        if (id == kToolbarSeparator) {
            ui->Toolbar1->addSeparator();
            continue;
        }
        for (QAction* action : toolbarActions_) {
            if (forms::tagOf(action) == id) ui->Toolbar1->addAction(action);
        }
    }
    SetFlatToolbar(ui->Toolbar1, 1);
    // Rights are known from the first activation on; before it nothing is hidden.
    if (activated_) hideToolbarButtons();
}

QStringList MainForm::toolbarLayout() const {
    QStringList layout;
    for (QAction* action : ui->Toolbar1->actions())
        layout << (action->isSeparator() ? kToolbarSeparator : forms::tagOf(action));
    return layout;
}

void MainForm::customiseToolbar() {
    ToolbarCustomiser dialog(toolbarLayout(), this);
    if (dialog.exec() != QDialog::Accepted) return;
    applyToolbarLayout(dialog.arrangement());
    // Kept at once as well as on closing, so a crash does not lose the user's work.
    saveToolbarLayout(toolbarLayout());
}

void MainForm::checkMail() {
    data::AppState& st = data::state();
    st.MailCheckMode = settingOr(keys::EmailType, 0);
    if (st.MailCheckMode != 0) {
        // Mail goes through Outlook: the post office is not watched again this run.
        mailTimer_->stop();
        panels_[4]->hide();
        return;
    }
    const int state = checkForMail();
    panels_[4]->setVisible(state != -1);
    if (state == 1) {
        for (int i = 0; i < 3; ++i) data::prompter().beep();
    }
}

void MainForm::checkInbox() {
    data::AppState& st = data::state();
    st.MailCheckMode = settingOr(keys::EmailType, 0);
    showWindow(st.MailCheckMode != 0 ? QStringLiteral("olInbox") : QStringLiteral("Inbox"), false);
}

bool MainForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == panels_[4] && event->type() == QEvent::MouseButtonDblClick) {
        checkInbox();
        return true;
    }
    if (watched == ui->MdiArea->viewport() && event->type() == QEvent::ContextMenu) {
        ui->mnuCustInfo->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
        return true;
    }
    if (watched == ui->Toolbar1 && event->type() == QEvent::MouseButtonDblClick) {
        customiseToolbar();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainForm::closeEvent(QCloseEvent* event) {
    // Children first: each saves its own layout, and one may refuse (unsaved changes).
    ui->MdiArea->closeAllSubWindows();
    if (!ui->MdiArea->subWindowList().isEmpty()) {
        event->ignore();
        return;
    }
    saveToolbarLayout(toolbarLayout());
    mailTimer_->stop();
    event->accept();
    QCoreApplication::quit();
}

QMdiArea* MainForm::mdiArea() const { return ui->MdiArea; }

QAction* MainForm::menuItem(const QString& name) const {
    if (auto* action = findChild<QAction*>(name)) return action;
    if (auto* m = findChild<QMenu*>(name)) return m->menuAction();
    return nullptr;
}

QMenu* MainForm::menu(const QString& name) const { return findChild<QMenu*>(name); }

QToolBar* MainForm::toolbar() const { return ui->Toolbar1; }

QLabel* MainForm::statusPanel(int panel) const {
    return panel >= 1 && panel <= 5 ? panels_[panel - 1] : nullptr;
}

void MainForm::setStatusText(const QString& text) { panels_[0]->setText(text); }

}  // namespace tv::app
