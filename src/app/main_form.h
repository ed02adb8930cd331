// The main window: a frame whose MDI area holds the list and record windows, with a
// status bar whose first panel carries status messages and whose second names the
// signed-in user. Menus, toolbar and the mail timer join it later; closing it ends the
// program.
#pragma once

#include <QMainWindow>
#include <memory>

class QLabel;
class QMdiArea;

namespace Ui {
class MainForm;
}

namespace tv::app {

class MainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit MainForm(QWidget* parent = nullptr);
    ~MainForm() override;

    // Title from FORM CAPTIONS, the user panel from the signed-in state.
    void load();

    QMdiArea* mdiArea() const;
    // Panel 1: a status message (empty clears it).
    void setStatusText(const QString& text);

private:
    std::unique_ptr<Ui::MainForm> ui;
    QLabel* messagePanel_ = nullptr;
    QLabel* userPanel_ = nullptr;
};

}  // namespace tv::app
