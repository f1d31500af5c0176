// The yardstick for Gearsheet's start-up: an empty Qt window. With GEARSHEET_QUIT_AFTER_SHOW set
// to the launch time (nanoseconds since the epoch) it prints the milliseconds to its first paint
// and ends, as Gearsheet does.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace {

class QuitAfterPaint final : public QObject {
  public:
    QuitAfterPaint(long long launchNs, QObject* parent) : QObject(parent), launchNs_(launchNs) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, this, [this] {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                const long long ns = now.tv_sec * 1000000000LL + now.tv_nsec - launchNs_;
                std::printf("first paint after %.2f ms\n", static_cast<double>(ns) / 1e6);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    long long launchNs_;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Empty"));
    if (qEnvironmentVariableIsSet("GEARSHEET_QUIT_AFTER_SHOW"))
        window.installEventFilter(
            new QuitAfterPaint(qgetenv("GEARSHEET_QUIT_AFTER_SHOW").toLongLong(), &window));
    window.show();
    return app.exec();
}
