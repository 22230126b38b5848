// A character ROM dump of the user's, loaded as the C64 screen loads it, then every
// glyph drawn: the chart and a screen page in both character sets.
#include "FuzzSupport.h"
#include "screen/C64Screen.h"
#include "screen/Charset.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv;
    const std::string& path = fuzz::writeInputFile({data, size}, ".bin");
    const CharsetLoad rom = loadCharsetRom(path);
    if (!rom.charset)
        return 0;
    (void)charsetChart(*rom.charset, 0x000000, 0xFFFFFF);
    C64Screen screen;
    screen.setActive(true);
    if (!screen.useCharsetRom(path))
        return 0;
    std::string all(256, '\0');
    for (int i = 0; i < 256; ++i)
        all[static_cast<std::size_t>(i)] = static_cast<char>(i);
    for (const bool upperLower : {false, true}) {
        screen.setUpperLower(upperLower);
        screen.clear();
        screen.addLine(all, false);
        screen.render();
    }
    return 0;
}
