// How values are stored and read back: each column type's SQLite form (so that other
// tools read the files and a memo "007" stays text), conversions of assigned texts, and
// the checks Update makes before anything is written.
#include "engine_fixture.h"

#include "core/convert.h"

using namespace tv::engine;
using tvtest::dbErrorOf;
using tvtest::rawRows;

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
    // Adds row `id` with one column assigned `value` (and the required name).
    void addRow(int id, const QString& column, const tv::Variant& value) {
        Recordset rs = db_.OpenRecordset("Types");
        rs.AddNew();
        rs.FieldNamed("ID").SetValue(id);
        rs.FieldNamed("NAME").SetValue("row");
        rs.FieldNamed(column).SetValue(value);
        rs.Update();
    }
    long rowCount() { return db_.OpenRecordset("Types").RecordCount(); }
};

struct StoredCase {
    const char* column;
    const char* assigned;  // a text, converted by the engine
    const char* stored;    // typeof:value as SQLite holds it
    tv::VarType readType;  // what Value() gives back
};

TEST_F(StorageTest, AssignedTextIsStoredInTheColumnsOwnForm) {
    const StoredCase cases[] = {
        {"FLAG", "True", "integer:-1", tv::VarType::Boolean},
        {"FLAG", "0", "integer:0", tv::VarType::Boolean},
        {"SMALL", "200", "integer:200", tv::VarType::Integer},
        {"SHORTNUM", "-5", "integer:-5", tv::VarType::Integer},
        {"NUM", "42", "integer:42", tv::VarType::Long},
        {"MONEY", "12.3456", "real:12.3456", tv::VarType::Currency},
        {"SINGLENUM", "1.1", "real:1.1", tv::VarType::Single},
        {"DOUBLENUM", "2.5", "real:2.5", tv::VarType::Double},
        {"WHEN", "05/12/2026 14:30:00", "text:2026-12-05 14:30:00", tv::VarType::Date},
        {"CODE", "007", "text:007", tv::VarType::String},
        {"NOTES", "007", "text:007", tv::VarType::String},
        {"DATA", "bytes", "blob:bytes", tv::VarType::Binary},
    };
    int id = 0;
    for (const StoredCase& c : cases) {
        SCOPED_TRACE(std::string(c.column) + " = " + c.assigned);
        addRow(++id, c.column, QString::fromUtf8(c.assigned));
        const auto raw = rawRows(
            path_, QStringLiteral("SELECT \"%1\" FROM Types WHERE ID = %2").arg(c.column).arg(id),
            true);
        ASSERT_EQ(raw.size(), 1u);
        EXPECT_EQ(raw[0][0], QString::fromUtf8(c.stored));

        Recordset rs = db_.OpenRecordset("Types");
        rs.SetIndex("PrimaryKey");
        rs.Seek("=", id);
        ASSERT_FALSE(rs.NoMatch());
        EXPECT_EQ(rs[QString::fromUtf8(c.column)].type(), c.readType);
    }
}

TEST_F(StorageTest, ValuesReadBackEqualToWhatWasAssigned) {
    addRow(1, "MONEY", "12.3456");
    addRow(2, "WHEN", "05/12/2026 14:30:00");
    addRow(3, "FLAG", "-1");
    addRow(4, "SINGLENUM", "1.1");
    Recordset rs = db_.OpenRecordset("Types");
    rs.SetIndex("PrimaryKey");
    rs.Seek("=", 1);
    EXPECT_EQ(rs["MONEY"].asCurrency().scaled, 123456);
    rs.Seek("=", 2);
    EXPECT_EQ(rs["WHEN"].asDate(), tv::DateFromParts(2026, 12, 5, 14, 30, 0));
    rs.Seek("=", 3);
    EXPECT_TRUE(rs["FLAG"].asBool());
    rs.Seek("=", 4);
    EXPECT_EQ(rs["SINGLENUM"].asSingle(), 1.1f);
}

TEST_F(StorageTest, NullIsAcceptedByEveryColumnThatIsNotRequired) {
    addRow(1, "NUM", tv::Variant());
    const auto raw = rawRows(path_, "SELECT typeof(NUM), typeof(FLAG), typeof([WHEN]) FROM Types");
    ASSERT_EQ(raw.size(), 1u);
    EXPECT_EQ(raw[0], QStringList({"null", "null", "null"}));
}

