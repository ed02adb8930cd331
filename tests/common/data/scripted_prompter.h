// A prompter for tests: it answers the questions the code asks in the order a test
// scripted them, records every question (so a test can read the text of the fourth
// message), and fails the test on a question nobody expected, on a question of another
// kind or wording than the script says, and on answers still waiting when it goes.
//
//     tvtest::ScriptedPrompter ask;         // installs itself
//     ask.message(tv::data::msgbox::kYes, "Delete");  // the next box must mention "Delete"
//     DeleteRecord(...);
//     EXPECT_EQ(ask.messages().at(0).text, ...);
#pragma once

#include "data/prompter.h"

#include <QString>
#include <deque>
#include <optional>
#include <vector>

namespace tvtest {

class ScriptedPrompter : public tv::data::Prompter {
public:
    enum class Kind { Message, Input, OpenFile, SaveFile, Folder, Colour, Printer };

    // One question as it was asked.
    struct Question {
        Kind kind = Kind::Message;
        QString title;
        QString text;  // message text, input prompt; file dialogs: the filter
        int style = 0;
        QString initialText;  // input default, initial folder
    };

    // Installs itself as the program's prompter; the destructor puts back the one before
    // and checks that every scripted answer was used.
    ScriptedPrompter();
    ~ScriptedPrompter() override;
    ScriptedPrompter(const ScriptedPrompter&) = delete;
    ScriptedPrompter& operator=(const ScriptedPrompter&) = delete;

    // Script the next answers. `textPart` and `titlePart`, when given, must appear in the
    // question's text (or prompt) and title.
    ScriptedPrompter& message(int button, const QString& textPart = QString(),
                              const QString& titlePart = QString());
    ScriptedPrompter& input(const QString& answer, const QString& promptPart = QString());
    ScriptedPrompter& openFile(const QString& path, const QString& titlePart = QString());
    ScriptedPrompter& saveFile(const QString& path, const QString& titlePart = QString());
    ScriptedPrompter& folder(const QString& path, const QString& titlePart = QString());
    ScriptedPrompter& colour(std::optional<std::uint32_t> answer);
    // Accepting sends the pages to pdfFile (a PDF), so a test can read what was printed.
    ScriptedPrompter& printer(bool accept, const QString& pdfFile = QString());

    // What was asked, in order; messages() only the message boxes.
    const std::vector<Question>& asked() const { return asked_; }
    std::vector<Question> messages() const;
    int pending() const { return static_cast<int>(script_.size()); }
    // Fails the test when answers are left; the destructor calls it too.
    void verifyDone();

    // The clock answers this when set, else the system clock.
    void setNow(tv::DateTime when) { now_ = when; }
    // Every pointer code set, in order.
    const std::vector<int>& pointers() const { return pointers_; }
    int beeps() const { return beeps_; }
    int eventRounds() const { return eventRounds_; }

    int messageBox(const QString& title, const QString& text, int style) override;
    QString inputBox(const QString& prompt, const QString& title,
                     const QString& defaultText) override;
    QString openFile(const tv::data::FileRequest& request) override;
    QString saveFile(const tv::data::FileRequest& request) override;
    QString chooseFolder(const QString& title, const QString& initialFolder) override;
    std::optional<std::uint32_t> chooseColour(std::uint32_t initial) override;
    bool printerDialog(tv::data::PrintRequest& request) override;
    tv::DateTime now() override;
    void setPointer(int code, const QString& iconPath = QString()) override;
    void processEvents() override { ++eventRounds_; }
    void beep() override { ++beeps_; }

private:
    struct Answer {
        Kind kind;
        QString textPart;
        QString titlePart;
        int button = 0;
        QString text;
        std::optional<std::uint32_t> colour;
        bool accept = false;
    };

    // Records the question and hands out the next answer when it fits; nothing (and a
    // test failure) when it does not.
    std::optional<Answer> take(const Question& q);

    std::deque<Answer> script_;
    std::vector<Question> asked_;
    std::vector<int> pointers_;
    std::optional<tv::DateTime> now_;
    int beeps_ = 0;
    int eventRounds_ = 0;
    tv::data::Prompter* previous_ = nullptr;
    bool verified_ = false;
};

// Readable name of a question kind, for failure messages.
QString kindName(ScriptedPrompter::Kind kind);

}  // namespace tvtest
