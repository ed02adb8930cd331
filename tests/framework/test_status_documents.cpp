// Status-bar messages from the catalogue and documents handed to the desktop, with
// message 701 when the desktop cannot open or print them.
#include "common/engine/queries.h"
#include "data/app_state.h"
#include "forms/framework/documents.h"
#include "forms/framework/status.h"
#include "framework/framework_fixture.h"

#include <QFile>
#include <QLabel>

namespace {

using namespace tv::forms;
using namespace Qt::StringLiterals;

QString catalogueText(int number) {
    return tvtest::queryValue(tv::data::state().DefinitionsDb,
                              u"SELECT [MSGTEXT] FROM [MESSAGES] WHERE [MSGNO] = %1"_s.arg(number));
}

class StatusTest : public tvtest::FrameworkTest {};

TEST_F(StatusTest, MessagesComeFromTheCatalogueAsItIsNow) {
    QLabel panel;
    setStatusPanel(&panel);
    ShowStatusMessage(901);
    EXPECT_EQ(panel.text(), catalogueText(901));
    ShowStatusMessage(0);
    EXPECT_EQ(panel.text(), QString());
    execDefinitions({u"UPDATE [MESSAGES] SET [MSGTEXT] = 'From O''Brien.' WHERE [MSGNO] = 901"_s});
    ShowStatusMessage(901);
    EXPECT_EQ(panel.text(), u"From O'Brien."_s);
    setStatusPanel(nullptr);
}

// A desktop that records what it was asked and fails when told to.
class FakeShell : public DocumentShell {
public:
    std::optional<ShellFailure> open(const QString& path) override {
        return asked(u"open "_s + path);
    }
    std::optional<ShellFailure> print(const QString& path) override {
        return asked(u"print "_s + path);
    }
    std::optional<ShellFailure> asked(const QString& what) {
        this->what << what;
        return failure;
    }
    QStringList what;
    std::optional<ShellFailure> failure;
};

TEST_F(StatusTest, DocumentsGoToTheDesktopAndItsFailuresShowMessage701) {
    FakeShell shell;
    DocumentShell* previous = setDocumentShell(&shell);
    const QString document = data.file(u"Quote 12.pdf"_s);
    QFile file(document);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    OpenDocument(document, false);
    OpenDocument(document, true);
    EXPECT_EQ(shell.what, (QStringList{u"open "_s + document, u"print "_s + document}));
    EXPECT_TRUE(ask.asked().empty());

    const QString missing = data.file(u"Invoice 7.pdf"_s);
    const struct {
        QString path;
        std::optional<ShellFailure> desktop;
        bool print;
        QString tail;
    } cases[] = {{missing, std::nullopt, false, missing + u" (File not found(2))."_s},
                 {document, ShellFailure{31, shellReason(31)}, false,
                  document + u" (No application associated with this file(31))."_s},
                 {document, ShellFailure{1, u"lp: No default destination"_s}, true,
                  document + u" (lp: No default destination(1))."_s}};
    for (const auto& c : cases) {
        shell.failure = c.desktop;
        ask.message(tv::data::msgbox::kOk, catalogueText(701) + u"\n\n"_s + c.tail);
        OpenDocument(c.path, c.print);
        ask.verifyDone();
    }
    // Missing files never reach the desktop.
    EXPECT_EQ(shell.what.size(), 4);
    setDocumentShell(previous);
}

}  // namespace
