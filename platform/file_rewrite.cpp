#include "file_rewrite.h"

#include "file_rewrite_journal.h"
#include "file_rewrite_parts.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <thread>
#include <utility>

namespace platform::files {

namespace {

using Edit = std::function<std::optional<std::string>(std::string_view)>;
using parts::Before;
using parts::Descriptor;
using parts::Kind;
using parts::LockWait;
using parts::Split;
using parts::SyncFolder;
using parts::TempFile;

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

// Fills `out` by one of the extended-attribute calls, which tell the size they need when given
// no room.
template <class Call>
bool Query(std::string& out, Call call) {
    for (;;) {
        const ssize_t size = call(nullptr, 0);
        if (size <= 0) {
            out.clear();
            return size == 0;
        }
        out.resize(static_cast<size_t>(size));
        const ssize_t got = call(out.data(), out.size());
        if (got >= 0) {
            out.resize(static_cast<size_t>(got));
            return true;
        }
        if (errno != ERANGE)
            return false;
    }
}

// The extended attributes of a file by name, its access ACL ("system.posix_acl_access") among
// them; nullopt when they cannot be read.
std::optional<std::map<std::string, std::string>> Attributes(int fd) {
    std::map<std::string, std::string> attributes;
    std::string names;
    if (!Query(names, [&](char* to, size_t size) { return flistxattr(fd, to, size); }))
        return errno == ENOTSUP ? std::optional(attributes) : std::nullopt;
    for (size_t at = 0; at < names.size(); at = names.find('\0', at) + 1) {
        const char* name = names.c_str() + at;
        std::string value;
        if (Query(value, [&](char* to, size_t size) { return fgetxattr(fd, name, to, size); })) {
            attributes.emplace(name, std::move(value));
        } else if (errno != ENODATA) {
            return std::nullopt;
        }
    }
    return attributes;
}

// Gives `to` the extended attributes of `from`, and no others (a folder's default ACL gave a new
// file one the old file may lack). Those it has already are left alone: a new file usually has
// the security label of the old, and setting one needs rights that writing the file does not.
bool CopyAttributes(int from, int to) {
    const auto wanted = Attributes(from);
    const auto present = Attributes(to);
    if (!wanted || !present)
        return false;
    for (const auto& [name, value] : *present) {
        if (!wanted->count(name) && fremovexattr(to, name.c_str()) != 0)
            return false;
    }
    for (const auto& [name, value] : *wanted) {
        const auto it = present->find(name);
        if ((it == present->end() || it->second != value) &&
            fsetxattr(to, name.c_str(), value.data(), value.size(), 0) != 0) {
            return false;
        }
    }
    return true;
}

// Gives the empty temporary file `to` the owner, group, extended attributes, ACL and mode of the
// file `from` whose status is `old`: the owner first, as a change of owner clears set-id bits and
// file capabilities; the mode last, as it must agree with the ACL just set. False when any of them
// cannot be given (the owner, for anyone but the superuser).
bool KeepMetadata(int from, int to, const struct stat& old) {
    if (!Before(Step::kOwn) || fchown(to, old.st_uid, old.st_gid) != 0)
        return false;
    if (!Before(Step::kCopyAttributes) || !CopyAttributes(from, to))
        return false;
    if (!Before(Step::kSetMode) || fchmod(to, old.st_mode & 07777) != 0)
        return false;
    // The kernel drops a set-group-id bit for a group the writer is not in rather than refuse it.
    struct stat made;
    return fstat(to, &made) == 0 && made.st_uid == old.st_uid && made.st_gid == old.st_gid &&
           (made.st_mode & 07777) == (old.st_mode & 07777);
}

// The failure of `what` on the file at `path`, with the system's reason `error`.
Failure FailureOf(const std::string& path, std::string_view what, int error) {
    Failure failure;
    failure.systemError = error;
    failure.text = path + ": " + std::string(what);
    if (error != EWOULDBLOCK)
        failure.text += std::string(": ") + strerror(error);
    return failure;
}

// Whether the kernel refused to open `path` because it would not follow the link there: with
// fs.protected_symlinks set, a link in a sticky folder that others may write is followed only by
// its owner, or when it belongs to the folder's owner.
bool LinkRefused(const std::string& path, int error) {
    struct stat link, folder;
    if (error != EACCES || lstat(path.c_str(), &link) != 0 || !S_ISLNK(link.st_mode) ||
        stat(Split(path).first.c_str(), &folder) != 0) {
        return false;
    }
    const Descriptor setting(open("/proc/sys/fs/protected_symlinks", O_RDONLY | O_CLOEXEC));
    char value = '0';
    return setting && read(setting.Get(), &value, 1) == 1 && value != '0' &&
           (folder.st_mode & S_ISVTX) != 0 && (folder.st_mode & S_IWOTH) != 0 &&
           link.st_uid != geteuid() && link.st_uid != folder.st_uid;
}

// Removes what killed writers left beside the file: copies, and journals that nobody will play
// back. Called only by a writer that holds the lock of the file in place, after playing back a
// journal: any other writer of that file with a copy on its way either waits for this lock, or
// found no file and will find one now and start again.
void RemoveLeftovers(int dir, const std::string& name, const struct stat& st) {
    for (const std::string& leftover : parts::OwnFiles(dir, name, Kind::kCopy))
        unlinkat(dir, leftover.c_str(), 0);
    parts::RemoveStaleJournals(dir, name, st);
}

class Rewriter {
  public:
    Rewriter(const std::string& path, const Edit& edit) : path_(path), edit_(edit), wait_(path) {}

