#include "CliGeosSettings.h"

#include "screen/ScreenSettings.h"
#include "settings/WindowSettings.h"
#include "support/Colour.h"

namespace qv::cli {

GeosViewerSettings geosViewerSettings(const IniFile& ini) {
    GeosViewerSettings s;
    s.palette = loadC64Palette(ini);
    const GeosDetailsSettings geos = GeosDetailsSettings::load(ini);
    s.spacesBetweenChars = geos.spacesBetweenChars;
    s.showGrid = geos.showGrid;
    // The grid colour is kept in the toolkit's order, blue first.
    s.gridColour = swapRedBlue(geos.gridColor);
    return s;
}

GeoWriteOptions geoWriteSettings(const IniFile& ini, std::string& fontTableMessage) {
    const GeosDetailsSettings geos = GeosDetailsSettings::load(ini);
    GeoWriteOptions o;
    o.scrapNewlines = scrapNewlinesFromSetting(geos.scrapsNewline);
    o.scaleImage21 = geos.scaleImage21;
    o.pageNumbers = geos.pageNumbers;
    o.showPrintColours = geos.showTextPrintColors;
    o.showFontId = geos.showFontId;
    o.useFontTable = geos.useFontTable;
    o.header = geos.header;
    o.footer = geos.footer;
    o.paperA4 = geos.paperFormatA4;
    const PrintColorPalette colours = PrintColorPalette::load(ini);
    for (std::size_t i = 0; i < o.printColours.size(); ++i)
        o.printColours[i] = colours.entries[i].colour & 0xFFFFFF;
    const FontIdTable table = FontIdTable::load(ini);
    o.hasFontTable = table.present;
    o.fontTable = table.entries;
    fontTableMessage = table.message;
    return o;
}

}  // namespace qv::cli
