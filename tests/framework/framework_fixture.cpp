#include "framework/framework_fixture.h"

#include "data/app_state.h"
#include "forms/framework/record_window.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace tvtest {

using namespace Qt::StringLiterals;
using tv::engine::quoteLiteral;

namespace {

QString textOrNull(const QString& text) { return text.isEmpty() ? u"Null"_s : quoteLiteral(text); }

}  // namespace

void FrameworkTest::TearDown() {
    // Record windows a test left open go before the databases they read (windows the
    // test owns itself go with the test).
    QList<QPointer<QWidget>> windows;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<tv::forms::RecordWindow*>(w)) windows.append(w);
    for (const QPointer<QWidget>& w : windows) delete w.data();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ShippedDatabasesTest::TearDown();
}

void FrameworkTest::setCaption(const QString& window, const QString& tag, const QString& caption,
                               const QString& toolTip, bool hidden) {
    const QString key =
        u"[FORMNAME] = %1 AND [CONTROLTAG] = %2"_s.arg(quoteLiteral(window), quoteLiteral(tag));
    execDefinitions(
        {u"DELETE * FROM [FORM CAPTIONS] WHERE "_s + key,
         u"INSERT INTO [FORM CAPTIONS] ([FORMNAME], [CONTROLTAG], [CAPTION], [TOOLTIP], "
         "[HIDDEN]) VALUES (%1, %2, %3, %4, %5)"_s.arg(quoteLiteral(window), quoteLiteral(tag),
                                                       textOrNull(caption), textOrNull(toolTip),
                                                       hidden ? u"True"_s : u"False"_s)});
}

void FrameworkTest::setFieldDefinition(const QString& table, int ordinal, const QString& label,
                                       const QString& toolTip, bool hidden) {
    const QString number = QString::number(ordinal);
    const QString key =
        u"[TABLENAME] = %1 AND [FIELDNO] = %2"_s.arg(quoteLiteral(table), quoteLiteral(number));
    execDefinitions(
        {u"DELETE * FROM [FIELD DEFINITIONS] WHERE "_s + key,
         u"INSERT INTO [FIELD DEFINITIONS] ([TABLENAME], [FIELDNO], [LABEL], [TOOLTIP], "
         "[HIDDEN], [FIELDPOS]) VALUES (%1, %2, %3, %4, %5, %6)"_s.arg(
             quoteLiteral(table), quoteLiteral(number), textOrNull(label), textOrNull(toolTip),
             hidden ? u"True"_s : u"False"_s, number)});
}

void FrameworkTest::addColumns(const QString& table, const std::vector<NewColumn>& columns) {
    tv::engine::TableDef def = tv::data::state().DataDb.TableDefNamed(table);
    for (const NewColumn& c : columns) def.Append(def.CreateField(c.name, c.type, c.size));
}

int FrameworkTest::columnCount(const QString& table) {
    return tv::data::state().DataDb.TableDefNamed(table).FieldCount();
}

}  // namespace tvtest
