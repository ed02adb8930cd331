#include "app/main_form.h"

#include "app/form_captions.h"
#include "data/app_state.h"

#include "ui_main_form.h"

#include <QLabel>
#include <QMdiArea>

namespace tv::app {

MainForm::MainForm(QWidget* parent) : QMainWindow(parent), ui(std::make_unique<Ui::MainForm>()) {
    ui->setupUi(this);
    messagePanel_ = new QLabel(this);
    messagePanel_->setObjectName(QStringLiteral("MessagePanel"));
    userPanel_ = new QLabel(QStringLiteral("User"), this);
    userPanel_->setObjectName(QStringLiteral("UserPanel"));
    userPanel_->setToolTip(tr("Signed-in user"));
    statusBar()->addWidget(messagePanel_, 1);
    statusBar()->addPermanentWidget(userPanel_);
}

MainForm::~MainForm() = default;

void MainForm::load() {
    ApplyFormCaptions(this, objectName());
    userPanel_->setText(data::state().CurrentUserId);
}

QMdiArea* MainForm::mdiArea() const { return ui->MdiArea; }

void MainForm::setStatusText(const QString& text) { messagePanel_->setText(text); }

}  // namespace tv::app
