// The data-folder dialog behind the sign-in window's Change Database Location button: a
// folder tree (with the folder's path editable above it) and a Network button that
// locates Data.mdb through a file dialog. The folder is accepted only when it holds
// Data.mdb; "Default" also stores it as the setting "Data Location", otherwise it is used
// for this run only.
#pragma once

#include <QDialog>
#include <memory>

class QFileSystemModel;

namespace Ui {
class ChangeDB;
}

namespace tv::app {

class ChangeDB : public QDialog {
    Q_OBJECT

public:
    // dataLocation: the folder the sign-in window shows now; the tree opens on it.
    explicit ChangeDB(const QString& dataLocation, QWidget* parent = nullptr);
    ~ChangeDB() override;

    // The folder accepted by OK or Network (empty until then).
    QString chosenFolder() const { return chosen_; }

protected:
    void showEvent(QShowEvent* event) override;
    // A click, key or wheel in the tree stops it following the folder being loaded.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void okClicked();
    void networkClicked();
    // Accepts the folder when it holds Data.mdb by that exact name (otherwise message 1,
    // or 9060 when the file is there in other letters).
    void acceptFolder(const QString& folder);
    // Keeps the path field and the tree showing the same folder.
    void showFolderInTree(const QString& folder);
    void scheduleReveal();
    void treeFolderChanged();

    std::unique_ptr<Ui::ChangeDB> ui;
    QFileSystemModel* model_ = nullptr;
    QString chosen_;
    QString revealing_;  // the folder the tree follows while the model loads
    bool revealScheduled_ = false;
    bool syncing_ = false;
};

}  // namespace tv::app
