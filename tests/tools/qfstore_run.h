// Runs the built qfstore program as a user does, in a temporary working folder with a registry
// database of its own, and checks one command line's exit status, output and file.
#pragma once

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cstdlib>  // setenv
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "temp_dir.h"

namespace qfstore_test {

struct Result {
    int status;
    std::string out, err;
};

// Runs `program` with `args` in the folder `cwd`, capturing both output streams; with `outFile`
// standard output goes there instead, uncaptured. `prepare`, when given, runs in the new process
// before the program starts; its failure ends that process with status 127.
inline Result RunQfstore(const std::vector<std::string>& args, const std::string& cwd,
                         const std::string& program = QFSTORE_CLI_PATH, std::string outFile = "",
                         const std::function<bool()>& prepare = {}) {
    testing_support::TempDir capture;
    const bool captureOut = outFile.empty();
    if (captureOut)
        outFile = capture.File("out");
    const std::string errFile = capture.File("err");
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || (prepare && !prepare()) ||
            chdir(cwd.c_str()) != 0)
            _exit(127);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1,
            captureOut ? testing_support::ReadFile(outFile) : "",
            testing_support::ReadFile(errFile)};
}

// One command line and what it gives. The store file "f" in the working folder holds `before`
// (no file when null) and afterwards `after` (when null: as before, or still no file).
struct Case {
    const char* name;
    const char* before;
    std::vector<std::string> args;
    int status;
    const char *out, *err;  // of status 64 only the first line, followed by the usage
    const char* after;
};

inline void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

class CliTest : public ::testing::Test {
  protected:
    // Each test has a registry of its own; the program inherits the environment.
    CliTest() { setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1); }

    Result Run(const std::vector<std::string>& args, const std::function<bool()>& prepare = {}) {
        return RunQfstore(args, dir_.Path().string(), QFSTORE_CLI_PATH, "", prepare);
    }

    void Expect(const Case& c) {
        const std::string file = dir_.File("f");
        if (c.before)
            testing_support::WriteFile(file, c.before);
        const Result r = Run(c.args);
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_EQ(r.out, c.out);
        if (c.status == 64) {
            EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.err);
            EXPECT_NE(r.err.find("\nUsage:\n  qfstore version\n"), std::string::npos);
            EXPECT_FALSE(std::filesystem::exists(dir_.File("config")));
        } else {
            EXPECT_EQ(r.err, c.err);
        }
        const char* after = c.after ? c.after : c.before;
        EXPECT_EQ(std::filesystem::exists(file), after != nullptr);
        if (after) {
            EXPECT_EQ(testing_support::ReadFile(file), after);
        }
    }

    testing_support::TempDir dir_;
};

// A table of cases: INSTANTIATE_TEST_SUITE_P(Name, CliTable, Values(...), CaseName).
class CliTable : public CliTest, public ::testing::WithParamInterface<Case> {};

TEST_P(CliTable, Runs) {
    Expect(GetParam());
}

inline std::string CaseName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

}  // namespace qfstore_test
