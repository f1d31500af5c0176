// `qfstore string`, `qfstore reg`, `register` and `unregister` as a user runs them: real files,
// a registry database in a temporary folder, the output and the exit status.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "registry.h"
#include "temp_dir.h"

using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

namespace fs = std::filesystem;
namespace reg_check = platform::registry;

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Runs qfstore with `args` in `cwd`, capturing both output streams; it inherits the
// environment, XDG_CONFIG_HOME included.
Result RunQfstore(const std::vector<std::string>& args, const std::string& cwd) {
    TempDir capture;
    const std::string outFile = capture.File("out"), errFile = capture.File("err");
    const pid_t pid = fork();
    if (pid == 0) {
        const int out = open(outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int err = open(errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0 || chdir(cwd.c_str()) != 0)
            _exit(127);
        std::vector<char*> argv{const_cast<char*>(QFSTORE_CLI_PATH)};
        for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execv(QFSTORE_CLI_PATH, argv.data());
        _exit(127);
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(outFile), ReadFile(errFile)};
}

class StoresCliTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            saved_ = old;
        setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1);
    }
    void TearDown() override {
        if (saved_) {
            setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }
    Result String(std::vector<std::string> args) {
        args.insert(args.begin(), {"string", file_});
        return RunQfstore(args, dir_.Path().string());
    }
    Result Reg(std::vector<std::string> args) {
        args.insert(args.begin(), "reg");
        return RunQfstore(args, dir_.Path().string());
    }

    TempDir dir_;
    std::optional<std::string> saved_;
    std::string file_ = dir_.File("store.txt");
};

TEST_F(StoresCliTest, StringSetGetAndDelete) {
    EXPECT_EQ(String({"get", "Colour"}).status, 1);
    EXPECT_FALSE(fs::exists(file_));
    EXPECT_EQ(String({"set", "Colour", "Red"}).status, 0);
    EXPECT_EQ(String({"set", "List", "1", "2", "--delim", "|"}).status, 0);
    EXPECT_EQ(String({"set", "Colour", "Blue", "--path", "app", "--section", "main"}).status, 0);
    EXPECT_EQ(ReadFile(file_),
              "<\\..Colour={Red};/><\\..List={1|2};/><\\app.main.Colour={Blue};/>");

    const Result list = String({"get", "List", "--delim", "|", "--json"});
    EXPECT_EQ(list.status, 0) << list.err;
    EXPECT_EQ(list.out, "{\"type\": \"Long()\", \"value\": [1, 2]}\n");
    EXPECT_EQ(String({"get", "Colour", "--path", "app", "--section", "main"}).out, "Blue\n");
    EXPECT_EQ(String({"get", "Width", "--default", "7"}).out, "7\n");

    EXPECT_EQ(String({"delete", "Colour"}).status, 0);
    EXPECT_EQ(String({"delete", "Absent"}).status, 0);
    EXPECT_EQ(ReadFile(file_), "<\\..List={1|2};/><\\app.main.Colour={Blue};/>");
    const Result absent = String({"get", "Colour"});
    EXPECT_EQ(absent.status, 1);
    EXPECT_EQ(absent.out + absent.err, "");
}

TEST_F(StoresCliTest, StringRewriteKeepsModeAndLinkAndLeavesNoTemporaryFile) {
    WriteFile(file_, "<\\..a={1};/>");
    ASSERT_EQ(chmod(file_.c_str(), 0640), 0);
    const std::string link = dir_.File("link.txt");
    fs::create_symlink(file_, link);
    EXPECT_EQ(RunQfstore({"string", link, "set", "a", "2"}, dir_.Path().string()).status, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadFile(file_), "<\\..a={2};/>");
    struct stat st {};
    ASSERT_EQ(stat(file_.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir_.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"link.txt", "store.txt"}));
}

struct StringFailure {
    const char* name;
    const char* fileText;
    std::vector<std::string> args;  // after "string FILE"
    const char* err;
};
void PrintTo(const StringFailure& c, std::ostream* os) {
    *os << c.name;
}

class StringFailureTest : public StoresCliTest,
                          public ::testing::WithParamInterface<StringFailure> {};

