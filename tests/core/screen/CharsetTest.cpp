#include "screen/Charset.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "screen/Palette.h"
#include "support/GoldenImage.h"

namespace qv {
namespace {

const std::filesystem::path kGolden = test::goldenDir("screen");

std::array<std::uint8_t, 8> glyphRows(const Charset& cs, int glyph) {
    std::array<std::uint8_t, 8> rows{};
    for (int y = 0; y < 8; ++y) {
        rows[static_cast<std::size_t>(y)] = cs.row(glyph, y);
    }
    return rows;
}

// The text form of a set, as the asset writes it.
std::string toText(const Charset& cs, const std::string& lineEnd = "\n") {
    std::string text = "; a comment" + lineEnd + lineEnd;
    for (int g = 0; g < Charset::kGlyphs; ++g) {
        char header[48];
        std::snprintf(header, sizeof header, "%s %03d: glyph %d",
                      g < 256 ? "Upper/Graphics" : "Upper/Lower", g & 0xFF, g);
        text += header + lineEnd;
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x) {
                text += (cs.row(g, y) & (0x80 >> x)) != 0 ? '#' : '.';
            }
            text += lineEnd;
        }
        text += lineEnd;
    }
    return text;
}

// Bit 7 is the leftmost pixel and the first row the top one: the bars along the left
// and bottom edges show both.
TEST(CharsetTest, GlyphBytesAreRowsTopFirstWithBit7Leftmost) {
    struct Case {
        int glyph;
        std::array<std::uint8_t, 8> rows;
    };
    const Case cases[] = {
        {116, {0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0, 0xC0}},        // left bar, two pixels
        {111, {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF}},        // bottom bar, two rows
        {256 + 126, {0xF0, 0xF0, 0xF0, 0xF0, 0x00, 0x00, 0x00, 0x00}},  // quadrant, upper left
    };
    for (const Case& c : cases) {
        EXPECT_EQ(glyphRows(Charset::builtin(), c.glyph), c.rows) << "glyph " << c.glyph;
    }
}

// Every screen code of both sets shows something of its own: only the two spaces are
// blank, and no two codes share a glyph except the pairs that mean the same thing (the
// two spaces, and in Upper/Graphics the two middle lines of each direction). The reverse halves are
// stored, not computed; each is exactly the inverse of its base glyph.
TEST(CharsetTest, EveryCodeHasItsOwnGlyphAndItsExactReverse) {
    const Charset& cs = Charset::builtin();
    const std::set<int> blank = {32, 96};
    const std::set<std::pair<int, int>> alike = {{32, 96}, {64, 67}, {66, 93}};
    for (int set = 0; set < 2; ++set) {
        const int base = set * 256;
        for (int code = 0; code < 128; ++code) {
            const auto rows = glyphRows(cs, base + code);
            const bool empty = rows == std::array<std::uint8_t, 8>{};
            EXPECT_EQ(empty, blank.count(code) == 1) << "set " << set << " code " << code;
            for (int other = code + 1; other < 128; ++other) {
                const bool same = rows == glyphRows(cs, base + other);
                const bool meantAlike = alike.count({code, other}) == 1 && (set == 0 || code == 32);
                EXPECT_EQ(same, meantAlike) << "set " << set << " codes " << code << ", " << other;
            }
            for (int y = 0; y < 8; ++y) {
                EXPECT_EQ(cs.row(base + code + 128, y), static_cast<std::uint8_t>(~rows[y]))
                    << "set " << set << " code " << code + 128 << " row " << y;
            }
        }
    }
}

// What the two sets share: Upper/Lower shows the capitals at 65-90 and the same digits,
// punctuation and most graphics as Upper/Graphics.
TEST(CharsetTest, SetsShareWhatTheC64Shares) {
    const Charset& cs = Charset::builtin();
    for (int code = 0; code < 128; ++code) {
        bool lowerLetter = code >= 1 && code <= 26;
        bool ownGraphic =
            (code >= 65 && code <= 90) || code == 94 || code == 95 || code == 105 || code == 122;
        if (!lowerLetter && !ownGraphic) {
            EXPECT_EQ(glyphRows(cs, code), glyphRows(cs, 256 + code)) << "code " << code;
        }
        if (code >= 65 && code <= 90) {
            EXPECT_EQ(glyphRows(cs, 256 + code), glyphRows(cs, code - 64)) << "code " << code;
        }
        if (lowerLetter || ownGraphic) {
            EXPECT_NE(glyphRows(cs, code), glyphRows(cs, 256 + code)) << "code " << code;
        }
    }
    EXPECT_EQ(glyphRows(cs, 32), (std::array<std::uint8_t, 8>{}));  // space is blank
}

