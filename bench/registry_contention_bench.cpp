// Writers competing for the registry: WRITERS processes each set VALUES values through the
// registry store at the same time, one transaction a value, in a fresh database. Prints how many
// writes failed, the slowest single write and the whole run's time.
//
//   registry_contention_bench [WRITERS [VALUES]]      (default 16 writers, 300 values each)
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "creators.h"
#include "qfstore/registry_key.h"
#include "temp_dir.h"

namespace {

using Clock = std::chrono::steady_clock;
using Seconds = std::chrono::duration<double>;

// What one writer reports through its pipe.
struct Report {
    int failed = 0;
    double slowest = 0;
};

Report Write(int writer, int values) {
    using namespace qfstore;
    auto key = Ptr<Unknown>::Attach(core::NewQfRegistryKey()).As<QfRegistryKey>();
    key->KeyName("Contention");
    Report report;
    for (int i = 0; i < values; ++i) {
        const auto start = Clock::now();
        const std::string name = std::to_string(writer) + "_" + std::to_string(i);
        report.failed += key->SetValue(name, Variant(name), "\t") ? 1 : 0;
        const double took = Seconds(Clock::now() - start).count();
        report.slowest = took > report.slowest ? took : report.slowest;
    }
    return report;
}

}  // namespace

int main(int argc, char** argv) {
    const int writers = argc > 1 ? std::atoi(argv[1]) : 16;
    const int values = argc > 2 ? std::atoi(argv[2]) : 300;
    testing_support::TempDir dir;
    setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1);
    int pipes[2];
    if (writers < 1 || values < 1 || pipe(pipes) != 0)
        return 2;
    const auto start = Clock::now();
    std::vector<pid_t> children;
    for (int w = 0; w < writers; ++w) {
        const pid_t pid = fork();
        if (pid == 0) {
            close(pipes[0]);
            const Report report = Write(w, values);
            _exit(write(pipes[1], &report, sizeof report) == sizeof report ? 0 : 1);
        }
        children.push_back(pid);
    }
    close(pipes[1]);
    Report total;
    int reported = 0;
    for (Report r; read(pipes[0], &r, sizeof r) == sizeof r; ++reported) {
        total.failed += r.failed;
        total.slowest = r.slowest > total.slowest ? r.slowest : total.slowest;
    }
    for (const pid_t pid : children) waitpid(pid, nullptr, 0);
    const double all = Seconds(Clock::now() - start).count();
    std::printf(
        "%d writers x %d values: %d of %d writes failed (%d writers unreported); "
        "slowest write %.2f s; all done in %.1f s\n",
        writers, values, total.failed, writers * values, writers - reported, total.slowest, all);
    return total.failed == 0 && reported == writers ? 0 : 1;
}
