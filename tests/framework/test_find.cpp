// Finding in a list: what each match mode finds (case, Unicode, pattern characters, values
// shown through a pattern), and the search as a user runs it: hits in turn, wrapping round,
// the current column against the whole record, Open on a hit, a cancelled dialog.
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/find_form.h"
#include "forms/framework/list_form.h"
#include "forms/framework/list_model.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "framework/framework_fixture.h"

#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <functional>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::data::state;
using tv::forms::FindRequest;
using tv::forms::ListForm;
using tv::forms::MatchMode;
namespace msgbox = tv::data::msgbox;

// Answers the modal dialogs a command shows, a step each in order; others fail the test.
struct DialogScript {
    using Step = std::function<void(QDialog*)>;
    explicit DialogScript(std::vector<Step> s) : steps(std::move(s)) {
        QObject::connect(&timer, &QTimer::timeout, [this] {
            auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            if (!dialog || dialog == last || !dialog->isVisible()) return;
            last = dialog;
            if (next < steps.size()) return steps[next++](dialog);
            ADD_FAILURE() << "unexpected dialog " << dialog->objectName().toStdString();
            dialog->reject();
        });
        timer.start(1);
    }
    ~DialogScript() { EXPECT_EQ(next, steps.size()) << "dialogs that never came"; }
    std::vector<Step> steps;
    size_t next = 0;
    QPointer<QDialog> last;
    QTimer timer;
};

class FindTest : public FrameworkTest {
protected:
    void SetUp() override {
        FrameworkTest::SetUp();
        QStringList rows;
        for (const char* name : {"Abbot Print", "BRIEN HALL", "Cole Paper", "O'Brien Plumbing",
                                 "Obrien", "Xbrien", "Zoë Élan", "50% [Sale]*"})
            rows << u"INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [POSTALCITY]) VALUES (%1, "
                    u"'Brienne')"_s.arg(tv::engine::quoteLiteral(QString::fromUtf8(name)));
        execData(rows << u"UPDATE [CUSTOMERS] SET [FIRSTDATE] = #2026-05-12 10:30:00# WHERE "
                         u"[CUSTOMER NAME] = 'Cole Paper'"_s);
    }
    ListForm* openCustomers() {
        state().SharedValues[0] = u"Customers"_s;
        list = std::make_unique<ListForm>();
        tv::forms::setTag(list.get(), u"Customers"_s);
        list->activate();
        return list.get();
    }
    QString currentName() const { return list->grid()->currentIndex().data().toString(); }
    void goTo(int row) { list->grid()->setCurrentIndex(list->model()->index(row, 0)); }
    // The Find dialog filled as a user fills it, then OK.
    static DialogScript::Step fill(const QString& text, bool up, bool allFields = false) {
        return [=](QDialog* form) {
            form->findChild<QLineEdit*>(u"findstring"_s)->setText(text);
            form->findChild<QRadioButton*>(up ? u"direction_1"_s : u"direction_0"_s)
                ->setChecked(true);
            form->findChild<QRadioButton*>(allFields ? u"searchin_1"_s : u"searchin_0"_s)
                ->setChecked(true);
            form->findChild<QPushButton*>(u"ListCommand_0"_s)->click();
        };
    }
    // A prompt answered with one of its buttons, noting the record selected behind it.
    DialogScript::Step answer(const char* button) {
        return [this, button](QDialog* prompt) {
            hits << currentName();
            prompt->findChild<QPushButton*>(QString::fromLatin1(button))->click();
        };
    }

    std::unique_ptr<ListForm> list;  // goes after the databases: closing it reads nothing
    QStringList hits;
};

