// Status-bar messages from the catalogue and documents handed to the desktop, with
// message 701 when the desktop cannot open or print them.
#include "core/format.h"
#include "data/app_state.h"
#include "data/prompter.h"
#include "forms/framework/documents.h"
#include "forms/framework/status.h"
#include "framework/framework_fixture.h"

#include <QFile>
#include <QLabel>

namespace {

using namespace tv::forms;

QString catalogueText(int number) {
    tv::engine::Recordset rs = tv::data::state().DefinitionsDb.OpenRecordset(
        QStringLiteral("SELECT [MSGTEXT] FROM [MESSAGES] WHERE [MSGNO] = %1").arg(number));
    const QString text = rs.EOF_() ? QString() : tv::TextOf(rs[0]);
    rs.Close();
    return text;
}

class StatusTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        setStatusPanel(&panel);
    }
    void TearDown() override {
        setStatusPanel(nullptr);
        FrameworkTest::TearDown();
    }
    QLabel panel;
};

TEST_F(StatusTest, ShowsTheMessageTextAndClears) {
    const QString saved = catalogueText(901);
    ASSERT_FALSE(saved.isEmpty());
    ShowStatusMessage(901);
    EXPECT_EQ(panel.text(), saved);
    ShowStatusMessage(0);
    EXPECT_EQ(panel.text(), QString());
    ShowStatusMessage(901);
    ShowStatusMessage(31999);  // not in the catalogue
    EXPECT_EQ(panel.text(), QString());
}

TEST_F(StatusTest, AMessageChangedInTheCatalogueShowsAtOnce) {
    execDefinitions(
        {QStringLiteral("UPDATE [MESSAGES] SET [MSGTEXT] = 'Feedback from O''Brien saved.' "
                        "WHERE [MSGNO] = 901")});
    ShowStatusMessage(901);
    EXPECT_EQ(panel.text(), QStringLiteral("Feedback from O'Brien saved."));
}

// A desktop that records what it was asked and fails when told to.
class FakeShell : public DocumentShell {
public:
    std::optional<ShellFailure> open(const QString& path) override {
        opened << path;
        return failure;
    }
    std::optional<ShellFailure> print(const QString& path) override {
        printed << path;
        return failure;
    }
    QStringList opened;
    QStringList printed;
    std::optional<ShellFailure> failure;
};

class DocumentTest : public tvtest::FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        previous = setDocumentShell(&shell);
        document = data.file(QStringLiteral("Quote 12.pdf"));
        QFile f(document);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("%PDF-1.4\n");
    }
    void TearDown() override {
        setDocumentShell(previous);
        FrameworkTest::TearDown();
    }
    FakeShell shell;
    DocumentShell* previous = nullptr;
    QString document;
};

TEST_F(DocumentTest, OpeningAndPrintingGoToTheDesktop) {
    OpenDocument(document, false);
    OpenDocument(document, true);
    EXPECT_EQ(shell.opened, QStringList{document});
    EXPECT_EQ(shell.printed, QStringList{document});
    EXPECT_TRUE(ask.asked().empty());
}

TEST_F(DocumentTest, FailuresShowMessage701WithThePathAndTheReason) {
    struct Case {
        const char* name;
        QString path;
        std::optional<ShellFailure> desktop;
        QString tail;
    };
    const QString missing = data.file(QStringLiteral("Invoice 7.pdf"));
    const QString noFolder = data.file(QStringLiteral("Gone/Invoice 7.pdf"));
    const Case cases[] = {
        {"missing file", missing, std::nullopt, missing + QStringLiteral(" (File not found(2)).")},
        {"missing folder", noFolder, std::nullopt,
         noFolder + QStringLiteral(" (Path not found(3)).")},
        {"no application", document, ShellFailure{31, shellReason(31)},
         document + QStringLiteral(" (No application associated with this file(31)).")},
        {"print command failed", document,
         ShellFailure{1, QStringLiteral("lp: No default destination")},
         document + QStringLiteral(" (lp: No default destination(1)).")},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shell.failure = c.desktop;
        ask.message(tv::data::msgbox::kOk, c.tail);
        OpenDocument(c.path, c.name == std::string("print command failed"));
        ask.verifyDone();
    }
    // The message is the catalogue's 701, with the details after its text.
    ASSERT_EQ(ask.messages().size(), 4u);
    EXPECT_TRUE(ask.messages().at(0).text.startsWith(catalogueText(701) + QStringLiteral("\n\n")));
    // Missing files never reach the desktop.
    EXPECT_EQ(shell.opened, QStringList{document});
    EXPECT_EQ(shell.printed, QStringList{document});
}

}  // namespace
