// The CounterList window: the numbered tables listed by display name, and the answers to
// its prompt, for a table with a counter and for one without.
#include "adminforms/admin_fixture.h"

#include "data/prompter.h"
#include "engine/engine.h"
#include "forms/admin/counter_list.h"

#include <QListWidget>

namespace tvtest {
namespace {

namespace msgbox = tv::data::msgbox;
using tv::engine::quoteLiteral;
using tv::forms::CounterList;

class CounterListTest : public AdminFormsTest {
protected:
    static QString counter(const QString& table) {
        return dataValue(
            QStringLiteral("SELECT [LASTNUMBER] FROM [Counters] WHERE [TABLENAME] = ") +
            quoteLiteral(table));
    }
    static void setCounter(const QString& table, int value) {
        execData(
            {QStringLiteral("DELETE * FROM [Counters] WHERE [TABLENAME] = ") + quoteLiteral(table),
             QStringLiteral("INSERT INTO [Counters] VALUES (%1, %2)")
                 .arg(quoteLiteral(table))
                 .arg(value)});
    }
    static int rowOf(CounterList& w, const QString& table) {
        return static_cast<int>(w.tableNames().indexOf(table));
    }
};

TEST_F(CounterListTest, ListsTheNumberedTablesByDisplayName) {
    CounterList w;
    auto* list = w.findChild<QListWidget*>(QStringLiteral("List1"));
    ASSERT_EQ(list->count(), w.tableNames().size());
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->item(i)->text();
    EXPECT_FALSE(shown.contains(QStringLiteral("Customers")));
    EXPECT_EQ(w.tableNames().at(shown.indexOf(QStringLiteral("Sales Orders"))),
              QStringLiteral("SALES ORDERS"));
}

// The prompt is the administrator's, from FORM CAPTIONS.
TEST_F(CounterListTest, AnswersToThePrompt) {
    execDefinitions(
        {QStringLiteral("UPDATE [FORM CAPTIONS] SET [CAPTION] = 'Last number used:' "
                        "WHERE [FORMNAME] = 'CounterList' AND [CONTROLTAG] = 'Prompt'")});
    struct Case {
        const char* name;
        std::vector<std::pair<const char*, int>> script;  // input, or message number + button
        const char* stored;
        const char* status;
    };
    // An input step has button 0; a message step names the message in its text.
    const Case cases[] = {
        {"cancelled", {{"", 0}}, "10", "Counter left unchanged."},
        {"higher", {{"25", 0}}, "25", "Counter updated."},
        {"zero refused",
         {{"0", 0}, {"A record number of 0", msgbox::kOk}, {"12", 0}},
         "12",
         "Counter updated."},
        {"lower declined",
         {{"5", 0}, {"lower than the counter", msgbox::kNo}, {"", 0}},
         "10",
         "Counter left unchanged."},
        {"lower confirmed",
         {{"5", 0}, {"lower than the counter", msgbox::kYes}},
         "5",
         "Counter updated."},
        {"typed with text", {{" 30 more", 0}}, "30", "Counter updated."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        setCounter(QStringLiteral("QUOTATIONS"), 10);
        CounterList w;
        for (const auto& [text, button] : c.script) {
            if (button == 0)
                ask.input(QString::fromLatin1(text), QStringLiteral("Last number used:"));
            else
                ask.message(button, QString::fromLatin1(text));
        }
        w.changeCounter(rowOf(w, QStringLiteral("QUOTATIONS")));
        EXPECT_EQ(ask.pending(), 0);
        EXPECT_EQ(counter(QStringLiteral("QUOTATIONS")), QString::fromLatin1(c.stored));
        EXPECT_EQ(statusText(), QString::fromLatin1(c.status));
    }
    // Every prompt offered the value stored when the window asked.
    for (const auto& q : ask.asked())
        EXPECT_TRUE(q.kind != ScriptedPrompter::Kind::Input ||
                    q.initialText == QStringLiteral("10"));
}

TEST_F(CounterListTest, ATableWithoutACounterGetsOneAfterAsking) {
    execData({QStringLiteral("DELETE * FROM [Counters] WHERE [TABLENAME] = 'RMAS'")});
    CounterList w;
    ask.input(QStringLiteral("100"));
    ask.message(msgbox::kYes, QStringLiteral("could not be found"));
    w.changeCounter(rowOf(w, QStringLiteral("RMAS")));
    EXPECT_EQ(ask.asked().front().initialText, QString());
    EXPECT_EQ(counter(QStringLiteral("RMAS")), QStringLiteral("100"));
}

}  // namespace
}  // namespace tvtest
