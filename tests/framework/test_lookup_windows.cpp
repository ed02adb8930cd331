// The lookup-table windows as a user drives them: the editor of one table with its code
// dialog (colours, pictures, refused codes, deleting) and the table-lookup picker
// (incremental matching, selection, free values, Add). The chooser of tables is driven by
// the main window's Lookup Tables command test.
#include "data/app_state.h"
#include "forms/framework/code_form.h"
#include "forms/framework/controls.h"
#include "forms/framework/lookup_codes.h"
#include "forms/framework/lookup_table.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/table_lookup.h"
#include "framework/lookup_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <functional>

namespace {

using namespace tv::forms;
using namespace Qt::StringLiterals;
using tv::data::state;
namespace msgbox = tv::data::msgbox;

template <typename T>
T* child(const QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_TRUE(found) << name;
    return found;
}
QLineEdit* edit(const QWidget* w, const char* name) { return child<QLineEdit>(w, name); }
void click(const QWidget* w, const char* name) { child<QPushButton>(w, name)->click(); }
QListWidget* list(const QWidget* w) { return child<QListWidget>(w, "List1"); }

// Runs `step` on the modal dialog the next exec() shows.
void whenModal(std::function<void(QDialog*)> step) {
    QTimer::singleShot(0, [step] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        ASSERT_TRUE(dialog);
        step(dialog);
    });
}

