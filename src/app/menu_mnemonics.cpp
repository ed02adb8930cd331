#include "app/menu_mnemonics.h"

#include <QAbstractButton>
#include <QAction>
#include <QGroupBox>
#include <QKeySequence>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QTabBar>
#include <set>

namespace tv::app {

namespace {

// The access keys of every control in the window, hidden pages included: a page brought
// forward later must not find its keys taken by the menu bar.
std::set<QKeySequence> accessKeys(QWidget* window) {
    std::set<QKeySequence> keys;
    auto add = [&](const QString& text) {
        const QKeySequence key = QKeySequence::mnemonic(text);
        if (!key.isEmpty()) keys.insert(key);
    };
    for (auto* button : window->findChildren<QAbstractButton*>()) add(button->text());
    for (auto* label : window->findChildren<QLabel*>())
        if (label->buddy()) add(label->text());
    for (auto* box : window->findChildren<QGroupBox*>()) add(box->title());
    for (auto* tabs : window->findChildren<QTabBar*>())
        for (int i = 0; i < tabs->count(); ++i) add(tabs->tabText(i));
    return keys;
}

}  // namespace

MenuMnemonics::MenuMnemonics(QMenuBar* bar, QMdiArea* area) : QObject(bar), bar_(bar) {
    connect(area, &QMdiArea::subWindowActivated, this, &MenuMnemonics::follow);
}

void MenuMnemonics::restore() {
    for (const auto& [action, caption] : stripped_)
        if (action) action->setText(caption);
    stripped_.clear();
}

void MenuMnemonics::follow(QMdiSubWindow* active) {
    restore();
    if (!active || !active->widget()) return;
    const std::set<QKeySequence> taken = accessKeys(active->widget());
    if (taken.empty()) return;
    for (QAction* title : bar_->actions()) {
        const QString caption = title->text();
        if (!taken.count(QKeySequence::mnemonic(caption))) continue;
        QString plain = caption;
        plain.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
        stripped_[title] = caption;
        title->setText(plain);
    }
}

}  // namespace tv::app
