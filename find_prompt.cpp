#include "forms/framework/find_prompt.h"

#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "ui_find_prompt.h"

#include <QPushButton>
#include <QScreen>

namespace tv::forms {

FindPrompt::FindPrompt(QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::FindPrompt>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("FindResults"));
    setTag(this, QString());
    connect(ui_->nextf, &QPushButton::clicked, this, [this] { answerWith(QStringLiteral("Next")); });
    connect(ui_->Openf, &QPushButton::clicked, this, [this] { answerWith(QStringLiteral("Open")); });
    connect(ui_->Cancelf, &QPushButton::clicked, this, [this] { answerWith(QString()); });
    // Escape and the close box stop the search as Cancel does: the tag stays empty.
}

FindPrompt::~FindPrompt() = default;

QString FindPrompt::answer() const { return tagOf(this); }

void FindPrompt::answerWith(const QString& tag) {
    setTag(this, tag);
    accept();
}

void FindPrompt::placeBeside(const QRect& globalRow) {
    adjustSize();
    const QScreen* screen = parentWidget() ? parentWidget()->screen() : this->screen();
    const QRect room = screen ? screen->availableGeometry() : QRect();
    const QSize size = frameGeometry().size();
    QPoint at(globalRow.center().x() - size.width() / 2, globalRow.bottom() + 8);
    if (room.isValid() && at.y() + size.height() > room.bottom())
        at.setY(globalRow.top() - 8 - size.height());
    if (room.isValid()) {
        at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - size.width())));
        at.setY(std::max(at.y(), room.top()));
    }
    move(at);
}

}  // namespace tv::forms
