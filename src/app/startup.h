// The program's run from start to end: the sign-in window, then the main window.
#pragma once

namespace tv::app {

// Shows the sign-in window and runs the event loop until the program ends: closing the
// sign-in window without signing in, or closing the main window. Returns the exit code:
// 0 for a normal end, 1 when the definitions database could be neither opened, repaired
// nor located. Needs the QApplication and the prompter in place.
int runProgram();

}  // namespace tv::app
