// Gearsheet: starting the program means loading and showing its main window.
#include <QApplication>

#include "main_form.h"
#include "tooling.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const auto dialogs = gearsheet::DialogsForThisRun();
    gearsheet::MainForm form(*dialogs, gearsheet::MainFormOptions::ForRunningProgram());
    form.Form_Load();
    form.show();
    gearsheet::StartTooling(form);
    return app.exec();
}
