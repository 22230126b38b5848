#pragma once

#include <string>

#include "geos/GeoWrite.h"
#include "screen/Palette.h"
#include "settings/IniFile.h"
#include "settings/WindowSettings.h"

namespace qv {

// Everything the GEOS catalogue and its viewers keep in the settings file: the keys
// of the catalogue window and the viewers, the print colours and the font-ID table,
// each read through its own record. The application's catalogue and the command-line
// GEOS commands read them the same way.
struct GeosCatalogueSettings : GeosDetailsSettings {
    PrintColorPalette printColours;
    FontIdTable fontTable;

    static GeosCatalogueSettings load(const IniFile& ini);
    friend bool operator==(const GeosCatalogueSettings&, const GeosCatalogueSettings&) = default;
    // The keys the program writes ([GeosDetails], [Details], [GEOS]); the print
    // colours and the font table are never written.
    void save(IniFile& ini) const { GeosDetailsSettings::save(ini); }
};

// The GeoWrite conversion as the settings choose it.
GeoWriteOptions geoWriteOptions(const GeosCatalogueSettings& settings);

// What the picture viewers take from the settings: the C64 colours of [Color Palette]
// and the font sheet options of [GEOS].
struct GeosViewerSettings {
    C64Palette palette{};
    bool spacesBetweenChars = true;
    bool showGrid = false;
    std::uint32_t gridColour = 0;  // 0xRRGGBB
};

GeosViewerSettings geosViewerSettings(const IniFile& ini, const GeosCatalogueSettings& settings);

}  // namespace qv
