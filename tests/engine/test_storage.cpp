// How values are stored and read back: each column type's SQLite form (other tools read
// the files, a memo "007" stays text), conversions of assigned texts, field descriptions
// after reopening, and the checks made before anything is written.
#include "engine_fixture.h"

#include "core/convert.h"
#include "core/format.h"

using namespace tv::engine;
using tvtest::dbErrorOf;
using tvtest::rawRows;
using tvtest::textOf;

namespace {

class StorageTest : public tvtest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        db_.Execute(
            "CREATE TABLE [Types] ([ID] LONG NOT NULL, [FLAG] BIT, [SMALL] BYTE, [SHORTNUM] SHORT, "
            "[NUM] LONG, [MONEY] CURRENCY, [SINGLENUM] SINGLE, [DOUBLENUM] DOUBLE, "
            "[WHEN] DATETIME, [CODE] TEXT(10) NOZEROLENGTH, [NOTES] MEMO, [DATA] LONGBINARY, "
            "[NAME] TEXT(50) NOT NULL, CONSTRAINT PrimaryKey PRIMARY KEY ([ID]))");
    }
    void addRow(int id, const QString& column, const tv::Variant& value) {
        Recordset rs = db_.OpenRecordset("Types");
        rs.AddNew();
        rs.FieldNamed("ID").SetValue(id);
        rs.FieldNamed("NAME").SetValue("row");
        rs.FieldNamed(column).SetValue(value);
        rs.Update();
    }
    Recordset rowAt(int id) {
        Recordset rs = db_.OpenRecordset("Types");
        rs.SetIndex("PrimaryKey");
        rs.Seek("=", id);
        EXPECT_FALSE(rs.NoMatch());
        return rs;
    }
};

TEST_F(StorageTest, AssignedTextIsStoredInTheColumnsOwnFormAndReadBackTheSame) {
    TV_FILES_ONLY();
    struct Case {
        const char* column;
        const char* assigned;  // a text, converted by the engine
        const char* stored;    // typeof:value as SQLite holds it
        tv::VarType readType;  // what Value() gives back
        const char* readBack;  // its text
        FieldType type;        // the field description after reopening
        int size;
    };
    const Case cases[] = {
        {"FLAG", "True", "integer:-1", tv::VarType::Boolean, "True", FieldType::Boolean, 1},
        {"FLAG", "0", "integer:0", tv::VarType::Boolean, "False", FieldType::Boolean, 1},
        {"SMALL", "200", "integer:200", tv::VarType::Integer, "200", FieldType::Byte, 1},
        {"SHORTNUM", "-5", "integer:-5", tv::VarType::Integer, "-5", FieldType::Integer, 2},
        {"NUM", "42", "integer:42", tv::VarType::Long, "42", FieldType::Long, 4},
        {"MONEY", "12.3456", "real:12.3456", tv::VarType::Currency, "12.3456", FieldType::Currency,
         8},
        {"SINGLENUM", "1.1", "real:1.1", tv::VarType::Single, "1.1", FieldType::Single, 4},
        {"DOUBLENUM", "2.5", "real:2.5", tv::VarType::Double, "2.5", FieldType::Double, 8},
        {"WHEN", "05/12/2026 14:30:00", "text:2026-12-05 14:30:00", tv::VarType::Date,
         "05/12/2026 14:30:00", FieldType::Date, 8},
        // Exactly the size, and leading zeros kept.
        {"CODE", "0123456789", "text:0123456789", tv::VarType::String, "0123456789",
         FieldType::Text, 10},
        {"NOTES", "007", "text:007", tv::VarType::String, "007", FieldType::Memo, 0},
        {"DATA", "bytes", "blob:bytes", tv::VarType::Binary, "bytes", FieldType::LongBinary, 0},
    };
    int id = 0;
    for (const Case& c : cases) addRow(++id, c.column, QString::fromUtf8(c.assigned));
    reopen();
    const TableDef def = db_.TableDefNamed("Types");
    id = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.assigned);
        const QString column = QString::fromUtf8(c.column);
        const auto raw = rawRows(
            path_, QStringLiteral("SELECT typeof(\"%1\") || ':' || \"%1\" FROM Types WHERE ID = %2")
                       .arg(column)
                       .arg(++id));
        ASSERT_EQ(raw.size(), 1u);
        EXPECT_EQ(raw[0][0], QString::fromUtf8(c.stored));
        Recordset rs = rowAt(id);
        EXPECT_EQ(rs[column].type(), c.readType);
        EXPECT_EQ(tv::TextOf(rs[column]), QString::fromUtf8(c.readBack));
        for (const Field& f : {def.FieldNamed(column), rs.FieldNamed(column)}) {
            EXPECT_EQ(f.Type(), c.type);
            EXPECT_EQ(f.Size(), c.size);
            EXPECT_EQ(f.AllowZeroLength(), column != "CODE");
        }
    }
    EXPECT_TRUE(def.FieldNamed("ID").Required() && !def.FieldNamed("NUM").Required());
    // Columns left alone hold Null; text compares ignoring case in the file itself, so
    // any SQLite tool finds the rows the program finds.
    EXPECT_EQ(rawRows(path_, "SELECT typeof(NUM), typeof([WHEN]) FROM Types WHERE ID = 1")[0],
              QStringList({"null", "null"}));
    EXPECT_EQ(rawRows(path_, "SELECT count(*) FROM Types WHERE NAME = 'ROW'")[0][0], "12");
}

