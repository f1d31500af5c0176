// A tyre's metric size (width/aspect ratio, construction, rim diameter) and its circumference.
#pragma once

#include <optional>
#include <string_view>

namespace gearsheet {

struct TyreSize {
    int widthMm = 0;  // section width
    int aspect = 0;   // sidewall height in per cent of the width
    int rimInches = 0;

    // The sizes real tyres come in.
    struct Range {
        int low, high;
    };
    static constexpr Range kWidthsMm{60, 400};
    static constexpr Range kAspects{20, 100};
    static constexpr Range kRimsInches{8, 24};
};

// The first metric size written in `text`: "180/55ZR17", "190/50 R17", "120/70-17",
// "180/55 ZR 17 (73W)". Nothing when there is none ("Slick", "180/640R17" which gives a diameter)
// or when it is no real tyre's (outside the ranges above).
std::optional<TyreSize> FindTyreSize(std::string_view text);

// The unloaded rolling circumference in inches, rounded to 0.1:
// π × (rim × 25.4 mm + 2 × width × aspect ÷ 100) ÷ 25.4.
double CircumferenceInches(const TyreSize& size);

}  // namespace gearsheet
