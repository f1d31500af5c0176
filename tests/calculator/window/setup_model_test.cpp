// The rider's setup model without widgets: one rule per value, every change announced once, and
// "Copy to Details" refused where the Details page's boxes would refuse it.
#include "window/setup_model.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

using gearsheet::SetupModel;

TEST(SetupModelTest, TeethAndCircumferenceRules) {
    struct Row {
        const char* text;
        std::optional<int> teeth;
        std::optional<double> circumference;
    };
    const Row rows[] = {
        {"16", 16, 16},
        {" 14.5 ", 14, 14.5},
        {"15.5", 16, 15.5},
        {"0.5", std::nullopt, 0.5},
        {"0", std::nullopt, std::nullopt},
        {"199.4", 199, 199.4},
        {"199.5", std::nullopt, 199.5},
        {"-16", std::nullopt, std::nullopt},
        {"1e400", std::nullopt, std::nullopt},
        {"inf", std::nullopt, std::nullopt},
        {"x", std::nullopt, std::nullopt},
        {"", std::nullopt, std::nullopt},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(gearsheet::TeethFromText(row.text), row.teeth) << row.text;
        EXPECT_EQ(gearsheet::CircumferenceFromText(row.text), row.circumference) << row.text;
    }
}

TEST(SetupModelTest, ChangesAnnouncedOnceAndAdoptChecked) {
    SetupModel setup;
    int announced = 0;
    QObject::connect(&setup, &SetupModel::setupChanged, [&] { ++announced; });
    setup.SetTyres({{"180/55ZR17", "77.9"}, {"Slick", "79.2"}});
    setup.SetSprockets("16", "45");
    setup.SetSprockets("16", "45");  // no change, no notice
    setup.SetCircumferenceText("77.9");
    setup.SetTyre("180/55ZR17");
    EXPECT_EQ(announced, 4);
    EXPECT_EQ(setup.Front(), 16);
    EXPECT_EQ(setup.Circumference(), 77.9);

    // A circumference the Details page's box would refuse is not taken; nothing changes.
    EXPECT_EQ(setup.Adopt(15, 45, "1e400", "Slick"),
              "Nothing was copied: the proposed circumference must be a number above zero.");
    EXPECT_EQ(setup.FrontText() + "/" + setup.RearText() + " " + setup.CircumferenceText() + " " +
                  setup.Tyre(),
              "16/45 77.9 180/55ZR17");
    EXPECT_EQ(announced, 4);
    // A tyre that is not listed is not chosen; the rest is taken in one notice.
    EXPECT_EQ(setup.Adopt(15, 44, "80.1", "Wet"), std::nullopt);
    EXPECT_EQ(setup.FrontText() + "/" + setup.RearText() + " " + setup.CircumferenceText() + " " +
                  setup.Tyre(),
              "15/44 80.1 180/55ZR17");
    EXPECT_EQ(setup.Adopt(15, 44, "79.2", "Slick"), std::nullopt);
    EXPECT_EQ(setup.Tyre(), "Slick");
    EXPECT_EQ(announced, 6);
}

}  // namespace