TEST(CharsetTest, TextFormReadsBackWithEitherLineEnd) {
    for (const char* lineEnd : {"\n", "\r\n"}) {
        std::string error;
        std::optional<Charset> parsed = Charset::parse(toText(Charset::builtin(), lineEnd), &error);
        ASSERT_TRUE(parsed.has_value()) << error;
        EXPECT_EQ(*parsed, Charset::builtin());
    }
}

TEST(CharsetTest, BrokenTextIsRefusedWithTheLine) {
    const std::string good = toText(Charset::builtin());
    auto replaceFirst = [&](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    struct Case {
        const char* what;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {"glyph out of order", replaceFirst("Upper/Graphics 002:", "Upper/Graphics 003:"),
         "line 23: expected the header of Upper/Graphics 002"},
        {"bad pixel", replaceFirst("..###...", "..#x#..."), "line 4: Upper/Graphics 000: a row"},
        {"short row", replaceFirst("..###...", "..###.."), "line 4: Upper/Graphics 000: a row"},
        {"missing glyphs", good.substr(0, good.find("Upper/Lower 000:")), "only 256 of 512"},
        {"text after the last glyph", good + "Upper/Lower 256: extra\n", "after the last glyph"},
        {"last glyph cut short", good.substr(0, good.size() - 20), "fewer than 8 rows"},
    };
    for (const Case& c : cases) {
        std::string error;
        EXPECT_FALSE(Charset::parse(c.text, &error).has_value()) << c.what;
        EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
    }
}

TEST(CharsetTest, RomDumpOfTheRightSizeReplacesTheSet) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "qv_charset_test";
    std::filesystem::create_directories(dir);
    auto write = [&](const std::string& name, std::size_t size) {
        std::filesystem::path p = dir / name;
        std::ofstream out(p, std::ios::binary);
        for (std::size_t i = 0; i < size; ++i) {
            out.put(static_cast<char>(i * 7 + 3));
        }
        return p.string();
    };
    CharsetLoad ok = loadCharsetRom(write("rom.bin", 4096));
    ASSERT_TRUE(ok.charset.has_value()) << ok.message;
    EXPECT_TRUE(ok.message.empty());
    EXPECT_EQ(ok.charset->row(0, 0), 3);
    EXPECT_EQ(ok.charset->row(511, 7), static_cast<std::uint8_t>(4095 * 7 + 3));

    for (std::size_t size :
         {std::size_t{0}, std::size_t{4095}, std::size_t{4097}, std::size_t{8192}}) {
        CharsetLoad bad = loadCharsetRom(write("bad.bin", size));
        EXPECT_FALSE(bad.charset.has_value()) << size;
        EXPECT_NE(bad.message.find("has " + std::to_string(size) + " bytes"), std::string::npos)
            << bad.message;
        EXPECT_NE(bad.message.find("built-in character set"), std::string::npos);
    }
    CharsetLoad missing = loadCharsetRom((dir / "nothing-here.bin").string());
    EXPECT_FALSE(missing.charset.has_value());
    EXPECT_NE(missing.message.find("Cannot read"), std::string::npos);
    std::filesystem::remove_all(dir);
}

// The chart of all 512 glyphs: any change to the asset shows up here, and the actual
// chart is written beside the golden one to look at.
TEST(CharsetTest, ChartOfAllGlyphs) {
    Image1 chart = charsetChart(Charset::builtin(), kDefaultC64Palette[6], kDefaultC64Palette[14]);
    EXPECT_TRUE(test::matchesGolden(chart, kGolden / "charset_chart.bmp"));
}

}  // namespace
}  // namespace qv
