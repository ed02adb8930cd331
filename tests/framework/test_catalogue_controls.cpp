// The record-window catalogue and the control-array helpers the windows are built on.
#include "common/engine/queries.h"
#include "data/app_state.h"
#include "forms/framework/controls.h"
#include "forms/framework/generic_record_window.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_window.h"
#include "forms/framework/twips.h"
#include "framework/framework_fixture.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

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
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->objectName(), u"Feedback"_s);
    EXPECT_EQ(GetRecordWindow(u"customer feedback"_s), w);
    const QPointer<RecordWindow> first(w);
    w->findChild<QPushButton*>(u"Closef"_s)->click();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_TRUE(first.isNull());
    ASSERT_NE(GetRecordWindow(u"Customer Feedback"_s), nullptr);
}

TEST_F(CatalogueTest, TheRequestWindowServesBothRequestTables) {
    int made = 0;
    registerRecordWindow(u"Request"_s, [&made] {
        ++made;
        return new StandInWindow();
    });
    RecordWindow* current = GetRecordWindow(u"Current Requests"_s);
    ASSERT_NE(current, nullptr);
    EXPECT_EQ(current->tableName(), u"Current Requests"_s);
    RecordWindow* completed = GetRecordWindow(u"Completed Requests"_s);
    EXPECT_EQ(completed, current);
    EXPECT_EQ(completed->property("LocalTableName").toString(), u"Completed Requests"_s);
    EXPECT_EQ(made, 1);
    EXPECT_EQ(static_cast<StandInWindow*>(completed)->loads, 1);
}

TEST(ControlArrays, ElementsComeInIndexOrderAndCloneElementZero) {
    QWidget form;
    for (const char* name : {"Item_10", "Item_2", "Item_0", "Item_1", "Item_x", "ItemB_3", "Item"})
        (new QLabel(&form))->setObjectName(QString::fromLatin1(name));
    QStringList names;
    for (QWidget* w : controlArray(&form, u"Item"_s)) names << w->objectName();
    EXPECT_EQ(names, (QStringList{u"Item_0"_s, u"Item_1"_s, u"Item_2"_s, u"Item_10"_s}));
    EXPECT_EQ(arrayIndex(arrayElement(&form, u"Item"_s, 10)), 10);
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
    EXPECT_EQ(clone->objectName(), u"Value_2"_s);
    EXPECT_EQ(clone->parentWidget(), &panel);
    EXPECT_EQ(clone->text(), u"Caption"_s);
    EXPECT_EQ(clone->frameShape(), QFrame::Box);
    EXPECT_EQ(clone->geometry(), QRect(7, 9, 120, 21));
    EXPECT_EQ(tagOf(clone), u"Key"_s);
    EXPECT_TRUE(clone->isHidden());
    EXPECT_EQ(loadArrayElement(label0, 2), clone);   // loaded once
    EXPECT_EQ(loadArrayElement(clone, 3), nullptr);  // only element 0 is a model
    EXPECT_EQ(qobject_cast<QLineEdit*>(loadArrayElement(text0, 1))->maxLength(), 12);
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
