#include "forms/framework/status.h"

#include "core/format.h"
#include "data/app_state.h"
#include "data/failure.h"

#include <QLabel>
#include <QPointer>

namespace tv::forms {

namespace {

// Column ordinal of the message text in the catalogue.
constexpr int kMessageText = 2;

QPointer<QLabel>& panelSlot() {
    static QPointer<QLabel> panel;
    return panel;
}

QString messageText(int number) {
    QString text;
    engine::Recordset& messages = data::state().MessagesRs;
    (void)data::attempt([&] {
        if (!messages.IsOpen()) return;
        messages.Seek(QStringLiteral("="), tv::Variant(static_cast<std::int32_t>(number)));
        if (!messages.NoMatch()) text = tv::TextOf(messages[kMessageText]);
    });
    return text;
}

}  // namespace

void setStatusPanel(QLabel* panel) { panelSlot() = panel; }

QLabel* statusPanel() { return panelSlot().data(); }

std::int16_t ShowStatusMessage(int number) {
    QLabel* panel = statusPanel();
    if (!panel) return -1;
    panel->setText(number == 0 ? QString() : messageText(number));
    // Paint now: the caller is about to keep the event loop busy.
    panel->repaint();
    return -1;
}

}  // namespace tv::forms
