// The rewrite of a file: who may read it at every step, what it keeps, links, its lock and its
// temporary files. Cases with several users run as root and switch to unnamed user ids, which is
// all the kernel's permission checks need.
#include "platform/file_rewrite.h"

#include <acl/libacl.h>
#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/acl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>

#include <chrono>
#include <filesystem>
#include <future>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "platform/profile.h"
#include "platform/profile_text.h"
#include "status_text.h"
#include "temp_dir.h"

using namespace testing_support;
using platform::files::Rewrite;
using platform::files::SetStepHook;
using platform::files::Step;
namespace fs = std::filesystem;

namespace {

constexpr uid_t kOwner = 64010, kMember = 64011, kStranger = 64012;
constexpr gid_t kGroup = 64020;  // all three are in it

// In the order of the enumeration, so that a step's number finds its name.
const std::vector<std::pair<Step, std::string>> kSteps = {
    {Step::kOwn, "own"},          {Step::kCopyAttributes, "attributes"},
    {Step::kSetMode, "mode"},     {Step::kWrite, "write"},
    {Step::kSync, "sync"},        {Step::kRename, "rename"},
    {Step::kSyncFolder, "folder"}};

auto Text(const std::string& text) {
    return [text](std::string_view) { return std::optional(text); };
}

// The names in the folder other than `known`, sorted.
std::vector<std::string> Others(const fs::path& folder, const std::vector<std::string>& known) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const std::string name = entry.path().filename();
        if (std::find(known.begin(), known.end(), name) == known.end())
            names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

struct stat StatOf(const std::string& path) {
    struct stat st {};
    lstat(path.c_str(), &st);
    return st;
}

// Runs `body` in a child process as user `uid` (group `uid`, also in kGroup).
std::string AsUser(uid_t uid, const std::function<std::string()>& body) {
    return InChild(
        [uid] {
            const gid_t groups[] = {kGroup};
            return setgroups(1, groups) == 0 && setresgid(uid, uid, uid) == 0 &&
                   setresuid(uid, uid, uid) == 0;
        },
        body);
}

std::string AclText(const std::string& path) {
    const acl_t acl = acl_get_file(path.c_str(), ACL_TYPE_ACCESS);
    char* text = acl ? acl_to_any_text(acl, nullptr, ',', 0) : nullptr;
    std::string result = text ? text : "none";
    acl_free(text);
    acl_free(acl);
    return result;
}

std::string Attribute(const std::string& path, const char* name) {
    char value[64];
    const ssize_t n = getxattr(path.c_str(), name, value, sizeof value);
    return n < 0 ? "none" : std::string(value, static_cast<size_t>(n));
}

class FileRewrite : public ::testing::Test {
  protected:
    void TearDown() override {
        SetStepHook({});
        platform::files::SetLockWait(std::chrono::seconds(10));
    }
    TempDir dir_;
};

// A step that fails before the rename leaves the file as it was; metadata that cannot be given to
// a copy makes the rewrite go in place; a failing folder flush comes after the file is replaced.
// In place, any failing step leaves the file as it was.
TEST_F(FileRewrite, FailingStepsFailOrGoInPlace) {
    const std::string file = dir_.File("s.ini");
    const std::string before = "[S]\nk=old\n";
    for (const auto& [step, name] : kSteps) {
        WriteFile(file, before);
        const ino_t inode = StatOf(file).st_ino;
        SetStepHook([step = step](Step at) { return at == step ? EIO : 0; });
        const std::string outcome = Described(platform::profile::WriteValue(file, "S", "k", "new"));
        const bool copied = step == Step::kWrite || step == Step::kSync || step == Step::kRename;
        const bool inPlace =
            step == Step::kOwn || step == Step::kCopyAttributes || step == Step::kSetMode;
        EXPECT_EQ(outcome.substr(0, outcome.find('|')), copied ? "failed" : "done") << name;
        EXPECT_EQ(ReadFile(file), copied ? before : "[S]\nk=new\n") << name;
        EXPECT_EQ(StatOf(file).st_ino == inode, copied || inPlace) << name;
        EXPECT_EQ(Others(dir_.Path(), {"s.ini"}), std::vector<std::string>{}) << name;
    }
    // In place (the file has a second link), a step that fails before the journal is removed
    // leaves the file as it was, the journal played back.
    fs::create_hard_link(file, dir_.File("twin.ini"));
    for (const Step step : {Step::kJournal, Step::kWrite, Step::kSync, Step::kSyncFolder}) {
        WriteFile(file, before);
        SetStepHook([step](Step at) { return at == step ? EIO : 0; });
        const std::string outcome = Described(platform::profile::WriteValue(file, "S", "k", "new"));
        EXPECT_EQ(outcome.substr(0, outcome.find('|')), "failed") << static_cast<int>(step);
        EXPECT_EQ(ReadFile(file), before) << static_cast<int>(step);
        EXPECT_EQ(Others(dir_.Path(), {"s.ini", "twin.ini"}), std::vector<std::string>{});
    }
    fs::remove(dir_.File("twin.ini"));
    SetStepHook([](Step at) { return at == Step::kSync ? EIO : 0; });
    const platform::Status status = Rewrite(file, Text("x"));
    EXPECT_EQ(status.failure.systemError, EIO);
    EXPECT_EQ(Described(status), "failed|" + file + ": cannot flush it: Input/output error");
}

// Only a holder of the file's own lock holds writers up, for 10 s at most; a reader locking the
// folder does not.
TEST_F(FileRewrite, AForeignLockFailsTheWriteAfterTenSeconds) {
    const std::string file = dir_.File("app.ini");
    WriteFile(file, "old");
    const int folder = open(dir_.Path().c_str(), O_RDONLY | O_DIRECTORY);
    ASSERT_EQ(flock(folder, LOCK_EX), 0);
    EXPECT_TRUE(Rewrite(file, Text("new")));
    close(folder);
    const int reader = open(file.c_str(), O_RDONLY);
    ASSERT_EQ(flock(reader, LOCK_EX), 0);
    // The store's write hands back the rewrite's own account of why it failed.
    const auto start = std::chrono::steady_clock::now();
    const platform::Status status = platform::profile::WriteValue(file, "S", "k", "v");
    const auto waited = std::chrono::steady_clock::now() - start;
    close(reader);
    EXPECT_GE(waited, std::chrono::seconds(10));
    EXPECT_LT(waited, std::chrono::seconds(11));
    EXPECT_EQ(status.failure.systemError, EWOULDBLOCK);
    EXPECT_EQ(Described(status), "failed|" + file + ": locked by another process for 10 s");
    EXPECT_EQ(ReadFile(file), "new");
}

// Waiters go on while the lock's holder keeps changing the file, however long that takes, and
// give up once it has stood still for the bound (half a second here; the real one above): writers
// with the failure's text, readers as well.
TEST_F(FileRewrite, WaitersGoOnWhileTheHolderMakesProgress) {
    using std::chrono::milliseconds;
    platform::files::SetLockWait(milliseconds(500));
    const std::string file = dir_.File("busy.ini");
    WriteFile(file, "[S]\n");
    // Holds the file's lock, adding a line every 100 ms `steps` times, then stands still for
    // `still` before letting go; what `wait` gave, and how long it took.
    const auto waitFor = [&](int steps, milliseconds still,
                             const std::function<std::string()>& wait) {
        const int fd = open(file.c_str(), O_WRONLY | O_APPEND);
        EXPECT_EQ(flock(fd, LOCK_EX), 0);
        std::thread holder([&] {
            for (int i = 0; i < steps; ++i) {
                std::this_thread::sleep_for(milliseconds(100));
                EXPECT_EQ(write(fd, "h=1\n", 4), 4);
            }
            std::this_thread::sleep_for(still);
            close(fd);
        });
        const auto start = std::chrono::steady_clock::now();
        const std::string outcome = wait();
        const auto took = std::chrono::steady_clock::now() - start;
        holder.join();
        return std::pair(outcome, std::chrono::duration_cast<milliseconds>(took).count());
    };
    const auto write = [&] {
        return Described(platform::profile::WriteValue(file, "S", "k", "v"));
    };
    const auto [done, doneAfter] = waitFor(12, milliseconds(0), write);
    EXPECT_EQ(done, "done");
    EXPECT_GE(doneAfter, 1200);
    // It stands still after 300 ms, and lets go at 1,200 ms.
    const auto [failed, failedAfter] = waitFor(3, milliseconds(900), write);
    EXPECT_EQ(failed, "failed|" + file + ": locked by another process for 0.5 s");
    EXPECT_GE(failedAfter, 800);
    EXPECT_LT(failedAfter, 1100);
    const auto read = [&]() -> std::string {
        try {
            return platform::files::ReadContents(file)->bytes;
        } catch (const platform::ReadFailed& refused) {
            return refused.failure.text;
        }
    };
    const auto [unread, unreadAfter] = waitFor(0, milliseconds(800), read);
    EXPECT_EQ(unread, file + ": locked by another process for 0.5 s");
    EXPECT_GE(unreadAfter, 500);
    EXPECT_LT(unreadAfter, 750);
}

TEST_F(FileRewrite, SixteenWritersLoseNothing) {
    const std::string file = dir_.File("shared.ini");
    auto name = [](int w, int i) { return std::to_string(w) + "_" + std::to_string(i); };
    EXPECT_TRUE(SideBySide(16, [&](int w) {
        for (int i = 0; i < 25; ++i) {
            if (!platform::profile::WriteValue(file, "S", name(w, i), name(w, i)))
                return false;
        }
        return true;
    }));
    int present = 0;
    for (int w = 0; w < 16; ++w) {
        for (int i = 0; i < 25; ++i)
            present += platform::profile::ReadValue(file, "S", name(w, i)) == name(w, i);
    }
    EXPECT_EQ(present, 400);
    EXPECT_EQ(platform::profile::KeyNames(file, "S").size(), 400u);  // none written twice
    EXPECT_EQ(Others(dir_.Path(), {"shared.ini"}), std::vector<std::string>{});
}

// Starts `args` as a program, with `environment` added to this process's; its process id.
pid_t StartProgram(const std::vector<std::string>& args, const std::string& environment = {}) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::string variable = environment;
        if (!variable.empty())
            putenv(variable.data());
        std::vector<char*> argv;
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        if (!freopen("/dev/null", "w", stderr))
            _exit(126);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    return pid;
}

