#include "forms/framework/code_form.h"

#include "data/access.h"
#include "data/locations.h"
#include "data/prompter.h"
#include "engine/engine.h"
#include "forms/framework/captions.h"
#include "forms/framework/controls.h"
#include "forms/framework/data_tables.h"
#include "forms/framework/lookup_codes.h"
#include "ui_code_form.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QPushButton>

namespace tv::forms {

namespace {

constexpr int kDescriptionColumn = 1;
constexpr int kColourColumn = 2;
constexpr int kPictureColumn = 3;
constexpr int kFolderNotWritable = 9001;

const QString kPictureFilter = QStringLiteral(
    "Bitmaps (*.bmp)|*.bmp|Pictures (*.bmp;*.png;*.jpg;*.gif;*.ico)|*.bmp;*.png;*.jpg;*.gif;*.ico");

// A classic colour value (&HBBGGRR) as a Qt colour.
QColor qtColour(std::uint32_t value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

bool sameContents(const QString& a, const QString& b) {
    QFile fa(a);
    QFile fb(b);
    if (!fa.open(QIODevice::ReadOnly) || !fb.open(QIODevice::ReadOnly)) return false;
    return fa.size() == fb.size() && fa.readAll() == fb.readAll();
}

// The name under which a picture from elsewhere lives in the Pictures folder: its own
// name, unless another picture already has it ("logo (2).bmp" then). Empty when it
// cannot be copied there.
QString copyIntoPictures(const QString& path) {
    const QFileInfo source(path);
    const QString folder = pictureFolder();
    QString name = source.fileName();
    for (int n = 2;; ++n) {
        const QString target = folder + name;
        if (!QFileInfo::exists(target)) return QFile::copy(path, target) ? name : QString();
        if (sameContents(path, target)) return name;
        name =
            QStringLiteral("%1 (%2).%3").arg(source.completeBaseName()).arg(n).arg(source.suffix());
    }
}

}  // namespace

CodeForm::CodeForm(QWidget* parent) : QDialog(parent), ui_(std::make_unique<Ui::CodeForm>()) {
    ui_->setupUi(this);
    ApplyFormCaptions(this, QStringLiteral("Code Form"));
    ui_->PictureFile->clear();
    ui_->PictureFile->addItems(pictureFiles());
    ui_->PictureFile->setCurrentIndex(-1);
    ui_->PictureFile->setEditText(QString());
    showSwatch(0);

    connect(ui_->SetColour, &QPushButton::clicked, this, &CodeForm::chooseColour);
    connect(ui_->BrowsePicture, &QPushButton::clicked, this, &CodeForm::browsePicture);
    connect(ui_->PictureFile, &QComboBox::textActivated, this, [this] { showPicture(); });
    connect(ui_->SaveDetails, &QPushButton::clicked, this, [this] { saveDetails(); });
    connect(ui_->Cancelf, &QPushButton::clicked, this, &QDialog::reject);
}

CodeForm::~CodeForm() = default;

void CodeForm::setUp(const QString& table, bool colourSupport, bool pictureSupport) {
    table_ = table;
    if (const std::optional<engine::TableDef> def = tableDefinition(table)) {
        auto limit = [&](QObject* box, int column) {
            try {
                const engine::Field field = def->FieldAt(column);
                if (field.Type() == engine::FieldType::Text) setMaxLength(box, field.Size());
            } catch (const engine::DbError&) {
                // A table without that column: the box takes any length.
            }
        };
        limit(ui_->CodeString, 0);
        limit(ui_->Description, kDescriptionColumn);
    }
    ui_->Swatch->setVisible(colourSupport);
    ui_->SetColour->setVisible(colourSupport);
    for (QWidget* w :
         {static_cast<QWidget*>(ui_->PictureLabel), static_cast<QWidget*>(ui_->PictureFile),
          static_cast<QWidget*>(ui_->BrowsePicture), static_cast<QWidget*>(ui_->Image1)})
        w->setVisible(pictureSupport);
}

void CodeForm::newCode() {
    editMode_ = 1;
    oldCode_.clear();
    colour_.reset();
}

void CodeForm::editCode(const QString& code) {
    editMode_ = 2;
    oldCode_ = code;
    colour_.reset();
    ui_->CodeString->setText(code);
    ui_->Description->setText(data::GetFieldText(table_, code, QString(), kDescriptionColumn));
    ui_->Description->setCursorPosition(0);  // a long description shows its beginning
    ui_->PictureFile->setEditText(data::GetFieldText(table_, code, QString(), kPictureColumn));
    showSwatch(storedColour(table_, code));
}

QString CodeForm::codeText() const { return ui_->CodeString->text(); }

void CodeForm::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    if (!ui_->PictureFile->currentText().isEmpty()) showPicture();
}

void CodeForm::showPicture() {
    const QString path = existingPicture(ui_->PictureFile->currentText());
    QPixmap picture;
    if (!path.isEmpty() && picture.load(path)) {
        ui_->Image1->setPixmap(picture);
        return;
    }
    ui_->Image1->clear();
    ui_->PictureFile->setEditText(QString());
}

void CodeForm::showSwatch(std::uint32_t colour) {
    // 0 is "no colour of its own": lists then use their own background.
    QPalette palette = ui_->Swatch->palette();
    palette.setColor(QPalette::Window,
                     colour == 0 ? palette.color(QPalette::Base) : qtColour(colour));
    ui_->Swatch->setPalette(palette);
}

std::uint32_t CodeForm::colourToSave() const {
    if (colour_) return *colour_;
    return oldCode_.isEmpty() ? 0 : storedColour(table_, oldCode_);
}

void CodeForm::chooseColour() {
    const std::uint32_t start = colourToSave();
    if (const std::optional<std::uint32_t> chosen = data::prompter().chooseColour(start)) {
        colour_ = *chosen;
        showSwatch(*chosen);
    }
}

void CodeForm::browsePicture() {
    // A server site without its files folder has nowhere to keep a picture: say so again.
    if (data::siteFilesFolder(true).isEmpty()) return;
    data::FileRequest request;
    request.title = tr("Choose Picture");
    request.initialFolder = pictureFolder();
    request.filter = kPictureFilter;
    request.flags = data::filedlg::kFileMustExist | data::filedlg::kHideReadOnly;
    const QString path = data::prompter().openFile(request);
    if (path.isEmpty()) return;

    const QFileInfo chosen(path);
    QString name;
    if (QDir(chosen.absolutePath()) == QDir(pictureFolder())) {
        name = chosen.fileName();
    } else {
        name = copyIntoPictures(path);
        if (name.isEmpty()) {
            data::ShowMessage(kFolderNotWritable, pictureFolder());
            return;
        }
    }
    if (ui_->PictureFile->findText(name) < 0) ui_->PictureFile->addItem(name);
    ui_->PictureFile->setEditText(name);
    showPicture();
}

bool CodeForm::saveDetails() {
    const bool stored =
        SaveLookupCode(table_, ui_->CodeString->text(), ui_->Description->text(), colourToSave(),
                       ui_->PictureFile->currentText().trimmed(), editMode_, oldCode_) != 0;
    if (stored) accept();
    return stored;
}

}  // namespace tv::forms
