// The circuit record without widgets: texts it cannot hold (line breaks cannot be typed into the
// page) and fields read back from the store.
#include <gtest/gtest.h>

#include <vector>

#include "circuit_record.h"
#include "qfstore/error.h"

namespace {

using gearsheet::CircuitRecordField;
using gearsheet::CircuitRecordProblem;

std::vector<QString> EmptyRecord() {
    return std::vector<QString>(22);
}

struct ProblemCase {
    int index;
    QString text;
    const char* message;
};

class CircuitRecordProblemTest : public testing::TestWithParam<ProblemCase> {};

TEST_P(CircuitRecordProblemTest, NamesTheFirstFieldThatCannotBeStored) {
    std::vector<QString> fields = EmptyRecord();
    fields[GetParam().index] = GetParam().text;
    fields[21] = "4|5";  // a later offender is not the one named
    const auto problem = CircuitRecordProblem(fields);
    ASSERT_TRUE(problem.has_value());
    EXPECT_EQ(*problem, QString::fromUtf8(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Texts, CircuitRecordProblemTest,
    testing::Values(
        ProblemCase{
            13, "3|4",
            "The circuit can't be saved: the text in row \"Prelead:\", column \"REAR\" must "
            "not contain \"|\"."},
        ProblemCase{0, "|",
                    "The circuit can't be saved: the text in row \"Static Sag:\", column "
                    "\"FRONT\" must not contain \"|\"."},
        ProblemCase{9, "a\nb",
                    "The circuit can't be saved: the text in row \"Other4:\", column \"FRONT\" "
                    "must not contain a line break."},
        ProblemCase{20, "15\r",
                    "The circuit can't be saved: the text in the \"Front Sprocket:\" box must not "
                    "contain a line break."}));

TEST(CircuitRecordProblem, AcceptsOrdinaryAndEmptyTexts) {
    std::vector<QString> fields = EmptyRecord();
    fields[0] = "30 mm";
    fields[5] = "3 clicks out; +1";
    fields[20] = "0012";
    EXPECT_FALSE(CircuitRecordProblem(fields).has_value());
    EXPECT_FALSE(CircuitRecordProblem(EmptyRecord()).has_value());
}

void ExpectError(const qfstore::Variant& record, int index, int32_t number) {
    try {
        CircuitRecordField(record, index);
        ADD_FAILURE() << "no error for field " << index;
    } catch (const qfstore::Error& e) {
        EXPECT_EQ(e.Number(), number);
        EXPECT_EQ(e.Description(), qfstore::ErrorDescription(number));
        EXPECT_EQ(e.Source(), "Gearsheet");
    }
}

TEST(CircuitRecordField, GivesTheTextsAsStored) {
    const qfstore::Variant record = qfstore::Variant::StringArray({"0012", "1.50", ""});
    EXPECT_EQ(CircuitRecordField(record, 0), "0012");
    EXPECT_EQ(CircuitRecordField(record, 1), "1.50");
    EXPECT_EQ(CircuitRecordField(record, 2), "");
}

TEST(CircuitRecordField, ShortListIsSubscriptOutOfRange) {
    ExpectError(qfstore::Variant::StringArray({"1", "2", "3"}), 3, qfstore::kErrSubscript);
}

TEST(CircuitRecordField, NoListIsTypeMismatch) {
    ExpectError(qfstore::Variant("30"), 0, qfstore::kErrTypeMismatch);
    ExpectError(qfstore::Variant::Missing(), 0, qfstore::kErrTypeMismatch);
    ExpectError(qfstore::Variant(), 0, qfstore::kErrTypeMismatch);
}

}  // namespace