// The wait status of the program.
int Finished(pid_t pid) {
    int status = -1;
    waitpid(pid, &status, 0);
    return status;
}

int RunProgram(const std::vector<std::string>& args, const std::string& environment = {}) {
    return Finished(StartProgram(args, environment));
}

bool Killed(int status) {
    return WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
}

// A file of 2,000 keys (or `keys`) behind a first section whose value the writer lengthens, so that
// nearly all of the file moves; with a second hard link, so that it is rewritten in place.
struct InPlace {
    std::string file, old, next;
    std::vector<std::string> Writer() const { return {REWRITE_CHILD, file, "A", "a", "longer"}; }
};

InPlace MakeInPlace(const TempDir& dir, const std::string& folder, int keys = 2000) {
    fs::create_directories(dir.File(folder));
    InPlace made{dir.File(folder + "/s.ini"), "[A]\na=1\n[T]\n", {}};
    for (int i = 0; i < keys; ++i)
        made.old += "k" + std::to_string(i) + "=value " + std::to_string(i) + "\n";
    made.next = platform::profile::detail::WithValue(made.old, "A", "a", "longer");
    WriteFile(made.file, made.old);
    fs::create_hard_link(made.file, dir.File(folder + "/twin.ini"));
    return made;
}

// What the file holds after the next opener is done with it: "old", "new" or "torn".
std::string Outcome(const std::string& bytes, const std::string& old, const std::string& next) {
    return bytes == old ? "old" : bytes == next ? "new" : "torn";
}

