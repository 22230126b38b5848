#include "CliGeosSettings.h"

#include "settings/WindowSettings.h"

namespace qv::cli {

GeosViewerSettings geosViewerSettings(const IniFile& ini) {
    GeosViewerSettings s;
    const PaletteSettings palette = PaletteSettings::load(ini);
    for (std::size_t i = 0; i < 16; ++i)
        s.palette[i] = palette.colours[i] & 0xFFFFFF;
    const GeosDetailsSettings geos = GeosDetailsSettings::load(ini);
    s.spacesBetweenChars = geos.spacesBetweenChars;
    s.showGrid = geos.showGrid;
    // The grid colour is kept in the toolkit's order, blue first.
    const std::uint32_t c = geos.gridColor;
    s.gridColour = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    return s;
}

}  // namespace qv::cli
