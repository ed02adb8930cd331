// The lookup-table windows as a user drives them: the chooser, the editor of one table
// with its code dialog (colours, pictures, refused codes, deleting), and the table-lookup
// picker (incremental matching, selection, free values, Add).
#include "data/app_state.h"
#include "forms/framework/code_form.h"
#include "forms/framework/controls.h"
#include "forms/framework/lookup_codes.h"
#include "forms/framework/lookup_table.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/table_list.h"
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
using tv::data::state;
namespace msgbox = tv::data::msgbox;

template <typename T>
T* child(const QWidget* window, const char* name) {
    T* found = window->findChild<T*>(QString::fromLatin1(name));
    EXPECT_TRUE(found) << name;
    return found;
}

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
    std::unique_ptr<LookupTable> openEditor(const QString& table, const QString& caption,
                                            bool colour, bool picture) {
        state().SharedValues[1] = caption;
        auto editor = std::make_unique<LookupTable>();
        editor->setAttribute(Qt::WA_DeleteOnClose, false);
        setTag(editor.get(), table);
        child<QCheckBox>(editor.get(), "ColourSupport")->setChecked(colour);
        child<QCheckBox>(editor.get(), "PictureSupport")->setChecked(picture);
        editor->show();
        return editor;
    }
    static void selectCode(LookupTable& editor, const QString& code) {
        auto* list = child<QListWidget>(&editor, "List1");
        const QList<QListWidgetItem*> items = list->findItems(code, Qt::MatchExactly);
        ASSERT_EQ(items.size(), 1) << code.toStdString();
        list->setCurrentItem(items.front());
    }
};

TEST_F(LookupWindowsTest, ChooserHandsBackTheChosenTable) {
    TableList chooser;
    auto* list = child<QListWidget>(&chooser, "List1");
    auto rowOf = [&](const char* text) {
        const auto items = list->findItems(QString::fromLatin1(text), Qt::MatchExactly);
        return items.size() == 1 ? list->row(items.front()) : -1;
    };
    chooser.choose(-1);
    EXPECT_TRUE(state().SharedValues[0].isEmpty());
    chooser.choose(rowOf("Time Zones"));
    EXPECT_EQ(state().SharedValues[2] + state().SharedValues[3], QStringLiteral("00"));
    chooser.choose(rowOf("Service Priority Codes"));
    EXPECT_EQ(state().SharedValues,
              (std::array<QString, 5>{QStringLiteral("Priority Codes"),
                                      QStringLiteral("Service Priority Codes"),
                                      QStringLiteral("-1"), QStringLiteral("-1"), QString()}));
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    // Only a flag that reads "False" is off.
    EXPECT_TRUE(lookupFlag(tv::Variant()));
    EXPECT_FALSE(lookupFlag(tv::Variant(std::int16_t{0})));
}

TEST_F(LookupWindowsTest, EditorListsCodesAndAddsThroughTheCodeDialog) {
    auto editor = openEditor(QStringLiteral("Priority Codes"),
                             QStringLiteral("Service Priority Codes"), true, true);
    auto* list = child<QListWidget>(editor.get(), "List1");
    EXPECT_EQ(editor->windowTitle(), QStringLiteral("Service Priority Codes"));
    const int before = list->count();
    ASSERT_GT(before, 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("1 Critical"));

    whenModal([](QDialog* dialog) {
        EXPECT_TRUE(child<QWidget>(dialog, "SetColour")->isVisibleTo(dialog));
        child<QLineEdit>(dialog, "CodeString")->setText(QStringLiteral("0 O'Brien"));
        child<QLineEdit>(dialog, "Description")->setText(QStringLiteral("Our best customer"));
        child<QPushButton>(dialog, "SaveDetails")->click();
    });
    editor->addCode();
    EXPECT_EQ(list->count(), before + 1);
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("0 O'Brien"));
    EXPECT_EQ(list->currentRow(), 0) << "the new code is selected";
    EXPECT_EQ(codeColumn(QStringLiteral("Priority Codes"), QStringLiteral("PRIORITY"),
                         QStringLiteral("0 O'Brien"), QStringLiteral("COLOUR")),
              QStringLiteral("0"))
        << "a new code without a chosen colour";

    // A refused code: message 195 with the engine's text, the dialog open with the entries.
    ask.message(msgbox::kOk, QStringLiteral("(3022)."));
    bool stayed = false;
    whenModal([&](QDialog* dialog) {
        child<QLineEdit>(dialog, "CodeString")->setText(QStringLiteral("2 High"));
        child<QLineEdit>(dialog, "Description")->setText(QStringLiteral("typed by hand"));
        child<QPushButton>(dialog, "SaveDetails")->click();
        stayed = dialog->isVisible() &&
                 child<QLineEdit>(dialog, "Description")->text() == QStringLiteral("typed by hand");
        dialog->reject();
    });
    editor->addCode();
    EXPECT_TRUE(stayed);
}

