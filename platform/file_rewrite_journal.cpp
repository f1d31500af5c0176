#include "file_rewrite_journal.h"

#include <fcntl.h>
#include <unistd.h>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace platform::files::parts {

namespace {

// A journal is this header followed by the old bytes from `offset` to `length`.
struct Header {
    char magic[16];
    uint64_t device;
    uint64_t inode;
    uint64_t length;    // of the file before the rewrite
    uint64_t offset;    // of the first byte the rewrite changes
    uint64_t checksum;  // FNV-1a over the four fields above and the old bytes
};
static_assert(sizeof(Header) == 56);
constexpr char kMagic[16] = {'q', 'f', 's', 't', 'o', 'r', 'e', ' ',
                             'j', 'o', 'u', 'r', 'n', 'a', 'l', '\n'};

uint64_t Checksum(const Header& header, std::string_view data) {
    uint64_t hash = 14695981039346656037ull;
    const auto mix = [&hash](const char* bytes, size_t size) {
        for (size_t i = 0; i < size; ++i)
            hash = (hash ^ static_cast<unsigned char>(bytes[i])) * 1099511628211ull;
    };
    mix(reinterpret_cast<const char*>(&header.device), 4 * sizeof(uint64_t));
    mix(data.data(), data.size());
    return hash;
}

enum class State { kUntrusted, kUnreadable, kTorn, kOtherFile, kComplete };

struct Found {
    State state = State::kUntrusted;
    int error = 0;  // why it could not be read
    Header header{};
    std::string data;
};

// Only a journal that someone allowed to write the file could have made is played back: one of
// its owner, of this process's user, of the superuser, or of the file's group when that group may
// write the file (a writer gives its journal the file's group). Anyone may plant files in a shared
// folder.
bool Trusted(const struct stat& journal, const struct stat& file) {
    return journal.st_uid == file.st_uid || journal.st_uid == geteuid() || journal.st_uid == 0 ||
           (journal.st_gid == file.st_gid && (file.st_mode & S_IWGRP) != 0);
}

// Reads the journal `entry` of the file whose status is `st`; its old bytes only when `whole`.
Found Inspect(int dir, const std::string& entry, const struct stat& st, bool whole) {
    Found found;
    struct stat js;
    if (fstatat(dir, entry.c_str(), &js, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(js.st_mode) ||
        js.st_nlink != 1 || !Trusted(js, st)) {
        return found;
    }
    const Descriptor fd(
        openat(dir, entry.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd) {
        found.error = errno;
        found.state = errno == ENOENT ? State::kUntrusted : State::kUnreadable;
        return found;
    }
    found.state = State::kTorn;
    Header& h = found.header;
    if (pread(fd.Get(), &h, sizeof h, 0) != static_cast<ssize_t>(sizeof h) ||
        memcmp(h.magic, kMagic, sizeof kMagic) != 0) {
        return found;
    }
    if (h.device != static_cast<uint64_t>(st.st_dev) || h.inode != st.st_ino) {
        found.state = State::kOtherFile;
        return found;
    }
    if (h.offset > h.length || static_cast<uint64_t>(js.st_size) != sizeof h + h.length - h.offset)
        return found;
    if (whole && (lseek(fd.Get(), sizeof h, SEEK_SET) != static_cast<off_t>(sizeof h) ||
                  !ReadAll(fd.Get(), found.data) || found.data.size() != h.length - h.offset ||
                  Checksum(h, found.data) != h.checksum)) {
        return found;
    }
    found.state = State::kComplete;
    return found;
}

}  // namespace

bool Journal::Write(int dir, const std::string& name, const struct stat& st, std::string_view old,
                    size_t from) {
    dir_ = dir;
    file_.emplace(dir, name, 0600, Kind::kJournal);
    if (!*file_)
        return false;
    const int fd = file_->Fd().Get();
    Header header{};
    memcpy(header.magic, kMagic, sizeof kMagic);
    header.device = static_cast<uint64_t>(st.st_dev);
    header.inode = st.st_ino;
    header.length = old.size();
    header.offset = from;
    const std::string_view data = old.substr(from);
    header.checksum = Checksum(header, data);
    // The file's group, so that its other writers trust the journal; a writer outside the group
    // keeps its own, which the file's owner and this user trust.
    if (fchown(fd, static_cast<uid_t>(-1), st.st_gid) != 0) {
        // kept the writer's own group
    }
    const bool written = Before(Step::kJournal) &&
                         WriteAll(fd, {reinterpret_cast<const char*>(&header), sizeof header}) &&
                         WriteAll(fd, data) && fsync(fd) == 0 && SyncFolder(dir, fd);
    if (!written) {
        const int error = errno;
        file_.reset();
        errno = error;
        return false;
    }
    // From here on the journal outlives a failure: only playing it back or Remove() ends it.
    file_->Placed();
    return true;
}

bool Journal::Remove(int file) {
    if (!file_ || unlinkat(dir_, file_->Name(), 0) != 0)
        return false;
    SyncFolder(dir_, file);
    return true;
}

Pending Check(int dir, const std::string& name, const struct stat& st) {
    Pending pending = Pending::kNone;
    for (const std::string& entry : OwnFiles(dir, name, Kind::kJournal)) {
        const Found found = Inspect(dir, entry, st, false);
        if (found.state == State::kComplete)
            return Pending::kRestore;
        if (found.state == State::kUnreadable)
            pending = Pending::kUnreadable;
    }
    return pending;
}

int Restore(int dir, const std::string& name, int file, std::string& what) {
    struct stat st;
    if (fstat(file, &st) != 0) {
        what = "cannot read it";
        return errno;
    }
    for (const std::string& entry : OwnFiles(dir, name, Kind::kJournal)) {
        const Found found = Inspect(dir, entry, st, true);
        if (found.state == State::kUnreadable) {
            what = "cannot read the journal " + entry + " of an interrupted rewrite";
            return found.error;
        }
        if (found.state != State::kComplete)
            continue;
        const Header& h = found.header;
        if (lseek(file, static_cast<off_t>(h.offset), SEEK_SET) != static_cast<off_t>(h.offset) ||
            !WriteAll(file, found.data) || ftruncate(file, static_cast<off_t>(h.length)) != 0 ||
            fsync(file) != 0) {
            what = "cannot restore it from the journal " + entry + " of an interrupted rewrite";
            return errno;
        }
        unlinkat(dir, entry.c_str(), 0);
        SyncFolder(dir, file);
    }
    return 0;
}

void RemoveStaleJournals(int dir, const std::string& name, const struct stat& st) {
    for (const std::string& entry : OwnFiles(dir, name, Kind::kJournal)) {
        const State state = Inspect(dir, entry, st, true).state;
        if (state == State::kTorn || state == State::kOtherFile)
            unlinkat(dir, entry.c_str(), 0);
    }
}

}  // namespace platform::files::parts
