#include "CliGeosSettings.h"

#include "screen/ScreenSettings.h"
#include "settings/WindowSettings.h"

namespace qv::cli {

GeosViewerSettings geosViewerSettings(const IniFile& ini) {
    GeosViewerSettings s;
    s.palette = loadC64Palette(ini);
    const GeosDetailsSettings geos = GeosDetailsSettings::load(ini);
    s.spacesBetweenChars = geos.spacesBetweenChars;
    s.showGrid = geos.showGrid;
    // The grid colour is kept in the toolkit's order, blue first.
    const std::uint32_t c = geos.gridColor;
    s.gridColour = ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
    return s;
}

}  // namespace qv::cli
