#include "app/changepw.h"

#include "app/sign_in.h"
#include "data/access.h"
#include "forms/framework/captions.h"

#include "ui_changepw.h"

namespace tv::app {

ChangePW::ChangePW(const QString& userId, const QString& currentPassword, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ChangePW>()), userId_(userId) {
    ui->setupUi(this);
    forms::ApplyFormCaptions(this, objectName());
    ui->DataField_0->setText(currentPassword);
    ui->DataField_1->setFocus();
    connect(ui->okf, &QPushButton::clicked, this, &ChangePW::okClicked);
    connect(ui->Closef, &QPushButton::clicked, this, &ChangePW::reject);
}

ChangePW::~ChangePW() = default;

void ChangePW::okClicked() {
    const QString password = ui->DataField_1->text();
    if (password != ui->DataField_2->text()) {
        data::ShowMessage(6);
        ui->DataField_2->clear();
        ui->DataField_1->setFocus();
        ui->DataField_1->selectAll();
        return;
    }
    if (!storePassword(userId_, password)) return;
    newPassword_ = password;
    accept();
}

}  // namespace tv::app