// Leak checks do not work under strace: a writer built with them runs without.
constexpr const char* kUnderStrace = "ASAN_OPTIONS=detect_leaks=0";

// The system calls of the writer from its first touch of `file` to its last of the file's folder,
// each as what strace's option "inject=" takes to kill the writer there: "NAME:signal=KILL:when=N"
// for the Nth call of that name.
std::vector<std::string> KillPoints(const std::vector<std::string>& writer, const std::string& file,
                                    const fs::path& log) {
    std::vector<std::string> args = {"strace", "-qq", "-y", "-o", log};
    args.insert(args.end(), writer.begin(), writer.end());
    EXPECT_EQ(RunProgram(args, kUnderStrace), 0);
    std::vector<std::string> points;
    size_t last = 0;
    std::map<std::string, int> made;
    bool touched = false;
    std::istringstream lines(ReadFile(log));
    for (std::string line; std::getline(lines, line);) {
        const std::string name = line.substr(0, line.find('('));
        const int nth = ++made[name];
        touched = touched || line.find('"' + file + '"') != std::string::npos;
        if (!touched)
            continue;
        points.push_back(name + ":signal=KILL:when=" + std::to_string(nth));
        if (line.find(fs::path(file).parent_path().string()) != std::string::npos)
            last = points.size();
    }
    points.resize(last);
    return points;
}

