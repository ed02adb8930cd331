// The print preview reports are shown in: the report is laid out once for the printer,
// then only the page on screen is painted, so a long report shows its first page as soon
// as its pages are placed. Pages are turned with the buttons, the page box, Page Up/Down,
// Home and End; Print sends the whole report to a printer chosen in the print dialog.
#pragma once

#include "reports/report_engine.h"

#include <QDialog>
#include <QPrinter>
#include <memory>

namespace Ui {
class ReportPreview;
}

namespace tv::forms {

class ReportPreview : public QDialog {
    Q_OBJECT

public:
    // Lays the report out at once; pageCount() is 0 when it could not be.
    ReportPreview(const reports::PreviewRequest& request, QWidget* parent = nullptr);
    ~ReportPreview() override;

    int pageCount() const;
    int currentPage() const;  // 1-based
    void showPage(int page);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void renderPage();
    // Renders once the layout has settled: a fitted page needs the viewport's final size,
    // which the scroll area learns only after the window's own resize.
    void renderSoon();
    void print();
    // The page's width on screen for the chosen zoom (fit width, whole page or a percentage).
    int pageWidth() const;

    std::unique_ptr<Ui::ReportPreview> ui_;
    const reports::PreviewRequest& request_;
    QPrinter printer_{QPrinter::HighResolution};
    std::unique_ptr<reports::ReportPages> pages_;
    bool renderQueued_ = false;
};

}  // namespace tv::forms
