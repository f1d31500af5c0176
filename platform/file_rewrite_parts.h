// What the rewrite of a file and its rollback journal share: descriptors, the names of the files a
// rewrite makes beside the file, the test hook, folder flushes and the wait for the file's lock.
#pragma once

#include <sys/stat.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "file_rewrite.h"

namespace platform::files::parts {

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() { Reset(-1); }
    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release() { return std::exchange(fd_, -1); }
    void Reset(int fd);

  private:
    int fd_;
};

// Runs the test hook before `step`: false, with errno set, when it makes the step fail.
bool Before(Step step);

// The folder part ("." when there is none) and the name part of a path.
std::pair<std::string, std::string> Split(const std::string& path);

// The files a rewrite of the file `name` makes beside it are named "." + stem + "." + 12 random
// letters or digits + ".tmp" for a copy or ".jnl" for a journal, where the stem is the file's
// name, or for a name too long to leave room for the rest, its start and a hash of the whole. The
// pattern tells a killed writer's leftover from any other file.
enum class Kind { kCopy, kJournal };

// The names of the folder `dir` that are a rewrite's files of `name` of that kind; none when the
// folder cannot be listed.
std::vector<std::string> OwnFiles(int dir, const std::string& name, Kind kind);

// A file that this rewrite created in the folder `dir`: created exclusively under an
// unpredictable name, and removed again unless it was renamed into place.
class TempFile {
  public:
    TempFile(int dir, const std::string& name, mode_t mode, Kind kind);
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile();

    explicit operator bool() const { return created_; }
    Descriptor& Fd() { return fd_; }
    const char* Name() const { return name_.c_str(); }
    // The file now stands under another name (or is gone): nothing left to remove.
    void Placed() { created_ = false; }

  private:
    int dir_;
    std::string name_;
    Descriptor fd_;
    bool created_ = false;
};

// Flushes the folder, so that a rename or removal in it outlives a crash. A folder the user may
// write but not list cannot be opened to be flushed; the file system of `file` is flushed whole
// instead. False, with errno set, when the flush fails.
bool SyncFolder(int dir, int file);

// How long a lock's holder may go without changing the file before a waiter gives up: 10 s, or
// what a test set (SetLockWait).
std::chrono::milliseconds LockWaitBound();

// Why a waiter gave up: "locked by another process for 10 s".
std::string Locked();

// The wait of one reader or writer for the file at `path`: it goes on while whoever holds the
// file's lock makes progress (the file at the path changes: a write completed, the file was
// replaced) and ends once the file has stood still for LockWaitBound().
class LockWait {
  public:
    explicit LockWait(std::string path);

    // Takes the lock `how` (LOCK_SH or LOCK_EX) of `fd`; false with errno EWOULDBLOCK when the
    // wait ended, or the reason flock gave.
    bool Lock(int fd, int how);

    // Whether the file has stood still for LockWaitBound() since the wait began or last saw it
    // change.
    bool Expired();

  private:
    std::string path_;
    std::optional<Stamp> seen_;
    std::chrono::steady_clock::time_point since_;
};

}  // namespace platform::files::parts
