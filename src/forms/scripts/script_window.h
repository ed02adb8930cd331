// The script window: one call script of "Scripts" (its name, description, campaign and
// closing message) with its steps in a list beside Add, Edit and Delete, which work on
// the steps through the step dialog; Print prints the script (script.rpt). A step is
// stored as soon as its dialog is confirmed, so a new script is saved first when its
// first step is added.
#pragma once

#include "forms/framework/record_window.h"

#include <memory>

namespace Ui {
class ScriptWindow;
}

namespace tv::forms {

class ScriptWindow : public RecordWindow {
    Q_OBJECT

public:
    explicit ScriptWindow(QWidget* parent = nullptr);
    ~ScriptWindow() override;

    // Reads the steps again.
    void refreshSteps();
    int stepCount() const;
    // The commands (a dialog runs modally for add and edit).
    bool addStep();
    bool editStep();
    bool deleteStep();
    void printScript();

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;
    void rowShown() override { refreshSteps(); }
    void afterSave() override { refreshSteps(); }

private:
    // The stored script's name; saves a new script first (false when it has no name or
    // could not be saved).
    bool storedName(QString* name);
    std::int32_t selectedStep() const;
    bool runStepDialog(std::int32_t branchId);

    std::unique_ptr<Ui::ScriptWindow> ui_;
};

}  // namespace tv::forms
