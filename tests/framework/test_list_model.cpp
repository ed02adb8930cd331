// The list model: Qt's model checks over a real key set, rows read a block at a time and
// kept (a screen of cells is one read, not one per cell), formats and alignment from the
// field definitions, and the colour and picture of a coded column.
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "forms/framework/code_styles.h"
#include "forms/framework/list_columns.h"
#include "forms/framework/list_model.h"
#include "framework/list_fixture.h"

#include <QAbstractItemModelTester>
#include <QBrush>
#include <QPixmap>

namespace tvtest {
namespace {

using namespace Qt::StringLiterals;
using tv::forms::ListModel;

class ListModelTest : public ListFormTest {
protected:
    // A model over a query of the data database with the table's list columns.
    void show(ListModel& model, const QString& table, const QString& sql) {
        model.setColumns(tv::forms::ListColumns(table));
        model.setRecordset(tv::data::OpenTable(sql));
    }
};

TEST_F(ListModelTest, RowsAreReadABlockAtATimeAndKeptThroughQtsModelChecks) {
    QStringList names;
    for (int i = 0; i < 3 * ListModel::kBlockRows; ++i)
        names << u"Customer %1"_s.arg(i, 4, 10, QLatin1Char('0'));
    addCustomers(names);
    ListModel model;
    QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
    show(model, u"Customers"_s, u"SELECT * FROM [Customers] ORDER BY [CUSTOMER NAME]"_s);
    EXPECT_EQ(model.rowCount(), names.size());
    // A screenful of cells, every role a view asks for: one read.
    for (int row = 0; row < 40; ++row)
        for (int column = 0; column < model.columnCount(); ++column)
            for (int role : {Qt::DisplayRole, Qt::TextAlignmentRole, Qt::BackgroundRole})
                (void)model.index(row, column).data(role);
    EXPECT_EQ(model.blockReads(), 1);
    EXPECT_EQ(model.index(model.rowCount() - 1, 0).data().toString(), names.last());
    EXPECT_EQ(model.blockReads(), 2) << "a jump to the end reads the end, not what lies between";
    EXPECT_EQ(model.index(5, 0).data().toString(), names[5]);
    EXPECT_EQ(model.blockReads(), 2) << "the first block is still kept";
    // Bookmarks of cached rows find their rows in a clone.
    tv::engine::Recordset clone = model.recordset().Clone();
    clone.SetBookmark(*model.bookmark(ListModel::kBlockRows + 3));
    EXPECT_EQ(tv::TextOf(clone[0]), names[ListModel::kBlockRows + 3]);
    EXPECT_FALSE(model.bookmark(model.rowCount()).has_value());

    model.dropCache();
    model.clearRows();
    EXPECT_EQ(model.rowCount(), 0);
    show(model, u"Customers"_s,
         u"SELECT * FROM [Customers] WHERE [CUSTOMER NAME] >= 'Customer 0180'"_s);
    EXPECT_EQ(model.rowCount(), names.size() - 180);
}

TEST_F(ListModelTest, CellsTakeTheirFormatAlignmentColourAndPicture) {
    execData({QStringLiteral("INSERT INTO [ACTIVITIES] ([CUSTOMER NAME], [DATETIME], "
                             "[ACTIVITY TYPE], [COST]) VALUES ('Acme', #2026-02-03 10:30:00#, "
                             "'Call', 12.5)"),
              QStringLiteral("INSERT INTO [ACTIVITIES] ([CUSTOMER NAME], [DATETIME], "
                             "[ACTIVITY TYPE]) VALUES ('Acme', #2026-02-04 10:30:00#, 'Visit')"),
              QStringLiteral("INSERT INTO [ACTIVITIES] ([CUSTOMER NAME], [DATETIME], "
                             "[ACTIVITY TYPE]) VALUES ('Acme', #2026-02-05 10:30:00#, 'letter')")});
    ListModel model;
    show(model, u"Activities"_s, u"SELECT * FROM [Activities] ORDER BY [DATETIME]"_s);
    model.setCodeStyles(2, tv::forms::LoadCodeStyles(u"Activity Types"_s, true));
    ASSERT_EQ(model.headerData(10, Qt::Horizontal).toString(), u"Cost"_s);

    EXPECT_EQ(model.index(0, 10).data().toString(), u"12.50"_s);
    const auto align = [&](int column) {
        return model.index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(align(10), Qt::AlignRight);
    EXPECT_EQ(align(0), Qt::AlignLeft);

    // "Call" is colour 16772062 (&HFFEBDE: red DE, green EB, blue FF) with call.bmp.
    const QVariant background = model.index(0, 2).data(Qt::BackgroundRole);
    ASSERT_TRUE(background.canConvert<QBrush>());
    EXPECT_EQ(background.value<QBrush>().color(), QColor(0xDE, 0xEB, 0xFF));
    EXPECT_FALSE(model.index(0, 2).data(Qt::DecorationRole).value<QPixmap>().isNull());
    EXPECT_EQ(model.index(0, 2).data().toString(), u"Call"_s);
    // A type without a code, and another column, keep the grid's own look.
    EXPECT_FALSE(model.index(1, 2).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model.index(0, 3).data(Qt::BackgroundRole).isValid());
    // "Letter" has colour 0, the grid's own background, and a picture; codes ignore case.
    EXPECT_FALSE(model.index(2, 2).data(Qt::BackgroundRole).isValid());
    EXPECT_FALSE(model.index(2, 2).data(Qt::DecorationRole).value<QPixmap>().isNull());
}

}  // namespace
}  // namespace tvtest
