// The yardstick for Gearsheet's start-up: an empty Qt window. Given the launch time (nanoseconds
// since the epoch) as its argument, it prints the milliseconds to its first paint and ends, as
// gearsheet_startup_bench does.
#include <QApplication>
#include <QWidget>
#include <cstdlib>

#include "quit_after_paint.h"

int main(int argc, char** argv) {
    const long long launchNs = argc > 1 ? std::atoll(argv[1]) : 0;
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    window.installEventFilter(new gearsheet::QuitAfterPaint(launchNs, &window));
    window.show();
    return app.exec();
}
