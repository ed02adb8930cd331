// The toolbar's customise dialog: the buttons not on the toolbar on the left, the
// toolbar's buttons in order on the right; Add, Remove, Move Up, Move Down and Reset
// change the right-hand list, OK hands it back as an arrangement.
#pragma once

#include <QDialog>
#include <QStringList>
#include <memory>

class QListWidget;
class QListWidgetItem;

namespace Ui {
class ToolbarCustomiser;
}

namespace tv::app {

class ToolbarCustomiser : public QDialog {
    Q_OBJECT

public:
    explicit ToolbarCustomiser(const QStringList& layout, QWidget* parent = nullptr);
    ~ToolbarCustomiser() override;

    // The arrangement shown in the right-hand list.
    QStringList arrangement() const;
    void setArrangement(const QStringList& layout);

    // The buttons' actions, public so the dialog can be driven without a mouse.
    void addSelected();
    void removeSelected();
    void moveSelected(int delta);
    void reset();

    QListWidget* availableList() const;
    QListWidget* currentList() const;

private:
    void updateButtons();

    std::unique_ptr<Ui::ToolbarCustomiser> ui_;
};

}  // namespace tv::app
