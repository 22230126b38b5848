#include "support/CodePage.h"

#include <gtest/gtest.h>

#include <set>

namespace qv {
namespace {

TEST(CodePage437, KnownGlyphs) {
    const std::pair<int, char32_t> cases[] = {
        {0x00, 0x0000}, {0x01, 0x263A}, {0x03, 0x2665}, {0x04, 0x2666}, {0x05, 0x2663},
        {0x06, 0x2660}, {0x07, 0x2022}, {0x09, 0x25CB}, {0x0A, 0x25D9}, {0x0D, 0x266A},
        {0x14, 0x00B6}, {0x15, 0x00A7}, {0x18, 0x2191}, {0x1B, 0x2190}, {0x41, 'A'},
        {0x7F, 0x2302}, {0x81, 0x00FC}, {0x9C, 0x00A3}, {0xB0, 0x2591}, {0xB1, 0x2592},
        {0xB3, 0x2502}, {0xC4, 0x2500}, {0xC5, 0x253C}, {0xDA, 0x250C}, {0xD9, 0x2518},
        {0xDB, 0x2588}, {0xDC, 0x2584}, {0xDF, 0x2580}, {0xE1, 0x00DF}, {0xE3, 0x03C0},
        {0xFB, 0x221A}, {0xFF, 0x00A0},
    };
    for (const auto& [byte, code] : cases) {
        EXPECT_EQ(cp437ToUnicode(static_cast<std::uint8_t>(byte)), code) << byte;
    }
}

TEST(CodePage437, EveryByteComesBackFromItsGlyph) {
    std::set<char32_t> seen;
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        EXPECT_TRUE(seen.insert(cp437ToUnicode(byte)).second) << b;
        EXPECT_EQ(unicodeToCp437(cp437ToUnicode(byte)), byte) << b;
    }
}

TEST(CodePage437, NearestForCharactersItLacks) {
    EXPECT_EQ(unicodeToCp437(0x00C0), 'A');   // À
    EXPECT_EQ(unicodeToCp437(0x00F8), 'o');   // ø
    EXPECT_EQ(unicodeToCp437(0x201C), '"');   // “
    EXPECT_EQ(unicodeToCp437(0x2014), '-');   // —
    EXPECT_EQ(unicodeToCp437(0x20AC), 'E');   // €
    EXPECT_EQ(unicodeToCp437(0x00E9), 0x82);  // é is in the code page
    EXPECT_EQ(unicodeToCp437(0x4E2D), '?');   // no stand-in
}

TEST(CodePage437, ToWindows1252) {
    const std::pair<int, int> cases[] = {
        {0x82, 0xE9}, {0x81, 0xFC}, {0x8E, 0xC4}, {0x9C, 0xA3}, {0xE1, 0xDF}, {0xF8, 0xB0},
        {0xFF, 0xA0}, {0x07, 0x95}, {0x14, 0xB6}, {0x15, 0xA7}, {0x9F, 0x83}, {0xC4, '-'},
        {0xB3, '|'},  {0xDA, '+'},  {0xC5, '+'},  {0xCD, '='},  {0xB0, '#'},  {0xDB, '#'},
        {0xE3, 'p'},  {0x03, '*'},  {0x18, '^'},  {0x1B, '<'},  {0x41, 'A'},  {0x0D, 0x0D},
        {0x0A, 0x0A}, {0x09, 0x09}, {0x00, 0x00},
    };
    for (const auto& [from, to] : cases) {
        EXPECT_EQ(cp437ToWindows1252(static_cast<std::uint8_t>(from)), to) << from;
    }
    EXPECT_EQ(cp437ToWindows1252(std::string_view("\xDA\xC4\xBF\r\n\xB3\x82\xB3")),
              "+-+\r\n|\xE9|");
}

TEST(CodePage437, ToWindows1252IsTheSameCharacterOrPrintableAscii) {
    for (int b = 0; b < 256; ++b) {
        if (b == 0x00 || b == 0x09 || b == 0x0A || b == 0x0D) {
            continue;
        }
        const auto byte = static_cast<std::uint8_t>(b);
        const auto out = cp437ToWindows1252(byte);
        const bool same = windows1252ToUnicode(out) == cp437ToUnicode(byte);
        const bool ascii = out >= 0x20 && out < 0x7F && out != '?';
        EXPECT_TRUE(same || ascii || out == 0xB7 || out == 0xAC) << b << " -> " << int(out);
        EXPECT_GE(out, 0x20) << b;
    }
}

TEST(CodePage1252, HighRowAndLatin1) {
    EXPECT_EQ(windows1252ToUnicode(0x80), 0x20AC);
    EXPECT_EQ(windows1252ToUnicode(0x95), 0x2022);
    EXPECT_EQ(windows1252ToUnicode(0x81), 0x0081);
    EXPECT_EQ(windows1252ToUnicode(0xE9), 0x00E9);
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        EXPECT_EQ(unicodeToWindows1252(windows1252ToUnicode(byte)), byte) << b;
    }
    EXPECT_EQ(unicodeToWindows1252(0x2500), '-');  // box drawing takes the stand-in
}

TEST(Utf8, EncodeDecode) {
    const char32_t codes[] = {0x41, 0xE9, 0x2500, 0x263A, 0x1F600, 0x7F, 0x800, 0xFFFF};
    for (char32_t c : codes) {
        std::string s;
        appendUtf8(s, c);
        std::size_t pos = 0;
        EXPECT_EQ(decodeUtf8(s, pos), c);
        EXPECT_EQ(pos, s.size());
    }
    std::string s;
    appendUtf8(s, 0x2500);
    EXPECT_EQ(s, "\xE2\x94\x80");
}

TEST(Utf8, MalformedInputGivesReplacementAndMovesOn) {
    const std::string bad[] = {"\xC0\x80", "\xED\xA0\x80", "\xE2\x94",
                               "\x80",     "\xF8\x88",     "\xF4\x90\x80\x80"};
    for (const auto& s : bad) {
        std::size_t pos = 0;
        EXPECT_EQ(decodeUtf8(s, pos), 0xFFFDu) << s;
        EXPECT_EQ(pos, 1u);
    }
}

TEST(Cp437Text, ToUtf8AndBack) {
    EXPECT_EQ(cp437ToUtf8(std::string("\xC9\xCD\xBB\r\n\xBA\x01\x00X", 9)),
              "\xE2\x95\x94\xE2\x95\x90\xE2\x95\x97\n\xE2\x95\x91\xE2\x98\xBA X");
    // A lone LF shows its glyph; CR LF is the line break, written as asked.
    EXPECT_EQ(cp437ToUtf8("A\nB\r\nC", {"\r\n", false}),
              "A\xE2\x97\x99"
              "B\r\nC");
    EXPECT_EQ(cp437ToUtf8("\tx", {"\n", true}), "\tx");
    EXPECT_EQ(cp437ToUtf8("\tx"), "\xE2\x97\x8Bx");

    std::string all;
    for (int b = 1; b < 256; ++b) {
        all.push_back(static_cast<char>(b));
    }
    all += "\r\nend";
    EXPECT_EQ(utf8ToCp437(cp437ToUtf8(all)), all);
    EXPECT_EQ(utf8ToCp437("a\nb\r\nc"), "a\r\nb\r\nc");
}

}  // namespace
}  // namespace qv
