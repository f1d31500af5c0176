#include "app/program.h"

#include <QApplication>

#include "app/start_up_warming.h"
#include "window/main_form.h"

namespace gearsheet {

int RunProgram(int argc, char** argv, Dialogs& dialogs,
               const std::function<void(MainForm&)>& shown) {
    MainFormOptions options = MainFormOptions::ForRunningProgram();
    StartUpWarming warming(options.libraryPath);
    QApplication app(argc, argv);
    warming.Wait();
    MainForm form(dialogs, std::move(options));
    form.Form_Load();
    form.show();
    if (shown)
        shown(form);
    return app.exec();
}

}  // namespace gearsheet
