// The INI rules as files on disk show them: reading, name lists, edits, writes that fail and the
// read cache.
#include "platform/profile.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

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

const ReadRow kReadRows[] = {
    {"CaseIgnored", "[Gears]\nFirst=2.5\n", "gEARS", "FIRST", "2.5"},
    {"BlanksInsideBrackets", "[ \tGears \t]\nk=1\n", "Gears", "k", "1"},
    {"HeaderWithoutBracket", "[Gears\nk=1\n", "Gears", "k", "1"},
    {"BlanksAroundNameAndValue", "[S]\n \t k \t=  a b \t\n", "S", "k", "a b"},
    {"ArgumentSpacesTrimmed", "[S]\nk=1\n", "  S ", " k  ", "1"},
    {"ArgumentTabsKept", "[S]\nk=1\n", "S", "\tk", std::nullopt},
    {"DoubleQuotes", "[S]\nk=\" a b \"\n", "S", "k", " a b "},
    {"OnlyOuterPairRemoved", "[S]\nk=\"\"x\"\"\n", "S", "k", "\"x\""},
    {"UnmatchedQuotesStay", "[S]\nk=\"x'\n", "S", "k", "\"x'"},
    {"SplitAtFirstEquals", "[S]\nk=a=b\n", "S", "k", "a=b"},
    {"FirstDuplicateSection", "[S]\nk=1\n[s]\nk=2\nj=3\n", "S", "k", "1"},
    {"LaterDuplicateSectionUnread", "[S]\nk=1\n[s]\nk=2\nj=3\n", "S", "j", std::nullopt},
    {"FirstDuplicateKey", "[S]\nk=1\nK=2\n", "S", "k", "1"},
    {"KeylessFirstSectionHidesLater", "[S]\n[s]\nk=2\n", "s", "k", std::nullopt},
    {"Comment", "[S]\n;k=1\n", "S", "k", std::nullopt},
    {"NoInlineComment", "[S]\nk=1 ; note\n", "S", "k", "1 ; note"},
    {"KeyBeforeFirstHeader", "k=1\n[S]\n", "S", "k", std::nullopt},
    {"LineWithoutEqualsIsNoKey", "[S]\nk\n", "S", "k", std::nullopt},
    {"Crlf", "[S]\r\nk=1\r\n", "S", "k", "1"},
    {"StrayCrIsABlank", "[S]\r\r\n\rk\r=\r1\r\r\n", "S", "k", "1"},
    {"CrInsideValueKept", "[S]\nk=a\rb\n", "S", "k", "a\rb"},
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

// Names in file order, long lists and values whole; nothing for missing files.
TEST(ProfileNames, ListEveryOccurrenceInFileOrderAndNothingForMissingFiles) {
    TempDir dir;
    std::string file = dir.File("names.ini");
    WriteFile(file, "k0=1\n[A]\nx=1\n;c=2\nnoeq\n y =2\nx=3\n=4\n[B]\n[a]\nz=3\n[]\n[ C ] tail\n");
    EXPECT_EQ(SectionNames(file), (std::vector<std::string>{"A", "B", "a", "", "C"}));
    EXPECT_EQ(KeyNames(file, "a"), (std::vector<std::string>{"x", "y", "x", ""}));
    EXPECT_TRUE(KeyNames(file, "B").empty());
    EXPECT_TRUE(KeyNames(file, "missing").empty());
    for (const std::string& missing : {dir.File("none.ini"), dir.Path().string()}) {
        EXPECT_EQ(ReadValue(missing, "S", "k"), std::nullopt);
        EXPECT_TRUE(SectionNames(missing).empty());
    }
    EXPECT_FALSE(fs::exists(dir.File("none.ini")));
    file = dir.File("long.ini");
    std::string text = "[Many]\n";
    std::vector<std::string> keys;
    for (int i = 0; i < 2000; ++i) {
        keys.push_back("Field" + std::to_string(i));
        text += keys.back() + "=" + std::to_string(i) + "\n";
    }
    WriteFile(file, text);
    const std::string value(5000, 'x');
    EXPECT_TRUE(WriteValue(file, "Long", "Value", value));
    EXPECT_EQ(ReadValue(file, "Long", "Value"), value);
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
    {"ReplaceKeepsFileSpelling", "[Gears]\nFirst=1\n", Op::kWrite, "GEARS", "first", "2",
     "[Gears]\nFirst=2\n"},
    {"ReplaceKeepsBlanksBeforeEquals", "[S]\n  k = old\n", Op::kWrite, "S", "k", "new",
     "[S]\n  k =new\n"},
    {"ReplaceFirstDuplicate", "[S]\nk=1\nk=2\n[s]\nk=3\n", Op::kWrite, "s", "K", "9",
     "[S]\nk=9\nk=2\n[s]\nk=3\n"},
    {"NewKeyAfterLastKeyLine", "[S]\na=1\nnoeq\n;c=1\n\n[T]\nt=1\n", Op::kWrite, "S", "b", "2",
     "[S]\na=1\nb=2\nnoeq\n;c=1\n\n[T]\nt=1\n"},
    {"NewKeyInSectionWithoutKeys", "[S]\n\n[T]\n", Op::kWrite, "S", "NewKey", "v",
     "[S]\nNewKey=v\n\n[T]\n"},
    {"KeyBeforeHeaderIsNotTheSections", "k=1\n[S]\n", Op::kWrite, "S", "k", "2", "k=1\n[S]\nk=2\n"},
    {"NewSectionAtEndWithoutBlankLine", "[A]\na=1\n", Op::kWrite, " New Sec ", "k", "v",
     "[A]\na=1\n[New Sec]\nk=v\n"},
    {"NewSectionAfterTrailingBlankLine", "[A]\na=1\n\n", Op::kWrite, "B", "k", "v",
     "[A]\na=1\n\n[B]\nk=v\n"},
    {"ValueWrittenAsGiven", "[S]\n", Op::kWrite, "S", "k", "\"q\" ; x", "[S]\nk=\"q\" ; x\n"},
    {"ValueQuotedWhenAReadWouldStripIt", "[S]\n", Op::kWrite, "S", "k", " \"q\" ",
     "[S]\nk=\" \"q\" \"\n"},
    {"LinesAfterABreakNeverReadAsHeaderOrKey", "[S]\nk=1\n", Op::kWrite, "S", "k",
     "a\r[T]\r\n [Other]\nb=evil\n\rc=d\n ; e\nplain",
     "[S]\nk=a\r;[T]\r\n; [Other]\n;b=evil\n;\r;c=d\n ; e\nplain\n"},
    {"CrlfForNewKey", "[A]\r\na=1\r\n", Op::kWrite, "A", "b", "2", "[A]\r\na=1\r\nb=2\r\n"},
    {"CrlfForNewSection", "[A]\r\na=1\r\n", Op::kWrite, "B", "k", "v",
     "[A]\r\na=1\r\n[B]\r\nk=v\r\n"},
    {"ByteOrderMarkKeptOnDeletingFirstLine", "\xEF\xBB\xBF[A]\na=1\n[B]\n", Op::kDeleteSection, "A",
     "", "", "\xEF\xBB\xBF[B]\n"},
    {"UnendedLastLineThenNewKey", "[A]\na=1", Op::kWrite, "A", "b", "2", "[A]\na=1\nb=2\n"},
    {"DeleteKey", "[S]\na=1\nb=2\n; c\n", Op::kDeleteKey, "S", "A", "", "[S]\nb=2\n; c\n"},
    {"DeleteFirstDuplicateKey", "[S]\nk=1\nK=2\n", Op::kDeleteKey, "S", "k", "", "[S]\nK=2\n"},
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
    const std::pair<std::string, std::string> refused[] = {
        {"T]x", "k"},    {"S\n", "k"}, {"\tS", "k"},    {"S \t ", "k"}, {"S", "a=z"},
        {"S", "[Evil"},  {"S", " ;c"}, {"S", "k\r"},    {"S", "\tk"},   {"S", "k\t"},
        {"S\n[X]", "k"}, {"S\r", "k"}, {"S", "k\nx=1"}, {"S", "\rk"}};
    const auto breaks = [](const std::string& s) { return s.find_first_of("\r\n") != s.npos; };
    for (const auto& [section, key] : refused) {
        SCOPED_TRACE(section + "|" + key);
        EXPECT_EQ(Described(WriteValue(file, section, key, "v")), "refused");
        // Deletions refuse only a line break; the other names are simply not in the file.
        EXPECT_EQ(Described(DeleteKey(file, section, key)),
                  breaks(section) || breaks(key) ? "refused" : "done");
        EXPECT_EQ(Described(DeleteSection(file, section)), breaks(section) ? "refused" : "done");
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
    EXPECT_GE(bytesOfSecondRead(1, 0), size);
    EXPECT_GE(bytesOfSecondRead(2, 0), size);
    EXPECT_LT(bytesOfSecondRead(2, 1), size);
    EXPECT_LT(bytesOfSecondRead(60, 0), size);
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
    EXPECT_EQ(Described(DeleteSection(dir.File("missing/s.ini"), "S")), "done");
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

// A read-only file, a read-only folder and an unreadable file, used without the superuser's
// right to ignore permissions: as user and group 65534 when this process is root.
TEST(ProfileFailure, ReadOnlyFileAndFolderFailAndStayUnchanged) {
    TempDir dir;
    fs::create_directory(dir.File("ro"));
    const std::string readOnly = dir.File("readonly.ini"), inFolder = dir.File("ro/settings.ini"),
                      secret = dir.File("secret.ini");
    for (const std::string& file : {readOnly, inFolder, secret}) WriteFile(file, kOriginal);
    fs::permissions(dir.Path(), fs::perms(0777));
    fs::permissions(readOnly, fs::perms(0444));
    fs::permissions(inFolder, fs::perms(0666));
    fs::permissions(dir.File("ro"), fs::perms(0555));
    fs::permissions(secret, fs::perms(0200));
    auto body = [&] {
        return Described(WriteValue(readOnly, "S", "k", "new")) + "," +
               Described(DeleteKey(readOnly, "S", "k")) + "," +
               Described(DeleteSection(readOnly, "S")) + "," +
               ReadValue(readOnly, "S", "k").value_or("unread") + "," +
               Described(WriteValue(inFolder, "S", "k", "new")) + "," +
               Described(WriteValue(dir.File("ro/new.ini"), "S", "k", "v")) + "," +
               ReadValue(secret, "S", "k").value_or("missing") + "," +
               std::to_string(SectionNames(secret).size());
    };
    const std::string outcome = InChild(
        [] {
            return geteuid() != 0 ||
                   (setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 &&
                    setresuid(65534, 65534, 65534) == 0);
        },
        body);
    fs::permissions(dir.File("ro"), fs::perms(0700));
    const std::string e = AccessError(readOnly, "cannot open it for writing: Permission denied");
    const std::string noTemp = "cannot create a temporary file beside it: Permission denied";
    EXPECT_EQ(outcome, e + "," + e + "," + e + ",old," + AccessError(inFolder, noTemp) + "," +
                           AccessError(dir.File("ro/new.ini"), noTemp) + ",missing,0");
    EXPECT_EQ(ReadFile(readOnly), kOriginal);
    EXPECT_EQ(ReadFile(inFolder), kOriginal);
    EXPECT_EQ(EntryCount(dir.Path()), 3u);
    EXPECT_EQ(EntryCount(dir.File("ro")), 1u);
}

}  // namespace
