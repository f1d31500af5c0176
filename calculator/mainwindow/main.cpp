// Gearsheet: starting the program means loading and showing its main window.
#include <QApplication>

#include "main_form.h"
#include "start_up_warming.h"
#include "tooling.h"

int main(int argc, char** argv) {
    gearsheet::MainFormOptions options = gearsheet::MainFormOptions::ForRunningProgram();
    gearsheet::StartUpWarming warming(options.libraryPath);
    QApplication app(argc, argv);
    warming.Wait();
    const auto dialogs = gearsheet::DialogsForThisRun();
    gearsheet::MainForm form(*dialogs, std::move(options));
    form.Form_Load();
    form.show();
    gearsheet::StartTooling(form);
    return app.exec();
}
