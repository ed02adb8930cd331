#include "app/list_placeholder.h"

#include "app/open_windows.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/record_values.h"
#include "engine/engine.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/form_fields.h"
#include "forms/framework/record_catalogue.h"
#include "forms/framework/record_opener.h"
#include "forms/framework/record_window.h"
#include "forms/framework/window_host.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace tv::app {

namespace {

ListWindowFactory& installedFactory() {
    static ListWindowFactory factory;
    return factory;
}

// The table's name in the data database, from TABLE DEFINITIONS; the display name itself
// when no row says otherwise.
QString storedTableName(const QString& displayName) {
    QString name = displayName;
    engine::Recordset rs = data::OpenTable(
        QStringLiteral("SELECT [TABLENAME] FROM [TABLE DEFINITIONS] WHERE [DISPLAYNAME] = ") +
            engine::quoteLiteral(displayName),
        data::kDefinitionsDb);
    if (!rs.IsOpen()) return name;
    (void)data::attempt([&] {
        if (!rs.EOF_()) name = tv::TextOf(rs[0]);
        rs.Close();
    });
    return name;
}

// A list sink that keeps at most a screenful of keys: enough to pick from until the real
// list, with its search and filters, arrives.
class KeySink : public data::ListSink {
public:
    explicit KeySink(QListWidget* list) : list_(list) {}
    void clear() override { list_->clear(); }
    void addItem(const QString& text) override {
        if (list_->count() < kMaxKeys) list_->addItem(text);
    }

private:
    static constexpr int kMaxKeys = 500;
    QListWidget* list_;
};

}  // namespace

void setListWindowFactory(ListWindowFactory factory) { installedFactory() = std::move(factory); }

QWidget* createListWindow(const QString& tableName) {
    const ListWindowFactory& factory = installedFactory();
    return factory ? factory(tableName) : new ListPlaceholder(tableName);
}

ListPlaceholder::ListPlaceholder(const QString& tableName, QWidget* parent)
    : QWidget(parent), tableName_(tableName) {
    setObjectName(QStringLiteral("ListForm"));
    setAttribute(Qt::WA_DeleteOnClose);
    forms::setTag(this, tableName);
    setWindowTitle(tableName);

    auto* layout = new QVBoxLayout(this);
    auto* heading = new QLabel(tableName, this);
    heading->setStyleSheet(QStringLiteral("font-size: 14pt; font-weight: bold;"));
    layout->addWidget(heading);
    notice_ = new QLabel(this);
    notice_->setWordWrap(true);
    layout->addWidget(notice_);

    const bool pickable = !forms::recordWindowName(tableName).isEmpty();
    if (pickable) storedName_ = storedTableName(tableName);
    if (pickable && data::KeyColumnCount(storedName_) == 1) {
        notice_->setText(tr("The full list of %1, with searching, filters and sorting, is not "
                            "yet available in this version of Tolvarine. Meanwhile you can "
                            "open a record by its key or add a new one.")
                             .arg(tableName));
        auto* label = new QLabel(tr("&Records:"), this);
        keys_ = new QListWidget(this);
        label->setBuddy(keys_);
        layout->addWidget(label);
        layout->addWidget(keys_, 1);
        KeySink sink(keys_);
        data::FillList(storedName_, sink, 0);
        if (keys_->count() > 0) keys_->setCurrentRow(0);

        auto* buttons = new QHBoxLayout();
        buttons->addStretch(1);
        open_ = new QPushButton(tr("&Open"), this);
        new_ = new QPushButton(tr("&New"), this);
        auto* close = new QPushButton(tr("&Close"), this);
        buttons->addWidget(open_);
        buttons->addWidget(new_);
        buttons->addWidget(close);
        layout->addLayout(buttons);
        connect(open_, &QPushButton::clicked, this, [this] {
            if (QListWidgetItem* item = keys_->currentItem()) openRecord(item->text());
        });
        connect(keys_, &QListWidget::itemActivated, this,
                [this](QListWidgetItem* item) { openRecord(item->text()); });
        connect(new_, &QPushButton::clicked, this, &ListPlaceholder::newRecord);
        connect(close, &QPushButton::clicked, this, &QWidget::close);
    } else {
        notice_->setText(
            tr("The list of %1 is not yet available in this version of Tolvarine.").arg(tableName));
        layout->addStretch(1);
        auto* buttons = new QHBoxLayout();
        buttons->addStretch(1);
        auto* close = new QPushButton(tr("&Close"), this);
        buttons->addWidget(close);
        layout->addLayout(buttons);
        connect(close, &QPushButton::clicked, this, &QWidget::close);
    }
}

QString ListPlaceholder::notice() const { return notice_->text(); }

QStringList ListPlaceholder::keys() const {
    QStringList out;
    if (!keys_) return out;
    for (int i = 0; i < keys_->count(); ++i) out << keys_->item(i)->text();
    return out;
}

bool ListPlaceholder::openRecord(const QString& key) {
    if (storedName_.isEmpty()) return false;
    if (!data::LoadRecord(storedName_, key)) return false;
    data::state().PendingEditMode = 2;
    if (!forms::OpenRecordWindow(tableName_, data::state().FieldValues)) {
        notice_->setText(
            tr("The record window of %1 is not yet available either.").arg(tableName_));
        return false;
    }
    return true;
}

bool ListPlaceholder::newRecord() {
    data::FieldValueArray values;
    values.resize(forms::tableFieldCount(storedName_));
    data::NewRecordDefaults(tableName_, values);
    data::state().PendingEditMode = 1;
    if (!forms::OpenRecordWindow(tableName_, values)) {
        notice_->setText(
            tr("The record window of %1 is not yet available either.").arg(tableName_));
        return false;
    }
    return true;
}

}  // namespace tv::app
