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
    // Open is offered only where the list's Edit command is (the user's rights).
    void allowOpen(bool allowed);

    // Places the prompt where it hides nothing of the list: below the list's window when
    // the screen has room there, else above it, else just below (or above) the row found.
    // Both rectangles are in screen coordinates.
    void placeOutside(const QRect& listWindow, const QRect& row);

private:
    void answerWith(const QString& tag);

    std::unique_ptr<Ui::FindPrompt> ui_;
};

}  // namespace tv::forms
