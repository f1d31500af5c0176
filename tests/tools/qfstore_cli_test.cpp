// The qfstore program as a user runs it: real files, its output and its exit status.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "temp_dir.h"

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Runs `program` with `args` in the folder `cwd`, capturing both output streams.
Result RunQfstore(const std::vector<std::string>& args, const std::string& cwd,
                  const std::string& program = QFSTORE_CLI_PATH) {
    TempDir capture;
    const std::string outFile = capture.File("out"), errFile = capture.File("err");
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0)
            _exit(127);
        std::vector<char*> argv{const_cast<char*>(program.c_str())};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(program.c_str(), argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(outFile), ReadFile(errFile)};
}

class QfstoreCliTest : public ::testing::Test {
  protected:
    Result Ini(std::vector<std::string> args) {
        args.insert(args.begin(), {"ini", file_});
        return RunQfstore(args, dir_.Path().string());
    }

    TempDir dir_;
    std::string file_ = dir_.File("store.ini");
};

// ---- Reading: each row writes a file, runs one get and checks stdout ----

struct GetCase {
    const char* name;
    const char* fileText;
    std::vector<std::string> args;  // after "get S k"
    const char* out;
};
void PrintTo(const GetCase& c, std::ostream* os) {
    *os << c.name;
}

class GetTest : public QfstoreCliTest, public ::testing::WithParamInterface<GetCase> {};

TEST_P(GetTest, PrintsTheValue) {
    const GetCase& c = GetParam();
    WriteFile(file_, c.fileText);
    std::vector<std::string> args{"get", "S", "k"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    const Result r = Ini(args);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Table, GetTest,
    ::testing::Values(
        GetCase{"text", "[S]\nk=hello world\n", {}, "hello world\n"},
        GetCase{"number", "[S]\nk=5\n", {}, "5\n"},
        GetCase{
            "number_json", "[S]\nk=2.50\n", {"--json"}, "{\"type\": \"Double\", \"value\": 2.5}\n"},
        GetCase{"raw_number_json",
                "[S]\nk=5\n",
                {"--raw", "--json"},
                "{\"type\": \"String\", \"value\": \"5\"}\n"},
        GetCase{"tab_list", "[S]\nk=a\tb\n", {}, "a\nb\n"},
        GetCase{"tab_list_raw", "[S]\nk=a\tb\n", {"--raw"}, "a\tb\n"},
        GetCase{"longs_json",
                "[S]\nk=3|4|5\n",
                {"--delim", "|", "--json"},
                "{\"type\": \"Long()\", \"value\": [3, 4, 5]}\n"},
        GetCase{"doubles_json",
                "[S]\nk=1.5|2\n",
                {"--json", "--delim", "|"},
                "{\"type\": \"Double()\", \"value\": [1.5, 2]}\n"},
        GetCase{"texts_json",
                "[S]\nk=a||\"b\"\n",
                {"--delim", "|", "--json"},
                "{\"type\": \"String()\", \"value\": [\"a\", \"\", \"\\\"b\\\"\"]}\n"},
        GetCase{"other_delimiter_keeps_text", "[S]\nk=3|4|5\n", {}, "3|4|5\n"},
        GetCase{"json_escapes",
                "[S]\nk=q\\ \x01\x7f\xff \xc3\xa9\n",
                {"--json"},
                "{\"type\": \"String\", \"value\": \"q\\\\ \\u0001\\u007f\\ufffd \xc3\xa9\"}\n"},
        GetCase{"empty_value", "[S]\nk=\n", {"--default", "x"}, "\n"},
        GetCase{"absent_with_default", "[S]\n", {"--default", "7"}, "7\n"},
        GetCase{"absent_with_default_json",
                "",
                {"--default", "7", "--json"},
                "{\"type\": \"String\", \"value\": \"7\"}\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- Writing and listing ----

TEST_F(QfstoreCliTest, SetWritesTextsAndLists) {
    EXPECT_EQ(Ini({"set", "S", "one", "hello"}).status, 0);
    EXPECT_EQ(Ini({"set", "S", "list", "3", "4", "5", "--delim", "|"}).status, 0);
    EXPECT_EQ(Ini({"set", "T", "tabbed", "a", "b"}).status, 0);
    EXPECT_EQ(Ini({"set", "T", "dashes", "--", "--not-an-option"}).status, 0);
    const Result r = Ini({"set", "S", "one", "again"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadFile(file_),
              "[S]\none=again\nlist=3|4|5\n[T]\ntabbed=a\tb\ndashes=--not-an-option\n");
}

TEST_F(QfstoreCliTest, SectionsKeysAndDelete) {
    WriteFile(file_, "[A]\nx=1\ny=2\n[B]\nz=3\n");
    EXPECT_EQ(Ini({"sections"}).out, "A\nB\n");
    EXPECT_EQ(Ini({"keys", "A"}).out, "x\ny\n");
    const Result none = Ini({"keys", "C"});
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, "");
    EXPECT_EQ(Ini({"delete", "A", "x"}).status, 0);
    EXPECT_EQ(Ini({"delete", "B"}).status, 0);
    EXPECT_EQ(Ini({"delete", "B", "absent"}).status, 0);
    EXPECT_EQ(ReadFile(file_), "[A]\ny=2\n");
}

TEST_F(QfstoreCliTest, FileIsUsedAsGivenRelativeToTheWorkingFolder) {
    const Result r =
        RunQfstore({"ini", "relative.ini", "set", "S", "k", "v"}, dir_.Path().string());
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(ReadFile(dir_.File("relative.ini")), "[S]\nk=v\n");
    EXPECT_EQ(RunQfstore({"ini", "relative", "sections"}, dir_.Path().string()).out, "");
}

TEST_F(QfstoreCliTest, VersionAndHelp) {
    const Result version = RunQfstore({"version"}, dir_.Path().string());
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, "Qfstore - 1.2.3\n");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"--help"}, {"-h"}, {"ini", file_, "get", "--help"}}) {
        const Result help = RunQfstore(args, dir_.Path().string());
        EXPECT_EQ(help.status, 0);
        EXPECT_EQ(help.out.rfind("Usage:\n  qfstore version\n", 0), 0u) << help.out;
        EXPECT_NE(help.out.find("  64  a usage error"), std::string::npos);
        EXPECT_EQ(help.err, "");
    }
}

