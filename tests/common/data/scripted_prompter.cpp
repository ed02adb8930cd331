#include "common/data/scripted_prompter.h"

#include "core/convert.h"

#include <gtest/gtest.h>

namespace tvtest {

using tv::data::msgbox::dismissAnswer;

QString kindName(ScriptedPrompter::Kind kind) {
    switch (kind) {
        case ScriptedPrompter::Kind::Message:
            return QStringLiteral("message box");
        case ScriptedPrompter::Kind::Input:
            return QStringLiteral("input box");
        case ScriptedPrompter::Kind::OpenFile:
            return QStringLiteral("open-file dialog");
        case ScriptedPrompter::Kind::SaveFile:
            return QStringLiteral("save-file dialog");
        case ScriptedPrompter::Kind::Folder:
            return QStringLiteral("folder dialog");
        case ScriptedPrompter::Kind::Colour:
            return QStringLiteral("colour dialog");
        case ScriptedPrompter::Kind::Printer:
            return QStringLiteral("printer dialog");
    }
    return QString();
}

ScriptedPrompter::ScriptedPrompter() : previous_(tv::data::setPrompter(this)) {}

ScriptedPrompter::~ScriptedPrompter() {
    if (!verified_) verifyDone();
    tv::data::setPrompter(previous_);
}

void ScriptedPrompter::verifyDone() {
    verified_ = true;
    for (const Answer& a : script_) {
        ADD_FAILURE() << "scripted " << kindName(a.kind).toStdString()
                      << " was never asked (expected text containing \"" << a.textPart.toStdString()
                      << "\")";
    }
    script_.clear();
}

ScriptedPrompter& ScriptedPrompter::message(int button, const QString& textPart,
                                            const QString& titlePart) {
    script_.push_back(Answer{Kind::Message, textPart, titlePart, button, {}, {}, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::input(const QString& answer, const QString& promptPart) {
    script_.push_back(Answer{Kind::Input, promptPart, {}, 0, answer, {}, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::openFile(const QString& path, const QString& titlePart) {
    script_.push_back(Answer{Kind::OpenFile, {}, titlePart, 0, path, {}, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::saveFile(const QString& path, const QString& titlePart) {
    script_.push_back(Answer{Kind::SaveFile, {}, titlePart, 0, path, {}, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::folder(const QString& path, const QString& titlePart) {
    script_.push_back(Answer{Kind::Folder, {}, titlePart, 0, path, {}, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::colour(std::optional<std::uint32_t> answer) {
    script_.push_back(Answer{Kind::Colour, {}, {}, 0, {}, answer, false});
    return *this;
}

ScriptedPrompter& ScriptedPrompter::printer(bool accept, const QString& pdfFile) {
    script_.push_back(Answer{Kind::Printer, {}, {}, 0, pdfFile, {}, accept});
    return *this;
}

std::vector<ScriptedPrompter::Question> ScriptedPrompter::messages() const {
    std::vector<Question> out;
    for (const Question& q : asked_)
        if (q.kind == Kind::Message) out.push_back(q);
    return out;
}

std::optional<ScriptedPrompter::Answer> ScriptedPrompter::take(const Question& q) {
    asked_.push_back(q);
    const std::string asked = kindName(q.kind).toStdString() + " titled \"" +
                              q.title.toStdString() + "\": \"" + q.text.toStdString() + "\"";
    if (script_.empty()) {
        ADD_FAILURE() << "unexpected " << asked;
        return std::nullopt;
    }
    Answer a = script_.front();
    script_.pop_front();
    if (a.kind != q.kind) {
        ADD_FAILURE() << "expected the scripted " << kindName(a.kind).toStdString() << ", got a "
                      << asked;
        return std::nullopt;
    }
    if (!a.textPart.isEmpty() && !q.text.contains(a.textPart)) {
        ADD_FAILURE() << "expected text containing \"" << a.textPart.toStdString() << "\", got a "
                      << asked;
        return std::nullopt;
    }
    if (!a.titlePart.isEmpty() && !q.title.contains(a.titlePart)) {
        ADD_FAILURE() << "expected a title containing \"" << a.titlePart.toStdString()
                      << "\", got a " << asked;
        return std::nullopt;
    }
    return a;
}

// An answer that does not fit is replaced by what a dismissed dialog answers, so the
// code under test goes on and the failure above tells what went wrong.

int ScriptedPrompter::messageBox(const QString& title, const QString& text, int style) {
    const auto a = take(Question{Kind::Message, title, text, style, {}});
    return a ? a->button : dismissAnswer(style);
}

QString ScriptedPrompter::inputBox(const QString& prompt, const QString& title,
                                   const QString& defaultText) {
    const auto a = take(Question{Kind::Input, title, prompt, 0, defaultText});
    return a ? a->text : QString();
}

QString ScriptedPrompter::openFile(const tv::data::FileRequest& request) {
    const auto a =
        take(Question{Kind::OpenFile, request.title, request.filter, 0, request.initialFolder});
    return a ? a->text : QString();
}

QString ScriptedPrompter::saveFile(const tv::data::FileRequest& request) {
    const auto a =
        take(Question{Kind::SaveFile, request.title, request.filter, 0, request.initialFolder});
    return a ? a->text : QString();
}

QString ScriptedPrompter::chooseFolder(const QString& title, const QString& initialFolder) {
    const auto a = take(Question{Kind::Folder, title, QString(), 0, initialFolder});
    return a ? a->text : QString();
}

std::optional<std::uint32_t> ScriptedPrompter::chooseColour(std::uint32_t) {
    const auto a = take(Question{Kind::Colour, {}, {}, 0, {}});
    return a ? a->colour : std::nullopt;
}

bool ScriptedPrompter::printerDialog(tv::data::PrintRequest& request) {
    const auto a = take(Question{Kind::Printer, request.title, {}, 0, {}});
    if (a && a->accept) request.outputFile = a->text;
    return a && a->accept;
}

tv::DateTime ScriptedPrompter::now() { return now_ ? *now_ : tv::Now(); }

void ScriptedPrompter::setPointer(int code, const QString&) { pointers_.push_back(code); }

}  // namespace tvtest