class LookupWindowsTest : public tvtest::LookupTest {
protected:
    static void share(const QString& source, const QString& column, const QString& start,
                      const QString& alternative = QString(), const QString& free = QString()) {
        state().SharedValues = {source, column, start, alternative, free};
    }
    // The editor of a table, shown, as the main window opens it.
    std::unique_ptr<LookupTable> openEditor(const QString& table, bool colour, bool picture) {
        state().SharedValues[1] = table;
        auto editor = std::make_unique<LookupTable>();
        editor->setAttribute(Qt::WA_DeleteOnClose, false);
        setTag(editor.get(), table);
        child<QCheckBox>(editor.get(), "ColourSupport")->setChecked(colour);
        child<QCheckBox>(editor.get(), "PictureSupport")->setChecked(picture);
        editor->show();
        return editor;
    }
    static void select(LookupTable& editor, const QString& code) {
        const QList<QListWidgetItem*> items = list(&editor)->findItems(code, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << code.toStdString();
        list(&editor)->setCurrentItem(items.front());
    }
};

TEST_F(LookupWindowsTest, TheEditorAddsCodesAndKeepsTypedValuesOfARefusedOne) {
    auto editor = openEditor(u"Priority Codes"_s, true, true);
    const int before = list(editor.get())->count();
    ASSERT_GT(before, 1);
    whenModal([](QDialog* dialog) {
        EXPECT_TRUE(child<QWidget>(dialog, "SetColour")->isVisibleTo(dialog));
        edit(dialog, "CodeString")->setText(u"0 O'Brien"_s);
        click(dialog, "SaveDetails");
    });
    editor->addCode();
    EXPECT_EQ(list(editor.get())->count(), before + 1);
    EXPECT_EQ(list(editor.get())->currentItem()->text(), u"0 O'Brien"_s)
        << "the new code, selected";
    EXPECT_EQ(codeColumn(u"Priority Codes"_s, u"PRIORITY"_s, u"0 O'Brien"_s, u"COLOUR"_s), u"0"_s);

    // A refused code: message 195 with the engine's text, the dialog open with the entries.
    ask.message(msgbox::kOk, u"(3022)."_s);
    bool stayed = false;
    whenModal([&](QDialog* dialog) {
        edit(dialog, "CodeString")->setText(u"2 High"_s);
        edit(dialog, "Description")->setText(u"typed by hand"_s);
        click(dialog, "SaveDetails");
        stayed = dialog->isVisible() && edit(dialog, "Description")->text() == u"typed by hand"_s;
        dialog->reject();
    });
    editor->addCode();
    EXPECT_TRUE(stayed);
}

TEST_F(LookupWindowsTest, EditingKeepsTheStoredColourUnlessOneIsChosen) {
    const QString table = u"Priority Codes"_s;
    const auto colour = [&](const QString& code) {
        return codeColumn(table, u"PRIORITY"_s, code, u"COLOUR"_s);
    };
    const QString stored = colour(u"1 Critical"_s);
    ASSERT_NE(stored, u"0"_s);
    auto editor = openEditor(table, true, false);
    const std::pair<std::optional<std::uint32_t>, QString> cases[] = {
        {std::nullopt, stored}, {0u, u"0"_s}, {255u, u"255"_s}};  // none chosen, black, red
    QString current = u"1 Critical"_s;
    for (const auto& [chosen, expected] : cases) {
        if (chosen) ask.colour(chosen);
        const QString renamed = current + u'+';
        select(*editor, current);
        whenModal([&](QDialog* dialog) {
            EXPECT_FALSE(child<QWidget>(dialog, "PictureFile")->isVisibleTo(dialog));
            if (chosen) click(dialog, "SetColour");
            edit(dialog, "CodeString")->setText(renamed);
            click(dialog, "SaveDetails");
        });
        editor->editCode();
        current = renamed;
        EXPECT_EQ(colour(current), expected);
    }
    EXPECT_EQ(list(editor.get())->findItems(u"1 Critical"_s, Qt::MatchStartsWith).size(), 1)
        << "each rename rewrote the one row";
}

TEST_F(LookupWindowsTest, DeletingAsksAndRefillsOnlyAfterADelete) {
    execData({u"INSERT INTO [Activity Types] ([ACTIVITY TYPE]) VALUES ('O''Brien')"_s,
              u"INSERT INTO [Activity Types] ([ACTIVITY TYPE]) VALUES ('Gone')"_s});
    auto editor = openEditor(u"Activity Types"_s, true, true);
    const int before = list(editor.get())->count();
    select(*editor, u"O'Brien"_s);
    ask.message(msgbox::kNo, u"Are you sure"_s);
    editor->deleteCode();
    EXPECT_EQ(list(editor.get())->count(), before);
    ask.message(msgbox::kYes, u"Are you sure"_s);
    editor->deleteCode();
    EXPECT_EQ(list(editor.get())->count(), before - 1);

    // Another workstation deleted it first: said so, and the list is left as it was.
    execData({u"DELETE * FROM [Activity Types] WHERE [ACTIVITY TYPE] = 'Gone'"_s});
    select(*editor, u"Gone"_s);
    ask.message(msgbox::kYes, u"Are you sure"_s);
    ask.message(msgbox::kOk, u"could not be found"_s);
    editor->deleteCode();
    EXPECT_EQ(list(editor.get())->count(), before - 1);
}

TEST_F(LookupWindowsTest, ABrowsedPictureIsCopiedInAndShown) {
    const QString outside = data.file(u"logo.bmp"_s);
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(outside));
    execData(
        {u"INSERT INTO [Activity Types] ([ACTIVITY TYPE], [PICTURE]) VALUES ('Lost', "
         "'no such file.bmp')"_s});
    CodeForm form;
    form.setUp(u"Activity Types"_s, true, true);
    form.editCode(u"Lost"_s);
    form.show();
    EXPECT_TRUE(child<QLabel>(&form, "Image1")->pixmap().isNull());
    ask.openFile(outside);
    form.browsePicture();
    EXPECT_TRUE(QFile::exists(pictureFolder() + u"logo.bmp"_s));
    EXPECT_FALSE(child<QLabel>(&form, "Image1")->pixmap().isNull());
    ASSERT_TRUE(form.saveDetails());
    EXPECT_EQ(codeColumn(u"Activity Types"_s, u"ACTIVITY TYPE"_s, u"Lost"_s, u"PICTURE"_s),
              u"logo.bmp"_s);
}

