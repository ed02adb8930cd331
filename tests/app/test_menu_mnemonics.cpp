// The active window's access keys take the letter from the menu bar while it is active,
// and give it back when another window, or none, is active.
#include "app/menu_mnemonics.h"

#include <gtest/gtest.h>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;

QWidget* windowWith(const QString& button, const QString& label) {
    auto* w = new QWidget;
    auto* layout = new QVBoxLayout(w);
    auto* edit = new QLineEdit(w);
    auto* caption = new QLabel(label, w);
    caption->setBuddy(edit);
    layout->addWidget(caption);
    layout->addWidget(edit);
    layout->addWidget(new QPushButton(button, w));
    return w;
}

TEST(MenuMnemonics, TheActiveWindowsLettersWinAndComeBackAfterIt) {
    QMainWindow main;
    auto* area = new QMdiArea(&main);
    main.setCentralWidget(area);
    for (const QString& title : {u"&File"_s, u"&Edit"_s, u"&Search"_s, u"Fu&nctions"_s})
        main.menuBar()->addMenu(title);
    tv::app::MenuMnemonics mnemonics(main.menuBar(), area);
    auto titles = [&] {
        QStringList texts;
        for (QAction* a : main.menuBar()->actions()) texts << a->text();
        return texts.join(u'|');
    };

    QMdiSubWindow* record = area->addSubWindow(windowWith(u"&Save"_s, u"&Email Address:"_s));
    QMdiSubWindow* other = area->addSubWindow(windowWith(u"Sa&ve"_s, u"&Name:"_s));
    main.show();
    mnemonics.follow(record);
    EXPECT_EQ(titles(), u"&File|Edit|Search|Fu&nctions"_s);
    mnemonics.follow(other);
    EXPECT_EQ(titles(), u"&File|&Edit|&Search|Functions"_s);
    mnemonics.follow(nullptr);
    EXPECT_EQ(titles(), u"&File|&Edit|&Search|Fu&nctions"_s);
}

}  // namespace
}  // namespace tvtest
