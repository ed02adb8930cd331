#include "framework/framework_fixture.h"

#include "data/app_state.h"
#include "forms/framework/record_window.h"

#include <QApplication>
#include <QPointer>
#include <QWidget>

namespace tvtest {

using tv::engine::quoteLiteral;

namespace {

QString textOrNull(const QString& text) {
    return text.isEmpty() ? QStringLiteral("Null") : quoteLiteral(text);
}

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
    execDefinitions({
        QStringLiteral("DELETE * FROM [FORM CAPTIONS] WHERE [FORMNAME] = %1 AND [CONTROLTAG] = %2")
            .arg(quoteLiteral(window), quoteLiteral(tag)),
        QStringLiteral("INSERT INTO [FORM CAPTIONS] ([FORMNAME], [CONTROLTAG], [CAPTION], "
                       "[TOOLTIP], [HIDDEN]) VALUES (%1, %2, %3, %4, %5)")
            .arg(quoteLiteral(window), quoteLiteral(tag), textOrNull(caption), textOrNull(toolTip),
                 hidden ? QStringLiteral("True") : QStringLiteral("False")),
    });
}

void FrameworkTest::setFieldDefinition(const QString& table, int ordinal, const QString& label,
                                       const QString& toolTip, bool hidden) {
    const QString number = QString::number(ordinal);
    execDefinitions({
        QStringLiteral(
            "DELETE * FROM [FIELD DEFINITIONS] WHERE [TABLENAME] = %1 AND [FIELDNO] = %2")
            .arg(quoteLiteral(table), quoteLiteral(number)),
        QStringLiteral("INSERT INTO [FIELD DEFINITIONS] ([TABLENAME], [FIELDNO], [LABEL], "
                       "[TOOLTIP], [HIDDEN], [FIELDPOS]) VALUES (%1, %2, %3, %4, %5, %6)")
            .arg(quoteLiteral(table), quoteLiteral(number), textOrNull(label), textOrNull(toolTip),
                 hidden ? QStringLiteral("True") : QStringLiteral("False"), number),
    });
}

void FrameworkTest::addColumns(const QString& table, const std::vector<NewColumn>& columns) {
    tv::engine::TableDef def = tv::data::state().DataDb.TableDefNamed(table);
    for (const NewColumn& c : columns) def.Append(def.CreateField(c.name, c.type, c.size));
}

int FrameworkTest::columnCount(const QString& table) {
    return tv::data::state().DataDb.TableDefNamed(table).FieldCount();
}

}  // namespace tvtest