// ---- Exit statuses 1, 2 and 64 ----

TEST_F(QfstoreCliTest, AbsentKeyWithoutDefaultExitsWithOne) {
    WriteFile(file_, "[S]\nother=1\n");
    for (const char* section : {"S", "MISSING"}) {
        const Result r = Ini({"get", section, "k", "--json"});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.out, "");
        EXPECT_EQ(r.err, "");
    }
}

struct FailureCase {
    const char* name;
    const char* fileText;
    std::vector<std::string> args;  // after "ini FILE"; "@" stands for the temporary folder
    const char* err;
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class FailureTest : public QfstoreCliTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, ReportsTheErrorAndExitsWithTwo) {
    const FailureCase& c = GetParam();
    WriteFile(file_, c.fileText);
    std::vector<std::string> args = c.args;
    for (std::string& a : args) {
        if (a[0] == '@')
            a = dir_.Path().string() + a.substr(1);
    }
    const Result r = Ini(args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(ReadFile(file_), c.fileText);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailureTest,
    ::testing::Values(
        FailureCase{"overflow",
                    "[S]\nk=1|99999999999\n",
                    {"get", "S", "k", "--delim", "|"},
                    "Error 6: Overflow\nCall stack:\n  Qfstore\n  StrArrayToLngArray\n"
                    "  PrepForGet\n  QfINIFileHandler.GetValue\n"},
        FailureCase{"line_break_in_key",
                    "[S]\n",
                    {"set", "S", "a\nb", "v"},
                    "Error 5: Invalid procedure call or argument\nCall stack:\n  Qfstore\n"
                    "  QfINIFileHandler.INISetValue\n  QfINIFileHandler.SetValue\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QfstoreCliTest, WriteIntoMissingFolderExitsWithTwo) {
    const Result r = RunQfstore({"ini", dir_.File("missing/x.ini"), "set", "S", "k", "v"}, "/");
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "Error 75: Path/File access error\nCall stack:\n  Qfstore\n"
              "  QfINIFileHandler.INISetValue\n  QfINIFileHandler.SetValue\n");
    EXPECT_FALSE(std::filesystem::exists(dir_.File("missing")));
}

TEST_F(QfstoreCliTest, MissingLibraryExitsWithTwo) {
    const std::string lonely = dir_.File("qfstore");
    std::filesystem::copy_file(QFSTORE_CLI_PATH, lonely);
    const Result r = RunQfstore({"ini", file_, "sections"}, dir_.Path().string(), lonely);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Error 429: Can't create object\nCall stack:\n  qfstore\n");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;  // "@" stands for the store's file
    const char* firstLine;
};
void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class UsageTest : public QfstoreCliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(UsageTest, ExitsWithSixtyFourAndTheUsage) {
    std::vector<std::string> args = GetParam().args;
    for (std::string& a : args) {
        if (a == "@")
            a = file_;
    }
    const Result r = RunQfstore(args, dir_.Path().string());
    EXPECT_EQ(r.status, 64);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), GetParam().firstLine);
    EXPECT_NE(r.err.find("\nUsage:\n  qfstore version\n"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(file_));
}

INSTANTIATE_TEST_SUITE_P(
    Table, UsageTest,
    ::testing::Values(
        UsageCase{"nothing", {}, "qfstore: expected a command"},
        UsageCase{"unknown_command", {"frobnicate"}, "qfstore: unknown command 'frobnicate'"},
        UsageCase{
            "version_with_argument", {"version", "x"}, "qfstore: 'version' takes no arguments"},
        UsageCase{
            "ini_without_verb", {"ini", "@"}, "qfstore: expected FILE and a verb after 'ini'"},
        UsageCase{"unknown_verb", {"ini", "@", "put"}, "qfstore: unknown ini verb 'put'"},
        UsageCase{"sections_with_argument",
                  {"ini", "@", "sections", "x"},
                  "qfstore: expected no arguments after 'sections'"},
        UsageCase{
            "keys_without_section", {"ini", "@", "keys"}, "qfstore: expected SECTION after 'keys'"},
        UsageCase{"get_without_key",
                  {"ini", "@", "get", "S"},
                  "qfstore: expected SECTION KEY after 'get'"},
        UsageCase{"get_unknown_option",
                  {"ini", "@", "get", "S", "k", "--fast"},
                  "qfstore: unknown option --fast"},
        UsageCase{"delim_without_value",
                  {"ini", "@", "get", "S", "k", "--delim"},
                  "qfstore: --delim needs a value"},
        UsageCase{"set_without_value",
                  {"ini", "@", "set", "S", "k"},
                  "qfstore: expected SECTION KEY VALUE... after 'set'"},
        UsageCase{"set_with_get_option",
                  {"ini", "@", "set", "S", "k", "v", "--json"},
                  "qfstore: unknown option --json"},
        UsageCase{"delete_with_three",
                  {"ini", "@", "delete", "S", "k", "x"},
                  "qfstore: expected SECTION [KEY] after 'delete'"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
