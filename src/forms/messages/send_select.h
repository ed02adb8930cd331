// The send window: a letter or message to a customer's contact. The letter comes from a
// form letter (merged with the customer's and contact's records as it is chosen) or is
// written in the box; documents of the document list and any other files go with it.
// It goes out one of four ways:
//   0 printed (with the chosen documents, and an envelope when asked);
//   1 e-mail: to a colleague's inbox when the contact name is a user's name (any letter
//     case), else as e-mail;
//   2 Internet mail;
//   3 fax.
// E-mail and Internet mail open in the user's own mail program when "EmailType" is 1;
// otherwise they, and faxes, are queued in the post office's outbox. Every send is logged
// in the customer's activities ("Send" of the activity log options). Files that were no
// longer there are left out and named afterwards.
#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>
#include <memory>

class QTreeWidgetItem;

namespace Ui {
class SendSelect;
}

namespace tv::forms {

class SendSelect : public QWidget {
    Q_OBJECT

public:
    enum Route { Print = 0, Email = 1, Internet = 2, Fax = 3 };

    explicit SendSelect(QWidget* parent = nullptr);
    ~SendSelect() override;

    void setRecipient(const QString& customer, const QString& contact);
    void setSubject(const QString& subject);
    // A letter of the sender's own (rich text), as a reply brings it.
    void setLetter(const QString& html);
    void setRoute(Route route);
    Route route() const;

    // Reads the selected contact's e-mail address and fax number again, and shows the one
    // the route needs.
    Q_INVOKABLE void LoadContactNumbers();

    // Loads the form letter with this LETTERID into the box, merged (asking first when the
    // letter in the box was edited). False when the user kept the edited letter.
    bool chooseLetter(const QString& letterId);
    // Ticks or clears a document of the document list by its DOCUMENTID.
    void checkDocument(const QString& documentId, bool checked);
    void addFile(const QString& path);

    // The Send command. True when the letter or message went out.
    bool send();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void fillTrees();
    void routeChanged();
    void updateCount();
    void browse();
    void newLetter();
    void showOutbox();
    void lookUpCustomer();
    QStringList attachmentPaths() const;
    bool printLetter();
    void printEnvelope();

    std::unique_ptr<Ui::SendSelect> ui_;
    bool placed_ = false;
    QString letterId_;          // the chosen form letter; empty for a letter of one's own
    QString letterDescription_;
    bool customFlag_ = false;   // the letter in the box was edited
    bool loading_ = false;
    QString email_;             // the contact's numbers (LoadContactNumbers)
    QString fax_;
};

}  // namespace tv::forms
