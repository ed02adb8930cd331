// Literals of the dialect and the outline of translated SELECT statements, which decides
// whether a query becomes an updatable key set or a read-only snapshot.
#include "engine_fixture.h"

#include "core/convert.h"
#include "engine/select_shape.h"

using namespace tv::engine;

namespace {

TEST(LiteralTest, ValuesBecomeCompleteLiterals) {
    struct Case {
        tv::Variant value;
        const char* literal;
    };
    // clang-format off
    const Case cases[] = {
        {"O'Brien", "'O''Brien'"}, {"''", "''''''"}, {"", "''"}, {"say \"hi\"", "'say \"hi\"'"},
        {tv::Variant(), "Null"}, {true, "True"}, {false, "False"},
        {static_cast<std::int16_t>(-7), "-7"}, {42, "42"}, {2.5, "2.5"}, {0.1, "0.1"},
        {tv::Currency{-123450}, "-12.345"}, {tv::Currency{70000}, "7"},
        {tv::DateFromParts(2026, 12, 5, 14, 30, 0), "#2026-12-05 14:30:00#"}};
    // clang-format on
    for (const Case& c : cases) EXPECT_EQ(sqlLiteral(c.value), QString::fromUtf8(c.literal));
    EXPECT_EQ(quoteLiteral("O\"Brien", u'"'), "\"O\"\"Brien\"");
    EXPECT_EQ(quoteLiteral("O'Brien", u'"'), "\"O'Brien\"");
}

class QuotedValueTest : public tvtest::EngineTest {};

TEST_F(QuotedValueTest, AQuoteInsideAValueSavesFindsAndFilters) {
    db_.Execute(
        "CREATE TABLE [C] ([NAME] TEXT(50) NOT NULL, CONSTRAINT PrimaryKey PRIMARY KEY ([NAME]))");
    for (const QString& name : {QStringLiteral("O'Brien"), QStringLiteral("Say \"Hi\" Ltd"),
                                QStringLiteral("'; DROP TABLE C; --")})
        db_.Execute("INSERT INTO [C] ([NAME]) VALUES (" + quoteLiteral(name) + ")");
    Recordset rs = db_.OpenRecordset("SELECT * FROM C WHERE NAME = " + quoteLiteral("o'brien"));
    ASSERT_FALSE(rs.EOF_());
    EXPECT_EQ(rs[0].asString(), "O'Brien");
    rs = db_.OpenRecordset("SELECT * FROM C ORDER BY NAME");
    rs.FindFirst("[NAME] = " + quoteLiteral("Say \"Hi\" Ltd", u'"'));
    EXPECT_FALSE(rs.NoMatch());
    rs.FindFirst("[NAME] = " + quoteLiteral("'; DROP TABLE C; --", u'"'));
    EXPECT_FALSE(rs.NoMatch());
    EXPECT_EQ(rs.RecordCount(), 3);
}

TEST(SelectShapeTest, KeyableQueriesAndTheirParts) {
    // Each statement, whether a key set can follow it, and its list | FROM | the rest.
    const std::tuple<const char*, bool, const char*> cases[] = {
        {"SELECT * FROM \"T\"", true, "* | \"T\" | "},
        {"SELECT a, b FROM \"T\" WHERE a = 'FROM x ORDER BY' ORDER BY 2 DESC;", true,
         "a, b | \"T\" | WHERE a = 'FROM x ORDER BY' ORDER BY 2 DESC"},
        {"SELECT \"ORDER\", \"FROM\" FROM \"WHERE\" AS w LIMIT 5", true,
         "\"ORDER\", \"FROM\" | \"WHERE\" AS w | LIMIT 5"},
        {"SELECT x FROM t WHERE y IN (SELECT y FROM u GROUP BY y)", true,
         "x | t | WHERE y IN (SELECT y FROM u GROUP BY y)"},
        {"select max(a) from t", false, "max(a) | t | "},
        {"SELECT jet_first(a) AS x FROM t", false, "jet_first(a) AS x | t | "},
        {"SELECT count (*) + 1 FROM t", false, "count (*) + 1 | t | "},
        {"SELECT DISTINCT a FROM t", false, "a | t | "},
        {"SELECT a FROM t GROUP BY a", false, "a | t | GROUP BY a"},
        {"SELECT a FROM t, u", false, "a | t, u | "},
        {"SELECT a FROM t INNER JOIN u ON t.k = u.k", false, "a | t INNER JOIN u ON t.k = u.k | "},
        {"SELECT a FROM (SELECT a FROM t)", false, "a | (SELECT a FROM t) | "},
        {"SELECT a FROM t UNION SELECT a FROM u", false, "a | t | UNION SELECT a FROM u"},
        {"SELECT 1", false, "1 |  | "}};
    for (const auto& [sql, keyable, outline] : cases) {
        const SelectShape shape = analyseSelect(QString::fromUtf8(sql));
        EXPECT_TRUE(shape.select) << sql;
        EXPECT_EQ(shape.keyable(), keyable) << sql;
        EXPECT_EQ(shape.selectList + " | " + shape.from + " | " + shape.tail, outline) << sql;
    }
    EXPECT_FALSE(analyseSelect("UPDATE t SET a = 1").select);
    // The tail's condition and order, for reading the keys in chunks.
    const SelectShape parts = analyseSelect(
        "SELECT a AS \"x\", CAST(b AS TEXT) FROM t WHERE a IN (SELECT a FROM u ORDER BY 1) "
        "AND b = ', ORDER BY' ORDER BY a DESC, f(b, c) LIMIT 3");
    EXPECT_EQ(parts.where, "a IN (SELECT a FROM u ORDER BY 1) AND b = ', ORDER BY'");
    EXPECT_EQ(splitItems(parts.orderBy), QStringList({"a DESC", "f(b, c)"}));
    EXPECT_TRUE(parts.limited);
    const QStringList items = splitItems(parts.selectList);
    EXPECT_EQ(itemAlias(items[0]) + u'|' + itemAlias(items[1]), "x|");
}

}  // namespace
