#include "app/changedb.h"

#include "app/sign_in.h"
#include "core/paths.h"
#include "core/settings_keys.h"
#include "data/access.h"
#include "data/prompter.h"
#include "forms/framework/captions.h"

#include "ui_changedb.h"

#include <QDir>
#include <QEvent>
#include "engine/engine.h"
#include "engine/server.h"

#include <QFileInfo>
#include <QFileSystemModel>
#include <QTimer>

namespace tv::app {

namespace {

// The folder as the program stores and shows it: native separators, no trailing one.
QString cleanFolder(const QString& folder) {
    // A server's location is kept as written (its "//" and spaces belong to it).
    if (engine::IsServerLocation(folder)) return folder.trimmed();
    return QDir::toNativeSeparators(normalizePath(folder.trimmed()));
}

}  // namespace

ChangeDB::ChangeDB(const QString& dataLocation, QWidget* parent)
    : QDialog(parent), ui(std::make_unique<Ui::ChangeDB>()) {
    ui->setupUi(this);
    forms::ApplyFormCaptions(this, objectName());

    model_ = new QFileSystemModel(this);
    model_->setFilter(QDir::AllDirs | QDir::Drives | QDir::NoDotAndDotDot);
    model_->setRootPath(QString());
    ui->Dir1->setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column) ui->Dir1->hideColumn(column);

    connect(ui->Dir1->selectionModel(), &QItemSelectionModel::currentChanged, this,
            &ChangeDB::treeFolderChanged);
    connect(ui->FolderPath, &QLineEdit::textEdited, this, &ChangeDB::showFolderInTree);
    connect(model_, &QFileSystemModel::directoryLoaded, this, &ChangeDB::scheduleReveal);
    connect(model_, &QFileSystemModel::rowsInserted, this, &ChangeDB::scheduleReveal);
    connect(model_, &QFileSystemModel::layoutChanged, this, &ChangeDB::scheduleReveal);
    ui->Dir1->installEventFilter(this);
    ui->Dir1->viewport()->installEventFilter(this);
    connect(ui->okf, &QPushButton::clicked, this, &ChangeDB::okClicked);
    connect(ui->networkf, &QPushButton::clicked, this, &ChangeDB::networkClicked);
    connect(ui->Closef, &QPushButton::clicked, this, &ChangeDB::reject);

    ui->FolderPath->setText(cleanFolder(dataLocation));
    showFolderInTree(ui->FolderPath->text());
    ui->Dir1->setFocus();
}

ChangeDB::~ChangeDB() = default;

void ChangeDB::showFolderInTree(const QString& folder) {
    const QString path = normalizePath(folder.trimmed());
    if (path.isEmpty() || !QFileInfo(path).isDir()) return;
    revealing_ = path;
    scheduleReveal();
}

void ChangeDB::scheduleReveal() {
    // The model reads folders in the background and sorts them later, so rows keep
    // arriving and moving after the folder was first shown: the tree follows the folder
    // (once per burst of changes) until the user takes over.
    if (revealing_.isEmpty() || revealScheduled_) return;
    revealScheduled_ = true;
    QTimer::singleShot(0, this, [this] {
        revealScheduled_ = false;
        if (revealing_.isEmpty()) return;
        const QModelIndex index = model_->index(revealing_);
        if (!index.isValid()) return;
        syncing_ = true;
        ui->Dir1->setCurrentIndex(index);
        ui->Dir1->scrollTo(index, QAbstractItemView::PositionAtCenter);
        syncing_ = false;
    });
}

void ChangeDB::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Scrolling needs the view's final size, which it has only once shown.
    scheduleReveal();
}

bool ChangeDB::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::Wheel:
        case QEvent::KeyPress:
            revealing_.clear();
            break;
        default:
            break;
    }
    return QDialog::eventFilter(watched, event);
}

void ChangeDB::treeFolderChanged() {
    if (syncing_) return;
    revealing_.clear();
    const QModelIndex index = ui->Dir1->currentIndex();
    if (index.isValid()) ui->FolderPath->setText(cleanFolder(model_->filePath(index)));
}

void ChangeDB::okClicked() { acceptFolder(ui->FolderPath->text()); }

void ChangeDB::networkClicked() {
    data::FileRequest request;
    request.title = QStringLiteral("Find Data Database");
    request.initialFolder = normalizePath(ui->FolderPath->text().trimmed());
    request.filter = QStringLiteral("Database Files (*.mdb)|*.mdb");
    request.flags = data::filedlg::kHideReadOnly | data::filedlg::kFileMustExist;
    const QString file = data::prompter().openFile(request);
    if (file.isEmpty()) return;
    const QString folder = cleanFolder(parentFolder(file));
    ui->FolderPath->setText(folder);
    showFolderInTree(folder);
    acceptFolder(folder);
}

void ChangeDB::acceptFolder(const QString& folder) {
    const QString clean = cleanFolder(folder);
    if (!folderHoldsDataDb(clean)) {
        reportNoDataDb(clean, 1);
        return;
    }
    if (ui->Default->isChecked()) SaveSetting(keys::DataLocation, clean);
    chosen_ = clean;
    accept();
}

}  // namespace tv::app