    Status Run() {
        for (;;) {
            // Through the kernel first, so that its checks on links in shared folders apply, and
            // for writing as well, so that a read-only file fails here.
            Descriptor file(open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
            Attempt attempt;
            if (file)
                attempt = Replace(file.Get());
            else if (errno == ENOENT || errno == ENOTDIR)
                attempt = Create();
            else
                attempt = FailOpen("cannot open it for writing");
            if (attempt == Attempt::kDone)
                return Status::Done();
            if (attempt != Attempt::kAgain)
                return Status::WriteFailed(std::move(failure_));
            // Another writer replaced or created the file meanwhile: edit that one.
            if (wait_.Expired()) {
                errno = EWOULDBLOCK;
                Fail(parts::Locked());
                return Status::WriteFailed(std::move(failure_));
            }
        }
    }

  private:
    enum class Attempt { kDone, kFailed, kAgain, kInPlace };

    // Records why the rewrite failed: `what`, and the system's reason from errno.
    Attempt Fail(std::string_view what) {
        failure_ = FailureOf(path_, what, errno);
        return Attempt::kFailed;
    }

    // As Fail, saying so when the kernel would not follow a link.
    Attempt FailOpen(std::string_view what) {
        const int error = errno;
        const bool refused = LinkRefused(path_, error);
        errno = error;
        return Fail(refused ? "link not followed" : what);
    }

    Attempt Replace(int file) {
        if (!wait_.Lock(file, LOCK_EX))
            return Fail(errno == EWOULDBLOCK ? parts::Locked() : "cannot lock it");
        struct stat st;
        if (fstat(file, &st) != 0)
            return Fail("cannot read it");
        if (!S_ISREG(st.st_mode)) {
            errno = EINVAL;
            return Fail("not a regular file");
        }
        // The name leads to the file we locked, or another writer replaced it while we waited.
        std::unique_ptr<char, decltype(&free)> real(realpath(path_.c_str(), nullptr), &free);
        if (!real)
            return errno == ENOENT ? Attempt::kAgain : Fail("cannot find its folder");
        const auto [folder, name] = Split(real.get());
        const Descriptor dir(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        struct stat now;
        if (!dir || fstatat(dir.Get(), name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0 ||
            now.st_dev != st.st_dev || now.st_ino != st.st_ino) {
            return Attempt::kAgain;
        }
        // A writer killed part-way through an in-place rewrite left a journal to play back first.
        std::string what;
        if (const int error = parts::Restore(dir.Get(), name, file, what); error != 0) {
            errno = error;
            return Fail(what);
        }
        std::string old;
        if (fstat(file, &st) != 0 || lseek(file, 0, SEEK_SET) != 0 || !ReadAll(file, old))
            return Fail("cannot read it");
        const std::optional<std::string> next = edit_(old);
        if (!next)
            return Attempt::kDone;
        RemoveLeftovers(dir.Get(), name, st);
        // A rename would part the name from the file's other hard links.
        if (st.st_nlink == 1) {
            const Attempt replaced = ReplaceByCopy(dir.Get(), name, file, st, *next);
            if (replaced != Attempt::kInPlace)
                return replaced;
        }
        return WriteInPlace(dir.Get(), name, file, st, old, *next);
    }

    // Writes the text into a private copy that gets the file's metadata, and renames it over the
    // file; kInPlace when the metadata cannot be kept that way.
    Attempt ReplaceByCopy(int dir, const std::string& name, int file, const struct stat& st,
                          const std::string& text) {
        TempFile temp(dir, name, 0600, Kind::kCopy);
        if (!temp)
            return Fail("cannot create a temporary file beside it");
        if (!KeepMetadata(file, temp.Fd().Get(), st))
            return Attempt::kInPlace;
        if (!Before(Step::kWrite) || !WriteAll(temp.Fd().Get(), text))
            return Fail("cannot write it");
        if (!Before(Step::kSync) || fsync(temp.Fd().Get()) != 0)
            return Fail("cannot flush it");
        if (!Before(Step::kRename) || renameat(dir, temp.Name(), dir, name.c_str()) != 0)
            return Fail("cannot replace it");
        temp.Placed();
        SyncFolder(dir, temp.Fd().Get());
        return Attempt::kDone;
    }

    // Rewrites the file itself, under its lock, as a database updates a page in place: what is
    // about to be overwritten goes first into a journal beside the file, flushed with the folder;
    // then the file is overwritten from the first changed byte, cut to its new length and
    // flushed; removing the journal completes the rewrite. Killed before that, the next opener
    // plays the journal back, or finds it torn and the file not yet touched. This is the price of
    // keeping the owner, which only the superuser may give a new file, and every hard link.
    Attempt WriteInPlace(int dir, const std::string& name, int file, const struct stat& st,
                         std::string_view old, std::string_view text) {
        const auto from = static_cast<size_t>(
            std::mismatch(old.begin(), old.end(), text.begin(), text.end()).first - old.begin());
        if (from == old.size() && from == text.size())
            return Attempt::kDone;
        const auto size = static_cast<off_t>(text.size());
        // Room is reserved first, so that a full disk fails before the first byte changes.
        if (size > st.st_size && fallocate(file, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
            errno != EOPNOTSUPP) {
            return Fail("cannot write it");
        }
        parts::Journal journal;
        if (!journal.Write(dir, name, st, old, from))
            return Fail("cannot write its journal beside it");
        if (!Before(Step::kWrite) ||
            lseek(file, static_cast<off_t>(from), SEEK_SET) != static_cast<off_t>(from) ||
            !WriteAll(file, text.substr(from)) || ftruncate(file, size) != 0) {
            return Undo(dir, name, file, "cannot write it");
        }
        if (!Before(Step::kSync) || fsync(file) != 0)
            return Undo(dir, name, file, "cannot flush it");
        if (!journal.Remove(file))
            return Undo(dir, name, file, "cannot remove its journal");
        return Attempt::kDone;
    }

    // Records the failure, then plays the journal back so that the file is as it was; when that
    // fails too, the journal stays for the next opener.
    Attempt Undo(int dir, const std::string& name, int file, std::string_view what) {
        Fail(what);
        std::string ignored;
        if (parts::Restore(dir, name, file, ignored) != 0) {
            // the next opener of the file plays it back
        }
        return Attempt::kFailed;
    }

    // There is no file: create it through the kernel on the path given, so that its checks on
    // links in shared folders apply (a dangling link gets its target created, as open() would
    // do), then write it as any other. An empty file that this writer made is removed again when
    // the write fails.
    Attempt Create() {
        // Removing from a missing file is done without making one.
        if (!edit_({}))
            return Attempt::kDone;
        constexpr int kFlags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
        Descriptor file(open(path_.c_str(), kFlags | O_EXCL, 0666));
        const bool made = static_cast<bool>(file);
        if (!file && errno == EEXIST)
            file.Reset(open(path_.c_str(), kFlags, 0666));  // a link, or a file made meanwhile
        if (!file) {
            return errno == ENOENT || errno == ENOTDIR ? Fail("cannot open its folder")
                                                       : FailOpen("cannot create it");
        }
        const Attempt attempt = Replace(file.Get());
        struct stat st, now;
        if (attempt == Attempt::kFailed && made && fstat(file.Get(), &st) == 0 && st.st_size == 0 &&
            lstat(path_.c_str(), &now) == 0 && now.st_ino == st.st_ino && now.st_dev == st.st_dev) {
            unlink(path_.c_str());
        }
        return attempt;
    }

    const std::string& path_;
    const Edit& edit_;
    Failure failure_;
    LockWait wait_;
};

// Plays back the journal of a writer killed part-way, if one lies beside the file, open for
// reading as `fd` under its shared lock: the lock becomes exclusive for that, and the file is
// opened for writing. Throws ReadFailed when that cannot be done.
void MakeWhole(const std::string& path, int fd, const struct stat& st, LockWait& wait) {
    std::unique_ptr<char, decltype(&free)> real(realpath(path.c_str(), nullptr), &free);
    if (!real)
        return;
    const auto [folder, name] = Split(real.get());
    const Descriptor dir(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir || parts::Check(dir.Get(), name, st) == parts::Pending::kNone)
        return;
    // On a file system without locks readers read as they did before there were any.
    if (!wait.Lock(fd, LOCK_EX) && errno == EWOULDBLOCK)
        throw ReadFailed(FailureOf(path, parts::Locked(), errno));
    const Descriptor rw(open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    struct stat same;
    if (!rw || fstat(rw.Get(), &same) != 0 || same.st_dev != st.st_dev ||
        same.st_ino != st.st_ino) {
        throw ReadFailed(FailureOf(path,
                                   "cannot open it for writing to undo an interrupted rewrite",
                                   rw ? ESTALE : errno));
    }
    std::string what;
    if (const int error = parts::Restore(dir.Get(), name, rw.Get(), what); error != 0)
        throw ReadFailed(FailureOf(path, what, error));
}

}  // namespace

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

int MakeFolders(const std::string& folder) {
    std::filesystem::path path;
    for (const auto& part : std::filesystem::path(folder)) {
        path /= part;
        if (mkdir(path.c_str(), 0700) != 0 && errno != EEXIST)
            return errno;
    }
    struct stat st {};
    if (stat(folder.c_str(), &st) != 0)
        return errno;
    return S_ISDIR(st.st_mode) ? 0 : ENOTDIR;
}

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
    // Under the shared lock no writer is at work: the file is whole, or a killed writer's
    // journal tells how to make it whole.
    LockWait wait(path);
    if (!wait.Lock(fd.Get(), LOCK_SH) && errno == EWOULDBLOCK)
        throw ReadFailed(FailureOf(path, parts::Locked(), errno));
    MakeWhole(path, fd.Get(), st, wait);
    Contents contents;
    if (fstat(fd.Get(), &st) != 0)
        return std::nullopt;
    contents.stamp = FromStat(st);
    contents.bytes.reserve(static_cast<size_t>(st.st_size));
    if (!ReadAll(fd.Get(), contents.bytes))
        return std::nullopt;
    return contents;
}

Status Rewrite(const std::string& path, const Edit& edit) {
    return Rewriter(path, edit).Run();
}

}  // namespace platform::files
