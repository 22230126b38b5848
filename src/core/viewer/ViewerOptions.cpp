#include "viewer/ViewerOptions.h"

#include "host/Dialogs.h"
#include "settings/IniFile.h"
#include "viewer/TokenTable.h"

namespace qv {
namespace {
const char* const kFileViewer = "File Viewer";
const char* const kTok64 = "TOK64";
const char* const kBam = "BAM Defaults";
}  // namespace

void ViewerOptions::reloadOptions(const IniFile& ini) {
    const ViewerOptions d;
    convertToChars = ini.readBool(kFileViewer, "Conv to Chars", d.convertToChars);
    convertCharsToAscii = ini.readBool(kFileViewer, "Conv Chars to ASCII", d.convertCharsToAscii);
    convertHexToAscii = ini.readBool(kFileViewer, "Conv Hex to ASCII", d.convertHexToAscii);
    replaceReturn = ini.readBool(kFileViewer, "Return", d.replaceReturn);
    mode = ini.readInt(kTok64, "Mode", d.mode);
    autodetect = ini.readBool(kTok64, "Autodetect", d.autodetect);
    ignoreStartaddress = ini.readBool(kTok64, "Ignore", d.ignoreStartaddress);
    syntaxHighlighting = ini.readBool(kTok64, "Syntax", d.syntaxHighlighting);
    translateSpecialchars = ini.readBool(kTok64, "Translate", d.translateSpecialchars);
    c64ScreenMaxText = ini.readInt(kTok64, "C64Screen MaxText", d.c64ScreenMaxText);
    bamFileListOpen = ini.readBool(kBam, "FileList open", d.bamFileListOpen);
    bamShowChain = ini.readBool(kBam, "Show Chain", d.bamShowChain);
    applyDependencies();
}

void ViewerOptions::load(const IniFile& ini) {
    reloadOptions(ini);
    loadAtOnCreate = ini.readBool(kTok64, "LoadAtOnCreate", false);
    startAddresses.load(ini);
}

void ViewerOptions::save(IniFile& ini) const {
    ini.writeBool(kFileViewer, "Conv to Chars", convertToChars);
    ini.writeBool(kFileViewer, "Conv Chars to ASCII", convertCharsToAscii);
    ini.writeBool(kFileViewer, "Conv Hex to ASCII", convertHexToAscii);
    ini.writeBool(kFileViewer, "Return", replaceReturn);
    ini.writeInt(kTok64, "Mode", mode);
    ini.writeBool(kTok64, "Autodetect", autodetect);
    ini.writeBool(kTok64, "Ignore", ignoreStartaddress);
    ini.writeBool(kTok64, "Syntax", syntaxHighlighting);
    ini.writeBool(kTok64, "Translate", translateSpecialchars);
    ini.writeInt(kTok64, "C64Screen MaxText", c64ScreenMaxText);
    ini.writeBool(kBam, "FileList open", bamFileListOpen);
    ini.writeBool(kBam, "Show Chain", bamShowChain);
}

void ViewerOptions::applyDependencies() {
    if (autodetect)
        ignoreStartaddress = false;
}

bool ViewerOptions::setTranslateSpecialchars(bool on, const TokenTable& table, DialogHost* host) {
    if (on && table.specialCharsSet() == -1) {
        if (host != nullptr) {
            host->showMessage(
                "TokenTable: No SpecialChars Table found (Type 1)...\nSpecialChars can't be "
                "displayed!");
        }
        on = false;
    }
    translateSpecialchars = on;
    return on;
}

}  // namespace qv
