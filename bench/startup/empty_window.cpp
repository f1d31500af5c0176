// The yardsticks for Gearsheet's start-up: an empty Qt window and, with "--label" after the launch
// time, a window showing one line of text, the least a window with any text costs (the font set-up
// it brings is most of what separates a real window from an empty one). Given the launch time
// (nanoseconds since the epoch) as its argument, it prints the milliseconds to its first paint and
// ends, as gearsheet_startup_bench does.
#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdlib>
#include <cstring>

#include "quit_after_paint.h"

int main(int argc, char** argv) {
    const long long launchNs = argc > 1 ? std::atoll(argv[1]) : 0;
    const bool withLabel = argc > 2 && std::strcmp(argv[2], "--label") == 0;
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    if (withLabel) {
        auto* layout = new QVBoxLayout(&window);
        layout->addWidget(new QLabel(QStringLiteral("Speed Calculation"), &window));
    }
    window.installEventFilter(new gearsheet::QuitAfterPaint(launchNs, &window));
    window.show();
    return app.exec();
}