TEST_F(FindTest, EachMatchModeFindsWhatItsNameSays) {
    // pattern: the list column's pattern; FIRSTDATE is looked in when it is set.
    const struct {
        const char* text;
        MatchMode mode;
        bool matchCase;
        const char *pattern, *found;
    } cases[] = {
        {"brien", MatchMode::Anywhere, false, nullptr, "BRIEN HALL|O'Brien Plumbing|Obrien|Xbrien"},
        {"brien", MatchMode::StartOfField, false, nullptr, "BRIEN HALL"},
        {"Brien", MatchMode::Anywhere, true, nullptr, "O'Brien Plumbing"},
        {"obrien", MatchMode::WholeField, false, nullptr, "Obrien"},
        {"OBRIEN", MatchMode::WholeField, true, nullptr, ""},
        {"o'b", MatchMode::StartOfField, false, nullptr, "O'Brien Plumbing"},
        {"élan", MatchMode::Anywhere, false, nullptr, "Zoë Élan"},
        {"[Sale]*", MatchMode::Anywhere, false, nullptr, "50% [Sale]*"},
        {"50%", MatchMode::StartOfField, false, nullptr, "50% [Sale]*"},
        {"12/05/26", MatchMode::WholeField, false, "dd/mm/yy", "Cole Paper"},
    };
    for (const auto& c : cases) {
        const FindRequest request{QString::fromUtf8(c.text), c.mode, false, false, c.matchCase};
        const QString criteria = tv::forms::findCriteria(
            request, {c.pattern ? tv::forms::FindField{u"FIRSTDATE"_s, tv::engine::FieldType::Date,
                                                       QString::fromLatin1(c.pattern)}
                                : tv::forms::FindField{u"CUSTOMER NAME"_s, {}, {}}});
        auto rs =
            state().DataDb.OpenRecordset(u"SELECT * FROM [CUSTOMERS] ORDER BY [CUSTOMER NAME]"_s);
        QStringList found;
        for (rs.FindFirst(criteria); !rs.NoMatch(); rs.FindNext(criteria))
            found << rs[0].asString();
        EXPECT_EQ(found.join(u'|'), QString::fromUtf8(c.found))
            << c.text << " gave " << criteria.toStdString();
    }
}

TEST_F(FindTest, ABackwardFindWrapsRoundAfterYesAndStopsWhereItBegan) {
    openCustomers();
    goTo(5);  // Obrien, the list being sorted by name
    DialogScript script({fill(u"BRIEN"_s, true), answer("nextf"), answer("nextf"), answer("nextf"),
                         answer("nextf")});
    ask.message(msgbox::kYes, u"start of the record set"_s)
        .message(msgbox::kOk, u"every matching record has been shown"_s);
    list->runCommand(ListForm::Find);
    // Obrien itself, then up to the top, then round from the bottom back down to it.
    EXPECT_EQ(hits,
              (QStringList{u"Obrien"_s, u"O'Brien Plumbing"_s, u"BRIEN HALL"_s, u"Xbrien"_s}));
    EXPECT_EQ(currentName(), u"Xbrien"_s) << "the list stays on the last hit";
}

TEST_F(FindTest, TheCurrentColumnOrTheWholeRecordAndOpenOnAHit) {
    openCustomers();
    goTo(3);  // Cole Paper
    // The city "Brienne" is in every record, but the name column is the one looked in.
    {
        DialogScript script({fill(u"Brienne"_s, false)});
        ask.message(msgbox::kYes, u"end of the record set"_s)
            .message(msgbox::kOk, u"Unable to locate records"_s);
        list->runCommand(ListForm::Find);
    }
    {
        DialogScript script({[](QDialog* form) { form->reject(); }});
        list->runCommand(ListForm::Find);
    }
    EXPECT_EQ(currentName(), u"Cole Paper"_s) << "nothing found, or cancelled: the row stays";
    tv::forms::registerFrameworkRecordWindows();
    DialogScript script({fill(u"Brienne"_s, false, true), answer("nextf"), answer("Openf")});
    list->runCommand(ListForm::Find);
    EXPECT_EQ(hits, (QStringList{u"Cole Paper"_s, u"O'Brien Plumbing"_s}));
    tv::forms::RecordWindow* window = tv::forms::GetRecordWindow(u"Customers"_s);
    ASSERT_TRUE(window);
    EXPECT_EQ(window->storedKey(), QStringList{u"O'Brien Plumbing"_s}) << "opened as Edit opens";
    delete window;
}

}  // namespace
}  // namespace tvtest
