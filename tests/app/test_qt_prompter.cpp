// The real prompter: classic box styles become Qt's buttons, icon, default and escape
// button; a pressed key comes back as the classic code; the busy pointer replaces.
#include "app/qt_prompter.h"

#include "data/app_state.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace tvtest {
namespace {

namespace msgbox = tv::data::msgbox;
using tv::app::QtPrompter;
using B = QMessageBox;

TEST(QtPrompterStyle, ButtonsIconDefaultAndEscapeFollowTheStyleNumber) {
    struct Case {
        int style;
        QMessageBox::StandardButtons buttons;
        QMessageBox::Icon icon;
        QMessageBox::StandardButton defaultButton;
        QMessageBox::StandardButton escapeButton;
    };
    const Case cases[] = {
        {msgbox::kAbortRetryIgnore + msgbox::kCritical + msgbox::kDefaultButton2,
         B::Abort | B::Retry | B::Ignore, B::Critical, B::Retry, B::Abort},
        {msgbox::kYesNoCancel + msgbox::kExclamation + msgbox::kDefaultButton3,
         B::Yes | B::No | B::Cancel, B::Warning, B::Cancel, B::Cancel},
        {msgbox::kYesNo + msgbox::kQuestion + msgbox::kDefaultButton2, B::Yes | B::No, B::Question,
         B::No, B::No},
        {msgbox::kRetryCancel + msgbox::kDefaultButton3, B::Retry | B::Cancel, B::NoIcon, B::Retry,
         B::Cancel},  // no third button: the first is the default
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        QMessageBox box;
        QtPrompter::applyStyle(box, c.style);
        EXPECT_EQ(box.standardButtons(), c.buttons);
        EXPECT_EQ(box.icon(), c.icon);
        EXPECT_EQ(box.standardButton(box.defaultButton()), c.defaultButton);
        EXPECT_EQ(box.standardButton(qobject_cast<QAbstractButton*>(box.escapeButton())),
                  c.escapeButton);
    }
}

// Presses a key on the box once it is up.
void pressOnBox(int key) {
    QTimer::singleShot(0, [key] {
        QWidget* box = QApplication::activeModalWidget();
        ASSERT_NE(box, nullptr);
        QTest::keyClick(box, static_cast<Qt::Key>(key));
    });
}

TEST(QtPrompterBox, EscapeAndEnterAnswerAsTheClassicBox) {
    QtPrompter p;
    pressOnBox(Qt::Key_Escape);
    EXPECT_EQ(p.messageBox("Delete", "Delete it?", msgbox::kYesNo + msgbox::kQuestion),
              msgbox::kNo);
    pressOnBox(Qt::Key_Return);
    EXPECT_EQ(p.messageBox("Delete", "Delete it?", msgbox::kYesNo + msgbox::kQuestion),
              msgbox::kYes);
    pressOnBox(Qt::Key_Escape);
    EXPECT_EQ(p.messageBox("Note", "Saved.", msgbox::kOkOnly), msgbox::kOk);
}

TEST(QtPrompterPointer, EachCallReplacesThePointer) {
    QtPrompter p;
    p.setPointer(tv::data::kPointerHourglass);
    p.setPointer(tv::data::kPointerHourglass);
    ASSERT_NE(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
    p.setPointer(tv::data::kPointerCustom, QStringLiteral("/no/such/tvMouse.ico"));
    EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::WaitCursor)
        << "an icon that does not load falls back to the hourglass";
    p.setPointer(tv::data::kPointerDefault);
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "one reset undoes every earlier set";
}

}  // namespace
}  // namespace tvtest
