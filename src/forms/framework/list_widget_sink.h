// Fills a list widget through the data layer's list routines (FillList, ListDataTables),
// which write to any sink and know nothing of widgets.
#pragma once

#include "data/access.h"

#include <QListWidget>

namespace tv::forms {

class ListWidgetSink : public data::ListSink {
public:
    explicit ListWidgetSink(QListWidget* list) : list_(list) {}
    void clear() override { list_->clear(); }
    void addItem(const QString& text) override { list_->addItem(text); }

private:
    QListWidget* list_;
};

}  // namespace tv::forms
