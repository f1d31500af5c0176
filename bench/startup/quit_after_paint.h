// Start-up timing for bench/startup/: once the watched window has been painted, prints the
// milliseconds since the launch time given (nanoseconds since the epoch) and the process's peak
// resident set so far, and ends the process at once, so that nothing is saved. Used by both
// start-up harnesses.
#pragma once

#include <sys/resource.h>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace gearsheet {

class QuitAfterPaint final : public QObject {
  public:
    QuitAfterPaint(long long launchNs, QObject* parent) : QObject(parent), launchNs_(launchNs) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            QTimer::singleShot(0, this, [this] {
                timespec now{};
                clock_gettime(CLOCK_REALTIME, &now);
                const long long ns = now.tv_sec * 1000000000LL + now.tv_nsec - launchNs_;
                rusage usage{};
                getrusage(RUSAGE_SELF, &usage);
                std::printf("first paint after %.2f ms\n", static_cast<double>(ns) / 1e6);
                std::printf("peak memory %ld kB\n", usage.ru_maxrss);
                std::fflush(stdout);
                std::_Exit(0);
            });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    long long launchNs_;
};

}  // namespace gearsheet
