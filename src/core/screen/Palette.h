#pragma once

#include <array>
#include <cstdint>

namespace qv {

// The 16 C64 colours as 0xRRGGBB, used directly as 32-bit pixels.
using C64Palette = std::array<std::uint32_t, 16>;

// The colours the settings start with ("00 black" to "15 light gray").
inline constexpr C64Palette kDefaultC64Palette = {
    0x000000,  // 00 black
    0xFFFFFF,  // 01 white
    0xAF2A29,  // 02 red
    0x62D8CC,  // 03 cyan
    0xB03FB6,  // 04 purple
    0x4AC64A,  // 05 green
    0x3739C4,  // 06 blue
    0xE4ED4E,  // 07 yellow
    0xB6591C,  // 08 orange
    0x683808,  // 09 brown
    0xEA746C,  // 10 light red
    0x4D4D4D,  // 11 dark gray
    0x848484,  // 12 gray
    0xA6FA9E,  // 13 light green
    0x707CE6,  // 14 light blue
    0xB6B6B5,  // 15 light gray
};

}  // namespace qv
