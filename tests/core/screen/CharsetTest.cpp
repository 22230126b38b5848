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

TEST(CharsetTest, GlyphsMatchTheRowsOfTheC64Screen) {
    struct Case {
        int glyph;
        std::array<std::uint8_t, 8> rows;
    };
    const Case cases[] = {
        {0, {0x3C, 0x66, 0x6E, 0x6E, 0x60, 0x62, 0x3C, 0x00}},    // @
        {1, {0x18, 0x3C, 0x66, 0x7E, 0x66, 0x66, 0x66, 0x00}},    // A
        {257, {0x00, 0x00, 0x3C, 0x06, 0x3E, 0x66, 0x3E, 0x00}},  // a
        {128, {0xC3, 0x99, 0x91, 0x91, 0x9F, 0x99, 0xC3, 0xFF}},  // reversed @
    };
    for (const Case& c : cases) {
        EXPECT_EQ(glyphRows(Charset::builtin(), c.glyph), c.rows) << "glyph " << c.glyph;
    }
}

// The reverse halves are stored, not computed; they must still be the inverse of their
// base glyphs. The one deliberate exception is the reversed at sign (glyph 128), whose
// sixth row is 99 rather than 9D, as on the C64 screen.
TEST(CharsetTest, ReverseHalvesAreTheInverseExceptTheReversedAtSign) {
    const Charset& cs = Charset::builtin();
    std::set<std::pair<int, int>> differences;
    for (int set = 0; set < 2; ++set) {
        for (int code = 128; code < 256; ++code) {
            int glyph = set * 256 + code;
            for (int y = 0; y < 8; ++y) {
                if (cs.row(glyph, y) != static_cast<std::uint8_t>(~cs.row(glyph - 128, y))) {
                    differences.insert({glyph, y});
                }
            }
        }
    }
    EXPECT_EQ(differences, (std::set<std::pair<int, int>>{{128, 5}}));
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
        {"bad pixel", replaceFirst("..####..", "..##x#.."), "line 4: Upper/Graphics 000: a row"},
        {"short row", replaceFirst("..####..", "..####."), "line 4: Upper/Graphics 000: a row"},
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
