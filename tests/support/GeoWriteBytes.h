#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

#include "support/DiskBuilder.h"

// The pieces of GEOS document streams (GeoWrite pages, GeoPaint bands, photo scraps),
// so a test spells out the bytes it stores.
namespace qv::test::geowrite {

inline void putWord(Bytes& out, int value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>((value >> 8) & 0xFF));
}

inline Bytes text(const std::string& s) {
    return Bytes(s.begin(), s.end());
}

// A version 2 ruler escape: margins, eight tab words (bit 15 a decimal tab), paragraph
// indent, alignment | spacing << 2, print colour code.
struct Ruler {
    int left = 0;
    int right = 479;
    std::array<int, 8> tabs{479, 479, 479, 479, 479, 479, 479, 479};
    int indent = 0;
    std::uint8_t alignment = 0;
    std::uint8_t spacing = 0;
    std::uint8_t colour = 0;

    Bytes escape() const {
        Bytes out{17};
        putWord(out, left);
        putWord(out, right);
        for (int t : tabs)
            putWord(out, t);
        putWord(out, indent);
        out.push_back(static_cast<std::uint8_t>(alignment | (spacing << 2)));
        out.push_back(colour);
        out.push_back(0);
        out.push_back(0);
        return out;
    }
    // The 20 bytes a version 1 page starts with.
    Bytes versionOne() const {
        Bytes out;
        putWord(out, left);
        putWord(out, right);
        for (int t : tabs)
            putWord(out, t);
        return out;
    }
};

inline Bytes font(int id, int points, std::uint8_t style) {
    Bytes out{23};
    putWord(out, (id << 6) | (points & 0x3F));
    out.push_back(style);
    return out;
}

inline Bytes picture(int widthCards, int height, int record) {
    Bytes out{16, static_cast<std::uint8_t>(widthCards)};
    putWord(out, height);
    out.push_back(static_cast<std::uint8_t>(record));
    return out;
}

inline Bytes& operator<<(Bytes& out, const Bytes& more) {
    out.insert(out.end(), more.begin(), more.end());
    return out;
}

// A GeoPaint band (or any bitmap stream) stored with "n bytes as they are" commands
// only, 63 bytes at the most each.
inline Bytes literalRuns(const Bytes& raw) {
    Bytes out;
    for (std::size_t at = 0; at < raw.size(); at += 63) {
        const std::size_t n = std::min<std::size_t>(63, raw.size() - at);
        out.push_back(static_cast<std::uint8_t>(n));
        out.insert(out.end(), raw.begin() + static_cast<long>(at),
                   raw.begin() + static_cast<long>(at + n));
    }
    return out;
}

// A photo scrap record: one card wide, eight rows of set pixels, white on black.
inline Bytes blackCardScrap() {
    return {1, 8, 0, 8, 0xFF, 1, 0x10};
}

}  // namespace qv::test::geowrite