TEST_F(LookupWindowsTest, EditingKeepsTheStoredColourUnlessOneIsChosen) {
    const QString table = QStringLiteral("Priority Codes");
    const QString stored = codeColumn(table, QStringLiteral("PRIORITY"),
                                      QStringLiteral("1 Critical"), QStringLiteral("COLOUR"));
    ASSERT_NE(stored, QStringLiteral("0"));
    auto editor = openEditor(table, table, true, false);

    struct Case {
        const char* name;
        std::optional<std::uint32_t> chosen;  // nothing: no colour chosen
        QString expected;
    };
    const Case cases[] = {
        {"no colour chosen", std::nullopt, stored},
        {"black chosen", 0u, QStringLiteral("0")},
        {"red chosen", 255u, QStringLiteral("255")},
    };
    QString current = QStringLiteral("1 Critical");
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.chosen) ask.colour(c.chosen);
        const QString renamed = QStringLiteral("1 Critical %1").arg(++n);
        selectCode(*editor, current);
        whenModal([&](QDialog* dialog) {
            EXPECT_FALSE(child<QWidget>(dialog, "PictureFile")->isVisibleTo(dialog));
            EXPECT_EQ(child<QLineEdit>(dialog, "CodeString")->text(), current);
            if (c.chosen) child<QPushButton>(dialog, "SetColour")->click();
            child<QLineEdit>(dialog, "CodeString")->setText(renamed);
            child<QPushButton>(dialog, "SaveDetails")->click();
        });
        editor->editCode();
        current = renamed;
        EXPECT_EQ(codeColumn(table, QStringLiteral("PRIORITY"), current, QStringLiteral("COLOUR")),
                  c.expected);
    }
    EXPECT_EQ(child<QListWidget>(editor.get(), "List1")
                  ->findItems(QStringLiteral("1 Critical"), Qt::MatchStartsWith)
                  .size(),
              1)
        << "each rename rewrote the one row";
}

TEST_F(LookupWindowsTest, DeletingAsksAndRefillsOnlyAfterADelete) {
    const QString table = QStringLiteral("Activity Types");
    execData({QStringLiteral("INSERT INTO [Activity Types] ([ACTIVITY TYPE]) VALUES ('O''Brien')"),
              QStringLiteral("INSERT INTO [Activity Types] ([ACTIVITY TYPE]) VALUES ('Gone')")});
    auto editor = openEditor(table, table, true, true);
    auto* list = child<QListWidget>(editor.get(), "List1");
    const int before = list->count();

    selectCode(*editor, QStringLiteral("O'Brien"));
    ask.message(msgbox::kNo, QStringLiteral("Are you sure"));
    editor->deleteCode();
    EXPECT_EQ(list->count(), before);

    ask.message(msgbox::kYes, QStringLiteral("Are you sure"));
    editor->deleteCode();
    EXPECT_EQ(list->count(), before - 1);
    EXPECT_TRUE(list->findItems(QStringLiteral("O'Brien"), Qt::MatchExactly).isEmpty());

    // Another workstation deleted it first: said so, and the list is left as it was.
    execData({QStringLiteral("DELETE * FROM [Activity Types] WHERE [ACTIVITY TYPE] = 'Gone'")});
    selectCode(*editor, QStringLiteral("Gone"));
    ask.message(msgbox::kYes, QStringLiteral("Are you sure"));
    ask.message(msgbox::kOk, QStringLiteral("could not be found"));
    editor->deleteCode();
    EXPECT_EQ(list->count(), before - 1);
}

