// Choosing who to call and with which script: the customer (with the customer search), one
// of its contacts, whose numbers are shown, and a script; Start opens the run, dialling
// the contact's business number first when asked.
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class SelectScript;
}

namespace tv::forms {

class RunScript;

class SelectScript : public QDialog {
    Q_OBJECT

public:
    explicit SelectScript(QWidget* parent = nullptr);
    ~SelectScript() override;

    // Shows the chosen contact's numbers.
    Q_INVOKABLE void LoadContactNumbers();
    void setScript(const QString& script);
    // The Start command: message 117, 118 or 119 for what is missing; otherwise the run
    // window, shown in the main window (nullptr when nothing started).
    RunScript* startRun();

private:
    void lookUpCustomer();

    std::unique_ptr<Ui::SelectScript> ui_;
};

}  // namespace tv::forms
