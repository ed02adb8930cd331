#include "forms/scripts/script_steps.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "engine/engine.h"

namespace tv::forms {

QStringList ScriptResponses(const QString& responseString) {
    QStringList responses = responseString.split(u'\t');
    responses.removeAll(QString());
    return responses;
}

std::vector<std::int32_t> ScriptBranches(const QString& branchString) {
    std::vector<std::int32_t> targets;
    QStringList pieces = branchString.split(u'\t');
    pieces.removeLast();  // the piece after the last tab (empty when the string ends in one)
    for (const QString& piece : pieces) targets.push_back(static_cast<std::int32_t>(tv::Val(piece)));
    return targets;
}

std::vector<ScriptStep> LoadScriptSteps(const QString& scriptName) {
    std::vector<ScriptStep> steps;
    engine::Recordset rs = data::OpenTable(
        QStringLiteral("SELECT * FROM [SCRIPTS DETAIL] WHERE [SCRIPT NAME] = ") +
        engine::quoteLiteral(scriptName) + QStringLiteral(" ORDER BY [SCRIPT BRANCH ID]"));
    (void)data::attempt([&] {
        for (; rs.IsOpen() && !rs.EOF_(); rs.MoveNext()) {
            ScriptStep step;
            step.branchId = static_cast<std::int32_t>(tv::Val(tv::TextOf(rs[1])));
            step.prompt = tv::TextOf(rs[2]);
            step.responseType = static_cast<int>(tv::Val(tv::TextOf(rs[3])));
            step.responseString = tv::TextOf(rs[4]);
            step.branchString = tv::TextOf(rs[5]);
            steps.push_back(step);
        }
    });
    rs.Close();
    return steps;
}

std::size_t NextStepIndex(const std::vector<ScriptStep>& steps, std::size_t current,
                          const QString& answer) {
    const std::size_t next = current + 1;
    if (current >= steps.size()) return steps.size();
    const ScriptStep& step = steps[current];
    if (step.responseString.isEmpty() || !step.isChoice()) return next;
    const QStringList responses = ScriptResponses(step.responseString);
    const std::vector<std::int32_t> targets = ScriptBranches(step.branchString);
    const qsizetype match = responses.indexOf(answer);
    if (match < 0 || static_cast<std::size_t>(match) >= targets.size()) return next;
    const std::int32_t target = targets[static_cast<std::size_t>(match)];
    if (target == 0) return next;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        if (steps[i].branchId == target) return i;
    }
    return next;
}

bool StoreScriptRun(const QString& customer, const QString& script, const QString& started,
                    const QString& contact, const std::vector<ScriptStep>& steps,
                    const QStringList& answers) {
    data::FieldValueArray& v = data::state().FieldValues;
    v.clear();
    v.resize(5);
    v(1) = customer;
    v(2) = script;
    v(3) = started;
    v(4) = data::state().CurrentUserId;
    v(5) = contact;
    if (!data::AddRecord(QStringLiteral("Scripts History"))) return false;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        v.clear();
        v.resize(5);
        v(1) = customer;
        v(2) = script;
        v(3) = started;
        v(4) = QString::number(steps[i].branchId);
        v(5) = answers.value(static_cast<qsizetype>(i));
        if (!data::AddRecord(QStringLiteral("Scripts History Detail"))) return false;
    }
    return true;
}

}  // namespace tv::forms
