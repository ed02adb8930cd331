// The About box: the program's name and version, and the versions of the Qt and SQLite
// libraries it runs on (the ones loaded at run time, which is what support needs to know).
#pragma once

#include <QDialog>
#include <memory>

namespace Ui {
class About;
}

namespace tv::app {

class AboutBox : public QDialog {
    Q_OBJECT

public:
    explicit AboutBox(QWidget* parent = nullptr);
    ~AboutBox() override;

    // "Qt 6.4.2, SQLite 3.40.1"
    static QString libraryVersions();
    QString versionText() const;

private:
    std::unique_ptr<Ui::About> ui_;
};

}  // namespace tv::app
