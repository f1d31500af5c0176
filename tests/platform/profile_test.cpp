// The INI rules as files on disk show them: reading, name lists, edits, writes that fail and the
// read cache.
#include "platform/profile.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "platform/file_rewrite.h"
#include "status_text.h"
#include "temp_dir.h"

using namespace platform::profile;
using namespace testing_support;
namespace fs = std::filesystem;

namespace {

struct ReadRow {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    std::optional<std::string> expected;
};

// The rules a user editing the file by hand meets first. Every other read rule is checked against
// a plain reading of the rules by the fuzz test (tests/fuzz/profile_fuzz.cpp).
const ReadRow kReadRows[] = {
    {"CaseIgnored", "[Gears]\nFirst=2.5\n", "gEARS", "FIRST", "2.5"},
    {"BlanksAroundNameAndValue", "[S]\n \t k \t=  a b \t\n", "S", "k", "a b"},
    {"ArgumentSpacesTrimmed", "[S]\nk=1\n", "  S ", " k  ", "1"},
    {"ArgumentTabsKept", "[S]\nk=1\n", "S", "\tk", std::nullopt},
    {"DoubleQuotes", "[S]\nk=\" a b \"\n", "S", "k", " a b "},
    {"NoInlineComment", "[S]\nk=1 ; note\n", "S", "k", "1 ; note"},
    {"Crlf", "[S]\r\nk=1\r\n", "S", "k", "1"},
    {"ByteOrderMark", "\xEF\xBB\xBF[S]\nk=1\n", "S", "k", "1"},
};

TEST(Profile, FileTextReadsAsExpected) {
    TempDir dir;
    const std::string file = dir.File("rules.ini");
    for (const ReadRow& row : kReadRows) {
        SCOPED_TRACE(row.name);
        WriteFile(file, row.text);
        EXPECT_EQ(ReadValue(file, row.section, row.key), row.expected);
    }
}

// Nothing, and no file made, for a missing file or a folder; a long section lists every key in
// file order and reads its last. (Name lists in general: the fuzz test.)
TEST(ProfileNames, NothingForMissingFilesAndLongListsWhole) {
    TempDir dir;
    for (const std::string& missing : {dir.File("none.ini"), dir.Path().string()}) {
        EXPECT_EQ(ReadValue(missing, "S", "k"), std::nullopt);
        EXPECT_TRUE(SectionNames(missing).empty());
    }
    EXPECT_FALSE(fs::exists(dir.File("none.ini")));
    const std::string file = dir.File("long.ini");
    std::string text = "[Many]\n";
    std::vector<std::string> keys;
    for (int i = 0; i < 2000; ++i) {
        keys.push_back("Field" + std::to_string(i));
        text += keys.back() + "=" + std::to_string(i) + "\n";
    }
    WriteFile(file, text);
    EXPECT_EQ(KeyNames(file, "Many"), keys);
    EXPECT_EQ(ReadValue(file, "many", "field1999"), "1999");
}

enum class Op { kWrite, kDeleteKey, kDeleteSection };

struct EditRow {
    const char* name;
    std::optional<std::string> before;  // nullopt: no file
    Op op;
    const char* section;
    const char* key;
    std::string value;
    std::optional<std::string> after;  // nullopt: still no file
};

const EditRow kEditRows[] = {
    {"NewFile", std::nullopt, Op::kWrite, "S", "k", "v", "[S]\nk=v\n"},
    {"ReplaceKeepsEveryOtherByte", "; top\n\n[S]\nk=old\n\n; c\n[T]\nk=x\n", Op::kWrite, "S", "k",
     "new", "; top\n\n[S]\nk=new\n\n; c\n[T]\nk=x\n"},
    // The first of duplicate sections and keys, its spelling and the blanks before "=" kept.
    {"ReplaceFirstDuplicateKeepingSpellingAndBlanks",
     "[Gears]\n  First = 1\nfirst=2\n[gears]\nfirst=3\n", Op::kWrite, "GEARS", "FIRST", "9",
     "[Gears]\n  First =9\nfirst=2\n[gears]\nfirst=3\n"},
    {"NewKeyAfterLastKeyLine", "[S]\na=1\nnoeq\n;c=1\n\n[T]\nt=1\n", Op::kWrite, "S", "b", "2",
     "[S]\na=1\nb=2\nnoeq\n;c=1\n\n[T]\nt=1\n"},
    {"NewKeyInSectionWithoutKeys", "[S]\n\n[T]\n", Op::kWrite, "S", "NewKey", "v",
     "[S]\nNewKey=v\n\n[T]\n"},
    {"NewSectionAtEndWithoutBlankLine", "[A]\na=1\n", Op::kWrite, " New Sec ", "k", "v",
     "[A]\na=1\n[New Sec]\nk=v\n"},
    {"ValueWrittenAsGiven", "[S]\n", Op::kWrite, "S", "k", "\"q\" ; x", "[S]\nk=\"q\" ; x\n"},
    {"LinesAfterABreakNeverReadAsHeaderOrKey", "[S]\nk=1\n", Op::kWrite, "S", "k",
     "a\r[T]\r\n [Other]\nb=evil\n\rc=d\n ; e\nplain",
     "[S]\nk=a\r;[T]\r\n; [Other]\n;b=evil\n;\r;c=d\n ; e\nplain\n"},
    {"CrlfForNewSection", "[A]\r\na=1\r\n", Op::kWrite, "B", "k", "v",
     "[A]\r\na=1\r\n[B]\r\nk=v\r\n"},
    {"ByteOrderMarkKeptOnDeletingFirstLine", "\xEF\xBB\xBF[A]\na=1\n[B]\n", Op::kDeleteSection, "A",
     "", "", "\xEF\xBB\xBF[B]\n"},
    {"UnendedLastLineThenNewKey", "[A]\na=1", Op::kWrite, "A", "b", "2", "[A]\na=1\nb=2\n"},
    {"DeleteFirstDuplicateKey", "[S]\na=1\nb=2\nA=3\n; c\n", Op::kDeleteKey, "S", "A", "",
     "[S]\nb=2\nA=3\n; c\n"},
    {"DeleteKeyOfMissingFile", std::nullopt, Op::kDeleteKey, "S", "a", "", std::nullopt},
    {"DeleteSectionWithItsLines", "; top\n[A]\na=1\n; c\n\n[B]\nb=1\n", Op::kDeleteSection, " a ",
     "", "", "; top\n[B]\nb=1\n"},
};

TEST(Profile, EditsLeaveExactlyTheExpectedBytes) {
    for (const EditRow& row : kEditRows) {
        SCOPED_TRACE(row.name);
        TempDir dir;
        const std::string file = dir.File("edit.ini");
        if (row.before)
            WriteFile(file, *row.before);
        if (row.op == Op::kWrite) {
            EXPECT_TRUE(WriteValue(file, row.section, row.key, row.value));
        } else if (row.op == Op::kDeleteKey) {
            EXPECT_TRUE(DeleteKey(file, row.section, row.key));
        } else {
            EXPECT_TRUE(DeleteSection(file, row.section));
        }
        EXPECT_EQ(fs::exists(file) ? std::optional(ReadFile(file)) : std::nullopt, row.after);
        // Nothing is left beside the file.
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), row.after ? 1 : 0);
    }
}