// A writer killed at each of its system calls in its rewrite of the file, and the next
// opener (a reader): the file is old or new byte for byte; the next write leaves nothing beside it.
TEST_F(FileRewrite, KilledAtEverySystemCallAnInPlaceRewriteLeavesOldOrNew) {
    const InPlace probe = MakeInPlace(dir_, "probe");
    const std::vector<std::string> points =
        KillPoints(probe.Writer(), probe.file, dir_.File("calls.log"));
    std::map<std::string, int> outcomes;
    constexpr size_t kAtOnce = 16;
    for (size_t batch = 0; batch < points.size(); batch += kAtOnce) {
        std::vector<std::pair<InPlace, pid_t>> runs;
        for (size_t i = batch; i < std::min(batch + kAtOnce, points.size()); ++i) {
            const InPlace run = MakeInPlace(dir_, "run" + std::to_string(i));
            std::vector<std::string> args = {"strace",    "-qq", "-o",
                                             "/dev/null", "-e",  "inject=" + points[i]};
            const std::vector<std::string> writer = run.Writer();
            args.insert(args.end(), writer.begin(), writer.end());
            runs.emplace_back(run, StartProgram(args, kUnderStrace));
        }
        for (const auto& [run, pid] : runs) {
            const bool killed = Killed(Finished(pid));
            const auto read = platform::files::ReadContents(run.file);
            ++outcomes[Outcome(read ? read->bytes : "", run.old, run.next) +
                       (killed ? "" : " unkilled")];
            // A torn journal stays until the next write, which removes it.
            EXPECT_TRUE(platform::profile::WriteValue(run.file, "Z", "z", "1"));
            const fs::path folder = fs::path(run.file).parent_path();
            EXPECT_EQ(Others(folder, {"s.ini", "twin.ini"}), std::vector<std::string>{}) << folder;
            fs::remove_all(folder);
        }
    }
    std::cout << "kill points " << points.size() << ": old " << outcomes["old"] << ", new "
              << outcomes["new"] << "\n";
    EXPECT_EQ(outcomes["old"] + outcomes["new"], static_cast<int>(points.size()));
    EXPECT_GT(outcomes["old"], 10);
    EXPECT_GT(outcomes["new"], 0);
}

// A writer killed inside its writes, after each sixteenth of the bytes it writes (the journal,
// then the file from the first changed byte), and the next opener a writer of another key: that
// key is added to the old or the new text, byte for byte.
TEST_F(FileRewrite, KilledInsideItsWritesAnInPlaceRewriteLeavesOldOrNew) {
    const InPlace run = MakeInPlace(dir_, "run");
    const size_t changed = 8;  // "[A]\na=1\n" up to the "1"
    const size_t total = 56 + run.old.size() - (changed - 2) + run.next.size() - (changed - 2);
    std::map<std::string, int> outcomes;
    for (size_t part = 0; part < 16; ++part) {
        WriteFile(run.file, run.old);
        const size_t bytes = 1 + part * total / 16;
        const int status = RunProgram(run.Writer(), "QF_KILL_AFTER_BYTES=" + std::to_string(bytes));
        EXPECT_TRUE(Killed(status)) << bytes;
        ASSERT_TRUE(platform::profile::WriteValue(run.file, "Z", "z", "1"));
        const auto with = [](const std::string& text) {
            return platform::profile::detail::WithValue(text, "Z", "z", "1");
        };
        ++outcomes[Outcome(ReadFile(run.file), with(run.old), with(run.next))];
        EXPECT_EQ(Others(dir_.File("run"), {"s.ini", "twin.ini"}), std::vector<std::string>{});
    }
    std::cout << "kills inside writes 16: old " << outcomes["old"] << ", new " << outcomes["new"]
              << "\n";
    EXPECT_EQ(outcomes["old"], 16);
}