TEST_F(LookupWindowsTest, ThePickerNarrowsAsTheUserTypes) {
    fillCountries(60);
    // Column 0 counts as column 1; the shared values are taken, the fifth kept.
    share(u"Countries"_s, u"0"_s, u"Code 1"_s, QString(), u"kept"_s);
    TableLookup picker;
    EXPECT_EQ(state().SharedValues[0] + state().SharedValues[4], u"kept"_s);
    picker.show();
    EXPECT_FALSE(child<QPushButton>(&picker, "AddButton")->isEnabled())
        << "Countries has no record window to add in";
    struct Step {
        const char* typed;
        QString first;
        int rows;
        bool selected;  // the first row, the one match
    } const steps[] = {
        {"Code 1", u"Code 10"_s, 50, false},
        {"code 15", u"Code 15"_s, 45, true},
        {"Code 9", u"Code 15"_s, 45, true},  // after the last code: unchanged
        {"Code 5", u"Code 50"_s, 10, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.typed);
        edit(&picker, "fieldvalue")->setText(QString::fromLatin1(s.typed));
        EXPECT_EQ(list(&picker)->item(0)->text(), s.first);
        EXPECT_EQ(list(&picker)->count(), s.rows);
        EXPECT_EQ(list(&picker)->selectedItems().size(), s.selected ? 1 : 0);
    }
    // Taking a row writes its text without listing again from it.
    list(&picker)->setCurrentRow(3);
    EXPECT_EQ(edit(&picker, "fieldvalue")->selectedText(), u"Code 53"_s);
    EXPECT_EQ(list(&picker)->item(0)->text(), u"Code 50"_s);
    click(&picker, "Closef");
    EXPECT_TRUE(state().SharedValues[0].isEmpty()) << "closing picks nothing";
}

TEST_F(LookupWindowsTest, SelectAcceptsKnownValuesAndFreeOnesOnlyWhenAllowed) {
    execData({u"INSERT INTO [Countries] ([COUNTRY]) VALUES ('O''Brien Isles')"_s});
    const QString others =
        u"SELECT * FROM [Countries] WHERE [COUNTRY] <> 'Ireland' ORDER BY [COUNTRY]"_s;
    struct Case {
        const char* name;
        QString alternative, free, typed;
        QString picked;  // empty: refused with message 300
    } const cases[] = {
        {"a code with a quote", {}, {}, u"o'brien isles"_s, u"O'Brien Isles"_s},
        {"not in the table", {}, {}, u"Atlantis"_s, {}},
        {"free values allowed", {}, u"No"_s, u"Atlantis"_s, u"Atlantis"_s},
        {"query: a listed code", others, {}, u"o'brien isles"_s, u"O'Brien Isles"_s},
        {"query: a code it leaves out", others, {}, u"Ireland"_s, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        share(u"Countries"_s, u"1"_s, c.typed, c.alternative, c.free);
        TableLookup picker;
        picker.show();
        if (c.picked.isEmpty()) ask.message(msgbox::kOk, u"\n\n"_s + c.typed, u"Select"_s);
        // A unique match is selected and picked as listed; otherwise the typed text counts.
        click(&picker, "Selectf");
        EXPECT_EQ(picker.isVisible(), c.picked.isEmpty());
        EXPECT_EQ(state().SharedValues[0], c.picked);
    }

    // Add opens a new record in the table's window instead of picking a value.
    registerFrameworkRecordWindows();
    share(u"Customer Feedback"_s, u"1"_s, u"O'Brien"_s);
    TableLookup picker;
    picker.show();
    click(&picker, "AddButton");
    EXPECT_FALSE(picker.isVisible());
    EXPECT_TRUE(state().SharedValues[0].isEmpty());
    RecordWindow* record = GetRecordWindow(u"Customer Feedback"_s);
    ASSERT_TRUE(record && record->isVisible());
    EXPECT_EQ(record->localEditMode(), 1);
}

}  // namespace
