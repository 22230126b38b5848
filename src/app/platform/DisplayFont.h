#pragma once

#include <QFont>

#include "settings/Fonts.h"

namespace qv::app {

// The font a stored font setting stands for on this system. "Terminal" (the default
// of the text fonts) is the PC's OEM screen font with the box-drawing and shade
// glyphs of code page 437; here a monospace font with those glyphs takes its place
// (DejaVu Sans Mono when installed, else the system's fixed font), at a size that
// reads like the 8 x 12 pixel original. Any other stored face is used as it is.
QFont displayFont(const FontSetting& setting);

// A font chosen in the font dialog as a setting, keeping the stored character set.
FontSetting fontSetting(const QFont& font, int charset);

}  // namespace qv::app
