// The diary's two lists (ListView1 "To Do List:" and ListView2 "Overdue Activities:"): a
// table model over the items, its columns "Task" and "Customer", and "Date" for the overdue
// list. A task shows its activity type's picture as its icon when the type has one.
#pragma once

#include "data/diary.h"

#include <QAbstractTableModel>
#include <memory>
#include <vector>

namespace tv::forms {

class CodeStyles;

class DiaryListModel : public QAbstractTableModel {
    Q_OBJECT

public:
    DiaryListModel(bool withDate, QObject* parent = nullptr);

    void setItems(std::vector<data::DiaryItem> items);
    const std::vector<data::DiaryItem>& items() const { return items_; }
    // The activity types' pictures.
    void setPictures(std::shared_ptr<const CodeStyles> pictures);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    bool withDate_;
    std::vector<data::DiaryItem> items_;
    std::shared_ptr<const CodeStyles> pictures_;
};

}  // namespace tv::forms
