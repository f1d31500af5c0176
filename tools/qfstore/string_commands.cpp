#include "string_commands.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <filesystem>
#include <optional>

#include "command_line.h"
#include "qfstore/ids.h"
#include "qfstore/std_interface.h"
#include "qfstore/storage_string.h"
#include "value_arguments.h"

namespace qfstore_cli {

const std::string_view kStringUsage =
    "  qfstore string FILE get NAME [--path P] [--section S] [--delim D] [--raw]\n"
    "                               [--default TEXT] [--json]\n"
    "  qfstore string FILE set NAME VALUE [VALUE ...] [--path P] [--section S] [--delim D]\n"
    "  qfstore string FILE delete NAME [--path P] [--section S]\n";

namespace {

using qfstore::Error;
using qfstore::Ptr;
using qfstore::QfStorageString;
using qfstore::Variant;

namespace fs = std::filesystem;

Error FileError() {
    return Error::Runtime(qfstore::kErrFileAccess, std::string(kClientName));
}

// A file descriptor closed when it goes.
class Fd {
  public:
    explicit Fd(int fd) : fd_(fd) {}
    Fd(const Fd&) = delete;
    Fd& operator=(const Fd&) = delete;
    ~Fd() {
        if (fd_ >= 0)
            close(fd_);
    }
    int Get() const { return fd_; }

  private:
    int fd_;
};

// The file a name stands for: a symbolic link is followed, so that the rewrite replaces its
// target rather than the link.
std::string Target(const std::string& file) {
    std::error_code ec;
    if (fs::is_symlink(file, ec)) {
        const fs::path target = fs::weakly_canonical(file, ec);
        if (!ec)
            return target.string();
    }
    return file;
}

std::string FolderOf(const std::string& file) {
    const fs::path folder = fs::path(file).parent_path();
    return folder.empty() ? "." : folder.string();
}

// The file's bytes; the empty text when it does not exist; error 75 when it cannot be read.
std::string ReadText(const std::string& file) {
    const Fd fd(open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT)
            return {};
        throw FileError();
    }
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd.Get(), buffer, sizeof buffer);
        if (n == 0)
            return text;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throw FileError();
        }
        text.append(buffer, static_cast<size_t>(n));
    }
}

// Replaces the file by `text` all at once: a temporary file in the same folder, flushed, renamed
// over the old one, and the folder flushed. The old file's permissions carry over. Error 75,
// old file intact, when any step fails.
void WriteText(const std::string& file, const std::string& text) {
    const std::string folder = FolderOf(file);
    std::string temp = (fs::path(folder) / ("." + fs::path(file).filename().string() + ".XXXXXX"));
    const Fd fd(mkostemp(temp.data(), O_CLOEXEC));
    if (fd.Get() < 0)
        throw FileError();
    bool ok = true;
    struct stat old {};
    if (stat(file.c_str(), &old) == 0) {
        ok = fchmod(fd.Get(), old.st_mode & 07777) == 0;
    } else {
        const mode_t mask = umask(0);
        umask(mask);
        ok = fchmod(fd.Get(), 0666 & ~mask) == 0;
    }
    for (size_t done = 0; ok && done < text.size();) {
        const ssize_t n = write(fd.Get(), text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        ok = n > 0;
        if (ok)
            done += static_cast<size_t>(n);
    }
    ok = ok && fsync(fd.Get()) == 0 && rename(temp.c_str(), file.c_str()) == 0;
    if (!ok) {
        unlink(temp.c_str());
        throw FileError();
    }
    const Fd dir(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (dir.Get() >= 0)
        fsync(dir.Get());
}

// Holds an exclusive lock on the file's folder, so that two rewrites of it do not lose each
// other's changes; error 75 when the folder cannot be opened.
class FolderLock {
  public:
    explicit FolderLock(const std::string& file)
        : fd_(open(FolderOf(file).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        if (fd_.Get() < 0)
            throw FileError();
        while (flock(fd_.Get(), LOCK_EX) != 0) {
            if (errno != EINTR)
                throw FileError();
        }
    }

  private:
    Fd fd_;
};

constexpr std::array<Option, 2> kQualifiers{{{"--path", true}, {"--section", true}}};

// A store holding the file's text, with the Path and Section qualifiers of the options.
Ptr<QfStorageString> OpenStore(const std::string& file, const Arguments& args) {
    auto store = Library().Create<QfStorageString>(qfstore::CLSID_QfStorageString, kClientName);
    auto qualifiers = store.As<qfstore::QfstoreStdInterface>();
    qualifiers->Path(args.Get("--path", ""));
    qualifiers->Section(args.Get("--section", ""));
    store->Value(ReadText(file));
    return store;
}

template <size_t N>
constexpr std::array<Option, N + 2> WithQualifiers(const std::array<Option, N>& options) {
    std::array<Option, N + 2> all{};
    for (size_t i = 0; i < N; ++i) all[i] = options[i];
    all[N] = kQualifiers[0];
    all[N + 1] = kQualifiers[1];
    return all;
}

int Get(const std::string& file, std::span<const std::string> rest, std::ostream& out) {
    static constexpr auto kOptions = WithQualifiers(kGetOptions);
    const Arguments args = ParseArguments(rest, kOptions);
    RequirePositionals(args, 1, 1, "NAME after 'get'");
    const GetRequest get(args);
    const Variant value = get.Read(*OpenStore(file, args), args.positional[0]);
    if (!get.hasDefault && value.IsMissing())
        return kExitAbsent;
    PrintValue(out, args, value);
    return kExitDone;
}

// Runs `change` on the store read from the file and writes the file back when the text changed.
template <class Change>
void Rewrite(const std::string& given, const Arguments& args, Change&& change) {
    const std::string file = Target(given);
    const FolderLock lock(file);
    auto store = OpenStore(file, args);
    const std::string before = store->Value();
    change(*store);
    const std::string after = store->Value();
    if (after != before)
        WriteText(file, after);
}

int Set(const std::string& file, std::span<const std::string> rest, std::ostream&) {
    static constexpr auto kOptions = WithQualifiers(std::array<Option, 1>{{{"--delim", true}}});
    const Arguments args = ParseArguments(rest, kOptions);
    RequirePositionals(args, 2, SIZE_MAX, "NAME VALUE... after 'set'");
    const Variant value = ValueOf(std::span(args.positional).subspan(1));
    Rewrite(file, args, [&](QfStorageString& store) {
        store.SetValue(args.positional[0], value, DelimiterOf(args));
    });
    return kExitDone;
}

int Delete(const std::string& file, std::span<const std::string> rest, std::ostream&) {
    const Arguments args = ParseArguments(rest, kQualifiers);
    RequirePositionals(args, 1, 1, "NAME after 'delete'");
    Rewrite(file, args, [&](QfStorageString& store) { store.DeleteField(args.positional[0]); });
    return kExitDone;
}

constexpr std::array<Verb, 3> kVerbs{{
    {"get", &Get},
    {"set", &Set},
    {"delete", &Delete},
}};

}  // namespace

int RunString(std::span<const std::string> args, std::ostream& out) {
    return RunVerb(args, kVerbs, "string", "FILE", out);
}

}  // namespace qfstore_cli
