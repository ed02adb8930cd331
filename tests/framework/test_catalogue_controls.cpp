// The record-window catalogue and the control-array helpers the windows are built on.
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/feedback_window.h"
#include "forms/framework/generic_record_window.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/record_window.h"
#include "forms/framework/twips.h"
#include "framework/framework_fixture.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>

namespace {

using namespace tv::forms;

// A record window of a table of its own, to stand in for windows not written yet.
class StandInWindow : public RecordWindow {
public:
    StandInWindow() { setObjectName(QStringLiteral("Request")); }
    int loads = 0;

protected:
    QString defaultTableName() const override { return QStringLiteral("Current Requests"); }
    QSize defaultSizeTwips() const override { return QSize(6000, 4500); }
    void afterLoad() override { ++loads; }
};

TEST(RecordCatalogue, NamesTheWindowOfEachTable) {
    const struct {
        const char* table;
        const char* window;
    } cases[] = {{"Customers", "Customer"},
                 {"customers", "Customer"},
                 {"Completed Requests", "Request"},
                 {"Form Captions", "FieldDef2"},
                 {"Customer Feedback", "Feedback"},
                 {"Quotations Detail", ""},
                 {"", ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.table);
        EXPECT_EQ(recordWindowName(QString::fromLatin1(c.table)), QString::fromLatin1(c.window));
    }
    EXPECT_EQ(recordWindowTables().size(), 28);
}

class CatalogueTest : public tvtest::FrameworkTest {
protected:
    void TearDown() override {
        unregisterRecordWindow(QStringLiteral("Request"));
        FrameworkTest::TearDown();
    }
};

// The shipped TABLE DEFINITIONS name the same record window for each table as the
// program's catalogue does.
TEST_F(CatalogueTest, TheShippedDefinitionsAgreeWithTheCatalogue) {
    for (const QString& display : recordWindowTables()) {
        tv::engine::Recordset rs = tv::data::state().DefinitionsDb.OpenRecordset(
            QStringLiteral("SELECT RECORDWINDOW FROM [TABLE DEFINITIONS] WHERE DISPLAYNAME = ") +
            tv::engine::quoteLiteral(display));
        ASSERT_FALSE(rs.EOF_()) << display.toStdString();
        EXPECT_EQ(tv::TextOf(rs[0]), recordWindowName(display)) << display.toStdString();
    }
}

TEST_F(CatalogueTest, OnlyTablesTheCatalogueNamesHaveAWindow) {
    registerFrameworkRecordWindows();
    EXPECT_EQ(GetRecordWindow(QStringLiteral("Lookup Tables")), nullptr);
    RecordWindow* plain = GetRecordWindow(QStringLiteral("Customers"));  // not written yet
    ASSERT_NE(plain, nullptr);
    EXPECT_NE(qobject_cast<GenericRecordWindow*>(plain), nullptr);
    EXPECT_EQ(plain->objectName(), QStringLiteral("Customer"));
    plain->close();
}

TEST_F(CatalogueTest, ThePlainWindowEditsAnyTableByOrdinal) {
    execData(
        {QStringLiteral("INSERT INTO [CUSTOMERS] ([CUSTOMER NAME], [POSTALCITY]) VALUES "
                        "('O''Brien Ltd', 'Cork')")});
    ASSERT_TRUE(tv::data::LoadRecord(QStringLiteral("Customers"), QStringLiteral("O'Brien Ltd")));
    tv::data::state().PendingEditMode = 2;
    ASSERT_TRUE(OpenRecordWindow(QStringLiteral("Customers"), tv::data::state().FieldValues));
    auto* w = qobject_cast<GenericRecordWindow*>(GetRecordWindow(QStringLiteral("Customers")));
    ASSERT_NE(w, nullptr);
    auto* name = w->findChild<QLineEdit*>(QStringLiteral("Field_1"));
    auto* city = w->findChild<QLineEdit*>(QStringLiteral("Field_3"));
    ASSERT_TRUE(name && city);
    EXPECT_EQ(name->text(), QStringLiteral("O'Brien Ltd"));
    EXPECT_EQ(city->text(), QStringLiteral("Cork"));
    EXPECT_EQ(name->maxLength(), 60);

    // Renaming the key updates the stored row rather than adding one.
    name->setText(QStringLiteral("O'Brien Holdings"));
    ASSERT_TRUE(w->save());
    EXPECT_EQ(
        dataValue(QStringLiteral("SELECT [POSTALCITY] FROM [CUSTOMERS] WHERE [CUSTOMER NAME] = "
                                 "'O''Brien Holdings'")),
        QStringLiteral("Cork"));
    EXPECT_EQ(dataValue(QStringLiteral("SELECT Count(*) FROM [CUSTOMERS] WHERE [CUSTOMER NAME] "
                                       "LIKE 'O''Brien*'")),
              QStringLiteral("1"));

    // A new row in the same window is added beside it.
    tv::data::FieldValueArray fresh;
    fresh.resize(tableFieldCount(QStringLiteral("Customers")));
    tv::data::state().PendingEditMode = 1;
    ASSERT_TRUE(OpenRecordWindow(QStringLiteral("Customers"), fresh));
    EXPECT_TRUE(name->text().isEmpty());
    name->setText(QStringLiteral("Brand New"));
    ASSERT_TRUE(w->save());
    EXPECT_EQ(dataValue(QStringLiteral("SELECT Count(*) FROM [CUSTOMERS] WHERE [CUSTOMER NAME] "
                                       "IN ('Brand New', 'O''Brien Holdings')")),
              QStringLiteral("2"));
    w->close();
}

TEST_F(CatalogueTest, EachWindowExistsOnce) {
    registerFrameworkRecordWindows();
    RecordWindow* w = GetRecordWindow(QStringLiteral("Customer Feedback"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), QStringLiteral("Feedback"));
    EXPECT_TRUE(w->isLoaded());
    EXPECT_EQ(GetRecordWindow(QStringLiteral("customer feedback")), w);

    const QPointer<RecordWindow> first(w);
    w->close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(first.isNull());
    RecordWindow* second = GetRecordWindow(QStringLiteral("Customer Feedback"));
    ASSERT_NE(second, nullptr);
    EXPECT_TRUE(second->isLoaded());
}

TEST_F(CatalogueTest, TheRequestWindowServesBothRequestTables) {
    int made = 0;
    registerRecordWindow(QStringLiteral("Request"), [&made] {
        ++made;
        return new StandInWindow();
    });
    RecordWindow* current = GetRecordWindow(QStringLiteral("Current Requests"));
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->tableName(), QStringLiteral("Current Requests"));
    RecordWindow* completed = GetRecordWindow(QStringLiteral("Completed Requests"));
    EXPECT_EQ(completed, current);
    EXPECT_EQ(completed->tableName(), QStringLiteral("Completed Requests"));
    EXPECT_EQ(completed->property("LocalTableName").toString(),
              QStringLiteral("Completed Requests"));
    EXPECT_EQ(made, 1);
    EXPECT_EQ(static_cast<StandInWindow*>(completed)->loads, 1);
}

