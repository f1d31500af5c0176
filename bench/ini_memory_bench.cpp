// Peak memory of the INI engine on a large file: 2,000,000 keys read (one value, which parses the
// file) and listed (every key name of the section), each in a process of its own that reports its
// maximum resident set. Prints each peak against the file's size, beside the limit of 3 ×, and a
// process that reads nothing for scale.
//
//   ini_memory_bench [KEYS]      (default 2000000)
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "ini_bench_file.h"
#include "platform/profile.h"
#include "temp_dir.h"

extern char** environ;

namespace {

constexpr double kLimit = 3;  // peak resident set ÷ file size

long PeakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The child: does `what` to `file` and prints its peak in kilobytes.
int Measure(const std::string& what, const std::string& file) {
    namespace profile = platform::profile;
    size_t count = 0;
    if (what == "read") {
        count = profile::ReadValue(file, bench::kSection, "Key1").value_or("").size();
    } else if (what == "list") {
        count = profile::KeyNames(file, bench::kSection).size();
    } else if (what != "nothing") {
        return 2;
    }
    std::printf("%ld %zu\n", PeakKilobytes(), count);
    return 0;
}

// Runs this program on `what` and returns the child's peak in kilobytes, or -1.
long PeakOf(const std::string& what, const std::string& file) {
    std::string self = std::filesystem::read_symlink("/proc/self/exe");
    std::string flag = "--measure";
    std::vector<char*> argv{self.data(), flag.data(), const_cast<char*>(what.c_str()),
                            const_cast<char*>(file.c_str()), nullptr};
    int out[2];
    if (pipe(out) != 0)
        return -1;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    pid_t pid = 0;
    const int failed = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);
    char text[64] = {};
    const ssize_t n = failed ? -1 : read(out[0], text, sizeof text - 1);
    close(out[0]);
    int status = 0;
    if (failed || waitpid(pid, &status, 0) != pid || !WIFEXITED(status) ||
        WEXITSTATUS(status) != 0 || n <= 0)
        return -1;
    return std::strtol(text, nullptr, 10);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--measure") == 0)
        return Measure(argv[2], argv[3]);
    const long long keys = argc > 1 ? std::atoll(argv[1]) : 2000000;
    testing_support::TempDir folder;
    const std::string file = folder.File("large.ini");
    bench::WriteKeysFile(file, keys);
    const double megabytes = static_cast<double>(std::filesystem::file_size(file)) / 1e6;
    std::printf("file: %lld keys, %.1f MB\n", keys, megabytes);
    std::printf("%-28s %10s %14s\n", "", "peak (MB)", "÷ file size");
    bool within = true;
    for (const char* what : {"nothing", "read", "list"}) {
        const long kb = PeakOf(what, file);
        if (kb < 0) {
            std::fprintf(stderr, "measuring \"%s\" failed\n", what);
            return 2;
        }
        const double peak = static_cast<double>(kb) * 1024 / 1e6, ratio = peak / megabytes;
        const bool limited = std::strcmp(what, "nothing") != 0;
        if (limited)
            within = within && ratio <= kLimit;
        std::printf("%-28s %10.1f %14.2f",
                    std::strcmp(what, "nothing") == 0 ? "process reading nothing"
                    : std::strcmp(what, "read") == 0  ? "read one value (whole parse)"
                                                      : "list every key name",
                    peak, ratio);
        if (limited)
            std::printf("  (limit %.0f)", kLimit);
        std::printf("\n");
    }
    return within ? 0 : 1;
}
