// The dark look of the tool ("Windows10 Dark"): one colour table every
// backend paints with.
#pragma once

#include <cstdint>

namespace velmora {

struct ThemeColor {
    std::uint8_t red = 0;
    std::uint8_t green = 0;
    std::uint8_t blue = 0;
};

struct ThemeColors {
    ThemeColor window{43, 43, 43};   // form and tab sheet backgrounds
    ThemeColor base{30, 30, 30};     // edits and lists
    ThemeColor text{240, 240, 240};
    ThemeColor disabledText{128, 128, 128};
    ThemeColor button{51, 51, 51};
    ThemeColor buttonPressed{70, 70, 70};
    ThemeColor highlight{0, 120, 215};
    ThemeColor highlightedText{255, 255, 255};
    ThemeColor light{70, 70, 70};
    ThemeColor midlight{60, 60, 60};
    ThemeColor mid{40, 40, 40};
    ThemeColor dark{25, 25, 25};
    ThemeColor shadow{0, 0, 0};
    ThemeColor frame{100, 100, 100};  // control borders
};

inline constexpr ThemeColors kDarkTheme{};

}  // namespace velmora
