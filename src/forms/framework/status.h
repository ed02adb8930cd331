// Status messages in the main window's status bar: the text of a numbered message from
// the catalogue, put into the bar's first panel and painted at once, so that it shows
// during the long operation that follows on the same thread.
#pragma once

#include <cstdint>

class QLabel;

namespace tv::forms {

// The main window registers the label of its first status panel here (nullptr when it
// goes). Without a panel status messages go nowhere.
void setStatusPanel(QLabel* panel);
QLabel* statusPanel();

// Number 0, or a number missing from the catalogue, clears the panel; otherwise it shows
// the message's text (column 2). Returns -1.
std::int16_t ShowStatusMessage(int number);

}  // namespace tv::forms
