// Lookup tables as a user maintains and uses them: codes written (renames, the columns a
// table may not have, refusals), the editor of one table with its code dialog (colours,
// refused codes), the table-lookup picker (incremental matching, selection, free
// values, Add) and a table's printout. The chooser of tables is driven by the main
// window's Lookup Tables command test.
#include "common/pdf_text.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/lookup_codes.h"
#include "forms/framework/lookup_print.h"
#include "forms/framework/lookup_table.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/table_lookup.h"
#include "framework/framework_fixture.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
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

class LookupTest : public tvtest::FrameworkTest {
protected:
    static QString codeColumn(const QString& table, const QString& keyColumn, const QString& key,
                              const QString& column) {
        return dataValue(u"SELECT [%1] FROM [%2] WHERE [%3] = %4"_s.arg(
            column, table, keyColumn, tv::engine::quoteLiteral(key)));
    }
    static int count(const QString& table) {
        return dataValue(u"SELECT Count(*) FROM [%1]"_s.arg(table)).toInt();
    }
    // Countries "Code 00", "Code 01" ... and no others.
    static void fillCountries(int n) {
        QStringList statements{u"DELETE * FROM [Countries]"_s};
        for (int i = 0; i < n; ++i)
            statements << u"INSERT INTO [Countries] ([COUNTRY]) VALUES ('Code %1')"_s.arg(
                i, 2, 10, QLatin1Char('0'));
        execData(statements);
    }
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

TEST_F(LookupTest, RenamingACodeRewritesItsRowAndAddsNone) {
    const QString table = u"Activity Types"_s, key = u"ACTIVITY TYPE"_s;
    ASSERT_EQ(SaveLookupCode(table, u"O'Brien"_s, u"Visit"_s, 255, u"call.bmp"_s, 1, {}), -1);
    const int before = count(table);
    ASSERT_EQ(SaveLookupCode(table, u"O'Neill"_s, u"Call back"_s, 255, {}, 2, u"o'brien"_s), -1);
    EXPECT_EQ(count(table), before);
    EXPECT_EQ(codeColumn(table, key, u"O'Brien"_s, key), u"<none>"_s);
    EXPECT_EQ(codeColumn(table, key, u"O'Neill"_s, u"DESCRIPTION"_s), u"Call back"_s);
    EXPECT_EQ(codeColumn(table, key, u"O'Neill"_s, u"PICTURE"_s), QString())
        << "an empty picture is stored as Null";
    // The old code is gone by now: editing it again adds the row instead.
    ASSERT_EQ(SaveLookupCode(table, u"O'Brien"_s, {}, 0, {}, 2, u"O'Brien"_s), -1);
    EXPECT_EQ(count(table), before + 1);
}

TEST_F(LookupTest, ColourAndPictureGoOnlyWhereTheTableHasThem) {
    // Time Zones keeps its offset in its third column; Countries has none at all.
    execData({u"INSERT INTO [Time Zones] ([TIME ZONE], [UTC OFFSET]) VALUES ('XST', 90)"_s});
    EXPECT_EQ(SaveLookupCode(u"Time Zones"_s, u"XST"_s, u"Example"_s, 16711680, u"call.bmp"_s, 2,
                             u"XST"_s),
              -1);
    EXPECT_EQ(codeColumn(u"Time Zones"_s, u"TIME ZONE"_s, u"XST"_s, u"UTC OFFSET"_s), u"90"_s);
    EXPECT_EQ(SaveLookupCode(u"Countries"_s, u"Ruritania"_s, {}, 255, u"call.bmp"_s, 1, {}), -1);
    EXPECT_EQ(SaveLookupCode(u"Priority Codes"_s, u"9 Someday"_s, {}, 65280, u"low.bmp"_s, 1, {}),
              -1);
    EXPECT_EQ(storedColour(u"Priority Codes"_s, u"9 someday"_s), 65280u);
}

TEST_F(LookupTest, RefusedCodesAreReportedWith195AndReleaseTheTable) {
    fillCountries(2);
    // A new code that exists, an empty one, one longer than its column.
    for (const QString& code : {u"code 01"_s, QString(), QString(51, u'x')}) {
        ask.message(tv::data::msgbox::kOk, u"could not be saved"_s);
        EXPECT_EQ(SaveLookupCode(u"Countries"_s, code, u"x"_s, 0, {}, 1, {}), 0);
        EXPECT_TRUE(ask.messages().back().text.contains(QRegularExpression(uR"(\(\d+\)\.)"_s)))
            << ask.messages().back().text.toStdString();
    }
    EXPECT_EQ(count(u"Countries"_s), 2);
    // Nothing was left holding the write lock.
    EXPECT_EQ(SaveLookupCode(u"Countries"_s, u"Code 02"_s, {}, 0, {}, 1, {}), -1);
}

TEST_F(LookupTest, TheEditorAddsCodesAndKeepsTypedValuesOfARefusedOne) {
    auto editor = openEditor(u"Priority Codes"_s, true, true);
    const int before = list(editor.get())->count();
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

TEST_F(LookupTest, EditingKeepsTheStoredColourUnlessOneIsChosen) {
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

TEST_F(LookupTest, ThePickerNarrowsAsTheUserTypes) {
    fillCountries(60);
    // Column 0 counts as column 1; the shared values are taken, the fifth kept.
    share(u"Countries"_s, u"0"_s, u"Code 1"_s, QString(), u"kept"_s);
    TableLookup picker;
    EXPECT_EQ(state().SharedValues[0] + state().SharedValues[4], u"kept"_s);
    picker.show();
    EXPECT_FALSE(child<QPushButton>(&picker, "AddButton")->isEnabled())
        << "Countries has no record window to add in";
    // Typed text: first row listed, rows, whether that row (the one match) is selected.
    const char* steps[][4] = {{"Code 1", "Code 10", "50", "0"},
                              {"code 15", "Code 15", "45", "1"},
                              {"Code 9", "Code 15", "45", "1"},  // after the last code: unchanged
                              {"Code 5", "Code 50", "10", "0"}};
    for (const auto& [typed, first, rows, selected] : steps) {
        edit(&picker, "fieldvalue")->setText(QString::fromLatin1(typed));
        EXPECT_EQ(
            u"%1 %2 %3"_s.arg(list(&picker)->item(0)->text())
                .arg(list(&picker)->count())
                .arg(list(&picker)->selectedItems().size()),
            u"%1 %2 %3"_s.arg(QLatin1String(first), QLatin1String(rows), QLatin1String(selected)))
            << typed;
    }
    // Taking a row writes its text without listing again from it.
    list(&picker)->setCurrentRow(3);
    EXPECT_EQ(edit(&picker, "fieldvalue")->selectedText(), u"Code 53"_s);
    EXPECT_EQ(list(&picker)->item(0)->text(), u"Code 50"_s);
    click(&picker, "Closef");
    EXPECT_TRUE(state().SharedValues[0].isEmpty()) << "closing picks nothing";
}

TEST_F(LookupTest, SelectAcceptsKnownValuesAndFreeOnesOnlyWhenAllowed) {
    execData({u"INSERT INTO [Countries] ([COUNTRY]) VALUES ('O''Brien Isles')"_s});
    const QString others =
        u"SELECT * FROM [Countries] WHERE [COUNTRY] <> 'Ireland' ORDER BY [COUNTRY]"_s;
    // A code with a quote, one not in the table (refused, then allowed as a free value), and
    // through a query: a code it lists and one it leaves out.
    const struct {
        QString alternative, free, typed;
        QString picked;  // empty: refused with message 300
    } cases[] = {{{}, {}, u"o'brien isles"_s, u"O'Brien Isles"_s},
                 {{}, {}, u"Atlantis"_s, {}},
                 {{}, u"No"_s, u"Atlantis"_s, u"Atlantis"_s},
                 {others, {}, u"o'brien isles"_s, u"O'Brien Isles"_s},
                 {others, {}, u"Ireland"_s, {}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
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

TEST_F(LookupTest, ATablePrintsEveryCodeInKeyOrder) {
    QStringList rows{u"DELETE * FROM [Countries]"_s};
    for (int i = 0; i < 150; ++i)
        rows << u"INSERT INTO [Countries] ([COUNTRY]) VALUES ('Code %1')"_s.arg(i, 3, 10,
                                                                                QChar(u'0'));
    rows << u"INSERT INTO [Countries] VALUES ('A''s Land', 'First')"_s;
    execData(rows);
    tv::forms::LookupPrintout printout;
    ASSERT_TRUE(tv::forms::ReadLookupPrintout(u"Countries"_s, u"Countries"_s, printout));
    EXPECT_EQ(printout.table.subtitles,
              (QStringList{u"Tolvarine Customer Management"_s, u"Version 1.20"_s}));
    ASSERT_EQ(printout.table.columns.size(), 2u);
    EXPECT_EQ(printout.table.columns[1].width, 100);
    // Numbers keep their width and stand to the right.
    tv::forms::LookupPrintout zones;
    ASSERT_TRUE(tv::forms::ReadLookupPrintout(u"Time Zones"_s, QString(), zones));
    EXPECT_FALSE(zones.table.columns.back().narrows);
    EXPECT_EQ(zones.table.columns.back().alignment, Qt::AlignRight);

    const QString pdf = data.file(u"codes.pdf"_s);
    ask.printer(true, pdf);
    ASSERT_TRUE(tv::forms::PrintLookupTable(u"Countries"_s, u"Countries"_s));
    const QStringList pages = tvtest::pdfPages(pdf);
    ASSERT_GE(pages.size(), 3);
    EXPECT_TRUE(pages[0].contains(u"A's Land"_s));
    EXPECT_LT(pages[0].indexOf(u"A's Land"_s), pages[0].indexOf(u"Code 00"_s));
    const QString last = dataValue(u"SELECT Max([COUNTRY]) FROM [Countries]"_s);
    EXPECT_TRUE(pages.back().contains(last)) << last.toStdString();
    ask.printer(false);
    EXPECT_FALSE(tv::forms::PrintLookupTable(u"Countries"_s, u"Countries"_s));
}

}  // namespace
