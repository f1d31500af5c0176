// `qfstore ini`, `version` and `--help` as a user runs them: a real file named relative to the
// working folder, the output and every exit status.
#include <filesystem>
#include <string>
#include <vector>

#include "qfstore_run.h"

namespace {

using qfstore_test::Case;
using qfstore_test::CliTable;
using qfstore_test::CliTest;
using qfstore_test::Result;

const char kAB[] = "[A]\nx=1\ny=2\n[B]\nz=3\n";

// clang-format off
INSTANTIATE_TEST_SUITE_P(Ini, CliTable, ::testing::Values(
    Case{"get", "[S]\nk=hello world\n", {"ini", "f", "get", "S", "k"}, 0, "hello world\n", "", nullptr},
    Case{"get_json", "[S]\nk=2.50\n", {"ini", "f", "get", "S", "k", "--json"}, 0, "{\"type\": \"Double\", \"value\": 2.5}\n", "", nullptr},
    Case{"get_delim_json", "[S]\nk=3|4|5\n", {"ini", "f", "get", "S", "k", "--delim", "|", "--json"}, 0, "{\"type\": \"Long()\", \"value\": [3, 4, 5]}\n", "", nullptr},
    Case{"get_json_escapes", "[S]\nk=q\\ \x01\x7f\xff \xc3\xa9\n", {"ini", "f", "get", "S", "k", "--json"}, 0, "{\"type\": \"String\", \"value\": \"q\\\\ \\u0001\\u007f\\ufffd \xc3\xa9\"}\n", "", nullptr},
    Case{"get_default", "[S]\n", {"ini", "f", "get", "S", "k", "--default", "7"}, 0, "7\n", "", nullptr},
    Case{"get_absent", "[S]\nother=1\n", {"ini", "f", "get", "S", "k", "--json"}, 1, "", "", nullptr},
    Case{"sections", kAB, {"ini", "f", "sections"}, 0, "A\nB\n", "", nullptr},
    Case{"keys", kAB, {"ini", "f", "keys", "A"}, 0, "x\ny\n", "", nullptr},
    Case{"set_new_file", nullptr, {"ini", "f", "set", "S", "k", "3", "4", "--delim", "|"}, 0, "", "", "[S]\nk=3|4\n"},
    Case{"set_tab_list_after_options_end", "[S]\nk=1\n", {"ini", "f", "set", "S", "k", "--", "-h", "--help"}, 0, "", "", "[S]\nk=-h\t--help\n"},
    Case{"set_help_as_value", "[S]\nk=1\n", {"ini", "f", "set", "S", "k", "-h"}, 64, "", "qfstore: -h counts only in place of the command; after \"--\" it is a value", nullptr},
    Case{"get_help_as_option", nullptr, {"ini", "f", "get", "--help"}, 64, "", "qfstore: --help counts only in place of the command; after \"--\" it is a value", nullptr},
    Case{"delete_key", kAB, {"ini", "f", "delete", "A", "x"}, 0, "", "", "[A]\ny=2\n[B]\nz=3\n"},
    Case{"delete_section", kAB, {"ini", "f", "delete", "B"}, 0, "", "", "[A]\nx=1\ny=2\n"},
    Case{"set_padded_value_quoted", "[S]\n", {"ini", "f", "set", "S", "k", "  padded  "}, 0, "", "", "[S]\nk=\"  padded  \"\n"},
    Case{"set_line_break_refused", "[S]\nb=1\n", {"ini", "f", "set", "S", "a", "1\nb=evil"}, 2, "", "Error 5: Invalid procedure call or argument: value \"1\\nb=evil\" holds \"\\n\"\nCall stack:\n  Qfstore\n  QfINIFileHandler.SetValue\n", nullptr},
    Case{"set_section_name_refused", nullptr, {"ini", "f", "set", "T]x", "k", "v"}, 2, "", "Error 5: Invalid procedure call or argument: section name \"T]x\" holds \"]\"\nCall stack:\n  Qfstore\n  QfINIFileHandler.INISetValue\n  QfINIFileHandler.SetValue\n", nullptr},
    Case{"error", "[S]\nk=1e400\n", {"ini", "f", "get", "S", "k"}, 2, "", "Error 6: Overflow\nCall stack:\n  Qfstore\n  PrepForGet\n  QfINIFileHandler.GetValue\n", nullptr},
    Case{"version", nullptr, {"version"}, 0, "Qfstore - 1.2.3\n", "", nullptr},
    Case{"version_option", nullptr, {"--version"}, 0, "Qfstore - 1.2.3\n", "", nullptr},
    Case{"no_command", nullptr, {}, 64, "", "qfstore: expected a command", nullptr},
    Case{"unknown_command", nullptr, {"frobnicate"}, 64, "", "qfstore: unknown command 'frobnicate'", nullptr},
    Case{"version_with_argument", nullptr, {"version", "x"}, 64, "", "qfstore: 'version' takes no arguments", nullptr},
    Case{"no_verb", nullptr, {"ini", "f"}, 64, "", "qfstore: expected FILE and a verb after 'ini'", nullptr},
    Case{"unknown_verb", nullptr, {"ini", "f", "put"}, 64, "", "qfstore: unknown ini verb 'put'", nullptr},
    Case{"unknown_option", nullptr, {"ini", "f", "get", "S", "k", "--fast"}, 64, "", "qfstore: unknown option --fast", nullptr},
    Case{"set_without_value", nullptr, {"ini", "f", "set", "S", "k"}, 64, "", "qfstore: expected SECTION KEY VALUE... after 'set'", nullptr}),
    qfstore_test::CaseName);
// clang-format on

TEST_F(CliTest, HelpPrintsTheUsageAndExitsWithZero) {
    for (const std::vector<std::string>& args : {std::vector<std::string>{"--help"}, {"-h"}}) {
        const Result r = Run(args);
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.out.rfind("Usage:\n  qfstore version\n", 0), 0u) << r.out;
        EXPECT_NE(r.out.find("\n  64  a usage error"), std::string::npos);
        EXPECT_EQ(r.err, "");
    }
}

TEST_F(CliTest, OutputThatCannotBeWrittenExitsWithTwo) {
    testing_support::WriteFile(dir_.File("f"), kAB);
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"ini", "f", "sections"}, {"--help"}}) {
        const qfstore_test::Result r =
            qfstore_test::RunQfstore(args, dir_.Path().string(), QFSTORE_CLI_PATH, "/dev/full");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err,
                  "qfstore: standard output could not be written: No space left on device\n");
    }
}

TEST_F(CliTest, MissingLibraryExitsWithTwo) {
    const std::string lonely = dir_.File("qfstore");
    std::filesystem::copy_file(QFSTORE_CLI_PATH, lonely);
    const Result r = qfstore_test::RunQfstore({"version"}, dir_.Path().string(), lonely);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "Error 429: Can't create object\nCall stack:\n  qfstore\n");
}

}  // namespace
