// The settings store: case-insensitive names over QSettings, values kept as exact texts,
// defaults, deletion, and the typed readers of the key table.
#include "common/test_support.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/variant.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QFile>
#include <QSettings>

namespace {

using tv::GetSetting;
using tv::kAppName;
using tv::SaveSetting;

class SettingsStoreTest : public ::testing::Test {
protected:
    void SetUp() override { tv::setSettingsLocationForTests(folder_.path()); }
    void TearDown() override { tv::setSettingsLocationForTests(QString()); }

    // The backing file, read without the store's case folding.
    QString iniPath() const { return folder_.file(kAppName + ".ini"); }
    // How many stored keys of `section` spell `key` in some letter case.
    int storedSpellings(const QString& section, const QString& key) const {
        QSettings raw(iniPath(), QSettings::IniFormat);
        int count = 0;
        for (const QString& group : raw.childGroups()) {
            if (group.compare(section, Qt::CaseInsensitive) != 0) continue;
            raw.beginGroup(group);
            for (const QString& k : raw.childKeys()) {
                if (k.compare(key, Qt::CaseInsensitive) == 0) ++count;
            }
            raw.endGroup();
        }
        return count;
    }

    tvtest::ScratchFolder folder_;
};

TEST_F(SettingsStoreTest, NamesCompareIgnoringCase) {
    // The Options window writes one spelling, the record windows read another.
    SaveSetting(kAppName, "Sales Orders", "Exit on Save", "1");
    for (const auto& [section, key] :
         std::vector<std::pair<QString, QString>>{{"Sales Orders", "Exit On Save"},
                                                  {"SALES ORDERS", "exit on save"},
                                                  {"sales orders", "EXIT ON SAVE"}}) {
        EXPECT_EQ(GetSetting(kAppName, section, key, "default"), "1") << section.toStdString();
    }

    // Overwriting under another spelling replaces the value instead of adding a second one.
    SaveSetting(kAppName, "SALES ORDERS", "EXIT ON SAVE", "0");
    EXPECT_EQ(GetSetting(kAppName, "Sales Orders", "Exit on Save", "x"), "0");
    EXPECT_EQ(storedSpellings("Sales Orders", "Exit On Save"), 1);
}

TEST_F(SettingsStoreTest, MissingValueGivesDefaultButStoredEmptyTextDoesNot) {
    EXPECT_EQ(GetSetting(kAppName, "Options", "User Id", "fallback"), "fallback");
    EXPECT_EQ(GetSetting(kAppName, "Options", "User Id", QString()), QString());

    SaveSetting(kAppName, "Options", "Application Name", "");
    EXPECT_EQ(GetSetting(kAppName, "Options", "Application Name", "fallback"), QString());
}

TEST_F(SettingsStoreTest, ValuesComeBackAsExactTexts) {
    // Texts that an INI writer is tempted to reinterpret: lists, variants, comments,
    // quotes, separators, padding and non-ASCII letters.
    const QStringList values = {
        "1545,1545,2000",
        "1545, 1545",
        "@Variant(\\0\\0\\0\\x7f)",
        "@ByteArray(x)",
        "c:\\Tolvarine\\Database",
        "/home/someone/Tolvarine/Database",
        "O'Brien",
        "\"quoted\"",
        "  padded  ",
        "line one\nline two",
        ";not a comment",
        "#not a comment",
        "a=b",
        "Zoë Ångström",
        "true",
        "007",
    };
    for (const QString& value : values) {
        SaveSetting(kAppName, "Customers Grid", "Widths", value);
        EXPECT_EQ(GetSetting(kAppName, "Customers Grid", "Widths", "?"), value)
            << value.toStdString();
    }
}

TEST_F(SettingsStoreTest, SeparatorsInsideNamesStayPartOfTheName) {
    SaveSetting(kAppName, "Service/Sales", "Form Top", "10");
    SaveSetting(kAppName, "Service", "Sales/Form Top", "20");
    SaveSetting(kAppName, "Back\\Slash", "Key\\Name", "30");

    EXPECT_EQ(GetSetting(kAppName, "service/sales", "form top", "0"), "10");
    EXPECT_EQ(GetSetting(kAppName, "Service", "Sales/Form Top", "0"), "20");
    EXPECT_EQ(GetSetting(kAppName, "back\\slash", "key\\name", "0"), "30");
    EXPECT_EQ(GetSetting(kAppName, "Back/Slash", "Key/Name", "none"), "none");
}

TEST_F(SettingsStoreTest, DeleteRemovesOnlyTheNamedValueUnderAnySpelling) {
    // Resetting a grid layout deletes three keys and keeps the rest of the section.
    SaveSetting(kAppName, "Quotes Grid", "Widths", "100,200");
    SaveSetting(kAppName, "Quotes Grid", "Order", "1,0");
    SaveSetting(kAppName, "Quotes Grid", "RowHeight", "300");
    SaveSetting(kAppName, "Quotes Grid", "Form Top", "15");

    tv::DeleteSetting(kAppName, "QUOTES GRID", "widths");
    tv::DeleteSetting(kAppName, "quotes grid", "ORDER");
    tv::DeleteSetting(kAppName, "Quotes Grid", "rowheight");
    tv::DeleteSetting(kAppName, "Quotes Grid", "Never Stored");  // no error
    tv::DeleteSetting(kAppName, "No Such Section", "Widths");    // no error

    EXPECT_EQ(GetSetting(kAppName, "Quotes Grid", "Widths", "gone"), "gone");
    EXPECT_EQ(GetSetting(kAppName, "Quotes Grid", "Order", "gone"), "gone");
    EXPECT_EQ(GetSetting(kAppName, "Quotes Grid", "RowHeight", "gone"), "gone");
    EXPECT_EQ(GetSetting(kAppName, "Quotes Grid", "Form Top", "gone"), "15");
}

TEST_F(SettingsStoreTest, SecondSpellingLeftInTheFileIsFoldedAwayOnSave) {
    {
        // A file edited by hand (or by an older version) holding both spellings.
        QSettings raw(iniPath(), QSettings::IniFormat);
        raw.setValue("Contacts/Exit On Save", "1");
        raw.setValue("contacts/exit on save", "0");
    }
    ASSERT_EQ(storedSpellings("Contacts", "Exit On Save"), 2);

    SaveSetting(kAppName, "Contacts", "Exit on Save", "1");
    EXPECT_EQ(storedSpellings("Contacts", "Exit On Save"), 1);
    EXPECT_EQ(GetSetting(kAppName, "CONTACTS", "EXIT ON SAVE", "x"), "1");

    tv::DeleteSetting(kAppName, "Contacts", "Exit On Save");
    EXPECT_EQ(storedSpellings("Contacts", "Exit On Save"), 0);
}

TEST_F(SettingsStoreTest, BatchedWritesAreSeenAtOnceAndStoredWhenTheBatchEnds) {
    SaveSetting(kAppName, "Options", "Print Preview", "0");
    {
        tv::SettingsBatch batch;
        SaveSetting(kAppName, "Options", "print preview", "1");
        {
            tv::SettingsBatch inner;
            SaveSetting(kAppName, "Sales Orders", "Exit On Save", "1");
            tv::DeleteSetting(kAppName, "Options", "Envelope Printer");
        }
        // Reads in between do not disturb the writes that follow.
        EXPECT_EQ(GetSetting(kAppName, "OPTIONS", "Print Preview", "x"), "1");
        EXPECT_EQ(GetSetting(kAppName, "sales orders", "exit on save", "x"), "1");
        SaveSetting(kAppName, "Sales Orders", "Descending Sort", "1");
    }
    QSettings raw(iniPath(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Options/Print Preview").toString(), "1");
    EXPECT_EQ(raw.value("Sales Orders/Exit On Save").toString(), "1");
    EXPECT_EQ(raw.value("Sales Orders/Descending Sort").toString(), "1");
    EXPECT_EQ(storedSpellings("Options", "Print Preview"), 1);
}

TEST_F(SettingsStoreTest, ApplicationsDoNotShareValues) {
    SaveSetting(kAppName, "Options", "User Id", "admin");
    EXPECT_EQ(GetSetting("Another Program", "Options", "User Id", "none"), "none");
}

TEST_F(SettingsStoreTest, FreshWorkstationDefaults) {
    EXPECT_EQ(tv::Setting(tv::keys::DefinitionsLocation), tv::defaultDatabaseFolder());
    EXPECT_EQ(tv::Setting(tv::keys::DataLocation), tv::defaultDatabaseFolder());
    EXPECT_EQ(tv::defaultDatabaseFolder(), QDir::homePath() + "/Tolvarine/Database");
    EXPECT_EQ(tv::Setting(tv::keys::UserId), QString());
    EXPECT_NE(tv::SettingInt(tv::keys::ShowTipsAtStartup), 0);
    EXPECT_EQ(tv::SettingInt(tv::keys::StartFormsAtTop), 0);
    EXPECT_FALSE(tv::SettingBool(tv::keys::SimpleEmailAddress));
    EXPECT_FALSE(tv::SettingBool(tv::keys::CalculateTaxOnCost));
    EXPECT_EQ(tv::SettingInt(tv::keys::FormTop("Help Form")), -1);
    EXPECT_EQ(tv::SettingInt(tv::keys::FormTop("Customer")), 0);
}

TEST_F(SettingsStoreTest, TypedKeysShareTheStoreWithPlainCalls) {
    SaveSetting(kAppName, "Scheduled Activities", "exit on save", "1");
    EXPECT_EQ(tv::SettingInt(tv::keys::ExitOnSave("Scheduled Activities")), 1);

    tv::SaveSetting(tv::keys::DescendingSort("Customers"), "1");
    EXPECT_EQ(GetSetting(kAppName, "CUSTOMERS", "DESCENDING SORT", "0"), "1");

    tv::DeleteSetting(tv::keys::DescendingSort("customers"));
    EXPECT_EQ(tv::SettingInt(tv::keys::DescendingSort("Customers")), 0);
}

TEST_F(SettingsStoreTest, StoredValuesConvertAsTheirReadersDo) {
    struct Case {
        tv::SettingKey key;
        QString stored;
        std::int32_t expected;
    };
    const std::vector<Case> cases = {
        {tv::keys::StartFormsAtTop, "2", 2},
        {tv::keys::StartFormsAtTop, " 1 ", 1},
        {tv::keys::FormWidth("Help Form"), "40000", 40000},  // Long: beyond 16 bits
        {tv::keys::CalculateTaxOnCost, "True", -1},
        {tv::keys::CalculateTaxOnCost, "0", 0},
        {tv::keys::EmailType, "1", 1},
    };
    for (const Case& c : cases) {
        tv::SaveSetting(c.key, c.stored);
        EXPECT_EQ(tv::SettingInt(c.key), c.expected)
            << c.key.key.toStdString() << " = " << c.stored.toStdString();
    }
}

TEST_F(SettingsStoreTest, StoredValueThatDoesNotConvertRaisesTheConversionError) {
    struct Case {
        tv::SettingKey key;
        QString stored;
        int errorNumber;
    };
    const std::vector<Case> cases = {
        {tv::keys::StartFormsAtTop, "top", tv::kErrTypeMismatch},
        {tv::keys::ShowTipsAtStartup, "", tv::kErrTypeMismatch},
        {tv::keys::FormWidth("Customer"), "40000", tv::kErrOverflow},  // Integer: 16 bits
    };
    for (const Case& c : cases) {
        tv::SaveSetting(c.key, c.stored);
        try {
            tv::SettingInt(c.key);
            ADD_FAILURE() << "no error for " << c.stored.toStdString();
        } catch (const tv::ConversionError& e) {
            EXPECT_EQ(e.number(), c.errorNumber) << c.stored.toStdString();
        }
    }
    tv::SaveSetting(tv::keys::SimpleEmailAddress, "maybe");
    EXPECT_THROW(tv::SettingBool(tv::keys::SimpleEmailAddress), tv::ConversionError);
}

TEST_F(SettingsStoreTest, EveryExitOnSaveTableHasItsOwnValue) {
    const QStringList& tables = tv::exitOnSaveTables();
    ASSERT_TRUE(tables.contains("Sales Orders"));
    ASSERT_TRUE(tables.contains("System Users"));
    for (int i = 0; i < tables.size(); ++i) {
        tv::SaveSetting(tv::keys::ExitOnSave(tables[i]), QString::number(i % 2));
    }
    for (int i = 0; i < tables.size(); ++i) {
        EXPECT_EQ(tv::SettingInt(tv::keys::ExitOnSave(tables[i])), i % 2)
            << tables[i].toStdString();
    }
}

// Without the test location the store is QSettings' native one: on Linux an INI file in
// the user's config folder. The test runner gives each test program a private
// XDG_CONFIG_HOME, so this never touches a real user's settings; run by hand, it skips.
TEST(SettingsStoreNative, UsesTheUsersConfigFolder) {
#ifdef Q_OS_WIN
    GTEST_SKIP() << "the native store is the registry here";
#else
    if (qEnvironmentVariable("TOLVARINE_TEST") != "1" ||
        qEnvironmentVariableIsEmpty("XDG_CONFIG_HOME")) {
        GTEST_SKIP() << "only under the test runner's private config folder";
    }
    tv::setSettingsLocationForTests(QString());
    SaveSetting(kAppName, "Options", "User Id", "native check");
    const QString file = qEnvironmentVariable("XDG_CONFIG_HOME") + "/Tolvarine/Tolvarine.conf";
    ASSERT_TRUE(QFile::exists(file)) << file.toStdString();
    EXPECT_EQ(QSettings(file, QSettings::IniFormat).value("Options/User Id").toString(),
              "native check");
    tv::DeleteSetting(kAppName, "Options", "User Id");
#endif
}

}  // namespace
