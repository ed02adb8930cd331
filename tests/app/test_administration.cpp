// Administration is for administrators however it is asked for: a user without the flag
// reaches no administration window through the Admin menu's items (clicked, by shortcut
// or mnemonic), the toolbar, the pop-up menu, ShowSpecialForm, or a list or record window
// of an administration table asked for directly; an administrator reaches them.
#include "app_fixture.h"

#include "app/menu_tables.h"
#include "data/app_state.h"
#include "data/user_rights.h"
#include "forms/framework/controls.h"
#include "forms/framework/record_opener.h"

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolBar>

namespace tvtest {
namespace {

using tv::data::state;
namespace msgbox = tv::data::msgbox;

const QStringList kAdministrationWindows{"CounterList", "Mandatory", "Replace",
                                         "CField",      "User",      "Security"};

// Closes every modal window as soon as it shows, keeping its name.
class ModalCloser {
public:
    explicit ModalCloser(QObject* context) : timer_(context) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                names << dialog->objectName();
                dialog->reject();
            }
        });
        timer_.start(0);
    }
    QStringList names;

private:
    QTimer timer_;
};

// The administration windows open or shown: the windows themselves, lists of the
// administration tables, the notices of those not written yet, and modal ones closed.
QStringList administrationWindowsSeen(const QStringList& modals) {
    QStringList seen;
    for (QWidget* w : QApplication::allWidgets()) {
        const QString name = w->objectName();
        const QString tag = tv::forms::tagOf(w);
        if (kAdministrationWindows.contains(name) ||
            (name == "ListForm" && tv::data::isAdministrationTable(tag)) ||
            (name == "NotAvailable" && kAdministrationWindows.contains(tag)))
            seen << name + ":" + tag;
    }
    for (const QString& m : modals)
        if (kAdministrationWindows.contains(m)) seen << m;
    return seen;
}

void triggerAll(QMenu* menu) {
    for (QAction* a : menu->actions()) {
        if (a->menu())
            triggerAll(a->menu());
        else if (!a->isSeparator())
            a->trigger();
    }
}

// The Admin menu's items, clicked and by their shortcuts, and its mnemonic.
void walkAdminMenu(tv::app::MainForm& form) {
    QMenu* admin = form.menu("mnuAdmin");
    triggerAll(admin);
    for (QAction* a : admin->findChildren<QAction*>())
        if (!a->shortcut().isEmpty()) QTest::keySequence(&form, a->shortcut());
    QTest::keyClick(&form, Qt::Key_A, Qt::AltModifier);
    QApplication::processEvents();
}

TEST_F(MainFormTest, OnlyAdministratorsReachAdministrationWindows) {
    addUser("dana");
    state().CurrentUserId = "dana";
    auto form = openMainForm();
    form->show();
    ASSERT_FALSE(state().IsAdministrator);
    ModalCloser modals(form.get());

    walkAdminMenu(*form);
    EXPECT_FALSE(form->menu("mnuAdmin")->isVisible()) << "Alt+A opened the hidden menu";
    for (QAction* button : form->toolbar()->actions()) button->trigger();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5), QPoint(5, 5));
    QApplication::sendEvent(form->mdiArea()->viewport(), &click);
    auto* popup = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_TRUE(popup);
    popup->close();
    triggerAll(popup);
    for (const QString& name : tv::app::specialFormNames()) form->ShowSpecialForm(name);
    // The lists and record window of the administration tables, asked for directly.
    for (const char* table : {"System Users", "Field Definitions", "Form Captions"}) {
        ask.message(msgbox::kOk, "administrators only");
        EXPECT_EQ(form->ShowListForm(table), 0) << table;
    }
    ask.message(msgbox::kOk, "administrators only");
    tv::data::FieldValueArray admin;
    admin.resize(14);
    admin(1) = "admin";
    state().PendingEditMode = 2;
    EXPECT_FALSE(tv::forms::OpenRecordWindow("System Users", admin));
    EXPECT_EQ(administrationWindowsSeen(modals.names), QStringList());

    // The same ways in open them for an administrator.
    addUser("root", true);
    state().CurrentUserId = "root";
    auto second = openMainForm();
    ASSERT_TRUE(state().IsAdministrator);
    modals.names.clear();
    triggerAll(second->menu("mnuAdmin"));
    second->ShowSpecialForm("Counters");
    const QStringList seen = administrationWindowsSeen(modals.names);
    for (const char* window : {"ListForm:System Users", "ListForm:Field Definitions",
                               "ListForm:Form Captions", "CounterList", "NotAvailable:Replace"})
        EXPECT_TRUE(seen.contains(window)) << window;
    EXPECT_EQ(seen.count("CounterList"), 2);
}

}  // namespace
}  // namespace tvtest