TEST_P(StringFailureTest, ReportsAndLeavesTheFile) {
    const StringFailure& c = GetParam();
    WriteFile(file_, c.fileText);
    const Result r = String(c.args);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(ReadFile(file_), c.fileText);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StringFailureTest,
    ::testing::Values(
        StringFailure{"read_without_closing_tags",
                      "<\\..a={1};",
                      {"get", "a"},
                      "Error 5: Invalid procedure call or argument\nCall stack:\n  Qfstore\n"
                      "  QfStorageString.SSParseValue\n  QfStorageString.GetValue\n"},
        StringFailure{"edit_without_closing_tag",
                      "<\\..a={1};",
                      {"set", "a", "2"},
                      "Error 5: Invalid procedure call or argument\nCall stack:\n  Qfstore\n"
                      "  QfStorageString.SSEditValue\n  QfStorageString.SetValue\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoresCliTest, StringIntoMissingFolderIsError75) {
    const Result r =
        RunQfstore({"string", dir_.File("missing/s.txt"), "set", "a", "1"}, dir_.Path().string());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Error 75: Path/File access error\nCall stack:\n  qfstore\n");
    EXPECT_FALSE(fs::exists(dir_.File("missing")));
}

TEST_F(StoresCliTest, RegSetGetAndDelete) {
    const std::string key = "HKEY_CURRENT_USER\\Software\\Demo";
    EXPECT_EQ(Reg({key, "get", "n"}).status, 1);
    EXPECT_EQ(Reg({key, "set", "n", "4294967295", "--long"}).status, 0);
    EXPECT_EQ(Reg({key, "set", "t", "a", "b"}).status, 0);
    EXPECT_EQ(Reg({key, "set", "d", "2.50"}).status, 0);
    EXPECT_EQ(Reg({key, "get", "n", "--json"}).out, "{\"type\": \"Long\", \"value\": -1}\n");
    EXPECT_EQ(Reg({key, "get", "t"}).out, "a\nb\n");
    EXPECT_EQ(Reg({key, "get", "d", "--raw", "--json"}).out,
              "{\"type\": \"String\", \"value\": \"2.50\"}\n");
    EXPECT_EQ(Reg({key, "get", "x", "--default", "none"}).out, "none\n");
    EXPECT_EQ(Reg({key, "delete", "t"}).status, 0);
    EXPECT_EQ(Reg({key, "delete", "t"}).status, 0);
    EXPECT_EQ(Reg({key, "get", "t"}).status, 1);

    const Result parent = Reg({"HKEY_CURRENT_USER\\Software", "delete-key"});
    EXPECT_EQ(parent.status, 2);
    EXPECT_EQ(parent.err, "Error 5: Access denied\nCall stack:\n  QfRegistryKey.DeleteKey\n");
    EXPECT_EQ(Reg({key, "delete-key"}).status, 0);
    reg_check::Handle h = 0;
    EXPECT_EQ(reg_check::OpenKey(reg_check::HKEY_CURRENT_USER, "Software\\Demo",
                                 reg_check::KEY_QUERY_VALUE, &h),
              reg_check::kFileNotFound);
}

TEST_F(StoresCliTest, RegUnreadableValueIsAnError) {
    reg_check::Handle h = 0;
    ASSERT_EQ(
        reg_check::CreateKey(reg_check::HKEY_USERS, "K", reg_check::KEY_ALL_ACCESS, &h, nullptr),
        0);
    const uint8_t bytes[] = {1, 2};
    ASSERT_EQ(reg_check::SetValue(h, "raw", reg_check::REG_BINARY, bytes, 2), 0);
    reg_check::CloseKey(h);
    const Result r = Reg({"HKEY_USERS\\K", "get", "raw", "--default", "x"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err,
              "Error -1: The value is of a kind the store cannot read\nCall stack:\n"
              "  QfRegistryKey.GetValue\n");
}

struct UsageCase {
    const char* name;
    std::vector<std::string> args;
    const char* firstLine;
};
void PrintTo(const UsageCase& c, std::ostream* os) {
    *os << c.name;
}

class StoresUsageTest : public StoresCliTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(StoresUsageTest, ExitsWithSixtyFour) {
    const Result r = RunQfstore(GetParam().args, dir_.Path().string());
    EXPECT_EQ(r.status, 64);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), GetParam().firstLine);
    EXPECT_FALSE(fs::exists(dir_.File("config")));
}

INSTANTIATE_TEST_SUITE_P(
    Table, StoresUsageTest,
    ::testing::Values(UsageCase{"string_without_verb",
                                {"string", "f"},
                                "qfstore: expected FILE and a verb after 'string'"},
                      UsageCase{"string_set_without_value",
                                {"string", "f", "set", "a"},
                                "qfstore: expected NAME VALUE... after 'set'"},
                      UsageCase{"root_in_other_case",
                                {"reg", "hkey_users\\K", "get", "a"},
                                "qfstore: expected 'ROOT\\KEY' with ROOT one of HKEY_CLASSES_ROOT, "
                                "HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS"},
                      UsageCase{"no_key",
                                {"reg", "HKEY_USERS\\", "get", "a"},
                                "qfstore: expected 'ROOT\\KEY' with ROOT one of HKEY_CLASSES_ROOT, "
                                "HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS"},
                      UsageCase{"long_not_whole",
                                {"reg", "HKEY_USERS\\K", "set", "a", "2.5", "--long"},
                                "qfstore: --long needs one whole number that fits in 32 bits"},
                      UsageCase{"long_too_big",
                                {"reg", "HKEY_USERS\\K", "set", "a", "4294967296", "--long"},
                                "qfstore: --long needs one whole number that fits in 32 bits"},
                      UsageCase{"unknown_reg_verb",
                                {"reg", "HKEY_USERS\\K", "list"},
                                "qfstore: unknown reg verb 'list'"},
                      UsageCase{"register_with_argument",
                                {"register", "x"},
                                "qfstore: 'register' takes no arguments"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(StoresCliTest, RegisterAndUnregister) {
    auto exists = [](const std::string& key) {
        reg_check::Handle h = 0;
        const long status =
            reg_check::OpenKey(reg_check::HKEY_CLASSES_ROOT, key, reg_check::KEY_QUERY_VALUE, &h);
        if (status == 0)
            reg_check::CloseKey(h);
        return status == 0;
    };
    const Result registered = RunQfstore({"register"}, dir_.Path().string());
    EXPECT_EQ(registered.status, 0) << registered.err;
    EXPECT_TRUE(exists("Qfstore.QfRegistryKey\\CLSID"));
    EXPECT_TRUE(exists("Qfstore.QfStorageString\\CLSID"));
    const Result unregistered = RunQfstore({"unregister"}, dir_.Path().string());
    EXPECT_EQ(unregistered.status, 0) << unregistered.err;
    EXPECT_FALSE(exists("Qfstore.QfRegistryKey"));
    EXPECT_FALSE(exists("Qfstore.QfStorageString"));
}

}  // namespace
