// Starting Gearsheet: what its main() does. The harnesses in tools/ and bench/ start the same
// window through it and add their own work once it has been shown.
#pragma once

#include <functional>

namespace gearsheet {

class Dialogs;
class MainForm;

// Loads the main window from the program's own places, shows it and runs the event loop until it
// closes. The window shows its messages and reports through `dialogs`; `shown`, when given, runs
// once the window has been shown. Returns the event loop's exit code.
int RunProgram(int argc, char** argv, Dialogs& dialogs,
               const std::function<void(MainForm&)>& shown = {});

}  // namespace gearsheet
