// QfINIFileHandler on real files in temporary folders. The file format's own rules are the INI
// engine's and are tested with it; these tests cover what the store adds.
#include "ini/ini_store.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>
#include <string>

#include "outcome.h"
#include "platform/module.h"
#include "qfstore/conversions.h"
#include "temp_dir.h"

using namespace qfstore;
using testing_support::DescribedOutcome;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

// A store whose program folder is `folder`, with its Path set to `file` when given.
Ptr<QfINIFileHandler> MakeStore(const std::string& folder, const std::string& file = {}) {
    auto store = Ptr<QfINIFileHandler>::Attach(new core::INIFileHandler(folder));
    if (!file.empty())
        store->Path(file);
    return store;
}

Ptr<QfstoreStdInterface> StdOf(const Ptr<QfINIFileHandler>& store) {
    return store.As<QfstoreStdInterface>();
}

class IniStoreTest : public ::testing::Test {
  protected:
    TempDir dir_;
    std::string file_ = dir_.File("store.ini");
    Ptr<QfINIFileHandler> store_ = MakeStore(dir_.Path().string() + "/", file_);
};

// Blank section names mean DEFAULT; the first Path assignment wins through either interface.
TEST(IniStore, SectionAndPathAssignments) {
    auto store = MakeStore("/nowhere/");
    EXPECT_EQ(store->Section(), "DEFAULT");
    for (auto [given, expected] : {std::pair{"   ", "DEFAULT"}, {" A ", " A "}, {"\t", "\t"}}) {
        store->Section("OTHER");
        store->Section(given);
        EXPECT_EQ(store->Section(), expected) << "given '" << given << "'";
    }
    store->Path("/tmp/first.ini");
    store->Path("/tmp/second.ini");
    StdOf(store)->Path("/tmp");
    EXPECT_EQ(StdOf(store)->Path(), "/tmp/first.ini");
}

struct RoundTripCase {
    Variant written;
    const char* writeDelim;
    const char* line;  // the file's second line
    const char* readDelim;
    bool detect;  // array and number detection
    Variant expected;
};

TEST_F(IniStoreTest, WritesOneLineAndReadsItBack) {
    // A number as its text, read back as a Double; a list with empty ends, quoted so that the read
    // keeps its tabs. (Other values: the fuzz test and StdInterfaceContract.)
    const RoundTripCase rows[] = {
        {Variant(int16_t{5}), "\t", "field=5", "\t", true, Variant(5.0)},
        {Variant::StringArray({"", "a", ""}), "\t", "field=\"\ta\t\"", "\t", true,
         Variant::StringArray({"", "a", ""})},
    };
    store_->Section("S");
    for (const RoundTripCase& row : rows) {
        SCOPED_TRACE(row.line);
        EXPECT_FALSE(store_->SetValue("field", row.written, row.writeDelim));
        EXPECT_EQ(ReadFile(file_), std::string("[S]\n") + row.line + "\n");
        const Variant got =
            store_->GetValue("field", row.readDelim, row.detect, row.detect, Variant("absent"));
        EXPECT_EQ(got, row.expected) << TypeName(got);
        EXPECT_EQ(store_->Value(), row.expected);
    }
}

// The default comes back as given, not read as a number.
TEST_F(IniStoreTest, AbsentFieldReturnsTheDefaultUnchanged) {
    store_->Section("S");
    EXPECT_EQ(store_->GetValue("wanted", "\t", true, true, Variant("7")), Variant("7"));
    EXPECT_EQ(store_->Value(), Variant("7"));
}

// Listing and deleting names the file lacks gives nothing and leaves the file as it was.
TEST_F(IniStoreTest, AbsentNamesListNothingAndDeleteNothing) {
    EXPECT_TRUE(store_->GetSectionNames().IsEmpty());
    const std::string text = "; top\n[S]\na=1\nb=2\n\n[T]\nc=3\n[U]\n";
    WriteFile(file_, text);
    store_->Section("S");
    store_->DeleteField("absent");
    EXPECT_EQ(ReadFile(file_), text);
}

