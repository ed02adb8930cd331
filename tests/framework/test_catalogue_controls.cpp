// The record-window catalogue and the control-array helpers the windows are built on.
#include "common/engine/queries.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/generic_record_window.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "framework/framework_fixture.h"

#include <QLabel>
#include <QLineEdit>

namespace {

using namespace tv::forms;
using namespace Qt::StringLiterals;

// A record window of a table of its own, to stand in for windows not written yet.
class StandInWindow : public RecordWindow {
public:
    StandInWindow() { setObjectName(u"Request"_s); }
    int loads = 0;

protected:
    QString defaultTableName() const override { return u"Current Requests"_s; }
    QSize defaultSizeTwips() const override { return QSize(6000, 4500); }
    void afterLoad() override { ++loads; }
};

class CatalogueTest : public tvtest::FrameworkTest {
protected:
    void TearDown() override {
        unregisterRecordWindow(u"Request"_s);
        FrameworkTest::TearDown();
    }
};

// The shipped TABLE DEFINITIONS name the same record window for each table as the
// program's catalogue does.
TEST_F(CatalogueTest, TheShippedDefinitionsAgreeWithTheCatalogue) {
    for (const QString& display : recordWindowTables()) {
        EXPECT_EQ(tvtest::queryValue(tv::data::state().DefinitionsDb,
                                     u"SELECT RECORDWINDOW FROM [TABLE DEFINITIONS] WHERE "
                                     "DISPLAYNAME = "_s +
                                         tv::engine::quoteLiteral(display)),
                  recordWindowName(display))
            << display.toStdString();
    }
    EXPECT_EQ(recordWindowName(u"completed requests"_s), u"Request"_s);
}

TEST_F(CatalogueTest, EachTableHasOneWindowItsOwnOrThePlainOne) {
    registerFrameworkRecordWindows();
    EXPECT_EQ(GetRecordWindow(u"Lookup Tables"_s), nullptr);
    RecordWindow* plain = GetRecordWindow(u"Customers"_s);  // not written yet
    ASSERT_NE(qobject_cast<GenericRecordWindow*>(plain), nullptr);
    EXPECT_EQ(plain->objectName(), u"Customer"_s);
    EXPECT_EQ(plain->findChild<QLineEdit*>(u"Field_1"_s)->maxLength(), 60);
    RecordWindow* w = GetRecordWindow(u"Customer Feedback"_s);
    EXPECT_EQ(w->objectName(), u"Feedback"_s);
    EXPECT_EQ(GetRecordWindow(u"customer feedback"_s), w);

    // The request window serves both request tables, made and loaded once.
    int made = 0;
    registerRecordWindow(u"Request"_s, [&made] {
        ++made;
        return new StandInWindow();
    });
    RecordWindow* current = GetRecordWindow(u"Current Requests"_s);
    EXPECT_EQ(current->tableName(), u"Current Requests"_s);
    EXPECT_EQ(GetRecordWindow(u"Completed Requests"_s), current);
    EXPECT_EQ(current->property("LocalTableName").toString(), u"Completed Requests"_s);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(static_cast<StandInWindow*>(current)->loads, 1);
}

TEST(ControlArrays, ElementsComeInIndexOrderAndCloneElementZero) {
    QWidget form;
    for (const char* name : {"Item_10", "Item_2", "Item_0", "Item_1", "Item_x", "ItemB_3", "Item"})
        (new QLabel(&form))->setObjectName(QString::fromLatin1(name));
    QStringList names;
    for (QWidget* w : controlArray(&form, u"Item"_s)) names << w->objectName();
    EXPECT_EQ(names, (QStringList{u"Item_0"_s, u"Item_1"_s, u"Item_2"_s, u"Item_10"_s}));
    EXPECT_EQ(arrayElement(&form, u"Item"_s, 3), nullptr);

    QWidget panel(&form);
    auto* label0 = new QLabel(u"Caption"_s, &panel);
    label0->setObjectName(u"Value_0"_s);
    label0->setFrameShape(QFrame::Box);
    label0->setGeometry(7, 9, 120, 21);
    setTag(label0, u"Key"_s);
    auto* text0 = new QLineEdit(&panel);
    text0->setObjectName(u"Box_0"_s);
    text0->setMaxLength(12);

    auto* clone = qobject_cast<QLabel*>(loadArrayElement(label0, 2));
    ASSERT_NE(clone, nullptr);
    EXPECT_EQ(clone->objectName() + clone->text() + tagOf(clone), u"Value_2CaptionKey"_s);
    EXPECT_EQ(clone->parentWidget(), &panel);
    EXPECT_EQ(clone->frameShape(), QFrame::Box);
    EXPECT_EQ(clone->geometry(), QRect(7, 9, 120, 21));
    EXPECT_TRUE(clone->isHidden());
    EXPECT_EQ(loadArrayElement(label0, 2), clone);   // loaded once
    EXPECT_EQ(loadArrayElement(clone, 3), nullptr);  // only element 0 is a model
    EXPECT_EQ(qobject_cast<QLineEdit*>(loadArrayElement(text0, 1))->maxLength(), 12);
}

TEST(BoundControls, TagsTellBindingFromCaptionKeys) {
    QLabel control;
    const char* cases[][2] = {
        {"12", "12|"}, {" 3", "3|"}, {"okf", "0|okf"}, {"", "0|"}, {"0", "0|"}};
    for (const auto& [tag, seen] : cases) {  // seen: ordinal|caption key
        setTag(&control, QString::fromLatin1(tag));
        EXPECT_EQ(QString::number(boundOrdinal(&control)) + u'|' + captionKey(&control),
                  QString::fromLatin1(seen))
            << tag;
    }
}

}  // namespace
