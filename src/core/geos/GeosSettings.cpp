#include "geos/GeosSettings.h"

#include "screen/ScreenSettings.h"
#include "settings/SettingKeys.h"

namespace qv {

GeosCatalogueSettings GeosCatalogueSettings::load(const IniFile& ini) {
    GeosCatalogueSettings s;
    static_cast<GeosDetailsSettings&>(s) = GeosDetailsSettings::load(ini);
    s.printColours = PrintColorPalette::load(ini);
    s.fontTable = FontIdTable::load(ini);
    return s;
}

GeoWriteOptions geoWriteOptions(const GeosCatalogueSettings& settings) {
    GeoWriteOptions o;
    o.scrapNewlines = scrapNewlinesFromSetting(settings.scrapsNewline);
    o.scaleImage21 = settings.scaleImage21;
    o.pageNumbers = settings.pageNumbers;
    o.showPrintColours = settings.showTextPrintColors;
    o.showFontId = settings.showFontId;
    o.useFontTable = settings.useFontTable;
    o.header = settings.header;
    o.footer = settings.footer;
    o.paperA4 = settings.paperFormatA4;
    for (std::size_t i = 0; i < o.printColours.size(); ++i)
        o.printColours[i] = settings.printColours.entries[i].colour & 0xFFFFFF;
    o.hasFontTable = settings.fontTable.present;
    o.fontTable = settings.fontTable.entries;
    return o;
}

GeosViewerSettings geosViewerSettings(const IniFile& ini, const GeosCatalogueSettings& settings) {
    GeosViewerSettings s;
    s.palette = loadC64Palette(ini);
    s.spacesBetweenChars = settings.spacesBetweenChars;
    s.showGrid = settings.showGrid;
    // The grid colour is kept in the toolkit's order, blue first.
    s.gridColour = swapRedBlue(settings.gridColor);
    return s;
}

}  // namespace qv
