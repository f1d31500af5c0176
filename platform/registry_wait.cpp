#include "registry_wait.h"

#include <sys/stat.h>

#include <algorithm>
#include <thread>

namespace platform::registry {
namespace {

// Naps between looks at a lock that is taken: short at first, so that a lock given up a moment
// later is soon taken, then no longer than kLongestNap.
constexpr auto kFirstNap = std::chrono::microseconds(250);
constexpr auto kLongestNap = std::chrono::milliseconds(10);

void AddStamp(const std::string& file, int64_t* out) {
    struct stat st {};
    if (stat(file.c_str(), &st) != 0)
        return;
    out[0] = st.st_size;
    out[1] = st.st_mtim.tv_sec * 1'000'000'000 + st.st_mtim.tv_nsec;
}

}  // namespace

void LockWait::Attach(sqlite3* db, const std::string& path) {
    path_ = path;
    sqlite3_busy_handler(db, &LockWait::OnBusy, this);
}

int LockWait::OnBusy(void* self, int count) {
    return static_cast<LockWait*>(self)->KeepWaiting(count) ? 1 : 0;
}

bool LockWait::KeepWaiting(int count) {
    const Clock::time_point now = Clock::now();
    if (count == 0) {
        since_ = now;
        last_ = Look();
    } else if (wait_ == Wait::kWriter) {
        const Stamp stamp = Look();
        if (stamp != last_) {
            last_ = stamp;
            since_ = now;
        }
    }
    if (now - since_ >= (wait_ == Wait::kWriter ? kStuckWriterWait : kReadWait))
        return false;
    const auto nap = kFirstNap * (1 << std::min(count, 6));
    std::this_thread::sleep_for(std::min<Clock::duration>(nap, kLongestNap));
    return true;
}

LockWait::Stamp LockWait::Look() const {
    Stamp stamp{};
    AddStamp(path_, &stamp[0]);
    AddStamp(path_ + "-wal", &stamp[2]);
    return stamp;
}

}  // namespace platform::registry
