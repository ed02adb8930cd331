// The mail-folder window (olInbox): the user's own mail store as a tree, the store at the
// top, its folders nested as they are on disk, and under each folder its messages, oldest
// first, unread ones in bold. A folder's messages are read when it is first expanded, so
// the tree of a large store shows at once. Opening a message (double-click or Enter)
// shows it in the reading pane and marks it read. "File in Customer History" makes the
// selected mail an activity of the customer whose contact has the sender's address, with
// its attachments among the customer's files. The store (a Maildir folder or an mbox
// file) is asked for the first time and kept in the setting "Mail Store".
#pragma once

#include "messaging/mail_store.h"

#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QTreeWidgetItem;

namespace Ui {
class MailFolders;
}

namespace tv::forms {

class MailFolders : public QWidget {
    Q_OBJECT

public:
    explicit MailFolders(QWidget* parent = nullptr);
    ~MailFolders() override;

    // Builds the tree of the store in the setting (asking for one when none is set); false
    // when there is none or it cannot be read.
    bool showStore();
    // Asks for the store, keeps it in the setting and shows it.
    void chooseStore();

    // Reads the messages of a folder node (once); the number of messages listed.
    int expandFolder(QTreeWidgetItem* folderNode);
    // Shows a message node's mail and marks it read; false for a folder node.
    bool openItem(QTreeWidgetItem* node);
    // Files the selected (shown) mail with its customer.
    bool saveDetails();
    void openAttachment();

    QTreeWidgetItem* rootNode() const;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void addFolder(QTreeWidgetItem* parent, const messaging::MailFolder& folder);

    std::unique_ptr<Ui::MailFolders> ui_;
    bool placed_ = false;
    std::vector<messaging::MailFolder> folders_;  // every folder node's folder, by index
    std::vector<messaging::MailItem> items_;      // every message node's message, by index
    std::optional<messaging::MailContent> shown_;
    int shownIndex_ = -1;
};

}  // namespace tv::forms
