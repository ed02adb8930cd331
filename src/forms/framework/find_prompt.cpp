#include "forms/framework/find_prompt.h"

#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "ui_find_prompt.h"

#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace tv::forms {

FindPrompt::FindPrompt(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::FindPrompt>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("FindResults"));
    // Escape and the close box stop the search as Cancel does: the tag stays empty.
    setTag(this, QString());
    connect(ui_->nextf, &QPushButton::clicked, this,
            [this] { answerWith(QStringLiteral("Next")); });
    connect(ui_->Openf, &QPushButton::clicked, this,
            [this] { answerWith(QStringLiteral("Open")); });
    connect(ui_->Cancelf, &QPushButton::clicked, this, [this] { answerWith(QString()); });
}

FindPrompt::~FindPrompt() = default;

QString FindPrompt::answer() const { return tagOf(this); }

void FindPrompt::allowOpen(bool allowed) { ui_->Openf->setEnabled(allowed); }

void FindPrompt::answerWith(const QString& tag) {
    setTag(this, tag);
    accept();
}

void FindPrompt::placeOutside(const QRect& listWindow, const QRect& row) {
    adjustSize();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    const QSize size = frameGeometry().size();
    constexpr int kGap = 8;
    auto fits = [&](int top) {
        return !room.isValid() || (top >= room.top() && top + size.height() <= room.bottom());
    };
    int top = listWindow.bottom() + kGap;
    if (!fits(top)) top = listWindow.top() - kGap - size.height();
    if (!fits(top)) top = row.bottom() + kGap;
    if (!fits(top)) top = row.top() - kGap - size.height();
    int left = listWindow.center().x() - size.width() / 2;
    if (room.isValid()) {
        left = std::clamp(left, room.left(), std::max(room.left(), room.right() - size.width()));
        top = std::clamp(top, room.top(), std::max(room.top(), room.bottom() - size.height()));
    }
    move(left, top);
}

}  // namespace tv::forms
