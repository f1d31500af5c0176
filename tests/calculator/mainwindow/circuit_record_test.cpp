// The circuit record without widgets: line breaks, which cannot be typed into the page, and
// fields read back from the store.
#include <gtest/gtest.h>

#include <vector>

#include "circuit_record.h"
#include "qfstore/error.h"

namespace {

using gearsheet::CircuitRecordField;
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

TEST(CircuitRecordField, GivesTheTextsAsStoredOrFails) {
    const qfstore::Variant record = qfstore::Variant::StringArray({"0012", "", "3"});
    EXPECT_EQ(CircuitRecordField(record, 0), "0012");
    EXPECT_EQ(CircuitRecordField(record, 1), "");
    const std::pair<qfstore::Variant, int32_t> failures[] = {
        {record, qfstore::kErrSubscript},  // field 3 of three
        {qfstore::Variant("30"), qfstore::kErrTypeMismatch},
        {qfstore::Variant::Missing(), qfstore::kErrTypeMismatch}};
    for (const auto& [value, number] : failures) {
        try {
            CircuitRecordField(value, 3);
            ADD_FAILURE() << "no error " << number;
        } catch (const qfstore::Error& e) {
            EXPECT_EQ(e.Number(), number);
            EXPECT_EQ(e.Source(), "Gearsheet");
        }
    }
}

}  // namespace