// Readers of a file that a writer keeps rewriting in place read the old or the new text whole.
TEST_F(FileRewrite, ReadersNeverSeeAnInPlaceRewriteHalfDone) {
    const InPlace run = MakeInPlace(dir_, "run", 100000);
    // One that comes while a writer is half-way waits for it.
    const int fd = open(run.file.c_str(), O_RDWR);
    ASSERT_EQ(flock(fd, LOCK_EX), 0);
    const size_t half = run.next.size() / 2;
    ASSERT_EQ(pwrite(fd, run.next.data(), half, 0), static_cast<ssize_t>(half));
    auto waiting = std::async(std::launch::async, [&] {
        const auto read = platform::files::ReadContents(run.file);
        return Outcome(read ? read->bytes : "", run.old, run.next);
    });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    ASSERT_EQ(pwrite(fd, run.next.data() + half, run.next.size() - half, static_cast<off_t>(half)),
              static_cast<ssize_t>(run.next.size() - half));
    close(fd);
    EXPECT_EQ(waiting.get(), "new");
    // Many, while a writer keeps rewriting the file.
    const pid_t writer = Spawn([&] {
        for (int round = 0;; ++round) {
            if (!platform::files::Rewrite(run.file, Text(round % 2 ? run.old : run.next)))
                return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    std::map<std::string, int> seen;
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < until) {
        const auto read = platform::files::ReadContents(run.file);
        ++seen[Outcome(read ? read->bytes : "", run.old, run.next)];
    }
    EXPECT_TRUE(KillAndReap(writer));
    std::cout << "reads: old " << seen["old"] << ", new " << seen["new"] << ", torn "
              << seen["torn"] << "\n";
    EXPECT_EQ(seen["torn"], 0);
    EXPECT_GT(seen["old"], 0);
    EXPECT_GT(seen["new"], 0);
}

// The durable steps as the kernel sees them, in order: the copy flushed before it is renamed and
// the folder after; the journal and the folder flushed before the file changes, the file flushed
// before the journal goes.
TEST_F(FileRewrite, DurableStepsReachTheKernelInOrder) {
    const InPlace run = MakeInPlace(dir_, "run");
    const std::string folder = dir_.File("run");
    // Each call as its name and the file it is about: FILE, COPY, JOURNAL or FOLDER.
    const auto steps = [&](const std::vector<std::string>& writer) {
        std::vector<std::string> args = {
            "strace",
            "-qq",
            "-y",
            "-o",
            dir_.File("steps.log"),
            "-e",
            "trace=write,fsync,fdatasync,syncfs,ftruncate,rename,renameat,renameat2,unlinkat"};
        args.insert(args.end(), writer.begin(), writer.end());
        EXPECT_EQ(RunProgram(args, kUnderStrace), 0);
        std::string seen;
        std::istringstream lines(ReadFile(dir_.File("steps.log")));
        for (std::string line; std::getline(lines, line);) {
            const std::string role = line.find(".jnl") != std::string::npos         ? "JOURNAL"
                                     : line.find(".tmp") != std::string::npos       ? "COPY"
                                     : line.find("/s.ini>") != std::string::npos    ? "FILE"
                                     : line.find(folder + ">") != std::string::npos ? "FOLDER"
                                                                                    : "";
            if (!role.empty())
                seen += (seen.empty() ? "" : ", ") + line.substr(0, line.find('(')) + " " + role;
        }
        return seen;
    };
    EXPECT_EQ(steps(run.Writer()),
              "write JOURNAL, write JOURNAL, fsync JOURNAL, fsync FOLDER, write FILE, ftruncate "
              "FILE, fsync FILE, unlinkat JOURNAL, fsync FOLDER");
    fs::remove(dir_.File("run/twin.ini"));
    EXPECT_EQ(steps({REWRITE_CHILD, run.file, "A", "a", "copied"}),
              "write COPY, fsync COPY, renameat COPY, fsync FOLDER");
}

// A dangling link gets its target created through it, as open() would; the link stays a link, and
// the next write replaces the target.
TEST_F(FileRewrite, DanglingLinkCreatesItsTarget) {
    fs::create_directory(dir_.File("made"));
    fs::create_symlink("made/new.ini", dir_.File("link.ini"));
    EXPECT_TRUE(Rewrite(dir_.File("link.ini"), Text("v")));
    EXPECT_TRUE(fs::is_symlink(dir_.File("link.ini")));
    EXPECT_EQ(ReadFile(dir_.File("made/new.ini")), "v");
    EXPECT_TRUE(Rewrite(dir_.File("link.ini"), Text("w")));
    EXPECT_TRUE(fs::is_symlink(dir_.File("link.ini")));
    EXPECT_EQ(ReadFile(dir_.File("made/new.ini")), "w");
    EXPECT_EQ(Others(dir_.Path(), {}), (std::vector<std::string>{"link.ini", "made"}));
    EXPECT_EQ(Others(dir_.File("made"), {}), std::vector<std::string>{"new.ini"});
}

// Switches the kernel's protection of links in shared folders on for a test, when it is off.
struct ProtectedSymlinks {
    static constexpr const char* kSetting = "/proc/sys/fs/protected_symlinks";
    const std::string was = ReadFile(kSetting);
    ProtectedSymlinks() {
        if (was == "0\n")
            WriteFile(kSetting, "1");
    }
    ~ProtectedSymlinks() {
        if (was == "0\n")
            WriteFile(kSetting, "0");
    }
};

class FileRewriteAsRoot : public FileRewrite {
  protected:
    void SetUp() override {
        if (geteuid() != 0)
            GTEST_SKIP() << "needs root to act as several users";
        fs::permissions(dir_.Path(), fs::perms(0755));
    }
};

// At every step, and wherever the writer is killed, the copy of a 0600 file is open to nobody
// else; the next write removes a killed writer's copy, and never a file it did not make.
TEST_F(FileRewriteAsRoot, CopyOfAPrivateFileIsNeverReadableByAnotherUser) {
    const std::string file = dir_.File("secret.ini");
    // Names that only resemble a rewrite's own: no random part, one with a "-" in it.
    const std::vector<std::string> unrelated = {".secret.ini.tmp", ".secret.ini.backup-copy1.tmp",
                                                ".secret.ini.backup-copy1.jnl"};
    std::vector<std::string> known = unrelated;
    known.push_back("secret.ini");
    WriteFile(file, "old");
    ASSERT_EQ(chown(file.c_str(), kOwner, kGroup) | chmod(file.c_str(), 0600), 0);
    for (const std::string& name : unrelated) WriteFile(dir_.File(name), "not ours");
    // The copies in the folder, each as "private" or "readable" to another user and its mode in
    // octal.
    auto copies = [&] {
        std::string seen;
        for (const std::string& name : Others(dir_.Path(), known)) {
            const std::string path = dir_.File(name);
            char mode[8];
            snprintf(mode, sizeof mode, "%o", StatOf(path).st_mode & 07777);
            seen += AsUser(kStranger,
                           [&] {
                               return open(path.c_str(), O_RDONLY | O_NONBLOCK) >= 0 ? " readable "
                                                                                     : " private ";
                           }) +
                    mode;
        }
        return seen;
    };
    std::string watched;
    SetStepHook([&](Step step) {
        watched += ", " + kSteps[static_cast<size_t>(step)].second + copies();
        return 0;
    });
    EXPECT_TRUE(Rewrite(file, Text("new")));
    SetStepHook({});
    const std::string eachStep =
        ", own private 600, attributes private 600, mode private 600, write private 600, sync "
        "private 600, rename private 600";
    EXPECT_EQ(watched, eachStep + ", folder");
    // Killed at each step in turn: what the file holds and the copy left behind.
    std::string killed;
    for (const auto& [step, name] : kSteps) {
        const pid_t pid = Spawn([&, step = step] {
            SetStepHook([step](Step at) { return at == step ? raise(SIGKILL) : 0; });
            return static_cast<bool>(Rewrite(file, Text("newer")));
        });
        ASSERT_TRUE(pid > 0 && waitpid(pid, nullptr, 0) == pid);
        killed += ", " + name + " " + ReadFile(file) + copies();
    }
    EXPECT_EQ(killed,
              ", own new private 600, attributes new private 600, mode new private 600, write new "
              "private 600, sync new private 600, rename new private 600, folder newer");
    EXPECT_TRUE(Rewrite(file, Text("final")));
    EXPECT_EQ(Others(dir_.Path(), known), std::vector<std::string>{});
    for (const std::string& name : unrelated) EXPECT_EQ(ReadFile(dir_.File(name)), "not ours");
    const struct stat st = StatOf(file);
    EXPECT_EQ(std::to_string(st.st_uid) + ":" + std::to_string(st.st_gid) + ":" +
                  std::to_string(st.st_mode & 07777),
              "64010:64020:384");
}

// The owner (as root would) replaces the file by a copy; a group member, who cannot give a copy
// the owner, and anyone writing a file with two links, rewrite it in place. All keep the owner,
// group, mode, ACL and extended attribute, and the other link.
TEST_F(FileRewriteAsRoot, EveryWriterKeepsOwnerGroupModeAclAttributeAndLinks) {
    fs::permissions(dir_.Path(), fs::perms(0775));
    ASSERT_EQ(chown(dir_.Path().c_str(), 0, kGroup), 0);
    const std::string file = dir_.File("shared.ini"), link = dir_.File("other-name.ini");
    struct Row {
        const char* name;
        uid_t writer;
        bool linked;
        bool inPlace;
    };
    for (const Row& row : {Row{"owner", kOwner, false, false}, Row{"member", kMember, false, true},
                           Row{"linked", kOwner, true, true}}) {
        fs::remove(link);
        WriteFile(file, "old");
        ASSERT_EQ(chown(file.c_str(), kOwner, kGroup) | chmod(file.c_str(), 0660), 0);
        const acl_t acl = acl_from_text("u::rw-,u:64012:r--,g::rw-,m::rw-,o::---");
        ASSERT_EQ(acl_set_file(file.c_str(), ACL_TYPE_ACCESS, acl), 0);
        acl_free(acl);
        ASSERT_EQ(setxattr(file.c_str(), "user.note", "kept", 4, 0), 0);
        if (row.linked)
            fs::create_hard_link(file, link);
        const struct stat before = StatOf(file);
        const std::string acl_before = AclText(file);
        EXPECT_EQ(
            AsUser(row.writer, [&] { return Rewrite(file, Text("new")) ? "done" : "failed"; }),
            "done")
            << row.name;
        const struct stat after = StatOf(file);
        EXPECT_EQ(ReadFile(file), "new") << row.name;
        EXPECT_EQ(after.st_uid, kOwner) << row.name;
        EXPECT_EQ(after.st_gid, kGroup) << row.name;
        EXPECT_EQ(after.st_mode, before.st_mode) << row.name;
        EXPECT_EQ(AclText(file), acl_before) << row.name;
        EXPECT_EQ(Attribute(file, "user.note"), "kept") << row.name;
        EXPECT_EQ(after.st_ino == before.st_ino, row.inPlace) << row.name;
        EXPECT_EQ(ReadFile(row.linked ? link : file), "new") << row.name;
        EXPECT_EQ(Others(dir_.Path(), {"shared.ini", "other-name.ini"}), std::vector<std::string>{})
            << row.name;
    }
}

// The kernel refuses to follow a link another user placed in a shared sticky folder, and so does
// the rewrite: whether the link leads to a file or nowhere yet, or appears while the writer is
// about to create the file (moved in from a folder that is not sticky), the write fails and
// nothing is made or changed where the link points.
TEST_F(FileRewriteAsRoot, OthersLinkInAStickyFolderIsNotFollowed) {
    const ProtectedSymlinks on;
    if (ReadFile(ProtectedSymlinks::kSetting) != "1\n")
        GTEST_SKIP() << "fs.protected_symlinks is off and cannot be switched on";
    const std::string shared = dir_.File("shared"), home = dir_.File("bobhome");
    const std::string staging = dir_.File("staging");
    for (const std::string& folder : {shared, home, staging}) fs::create_directory(folder);
    fs::permissions(shared, fs::perms(01777));
    fs::permissions(staging, fs::perms(0777));
    ASSERT_EQ(chown(home.c_str(), kOwner, kOwner), 0);
    const std::string link = shared + "/link.ini", staged = staging + "/link.ini";
    for (const char* row : {"to a file", "dangling", "planted while writing"}) {
        SCOPED_TRACE(row);
        const bool toFile = row == std::string("to a file");
        const bool planted = row == std::string("planted while writing");
        const std::string target = home + (toFile ? "/settings.ini" : "/planted.ini");
        if (toFile) {
            WriteFile(target, "[S]\nk=old\n");
            ASSERT_EQ(chown(target.c_str(), kOwner, kOwner), 0);
        }
        fs::create_symlink(target, staged);
        ASSERT_EQ(lchown(staged.c_str(), kStranger, kStranger), 0);
        if (!planted)
            fs::rename(staged, link);
        // The link is moved in when the writer, having found no file, works out the new text.
        const auto edit = [&](std::string_view) {
            if (planted)
                rename(staged.c_str(), link.c_str());
            return std::optional<std::string>("[S]\nk=x\n");
        };
        EXPECT_EQ(AsUser(kOwner, [&] { return Described(Rewrite(link, edit)); }),
                  "failed|" + link + ": link not followed: Permission denied");
        EXPECT_EQ(fs::exists(target) ? ReadFile(target) : "none", toFile ? "[S]\nk=old\n" : "none");
        EXPECT_EQ(Others(shared, {}), std::vector<std::string>{"link.ini"});
        fs::remove(link);
    }
}

// A journal is played back only when someone who may write the file could have made it: one that
// another user put beside the file is left alone, the file read as it is.
TEST_F(FileRewriteAsRoot, AJournalOfAnotherUserIsNotPlayedBack) {
    const InPlace run = MakeInPlace(dir_, "run");
    const size_t journal = 56 + run.old.size() - 6;  // from the "1" of "a=1" on
    ASSERT_TRUE(Killed(RunProgram(run.Writer(), "QF_KILL_AFTER_BYTES=" + std::to_string(journal))));
    const std::vector<std::string> left = Others(dir_.File("run"), {"s.ini", "twin.ini"});
    ASSERT_EQ(left.size(), 1u);
    const std::string planted = dir_.File("run/" + left[0]);
    const std::string now = run.old + "more=1\n";
    WriteFile(run.file, now);
    ASSERT_EQ(chown(planted.c_str(), kStranger, kStranger), 0);
    EXPECT_EQ(platform::files::ReadContents(run.file)->bytes, now);
    EXPECT_TRUE(fs::exists(planted));
    ASSERT_EQ(chown(planted.c_str(), 0, 0), 0);
    EXPECT_EQ(platform::files::ReadContents(run.file)->bytes, run.old);
    EXPECT_FALSE(fs::exists(planted));
}

// A folder the user may write and search but not list: the file is created and replaced.
TEST_F(FileRewriteAsRoot, WritableUnlistableFolderWorks) {
    const std::string folder = dir_.File("drop");
    fs::create_directory(folder);
    fs::permissions(folder, fs::perms(0733));
    const std::string outcome = AsUser(kOwner, [&] {
        const std::string file = folder + "/app.ini";
        const bool done = Rewrite(file, Text("one")) && Rewrite(file, Text("two"));
        return std::to_string(done) + ReadFile(file);
    });
    EXPECT_EQ(outcome, "1two");
    EXPECT_EQ(Others(folder, {}), std::vector<std::string>{"app.ini"});
}

}  // namespace
