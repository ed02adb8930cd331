#include "app/about_box.h"

#include "app/sign_in.h"
#include "ui_about_box.h"

#include <sqlite3.h>

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
    return QStringLiteral("Qt %1, SQLite %2")
        .arg(QString::fromLatin1(qVersion()), QString::fromLatin1(sqlite3_libversion()));
}

QString AboutBox::versionText() const {
    return ui_->ProductName->text() + u'\n' + ui_->Versions->text();
}

}  // namespace tv::app
