#include "screen/ScreenSettings.h"

namespace qv {

namespace {
const char* const kSection = "TOK64";
const char* const kColumnsKey = "C64Screen 40/80";
const char* const kMaxTextKey = "C64Screen MaxText";
}  // namespace

void applyFileViewerScreenSettings(C64Screen& screen, const IniFile& ini) {
    screen.setLimited(true);
    screen.setTextLimit(ini.readInt(kSection, kMaxTextKey, C64Screen::kDefaultTextLimit));
    screen.setColumns80(ini.readBool(kSection, kColumnsKey, false), false);
}

void saveFileViewerScreenSettings(const C64Screen& screen, IniFile& ini) {
    ini.writeBool(kSection, kColumnsKey, screen.columns80());
}

}  // namespace qv
