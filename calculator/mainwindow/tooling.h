// Hidden helpers for the project's own scripts, switched on by environment variables and out of
// the user's way:
//   GEARSHEET_SCREENSHOTS=<folder>  writes one PNG per tab and one of the expanded error dialog
//                                   into the folder, then quits (tools/screenshot.sh);
//   GEARSHEET_QUIT_AFTER_SHOW=1     quits as soon as the window has been painted once (bench/).
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
