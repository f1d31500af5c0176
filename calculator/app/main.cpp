// Gearsheet: starting the program means loading and showing its main window.
#include "app/program.h"
#include "ui/dialogs.h"

int main(int argc, char** argv) {
    gearsheet::QtDialogs dialogs;
    return gearsheet::RunProgram(argc, argv, dialogs);
}
