#include "settings/WindowSettings.h"

#include <algorithm>

#include "support/Text.h"

namespace qv {
namespace {

template <class R, std::size_t N>
using Keys = std::array<SettingKey<R>, N>;

const Keys<MainFormSettings, 5> kMainFormKeys{{
    {"MainForm", "Width", &MainFormSettings::width},
    {"MainForm", "Height", &MainFormSettings::height},
    {"MainForm", "ShowIconMessage", &MainFormSettings::showIconMessage, false},
    {"ASCII", "generate", &MainFormSettings::generateAscii},
    {"ASCII", "Upper/Lower", &MainFormSettings::upperLower},
}};

const Keys<WorkAroundSettings, 2> kWorkAroundKeys{{
    {"WorkArounds", "FixCharsetVer", &WorkAroundSettings::fixCharsetVer, false},
    {"WorkArounds", "ShowModalVer", &WorkAroundSettings::showModalVer, false},
}};

const Keys<NamesSettings, 2> kNamesKeys{{
    {"Names", "Lastload", &NamesSettings::lastLoad},
    {"Names", "Lastimport Main", &NamesSettings::lastImportMain},
}};

const Keys<BamViewerSettings, 5> kBamKeys{{
    {"BAM Defaults", "FileListWidth", &BamViewerSettings::fileListWidth},
    {"BAM Defaults", "FileListOwnCaption", &BamViewerSettings::fileListOwnCaption, false},
    {"BAM Defaults", "DefaultRowHeight", &BamViewerSettings::defaultRowHeight},
    {"BAM Defaults", "DefaultColWidth", &BamViewerSettings::defaultColWidth},
    {"BAM Defaults", "SelectedColor", &BamViewerSettings::selectedColor, false},
}};

const Keys<FileViewerWindowSettings, 6> kFileViewerWindowKeys{{
    {"TOK64", "Width", &FileViewerWindowSettings::width},
    {"TOK64", "Height", &FileViewerWindowSettings::height},
    {"TOK64", "StayOnTop", &FileViewerWindowSettings::stayOnTop},
    {"TOK64", "WordWrap", &FileViewerWindowSettings::wordWrap},
    {"TOK64", "C64Screen 40/80", &FileViewerWindowSettings::c64Screen80},
    {"Names", "Lastimport TOK64", &FileViewerWindowSettings::lastImport},
}};

using FVO = FileViewerOptionsSettings;
const Keys<FVO, 13> kFileViewerOptionKeys{{
    {"File Viewer", "Conv to Chars", &FVO::convertToChars},
    {"File Viewer", "Conv Chars to ASCII", &FVO::convertCharsToAscii},
    {"File Viewer", "Conv Hex to ASCII", &FVO::convertHexToAscii},
    {"File Viewer", "Return", &FVO::replaceReturn},
    {"TOK64", "Mode", &FVO::mode},
    {"TOK64", "Autodetect", &FVO::autodetect},
    {"TOK64", "Ignore", &FVO::ignoreStartaddress},
    {"TOK64", "Syntax", &FVO::syntaxHighlighting},
    {"TOK64", "Translate", &FVO::translateSpecialchars},
    {"TOK64", "C64Screen MaxText", &FVO::c64ScreenMaxText},
    {"BAM Defaults", "FileList open", &FVO::bamFileListOpen},
    {"BAM Defaults", "Show Chain", &FVO::bamShowChain},
    {"TOK64", "LoadAtOnCreate", &FVO::loadAtOnCreate, false},
}};

using BA = BasicAddressSettings;
const Keys<BA, 6> kBasicAddressKeys{{
    {"BASIC Address", "BasicV2", &BA::basicV2},
    {"BASIC Address", "BasicV35", &BA::basicV35},
    {"BASIC Address", "BasicV7", &BA::basicV7},
    {"BASIC Address", "BasicV2Ext", &BA::basicV2Ext},
    {"BASIC Address", "BasicV35Ext", &BA::basicV35Ext},
    {"BASIC Address", "BasicV7Ext", &BA::basicV7Ext},
}};

using GD = GeosDetailsSettings;
const Keys<GD, 17> kGeosDetailsKeys{{
    {"GeosDetails", "OwnSort", &GD::ownSort, false},
    {"GeosDetails", "AllowEdit", &GD::allowEdit, false},
    {"GeosDetails", "Width", &GD::width},
    {"GeosDetails", "Height", &GD::height},
    {"GEOS", "PhotoAlbum fit", &GD::photoAlbumFit},
    {"GEOS", "Spaces between chars", &GD::spacesBetweenChars},
    {"GEOS", "ShowGrid", &GD::showGrid},
    {"GEOS", "GridColor", &GD::gridColor, false},
    {"GEOS", "Scraps newline", &GD::scrapsNewline},
    {"GEOS", "OLE", &GD::ole},
    {"GEOS", "Pagenumbers", &GD::pageNumbers},
    {"GEOS", "Header", &GD::header},
    {"GEOS", "Footer", &GD::footer},
    {"GEOS", "Scale Image2.1", &GD::scaleImage21},
    {"GEOS", "PaperFormat A4", &GD::paperFormatA4},
    {"GEOS", "ShowTextPrintColors", &GD::showTextPrintColors},
    {"GEOS", "ShowFontID", &GD::showFontId},
}};

template <class R, std::size_t N>
R loadRecord(const IniFile& ini, const Keys<R, N>& keys) {
    R r;
    readKeys<R>(ini, r, keys);
    return r;
}

std::string colorKey(std::size_t i) {
    return "Color " + std::to_string(i);
}

// A font ID: decimal digits only, small enough for an int.
std::optional<int> parseFontId(const std::string& key) {
    if (key.empty() || key.size() > 9)
        return std::nullopt;
    int n = 0;
    for (char c : key) {
        if (c < '0' || c > '9')
            return std::nullopt;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

MainFormSettings MainFormSettings::load(const IniFile& ini) {
    return loadRecord(ini, kMainFormKeys);
}
void MainFormSettings::save(IniFile& ini) const {
    writeKeys<MainFormSettings>(ini, *this, kMainFormKeys);
}

WindowExtent MainFormSettings::startSize(const IniFile& ini, WindowExtent fitted,
                                         WindowExtent available) {
    const auto side = [&ini](const char* key, int fit, int room) {
        if (ini.hasKey("MainForm", key))
            return ini.readInt("MainForm", key, fit);
        return room > 0 ? std::min(fit, room) : fit;
    };
    return {side("Width", fitted.width, available.width),
            side("Height", fitted.height, available.height)};
}

WorkAroundSettings WorkAroundSettings::load(const IniFile& ini) {
    return loadRecord(ini, kWorkAroundKeys);
}

RichEditSettings RichEditSettings::load(const IniFile& ini) {
    RichEditSettings r;
    r.maxText = ini.readInt("RichEdit", "MaxText", r.maxText);
    return r;
}

int RichEditSettings::maximumText(int platformCode) const {
    if (maxText > 0)
        return maxText;
    return platformCode > 6 ? 20000000 : 9000000;
}

NamesSettings NamesSettings::load(const IniFile& ini) {
    return loadRecord(ini, kNamesKeys);
}
std::string NamesSettings::startFolder(const IniFile& ini, const std::string& key,
                                       const std::string& home) {
    if (ini.hasKey("Names", key) || home.empty())
        return ini.readString("Names", key, kDefaultFolder);
    return home;
}

void NamesSettings::writeLastLoad(IniFile& ini, const std::string& folder) {
    ini.writeText("Names", "Lastload", folder);
}
void NamesSettings::writeLastImportMain(IniFile& ini, const std::string& folder) {
    ini.writeText("Names", "Lastimport Main", folder);
}

FileListSettings FileListSettings::load(const IniFile& ini) {
    FileListSettings r;
    r.width = ini.readInt("FileList", "Width", r.width);
    return r;
}
void FileListSettings::save(IniFile& ini) const {
    ini.writeInt("FileList", "Width", width);
}

BamViewerSettings BamViewerSettings::load(const IniFile& ini) {
    return loadRecord(ini, kBamKeys);
}
void BamViewerSettings::save(IniFile& ini) const {
    writeKeys<BamViewerSettings>(ini, *this, kBamKeys);
}

FileViewerWindowSettings FileViewerWindowSettings::load(const IniFile& ini) {
    return loadRecord(ini, kFileViewerWindowKeys);
}
void FileViewerWindowSettings::save(IniFile& ini) const {
    writeKeys<FileViewerWindowSettings>(ini, *this, kFileViewerWindowKeys);
}

FileViewerOptionsSettings FileViewerOptionsSettings::load(const IniFile& ini) {
    return loadRecord(ini, kFileViewerOptionKeys);
}
void FileViewerOptionsSettings::save(IniFile& ini) const {
    writeKeys<FileViewerOptionsSettings>(ini, *this, kFileViewerOptionKeys);
}

const char* BasicAddressSettings::key(std::string BasicAddressSettings::*list) {
    for (const auto& k : kBasicAddressKeys) {
        if (std::get<std::string BA::*>(k.field) == list)
            return k.key;
    }
    return "";
}
BasicAddressSettings BasicAddressSettings::load(const IniFile& ini) {
    return loadRecord(ini, kBasicAddressKeys);
}
void BasicAddressSettings::save(IniFile& ini) const {
    writeKeys<BasicAddressSettings>(ini, *this, kBasicAddressKeys);
}

TokenTableSettings TokenTableSettings::load(const IniFile& ini) {
    TokenTableSettings r;
    r.tableWidth = ini.readInt("TOK64", "TableWidth", r.tableWidth);
    r.tableHeight = ini.readInt("TOK64", "TableHeight", r.tableHeight);
    r.useCustomTable = ini.readBool("TOK64", "Use Custom Table", r.useCustomTable);
    r.customTableFileName = ini.readString("TOK64", "Custom Table FileName", r.customTableFileName);
    for (std::size_t i = 0; i < r.colors.size(); ++i) {
        r.colors[i] = readColour(ini, "TOK64", colorKey(i), r.colors[i]);
    }
    return r;
}
void TokenTableSettings::saveSize(IniFile& ini) const {
    ini.writeInt("TOK64", "TableWidth", tableWidth);
    ini.writeInt("TOK64", "TableHeight", tableHeight);
}
void TokenTableSettings::saveTable(IniFile& ini) const {
    ini.writeBool("TOK64", "Use Custom Table", useCustomTable);
    if (useCustomTable)
        ini.writeText("TOK64", "Custom Table FileName", customTableFileName);
    for (std::size_t i = 0; i < colors.size(); ++i)
        writeColour(ini, "TOK64", colorKey(i), colors[i]);
}
void TokenTableSettings::writeUseCustomTable(IniFile& ini, bool on) {
    ini.writeBool("TOK64", "Use Custom Table", on);
}

GeosDetailsSettings GeosDetailsSettings::load(const IniFile& ini) {
    GeosDetailsSettings r = loadRecord(ini, kGeosDetailsKeys);
    for (std::size_t i = 0; i < r.columns.size(); ++i) {
        r.columns[i] = ini.readBool("Details", std::to_string(i), r.columns[i]);
    }
    if (ini.hasSection("FontTable")) {
        r.useFontTable = ini.readBool("GEOS", "UseFontTable", r.useFontTable);
    }
    return r;
}
void GeosDetailsSettings::save(IniFile& ini) const {
    writeKeys<GeosDetailsSettings>(ini, *this, kGeosDetailsKeys);
    for (std::size_t i = 0; i < columns.size(); ++i) {
        ini.writeBool("Details", std::to_string(i), columns[i]);
    }
    ini.writeBool("GEOS", "UseFontTable", useFontTable);
}

PrintColorPalette PrintColorPalette::load(const IniFile& ini) {
    PrintColorPalette r;
    for (Entry& e : r.entries)
        e.colour = readColour(ini, "PrintText Color Palette", e.key, e.colour);
    return r;
}

PaletteSettings PaletteSettings::load(const IniFile& ini) {
    PaletteSettings r;
    for (std::size_t i = 0; i < r.colours.size(); ++i) {
        r.colours[i] = readColour(ini, "Color Palette", kKeys[i], r.colours[i]);
    }
    return r;
}

FontIdTable FontIdTable::load(const IniFile& ini) {
    FontIdTable t;
    t.present = ini.hasSection("FontTable");
    if (!t.present)
        return t;
    for (const auto& [key, value] : ini.sectionValues("FontTable")) {
        const auto id = parseFontId(key);
        if (!id) {
            t.entries.clear();
            t.message = "GeosDetails: Failed to parse FontID Table";
            return t;
        }
        std::string name = trimEnd(value.substr(0, value.find(';')), " \t");
        t.entries.emplace_back(*id, std::move(name));
    }
    std::stable_sort(t.entries.begin(), t.entries.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    return t;
}

}  // namespace qv