TEST(ControlArrays, ElementsComeInIndexOrder) {
    QWidget form;
    for (const char* name :
         {"Item_10", "Item_2", "Item_0", "Item_1", "Item_x", "ItemB_3", "Item"}) {
        auto* w = new QLabel(&form);
        w->setObjectName(QString::fromLatin1(name));
    }
    QStringList names;
    for (QWidget* w : controlArray(&form, QStringLiteral("Item"))) names << w->objectName();
    EXPECT_EQ(names, (QStringList{QStringLiteral("Item_0"), QStringLiteral("Item_1"),
                                  QStringLiteral("Item_2"), QStringLiteral("Item_10")}));
    EXPECT_EQ(arrayIndex(arrayElement(&form, QStringLiteral("Item"), 10)), 10);
    EXPECT_EQ(arrayElement(&form, QStringLiteral("Item"), 3), nullptr);
}

TEST(ControlArrays, NewElementsAreClonesOfElementZero) {
    QWidget form;
    QWidget panel(&form);
    auto* label0 = new QLabel(QStringLiteral("Caption"), &panel);
    label0->setObjectName(QStringLiteral("Value_0"));
    label0->setFrameShape(QFrame::Box);
    label0->setGeometry(7, 9, 120, 21);
    label0->setAlignment(Qt::AlignRight);
    setTag(label0, QStringLiteral("Key"));
    auto* text0 = new QLineEdit(&panel);
    text0->setObjectName(QStringLiteral("Box_0"));
    text0->setMaxLength(12);

    QWidget* label2 = loadArrayElement(label0, 2);
    auto* clone = qobject_cast<QLabel*>(label2);
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->objectName(), QStringLiteral("Value_2"));
    EXPECT_EQ(clone->parentWidget(), &panel);
    EXPECT_EQ(clone->text(), QStringLiteral("Caption"));
    EXPECT_EQ(clone->frameShape(), QFrame::Box);
    EXPECT_EQ(clone->geometry(), QRect(7, 9, 120, 21));
    EXPECT_EQ(clone->alignment(), Qt::AlignRight);
    EXPECT_EQ(tagOf(clone), QStringLiteral("Key"));
    EXPECT_TRUE(clone->isHidden());
    EXPECT_EQ(loadArrayElement(label0, 2), label2);  // loaded once
    EXPECT_EQ(loadArrayElement(label0, 0), label0);
    EXPECT_EQ(loadArrayElement(clone, 3), nullptr);  // only element 0 is a model

    auto* box1 = qobject_cast<QLineEdit*>(loadArrayElement(text0, 1));
    ASSERT_NE(box1, nullptr);
    EXPECT_EQ(box1->maxLength(), 12);
}

TEST(BoundControls, TagsTellBindingFromCaptionKeys) {
    QLabel control;
    const struct {
        const char* tag;
        int ordinal;
        const char* key;
    } cases[] = {{"12", 12, ""}, {" 3", 3, ""}, {"okf", 0, "okf"}, {"", 0, ""}, {"0", 0, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tag);
        setTag(&control, QString::fromLatin1(c.tag));
        EXPECT_EQ(boundOrdinal(&control), c.ordinal);
        EXPECT_EQ(captionKey(&control), QString::fromLatin1(c.key));
    }
}

TEST(Twips, PixelsAndTwipsConvertAtTheScreensResolution) {
    EXPECT_DOUBLE_EQ(twipsPerPixelX() * twipsToPixelsX(1440), 1440.0);
    for (int px : {0, 1, 22, 103, 269, 400}) {
        EXPECT_EQ(twipsToPixelsX(pixelsToTwipsX(px)), px);
        EXPECT_EQ(twipsToPixelsY(pixelsToTwipsY(px)), px);
    }
}

}  // namespace
