// A process that holds the registry database's write lock, as a writer stuck inside its
// transaction does, until the test lets it go.
#pragma once

#include <sqlite3.h>
#include <sys/socket.h>
#include <unistd.h>

#include <string>

#include "child_process.h"

namespace testing_support {

class RegistryLockHolder {
  public:
    // Starts the holder on `databaseFile` (which must exist) and returns once it holds the lock
    // or failed to take it. Inside its transaction it has deleted every value, uncommitted.
    explicit RegistryLockHolder(const std::string& databaseFile) {
        int link[2];
        if (socketpair(AF_UNIX, SOCK_STREAM, 0, link) != 0)
            return;
        pid_ = Spawn([&] {
            close(link[0]);
            sqlite3* db = nullptr;
            const bool held = sqlite3_open_v2(databaseFile.c_str(), &db, SQLITE_OPEN_READWRITE,
                                              nullptr) == SQLITE_OK &&
                              sqlite3_exec(db, "BEGIN IMMEDIATE; DELETE FROM reg_values", nullptr,
                                           nullptr, nullptr) == SQLITE_OK;
            char byte = held ? 'y' : 'n';
            const bool told = write(link[1], &byte, 1) == 1;
            while (read(link[1], &byte, 1) > 0) {
            }
            sqlite3_close(db);
            return held && told;
        });
        close(link[1]);
        link_ = link[0];
        char byte = 0;
        held_ = read(link_, &byte, 1) == 1 && byte == 'y';
    }
    RegistryLockHolder(const RegistryLockHolder&) = delete;
    RegistryLockHolder& operator=(const RegistryLockHolder&) = delete;
    ~RegistryLockHolder() { Release(); }

    bool Held() const { return held_; }

    // Lets the lock go (the holder rolls back); true when the holder then ended cleanly.
    bool Release() {
        if (link_ < 0)
            return false;
        close(link_);
        link_ = -1;
        return ExitedCleanly(pid_);
    }

  private:
    pid_t pid_ = -1;
    int link_ = -1;
    bool held_ = false;
};

}  // namespace testing_support
