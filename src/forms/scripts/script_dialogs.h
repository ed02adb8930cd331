// The dialogs the script window edits its steps with: a step (its number, question, kind
// of answer, and for a choice its answers with the step each leads to), and one answer of
// a choice step with its next step.
#pragma once

#include "forms/scripts/script_steps.h"

#include <QDialog>
#include <memory>

namespace Ui {
class ScriptItem;
class ScriptResponse;
}  // namespace Ui

namespace tv::forms {

class ScriptResponse : public QDialog {
    Q_OBJECT

public:
    // `steps` are the script's steps the answer can lead to.
    ScriptResponse(const std::vector<ScriptStep>& steps, QWidget* parent = nullptr);
    ~ScriptResponse() override;

    void setPair(const QString& response, std::int32_t target);
    QString response() const;
    // The chosen step's id; 0 for "the next step".
    std::int32_t target() const;
    void accept() override;

private:
    std::unique_ptr<Ui::ScriptResponse> ui_;
};

class ScriptItem : public QDialog {
    Q_OBJECT

public:
    // Edits step `branchId` of the script, or a new step when it has none (numbered after
    // the last one).
    ScriptItem(const QString& scriptName, std::int32_t branchId, QWidget* parent = nullptr);
    ~ScriptItem() override;

    ScriptStep step() const;
    void setStep(const ScriptStep& step);
    // Adds a response pair as the Add button's dialog does.
    void addResponse(const QString& response, std::int32_t target);
    // Validates and stores the step; false (the dialog stays) on a bad step number.
    bool saveStep();
    void accept() override;

private:
    void editResponse(bool add);
    void removeResponse();
    // The pairs of the list into the hidden response and branch boxes.
    void collectPairs();

    std::unique_ptr<Ui::ScriptItem> ui_;
    QString script_;
    std::int32_t original_ = 0;  // the stored step's id; 0 for a new step
    std::vector<ScriptStep> steps_;
};

}  // namespace tv::forms
