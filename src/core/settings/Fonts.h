#pragma once

#include <array>
#include <string>

#include "settings/IniFile.h"

namespace qv {

// The six fonts of the options page "Fonts", in the order of their change bits.
enum class FontSlot : int {
    MainForm = 0,      // the listing text of the main window
    ErrorDialogs = 1,  // the name line of the error dialog
    BamFileList = 2,   // file list and disk header of the BAM viewer
    FileViewer = 3,    // the file viewer text
    BamViewer = 4,     // the block grid
    BamChains = 5,     // the chain numbers drawn over the grid
};
inline constexpr int kFontCount = 6;

// The bit of a font in the changed-fonts set: 1, 2, 4, 8, 16, 32.
constexpr int fontBit(FontSlot slot) {
    return 1 << static_cast<int>(slot);
}
inline constexpr int kAllFontBits = 63;

inline constexpr int kFontStyleBold = 1;
inline constexpr int kFontStyleItalic = 2;
// Charset 255 is the OEM character set (code page 437 here).
inline constexpr int kOemCharset = 255;
// Charset 2: a symbol font, whose own 8-bit glyphs a rich-text save must keep.
inline constexpr int kSymbolCharset = 2;

struct FontSetting {
    std::string name;
    int charset = 0;
    int size = 0;   // points, 1-500
    int style = 0;  // bit 0 bold, bit 1 italic
    friend bool operator==(const FontSetting&, const FontSetting&) = default;
};

// Where a font is stored: four keys prefix + "FontName", "FontCharset", "FontSize"
// and "FontStyle" in the section.
struct FontPlace {
    const char* label;  // the label on the "Fonts" page
    const char* section;
    const char* prefix;
    FontSetting defaults;
};
const FontPlace& fontPlace(FontSlot slot);

struct FontSettings {
    std::array<FontSetting, kFontCount> fonts;
    FontSettings();
    FontSetting& operator[](FontSlot s) { return fonts[static_cast<std::size_t>(s)]; }
    const FontSetting& operator[](FontSlot s) const { return fonts[static_cast<std::size_t>(s)]; }
};

// Reads the six fonts; missing keys give the defaults, a size outside 1-500 the
// default size.
FontSettings loadFonts(const IniFile& ini);

// Writes the fonts whose bit is set in changedBits (the fonts changed since the
// options dialog was opened); the others are left as stored.
void saveFonts(IniFile& ini, const FontSettings& fonts, int changedBits);

}  // namespace qv
