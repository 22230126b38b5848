// The settings file as the program reads it at start: the INI reader, then every
// record and table built from it, and the file text written back.
#include "FuzzSupport.h"
#include "geos/GeosCatalogue.h"
#include "host/Dialogs.h"
#include "screen/ScreenSettings.h"
#include "settings/Fonts.h"
#include "settings/IniFile.h"
#include "settings/ListerOptions.h"
#include "settings/WindowSettings.h"
#include "viewer/StartAddresses.h"
#include "viewer/TokenTable.h"
#include "viewer/ViewerOptions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv;
    const std::optional<IniFile> ini = IniFile::load(fuzz::writeInputFile({data, size}, ".ini"));
    if (!ini)
        return 0;
    ListerOptions options;
    (void)loadOptions(*ini, options);
    (void)loadFonts(*ini);
    (void)MainFormSettings::load(*ini);
    (void)WorkAroundSettings::load(*ini);
    (void)RichEditSettings::load(*ini);
    (void)NamesSettings::load(*ini);
    (void)FileListSettings::load(*ini);
    (void)BamViewerSettings::load(*ini);
    (void)FileViewerWindowSettings::load(*ini);
    (void)FileViewerOptionsSettings::load(*ini);
    (void)BasicAddressSettings::load(*ini);
    (void)TokenTableSettings::load(*ini);
    (void)GeosDetailsSettings::load(*ini);
    (void)PrintColorPalette::load(*ini);
    (void)PaletteSettings::load(*ini);
    (void)FontIdTable::load(*ini);
    (void)loadC64Palette(*ini);
    StartAddresses addresses;
    addresses.load(*ini);
    ViewerOptions viewer;
    viewer.load(*ini);
    test::ScriptedDialogHost host;
    Dialogs dialogs(host);
    TokenTable table(&dialogs);
    table.setStoredColours(TokenTableSettings::load(*ini).colors);
    GeosCatalogue catalogue(options, dialogs);
    catalogue.loadSettings(*ini);
    // What the program writes back at exit.
    IniFile out = *ini;
    saveOptions(out, options);
    (void)out.text();
    return 0;
}
