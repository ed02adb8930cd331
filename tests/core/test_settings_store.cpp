// The settings store: case-insensitive names over QSettings, values kept as exact texts,
// defaults, deletion, and the typed readers of the key table.
#include "common/test_support.h"
#include "core/settings_keys.h"
#include "core/settings_store.h"
#include "core/variant.h"

#include <gtest/gtest.h>
#include <QDir>
#include <QSettings>
#include <algorithm>

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
    // How many stored keys spell `sectionAndKey` ("Section/Key") in some letter case.
    int storedSpellings(const QString& sectionAndKey) const {
        const QStringList keys = QSettings(iniPath(), QSettings::IniFormat).allKeys();
        return static_cast<int>(std::count_if(keys.begin(), keys.end(), [&](const QString& k) {
            return k.compare(sectionAndKey, Qt::CaseInsensitive) == 0;
        }));
    }

    tvtest::ScratchFolder folder_;
};

TEST_F(SettingsStoreTest, NamesCompareIgnoringCase) {
    // The Options window writes one spelling, the record windows read another.
    SaveSetting(kAppName, "Sales Orders", "Exit on Save", "1");
    EXPECT_EQ(GetSetting(kAppName, "SALES ORDERS", "exit on save", "default"), "1");

    // Overwriting under another spelling replaces the value instead of adding a second one.
    SaveSetting(kAppName, "SALES ORDERS", "EXIT ON SAVE", "0");
    EXPECT_EQ(GetSetting(kAppName, "Sales Orders", "Exit on Save", "x"), "0");
    EXPECT_EQ(storedSpellings("Sales Orders/Exit On Save"), 1);
}

TEST_F(SettingsStoreTest, MissingValueGivesDefaultAndStoredTextsComeBackWhole) {
    EXPECT_EQ(GetSetting(kAppName, "Options", "User Id", "fallback"), "fallback");
    SaveSetting(kAppName, "Options", "Application Name", "");
    EXPECT_EQ(GetSetting(kAppName, "Options", "Application Name", "fallback"), QString());
    // An INI reader takes unquoted commas, as a hand edit leaves them, for a list.
    QSettings(iniPath(), QSettings::IniFormat)
        .setValue("Customers Grid/Order", QStringList{"2", "0", "1"});
    EXPECT_EQ(GetSetting(kAppName, "customers grid", "order", "?"), "2,0,1");
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
    SaveSetting(kAppName, "Quotes Grid", "Widths", "100,200");
    SaveSetting(kAppName, "Quotes Grid", "Form Top", "15");
    tv::DeleteSetting(kAppName, "QUOTES GRID", "widths");
    tv::DeleteSetting(kAppName, "Quotes Grid", "Never Stored");  // no error
    tv::DeleteSetting(kAppName, "No Such Section", "Widths");    // no error
    EXPECT_EQ(GetSetting(kAppName, "Quotes Grid", "Widths", "gone"), "gone");
    EXPECT_EQ(GetSetting(kAppName, "Quotes Grid", "Form Top", "gone"), "15");
}

TEST_F(SettingsStoreTest, SecondSpellingLeftInTheFileIsFoldedAwayOnSave) {
    {
        // A file edited by hand (or by an older version) holding both spellings.
        QSettings raw(iniPath(), QSettings::IniFormat);
        raw.setValue("Contacts/Exit On Save", "1");
        raw.setValue("contacts/exit on save", "0");
    }
    ASSERT_EQ(storedSpellings("Contacts/Exit On Save"), 2);

    SaveSetting(kAppName, "Contacts", "Exit on Save", "1");
    EXPECT_EQ(storedSpellings("Contacts/Exit On Save"), 1);
    EXPECT_EQ(GetSetting(kAppName, "CONTACTS", "EXIT ON SAVE", "x"), "1");

    tv::DeleteSetting(kAppName, "Contacts", "Exit On Save");
    EXPECT_EQ(storedSpellings("Contacts/Exit On Save"), 0);
}

TEST_F(SettingsStoreTest, BatchedWritesAreSeenAtOnceAndStoredWhenTheBatchEnds) {
    SaveSetting(kAppName, "Options", "Print Preview", "0");
    {
        tv::SettingsBatch batch;
        SaveSetting(kAppName, "Options", "print preview", "1");
        {
            tv::SettingsBatch inner;
            SaveSetting(kAppName, "Sales Orders", "Exit On Save", "1");
        }
        // Reads in between do not disturb the writes that follow.
        EXPECT_EQ(GetSetting(kAppName, "OPTIONS", "Print Preview", "x"), "1");
        SaveSetting(kAppName, "Sales Orders", "Descending Sort", "1");
    }
    QSettings raw(iniPath(), QSettings::IniFormat);
    EXPECT_EQ(raw.value("Sales Orders/Exit On Save").toString(), "1");
    EXPECT_EQ(raw.value("Sales Orders/Descending Sort").toString(), "1");
    EXPECT_EQ(storedSpellings("Options/Print Preview"), 1);
}

TEST_F(SettingsStoreTest, FreshWorkstationDefaults) {
    EXPECT_EQ(tv::Setting(tv::keys::DefinitionsLocation), QDir::homePath() + "/Tolvarine/Database");
    EXPECT_EQ(tv::Setting(tv::keys::DataLocation), tv::defaultDatabaseFolder());
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

TEST_F(SettingsStoreTest, StoredTextsConvertAsTheirKeysReaderDoes) {
    tv::SaveSetting(tv::keys::FormWidth("Help Form"), "40000");  // a Long: beyond 16 bits
    EXPECT_EQ(tv::SettingInt(tv::keys::FormWidth("Help Form")), 40000);
    tv::SaveSetting(tv::keys::CalculateTaxOnCost, "True");
    EXPECT_EQ(tv::SettingInt(tv::keys::CalculateTaxOnCost), -1);
    const auto errorOf = [](const tv::SettingKey& key, const QString& stored) {
        tv::SaveSetting(key, stored);
        try {
            tv::SettingInt(key);
        } catch (const tv::ConversionError& e) {
            return e.number();
        }
        return 0;
    };
    EXPECT_EQ(errorOf(tv::keys::FormWidth("Customer"), "40000"), tv::kErrOverflow);  // Integer
    EXPECT_EQ(errorOf(tv::keys::StartFormsAtTop, "top"), tv::kErrTypeMismatch);
    tv::SaveSetting(tv::keys::SimpleEmailAddress, "maybe");
    EXPECT_THROW(tv::SettingBool(tv::keys::SimpleEmailAddress), tv::ConversionError);
}

}  // namespace
