// Hidden helpers for the project's own scripts, switched on by environment variables and out of
// the user's way:
//   GEARSHEET_SCREENSHOTS=<folder>  writes one PNG per tab and one of the expanded error dialog
//                                   into the folder, then quits (tools/screenshot.sh);
//   GEARSHEET_QUIT_AFTER_SHOW=<ns>  once the window has been painted, prints the milliseconds since
//                                   <ns> (the launch time, nanoseconds since the epoch) and ends
//                                   the process without saving anything (bench/startup/).
#pragma once

#include <memory>

#include "dialogs.h"

namespace gearsheet {

class MainForm;

// The dialog seam for this run: the real one, or one that never blocks while screenshots are
// taken.
std::unique_ptr<Dialogs> DialogsForThisRun();

// Starts whatever the environment asks for, once `form` has been shown.
void StartTooling(MainForm& form);

}  // namespace gearsheet
