// The Quote window: one row of QUOTATIONS with its lines (QUOTATIONS DETAIL), everything
// else being the document window's. Captions come from FORM CAPTIONS under "Quote".
#pragma once

#include "forms/sales/document_window.h"

#include <memory>

namespace Ui {
class Quote;
}

namespace tv::forms {

class QuoteWindow : public DocumentWindow {
    Q_OBJECT

public:
    explicit QuoteWindow(QWidget* parent = nullptr);
    ~QuoteWindow() override;

protected:
    QString defaultTableName() const override;
    QSize defaultSizeTwips() const override;

private:
    std::unique_ptr<Ui::Quote> ui_;
};

}  // namespace tv::forms
