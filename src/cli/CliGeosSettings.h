#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "geos/GeoWrite.h"
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

// The GeoWrite options of [GEOS], the print colours of [PrintText Color Palette] and
// the font-ID table of [FontTable]. A table that cannot be parsed leaves its message
// in fontTableMessage.
GeoWriteOptions geoWriteSettings(const IniFile& ini, std::string& fontTableMessage);

}  // namespace qv::cli
