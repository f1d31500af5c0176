// QfINIFileHandler on real files in temporary folders.
#include "ini/ini_file_handler.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "module.h"
#include "qfstore/conversions.h"
#include "temp_dir.h"

using namespace qfstore;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

Variant Longs(std::vector<int32_t> values) {
    std::vector<Variant> items(values.begin(), values.end());
    return Variant::Array(VarType::Long, 0, std::move(items));
}

Variant Doubles(std::vector<double> values) {
    std::vector<Variant> items(values.begin(), values.end());
    return Variant::Array(VarType::Double, 0, std::move(items));
}

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

// ---- Section ----

struct SectionCase {
    const char* name;
    const char* given;
    const char* expected;
};
void PrintTo(const SectionCase& c, std::ostream* os) {
    *os << c.name;
}

class SectionRuleTest : public ::testing::TestWithParam<SectionCase> {};

TEST_P(SectionRuleTest, BlankNamesMeanDefault) {
    auto store = MakeStore("/nowhere/");
    store->Section("OTHER");
    store->Section(GetParam().given);
    EXPECT_EQ(store->Section(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Table, SectionRuleTest,
                         ::testing::Values(SectionCase{"empty", "", "DEFAULT"},
                                           SectionCase{"spaces", "   ", "DEFAULT"},
                                           SectionCase{"blanks_kept", " A ", " A "},
                                           SectionCase{"plain", "TYRES", "TYRES"},
                                           SectionCase{"tab_is_not_blank", "\t", "\t"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(IniStore, NewObjectState) {
    auto store = MakeStore("/nowhere/");
    EXPECT_EQ(store->Section(), "DEFAULT");
    EXPECT_EQ(store->Path(), "");
    EXPECT_TRUE(store->Value().IsEmpty());
    EXPECT_EQ(store->Version(), "Qfstore - 1.2.3\rModule: QfINIFileHandler - 1.2");
    EXPECT_EQ(ToText(StdOf(store)->Version(), "test"), store->Version());
}

TEST(IniStore, FirstPathAssignmentWinsThroughEitherInterface) {
    auto store = MakeStore("/nowhere/");
    store->Path("/tmp/first.ini");
    store->Path("/tmp/second.ini");
    StdOf(store)->Path("/tmp");
    EXPECT_EQ(store->Path(), "/tmp/first.ini");
    EXPECT_EQ(StdOf(store)->Path(), "/tmp/first.ini");
}

// ---- Values written and read back ----

struct RoundTripCase {
    const char* name;
    Variant written;
    const char* writeDelim;
    const char* fileText;  // the whole new file
    const char* readDelim;
    bool detect;  // array and number detection
    Variant expected;
};
void PrintTo(const RoundTripCase& c, std::ostream* os) {
    *os << c.name;
}

class RoundTripTest : public IniStoreTest, public ::testing::WithParamInterface<RoundTripCase> {};

TEST_P(RoundTripTest, WritesOneLineAndReadsItBack) {
    const RoundTripCase& c = GetParam();
    store_->Section("S");
    EXPECT_FALSE(store_->SetValue("field", c.written, c.writeDelim));
    EXPECT_EQ(ReadFile(file_), c.fileText);
    const Variant got =
        store_->GetValue("field", c.readDelim, c.detect, c.detect, Variant("absent"));
    EXPECT_EQ(got, c.expected) << TypeName(got);
    EXPECT_EQ(store_->Value(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RoundTripTest,
    ::testing::Values(
        RoundTripCase{"number_reads_as_double", Variant(int16_t{5}), "\t", "[S]\nfield=5\n", "\t",
                      true, Variant(5.0)},
        RoundTripCase{"numeric_text_reads_as_double", Variant("500"), "\t", "[S]\nfield=500\n",
                      "\t", true, Variant(500.0)},
        RoundTripCase{"numeric_text_raw", Variant("42"), "\t", "[S]\nfield=42\n", "\t", false,
                      Variant("42")},
        RoundTripCase{"list_with_its_delimiter", Variant::StringArray({"3", "4", "5"}), "|",
                      "[S]\nfield=3|4|5\n", "|", true, Longs({3, 4, 5})},
        RoundTripCase{"list_with_default_delimiter", Variant::StringArray({"3", "4", "5"}), "|",
                      "[S]\nfield=3|4|5\n", "\t", true, Variant("3|4|5")},
        RoundTripCase{"variant_array_of_numbers",
                      Variant::Array(VarType::Variant, 0, {Variant(1.5), Variant(int16_t{2})}), "|",
                      "[S]\nfield=1.5|2\n", "|", true, Doubles({1.5, 2})},
        RoundTripCase{"double_array_keeps_elements", Doubles({1.5, 2}), "|", "[S]\nfield=1.5|2\n",
                      "|", true, Doubles({1.5, 2})},
        RoundTripCase{"tab_inside_text", Variant("a\tb"), "\t", "[S]\nfield=a\tb\n", "\t", true,
                      Variant::StringArray({"a", "b"})},
        RoundTripCase{"tab_inside_text_raw", Variant("a\tb"), "\t", "[S]\nfield=a\tb\n", "\t",
                      false, Variant("a\tb")},
        RoundTripCase{"boolean_as_text", Variant(true), "\t", "[S]\nfield=True\n", "\t", true,
                      Variant("True")},
        RoundTripCase{"empty_text_is_not_absent", Variant(""), "\t", "[S]\nfield=\n", "\t", true,
                      Variant("")}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniStoreTest, LongValuesAndLongNameListsComeBackWhole) {
    const std::string big(5000, 'v');
    store_->SetValue("field", Variant(big), "\t");
    EXPECT_EQ(ReadFile(file_), "[DEFAULT]\nfield=" + big + "\n");
    std::string text = "[DEFAULT]\nfield=" + big + "\n";
    std::vector<std::string> names{"field"};
    for (int i = 0; i < 300; ++i) {
        names.push_back("FieldNumber" + std::to_string(i));
        text += names.back() + "=" + std::to_string(i) + "\n";
    }
    WriteFile(file_, text);
    EXPECT_EQ(store_->GetValue("field", "\t", true, true, Variant()), Variant(big));
    EXPECT_EQ(store_->GetFieldNames(), Variant::StringArray(names));
}

// ---- Absent fields ----

struct AbsentCase {
    const char* name;
    const char* fileText;  // nullptr: no file
    const char* section;
    Variant fallback;  // the missing-argument marker stands for "left out"
};
void PrintTo(const AbsentCase& c, std::ostream* os) {
    *os << c.name;
}

class AbsentFieldTest : public IniStoreTest, public ::testing::WithParamInterface<AbsentCase> {};

TEST_P(AbsentFieldTest, ReturnsTheDefaultUnchanged) {
    const AbsentCase& c = GetParam();
    if (c.fileText)
        WriteFile(file_, c.fileText);
    store_->Section(c.section);
    const Variant got = store_->GetValue("wanted", "\t", true, true, c.fallback);
    EXPECT_EQ(got, c.fallback) << TypeName(got);
    EXPECT_EQ(store_->Value(), c.fallback);
    EXPECT_EQ(StdOf(store_)->GetValue("wanted", "\t"), Variant::Missing());
    if (!c.fileText) {
        EXPECT_FALSE(std::filesystem::exists(file_));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Table, AbsentFieldTest,
    ::testing::Values(AbsentCase{"no_file_text_default", nullptr, "S", Variant("7")},
                      AbsentCase{"no_section_number_default", "[T]\nwanted=1\n", "S", Variant(2.5)},
                      AbsentCase{"no_field_left_out", "[S]\nother=1\n", "S", Variant::Missing()},
                      AbsentCase{"line_without_equals", "[S]\nwanted\n", "S", Variant::Missing()},
                      AbsentCase{"empty_default", "[S]\n", "S", Variant()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniStoreTest, FieldWithEmptyValueIsNotAbsent) {
    WriteFile(file_, "[S]\nfield=\n");
    store_->Section("S");
    EXPECT_EQ(store_->GetValue("field", "\t", true, true, Variant("default")), Variant(""));
}

// A stored text that looks like an absence marker is still a stored value.
TEST_F(IniStoreTest, MarkerLikeTextIsAValue) {
    WriteFile(file_, "[S]\nfield=QfDefaultReturn_0.5\n");
    store_->Section("S");
    EXPECT_EQ(store_->GetValue("field", "\t", true, true, Variant("default")),
              Variant("QfDefaultReturn_0.5"));
}

// ---- Name lists and deletion ----

TEST_F(IniStoreTest, NameListsAreArraysOrEmpty) {
    EXPECT_TRUE(store_->GetSectionNames().IsEmpty());
    EXPECT_TRUE(store_->GetFieldNames().IsEmpty());
    WriteFile(file_, "[A]\nx=1\ny=2\n[B]\n");
    EXPECT_EQ(store_->GetSectionNames(), Variant::StringArray({"A", "B"}));
    store_->Section("A");
    EXPECT_EQ(store_->GetFieldNames(), Variant::StringArray({"x", "y"}));
    store_->Section("B");
    EXPECT_TRUE(store_->GetFieldNames().IsEmpty());
    store_->Section("C");
    EXPECT_TRUE(store_->GetFieldNames().IsEmpty());
}

TEST_F(IniStoreTest, DeleteFieldOfAbsentFieldChangesNothing) {
    const std::string text = "; settings\n[S]\nkept=1\n\n[T]\nalso=2\n";
    WriteFile(file_, text);
    store_->Section("S");
    store_->DeleteField("absent");
    store_->Section("MISSING");
    store_->DeleteField("kept");
    EXPECT_EQ(ReadFile(file_), text);
}

TEST_F(IniStoreTest, DeleteFieldAndSection) {
    WriteFile(file_, "[S]\na=1\nb=2\n[T]\nc=3\n");
    store_->Section("S");
    store_->DeleteField("a");
    EXPECT_EQ(store_->GetFieldNames(), Variant::StringArray({"b"}));
    store_->DeleteSection();
    EXPECT_TRUE(store_->GetFieldNames().IsEmpty());
    EXPECT_EQ(store_->GetSectionNames(), Variant::StringArray({"T"}));
    EXPECT_EQ(ReadFile(file_), "[T]\nc=3\n");
}

TEST_F(IniStoreTest, TwoObjectsOnOneFileSeeEachOthersWrites) {
    auto other = MakeStore("/nowhere/", file_);
    store_->SetValue("k", Variant("one"), "\t");
    EXPECT_EQ(other->GetValue("k", "\t", true, true, Variant()), Variant("one"));
    other->SetValue("k", Variant("two"), "\t");
    EXPECT_EQ(store_->GetValue("k", "\t", true, true, Variant()), Variant("two"));
}

// ---- Failures ----

struct FailureCase {
    const char* name;
    int number;
    const char* description;
    const char* trace;  // the lines below "Qfstore"
    void (*run)(QfINIFileHandler& store, const std::string& folder);
};
void PrintTo(const FailureCase& c, std::ostream* os) {
    *os << c.name;
}

class FailureTest : public IniStoreTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, RaisesWithTheCallStackAndLeavesTheFile) {
    const FailureCase& c = GetParam();
    const std::string text = "[S]\nkept=1\n";
    WriteFile(file_, text);
    store_->Section("S");
    try {
        c.run(*store_, dir_.Path().string());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), c.number);
        EXPECT_EQ(e.Description(), c.description);
        EXPECT_EQ(e.Source(), std::string("Qfstore\r\n") + c.trace);
    }
    EXPECT_EQ(ReadFile(file_), text);
    // No temporary file or folder is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

INSTANTIATE_TEST_SUITE_P(
    Table, FailureTest,
    ::testing::Values(
        FailureCase{"write_into_missing_folder", 75, "Path/File access error",
                    "QfINIFileHandler.INISetValue\r\nQfINIFileHandler.SetValue",
                    [](QfINIFileHandler&, const std::string& folder) {
                        auto other = MakeStore("/nowhere/", folder + "/missing/x.ini");
                        other->SetValue("k", Variant("v"), "\t");
                    }},
        FailureCase{"write_through_standard_interface", 75, "Path/File access error",
                    "QfINIFileHandler.INISetValue\r\nQfINIFileHandler.SetValue\r\n"
                    "QfINIFileHandler.QfstoreStdInterface_SetValue",
                    [](QfINIFileHandler&, const std::string& folder) {
                        auto other = MakeStore("/nowhere/", folder + "/store.ini/x.ini");
                        StdOf(other)->SetValue("k", Variant("v"), "\t");
                    }},
        FailureCase{"line_feed_in_field_name", 5, "Invalid procedure call or argument",
                    "QfINIFileHandler.INISetValue\r\nQfINIFileHandler.SetValue",
                    [](QfINIFileHandler& store, const std::string&) {
                        store.SetValue("a\n[T]\nb", Variant("v"), "\t");
                    }},
        FailureCase{"carriage_return_in_section", 5, "Invalid procedure call or argument",
                    "QfINIFileHandler.INIDeleteSection\r\nQfINIFileHandler.DeleteSection",
                    [](QfINIFileHandler& store, const std::string&) {
                        store.Section("S\r");
                        store.DeleteSection();
                    }},
        FailureCase{
            "line_feed_in_deleted_field", 5, "Invalid procedure call or argument",
            "QfINIFileHandler.INIDeleteValue\r\nQfINIFileHandler.DeleteField",
            [](QfINIFileHandler& store, const std::string&) { store.DeleteField("kept\n"); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(IniStoreTest, ListBeyond32BitsOverflowsOnReading) {
    WriteFile(file_, "[S]\nbig=1|2147483648\nfits=-2147483648|2147483647\n");
    store_->Section("S");
    EXPECT_EQ(store_->GetValue("fits", "|", true, true, Variant()),
              Longs({-2147483647 - 1, 2147483647}));
    try {
        store_->GetValue("big", "|", true, true, Variant());
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 6);
        EXPECT_EQ(e.Description(), "Overflow");
        EXPECT_EQ(e.Source(),
                  "Qfstore\r\nStrArrayToLngArray\r\nPrepForGet\r\nQfINIFileHandler.GetValue");
    }
    // The failed read leaves Value as the latest successful one made it.
    EXPECT_EQ(store_->Value(), Longs({-2147483647 - 1, 2147483647}));
}

// ---- Path rules of the standard interface ----

struct PathCase {
    const char* name;
    const char* given;     // "@" stands for the other folder, which holds cfg/
    const char* expected;  // "~" stands for the program folder, "@" for the other folder
};
void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

class PathRuleTest : public ::testing::TestWithParam<PathCase> {
  protected:
    static std::string Expand(std::string text, const std::string& program,
                              const std::string& other) {
        if (!text.empty() && text[0] == '~')
            text = program + text.substr(1);
        if (!text.empty() && text[0] == '@')
            text = other + text.substr(1);
        return text;
    }
};

TEST_P(PathRuleTest, ResolvesAgainstTheProgramFolder) {
    TempDir program;
    TempDir other;
    std::filesystem::create_directories(program.Path() / "data" / "sub");
    std::filesystem::create_directories(other.Path() / "cfg");
    const std::string programFolder = program.Path().string() + "/";
    auto store = MakeStore(programFolder);
    StdOf(store)->Path(Expand(GetParam().given, programFolder, other.Path().string()));
    EXPECT_EQ(store->Path(), Expand(GetParam().expected, programFolder, other.Path().string()));
}

INSTANTIATE_TEST_SUITE_P(
    Table, PathRuleTest,
    ::testing::Values(PathCase{"bare_name_gets_extension", "settings", "~settings.INI"},
                      PathCase{"point_in_last_four_kept", "a.b", "~a.b"},
                      PathCase{"long_extension_gets_another", "data.json", "~data.json.INI"},
                      PathCase{"relative_existing_folder", "data/my.ini", "~data/my.ini"},
                      PathCase{"nested_existing_folder", "data/sub/deep", "~data/sub/deep.INI"},
                      PathCase{"relative_missing_folder", "nodata/my.ini", "~my.ini"},
                      PathCase{"absolute_existing_folder", "@/cfg/x.ini", "@/cfg/x.ini"},
                      PathCase{"absolute_missing_folder", "@/gone/x.ini", "~x.ini"},
                      PathCase{"empty_assigns_nothing", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniStore, ProgramFolderIsTheRunningExecutablesFolder) {
    auto store = Ptr<QfINIFileHandler>::Attach(new core::INIFileHandler);
    const std::string folder = platform::ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_EQ(folder.back(), '/');
    StdOf(store)->Path("settings");
    EXPECT_EQ(store->Path(), folder + "settings.INI");
}

TEST_F(IniStoreTest, StandardInterfaceSharesSectionAndValues) {
    auto shared = StdOf(store_);
    shared->Section("  ");
    EXPECT_EQ(store_->Section(), "DEFAULT");
    shared->Section("S");
    EXPECT_EQ(shared->Section(), "S");
    EXPECT_FALSE(shared->SetValue("list", Variant::StringArray({"1", "2.5"}), ";"));
    EXPECT_EQ(shared->GetValue("list", ";"), Doubles({1, 2.5}));
    EXPECT_EQ(store_->Value(), Doubles({1, 2.5}));
    EXPECT_EQ(ReadFile(file_), "[S]\nlist=1;2.5\n");
}

}  // namespace