TEST_F(StorageTest, ARefusedValueWritesNothingAndLeavesTheEditPending) {
    addRow(1, "CODE", "A");
    // A value that does not convert is refused when assigned (the buffer keeps what it
    // had), the rest by Jet's checks at Update.
    const struct {
        const char* column;
        tv::Variant value;
        int error;
        bool atUpdate;
    } cases[] = {
        {"NUM", "abc", err::kTypeMismatch, false},
        {"NUM", "", err::kTypeMismatch, false},
        {"SHORTNUM", "70000", 3349, false},
        {"SMALL", "300", 3349, false},
        {"WHEN", "not a date", err::kTypeMismatch, false},
        {"FLAG", "maybe", err::kTypeMismatch, false},
        {"MONEY", "12,34.5x", err::kTypeMismatch, false},
        {"NAME", tv::Variant(), err::kRequiredNull, true},
        {"CODE", "", err::kZeroLength, true},
        {"CODE", "12345678901", err::kFieldTooLong, true},
        {"ID", 1, err::kDuplicateKey, true},
    };
    Recordset rs = db_.OpenRecordset("Types");
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + textOf(c.value).toStdString());
        rs.AddNew();
        rs.FieldNamed("ID").SetValue(2);
        rs.FieldNamed("NAME").SetValue("row");
        const int error = dbErrorOf([&] {
            rs.FieldNamed(c.column).SetValue(c.value);
            rs.Update();
        });
        EXPECT_EQ(error, c.error);
        if (!c.atUpdate) {
            EXPECT_TRUE(rs[QString::fromUtf8(c.column)].isNull()) << "the buffer changed";
        }
        EXPECT_EQ(rs.EditModeNow(), EditMode::Add);
        rs.CancelUpdate();
    }
    EXPECT_EQ(db_.OpenRecordset("Types").RecordCount(), 1);
    EXPECT_EQ(rawRows(path_, "SELECT NAME, CODE FROM Types")[0], QStringList({"row", "A"}));
}

TEST_F(StorageTest, DatesReadBackTheSameOverTheWholeRange) {
    // Written as ISO text, read back by the engine's own reader of that text.
    const char* const texts[] = {
        "0100-01-01 00:00:00", "1800-02-28 00:00:01", "1899-12-29 06:00:00", "1899-12-30 00:00:00",
        "1899-12-30 12:00:00", "1900-02-28 23:59:59", "2026-12-05 14:30:00", "9999-12-31 23:59:59"};
    int id = 0;
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        tv::DateTime date;
        ASSERT_TRUE(tv::fromIsoText(QString::fromLatin1(text), &date));
        addRow(++id, "WHEN", date);
        EXPECT_EQ(
            rawRows(path_, QStringLiteral("SELECT [WHEN] FROM Types WHERE ID = %1").arg(id))[0][0],
            QString::fromLatin1(text));
        EXPECT_EQ(rowAt(id)["WHEN"].asDate().serial, date.serial);
    }
    // Another tool may write a date alone, with a "T", in the regional order, or no date.
    rawRows(path_, "UPDATE Types SET [WHEN] = '2026-12-05T10:00' WHERE ID = 1", true);
    rawRows(path_, "UPDATE Types SET [WHEN] = '05/12/2026 10:00' WHERE ID = 2", true);
    rawRows(path_, "UPDATE Types SET [WHEN] = 'next Tuesday' WHERE ID = 3", true);
    ASSERT_EQ(rawRows(path_, "SELECT [WHEN] FROM Types WHERE ID = 2")[0][0], "05/12/2026 10:00");
    EXPECT_EQ(tv::toIsoText(rowAt(1)["WHEN"].asDate()), "2026-12-05 10:00:00");
    EXPECT_EQ(tv::toIsoText(rowAt(2)["WHEN"].asDate()), "2026-12-05 10:00:00");
    EXPECT_EQ(rowAt(3)["WHEN"].type(), tv::VarType::String);
}

}  // namespace