TEST_F(LookupWindowsTest, PicturesShowWhenTheirFileExistsAndBrowsedOnesAreCopiedIn) {
    const QString table = QStringLiteral("Activity Types");
    execData({QStringLiteral("INSERT INTO [Activity Types] ([ACTIVITY TYPE], [PICTURE]) "
                             "VALUES ('Lost', 'no such file.bmp')"),
              QStringLiteral("INSERT INTO [Activity Types] ([ACTIVITY TYPE], [PICTURE]) "
                             "VALUES ('Kept', 'call.bmp')")});
    for (const auto& [key, shows] : {std::pair{"Lost", false}, std::pair{"Kept", true}}) {
        SCOPED_TRACE(key);
        CodeForm form;
        form.setUp(table, true, true);
        form.editCode(QString::fromLatin1(key));
        form.show();
        auto* image = child<QLabel>(&form, "Image1");
        EXPECT_EQ(!image->pixmap().isNull(), shows);
        EXPECT_EQ(child<QComboBox>(&form, "PictureFile")->currentText().isEmpty(), !shows);
    }

    const QString outside = data.file(QStringLiteral("logo.bmp"));
    QImage picture(8, 8, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(outside));
    CodeForm form;
    form.setUp(table, true, true);
    form.editCode(QStringLiteral("Lost"));
    ask.openFile(outside);
    form.browsePicture();
    EXPECT_EQ(child<QComboBox>(&form, "PictureFile")->currentText(), QStringLiteral("logo.bmp"));
    EXPECT_TRUE(QFile::exists(pictureFolder() + QStringLiteral("logo.bmp")));
    ASSERT_TRUE(form.saveDetails());
    EXPECT_EQ(codeColumn(table, QStringLiteral("ACTIVITY TYPE"), QStringLiteral("Lost"),
                         QStringLiteral("PICTURE")),
              QStringLiteral("logo.bmp"));
}

TEST_F(LookupWindowsTest, PickerReadsItsInputsAndTreatsColumnZeroAsOne) {
    fillCountries(60);
    for (const QString& column : {QString(), QStringLiteral("0"), QStringLiteral("1")}) {
        SCOPED_TRACE(column.toStdString());
        share(QStringLiteral("Countries"), column, QStringLiteral("Code 1"), QString(),
              QStringLiteral("kept"));
        TableLookup picker;
        EXPECT_EQ(state().SharedValues,
                  (std::array<QString, 5>{QString(), QString(), QString(), QString(),
                                          QStringLiteral("kept")}));
        picker.show();
        auto* list = child<QListWidget>(&picker, "List1");
        EXPECT_EQ(list->count(), 50);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("Code 10"));
        EXPECT_EQ(child<QLineEdit>(&picker, "fieldvalue")->text(), QStringLiteral("Code 1"));
        EXPECT_FALSE(child<QPushButton>(&picker, "AddButton")->isEnabled())
            << "Countries has no record window to add in";
        child<QPushButton>(&picker, "Closef")->click();
        EXPECT_FALSE(picker.isVisible());
        EXPECT_TRUE(state().SharedValues[0].isEmpty()) << "closing picks nothing";
    }
}

