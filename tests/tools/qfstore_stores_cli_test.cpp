// `qfstore string`, `qfstore reg`, `register` and `unregister` as a user runs them: real files,
// a registry database in the temporary folder, the output and the exit status.
#include <chrono>
#include <string>

#include "qfstore_run.h"
#include "read_only_registry.h"
#include "registry_lock.h"

namespace {

using qfstore_test::Case;
using qfstore_test::CliTable;
using qfstore_test::CliTest;

// clang-format off
INSTANTIATE_TEST_SUITE_P(Stores, CliTable, ::testing::Values(
    Case{"string_get_absent", nullptr, {"string", "f", "get", "a"}, 1, "", "", nullptr},
    Case{"string_get_qualified_json", "<\\app.main.L={1|2};/>", {"string", "f", "get", "L", "--path", "app", "--section", "main", "--delim", "|", "--json"}, 0, "{\"type\": \"Long()\", \"value\": [1, 2]}\n", "", nullptr},
    Case{"string_set_qualified", "<\\..a={1};/>", {"string", "f", "set", "b", "2", "3", "--path", "app", "--section", "main"}, 0, "", "", "<\\..a={1};/><\\app.main.b={2\t3};/>"},
    Case{"string_delete", "<\\..a={1};/><\\..b={2};/>", {"string", "f", "delete", "a"}, 0, "", "", "<\\..b={2};/>"},
    Case{"string_value_holding_a_search_key", "<\\..B={1};/>", {"string", "f", "set", "A", "see <\\..B={ here"}, 2, "", "Error 5: Invalid procedure call or argument: value \"see <\\\\..B={ here\" holds the tag \"<\\\\\"\nCall stack:\n  Qfstore\n  QfStorageString.SetValue\n", nullptr},
    Case{"string_error_leaves_the_file", "<\\..a={1};", {"string", "f", "set", "a", "2"}, 2, "", "Error 5: Invalid procedure call or argument: field \"..a\" has no closing tags \"};/>\"\nCall stack:\n  Qfstore\n  QfStorageString.SSEditValue\n  QfStorageString.SetValue\n", nullptr},
    Case{"string_into_missing_folder", nullptr, {"string", "missing/f", "set", "a", "1"}, 2, "", "Error 75: Path/File access error: missing/f: cannot open its folder: No such file or directory\nCall stack:\n  qfstore\n", nullptr},
    Case{"string_set_without_value", nullptr, {"string", "f", "set", "a"}, 64, "", "qfstore: expected NAME VALUE... after 'set'", nullptr},
    Case{"reg_root_in_other_case", nullptr, {"reg", "hkey_users\\K", "get", "a"}, 64, "", "qfstore: expected 'ROOT\\KEY' with ROOT one of HKEY_CLASSES_ROOT, HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE, HKEY_USERS", nullptr},
    Case{"reg_without_verb", nullptr, {"reg", "HKEY_USERS\\K"}, 64, "", "qfstore: expected 'ROOT\\KEY' and a verb after 'reg'", nullptr},
    Case{"reg_unknown_verb", nullptr, {"reg", "HKEY_USERS\\K", "list"}, 64, "", "qfstore: unknown reg verb 'list'", nullptr},
    Case{"reg_long_too_big", nullptr, {"reg", "HKEY_USERS\\K", "set", "a", "4294967296", "--long"}, 64, "", "qfstore: --long needs one whole number that fits in 32 bits", nullptr}),
    qfstore_test::CaseName);
// clang-format on

// A failure of the registry's database says what failed and names the file; where no database
// can be made, a read finds nothing.
TEST_F(CliTest, RegistryDatabaseFailureNamesTheFile) {
    testing_support::WriteFile(dir_.File("config"), "");
    EXPECT_EQ(Run({"reg", "HKEY_CURRENT_USER\\K", "get", "a"}).status, 1);
    const qfstore_test::Result r = Run({"reg", "HKEY_CURRENT_USER\\K", "set", "a", "1"});
    EXPECT_EQ(r.status, 2);
    const std::string folder = dir_.File("config/qfstore");
    EXPECT_EQ(r.err, "Error 1013: The registry database " + folder +
                         "/registry.sqlite3 could not be created: " + folder +
                         ": Not a directory\nCall stack:\n  QfRegistryKey.SetValue\n");
}

// A key not yet in the database reads as empty where it cannot be created: in a database that
// cannot be written, and while another process holds the lock (after a reader's 5 s). The first
// write that can be made creates it.
TEST_F(CliTest, AKeyThatCannotBeCreatedReadsAsEmpty) {
    const std::string database = dir_.File("config/qfstore/registry.sqlite3");
    const std::string key = "HKEY_CURRENT_USER\\New";
    ASSERT_EQ(Run({"reg", "HKEY_CURRENT_USER\\Old", "set", "v", "1"}).status, 0);
    const auto readOnly = [&] {
        return testing_support::CannotWriteRegistry(dir_.Path(), database);
    };
    const qfstore_test::Result read = Run({"reg", key, "get", "v"}, readOnly);
    EXPECT_EQ(read.status, 1);
    EXPECT_EQ(read.out + read.err, "");
    const qfstore_test::Result write = Run({"reg", key, "set", "v", "x"}, readOnly);
    EXPECT_EQ(write.err, "Error 1013: The registry database " + database +
                             " could not be written: attempt to write a readonly database (SQLite "
                             "error 8)\nCall stack:\n  QfRegistryKey.SetValue\n");
    testing_support::RegistryLockHolder holder(database);
    ASSERT_TRUE(holder.Held());
    const auto start = std::chrono::steady_clock::now();
    const qfstore_test::Result busy = Run({"reg", key, "get", "v"});
    const std::chrono::duration<double> waited = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(busy.status, 1);
    EXPECT_EQ(busy.out + busy.err, "");
    EXPECT_TRUE(waited.count() > 4.9 && waited.count() < 8) << waited.count();
    EXPECT_TRUE(holder.Release());
    EXPECT_EQ(Run({"reg", key, "set", "v", "x"}).status, 0);
    EXPECT_EQ(Run({"reg", key, "get", "v"}).out, "x\n");
}

// The reg verbs and the library's registration in turn, each step checked through the client.
TEST_F(CliTest, RegVerbsAndRegistrationInTurn) {
    const std::string key = "HKEY_CURRENT_USER\\Software\\Demo";
    const std::string parent = "HKEY_CURRENT_USER\\Software";
    const std::string clsid = "HKEY_CLASSES_ROOT\\Qfstore.QfRegistryKey\\CLSID";
    // clang-format off
    const Case steps[] = {
        {"absent", nullptr, {"reg", key, "get", "n"}, 1, "", "", nullptr},
        {"set_long", nullptr, {"reg", key, "set", "n", "4294967295", "--long"}, 0, "", "", nullptr},
        {"get_long", nullptr, {"reg", key, "get", "n", "--json"}, 0, "{\"type\": \"Long\", \"value\": -1}\n", "", nullptr},
        {"set_list", nullptr, {"reg", key, "set", "t", "a", "b"}, 0, "", "", nullptr},
        {"get_list", nullptr, {"reg", key, "get", "t"}, 0, "a\nb\n", "", nullptr},
        {"delete", nullptr, {"reg", key, "delete", "t"}, 0, "", "", nullptr},
        {"deleted", nullptr, {"reg", key, "get", "t"}, 1, "", "", nullptr},
        {"delete_parent_key", nullptr, {"reg", parent, "delete-key"}, 2, "", "Error 5: Access denied\nCall stack:\n  QfRegistryKey.DeleteKey\n", nullptr},
        {"delete_key", nullptr, {"reg", key, "delete-key"}, 0, "", "", nullptr},
        {"register", nullptr, {"register"}, 0, "", "", nullptr},
        {"registered", nullptr, {"reg", clsid, "get", ""}, 0, "{C4DF3EEB-27D6-4904-BFB7-3279F0883B68}\n", "", nullptr},
        {"unregister", nullptr, {"unregister"}, 0, "", "", nullptr},
        {"unregistered", nullptr, {"reg", clsid, "get", ""}, 1, "", "", nullptr},
    };
    // clang-format on
    for (const Case& step : steps) {
        SCOPED_TRACE(step.name);
        Expect(step);
    }
}

}  // namespace
