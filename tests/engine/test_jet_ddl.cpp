// Jet data-definition statements read into table, column and index descriptions.
#include "engine/jet_dialect.h"

#include <gtest/gtest.h>

namespace tv::engine::dialect {
namespace {

TEST(JetDdl, ReadsASchemaFileTable) {
    const Translation t = translate(
        QStringLiteral("CREATE TABLE [CUSTOMER INVENTORY] (\n"
                       "    [CUSTOMER NAME] TEXT(50) NOT NULL,   -- 0\n"
                       "    [ITEMID] COUNTER,                    -- 1\n"
                       "    [DESCRIPTION] TEXT NOZEROLENGTH,     -- 2\n"
                       "    [PURCHASED] DATETIME,\n"
                       "    [UNDER WARRANTY] BIT,\n"
                       "    [PRICE] CURRENCY,\n"
                       "    [NOTES] MEMO,\n"
                       "    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [ITEMID])\n"
                       ");"));
    EXPECT_EQ(t.kind, StatementKind::CreateTable);
    EXPECT_EQ(t.table, QStringLiteral("CUSTOMER INVENTORY"));
    EXPECT_EQ(t.tables, QStringList{QStringLiteral("CUSTOMER INVENTORY")});
    EXPECT_TRUE(t.sql.isEmpty());
    ASSERT_EQ(t.columns.size(), 7u);

    const ColumnDef& name = t.columns[0];
    EXPECT_EQ(name.name, QStringLiteral("CUSTOMER NAME"));
    EXPECT_EQ(name.type, FieldType::Text);
    EXPECT_EQ(name.size, 50);
    EXPECT_TRUE(name.required);
    EXPECT_TRUE(name.allowZeroLength);

    EXPECT_EQ(t.columns[1].type, FieldType::Long);
    EXPECT_TRUE(t.columns[1].autoIncrement);
    EXPECT_FALSE(t.columns[1].required);
    EXPECT_EQ(t.columns[2].size, 255);
    EXPECT_FALSE(t.columns[2].allowZeroLength);
    EXPECT_EQ(t.columns[3].type, FieldType::Date);
    EXPECT_EQ(t.columns[4].type, FieldType::Boolean);
    EXPECT_EQ(t.columns[5].type, FieldType::Currency);
    EXPECT_EQ(t.columns[6].type, FieldType::Memo);
    EXPECT_EQ(t.columns[6].size, 0);

    ASSERT_EQ(t.indexes.size(), 1u);
    EXPECT_EQ(t.indexes[0].name, QStringLiteral("PrimaryKey"));
    EXPECT_TRUE(t.indexes[0].primary);
    EXPECT_TRUE(t.indexes[0].unique);
    EXPECT_EQ(t.indexes[0].columns,
              (QStringList{QStringLiteral("CUSTOMER NAME"), QStringLiteral("ITEMID")}));
}

struct TypeCase {
    const char* written;
    FieldType type;
    int size;
    bool autoIncrement;
};

void PrintTo(const TypeCase& c, std::ostream* os) { *os << c.written; }

class JetTypeName : public ::testing::TestWithParam<TypeCase> {};

TEST_P(JetTypeName, MapsToTheEngineType) {
    const Translation t =
        translate(QStringLiteral("CREATE TABLE T (C %1)").arg(QLatin1String(GetParam().written)));
    ASSERT_EQ(t.columns.size(), 1u);
    EXPECT_EQ(t.columns[0].type, GetParam().type);
    EXPECT_EQ(t.columns[0].size, GetParam().size);
    EXPECT_EQ(t.columns[0].autoIncrement, GetParam().autoIncrement);
}

INSTANTIATE_TEST_SUITE_P(AllSpellings, JetTypeName,
                         ::testing::Values(TypeCase{"BIT", FieldType::Boolean, 0, false},
                                           TypeCase{"YesNo", FieldType::Boolean, 0, false},
                                           TypeCase{"LOGICAL", FieldType::Boolean, 0, false},
                                           TypeCase{"BOOLEAN", FieldType::Boolean, 0, false},
                                           TypeCase{"BYTE", FieldType::Byte, 0, false},
                                           TypeCase{"SHORT", FieldType::Integer, 0, false},
                                           TypeCase{"SMALLINT", FieldType::Integer, 0, false},
                                           TypeCase{"INTEGER2", FieldType::Integer, 0, false},
                                           TypeCase{"LONG", FieldType::Long, 0, false},
                                           TypeCase{"INT", FieldType::Long, 0, false},
                                           TypeCase{"INTEGER", FieldType::Long, 0, false},
                                           TypeCase{"INTEGER4", FieldType::Long, 0, false},
                                           TypeCase{"COUNTER", FieldType::Long, 0, true},
                                           TypeCase{"AUTOINCREMENT", FieldType::Long, 0, true},
                                           TypeCase{"COUNTER(1, 1)", FieldType::Long, 0, true},
                                           TypeCase{"CURRENCY", FieldType::Currency, 0, false},
                                           TypeCase{"MONEY", FieldType::Currency, 0, false},
                                           TypeCase{"SINGLE", FieldType::Single, 0, false},
                                           TypeCase{"REAL", FieldType::Single, 0, false},
                                           TypeCase{"FLOAT4", FieldType::Single, 0, false},
                                           TypeCase{"DOUBLE", FieldType::Double, 0, false},
                                           TypeCase{"FLOAT", FieldType::Double, 0, false},
                                           TypeCase{"FLOAT8", FieldType::Double, 0, false},
                                           TypeCase{"NUMBER", FieldType::Double, 0, false},
                                           TypeCase{"DATETIME", FieldType::Date, 0, false},
                                           TypeCase{"DATE", FieldType::Date, 0, false},
                                           TypeCase{"TIME", FieldType::Date, 0, false},
                                           TypeCase{"TEXT", FieldType::Text, 255, false},
                                           TypeCase{"TEXT (10)", FieldType::Text, 10, false},
                                           TypeCase{"CHAR(1)", FieldType::Text, 1, false},
                                           TypeCase{"VARCHAR(255)", FieldType::Text, 255, false},
                                           TypeCase{"MEMO", FieldType::Memo, 0, false},
                                           TypeCase{"LONGTEXT", FieldType::Memo, 0, false},
                                           TypeCase{"LONGBINARY", FieldType::LongBinary, 0, false},
                                           TypeCase{"OLEOBJECT", FieldType::LongBinary, 0, false},
                                           TypeCase{"BINARY", FieldType::LongBinary, 0, false}));

TEST(JetDdl, ColumnKeyModifiersBecomeIndexes) {
    const Translation t = translate(QStringLiteral(
        "CREATE TABLE [SYSTEM USERS] ([USERID] TEXT(10) PRIMARY KEY, [EMAIL] TEXT(80) UNIQUE, "
        "[BADGE] LONG CONSTRAINT BadgeNo UNIQUE)"));
    ASSERT_EQ(t.indexes.size(), 3u);
    EXPECT_EQ(t.indexes[0].name, QStringLiteral("PrimaryKey"));
    EXPECT_TRUE(t.indexes[0].primary);
    EXPECT_EQ(t.indexes[0].columns, QStringList{QStringLiteral("USERID")});
    EXPECT_FALSE(t.indexes[1].primary);
    EXPECT_TRUE(t.indexes[1].unique);
    EXPECT_EQ(t.indexes[1].columns, QStringList{QStringLiteral("EMAIL")});
    EXPECT_EQ(t.indexes[2].name, QStringLiteral("BadgeNo"));
    EXPECT_EQ(t.indexes[2].columns, QStringList{QStringLiteral("BADGE")});
}

TEST(JetDdl, CreateIndexKeepsOrderDirectionAndUniqueness) {
    const Translation t =
        translate(QStringLiteral("CREATE UNIQUE INDEX [ByDate] ON [ACTIVITIES] ([CUSTOMER NAME], "
                                 "[DATETIME] DESC, [SALES REP ID] ASC)"));
    EXPECT_EQ(t.kind, StatementKind::CreateIndex);
    EXPECT_EQ(t.table, QStringLiteral("ACTIVITIES"));
    ASSERT_EQ(t.indexes.size(), 1u);
    const IndexDef& ix = t.indexes[0];
    EXPECT_EQ(ix.name, QStringLiteral("ByDate"));
    EXPECT_TRUE(ix.unique);
    EXPECT_FALSE(ix.primary);
    EXPECT_EQ(ix.columns, (QStringList{QStringLiteral("CUSTOMER NAME"), QStringLiteral("DATETIME"),
                                       QStringLiteral("SALES REP ID")}));
    EXPECT_EQ(ix.descending, (std::vector<bool>{false, true, false}));

    const Translation plain =
        translate(QStringLiteral("CREATE INDEX TelephoneNo ON CUSTOMERS (TELEPHONENO)"));
    EXPECT_FALSE(plain.indexes.at(0).unique);
    const Translation primary =
        translate(QStringLiteral("CREATE INDEX PrimaryKey ON T (A) WITH PRIMARY"));
    EXPECT_TRUE(primary.indexes.at(0).primary);
}

TEST(JetDdl, DropAndAlterStatements) {
    struct Case {
        const char* sql;
        StatementKind kind;
        const char* table;
        const char* dropName;
    };
    const Case cases[] = {
        {"DROP TABLE [OLD FILTERS]", StatementKind::DropTable, "OLD FILTERS", "OLD FILTERS"},
        {"DROP INDEX [ByDate] ON [ACTIVITIES]", StatementKind::DropIndex, "ACTIVITIES", "ByDate"},
        {"ALTER TABLE [CUSTOMERS] DROP COLUMN [FAX]", StatementKind::AlterTableDrop, "CUSTOMERS",
         "FAX"},
        {"ALTER TABLE CUSTOMERS DROP FAX", StatementKind::AlterTableDrop, "CUSTOMERS", "FAX"},
    };
    for (const Case& c : cases) {
        const Translation t = translate(QString::fromUtf8(c.sql));
        EXPECT_EQ(t.kind, c.kind) << c.sql;
        EXPECT_EQ(t.table, QString::fromUtf8(c.table)) << c.sql;
        EXPECT_EQ(t.dropName, QString::fromUtf8(c.dropName)) << c.sql;
    }

    for (const char* sql : {"ALTER TABLE [CUSTOMERS] ADD COLUMN [REGION] TEXT(20) NOT NULL",
                            "ALTER TABLE CUSTOMERS ADD REGION TEXT(20) NOT NULL NOZEROLENGTH"}) {
        const Translation t = translate(QString::fromUtf8(sql));
        EXPECT_EQ(t.kind, StatementKind::AlterTableAdd) << sql;
        EXPECT_EQ(t.table, QStringLiteral("CUSTOMERS")) << sql;
        ASSERT_EQ(t.columns.size(), 1u) << sql;
        EXPECT_EQ(t.columns[0].name, QStringLiteral("REGION"));
        EXPECT_EQ(t.columns[0].size, 20);
        EXPECT_TRUE(t.columns[0].required);
    }
}

class RefusedDdl : public ::testing::TestWithParam<const char*> {};

TEST_P(RefusedDdl, IsASyntaxError) {
    try {
        translate(QString::fromUtf8(GetParam()));
        FAIL() << "translated: " << GetParam();
    } catch (const DbError& e) {
        EXPECT_EQ(e.number(), err::kSyntax);
        EXPECT_TRUE(e.text().contains(QString::fromUtf8(GetParam()))) << e.text().toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Malformed, RefusedDdl,
    ::testing::Values("CREATE TABLE T (A VARIANT)", "CREATE TABLE T (A TEXT(0))",
                      "CREATE TABLE T (A TEXT(256))", "CREATE TABLE T (A LONG, A TEXT)",
                      "CREATE TABLE T (A LONG PRIMARY KEY, B LONG, PRIMARY KEY (B))",
                      "CREATE TABLE T (A LONG, CONSTRAINT PrimaryKey PRIMARY KEY (B))",
                      "CREATE TABLE T (A LONG DEFAULT 0)",
                      "CREATE TABLE T (A LONG REFERENCES U (A))",
                      "CREATE TABLE T (A LONG, FOREIGN KEY (A) REFERENCES U (A))",
                      "CREATE TABLE T (A LONG", "CREATE TABLE T ()",
                      "CREATE TABLE T (A COUNTER(5, 2))", "CREATE TABLE (A LONG)",
                      "CREATE VIEW V AS SELECT * FROM T", "CREATE INDEX ix ON T ()",
                      "CREATE INDEX ix ON T (A) WITH IGNORE NULL", "DROP INDEX ix", "DROP VIEW V",
                      "ALTER TABLE T ADD CONSTRAINT c UNIQUE (A)",
                      "ALTER TABLE T ALTER COLUMN A LONG", "CREATE TABLE T (A LONG) extra"));

}  // namespace
}  // namespace tv::engine::dialect
