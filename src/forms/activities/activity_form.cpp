#include "forms/activities/activity_form.h"

#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "engine/engine.h"
#include "forms/customers/contact_numbers.h"
#include "forms/framework/date_box.h"
#include "forms/framework/lookup_codes.h"
#include "forms/framework/pick_list.h"
#include "forms/framework/table_lookup.h"
#include "forms/framework/window_layout.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

namespace tv::forms {

namespace {

constexpr int kSaveBeforeClosing = 9015;
constexpr int kPictureColumn = 3;  // "Activity Types": the picture file name

void reformat(QLineEdit* box, const QString& pattern) {
    const QString text = box->text().trimmed();
    if (text.isEmpty() || !tv::IsNumeric(tv::Variant(text))) return;
    box->setText(tv::Format(tv::Variant(tv::Val(text)), pattern));
}

template <typename T>
T* child(const QWidget* form, const char* name) {
    return form->findChild<T*>(QString::fromLatin1(name));
}

}  // namespace

void showTypePicture(QLabel* image, const QString& type) {
    QPixmap picture;
    if (!type.trimmed().isEmpty()) {
        const QString name = data::GetFieldText(QStringLiteral("Activity Types"), type.trimmed(),
                                                QString(), kPictureColumn);
        const QString path = name.isEmpty() ? QString() : existingPicture(name);
        if (!path.isEmpty()) picture.load(path);
    }
    if (picture.isNull())
        image->clear();
    else
        image->setPixmap(picture);
}

ActivityForm::ActivityForm(QWidget* parent) : RecordWindow(parent) {}

ActivityForm::~ActivityForm() = default;

void ActivityForm::bindSharedControls(QWidget* followUpDate) {
    labels_ = DesignedLabels(this);
    customer_ = child<QLineEdit>(this, "CustomerName");
    contact_ = child<PickList>(this, "ContactName");
    campaign_ = child<PickList>(this, "Campaign");
    duration_ = child<QLineEdit>(this, "Duration");
    cost_ = child<QLineEdit>(this, "Cost");
    type_ = child<PickList>(this, "ActivityType");
    followUpType_ = child<PickList>(this, "FollowupType");
    followUpRep_ = child<PickList>(this, "FollowupRep");
    image1_ = child<QLabel>(this, "Image1");
    image2_ = child<QLabel>(this, "Image2");
    followUpDate_ = followUpDate;
    followUpTime_ = child<QLineEdit>(this, "FollowupTime");
    followUpDescription_ = child<QLineEdit>(this, "FollowupDescription");

    const PickList::Source types = tableColumn(QStringLiteral("Activity Types"), 0);
    const PickList::Source users = tableColumn(QStringLiteral("System Users"), 0);
    type_->setSource(types);
    followUpType_->setSource(types);
    child<PickList>(this, "SalesRep")->setSource(users);
    followUpRep_->setSource(users);
    contact_->setSource([this] { return customerContactNames(customer_->text().trimmed()); });
    campaign_->setSource(tableColumn(QStringLiteral("Sales Campaigns"), 0));
    child<PickList>(this, "Result")->setSource(tableColumn(QStringLiteral("Call Result Codes"), 0));

    timer_ = new QTimer(this);
    timer_->setInterval(1000);
    connect(timer_, &QTimer::timeout, this, &ActivityForm::tick);

    connect(child<QPushButton>(this, "ListCommand_1"), &QPushButton::clicked, this,
            [this] { save(); });
    connect(child<QPushButton>(this, "ListCommand_2"), &QPushButton::clicked, this,
            &QWidget::close);
    connect(child<QToolButton>(this, "Searchf"), &QToolButton::clicked, this,
            &ActivityForm::lookUpCustomer);
    connect(child<QPushButton>(this, "aTimer"), &QPushButton::clicked, this,
            &ActivityForm::toggleWatch);
    connect(child<QPushButton>(this, "SelectProject"), &QPushButton::clicked, this,
            &ActivityForm::selectProject);
    connect(child<QPushButton>(this, "DialNow"), &QPushButton::clicked, this,
            &ActivityForm::showDialMenu);
    connect(customer_, &QLineEdit::textChanged, contact_, &PickList::invalidate);
    connect(customer_, &QLineEdit::editingFinished, this, &ActivityForm::ShowContactNumbers);
    connect(contact_, &QComboBox::activated, this, &ActivityForm::ShowContactNumbers);
    connect(contact_->lineEdit(), &QLineEdit::editingFinished, this,
            &ActivityForm::ShowContactNumbers);
    connect(type_, &QComboBox::currentTextChanged, this,
            [this](const QString& type) { showTypePicture(image1_, type); });
    connect(followUpType_, &QComboBox::currentTextChanged, this,
            [this](const QString& type) { showTypePicture(image2_, type); });
    connect(duration_, &QLineEdit::editingFinished, this, &ActivityForm::formatNumbers);
    connect(cost_, &QLineEdit::editingFinished, this, &ActivityForm::formatNumbers);
}

QWidget* ActivityForm::saveButton() const { return child<QWidget>(this, "ListCommand_1"); }

void ActivityForm::afterLoad() {
    labels_.restoreAccessKeys();
    // The design size (or one remembered at another text scale) must not cut off fields.
    QWidget* frame = windowFrame(this);
    frame->resize(frame->size().expandedTo(frame->minimumSizeHint()));
}

void ActivityForm::rowShown() {
    if (watchRunning()) toggleWatch();
    contact_->invalidate();
    formatNumbers();
    ShowContactNumbers();
    showPictures();
    clearFollowUp();
}

void ActivityForm::afterActivate() {
    showPictures();
    // The contact's numbers may have changed in another window meanwhile.
    if (!contact_->currentText().isEmpty()) ShowContactNumbers();
}

void ActivityForm::closeEvent(QCloseEvent* event) {
    if (!offerToSave(kSaveBeforeClosing)) {
        event->ignore();
        return;
    }
    if (watchRunning()) toggleWatch();
    RecordWindow::closeEvent(event);
}

void ActivityForm::showPictures() {
    showTypePicture(image1_, type_->currentText());
    showTypePicture(image2_, followUpType_->currentText());
}

void ActivityForm::ShowContactNumbers() {
    const std::optional<ContactNumbers> numbers =
        ReadContactNumbers(customer_->text().trimmed(), contact_->currentText().trimmed());
    child<QLineEdit>(this, "BusinessNo")->setText(numbers ? numbers->business : QString());
    child<QLineEdit>(this, "HomeNo")->setText(numbers ? numbers->home : QString());
    child<QLineEdit>(this, "MobileNo")->setText(numbers ? numbers->mobile : QString());
}

void ActivityForm::showDialMenu() {
    const QStringList numbers = markedNumbers({child<QLineEdit>(this, "BusinessNo")->text(),
                                               child<QLineEdit>(this, "HomeNo")->text(),
                                               child<QLineEdit>(this, "MobileNo")->text()});
    const auto dial = [this](const QString& entry) {
        DialNumber(customer_->text().trimmed(), contact_->currentText().trimmed(), entry);
    };
    // One number or none needs no choice: dial it, or say what is missing.
    if (numbers.size() <= 1) {
        dial(numbers.value(0));
        return;
    }
    QMenu menu(this);
    for (const QString& number : numbers) menu.addAction(number);
    auto* button = child<QPushButton>(this, "DialNow");
    if (QAction* chosen = menu.exec(button->mapToGlobal(QPoint(0, button->height()))))
        dial(chosen->text());
}

void ActivityForm::toggleWatch() {
    const bool starting = !timer_->isActive();
    if (starting) {
        seconds_ = 0;
        timer_->start();
    } else {
        timer_->stop();
    }
    // Red while the watch runs, the usual colours again once it stops.
    duration_->setStyleSheet(starting ? QStringLiteral("QLineEdit { color: red; }") : QString());
}

bool ActivityForm::watchRunning() const { return timer_->isActive(); }

void ActivityForm::tick() {
    ++seconds_;
    duration_->setText(tv::Format(tv::Variant(seconds_ / 60.0), QStringLiteral("0.00")));
}

void ActivityForm::formatNumbers() {
    reformat(duration_, QStringLiteral("0"));
    reformat(cost_, QStringLiteral("0.00"));
}

void ActivityForm::focusField(QWidget* field) {
    // Raise every tab page on the way up, so the field is seen when it gets the focus.
    for (QWidget* w = field; w && w->parentWidget(); w = w->parentWidget()) {
        auto* stack = qobject_cast<QStackedWidget*>(w->parentWidget());
        if (auto* tabs = stack ? qobject_cast<QTabWidget*>(stack->parentWidget()) : nullptr)
            tabs->setCurrentWidget(w);
    }
    field->setFocus(Qt::OtherFocusReason);
}

bool ActivityForm::checkSharedFields() {
    if (watchRunning()) toggleWatch();
    formatNumbers();
    for (QLineEdit* box : {duration_, cost_}) {
        if (data::IsNumberOrEmpty(box->text())) continue;
        data::ShowMessage(data::kMsgNotANumber, box->text());
        focusField(box);
        return false;
    }
    return true;
}

data::FollowUp ActivityForm::followUp() const {
    const auto* date = qobject_cast<const DateBox*>(followUpDate_);
    return {date ? date->dateText() : QString(), followUpTime_->text(),
            followUpRep_->currentText().trimmed(), followUpType_->currentText().trimmed(),
            followUpDescription_->text()};
}

void ActivityForm::clearFollowUp() {
    if (auto* date = qobject_cast<DateBox*>(followUpDate_)) date->clear();
    followUpTime_->clear();
    followUpRep_->setEditText(QString());
    followUpType_->setEditText(QString());
    followUpDescription_->clear();
}

void ActivityForm::selectProject() {
    const QString customer = customer_->text().trimmed();
    const QString sql =
        customer.isEmpty()
            ? QStringLiteral("SELECT * FROM [PROJECTS] ORDER BY [NAME]")
            : QStringLiteral("SELECT * FROM [PROJECTS] WHERE [Customer Name] = ") +
                  engine::quoteLiteral(customer, u'"') + QStringLiteral(" ORDER BY [NAME]");
    const QString picked = RunTableLookup(this, QStringLiteral("Projects"), 1, QString(), sql);
    if (picked.isEmpty()) return;
    child<QLineEdit>(this, "SourceDocId")->setText(picked);
    child<QLineEdit>(this, "SourceDocType")->setText(QStringLiteral("project"));
}

void ActivityForm::lookUpCustomer() {
    const QString picked = RunTableLookup(this, QStringLiteral("Customers"), 1, customer_->text());
    if (picked.isEmpty()) return;
    customer_->setText(picked);
    ShowContactNumbers();
}

}  // namespace tv::forms
