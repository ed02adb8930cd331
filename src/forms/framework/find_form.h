// Finding a record in a list window. The Find dialog (FindForm) asks what to look for and
// hands it to the list in SharedValues:
//   0 the text to find (empty: the dialog was cancelled, and so are 1 to 4)
//   1 the chosen entry of the option list "Find Where"; the number it starts with is the
//     match mode: 0 anywhere in the field, 1 the whole field, 2 the start of the field
//     (an entry that does not start with a number means 0)
//   2 "0" the list's current column, "1" every field of the record
//   3 "0" towards the end, "1" towards the start
//   4 "1" when upper and lower case must match, else "0"
//
// FindInList runs the list's Find command: the dialog, then the search itself, which
// walks the list's key set in bulk (the engine matches all rows in one pass and steps
// through the key set to the next match) instead of reading rows one by one through the
// grid, so a hit at the far end of a million rows comes back at once. Each hit is selected
// in the grid and FindPrompt asks whether to look on, open it or stop. At the end of the
// list the user is asked once whether to go on from the other end; a search that has
// walked the whole list says whether nothing matched or every match has been shown.
#pragma once

#include "engine/engine.h"

#include <QDialog>
#include <QString>
#include <memory>
#include <vector>

namespace Ui {
class FindForm;
}

namespace tv::forms {

class ListForm;

class FindForm : public QDialog {
    Q_OBJECT

public:
    explicit FindForm(QWidget* parent = nullptr);
    ~FindForm() override;

    // The caption of the column the search looks in when "Current Field" is chosen.
    void setFieldName(const QString& caption);

    void accept() override;
    void reject() override;

private:
    std::unique_ptr<Ui::FindForm> ui_;
};

enum class MatchMode { Anywhere = 0, WholeField = 1, StartOfField = 2 };

struct FindRequest {
    QString text;
    MatchMode mode = MatchMode::Anywhere;
    bool wholeRecord = false;
    bool backwards = false;
    bool matchCase = false;
};

// The request the Find dialog left in SharedValues; an empty text when it was cancelled.
FindRequest findRequestFromSharedValues();

// A field the search compares: its name in the record set, its type, and the pattern its
// list column shows it with (empty: shown as its plain text).
struct FindField {
    QString name;
    engine::FieldType type = engine::FieldType::Text;
    QString pattern;
};

// The criteria (as FindFirst takes them) that match a record whose field, or any of the
// fields, shows the text as the request says. Values are compared as the list shows
// them; texts that are not plain ASCII, and case-sensitive searches, are compared
// character by character in full Unicode. Empty when no field can hold the text.
QString findCriteria(const FindRequest& request, const std::vector<FindField>& fields);

// The list window's Find command.
void FindInList(ListForm* list);

}  // namespace tv::forms
