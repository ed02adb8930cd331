// Jet data-definition statements read into table, column and index descriptions.
#include "engine/jet_dialect.h"

#include <gtest/gtest.h>

namespace tv::engine::dialect {
namespace {

// "NAME type/size" and the flags set, one text per column or index.
QStringList described(const std::vector<ColumnDef>& columns) {
    QStringList out;
    for (const ColumnDef& c : columns)
        out << QStringLiteral("%1 %2/%3%4%5%6")
                   .arg(c.name)
                   .arg(static_cast<int>(c.type))
                   .arg(c.size)
                   .arg(c.required ? " required" : "", c.autoIncrement ? " auto" : "",
                        c.allowZeroLength ? "" : " nozero");
    return out;
}

QStringList described(const std::vector<IndexDef>& indexes) {
    QStringList out;
    for (const IndexDef& ix : indexes) {
        QStringList keys;
        for (qsizetype i = 0; i < ix.columns.size(); ++i)
            keys << ix.columns[i] + (ix.descending.at(static_cast<size_t>(i)) ? " DESC" : "");
        out << QStringLiteral("%1(%2)%3%4")
                   .arg(ix.name, keys.join(u','), ix.primary ? " primary" : "",
                        ix.unique ? " unique" : "");
    }
    return out;
}

TEST(JetDdl, ReadsASchemaFileTable) {
    const Translation t = translate(
        QStringLiteral("CREATE TABLE [CUSTOMER INVENTORY] (\n"
                       "    [CUSTOMER NAME] TEXT(50) NOT NULL,   -- 0\n"
                       "    [ITEMID] COUNTER,                    -- 1\n"
                       "    [DESCRIPTION] TEXT NOZEROLENGTH,     -- 2\n"
                       "    [PURCHASED] DATETIME, [UNDER WARRANTY] BIT, [PRICE] CURRENCY,\n"
                       "    [NOTES] MEMO,\n"
                       "    CONSTRAINT PrimaryKey PRIMARY KEY ([CUSTOMER NAME], [ITEMID])\n"
                       ");"));
    EXPECT_EQ(t.kind, StatementKind::CreateTable);
    EXPECT_EQ(t.table, QStringLiteral("CUSTOMER INVENTORY"));
    EXPECT_EQ(t.tables, QStringList{QStringLiteral("CUSTOMER INVENTORY")});
    EXPECT_TRUE(t.sql.isEmpty());
    EXPECT_EQ(described(t.columns), (QStringList{"CUSTOMER NAME 10/50 required", "ITEMID 4/0 auto",
                                                 "DESCRIPTION 10/255 nozero", "PURCHASED 8/0",
                                                 "UNDER WARRANTY 1/0", "PRICE 5/0", "NOTES 12/0"}));
    EXPECT_EQ(described(t.indexes), QStringList{"PrimaryKey(CUSTOMER NAME,ITEMID) primary unique"});
}

TEST(JetDdl, TypeNamesMapToEngineTypes) {
    using F = FieldType;
    struct Case {
        const char* written;
        FieldType type;
        int size = 0;
        bool autoIncrement = false;
    };
    // clang-format off
    const Case cases[] = {
        {"BIT", F::Boolean},       {"YesNo", F::Boolean},        {"LOGICAL", F::Boolean},
        {"BOOLEAN", F::Boolean},   {"BYTE", F::Byte},            {"SHORT", F::Integer},
        {"SMALLINT", F::Integer},  {"INTEGER2", F::Integer},     {"LONG", F::Long},
        {"INT", F::Long},          {"INTEGER", F::Long},         {"INTEGER4", F::Long},
        {"CURRENCY", F::Currency}, {"MONEY", F::Currency},       {"SINGLE", F::Single},
        {"REAL", F::Single},       {"FLOAT4", F::Single},        {"DOUBLE", F::Double},
        {"FLOAT", F::Double},      {"FLOAT8", F::Double},        {"NUMBER", F::Double},
        {"DATETIME", F::Date},     {"DATE", F::Date},            {"TIME", F::Date},
        {"MEMO", F::Memo},         {"LONGTEXT", F::Memo},        {"LONGBINARY", F::LongBinary},
        {"BINARY", F::LongBinary}, {"OLEOBJECT", F::LongBinary}, {"TEXT", F::Text, 255},
        {"TEXT (10)", F::Text, 10}, {"CHAR(1)", F::Text, 1},     {"VARCHAR(255)", F::Text, 255},
        {"COUNTER", F::Long, 0, true}, {"AUTOINCREMENT", F::Long, 0, true},
        {"COUNTER(1, 1)", F::Long, 0, true}};
    // clang-format on
    for (const Case& c : cases) {
        const Translation t =
            translate(QStringLiteral("CREATE TABLE T (C %1)").arg(QLatin1String(c.written)));
        ASSERT_EQ(t.columns.size(), 1u) << c.written;
        EXPECT_EQ(t.columns[0].type, c.type) << c.written;
        EXPECT_EQ(t.columns[0].size, c.size) << c.written;
        EXPECT_EQ(t.columns[0].autoIncrement, c.autoIncrement) << c.written;
    }
}

TEST(JetDdl, KeysAndIndexes) {
    EXPECT_EQ(described(translate("CREATE TABLE [SYSTEM USERS] ([USERID] TEXT(10) PRIMARY KEY, "
                                  "[EMAIL] TEXT(80) UNIQUE, [BADGE] LONG CONSTRAINT BadgeNo "
                                  "UNIQUE)")
                            .indexes),
              (QStringList{"PrimaryKey(USERID) primary unique", "EMAIL(EMAIL) unique",
                           "BadgeNo(BADGE) unique"}));
    const Translation t =
        translate(QStringLiteral("CREATE UNIQUE INDEX [ByDate] ON [ACTIVITIES] ([CUSTOMER NAME], "
                                 "[DATETIME] DESC, [SALES REP ID] ASC)"));
    EXPECT_EQ(t.kind, StatementKind::CreateIndex);
    EXPECT_EQ(t.table, QStringLiteral("ACTIVITIES"));
    EXPECT_EQ(described(t.indexes),
              QStringList{"ByDate(CUSTOMER NAME,DATETIME DESC,SALES REP ID) unique"});
    EXPECT_EQ(described(translate("CREATE INDEX PrimaryKey ON T (A) WITH PRIMARY").indexes),
              QStringList{"PrimaryKey(A) primary unique"});
}

TEST(JetDdl, DropAndAlterStatements) {
    // Kind, table and the name dropped, as one text.
    const auto read = [](const char* sql) {
        const Translation t = translate(QString::fromUtf8(sql));
        return QStringLiteral("%1 %2 %3").arg(static_cast<int>(t.kind)).arg(t.table, t.dropName);
    };
    EXPECT_EQ(read("DROP TABLE [OLD FILTERS]"), "6 OLD FILTERS OLD FILTERS");
    EXPECT_EQ(read("DROP INDEX [ByDate] ON [ACTIVITIES]"), "7 ACTIVITIES ByDate");
    EXPECT_EQ(read("ALTER TABLE [CUSTOMERS] DROP COLUMN [FAX]"), "9 CUSTOMERS FAX");
    EXPECT_EQ(read("ALTER TABLE CUSTOMERS DROP FAX"), "9 CUSTOMERS FAX");
    const Translation add =
        translate("ALTER TABLE CUSTOMERS ADD COLUMN REGION TEXT(20) NOT NULL NOZEROLENGTH");
    EXPECT_EQ(add.kind, StatementKind::AlterTableAdd);
    EXPECT_EQ(add.table, QStringLiteral("CUSTOMERS"));
    EXPECT_EQ(described(add.columns), QStringList{"REGION 10/20 required nozero"});
}

TEST(JetDdl, RefusalsAreSyntaxErrors) {
    // clang-format off
    const char* refused[] = {
        "CREATE TABLE T (A VARIANT)", "CREATE TABLE T (A TEXT(0))", "CREATE TABLE T (A TEXT(256))",
        "CREATE TABLE T (A LONG, A TEXT)",
        "CREATE TABLE T (A LONG PRIMARY KEY, B LONG, PRIMARY KEY (B))",
        "CREATE TABLE T (A LONG, CONSTRAINT PrimaryKey PRIMARY KEY (B))",
        "CREATE TABLE T (A LONG DEFAULT 0)", "CREATE TABLE T (A LONG REFERENCES U (A))",
        "CREATE TABLE T (A LONG, FOREIGN KEY (A) REFERENCES U (A))", "CREATE TABLE T (A LONG",
        "CREATE TABLE T ()", "CREATE TABLE T (A COUNTER(5, 2))", "CREATE TABLE (A LONG)",
        "CREATE VIEW V AS SELECT * FROM T", "CREATE INDEX ix ON T ()", "DROP INDEX ix",
        "DROP VIEW V",
        "CREATE INDEX ix ON T (A) WITH IGNORE NULL", "ALTER TABLE T ADD CONSTRAINT c UNIQUE (A)",
        "ALTER TABLE T ALTER COLUMN A LONG", "CREATE TABLE T (A LONG) extra"};
    // clang-format on
    for (const char* sql : refused) {
        try {
            translate(QString::fromUtf8(sql));
            ADD_FAILURE() << "translated: " << sql;
        } catch (const DbError& e) {
            EXPECT_EQ(e.number(), err::kSyntax) << sql;
            EXPECT_TRUE(e.text().contains(QString::fromUtf8(sql))) << e.text().toStdString();
        }
    }
}

}  // namespace
}  // namespace tv::engine::dialect