struct RefusedCase {
    const char* column;
    tv::Variant value;
    int error;
};

TEST_F(StorageTest, AValueThatDoesNotConvertIsRefusedAndTheBufferKept) {
    const RefusedCase cases[] = {
        {"NUM", "abc", err::kTypeMismatch},
        {"NUM", "", err::kTypeMismatch},
        {"SHORTNUM", "70000", 3349},
        {"SMALL", "300", 3349},
        {"WHEN", "not a date", err::kTypeMismatch},
        {"FLAG", "maybe", err::kTypeMismatch},
        {"MONEY", "12,34.5x", err::kTypeMismatch},
    };
    for (const RefusedCase& c : cases) {
        SCOPED_TRACE(c.column);
        Recordset rs = db_.OpenRecordset("Types");
        rs.AddNew();
        rs.FieldNamed("ID").SetValue(1);
        rs.FieldNamed("NAME").SetValue("row");
        EXPECT_EQ(dbErrorOf([&] { rs.FieldNamed(c.column).SetValue(c.value); }), c.error);
        EXPECT_TRUE(rs[QString::fromUtf8(c.column)].isNull()) << "the buffer changed";
        EXPECT_EQ(rs.EditModeNow(), EditMode::Add);
        rs.CancelUpdate();
        EXPECT_EQ(rowCount(), 0);
    }
}

TEST_F(StorageTest, AFailingUpdateWritesNothingAndLeavesTheEditPending) {
    addRow(1, "CODE", "A");
    struct Case {
        const char* what;
        std::function<void(Recordset&)> fill;
        int error;
    };
    const Case cases[] = {
        {"required Null", [](Recordset& rs) { rs.FieldNamed("ID").SetValue(2); },
         err::kRequiredNull},
        {"zero-length text",
         [](Recordset& rs) {
             rs.FieldNamed("ID").SetValue(2);
             rs.FieldNamed("NAME").SetValue("x");
             rs.FieldNamed("CODE").SetValue("");
         },
         err::kZeroLength},
        {"text over the size",
         [](Recordset& rs) {
             rs.FieldNamed("ID").SetValue(2);
             rs.FieldNamed("NAME").SetValue("x");
             rs.FieldNamed("CODE").SetValue("12345678901");
         },
         err::kFieldTooLong},
        {"duplicate key",
         [](Recordset& rs) {
             rs.FieldNamed("ID").SetValue(1);
             rs.FieldNamed("NAME").SetValue("x");
         },
         err::kDuplicateKey},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Recordset rs = db_.OpenRecordset("Types");
        rs.AddNew();
        c.fill(rs);
        EXPECT_EQ(dbErrorOf([&] { rs.Update(); }), c.error);
        EXPECT_EQ(rs.EditModeNow(), EditMode::Add);
        rs.CancelUpdate();
        EXPECT_EQ(rs.EditModeNow(), EditMode::None);
        EXPECT_EQ(rowCount(), 1);
    }
    // The same checks guard Edit: the stored row keeps its values.
    Recordset rs = db_.OpenRecordset("Types");
    rs.MoveFirst();
    rs.Edit();
    rs.FieldNamed("NAME").SetValue(tv::Variant());
    EXPECT_EQ(dbErrorOf([&] { rs.Update(); }), err::kRequiredNull);
    rs.CancelUpdate();
    EXPECT_EQ(rawRows(path_, "SELECT NAME, CODE FROM Types")[0], QStringList({"row", "A"}));
}

