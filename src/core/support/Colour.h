#pragma once

#include <cstdint>

namespace qv {

// Swaps red and blue: between red x 65536 + green x 256 + blue (0xRRGGBB, the pixel
// order) and the window toolkit's blue x 65536 + green x 256 + red (0x00BBGGRR), in
// which the settings file keeps some of its colours.
constexpr std::uint32_t swapRedBlue(std::uint32_t c) {
    return ((c & 0xFFu) << 16) | (c & 0xFF00u) | ((c >> 16) & 0xFFu);
}

// The default pen of the grid of a GEOS font sheet ([GEOS] GridColor), in the
// toolkit's order: a light grey.
inline constexpr std::uint32_t kDefaultGridColorSetting = 13160660;

}  // namespace qv
