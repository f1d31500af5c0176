// Gearsheet's start-up, timed: the program's own start-up and main window. Given the launch time
// (nanoseconds since the epoch) as its argument, it prints the milliseconds to the window's first
// paint and ends without saving anything. bench/startup/startup.sh runs it under the program's
// name, so that it reads its settings file as the program does.
#include <cstdlib>

#include "app/program.h"
#include "quit_after_paint.h"
#include "ui/dialogs.h"
#include "window/main_form.h"

int main(int argc, char** argv) {
    const long long launchNs = argc > 1 ? std::atoll(argv[1]) : 0;
    gearsheet::QtDialogs dialogs;
    return gearsheet::RunProgram(argc, argv, dialogs, [launchNs](gearsheet::MainForm& form) {
        form.installEventFilter(new gearsheet::QuitAfterPaint(launchNs, &form));
    });
}
