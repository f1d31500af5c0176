// The rollback journal of an in-place rewrite: the bytes the rewrite is about to overwrite, kept
// beside the file until the new text is flushed, so that a rewrite killed part-way is undone by
// whoever opens the file next.
#pragma once

#include <sys/stat.h>

#include <optional>
#include <string>
#include <string_view>

#include "file_rewrite_parts.h"

namespace platform::files::parts {

class Journal {
  public:
    // Writes into a new journal in the folder `dir`, readable by its owner alone, the bytes of
    // `old` (the whole text of the file `name`, whose status is `st`) from `from` on, after a
    // header giving the file, its length, where the bytes go and a checksum; flushes it and the
    // folder. False, with errno set and nothing left behind, when any of that fails.
    bool Write(int dir, const std::string& name, const struct stat& st, std::string_view old,
               size_t from);

    // Removes the journal and flushes the folder, which completes the rewrite; false, with errno
    // set, when the journal cannot be removed.
    bool Remove(int file);

  private:
    int dir_ = -1;
    std::optional<TempFile> file_;
};

// What an opener of the file found beside it.
enum class Pending {
    kNone,        // no journal that must be played back
    kRestore,     // a journal of this file, which only a writer may play back
    kUnreadable,  // a journal of a writer the file trusts that this process cannot read
};

// Whether the folder `dir` holds a journal of the file `name` (status `st`) left by a writer that
// was killed part-way; the caller holds the file's lock, so that no writer is at work.
Pending Check(int dir, const std::string& name, const struct stat& st);

// Plays back a complete journal of the file `name` in the folder `dir`, open for writing as `file`
// under its exclusive lock: the old bytes are written back, the file cut to its old length and
// flushed, the journal removed. Torn journals (the file was not touched yet) are left to be
// removed as leftovers. 0, or the system's error number and in `what` the step that failed.
int Restore(int dir, const std::string& name, int file, std::string& what);

// Removes the journals of the file beside it that nobody will play back: torn ones, and those of
// a file that is no longer there.
void RemoveStaleJournals(int dir, const std::string& name, const struct stat& st);

}  // namespace platform::files::parts
