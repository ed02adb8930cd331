#include "forms/framework/controls.h"

#include "forms/framework/date_box.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaProperty>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextEdit>
#include <QWidget>
#include <functional>
#include <map>

namespace tv::forms {

QString tagOf(const QObject* control) {
    return control ? control->property(kTagProperty).toString() : QString();
}

void setTag(QObject* control, const QString& tag) {
    if (control) control->setProperty(kTagProperty, tag);
}

int boundOrdinal(const QObject* control) {
    bool numeric = false;
    const int n = tagOf(control).trimmed().toInt(&numeric);
    return numeric && n > 0 ? n : 0;
}

QString captionKey(const QObject* control) {
    const QString tag = tagOf(control);
    if (tag.isEmpty()) return {};
    bool numeric = false;
    (void)tag.trimmed().toInt(&numeric);
    return numeric ? QString() : tag;
}

QList<QObject*> taggedControls(const QWidget* form) {
    QList<QObject*> out;
    if (!form) return out;
    for (QObject* o : form->findChildren<QObject*>()) {
        if ((o->isWidgetType() || qobject_cast<QAction*>(o)) && !tagOf(o).isEmpty()) out.append(o);
    }
    return out;
}

int arrayIndex(const QObject* control) {
    if (!control) return -1;
    const QString name = control->objectName();
    const qsizetype sep = name.lastIndexOf(u'_');
    if (sep <= 0 || sep + 1 >= name.size()) return -1;
    bool ok = false;
    const int index = name.mid(sep + 1).toInt(&ok);
    return ok && index >= 0 ? index : -1;
}

namespace {

QString elementName(const QString& name, int index) { return name + u'_' + QString::number(index); }

QString arrayName(const QObject* element) {
    const QString name = element->objectName();
    return name.left(name.lastIndexOf(u'_'));
}

// The widget kinds a control array may hold, by class name.
using Maker = std::function<QWidget*(QWidget* parent)>;
const std::map<QString, Maker>& makers() {
    static const std::map<QString, Maker> table = {
        {QStringLiteral("QLabel"), [](QWidget* p) { return new QLabel(p); }},
        {QStringLiteral("QLineEdit"), [](QWidget* p) { return new QLineEdit(p); }},
        {QStringLiteral("QCheckBox"), [](QWidget* p) { return new QCheckBox(p); }},
        {QStringLiteral("QPushButton"), [](QWidget* p) { return new QPushButton(p); }},
        {QStringLiteral("QRadioButton"), [](QWidget* p) { return new QRadioButton(p); }},
        {QStringLiteral("QComboBox"), [](QWidget* p) { return new QComboBox(p); }},
        {QStringLiteral("QTextEdit"), [](QWidget* p) { return new QTextEdit(p); }},
        {QStringLiteral("QPlainTextEdit"), [](QWidget* p) { return new QPlainTextEdit(p); }},
        {QStringLiteral("QGroupBox"), [](QWidget* p) { return new QGroupBox(p); }},
        {QStringLiteral("QFrame"), [](QWidget* p) { return new QFrame(p); }},
        {QStringLiteral("QWidget"), [](QWidget* p) { return new QWidget(p); }},
        {QStringLiteral("tv::forms::DateBox"), [](QWidget* p) { return new DateBox(p); }},
    };
    return table;
}

}  // namespace

QList<QWidget*> controlArray(const QWidget* form, const QString& name) {
    std::map<int, QWidget*> byIndex;
    if (form) {
        const QString prefix = name + u'_';
        for (QWidget* w : form->findChildren<QWidget*>()) {
            if (!w->objectName().startsWith(prefix)) continue;
            if (arrayName(w) != name) continue;
            const int index = arrayIndex(w);
            if (index >= 0) byIndex.emplace(index, w);
        }
    }
    QList<QWidget*> out;
    for (const auto& [index, w] : byIndex) out.append(w);
    return out;
}

QWidget* arrayElement(const QWidget* form, const QString& name, int index) {
    if (!form) return nullptr;
    return form->findChild<QWidget*>(elementName(name, index));
}

QWidget* loadArrayElement(QWidget* element0, int index) {
    if (!element0 || arrayIndex(element0) != 0 || index < 0) return nullptr;
    if (index == 0) return element0;
    QWidget* parent = element0->parentWidget();
    const QString name = elementName(arrayName(element0), index);
    if (parent) {
        if (QWidget* existing = parent->findChild<QWidget*>(name, Qt::FindDirectChildrenOnly))
            return existing;
    }

    const auto maker = makers().find(QString::fromLatin1(element0->metaObject()->className()));
    if (maker == makers().end()) return nullptr;
    QWidget* clone = maker->second(parent);

    // The properties Designer would store for element 0, so the new element looks and
    // behaves the same; its name and visibility are its own.
    const QMetaObject* meta = element0->metaObject();
    for (int i = 0; i < meta->propertyCount(); ++i) {
        const QMetaProperty p = meta->property(i);
        if (!p.isStored() || !p.isWritable() || !p.isDesignable()) continue;
        const QByteArray propertyName = p.name();
        // A label's pixmap, even a null one, would wipe the text copied before it.
        if (propertyName == "objectName" || propertyName == "visible" || propertyName == "pixmap")
            continue;
        const QVariant value = p.read(element0);
        if (value != p.read(clone)) p.write(clone, value);
    }
    for (const QByteArray& dynamic : element0->dynamicPropertyNames())
        clone->setProperty(dynamic.constData(), element0->property(dynamic.constData()));
    clone->setObjectName(name);
    clone->hide();
    return clone;
}

bool isLabel(const QObject* control) { return qobject_cast<const QLabel*>(control) != nullptr; }

bool isFramedLabel(const QObject* control) {
    const auto* label = qobject_cast<const QLabel*>(control);
    return label && label->frameShape() != QFrame::NoFrame;
}

void setCaption(QObject* control, const QString& caption) {
    if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(caption);
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
        button->setText(caption);
    } else if (auto* group = qobject_cast<QGroupBox*>(control)) {
        group->setTitle(caption);
    } else if (auto* menu = qobject_cast<QMenu*>(control)) {
        menu->setTitle(caption);
    } else if (auto* action = qobject_cast<QAction*>(control)) {
        action->setText(caption);
    }
}

void setToolTip(QObject* control, const QString& toolTip) {
    if (auto* action = qobject_cast<QAction*>(control)) {
        action->setToolTip(toolTip);
    } else if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setToolTip(toolTip);
    }
}

void hideControl(QObject* control) {
    if (auto* action = qobject_cast<QAction*>(control)) {
        action->setVisible(false);
    } else if (auto* menu = qobject_cast<QMenu*>(control)) {
        // A menu shows through its action in the parent menu or menu bar.
        menu->menuAction()->setVisible(false);
    } else if (auto* widget = qobject_cast<QWidget*>(control)) {
        widget->setVisible(false);
    }
}

void setMaxLength(QObject* control, int length) {
    // Qt's own "no limit" for a line edit is its largest length.
    constexpr int kNoLimit = 32767;
    const int limit = length <= 0 ? kNoLimit : length;
    if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setMaxLength(limit);
    } else if (auto* combo = qobject_cast<QComboBox*>(control); combo && combo->lineEdit()) {
        combo->lineEdit()->setMaxLength(limit);
    }
}

}  // namespace tv::forms
