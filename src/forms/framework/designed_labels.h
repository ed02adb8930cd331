// Field labels keep their access keys. The definitions rename a bound field's label with
// a plain caption ("Mobile No"), the same text the list window heads its column with; on
// a window that text would lose the label's access key (Alt+L to the mobile number) and
// its colon. A window that wants them back remembers its labels as designed, right after
// setupUi, and restores the keys once the definitions are applied (in afterLoad).
#pragma once

#include <QPointer>
#include <QString>
#include <utility>
#include <vector>

class QLabel;
class QWidget;

namespace tv::forms {

// A caption given by the definitions, with the access key and trailing colon of the
// designed text: the key goes before the first occurrence of the designed key letter
// (ignoring case), none when the caption lacks that letter. A caption that carries an
// access key of its own ("&") or that equals the designed text is returned unchanged.
QString withDesignedAccessKey(const QString& designed, const QString& caption);

// A label's text as the name of its field in a message: no access key, no colon.
QString fieldName(const QLabel* label);

class DesignedLabels {
public:
    DesignedLabels() = default;
    // Remembers the text of every label of the form that has a buddy (the labels whose
    // access keys lead to a field).
    explicit DesignedLabels(const QWidget* form);
    // Gives every remembered label its designed access key and colon again.
    void restoreAccessKeys() const;

private:
    std::vector<std::pair<QPointer<QLabel>, QString>> labels_;
};

}  // namespace tv::forms
