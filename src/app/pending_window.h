// The window a command opens while the feature behind it is not written yet: it names the
// feature, says what it will do, and says plainly that it is not available in this
// version. Its tag is the window name the command asked for, so asking again brings the
// same window forward.
#pragma once

#include <QWidget>
#include <memory>

namespace Ui {
class NotAvailable;
}

namespace tv::app {

class PendingWindow : public QWidget {
    Q_OBJECT

public:
    explicit PendingWindow(const QString& windowName, QWidget* parent = nullptr);
    ~PendingWindow() override;

    QString heading() const;
    QString notice() const;

private:
    std::unique_ptr<Ui::NotAvailable> ui_;
};

}  // namespace tv::app
