// The steps of a call script and how a run moves through them. A script is a list of
// questions in SCRIPT BRANCH ID order; a choice step (response types 0 and 3) lists its
// valid answers, each followed by a tab, and for each the step it leads to (its SCRIPT
// BRANCH ID, each followed by a tab; 0 for the next step in order). An answer that matches
// no valid answer exactly (letter case counts), a target of 0 or one no step has, and
// every number or text step go on to the next step in order: a script with broken
// branches still runs to its end.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <vector>

namespace tv::forms {

// Response types (the option list "Response Type").
inline constexpr int kChoiceResponse = 0;
inline constexpr int kNumberResponse = 1;
inline constexpr int kTextResponse = 2;
inline constexpr int kYesNoResponse = 3;

struct ScriptStep {
    std::int32_t branchId = 0;
    QString prompt;
    int responseType = kChoiceResponse;
    QString responseString;
    QString branchString;

    bool isChoice() const {
        return responseType == kChoiceResponse || responseType == kYesNoResponse;
    }
};

// The valid answers of a step: the pieces of the response string between tabs (a last
// piece without its tab still counts; empty pieces do not).
QStringList ScriptResponses(const QString& responseString);
// The targets: Val of each piece of the branch string that is followed by a tab.
std::vector<std::int32_t> ScriptBranches(const QString& branchString);

// The script's steps in SCRIPT BRANCH ID order; none when it has none or they cannot be read.
std::vector<ScriptStep> LoadScriptSteps(const QString& scriptName);

// The index of the step that follows steps[current] answered with `answer`; steps.size()
// when the run is past its last step.
std::size_t NextStepIndex(const std::vector<ScriptStep>& steps, std::size_t current,
                          const QString& answer);

// Stores a finished run: the SCRIPTS HISTORY row (customer, script, start, the signed-in
// user, contact), then one SCRIPTS HISTORY DETAIL row per step in step order with its
// answer (empty for a step the run did not reach). `started` is the start as text
// ("General Date"). False when a row could not be written (the data layer has said why).
bool StoreScriptRun(const QString& customer, const QString& script, const QString& started,
                    const QString& contact, const std::vector<ScriptStep>& steps,
                    const QStringList& answers);

}  // namespace tv::forms
