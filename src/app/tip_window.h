// The tip of the day, shown after sign-in while "Show Tips at Startup" is on: one short
// piece of advice at a time, with Next Tip to read on and a check box that switches the
// window off for later sign-ins. Each showing starts where the last one stopped.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

namespace Ui {
class Tip;
}

namespace tv::app {

class TipWindow : public QDialog {
    Q_OBJECT

public:
    explicit TipWindow(QWidget* parent = nullptr);
    ~TipWindow() override;

    static const QStringList& tips();

    QString currentTip() const;
    void nextTip();
    bool showAtStartup() const;

private:
    void setShowAtStartup(bool on);

    std::unique_ptr<Ui::Tip> ui_;
    int index_ = 0;
};

}  // namespace tv::app
