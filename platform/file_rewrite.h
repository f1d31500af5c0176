// Whole-file reads and locked, atomic rewrites of small text files (settings files and the like).
#pragma once

#include <sys/types.h>
#include <ctime>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

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

// The file's bytes; nullopt when it is missing, not a regular file or unreadable.
std::optional<Contents> ReadContents(const std::string& path);

// Replaces the file by `edit(old bytes)` (old bytes empty for a missing file) while holding an
// exclusive lock on its folder; `edit` returns nullopt to leave the file alone. The new file is
// written beside the old one, flushed and renamed over it, keeping its permission bits. Returns
// false when this cannot be carried out, with errno telling the system's reason; the old file is
// then unchanged.
bool Rewrite(const std::string& path,
             const std::function<std::optional<std::string>(std::string_view)>& edit);

}  // namespace platform::files
