#include "file_rewrite_parts.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/random.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>

#include <algorithm>
#include <functional>
#include <memory>
#include <thread>

namespace platform::files {

namespace {

std::function<int(Step)>& Hook() {
    static std::function<int(Step)> hook;
    return hook;
}

std::chrono::milliseconds& Bound() {
    static std::chrono::milliseconds bound = std::chrono::seconds(10);
    return bound;
}

}  // namespace

void SetStepHook(std::function<int(Step)> hook) {
    Hook() = std::move(hook);
}

void SetLockWait(std::chrono::milliseconds bound) {
    Bound() = bound;
}

}  // namespace platform::files

namespace platform::files::parts {

namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kRandomLength = 12;
constexpr size_t kOwnExtra = 1 + 1 + kRandomLength + 4;
constexpr std::string_view kAlphabet =
    "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";

std::string_view Ending(Kind kind) {
    return kind == Kind::kCopy ? ".tmp" : ".jnl";
}

std::string Stem(const std::string& name) {
    constexpr size_t kRoom = NAME_MAX - kOwnExtra;
    if (name.size() <= kRoom)
        return name;
    uint64_t hash = 14695981039346656037ull;  // FNV-1a
    for (const char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211ull;
    char hex[17];
    snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
    return name.substr(0, kRoom - 17) + "~" + hex;
}

bool IsOwn(std::string_view entry, const std::string& stem, Kind kind) {
    if (entry.size() != stem.size() + kOwnExtra || entry[0] != '.' ||
        entry.substr(1, stem.size()) != stem || entry[stem.size() + 1] != '.' ||
        entry.substr(entry.size() - 4) != Ending(kind)) {
        return false;
    }
    const std::string_view random = entry.substr(stem.size() + 2, kRandomLength);
    return random.find_first_not_of(kAlphabet) == std::string_view::npos;
}

}  // namespace

void Descriptor::Reset(int fd) {
    if (const int old = std::exchange(fd_, fd); old >= 0)
        close(old);
}

bool Before(Step step) {
    const int error = Hook() ? Hook()(step) : 0;
    errno = error;
    return error == 0;
}

std::pair<std::string, std::string> Split(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return {".", path};
    return {slash == 0 ? "/" : path.substr(0, slash), path.substr(slash + 1)};
}

std::vector<std::string> OwnFiles(int dir, const std::string& name, Kind kind) {
    std::vector<std::string> found;
    Descriptor listing(openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!listing)
        return found;  // a folder the user may write but not list
    struct CloseDir {
        void operator()(DIR* entries) const { closedir(entries); }
    };
    const std::unique_ptr<DIR, CloseDir> entries(fdopendir(listing.Get()));
    if (!entries)
        return found;
    listing.Release();
    const std::string stem = Stem(name);
    while (const dirent* entry = readdir(entries.get())) {
        if (IsOwn(entry->d_name, stem, kind))
            found.emplace_back(entry->d_name);
    }
    return found;
}

TempFile::TempFile(int dir, const std::string& name, mode_t mode, Kind kind) : dir_(dir) {
    const std::string stem = Stem(name);
    for (int attempt = 0; attempt < 16; ++attempt) {
        unsigned char random[kRandomLength];
        if (getrandom(random, sizeof random, 0) != static_cast<ssize_t>(sizeof random))
            return;
        name_ = "." + stem + ".";
        for (const unsigned char r : random) name_ += kAlphabet[r % kAlphabet.size()];
        name_ += Ending(kind);
        fd_.Reset(
            openat(dir, name_.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, mode));
        if (fd_ || errno != EEXIST)
            break;
    }
    created_ = static_cast<bool>(fd_);
}

TempFile::~TempFile() {
    if (created_)
        unlinkat(dir_, name_.c_str(), 0);
}

bool SyncFolder(int dir, int file) {
    Descriptor listing(openat(dir, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!Before(Step::kSyncFolder))
        return false;
    return (listing ? fsync(listing.Get()) : syncfs(file)) == 0;
}

std::chrono::milliseconds LockWaitBound() {
    return Bound();
}

std::string Locked() {
    const auto seconds = std::chrono::duration<double>(Bound()).count();
    char text[64];
    snprintf(text, sizeof text, "locked by another process for %g s", seconds);
    return text;
}

LockWait::LockWait(std::string path)
    : path_(std::move(path)), seen_(StampOf(path_)), since_(Clock::now()) {}

bool LockWait::Expired() {
    const Clock::time_point now = Clock::now();
    if (std::optional<Stamp> stamp = StampOf(path_); stamp != seen_) {
        seen_ = stamp;
        since_ = now;
    }
    return now - since_ >= LockWaitBound();
}

bool LockWait::Lock(int fd, int how) {
    auto pause = std::chrono::milliseconds(1);
    while (flock(fd, how | LOCK_NB) != 0) {
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return false;
        if (Expired()) {
            errno = EWOULDBLOCK;
            return false;
        }
        std::this_thread::sleep_for(pause);
        pause = std::min(pause * 2, std::chrono::milliseconds(16));
    }
    return true;
}

}  // namespace platform::files::parts
