// The prompt a find in a list shows on each record found (the record is selected in the
// grid behind it). Its answer is its tag: "Next" to look for the next match, "Open" to
// open the record found, empty to stop (Cancel, Escape or the close box).
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class FindPrompt;
}

namespace tv::forms {

class FindPrompt : public QDialog {
    Q_OBJECT

public:
    explicit FindPrompt(QWidget* parent = nullptr);
    ~FindPrompt() override;

    // "Next", "Open" or empty.
    QString answer() const;

    // Keeps the prompt clear of a rectangle of the screen (the row found): below it when
    // there is room, else above it.
    void placeBeside(const QRect& globalRow);

private:
    void answerWith(const QString& tag);

    std::unique_ptr<Ui::FindPrompt> ui_;
};

}  // namespace tv::forms
