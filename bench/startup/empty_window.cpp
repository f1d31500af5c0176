// The yardstick for Gearsheet's start-up: an empty Qt window. With GEARSHEET_QUIT_AFTER_SHOW set
// to the launch time (nanoseconds since the epoch) it prints the milliseconds to its first paint
// and ends, as Gearsheet does.
#include <QApplication>
#include <QWidget>

#include "quit_after_paint.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    if (qEnvironmentVariableIsSet("GEARSHEET_QUIT_AFTER_SHOW"))
        window.installEventFilter(new gearsheet::QuitAfterPaint(
            qgetenv("GEARSHEET_QUIT_AFTER_SHOW").toLongLong(), &window));
    window.show();
    return app.exec();
}