TEST_F(StorageTest, DatesReadBackToTheSameSerialOverTheWholeRange) {
    const char* const texts[] = {
        "0100-01-01 00:00:00", "1800-02-28 00:00:01", "1899-12-29 06:00:00", "1899-12-30 00:00:00",
        "1899-12-30 12:00:00", "1900-02-28 23:59:59", "2026-12-05 14:30:00", "9999-12-31 23:59:59"};
    int id = 0;
    for (const char* text : texts) {
        SCOPED_TRACE(text);
        tv::DateTime expected;
        ASSERT_TRUE(tv::fromIsoText(QString::fromLatin1(text), &expected));
        addRow(++id, "WHEN", expected);
        EXPECT_EQ(
            rawRows(path_, QStringLiteral("SELECT [WHEN] FROM Types WHERE ID = %1").arg(id))[0][0],
            QString::fromLatin1(text));
        Recordset rs = db_.OpenRecordset("Types");
        rs.SetIndex("PrimaryKey");
        rs.Seek("=", id);
        ASSERT_EQ(rs["WHEN"].type(), tv::VarType::Date);
        EXPECT_EQ(rs["WHEN"].asDate().serial, expected.serial);
    }
}

TEST_F(StorageTest, DatesWrittenByOtherToolsAreReadInTheirOwnForm) {
    addRow(1, "NAME", "row");
    // Another tool may write a date alone, a "T" separator or a date in the regional order.
    const struct {
        const char* stored;
        tv::VarType type;
    } cases[] = {{"'2026-12-05'", tv::VarType::Date},
                 {"'2026-12-05T10:00'", tv::VarType::Date},
                 {"'05/12/2026 10:00'", tv::VarType::Date},
                 {"'next Tuesday'", tv::VarType::String}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.stored);
        db_.Close();
        sqlite3* raw = nullptr;
        ASSERT_EQ(sqlite3_open(path_.toUtf8().constData(), &raw), SQLITE_OK);
        const QByteArray sql = QByteArray("UPDATE Types SET \"WHEN\" = ") + c.stored;
        ASSERT_EQ(sqlite3_exec(raw, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(raw);
        reopen();
        Recordset rs = db_.OpenRecordset("Types");
        EXPECT_EQ(rs["WHEN"].type(), c.type);
    }
}

TEST_F(StorageTest, TextExactlyAtTheSizeIsAccepted) {
    addRow(1, "CODE", "1234567890");
    EXPECT_EQ(rawRows(path_, "SELECT CODE FROM Types")[0][0], "1234567890");
}

TEST_F(StorageTest, FieldDescriptionsSurviveReopening) {
    reopen();
    struct Expected {
        const char* name;
        FieldType type;
        int size;
        bool required;
        bool allowZeroLength;
    };
    const Expected expected[] = {
        {"ID", FieldType::Long, 4, true, true},
        {"FLAG", FieldType::Boolean, 1, false, true},
        {"SMALL", FieldType::Byte, 1, false, true},
        {"SHORTNUM", FieldType::Integer, 2, false, true},
        {"NUM", FieldType::Long, 4, false, true},
        {"MONEY", FieldType::Currency, 8, false, true},
        {"SINGLENUM", FieldType::Single, 4, false, true},
        {"DOUBLENUM", FieldType::Double, 8, false, true},
        {"WHEN", FieldType::Date, 8, false, true},
        {"CODE", FieldType::Text, 10, false, false},
        {"NOTES", FieldType::Memo, 0, false, true},
        {"DATA", FieldType::LongBinary, 0, false, true},
        {"NAME", FieldType::Text, 50, true, true},
    };
    const TableDef def = db_.TableDefNamed("Types");
    Recordset rs = db_.OpenRecordset("Types");
    ASSERT_EQ(def.FieldCount(), 13);
    ASSERT_EQ(rs.FieldCount(), 13);
    for (int i = 0; i < 13; ++i) {
        const Expected& e = expected[i];
        for (const Field& f : {def.FieldAt(i), rs.FieldAt(i)}) {
            SCOPED_TRACE(e.name);
            EXPECT_EQ(f.Name(), QString::fromUtf8(e.name));
            EXPECT_EQ(f.Type(), e.type);
            EXPECT_EQ(f.Size(), e.size);
            EXPECT_EQ(f.Required(), e.required);
            EXPECT_EQ(f.AllowZeroLength(), e.allowZeroLength);
        }
    }
}

TEST_F(StorageTest, TextColumnsCompareIgnoringCaseInTheFile) {
    addRow(1, "CODE", "abc");
    // Readable by any SQLite tool: the collation is part of the column.
    EXPECT_EQ(rawRows(path_, "SELECT count(*) FROM Types WHERE CODE = 'ABC'")[0][0], "1");
}

}  // namespace
