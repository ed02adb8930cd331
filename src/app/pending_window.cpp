#include "app/pending_window.h"

#include "app/window_registry.h"
#include "forms/framework/controls.h"
#include "ui_pending_window.h"

namespace tv::app {

PendingWindow::PendingWindow(const QString& windowName, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::NotAvailable>()) {
    ui_->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);
    forms::setTag(this, windowName);
    const FeatureDescription feature = describeFeature(windowName);
    setWindowTitle(feature.title);
    ui_->Heading->setText(feature.title);
    ui_->Purpose->setText(feature.purpose);
    ui_->Notice->setText(
        tr("%1 is not yet available in this version of Tolvarine.").arg(feature.title));
    connect(ui_->Closef, &QPushButton::clicked, this, &QWidget::close);
}

PendingWindow::~PendingWindow() = default;

QString PendingWindow::heading() const { return ui_->Heading->text(); }

QString PendingWindow::notice() const { return ui_->Notice->text(); }

}  // namespace tv::app
