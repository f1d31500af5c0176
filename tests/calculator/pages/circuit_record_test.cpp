// The circuit record without widgets: taken apart once from what the store returns, short
// records, and line breaks, which cannot be typed into the page.
#include "pages/circuit_record.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using gearsheet::CircuitRecord;
using gearsheet::CircuitRecordProblem;
using qfstore::Variant;

TEST(CircuitRecordTest, TakenApartOnce) {
    std::vector<std::string> fields(22);
    fields[0] = "31.5 mm";
    fields[19] = "12 clicks";
    fields[20] = "15.5";
    fields[21] = "x";
    std::optional<qfstore::Error> missing;
    const CircuitRecord record =
        gearsheet::CircuitRecordFromStored(Variant::StringArray(fields), missing);
    EXPECT_FALSE(missing);
    EXPECT_EQ(record.front[0], "31.5 mm");
    EXPECT_EQ(record.rear[9], "12 clicks");
    EXPECT_EQ(record.FrontTeeth(), 16);  // as the speed table takes it
    EXPECT_EQ(record.RearTeeth(), std::nullopt);
    EXPECT_EQ(record.Fields()[21], "x");

    // A short record keeps what it has and names the first field it lacks.
    const CircuitRecord shortOne =
        gearsheet::CircuitRecordFromStored(Variant::StringArray({"1", "2", "3"}), missing);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->Number(), 9);
    EXPECT_EQ(shortOne.front[2], "3");
    EXPECT_EQ(shortOne.front[3] + shortOne.rearSprocket, "");
    gearsheet::CircuitRecordFromStored(Variant(std::string("30")), missing);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->Number(), 13);
}

TEST(CircuitRecordProblem, NamesTheFirstFieldWithALineBreak) {
    std::vector<QString> fields(22);
    EXPECT_FALSE(CircuitRecordProblem(fields).has_value());
    fields[20] = "15\r";
    EXPECT_EQ(CircuitRecordProblem(fields),
              "The circuit can't be saved: the text in the \"Front Sprocket:\" box must not "
              "contain a line break.");
    fields[9] = "a\nb";
    EXPECT_EQ(CircuitRecordProblem(fields),
              "The circuit can't be saved: the text in row \"Other4:\", column \"FRONT\" must "
              "not contain a line break.");
}

}  // namespace