TEST_F(LookupWindowsTest, PickerNarrowsAsTheUserTypes) {
    fillCountries(60);
    share(QStringLiteral("Countries"), QStringLiteral("1"), QString());
    TableLookup picker;
    picker.show();
    auto* list = child<QListWidget>(&picker, "List1");
    auto* text = child<QLineEdit>(&picker, "fieldvalue");
    EXPECT_EQ(list->count(), 50);

    struct Step {
        const char* typed;
        QString first;
        int rows;
        bool selected;  // the first row, the one match
    };
    const Step steps[] = {
        {"Code 1", QStringLiteral("Code 10"), 50, false},
        {"code 15", QStringLiteral("Code 15"), 45, true},
        {"Code 9", QStringLiteral("Code 15"), 45, true},  // after the last code: unchanged
        {"Code 5", QStringLiteral("Code 50"), 10, false},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.typed);
        text->setText(QString::fromLatin1(s.typed));
        EXPECT_EQ(list->item(0)->text(), s.first);
        EXPECT_EQ(list->count(), s.rows);
        EXPECT_EQ(list->selectedItems().size(), s.selected ? 1 : 0);
    }

    // Taking a row writes its text without listing again from it.
    list->setCurrentRow(3);
    EXPECT_EQ(text->text(), QStringLiteral("Code 53"));
    EXPECT_EQ(list->item(0)->text(), QStringLiteral("Code 50"));
    EXPECT_EQ(text->selectedText(), QStringLiteral("Code 53"));
}

TEST_F(LookupWindowsTest, SelectAcceptsKnownValuesAndFreeOnesOnlyWhenAllowed) {
    execData({QStringLiteral("INSERT INTO [Countries] ([COUNTRY]) VALUES ('O''Brien Isles')")});
    const QString others =
        QStringLiteral("SELECT * FROM [Countries] WHERE [COUNTRY] <> 'Ireland' ORDER BY [COUNTRY]");
    struct Case {
        const char* name;
        QString alternative;
        QString free;
        QString typed;
        QString picked;  // empty: refused with message 300
    };
    const Case cases[] = {
        {"a code with a quote", QString(), QString(), QStringLiteral("o'brien isles"),
         QStringLiteral("O'Brien Isles")},
        {"not in the table", QString(), QString(), QStringLiteral("Atlantis"), QString()},
        {"free values allowed", QString(), QStringLiteral("No"), QStringLiteral("Atlantis"),
         QStringLiteral("Atlantis")},
        {"query: a listed code", others, QString(), QStringLiteral("o'brien isles"),
         QStringLiteral("O'Brien Isles")},
        {"query: a code it leaves out", others, QString(), QStringLiteral("Ireland"), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        share(QStringLiteral("Countries"), QStringLiteral("1"), c.typed, c.alternative, c.free);
        TableLookup picker;
        picker.show();
        if (c.picked.isEmpty())
            ask.message(msgbox::kOk, QStringLiteral("\n\n") + c.typed, QStringLiteral("Select"));
        // A unique match is selected and picked as listed; otherwise the typed text counts.
        child<QPushButton>(&picker, "Selectf")->click();
        EXPECT_EQ(picker.isVisible(), c.picked.isEmpty());
        EXPECT_EQ(state().SharedValues[0], c.picked);
    }
}

TEST_F(LookupWindowsTest, AddOpensANewRecordInsteadOfPickingAValue) {
    registerFrameworkRecordWindows();
    share(QStringLiteral("Customer Feedback"), QStringLiteral("1"), QStringLiteral("O'Brien"));
    TableLookup picker;
    picker.show();
    child<QPushButton>(&picker, "AddButton")->click();
    EXPECT_FALSE(picker.isVisible());
    EXPECT_TRUE(state().SharedValues[0].isEmpty());
    RecordWindow* record = GetRecordWindow(QStringLiteral("Customer Feedback"));
    ASSERT_TRUE(record);
    EXPECT_TRUE(record->isVisible());
    EXPECT_EQ(record->localEditMode(), 1);
    EXPECT_EQ(tagOf(record), QStringLiteral("Customer Feedback"));
}

}  // namespace
