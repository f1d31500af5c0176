// How a registry operation waits for a lock on the database that another process holds.
#pragma once

#include <sqlite3.h>
#include <sys/types.h>

#include <array>
#include <chrono>
#include <string>

namespace platform::registry {

// A read waits 5 s in all. A write waits as long as some process keeps committing, and gives up
// 30 s past the last commit it saw: only a holder that makes no progress turns a writer away.
enum class Wait { kReader, kWriter };
inline constexpr std::chrono::seconds kReadWait{5};
inline constexpr std::chrono::seconds kStuckWriterWait{30};

// The busy handler of the connections to one database file. Arm says how the next lock that is
// found taken is waited for.
class LockWait {
  public:
    // Makes this the busy handler of `db`, a connection to the database file `path`.
    void Attach(sqlite3* db, const std::string& path);
    void Arm(Wait wait) { wait_ = wait; }

  private:
    using Clock = std::chrono::steady_clock;
    // Sizes and modification times of the database file and its write-ahead log: a commit
    // changes them.
    using Stamp = std::array<int64_t, 4>;

    static int OnBusy(void* self, int count);
    bool KeepWaiting(int count);
    Stamp Look() const;

    Wait wait_ = Wait::kReader;
    std::string path_;
    Clock::time_point since_;  // start of the wait, or the last commit seen during it
    Stamp last_{};
};

}  // namespace platform::registry
