// The window a command opens while the feature behind it is not written yet: it names the
// feature, says what it will do, and says plainly that it is not available in this
// version. Its tag is the window name the command asked for, so asking again brings the
// same window forward. A window becomes available when its area registers it with the
// window catalogue (forms/framework/record_catalogue.h).
#pragma once

#include <QString>
#include <QWidget>
#include <memory>

namespace Ui {
class NotAvailable;
}

namespace tv::app {

// What a window that is not yet available is: its title and one paragraph on what it
// will do. Unknown names get the name itself and a general sentence.
struct FeatureDescription {
    QString title;
    QString purpose;
};
FeatureDescription describeFeature(const QString& windowName);

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
