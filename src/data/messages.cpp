// The numbered messages: every box the program shows takes its title, text, second
// paragraph and style from the "Messages" table of the definitions database, so the
// program holds numbers, not wording.
#include "core/convert.h"
#include "core/format.h"
#include "data/access.h"
#include "data/app_state.h"
#include "data/failure.h"
#include "data/prompter.h"

namespace tv::data {

namespace {

// Column ordinals of the "Messages" table.
constexpr int kTitle = 1;
constexpr int kText = 2;
constexpr int kSecondParagraph = 3;
constexpr int kStyle = 5;

}  // namespace

int ShowMessage(int number, const QString& extra) {
    engine::Recordset& messages = state().MessagesRs;
    QString title;
    QString text;
    int style = msgbox::kOkOnly;
    bool found = false;
    (void)attempt([&] {
        if (!messages.IsOpen()) return;
        messages.Seek(QStringLiteral("="), tv::Variant(static_cast<std::int32_t>(number)));
        if (messages.NoMatch()) return;
        title = tv::TextOf(messages[kTitle]);
        text = tv::TextOf(messages[kText]) + extra;
        const QString second = tv::TextOf(messages[kSecondParagraph]);
        if (!second.isEmpty()) text += QStringLiteral("\n\n") + second;
        const tv::Variant styleValue = messages[kStyle];
        style = styleValue.isNull() ? msgbox::kOkOnly : tv::CInt(styleValue);
        found = true;
    });

    if (!found) {
        prompter().messageBox(QStringLiteral("Message Error"),
                              QStringLiteral("Message ") + QString::number(number) +
                                  QStringLiteral(" not found in definitions database."),
                              msgbox::kExclamation);
        return -1;
    }
    return prompter().messageBox(title, text, style);
}

}  // namespace tv::data
