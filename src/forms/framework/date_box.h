// The date combo box of record windows: a date edit with a calendar drop-down that can
// also hold no date at all, since most date columns may be Null. "No date" is the edit's
// minimum date, shown as a blank through Qt's special-value text; Delete or Backspace on
// a fully selected box empties it.
#pragma once

#include <QDateEdit>
#include <QString>

namespace tv::forms {

class DateBox : public QDateEdit {
    Q_OBJECT

public:
    explicit DateBox(QWidget* parent = nullptr);

    bool isNull() const;
    // The date as ISO text ("2026-12-05"), empty when the box holds no date.
    QString dateText() const;
    // Any date text the program reads (ISO, month names, the regional numeric order, with
    // or without a time); an empty or unreadable text empties the box.
    void setDateText(const QString& text);
    // Empties the box.
    void clear() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // An empty box opens its calendar on the present month, not on the "no date" one.
    void mousePressEvent(QMouseEvent* event) override;
};

}  // namespace tv::forms
