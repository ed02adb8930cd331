#include "forms/diary/diary_list.h"

#include "core/format.h"
#include "forms/framework/code_styles.h"

#include <QIcon>

namespace tv::forms {

DiaryListModel::DiaryListModel(bool withDate, QObject* parent)
    : QAbstractTableModel(parent), withDate_(withDate) {}

void DiaryListModel::setItems(std::vector<data::DiaryItem> items) {
    beginResetModel();
    items_ = std::move(items);
    endResetModel();
}

void DiaryListModel::setPictures(std::shared_ptr<const CodeStyles> pictures) {
    pictures_ = std::move(pictures);
    if (!items_.empty()) emit dataChanged(index(0, 0), index(rowCount() - 1, 0));
}

int DiaryListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(items_.size());
}

int DiaryListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : (withDate_ ? 3 : 2);
}

QVariant DiaryListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount()) return {};
    const data::DiaryItem& item = items_[static_cast<size_t>(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
            case 0:
                return item.text;
            case 1:
                return item.customer;
            default:
                return tv::Format(tv::Variant(item.start), QStringLiteral("Short Date"));
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0 && pictures_ && !item.type.isEmpty()) {
        const CodeStyle* style = pictures_->match(item.type);
        if (style && !style->picture.isNull()) return QIcon(style->picture);
    }
    if (role == Qt::ToolTipRole) {
        QString tip = item.text;
        if (!item.detail.isEmpty() && item.detail != item.text) tip += u'\n' + item.detail;
        if (!item.type.isEmpty()) tip += u'\n' + item.type;
        return tip + u'\n' + tv::Format(tv::Variant(item.start), QStringLiteral("General Date"));
    }
    return {};
}

QVariant DiaryListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
    switch (section) {
        case 0:
            return tr("Task");
        case 1:
            return tr("Customer");
        default:
            return tr("Date");
    }
}

}  // namespace tv::forms