TEST_F(IniStoreTest, FailedWritesRaiseWithTheCallStackAndLeaveTheFile) {
    const std::string error75 = "75|Path/File access error: ";
    auto missing = MakeStore("/nowhere/", dir_.File("missing/x.ini"));
    EXPECT_EQ(DescribedOutcome([&] { missing->SetValue("k", Variant("v"), "\t"); }),
              error75 + dir_.File("missing/x.ini") +
                  ": cannot open its folder: No such file or directory|Qfstore\r\n"
                  "QfINIFileHandler.INISetValue\r\nQfINIFileHandler.SetValue");
    auto blocked = MakeStore("/nowhere/", file_ + "/x.ini");
    WriteFile(file_, "[S]\nkept=1\n");
    EXPECT_EQ(DescribedOutcome([&] { StdOf(blocked)->SetValue("k", Variant("v"), "\t"); }),
              error75 + file_ + "/x.ini: cannot open its folder: Not a directory|Qfstore\r\n" +
                  "QfINIFileHandler.INISetValue\r\nQfINIFileHandler.SetValue\r\n"
                  "QfINIFileHandler.QfstoreStdInterface_SetValue");
    store_->Section("S\r");
    EXPECT_EQ(DescribedOutcome([&] { store_->DeleteSection(); }),
              "5|Invalid procedure call or argument: section name \"S\\r\" holds \"\\r\"|"
              "Qfstore\r\n"
              "QfINIFileHandler.INIDeleteSection\r\nQfINIFileHandler.DeleteSection");
    EXPECT_EQ(ReadFile(file_), "[S]\nkept=1\n");
}

// Values that could not be read back as written are refused; the file stays. (Refused names and
// list elements: the qfstore client's tests and StdInterfaceContract.)
TEST_F(IniStoreTest, UnreadableWritesAreRefused) {
    const std::string set = "QfINIFileHandler.SetValue";
    struct Row {
        const char* field;
        Variant value;
        std::string outcome;
    };
    const std::string error5 = "5|Invalid procedure call or argument: ";
    const Row rows[] = {
        {"k", Variant("x\r"), error5 + R"(value "x\r" holds "\r"|Qfstore)" + "\r\n" + set},
        // A long value is shown cut, not inside a character.
        {"k", Variant(std::string(59, 'x') + "\xc3\xa4\n"),
         error5 + "value \"" + std::string(59, 'x') + R"("... holds "\n"|Qfstore)" + "\r\n" + set},
        {"k", Variant(std::numeric_limits<double>::infinity()), "6|Overflow|Qfstore\r\n" + set},
    };
    WriteFile(file_, "[S]\nk=1e400\n");
    store_->Section("S");
    for (const Row& row : rows) {
        EXPECT_EQ(DescribedOutcome([&] { store_->SetValue(row.field, row.value, "\t"); }),
                  row.outcome)
            << row.field;
    }
    EXPECT_EQ(ReadFile(file_), "[S]\nk=1e400\n");
}

TEST(IniStore, StandardPathResolvesAgainstTheProgramFolder) {
    TempDir program, other;
    std::filesystem::create_directories(program.Path() / "data");
    std::filesystem::create_directories(other.Path() / "cfg");
    const std::string p = program.Path().string() + "/", o = other.Path().string();
    const std::pair<std::string, std::string> rows[] = {
        {"settings", p + "settings.INI"},     {"data.json", p + "data.json.INI"},
        {"data/my.ini", p + "data/my.ini"},   {"nodata/my.ini", p + "my.ini"},
        {o + "/cfg/x.ini", o + "/cfg/x.ini"}, {o + "/gone/x.ini", p + "x.ini"},
    };
    for (const auto& [given, expected] : rows) {
        auto store = MakeStore(p);
        StdOf(store)->Path(given);
        EXPECT_EQ(store->Path(), expected) << given;
    }
    auto running = Ptr<QfINIFileHandler>::Attach(new core::INIFileHandler);
    StdOf(running)->Path("settings");
    EXPECT_EQ(running->Path(), platform::ExecutableFolder() + "settings.INI");
}

}  // namespace
