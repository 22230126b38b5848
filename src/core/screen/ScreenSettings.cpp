#include "screen/ScreenSettings.h"

#include "settings/WindowSettings.h"

namespace qv {

namespace {
const char* const kSection = "TOK64";
const char* const kColumnsKey = "C64Screen 40/80";
const char* const kMaxTextKey = "C64Screen MaxText";
}  // namespace

C64Palette loadC64Palette(const IniFile& ini) {
    const PaletteSettings stored = PaletteSettings::load(ini);
    C64Palette palette{};
    for (std::size_t i = 0; i < palette.size(); ++i)
        palette[i] = stored.colours[i] & 0xFFFFFFu;
    return palette;
}

bool applyCharsetRom(C64Screen& screen, const std::string& path) {
    if (path.empty()) {
        screen.setCharset(Charset::builtin());
        return true;
    }
    return screen.useCharsetRom(path);
}

void applyFileViewerScreenSettings(C64Screen& screen, const IniFile& ini) {
    screen.setLimited(true);
    screen.setTextLimit(ini.readInt(kSection, kMaxTextKey, C64Screen::kDefaultTextLimit));
    screen.setColumns80(ini.readBool(kSection, kColumnsKey, false), false);
}

void saveFileViewerScreenSettings(const C64Screen& screen, IniFile& ini) {
    ini.writeBool(kSection, kColumnsKey, screen.columns80());
}

}  // namespace qv
