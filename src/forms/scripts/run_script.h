// Running a call script with a customer's contact: one question at a time, answered by
// choosing one of its answers, typing a number or typing text; Next goes to the step the
// answer leads to, and past the last step the script's closing message shows. Finish asks
// whether to keep the answers in the customer's script history, then closes.
#pragma once

#include "forms/scripts/script_steps.h"

#include <QWidget>
#include <memory>

class QRadioButton;

namespace Ui {
class RunScript;
}

namespace tv::forms {

class RunScript : public QWidget {
    Q_OBJECT

public:
    explicit RunScript(QWidget* parent = nullptr);
    ~RunScript() override;

    // Starts the run (Started is the present moment); false when the script has no steps.
    bool start(const QString& customer, const QString& contact, const QString& script);

    // The step shown (steps().size() past the end).
    std::size_t currentStep() const { return current_; }
    const std::vector<ScriptStep>& steps() const { return steps_; }
    const QStringList& answers() const { return answers_; }

    // Answers the shown step as a user would: picks the option with this text, or types
    // it into the number or text box.
    void answer(const QString& text);
    // The commands.
    void next();
    bool finish();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void showStep();
    QString currentAnswer() const;

    std::unique_ptr<Ui::RunScript> ui_;
    bool placed_ = false;
    std::vector<ScriptStep> steps_;
    QStringList answers_;
    std::size_t current_ = 0;
    QList<QRadioButton*> options_;
    QString endMessage_;
};

}  // namespace tv::forms
