// Tyre types and circuits in a real settings file, without widgets: each call points the store at
// its own section, whatever section it was left at, and changes only its own line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qfstore/conversions.h"
#include "settings/circuits.h"
#include "settings/tyres.h"
#include "store_support.h"
#include "temp_dir.h"

namespace {

using qfstore::Variant;
using testing_support::ReadFile;

const std::string kGears = "[GEARS]\nGear1=2\n";

class RecordsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        path_ = dir_.File("Gearsheet.INI");
        testing_support::WriteFile(path_, kGears +
                                              "[TYRES]\nA=70\nSlick 17=wide\n; end of tyres\n" +
                                              "[CIRCUITS]\nX=0012|1.50||-0\nSolo=30\n");
        store_ = testing_support::OpenStore(path_);
    }
    // The store as another page leaves it.
    qfstore::QfINIFileHandler& Store() {
        store_->Section("GEARS");
        return *store_;
    }

    testing_support::TempDir dir_;
    std::string path_;
    qfstore::Ptr<qfstore::QfINIFileHandler> store_;
};

// Adding, overwriting in place and deleting go through the pages, in main_form_test (tyres) and
// circuit_page_test (circuits).
TEST_F(RecordsTest, TyresListedWithTheirValues) {
    const auto tyres = gearsheet::ReadTyres(Store());
    ASSERT_EQ(tyres.size(), 2u);
    EXPECT_EQ(tyres[0].name, "A");
    EXPECT_NE(qfstore::TypeName(tyres[0].circumference), "String");  // a number
    EXPECT_EQ(qfstore::ToDouble(tyres[0].circumference, "test"), 70);
    EXPECT_EQ(tyres[1].name, "Slick 17");
    EXPECT_EQ(tyres[1].circumference, Variant(std::string("wide")));  // as stored
}

TEST_F(RecordsTest, CircuitRecordsReadAsTextsAndWrittenWhole) {
    EXPECT_EQ(gearsheet::ReadCircuitNames(Store()), (std::vector<std::string>{"X", "Solo"}));
    // Number-like fields stay texts; a line without "|" is one value, an unknown name none.
    EXPECT_EQ(gearsheet::ReadCircuit(Store(), "X"),
              Variant::StringArray({"0012", "1.50", "", "-0"}));
    EXPECT_EQ(gearsheet::ReadCircuit(Store(), "Solo"), Variant(std::string("30")));
    EXPECT_TRUE(gearsheet::ReadCircuit(Store(), "Monza").IsMissing());
    // A record of fewer fields than the page's is written as given.
    gearsheet::AddCircuit(Store(), "X", {"0012", "-0"});
    EXPECT_EQ(ReadFile(path_), kGears + "[TYRES]\nA=70\nSlick 17=wide\n; end of tyres\n" +
                                   "[CIRCUITS]\nX=0012|-0\nSolo=30\n");
}

}  // namespace