TEST(ProfileWrite, NamesReadBackAsWrittenOrAreRefused) {
    TempDir dir;
    const std::string file = dir.File("names.ini");
    const std::pair<std::string, std::string> accepted[] = {
        {"[x;", "k]"}, {"", ""}, {" a=b ", " c;[ "}, {"x\vy", "#k"}};
    for (const auto& [section, key] : accepted) {
        EXPECT_TRUE(WriteValue(file, section, key, "v"));
        EXPECT_EQ(ReadValue(file, section, key), "v") << section << "|" << key;
    }
    const std::string before = ReadFile(file);
    // One name for each rule that refuses it, and what the refusal says.
    const std::array<std::string, 3> refused[] = {
        {"T]x\x01\"", "k", R"(section name "T]x\x01\"" holds "]")"},
        {"S\r", "k", R"(section name "S\r" holds "\r")"},
        {"S \t ", "k", R"(section name "S \t " ends with "\t")"},
        {"\tS", "k", R"(section name "\tS" begins with "\t")"},
        {"S", "a=z", R"(key name "a=z" holds "=")"},
        {"S", "[Evil", R"(key name "[Evil" begins with "[")"},
        {"S", " ;c", R"(key name " ;c" begins with ";")"},
        {"S", "\tk", R"(key name "\tk" begins with "\t")"},
        {"S", "k\nx=1", R"(key name "k\nx=1" holds "\n")"}};
    const auto breaks = [](const std::string& s) { return s.find_first_of("\r\n") != s.npos; };
    for (const auto& [section, key, why] : refused) {
        SCOPED_TRACE(section + "|" + key);
        EXPECT_EQ(Described(WriteValue(file, section, key, "v")), "refused|" + why);
        // Deletions refuse only a line break; the other names are simply not in the file.
        EXPECT_EQ(Described(DeleteKey(file, section, key)),
                  breaks(section) || breaks(key) ? "refused|" + why : "done");
        EXPECT_EQ(Described(DeleteSection(file, section)),
                  breaks(section) ? "refused|" + why : "done");
    }
    EXPECT_EQ(ReadFile(file), before);
}

TEST(ProfileCache, InPlaceRewritesRemovalsAndReplacementsAreSeen) {
    TempDir dir;
    const std::string file = dir.File("cache.ini"), other = dir.File("other.ini");
    WriteFile(file, "[S]\nk=aaa\n");
    EXPECT_EQ(ReadValue(file, "S", "k"), "aaa");
    const ino_t inode = platform::files::StampOf(file)->inode;
    for (const char* value : {"bbb", "ccc", "aaa"}) {
        WriteFile(file, std::string("[S]\nk=") + value + "\n");
        ASSERT_EQ(platform::files::StampOf(file)->inode, inode);
        EXPECT_EQ(ReadValue(file, "S", "k"), value);
    }
    fs::remove(file);
    EXPECT_EQ(ReadValue(file, "S", "k"), std::nullopt);
    WriteFile(other, "[T]\nk=2\n");
    fs::rename(other, file);
    EXPECT_EQ(SectionNames(file), std::vector<std::string>{"T"});
}

TEST(ProfileCache, ManyFilesReadFromManyThreads) {
    TempDir dir;
    constexpr int kFiles = 12;  // more than the cache holds
    for (int f = 0; f < kFiles; ++f)
        WriteFile(dir.File(std::to_string(f) + ".ini"), "[S]\nk=" + std::to_string(f) + "\n");
    std::vector<std::thread> readers;
    std::vector<int> wrong(4, 0);
    for (size_t t = 0; t < wrong.size(); ++t) {
        readers.emplace_back([&, t] {
            for (int round = 0; round < 200; ++round) {
                const std::string f = std::to_string((round * 7 + static_cast<int>(t)) % kFiles);
                wrong[t] += ReadValue(dir.File(f + ".ini"), "S", "k") != f;
            }
        });
    }
    for (std::thread& reader : readers) reader.join();
    EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

// Bytes this process has read so far, all files and threads together.
long long BytesRead() {
    std::ifstream io("/proc/self/io");
    std::string name;
    long long value = 0;
    while (io >> name >> value) {
        if (name == "rchar:")
            return value;
    }
    return -1;
}

// The read cache's settle window, on a clock the test sets. A file may change without changing
// its stamp while it is young, so a young file's bytes are read again on every read; a settled
// one is trusted on its stamp and not read at all. Bytes read show which it was.
TEST(ProfileCache, YoungFilesAreReadAgainSettledOnesTrustTheirStamp) {
    TempDir dir;
    const std::string file = dir.File("big.ini");
    const std::string text = "[S]\nk=v\nfill=" + std::string(100000, 'x') + "\n";
    WriteFile(file, text);
    const timespec changed = platform::files::StampOf(file)->changed;
    // Bytes the second of two reads takes, with the clock `seconds` and `nanoseconds` after the
    // file's last change.
    const auto bytesOfSecondRead = [&](time_t seconds, long nanoseconds) {
        timespec now{changed.tv_sec + seconds, changed.tv_nsec + nanoseconds};
        if (now.tv_nsec >= 1'000'000'000) {
            now.tv_nsec -= 1'000'000'000;
            ++now.tv_sec;
        }
        DropCache();
        SetClockHook([now] { return now; });
        EXPECT_EQ(ReadValue(file, "S", "k"), "v");
        const long long before = BytesRead();
        EXPECT_EQ(ReadValue(file, "S", "k"), "v");
        const long long read = BytesRead() - before;
        SetClockHook({});
        return read;
    };
    ASSERT_GE(BytesRead(), 0);
    const auto size = static_cast<long long>(text.size());
    // Within the two seconds after the last change the file is young and read again; from one
    // nanosecond beyond them on it is settled.
    EXPECT_GE(bytesOfSecondRead(2, 0), size);
    EXPECT_LT(bytesOfSecondRead(2, 1), size);
    DropCache();
}

// Writes that cannot be carried out: the status reported and the files left as they were.
constexpr const char* kOriginal = "; keep\n[S]\nk=old\n";

// A failed write as the engine reports it: the file and what failed.
std::string AccessError(const std::string& file, const std::string& what) {
    return "failed|" + file + ": " + what;
}

size_t EntryCount(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

// A full disk, and a folder in the file's place. (A missing folder, and a file in a folder's place,
// fail with their texts through the INI store in IniStoreTest.FailedWritesRaiseWithTheCallStack...)
TEST(ProfileFailure, FullDiskOrAFolderInTheFilesPlaceFailsAndChangesNothing) {
    TempDir dir;
    const std::string file = dir.File("full.ini"), folder = dir.File("settings.ini");
    WriteFile(file, kOriginal);
    fs::create_directory(folder);
    EXPECT_EQ(Described(WriteValue(folder, "S", "k", "v")),
              AccessError(folder, "cannot open it for writing: Is a directory"));
    EXPECT_TRUE(fs::is_directory(folder));
    // Removing from a file that cannot exist finds nothing to remove.
    EXPECT_EQ(Described(DeleteKey(dir.File("missing/s.ini"), "S", "k")), "done");
    // A file-size limit makes the write fail as a full disk does, for root as well.
    const rlimit limit{4096, 4096};
    EXPECT_EQ(InChild(
                  [&] {
                      return signal(SIGXFSZ, SIG_IGN) != SIG_ERR &&
                             setrlimit(RLIMIT_FSIZE, &limit) == 0;
                  },
                  [&] { return Described(WriteValue(file, "S", "k", std::string(10000, 'x'))); }),
              AccessError(file, "cannot write it: File too large"));
    EXPECT_EQ(ReadFile(file), kOriginal);
    EXPECT_EQ(EntryCount(dir.Path()), 2u);
}

// A read-only folder and an unreadable file, used without the superuser's right to ignore
// permissions: as user and group 65534 when this process is root. (A file that cannot be opened
// for writing fails at the same step as the folder in the file's place above.)
TEST(ProfileFailure, ReadOnlyFolderFailsUnreadableFileReadsAsMissing) {
    TempDir dir;
    fs::create_directory(dir.File("ro"));
    const std::string inFolder = dir.File("ro/settings.ini"), secret = dir.File("secret.ini");
    for (const std::string& file : {inFolder, secret}) WriteFile(file, kOriginal);
    fs::permissions(dir.Path(), fs::perms(0777));
    fs::permissions(inFolder, fs::perms(0666));
    fs::permissions(dir.File("ro"), fs::perms(0555));
    fs::permissions(secret, fs::perms(0200));
    auto body = [&] {
        return Described(WriteValue(inFolder, "S", "k", "new")) + "," +
               Described(WriteValue(dir.File("ro/new.ini"), "S", "k", "v")) + "," +
               ReadValue(secret, "S", "k").value_or("missing");
    };
    const std::string outcome = InChild(
        [] {
            return geteuid() != 0 ||
                   (setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 &&
                    setresuid(65534, 65534, 65534) == 0);
        },
        body);
    fs::permissions(dir.File("ro"), fs::perms(0700));
    const std::string noTemp = "cannot create a temporary file beside it: Permission denied";
    EXPECT_EQ(outcome, AccessError(inFolder, noTemp) + "," +
                           AccessError(dir.File("ro/new.ini"), noTemp) + ",missing");
    EXPECT_EQ(ReadFile(inFolder), kOriginal);
    EXPECT_EQ(EntryCount(dir.File("ro")), 1u);
}

}  // namespace
