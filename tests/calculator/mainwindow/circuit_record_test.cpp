// The circuit record without widgets: line breaks, which cannot be typed into the page.
#include <gtest/gtest.h>

#include <vector>

#include "pages/circuit_record.h"

namespace {

using gearsheet::CircuitRecordProblem;

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
