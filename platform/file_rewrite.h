// Whole-file reads and locked, atomic rewrites of small text files (settings files and the like),
// and the folders they go in.
#pragma once

#include <sys/types.h>
#include <chrono>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "status.h"

namespace platform::files {

// What identifies one state of a file on disk: its inode, size and change times.
struct Stamp {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    timespec modified{};
    timespec changed{};

    bool operator==(const Stamp& other) const;
};

// The bytes of a regular file and the stamp of the inode they were read from.
struct Contents {
    std::string bytes;
    Stamp stamp;
};

// The stamp of the regular file at `path`; nullopt when there is none.
std::optional<Stamp> StampOf(const std::string& path);

// The file's bytes, read under its shared lock once a rewrite of it that was killed part-way has
// been undone; nullopt when it is missing, not a regular file or unreadable. Throws ReadFailed
// when the lock stays taken (as a writer waits for it) or an interrupted rewrite cannot be undone.
std::optional<Contents> ReadContents(const std::string& path);

// Reads from `fd` to its end, appending to `out`; false, with errno set, when a read fails.
bool ReadAll(int fd, std::string& out);

// Writes all of `data` to `fd`; false, with errno set, when a write fails.
bool WriteAll(int fd, std::string_view data);

// Creates the missing folders of `folder`, each readable by its owner alone; 0, or the system's
// error number (ENOTDIR when `folder` is there but no folder).
int MakeFolders(const std::string& folder);

// Replaces the file by `edit(old bytes)` (old bytes empty for a missing file); `edit` returns
// nullopt to leave the file alone, and may be called again when another writer replaced the file
// meanwhile. The file is opened through the kernel, so that its checks on symbolic links apply; a
// link is kept and its target rewritten, and a missing file is created through the link as open()
// would. Writers hold the file's lock, waiting while its holder makes progress and giving up when
// the file stood still for 10 s. The new text goes into a private file beside the old one that
// gets the old file's owner, group, mode, ACL and extended attributes before its first byte; it
// is flushed and renamed over the old file. A file whose owner or group this process cannot give
// to a new file, or that has several hard links, is rewritten in place instead, behind a rollback
// journal that the next opener plays back if the writer is killed. When the rewrite cannot be
// carried out the status is kWriteFailed with the system's error number and a text naming the
// file and the step that failed, and the old file is unchanged.
Status Rewrite(const std::string& path,
               const std::function<std::optional<std::string>(std::string_view)>& edit);

// The steps of a rewrite that a test may watch or make fail.
enum class Step {
    kOwn,             // give the temporary file the old file's owner and group
    kCopyAttributes,  // its extended attributes, ACL among them
    kSetMode,         // its mode
    kWrite,           // write the new text (into the temporary file, or in place)
    kSync,            // flush it
    kRename,          // rename the temporary file over the old one
    kSyncFolder,      // flush the folder
    kJournal,         // write the journal of an in-place rewrite
};

// Tests only: `hook` runs just before each step of every rewrite in this process; a non-zero
// result makes the step fail with that error number. An empty function removes the hook.
void SetStepHook(std::function<int(Step)> hook);

// Tests only: `bound` replaces the 10 s that the holder of a file's lock may go without changing
// the file before a waiting reader or writer gives up.
void SetLockWait(std::chrono::milliseconds bound);

}  // namespace platform::files
