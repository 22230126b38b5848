#pragma once

#include "screen/C64Screen.h"
#include "settings/IniFile.h"

namespace qv {

// The 16 colours of [Color Palette] as pixel values 0xRRGGBB (read once at start-up).
C64Palette loadC64Palette(const IniFile& ini);

// The glyphs of the "Character ROM:" option: a user's 4096-byte dump, or the built-in set
// when the option is empty. A dump that cannot be used is reported through the screen's
// messages and the glyphs stay as they were. Returns whether the option's glyphs are in use.
bool applyCharsetRom(C64Screen& screen, const std::string& path);

// The settings of the file viewer's screen, section [TOK64]: "C64Screen 40/80" (starts in
// 80 columns, default off) and "C64Screen MaxText" (its text limit, default 10000).

// Makes the screen the file viewer's: limited, with the stored column mode and limit.
void applyFileViewerScreenSettings(C64Screen& screen, const IniFile& ini);

// Stores the column mode when the program closes (the limit is changed by the options).
void saveFileViewerScreenSettings(const C64Screen& screen, IniFile& ini);

}  // namespace qv
