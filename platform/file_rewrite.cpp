#include "file_rewrite.h"

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

using Clock = std::chrono::steady_clock;
using Edit = std::function<std::optional<std::string>(std::string_view)>;

// How long a writer waits for another to let go of the file.
constexpr std::chrono::seconds kLockWait{10};
constexpr const char* kLocked = "locked by another process for 10 s";

class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor() {
        if (fd_ >= 0)
            close(fd_);
    }
    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    int Release() { return std::exchange(fd_, -1); }
    void Reset(int fd) {
        if (const int old = std::exchange(fd_, fd); old >= 0)
            close(old);
    }

  private:
    int fd_;
};

std::function<int(Step)>& Hook() {
    static std::function<int(Step)> hook;
    return hook;
}

// Runs the test hook before `step`: false, with errno set, when it makes the step fail.
bool Before(Step step) {
    const int error = Hook() ? Hook()(step) : 0;
    errno = error;
    return error == 0;
}

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

// The folder part ("." when there is none) and the name part of a path.
std::pair<std::string, std::string> Split(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

// Temporary files are named "." + stem + "." + 12 random letters or digits + ".tmp", where the
// stem is the file's name, or for a name too long to leave room for the rest, its start and a
// hash of the whole. The pattern tells a killed writer's leftover from any other file.
constexpr size_t kRandomLength = 12;
constexpr size_t kTempExtra = 1 + 1 + kRandomLength + 4;
constexpr std::string_view kAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

std::string TempStem(const std::string& name) {
    constexpr size_t kRoom = NAME_MAX - kTempExtra;
    if (name.size() <= kRoom)
        return name;
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char hex[17];
    snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return name.substr(0, kRoom - 17) + "~" + hex;
}

bool IsTempOf(std::string_view entry, const std::string& stem) {
    if (entry.size() != stem.size() + kTempExtra || entry[0] != '.' ||
        entry.substr(1, stem.size()) != stem || entry[stem.size() + 1] != '.' ||
        entry.substr(entry.size() - 4) != ".tmp") {
        return false;
    }
    const std::string_view random = entry.substr(stem.size() + 2, kRandomLength);
    return random.find_first_not_of(kAlphabet) == std::string_view::npos;
}

// A temporary file that this write created, in the folder `dir`: created exclusively under an
// unpredictable name, and removed again unless it was renamed into place.
class TempFile {
  public:
    TempFile(int dir, const std::string& name, mode_t mode) : dir_(dir) {
        const std::string stem = TempStem(name);
        for (int attempt = 0; attempt < 16; ++attempt) {
            unsigned char random[kRandomLength];
            if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
                return;
            name_ = "." + stem + ".";
            for (const unsigned char r : random) name_ += kAlphabet[r % kAlphabet.size()];
            name_ += ".tmp";
            fd_.Reset(openat(dir, name_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY,
                             mode));
            if (fd_ || errno != EEXIST)
                break;
        }
        created_ = static_cast<bool>(fd_);
    }
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (created_)
            unlinkat(dir_, name_.c_str(), 0);
    }

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

// Removes temporary files of `name` left by killed writers. Called only by a writer that holds the
// lock of the file in place: any other writer of that file with a copy on its way either waits for
// this lock, or found no file and will find one now and start again.
void RemoveLeftovers(int dir, const std::string& name) {
    Descriptor listing(openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing)
        return;  // a folder the user may write but not list keeps them
    struct CloseDir {
        void operator()(DIR* entries) const { closedir(entries); }
    };
    const std::unique_ptr<DIR, CloseDir> entries(fdopendir(listing.Get()));
    if (!entries)
        return;
    listing.Release();
    const std::string stem = TempStem(name);
    std::vector<std::string> leftovers;
    while (const dirent* entry = readdir(entries.get())) {
        if (IsTempOf(entry->d_name, stem))
            leftovers.emplace_back(entry->d_name);
    }
    for (const std::string& leftover : leftovers) unlinkat(dir, leftover.c_str(), 0);
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

// Flushes the folder, so that a rename in it outlives a crash. A folder the user may write but not
// list cannot be opened to be flushed; the file system of `file` is flushed whole instead.
void SyncFolder(int dir, int file) {
    Descriptor listing(openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (Before(Step::kSyncFolder))
        listing ? fsync(listing.Get()) : syncfs(file);
}

// Takes the file's exclusive lock, trying until `deadline`; false with errno EWOULDBLOCK when
// another holds it that long. The lock is the file's own, so only those who may open the file can
// hold it (not every reader of the folder); as a reader can, a writer never waits for good.
bool Lock(int fd, Clock::time_point deadline) {
    auto pause = std::chrono::milliseconds(1);
    while (flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return false;
        if (Clock::now() >= deadline) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
    return true;
}

class Rewriter {
  public:
    Rewriter(const std::string& path, const Edit& edit) : path_(path), edit_(edit) {}

    Status Run() {
        for (;;) {
            // Through the kernel first, so that its checks on links in shared folders apply, and
            // for writing as well, so that a read-only file fails here.
            Descriptor file(open(path_.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
            Attempt attempt;
            if (file)
                attempt = Replace(file);
            else if (errno == ENOENT || errno == ENOTDIR)
                attempt = Create();
            else
                attempt = Fail("cannot open it for writing");
            if (attempt == Attempt::kDone)
                return Status::Done();
            if (attempt != Attempt::kAgain)
                return Status::WriteFailed(std::move(failure_));
            // Another writer replaced or created the file meanwhile: edit that one.
            if (Clock::now() >= deadline_) {
                errno = EWOULDBLOCK;
                Fail(kLocked);
                return Status::WriteFailed(std::move(failure_));
            }
        }
    }

  private:
    enum class Attempt { kDone, kFailed, kAgain, kInPlace };

    // Records why the rewrite failed: `what`, and the system's reason from errno.
    Attempt Fail(const char* what) {
        const int error = errno;
        failure_.systemError = error;
        failure_.text = path_ + ": " + what;
        if (error != EWOULDBLOCK)
            failure_.text += std::string(": ") + strerror(error);
        return Attempt::kFailed;
    }

    Attempt Replace(const Descriptor& file) {
        if (!Lock(file.Get(), deadline_)) {
            return Fail(errno == EWOULDBLOCK ? kLocked : "cannot lock it");
        }
        struct stat st;
        if (fstat(file.Get(), &st) != 0)
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
        std::string old;
        if (!ReadAll(file.Get(), old))
            return Fail("cannot read it");
        const std::optional<std::string> next = edit_(old);
        if (!next)
            return Attempt::kDone;
        RemoveLeftovers(dir.Get(), name);
        // A rename would part the name from the file's other hard links.
        if (st.st_nlink == 1) {
            const Attempt replaced = ReplaceByCopy(dir.Get(), name, file.Get(), st, *next);
            if (replaced != Attempt::kInPlace)
                return replaced;
        }
        return WriteInPlace(file.Get(), st, *next);
    }

    // Writes the text into a private copy that gets the file's metadata, and renames it over the
    // file; kInPlace when the metadata cannot be kept that way.
    Attempt ReplaceByCopy(int dir, const std::string& name, int file, const struct stat& st,
                          const std::string& text) {
        TempFile temp(dir, name, 0600);
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

    // Rewrites the file itself, under its lock. This is not atomic: a reader may see part of the
    // new text, and a writer killed part-way leaves a mix of old and new. It is the price of
    // keeping the owner, which only the superuser may give a new file, and every hard link. Room
    // is reserved first, so that a full disk fails before the first byte changes.
    Attempt WriteInPlace(int file, const struct stat& st, const std::string& text) {
        const auto size = static_cast<off_t>(text.size());
        if (size > st.st_size && fallocate(file, FALLOC_FL_KEEP_SIZE, 0, size) != 0 &&
            errno != EOPNOTSUPP) {
            return Fail("cannot write it");
        }
        if (!Before(Step::kWrite) || lseek(file, 0, SEEK_SET) != 0 || !WriteAll(file, text) ||
            ftruncate(file, size) != 0) {
            return Fail("cannot write it");
        }
        if (!Before(Step::kSync) || fsync(file) != 0)
            return Fail("cannot flush it");
        return Attempt::kDone;
    }

    // There is no file: create it, where a dangling link points if the path is one, as open()
    // would. A new file gets the mode and ACL that open() would give it.
    Attempt Create() {
        std::string target = path_;
        for (int hops = 0;; ++hops) {
            struct stat st;
            if (lstat(target.c_str(), &st) != 0) {
                if (errno == ENOENT || errno == ENOTDIR)
                    break;
                return Fail("cannot open it for writing");
            }
            if (!S_ISLNK(st.st_mode))
                return Attempt::kAgain;  // created meanwhile
            char link[PATH_MAX];
            const ssize_t length = readlink(target.c_str(), link, sizeof link);
            if (length < 0 || hops == 40) {
                errno = length < 0 ? errno : ELOOP;
                return Fail("cannot follow its link");
            }
            const std::string to(link, static_cast<size_t>(length));
            target = to[0] == '/' ? to : Split(target).first + "/" + to;
        }
        const auto [folder, name] = Split(target);
        if (name.empty() || name == "." || name == "..") {
            errno = EISDIR;
            return Fail("cannot open it for writing");
        }
        const Descriptor dir(open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
        if (!dir) {
            // Without a folder there is no file, and removing from a missing file is no failure.
            const int error = errno;
            if ((error == ENOENT || error == ENOTDIR) && !edit_({}))
                return Attempt::kDone;
            errno = error;
            return Fail("cannot open its folder");
        }
        const std::optional<std::string> next = edit_({});
        if (!next)
            return Attempt::kDone;
        TempFile temp(dir.Get(), name, 0666);
        if (!temp)
            return Fail("cannot create a temporary file beside it");
        if (!Before(Step::kWrite) || !WriteAll(temp.Fd().Get(), *next))
            return Fail("cannot write it");
        if (!Before(Step::kSync) || fsync(temp.Fd().Get()) != 0)
            return Fail("cannot flush it");
        // Without replacing a file another writer created meanwhile; a file system that cannot
        // rename so gets a hard link made, which fails in that case too.
        bool placed = Before(Step::kRename) && renameat2(dir.Get(), temp.Name(), dir.Get(),
                                                         name.c_str(), RENAME_NOREPLACE) == 0;
        if (placed) {
            temp.Placed();
        } else if (errno == EINVAL) {
            placed = linkat(dir.Get(), temp.Name(), dir.Get(), name.c_str(), 0) == 0;
        }
        if (!placed) {
            // The file appeared, or a writer that found it removed our copy as a leftover.
            if (errno == EEXIST || errno == ENOENT)
                return Attempt::kAgain;
            return Fail("cannot create it");
        }
        SyncFolder(dir.Get(), temp.Fd().Get());
        return Attempt::kDone;
    }

    const std::string& path_;
    const Edit& edit_;
    Failure failure_;
    const Clock::time_point deadline_ = Clock::now() + kLockWait;
};

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
    Contents contents;
    contents.stamp = FromStat(st);
    contents.bytes.reserve(static_cast<size_t>(st.st_size));
    if (!ReadAll(fd.Get(), contents.bytes))
        return std::nullopt;
    return contents;
}

Status Rewrite(const std::string& path, const Edit& edit) {
    return Rewriter(path, edit).Run();
}

void SetStepHook(std::function<int(Step)> hook) {
    Hook() = std::move(hook);
}

}  // namespace platform::files
