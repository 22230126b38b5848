#include "settings/Fonts.h"

namespace qv {
namespace {

constexpr int kMinFontSize = 1;
constexpr int kMaxFontSize = 500;

const std::array<FontPlace, kFontCount>& places() {
    static const std::array<FontPlace, kFontCount> p{{
        {"MainForm:", "MainForm", "", {"Terminal", kOemCharset, 6, 0}},
        {"ErrorDialogs:", "ErrorDialog", "", {"Terminal", kOemCharset, 6, 0}},
        {"BAMFileList:", "BAM Defaults", "FileList", {"Terminal", kOemCharset, 6, 0}},
        {"FileViewer:", "TOK64", "", {"Terminal", kOemCharset, 6, 0}},
        {"BAMViewer:", "BAM Defaults", "BAM", {"MS Serif", 0, 8, 0}},
        {"BAMChains:", "BAM Defaults", "Canvas", {"MS Serif", 0, 6, 0}},
    }};
    return p;
}

}  // namespace

const FontPlace& fontPlace(FontSlot slot) {
    return places()[static_cast<std::size_t>(slot)];
}

FontSettings::FontSettings() {
    for (int i = 0; i < kFontCount; ++i) {
        fonts[static_cast<std::size_t>(i)] = places()[static_cast<std::size_t>(i)].defaults;
    }
}

FontSettings loadFonts(const IniFile& ini) {
    FontSettings out;
    for (int i = 0; i < kFontCount; ++i) {
        const FontPlace& p = places()[static_cast<std::size_t>(i)];
        const std::string pre = p.prefix;
        FontSetting& f = out.fonts[static_cast<std::size_t>(i)];
        f.name = ini.readString(p.section, pre + "FontName", p.defaults.name);
        f.charset = ini.readInt(p.section, pre + "FontCharset", p.defaults.charset);
        f.size = ini.readInt(p.section, pre + "FontSize", p.defaults.size);
        if (f.size < kMinFontSize || f.size > kMaxFontSize)
            f.size = p.defaults.size;
        f.style = ini.readInt(p.section, pre + "FontStyle", p.defaults.style);
    }
    return out;
}

void saveFonts(IniFile& ini, const FontSettings& fonts, int changedBits) {
    for (int i = 0; i < kFontCount; ++i) {
        if ((changedBits & (1 << i)) == 0)
            continue;
        const FontPlace& p = places()[static_cast<std::size_t>(i)];
        const std::string pre = p.prefix;
        const FontSetting& f = fonts.fonts[static_cast<std::size_t>(i)];
        ini.writeText(p.section, pre + "FontName", f.name);
        ini.writeInt(p.section, pre + "FontCharset", f.charset);
        ini.writeInt(p.section, pre + "FontSize", f.size);
        ini.writeInt(p.section, pre + "FontStyle", f.style);
    }
}

}  // namespace qv
