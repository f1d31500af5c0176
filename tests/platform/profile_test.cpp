// The INI rules as files on disk show them: reading, name lists, edits and the read cache.
#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "status_text.h"
#include "temp_dir.h"

using namespace platform::profile;
using testing_support::Described;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

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

TEST(ProfileNames, ListEveryOccurrenceInFileOrderAndNothingForMissingFiles) {
    TempDir dir;
    const std::string file = dir.File("names.ini");
    WriteFile(file, "k0=1\n[A]\nx=1\n;c=2\nnoeq\n y =2\nx=3\n=4\n[B]\n[a]\nz=3\n[]\n[ C ] tail\n");
    EXPECT_EQ(SectionNames(file), (std::vector<std::string>{"A", "B", "a", "", "C"}));
    EXPECT_EQ(KeyNames(file, "a"), (std::vector<std::string>{"x", "y", "x", ""}));
    EXPECT_TRUE(KeyNames(file, "B").empty());
    EXPECT_TRUE(KeyNames(file, "missing").empty());
    for (const std::string& missing : {dir.File("none.ini"), dir.Path().string()}) {
        EXPECT_EQ(ReadValue(missing, "S", "k"), std::nullopt);
        EXPECT_TRUE(SectionNames(missing).empty());
    }
    EXPECT_FALSE(std::filesystem::exists(dir.File("none.ini")));
}

TEST(ProfileNames, LongValueAndLongListsComeBackWhole) {
    TempDir dir;
    const std::string file = dir.File("long.ini");
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
        EXPECT_EQ(std::filesystem::exists(file) ? std::optional(ReadFile(file)) : std::nullopt,
                  row.after);
        // Nothing is left beside the file.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}),
                  row.after ? 1 : 0);
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
        {"T]x", "k"},   {"S\n", "k"}, {"\tS", "k"}, {"S \t ", "k"}, {"S", "a=z"},
        {"S", "[Evil"}, {"S", " ;c"}, {"S", "k\r"}, {"S", "\tk"},   {"S", "k\t"}};
    for (const auto& [section, key] : refused) {
        EXPECT_EQ(Described(WriteValue(file, section, key, "v")), "refused")
            << section << "|" << key;
    }
    EXPECT_EQ(ReadFile(file), before);
}

TEST(ProfileWrite, KeepsPermissionsAndSymbolicLinks) {
    TempDir dir;
    const std::string target = dir.File("target.ini"), link = dir.File("link.ini");
    WriteFile(target, "[S]\nk=1\n");
    std::filesystem::permissions(target, std::filesystem::perms(0640));
    std::filesystem::create_symlink(target, link);
    // Written unchanged, read up to the break.
    EXPECT_TRUE(WriteValue(link, "S", "k", "first\nsecond"));
    EXPECT_EQ(ReadValue(link, "S", "k"), "first");
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(std::filesystem::status(target).permissions(), std::filesystem::perms(0640));
    EXPECT_EQ(ReadFile(target), "[S]\nk=first\nsecond\n");
}

TEST(ProfileCache, InPlaceRewritesRemovalsAndReplacementsAreSeen) {
    TempDir dir;
    const std::string file = dir.File("cache.ini"), other = dir.File("other.ini");
    WriteFile(file, "[S]\nk=aaa\n");
    EXPECT_EQ(ReadValue(file, "S", "k"), "aaa");
    struct stat before {
    }, after{};
    ASSERT_EQ(stat(file.c_str(), &before), 0);
    for (const char* value : {"bbb", "ccc", "aaa"}) {
        WriteFile(file, std::string("[S]\nk=") + value + "\n");
        ASSERT_EQ(stat(file.c_str(), &after), 0);
        ASSERT_EQ(after.st_ino, before.st_ino);
        EXPECT_EQ(ReadValue(file, "S", "k"), value);
    }
    std::filesystem::remove(file);
    EXPECT_EQ(ReadValue(file, "S", "k"), std::nullopt);
    WriteFile(other, "[T]\nk=2\n");
    std::filesystem::rename(other, file);
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

}  // namespace
