#include "app/about_box.h"

#include "app/sign_in.h"
#include "engine/engine.h"
#include "ui_about_box.h"

#include <QtGlobal>

namespace tv::app {

AboutBox::AboutBox(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::About>()) {
    ui_->setupUi(this);
    ui_->ProductName->setText(kDefaultApplicationName);
    ui_->Versions->setText(tr("Running on %1.").arg(libraryVersions()));
    connect(ui_->okf, &QPushButton::clicked, this, &QDialog::accept);
}

AboutBox::~AboutBox() = default;

QString AboutBox::libraryVersions() {
    return QStringLiteral("Qt %1, %2")
        .arg(QString::fromLatin1(qVersion()), engine::Engine::StorageVersion());
}

QString AboutBox::versionText() const {
    return ui_->ProductName->text() + u'\n' + ui_->Versions->text();
}

}  // namespace tv::app
