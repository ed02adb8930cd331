#include "forms/reports/report_preview.h"

#include "ui_report_preview.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPixmap>
#include <QPrintDialog>
#include <QScrollBar>
#include <QScreen>
#include <QTimer>
#include <utility>

namespace tv::forms {

namespace {

// Zoom choices: a fraction of the paper's real size, or 0 and -1 for fit width and whole page.
constexpr double kFitWidth = 0;
constexpr double kWholePage = -1;

}  // namespace

ReportPreview::ReportPreview(const reports::PreviewRequest& request, QWidget* parent)
    : QDialog(parent), ui_(std::make_unique<Ui::ReportPreview>()), request_(request) {
    ui_->setupUi(this);
    setWindowTitle(request.title);
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    ui_->Zoom->addItem(tr("Fit Width"), kFitWidth);
    ui_->Zoom->addItem(tr("Whole Page"), kWholePage);
    for (int percent : {50, 75, 100, 150, 200}) ui_->Zoom->addItem(QStringLiteral("%1 %").arg(percent), percent / 100.0);

    printer_.setPageLayout(request.layout);
    printer_.setDocName(request.title);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    if (request.layOut) pages_ = request.layOut(printer_);
    QApplication::restoreOverrideCursor();

    const int count = pageCount();
    ui_->PageNumber->setRange(1, std::max(count, 1));
    ui_->PageCount->setText(tr("of %1").arg(count));

    connect(ui_->FirstPage, &QPushButton::clicked, this, [this] { showPage(1); });
    connect(ui_->PreviousPage, &QPushButton::clicked, this, [this] { showPage(currentPage() - 1); });
    connect(ui_->NextPage, &QPushButton::clicked, this, [this] { showPage(currentPage() + 1); });
    connect(ui_->LastPage, &QPushButton::clicked, this, [this] { showPage(pageCount()); });
    connect(ui_->PageNumber, &QSpinBox::valueChanged, this, [this] { renderPage(); });
    connect(ui_->Zoom, &QComboBox::currentIndexChanged, this, [this] { renderPage(); });
    connect(ui_->PrintButton, &QPushButton::clicked, this, &ReportPreview::print);
    connect(ui_->CloseButton, &QPushButton::clicked, this, &QDialog::accept);
    ui_->PrintButton->setEnabled(count > 0 && static_cast<bool>(request.paint));

    if (const QScreen* screen = QGuiApplication::primaryScreen()) resize(screen->availableSize() * 0.8);
    if (request.maximized) setWindowState(windowState() | Qt::WindowMaximized);
    renderPage();
}

ReportPreview::~ReportPreview() = default;

int ReportPreview::pageCount() const { return pages_ ? pages_->count() : 0; }

int ReportPreview::currentPage() const { return ui_->PageNumber->value(); }

void ReportPreview::showPage(int page) {
    ui_->PageNumber->setValue(std::clamp(page, 1, std::max(pageCount(), 1)));
    ui_->PageArea->verticalScrollBar()->setValue(0);
}

int ReportPreview::pageWidth() const {
    if (!pages_) return 0;
    const QSizeF paper = pages_->pageSize();
    const QSize view = ui_->PageArea->viewport()->size() - QSize(16, 16);
    const double zoom = ui_->Zoom->currentData().toDouble();
    if (zoom == kFitWidth) return std::max(view.width(), 100);
    if (zoom == kWholePage)
        return std::max(100, static_cast<int>(std::min(view.width() / paper.width(),
                                                       view.height() / paper.height()) * paper.width()));
    // The paper's real size on this screen.
    return static_cast<int>(paper.width() / pages_->resolution() * logicalDpiX() * zoom);
}

void ReportPreview::renderPage() {
    const int count = pageCount();
    ui_->FirstPage->setEnabled(currentPage() > 1);
    ui_->PreviousPage->setEnabled(currentPage() > 1);
    ui_->NextPage->setEnabled(currentPage() < count);
    ui_->LastPage->setEnabled(currentPage() < count);
    if (!pages_ || count == 0) {
        ui_->PageImage->setText(tr("There is nothing to show."));
        ui_->PageImage->adjustSize();
        return;
    }
    const qreal ratio = devicePixelRatioF();
    QImage image = pages_->image(currentPage() - 1, static_cast<int>(pageWidth() * ratio));
    image.setDevicePixelRatio(ratio);
    ui_->PageImage->setPixmap(QPixmap::fromImage(image));
    ui_->PageImage->adjustSize();
}

void ReportPreview::print() {
    QPrintDialog dialog(&printer_, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange);
    if (dialog.exec() != QDialog::Accepted) return;
    QApplication::setOverrideCursor(Qt::WaitCursor);
    request_.paint(&printer_);
    QApplication::restoreOverrideCursor();
}

void ReportPreview::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_PageDown: showPage(currentPage() + 1); return;
        case Qt::Key_PageUp: showPage(currentPage() - 1); return;
        case Qt::Key_Home:
            if (event->modifiers() & Qt::ControlModifier) { showPage(1); return; }
            break;
        case Qt::Key_End:
            if (event->modifiers() & Qt::ControlModifier) { showPage(pageCount()); return; }
            break;
        default: break;
    }
    QDialog::keyPressEvent(event);
}

void ReportPreview::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    if (ui_->Zoom->currentData().toDouble() <= kFitWidth) renderSoon();
}

void ReportPreview::renderSoon() {
    if (std::exchange(renderQueued_, true)) return;
    QTimer::singleShot(0, this, [this] {
        renderQueued_ = false;
        renderPage();
    });
}

}  // namespace tv::forms
