#include "forms/framework/date_box.h"

#include "core/convert.h"
#include "data/prompter.h"

#include <QCalendarWidget>
#include <QKeyEvent>
#include <QLineEdit>

namespace tv::forms {

namespace {

// The earliest date the edit offers, standing for "no date"; real dates start a day later.
const QDate kNoDate(1752, 9, 14);

}  // namespace

DateBox::DateBox(QWidget* parent) : QDateEdit(parent) {
    setCalendarPopup(true);
    setMinimumDate(kNoDate);
    // The special-value text must not be empty for Qt to use it; one blank reads as empty.
    setSpecialValueText(QStringLiteral(" "));
    setDate(kNoDate);
}

bool DateBox::isNull() const { return date() == minimumDate(); }

QString DateBox::dateText() const { return isNull() ? QString() : date().toString(Qt::ISODate); }

void DateBox::setDateText(const QString& text) {
    tv::DateTime parsed;
    if (text.trimmed().isEmpty() || !tv::parseDateTime(text.trimmed(), &parsed)) {
        clear();
        return;
    }
    const QDate d = tv::toQDateTime(parsed).date();
    if (d.isValid() && d > minimumDate()) {
        setDate(d);
    } else {
        clear();
    }
}

void DateBox::clear() { setDate(minimumDate()); }

void DateBox::keyPressEvent(QKeyEvent* event) {
    const bool erase = event->key() == Qt::Key_Delete || event->key() == Qt::Key_Backspace;
    if (erase && lineEdit()->selectedText() == lineEdit()->text()) {
        clear();
        event->accept();
        return;
    }
    QDateEdit::keyPressEvent(event);
}

void DateBox::mousePressEvent(QMouseEvent* event) {
    QDateEdit::mousePressEvent(event);
    QCalendarWidget* calendar = calendarWidget();
    if (isNull() && calendar && calendar->isVisible()) {
        const QDate today = tv::toQDateTime(data::prompter().now()).date();
        calendar->setCurrentPage(today.year(), today.month());
    }
}

}  // namespace tv::forms
