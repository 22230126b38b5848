#include "settings/ListerOptions.h"

#include <algorithm>
#include <filesystem>
#include <optional>
#include <system_error>

#include "settings/HeaderStyle.h"

namespace qv {
namespace {

constexpr int kMaxImagesInC64Screen = 100000;
constexpr int kMaxSkip = 255;

struct ImageField {
    HeaderStyleField field;
    const char* key;
    std::string ListerOptions::*value;
    std::string ListerOptions::*text;
    int ListerOptions::*width;
};

constexpr ImageField kImageFields[] = {
    {HeaderStyleField::Header, "HeaderImage", &ListerOptions::headerImage,
     &ListerOptions::headerImageText, &ListerOptions::headerImageWidth},
    {HeaderStyleField::Pre, "PreImage", &ListerOptions::preImage, &ListerOptions::preImageText,
     &ListerOptions::preImageWidth},
    {HeaderStyleField::Post, "PostImage", &ListerOptions::postImage, &ListerOptions::postImageText,
     &ListerOptions::postImageWidth},
    {HeaderStyleField::Footer, "FooterImage", &ListerOptions::footerImage,
     &ListerOptions::footerImageText, &ListerOptions::footerImageWidth},
};

// Works out one style's text and width; false when it does not parse.
bool deriveImage(ListerOptions& o, const ImageField& f, const std::string& value) {
    const std::optional<HeaderStyle> style = parseHeaderStyle(value);
    o.*f.text = style ? style->text : std::string();
    o.*f.width = style ? style->width : 0;
    return style.has_value();
}

int fortyTrackTypeFor(int stored) {
    return stored == 1 || stored == 2 ? stored : 3;
}

void writeRecord(IniFile& ini, const ListerOptions& o) {
    ini.writeText("Names", "Savename", o.saveName);
    ini.writeText("Names", "Multifilename", o.multifileName);
    ini.writeText("Names", "Savepath", o.savePath);

    ini.writeBool("Conversion", "everything", o.convertEverything);
    ini.writeBool("Conversion", "special", o.interpretSpecialchars);
    ini.writeBool("Conversion", "tokens", o.displayBasicV2Tokens);
    ini.writeBool("Conversion", "auto", o.autoGeosConversion);
    ini.writeBool("Conversion", "disknames", o.convertGeosDisknames);
    ini.writeBool("Conversion", "delfiles", o.showDeletedFiles);
    ini.writeBool("Conversion", "144 Files", o.allowMoreThan144Files);
    ini.writeBool("Conversion", "Zero", o.abortImageAt0x00);

    ini.writeBool("ASCII", "Save to", o.showSavedToMessage);
    ini.writeBool("ASCII", "Header", o.generateHeader);
    ini.writeInt("ASCII", "Add path", o.addPath == 2 ? 2 : 1);
    ini.writeBool("ASCII", "Add Custom Header", o.customHeader);
    // Quoted: the reader strips blanks at the ends, and "1,-,1, " needs its last one.
    for (const ImageField& f : kImageFields)
        ini.writeQuoted("ASCII", f.key, o.*f.value);
    ini.writeText("ASCII", "driveletter", o.driveLetter);
    ini.writeInt("ASCII", "skip", o.skip);

    ini.writeInt("C64 Screen", "num", o.imagesInC64Screen);
    ini.writeText("C64 Screen", "CharROM", o.charsetRom);

    ini.writeBool("GEOS", "Generate", o.generateGeosFileDetails);
    ini.writeBool("GEOS", "SpecialChars_Umlaute", o.umlaute);
    ini.writeBool("GEOS", "SpecialChars_Eszett", o.eszett);
    ini.writeBool("GEOS", "SpecialChars_Para", o.paragraph);

    ini.writeBool("40Tracks", "Enable", o.enable40Tracks);
    ini.writeBool("40Tracks", "AutoDetect", o.autoDetectMode);
    ini.writeBool("40Tracks", "ChangeType", o.changeDosType);
    ini.writeInt("40Tracks", "Typ", fortyTrackTypeFor(o.fortyTrackType));
}

void writeScaleFlags(IniFile& ini, const ListerOptions& o) {
    ini.writeBool("BAM Defaults", "BAMFontSizeScale", o.bamViewerScale);
    ini.writeBool("BAM Defaults", "CanvasFontSizeScale", o.bamChainsScale);
}

}  // namespace

ListerOptions::ListerOptions() {
    recomputeLimits();
    for (const ImageField& f : kImageFields) {
        deriveImage(*this, f, resolveHeaderStyle(f.field, this->*f.value));
    }
}

std::vector<std::string> recomputeOptions(ListerOptions& o) {
    o.recomputeLimits();
    std::vector<std::string> messages;
    for (const ImageField& f : kImageFields) {
        o.*f.value = resolveHeaderStyle(f.field, o.*f.value);
        if (!deriveImage(o, f, o.*f.value)) {
            messages.emplace_back(headerStyleFailureMessage(f.field));
        }
    }
    return messages;
}

OptionsEnabling optionsEnabling(const ListerOptions& o) {
    OptionsEnabling e;
    e.headerControls = o.generateHeader;
    e.customHeaderEdit = o.generateHeader && o.customHeader;
    e.geosDisknames = o.autoGeosConversion;
    e.basicTokens = o.interpretSpecialchars;
    e.fortyTrackOptions = o.enable40Tracks;
    e.dosTypeChoice = o.enable40Tracks && !o.autoDetectMode;
    return e;
}

OptionsLoadResult loadOptions(const IniFile& ini, ListerOptions& options) {
    ListerOptions o;  // the defaults of every key

    o.saveName = ini.readString("Names", "Savename", o.saveName);
    o.multifileName = ini.readString("Names", "Multifilename", o.multifileName);
    o.savePath = ini.readString("Names", "Savepath", o.savePath);

    o.convertEverything = ini.readBool("Conversion", "everything", o.convertEverything);
    o.interpretSpecialchars = ini.readBool("Conversion", "special", o.interpretSpecialchars);
    o.displayBasicV2Tokens = ini.readBool("Conversion", "tokens", o.displayBasicV2Tokens);
    o.autoGeosConversion = ini.readBool("Conversion", "auto", o.autoGeosConversion);
    o.convertGeosDisknames = ini.readBool("Conversion", "disknames", o.convertGeosDisknames);
    o.showDeletedFiles = ini.readBool("Conversion", "delfiles", o.showDeletedFiles);
    o.allowMoreThan144Files = ini.readBool("Conversion", "144 Files", o.allowMoreThan144Files);
    o.abortImageAt0x00 = ini.readBool("Conversion", "Zero", o.abortImageAt0x00);
    o.dirAbortWithNull = ini.readInt("Conversion", "DirAbortWithNull", o.dirAbortWithNull);

    o.showSavedToMessage = ini.readBool("ASCII", "Save to", o.showSavedToMessage);
    o.generateHeader = ini.readBool("ASCII", "Header", o.generateHeader);
    // Only 1 and 2 select a radio button; anything else keeps "Add Path Always".
    const int addPath = ini.readInt("ASCII", "Add path", o.addPath);
    o.addPath = addPath == 2 ? 2 : 1;
    o.customHeader = ini.readBool("ASCII", "Add Custom Header", o.customHeader);
    for (const ImageField& f : kImageFields) {
        o.*f.value = ini.readString("ASCII", f.key, o.*f.value);
    }
    o.driveLetter = ini.readString("ASCII", "driveletter", o.driveLetter);
    o.skip = std::clamp(ini.readInt("ASCII", "skip", o.skip), 0, kMaxSkip);

    o.imagesInC64Screen =
        std::clamp(ini.readInt("C64 Screen", "num", o.imagesInC64Screen), 0, kMaxImagesInC64Screen);
    o.charsetRom = ini.readString("C64 Screen", "CharROM", "");

    o.generateGeosFileDetails = ini.readBool("GEOS", "Generate", o.generateGeosFileDetails);
    o.umlaute = ini.readBool("GEOS", "SpecialChars_Umlaute", o.umlaute);
    o.eszett = ini.readBool("GEOS", "SpecialChars_Eszett", o.eszett);
    o.paragraph = ini.readBool("GEOS", "SpecialChars_Para", o.paragraph);

    o.enable40Tracks = ini.readBool("40Tracks", "Enable", o.enable40Tracks);
    o.autoDetectMode = ini.readBool("40Tracks", "AutoDetect", o.autoDetectMode);
    o.changeDosType = ini.readBool("40Tracks", "ChangeType", o.changeDosType);
    o.fortyTrackType = fortyTrackTypeFor(ini.readInt("40Tracks", "Typ", o.fortyTrackType));

    o.bamViewerScale = ini.readBool("BAM Defaults", "BAMFontSizeScale", o.bamViewerScale);
    o.bamChainsScale = ini.readBool("BAM Defaults", "CanvasFontSizeScale", o.bamChainsScale);

    OptionsLoadResult result;
    if (o.savePath != "DEFAULT") {
        std::error_code ec;
        if (!o.savePath.empty() && std::filesystem::is_directory(o.savePath, ec)) {
            result.saveFolder = o.savePath;
        } else {
            o.savePath = "DEFAULT";  // the folder is gone: back to "Default Path"
        }
    }

    result.messages = recomputeOptions(o);
    options = std::move(o);
    return result;
}

void saveOptions(IniFile& ini, const ListerOptions& options) {
    writeRecord(ini, options);
    writeScaleFlags(ini, options);
}

void saveOptions(IniFile& ini, const ListerOptions& options, const FontSettings& fonts,
                 int changedFonts) {
    writeRecord(ini, options);
    saveFonts(ini, fonts, changedFonts);
    writeScaleFlags(ini, options);
}

std::string normalizeSaveName(const std::string& answer) {
    if (answer.empty())
        return "DEFAULT";
    if (answer.find('.') == std::string::npos)
        return answer + ".txt";
    return answer;
}

bool isCompleteFolderText(const std::string& text) {
    return !text.empty() && std::filesystem::path(text).is_absolute();
}

SaveFolderResult prepareSaveFolder(const std::string& folder) {
    std::string f = folder;
    const char sep = static_cast<char>(std::filesystem::path::preferred_separator);
    if (!f.empty() && f.back() != sep && f.back() != '/')
        f += sep;
    std::error_code ec;
    if (!f.empty() && isCompleteFolderText(f)) {
        if (std::filesystem::is_directory(f, ec))
            return {f, {}};
        std::filesystem::create_directories(f, ec);
        if (!ec && std::filesystem::is_directory(f, ec))
            return {f, {}};
    }
    return {{}, "Failed to create folder " + f};
}

FolderHistory::Choice FolderHistory::choose(const std::string& text) {
    Choice c;
    c.result = prepareSaveFolder(text);
    if (!c.result.message.empty())
        return c;
    const auto at = std::find(folders.begin(), folders.end(), c.result.folder);
    c.index = static_cast<int>(at - folders.begin());
    if (at == folders.end())
        folders.push_back(c.result.folder);
    return c;
}

}  // namespace qv
