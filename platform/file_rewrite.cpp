#include "file_rewrite.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdlib>

#include <memory>

namespace platform::files {

namespace {

class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes now, reporting whether the close succeeded (a late write error shows here).
    bool Close() {
        const int fd = fd_;
        fd_ = -1;
        return close(fd) == 0;
    }

  private:
    int fd_;
};

bool SameTime(const timespec& a, const timespec& b) {
    return a.tv_sec == b.tv_sec && a.tv_nsec == b.tv_nsec;
}

Stamp FromStat(const struct stat& st) {
    Stamp stamp;
    stamp.device = st.st_dev;
    stamp.inode = st.st_ino;
    stamp.size = st.st_size;
    stamp.modified = st.st_mtim;
    stamp.changed = st.st_ctim;
    return stamp;
}

bool ReadAll(int fd, std::string& out) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n > 0) {
            out.append(buffer, static_cast<size_t>(n));
        } else if (n == 0) {
            return true;
        } else if (errno != EINTR) {
            return false;
        }
    }
}

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t n = write(fd, data.data(), data.size());
        if (n > 0) {
            data.remove_prefix(static_cast<size_t>(n));
        } else if (n < 0 && errno != EINTR) {
            return false;
        }
    }
    return true;
}

// Renames rewrite the link, so a path through a symbolic link is followed to the real file.
std::string RealPath(const std::string& path) {
    std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), &free);
    return real ? std::string(real.get()) : path;
}

// Opens the folder and takes its exclusive lock: the folder's inode outlives every rename of the
// file, so all writers of the file (and of its neighbours) queue on it.
// Returns the descriptor, or -1 with errno set.
int LockFolder(const std::string& folder) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    while (flock(fd, LOCK_EX) != 0) {
        if (errno != EINTR) {
            const int error = errno;
            close(fd);
            errno = error;
            return -1;
        }
    }
    return fd;
}

}  // namespace

bool Stamp::operator==(const Stamp& other) const {
    return device == other.device && inode == other.inode && size == other.size &&
           SameTime(modified, other.modified) && SameTime(changed, other.changed);
}

std::optional<Stamp> StampOf(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    return FromStat(st);
}

std::optional<Contents> ReadContents(const std::string& path) {
    // Non-blocking, so that a pipe standing at the path cannot hold the reader.
    Descriptor fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd)
        return std::nullopt;
    struct stat st;
    if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    Contents contents;
    contents.stamp = FromStat(st);
    contents.bytes.reserve(static_cast<size_t>(st.st_size));
    if (!ReadAll(fd.Get(), contents.bytes))
        return std::nullopt;
    return contents;
}

bool Rewrite(const std::string& path,
             const std::function<std::optional<std::string>(std::string_view)>& edit) {
    const std::string real = RealPath(path);
    const size_t slash = real.rfind('/');
    const std::string folder =
        slash == std::string::npos ? "." : (slash == 0 ? "/" : real.substr(0, slash));
    const std::string name = slash == std::string::npos ? real : real.substr(slash + 1);
    if (name.empty()) {
        errno = EISDIR;
        return false;
    }

    Descriptor dir(LockFolder(folder));
    if (!dir) {
        // Without a folder there is no file, and removing from a missing file is no failure.
        const bool noFolder = errno == ENOENT || errno == ENOTDIR;
        return noFolder && !edit({});
    }

    // Opened for writing as well, so that a read-only file fails here and is not replaced.
    std::string old;
    struct stat st {};
    Descriptor file(openat(dir.Get(), name.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    const bool exists = static_cast<bool>(file);
    if (!exists && errno != ENOENT)
        return false;
    if (exists && fstat(file.Get(), &st) != 0)
        return false;
    if (exists && !S_ISREG(st.st_mode)) {
        errno = EINVAL;  // not a regular file
        return false;
    }
    if (exists && !ReadAll(file.Get(), old))
        return false;
    const std::optional<std::string> next = edit(old);
    if (!next)
        return true;

    // One name per file is enough, as every writer holds the folder's lock; a copy left by a
    // writer that died is simply replaced.
    const std::string temp = "." + name.substr(0, NAME_MAX - 16) + ".tmp";
    unlinkat(dir.Get(), temp.c_str(), 0);
    Descriptor out(
        openat(dir.Get(), temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666));
    if (!out)
        return false;
    bool ok = WriteAll(out.Get(), *next);
    if (ok && exists) {
        // Owner first: changing it may clear the set-id bits that the mode then restores.
        if (st.st_uid != geteuid() || st.st_gid != getegid()) {
            [[maybe_unused]] const int ignored = fchown(out.Get(), st.st_uid, st.st_gid);
        }
        ok = fchmod(out.Get(), st.st_mode & 07777) == 0;
    }
    ok = ok && fsync(out.Get()) == 0;
    ok = out.Close() && ok;
    ok = ok && renameat(dir.Get(), temp.c_str(), dir.Get(), name.c_str()) == 0;
    if (!ok) {
        const int reason = errno;
        unlinkat(dir.Get(), temp.c_str(), 0);
        errno = reason;
        return false;
    }
    // The new file is in place by now; a failing folder flush cannot undo that, so it is not
    // reported as a failed write.
    fsync(dir.Get());
    return true;
}

}  // namespace platform::files
