#pragma once

#include <array>
#include <cstdint>

#include "settings/IniFile.h"

namespace qv::cli {

// What the GEOS picture commands take from the settings: the C64 colours of
// [Color Palette] and the font sheet options of [GEOS].
struct GeosViewerSettings {
    std::array<std::uint32_t, 16> palette{};  // 0xRRGGBB
    bool spacesBetweenChars = true;
    bool showGrid = false;
    std::uint32_t gridColour = 0;  // 0xRRGGBB
};

GeosViewerSettings geosViewerSettings(const IniFile& ini);

}  // namespace qv::cli
