#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/DiskBuilder.h"

// A GEOS disk with one small document of each kind the catalogue opens and exports, in
// this directory order: a GeoWrite text, a GeoPaint picture, a font, a photo scrap, an
// album with titles, an album without titles (three scraps) and a document of an
// unknown class. Every document is tiny but complete, so that its converter succeeds.
namespace qv::test {

inline InfoBlockSpec geosDocInfo(std::uint8_t geosType, std::uint8_t structure,
                                 const std::string& className, std::uint8_t iconSeed) {
    InfoBlockSpec s;
    s.geosType = geosType;
    s.structure = structure;
    s.className = className;
    s.author = "Tester";
    s.description = "A " + className;
    s.icon = Bytes(63);
    for (std::size_t i = 0; i < s.icon.size(); ++i)
        s.icon[i] = static_cast<std::uint8_t>(iconSeed * 37 + i * 11);
    return s;
}

// A photo scrap of `width` cards by 8 rows, all its bytes `fill`, stored with repeat
// commands.
inline Bytes geosTestScrap(int width, std::uint8_t fill) {
    Bytes d{static_cast<std::uint8_t>(width), 8, 0};
    int left = width * 9;
    while (left > 0) {
        const int n = left < 127 ? left : 127;
        d.push_back(static_cast<std::uint8_t>(n));
        d.push_back(fill);
        left -= n;
    }
    return d;
}

// One GEOS font size, 8 pixels high, every character 3 pixels wide with a few set bits.
inline Bytes geosTestFontSize() {
    const int widthBits = 95 * 3;
    const int bytesPerRow = (widthBits + 7) / 8;
    const int table = 8;
    const int stream = table + 2 * 96;
    Bytes r(static_cast<std::size_t>(stream + bytesPerRow * 8), 0);
    r[0] = 6;
    r[1] = static_cast<std::uint8_t>(bytesPerRow);
    r[3] = 8;
    r[4] = table;
    r[6] = static_cast<std::uint8_t>(stream);
    r[7] = static_cast<std::uint8_t>(stream >> 8);
    for (int k = 0; k <= 95; ++k) {
        r[static_cast<std::size_t>(table + 2 * k)] = static_cast<std::uint8_t>(3 * k);
        r[static_cast<std::size_t>(table + 2 * k + 1)] = static_cast<std::uint8_t>((3 * k) >> 8);
    }
    for (int n = 0; n < 8; ++n)
        r[static_cast<std::size_t>(stream + n * bytesPerRow + n % 4)] = 0xA5;
    return r;
}

// One GeoPaint band of 1448 bytes stored as "n bytes as they are" pieces.
inline Bytes geosTestPaintBand() {
    Bytes out;
    for (int at = 0; at < 1448; at += 63) {
        const int n = 1448 - at < 63 ? 1448 - at : 63;
        out.push_back(static_cast<std::uint8_t>(n));
        for (int i = 0; i < n; ++i)
            out.push_back(static_cast<std::uint8_t>((at + i) * 13));
    }
    return out;
}

inline void addGeosDocuments(DiskBuilder& d) {
    const std::string hello = "Hello\r";
    d.addGeosVlir("LETTER", geosDocInfo(7, 1, "Write Image V2.0", 1),
                  {Bytes(hello.begin(), hello.end())});
    d.addGeosVlir("PICTURE", geosDocInfo(7, 1, "Paint Image V1.1", 2), {geosTestPaintBand()});
    d.addGeosVlir("MYFONT", geosDocInfo(8, 1, "Test Font V1.0", 3), {geosTestFontSize()});
    d.addGeosSequential("SCRAP", geosDocInfo(4, 0, "Photo Scrap V1.1", 4), geosTestScrap(2, 0x35));
    const Bytes titles = {'S', 'e', 'a', 0, 'S', 'k', 'y', 0};
    d.addGeosVlir("TRIP", geosDocInfo(7, 1, "Photo Album V2.1", 5),
                  {geosTestScrap(1, 1), geosTestScrap(1, 2), titles});
    d.addGeosVlir("OLD", geosDocInfo(7, 1, "Photo Album V1.0", 6),
                  {geosTestScrap(1, 1), geosTestScrap(1, 2), geosTestScrap(1, 3)});
    d.addGeosSequential("NOTES", geosDocInfo(7, 0, "Unknown Class V1.0", 7), Bytes(10, 1));
}

}  // namespace qv::test
