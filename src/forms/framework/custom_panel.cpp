#include "forms/framework/custom_panel.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>
#include <cmath>

namespace tv::forms {

namespace {

// TABLE DEFINITIONS ordinal of the standard column count.
constexpr int kStdFieldCountColumn = 5;
// Marks a scroll bar already connected to its panel, so a rebuild does not connect twice.
constexpr char kScrollConnected[] = "tvCustomScrollConnected";

void setTopTwips(QWidget* w, int top) {
    if (w) w->move(w->x(), twipsToPixelsY(top));
}

void setWidthTwips(QWidget* w, int width) {
    if (w) w->resize(twipsToPixelsX(width), w->height());
}

}  // namespace

int StandardFieldCount(const QString& tableName) {
    int count = 0;
    (void)data::attempt([&] {
        engine::Database& db = data::state().DefinitionsDb;
        if (!db.IsOpen()) return;
        engine::Recordset rs = db.OpenRecordset(QStringLiteral("TABLE DEFINITIONS"));
        rs.SetIndex(QStringLiteral("PrimaryKey"));
        rs.Seek(QStringLiteral("="), tv::Variant(tableName));
        if (!rs.NoMatch()) count = static_cast<int>(tv::Val(tv::TextOf(rs[kStdFieldCountColumn])));
        rs.Close();
    });
    return count > 0 ? count : 0;
}

bool HasCustomFields(const QString& tableName) {
    const int standard = StandardFieldCount(tableName);
    return standard > 0 && standard < tableFieldCount(tableName);
}

std::int16_t BuildCustomPanel(QWidget* form, const QString& tableName) {
    if (!form) return -1;
    auto* panel = form->findChild<QWidget*>(QStringLiteral("CustomPanel"));
    QWidget* label0 = arrayElement(form, QStringLiteral("CustomLabel"), 0);
    QWidget* text0 = arrayElement(form, QStringLiteral("CustomTextBox"), 0);
    QWidget* check0 = arrayElement(form, QStringLiteral("CustomCheckBox"), 0);
    auto* scroll = form->findChild<QScrollBar*>(QStringLiteral("VScroll1"));
    if (!panel || !label0) return -1;

    const int panelWidth = pixelsToTwipsX(panel->width());
    int maxWidth = kCustomMaxTextWidth;
    if (panelWidth > kCustomMaxTextWidth && text0)
        maxWidth = panelWidth - pixelsToTwipsX(text0->x()) - kCustomMargin;

    const std::optional<engine::TableDef> def = tableDefinition(tableName);
    if (!def) return -1;
    const int first = StandardFieldCount(tableName) + 1;
    int last = 0;
    (void)data::attempt([&] { last = def->FieldCount(); });
    if (first <= 1) return -1;

    int rows = 0;
    int checks = 0;
    int texts = 0;
    std::vector<int> labelTops;  // twips, one per row
    for (int i = first; i <= last; ++i) {
        engine::FieldType type = engine::FieldType::Text;
        QString name;
        int size = 0;
        if (data::attempt([&] {
                const engine::Field field = def->FieldAt(i - 1);
                type = field.Type();
                name = field.Name();
                size = field.Size();
            }))
            continue;
        const bool isCheck = type == engine::FieldType::Boolean;

        ++rows;
        QWidget* label = loadArrayElement(label0, rows - 1);
        labelTops.push_back(rows == 1 ? pixelsToTwipsY(label0->y())
                                      : labelTops[rows - 2] + kCustomRowPitch);
        const int top = labelTops.back();
        setTopTwips(label, top);
        setCaption(label, name + u':');
        setTag(label, QString::number(i));

        if (isCheck) {
            ++checks;
            QWidget* check = check0 ? loadArrayElement(check0, checks - 1) : nullptr;
            if (label) label->hide();
            if (check) {
                setTopTwips(check, top);
                setTag(check, QString::number(i));
                check->show();
            }
            continue;
        }

        ++texts;
        if (label) label->show();
        QWidget* text = text0 ? loadArrayElement(text0, texts - 1) : nullptr;
        if (!text) continue;
        setTopTwips(text, top);
        setTag(text, QString::number(i));
        text->show();
        if (type != engine::FieldType::Text) {
            setWidthTwips(text, kCustomNonTextWidth);
            // A clone inherits element 0's limit, which belongs to another column.
            setMaxLength(text, 0);
        } else {
            setMaxLength(text, size);
            setWidthTwips(text, std::min(size * kCustomTwipsPerChar, maxWidth));
        }
    }

    if (!scroll) return -1;
    scroll->hide();
    const int panelHeight = pixelsToTwipsY(panel->height());
    const int visibleRows = panelHeight / kCustomRowPitch - 1;
    if (rows > visibleRows && rows > 0) {
        const int needed = labelTops[rows - 1] + kCustomRowPitch;
        if (needed > panelHeight) {
            panel->resize(panel->width(), twipsToPixelsY(needed));
            scroll->setMinimum(0);
            scroll->setMaximum(static_cast<int>(std::floor(needed * 0.75)));
            scroll->setPageStep(needed / 4);
            scroll->setSingleStep(needed / 12);
            scroll->show();
        }
    }
    if (!scroll->property(kScrollConnected).toBool()) {
        scroll->setProperty(kScrollConnected, true);
        QObject::connect(scroll, &QScrollBar::valueChanged, panel, [panel](int value) {
            panel->move(panel->x(), twipsToPixelsY(kCustomPanelTop - value));
        });
    }
    return -1;
}

}  // namespace tv::forms
