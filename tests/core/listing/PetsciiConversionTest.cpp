#include "listing/PetsciiConversion.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "screen/ScreenSink.h"
#include "settings/ListerOptions.h"
#include "support/RecordingScreen.h"

namespace qv {
namespace {

using Mode = CharMode;

// ---------------------------------------------------------------- convertChar

struct CharCase {
    std::uint8_t in;
    Mode mode;
    bool everything;
    std::uint8_t out;
};

TEST(ConvertChar, KnownBytes) {
    const CharCase cases[] = {
        // Upper/Lower, "Convert Everything" on
        {0x41, Mode::UpperLower, true, 0x61},
        {0xC1, Mode::UpperLower, true, 0x41},
        {0x5C, Mode::UpperLower, true, 0x9C},
        {0x5E, Mode::UpperLower, true, 0x18},
        {0x5F, Mode::UpperLower, true, 0x1B},
        {0xFF, Mode::UpperLower, true, 0xB1},
        {0xDB, Mode::UpperLower, true, 0xC5},
        {0xFA, Mode::UpperLower, true, 0xFB},  // check mark: the one byte the halves differ at
        // Upper/Graphics, "Convert Everything" on
        {0x41, Mode::UpperGraphics, true, 0x41},
        {0xC1, Mode::UpperGraphics, true, 0x06},
        {0xD3, Mode::UpperGraphics, true, 0x03},
        {0xD8, Mode::UpperGraphics, true, 0x05},
        {0xDA, Mode::UpperGraphics, true, 0x04},
        {0xD1, Mode::UpperGraphics, true, 0x07},
        {0xDE, Mode::UpperGraphics, true, 0xE3},
        {0xFF, Mode::UpperGraphics, true, 0xE3},
        {0xFA, Mode::UpperGraphics, true, 0xD9},
        // "Convert Everything" off
        {0x41, Mode::UpperLower, false, 0x41},
        {0x41, Mode::UpperGraphics, false, 0x06},
        {0x31, Mode::UpperLower, false, 0x31},
        {0x31, Mode::UpperGraphics, false, 0x31},
        {0x12, Mode::UpperLower, false, 0x72},
        {0x12, Mode::UpperGraphics, false, 0x52},
        {0x40, Mode::UpperLower, false, 0xC4},
        {0x40, Mode::UpperGraphics, false, 0xC4},
        {0x40, Mode::UpperLower, true, 0x40},
        // in both modes and settings
        {0x60, Mode::UpperLower, true, 0xC4},
        {0x60, Mode::UpperGraphics, false, 0xC4},
        {0xA0, Mode::UpperLower, false, 0x20},
        {0xA0, Mode::UpperGraphics, true, 0x20},
        {0x20, Mode::UpperGraphics, false, 0x20},
        {0x00, Mode::UpperGraphics, true, 0x40},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(convertChar(c.in, c.mode, c.everything), c.out)
            << std::hex << "byte 0x" << int(c.in) << " upperLower " << (c.mode == Mode::UpperLower)
            << " everything " << c.everything;
    }
}

TEST(ConvertChar, EveryByteGivesADisplayByteThatKeepsTheLineWhole) {
    // Whatever a name holds, the listing line must not gain a NUL, CR or LF.
    for (int everything = 0; everything < 2; ++everything) {
        for (Mode mode : {Mode::UpperGraphics, Mode::UpperLower}) {
            for (int b = 0; b < 256; ++b) {
                const auto out = convertChar(static_cast<std::uint8_t>(b), mode, everything != 0);
                EXPECT_NE(out, 0x00) << b;
                EXPECT_NE(out, 0x0A) << b;
                EXPECT_NE(out, 0x0D) << b;
            }
        }
    }
}

TEST(ConvertChar, FoldingMakesShiftedAndUnshiftedCopiesAgree) {
    // With everything folded, the C64's duplicate code ranges show the same glyphs.
    for (Mode mode : {Mode::UpperGraphics, Mode::UpperLower}) {
        for (int b = 0x40; b < 0x60; ++b) {
            const auto base = static_cast<std::uint8_t>(b + 0x80);  // 0xC0-0xDF
            EXPECT_EQ(convertChar(static_cast<std::uint8_t>(b + 0x20), mode),
                      convertChar(base, mode))
                << b;  // 0x60-0x7F
        }
        for (int b = 0xA0; b < 0xBF; ++b) {  // 0xE0-0xFE repeat 0xA0-0xBE
            EXPECT_EQ(convertChar(static_cast<std::uint8_t>(b + 0x40), mode),
                      convertChar(static_cast<std::uint8_t>(b), mode))
                << b;
        }
    }
}

TEST(ConvertText, StopsAtTheFirstZeroByte) {
    const std::string bytes("AB\0CD", 5);
    EXPECT_EQ(convertText(bytes, Mode::UpperGraphics), "AB");
    EXPECT_EQ(convertText("\x41\x42", Mode::UpperLower), "ab");
    EXPECT_EQ(convertText("", Mode::UpperLower), "");
}

// ---------------------------------------------------------------- interpretSpecialChars

using test::RecordingScreen;
using MaskCall = RecordingScreen::MaskCall;

std::string_view testKeywords(std::uint8_t b) {
    static const std::map<std::uint8_t, std::string_view> words = {
        {0x80, "end"},   {0x8C, "restore"}, {0x8D, "gosub"},
        {0x99, "print"}, {0x9E, "sys"},     {0x9F, "open"}};
    const auto it = words.find(b);
    return it == words.end() ? std::string_view{} : it->second;
}

struct InterpretResult {
    std::string text;
    std::string prefix;
    std::vector<MaskCall> calls;
};

InterpretResult interpretEntry(const std::string& name, std::string prefix = "12   ") {
    RecordingScreen screen;
    std::string text = name;
    interpretSpecialChars(text, &prefix, {}, &screen, testKeywords);
    return {text, prefix, screen.calls};
}

InterpretResult interpretHeader(const std::string& header, bool tokens = true) {
    RecordingScreen screen;
    std::string text = header;
    interpretSpecialChars(text, nullptr, {tokens}, &screen, testKeywords);
    return {text, "", screen.calls};
}

// A header text as the directory reader builds it: 0, blank, the name in quotes, ID, DOS.
std::string headerText(const std::string& name16) {
    std::string name = name16;
    name.resize(16, ' ');
    return "0 \"" + name + "\" 01 2A";
}

struct EntryCase {
    const char* what;
    std::string name;
    std::string text;
    std::string prefix;
    std::vector<MaskCall> calls;
};

TEST(InterpretSpecialChars, Entries) {
    const EntryCase cases[] = {
        {"plain name", "\"GAME\"  ", "\"GAME\"  ", "12   ", {}},
        {"DEL in quote mode",
         "\"A\x14"
         "B\"",
         "\"B\"",
         "12   ",
         {}},
        {"DEL first removes the quote",
         "\"\x14"
         "AB\"",
         "AB\"",
         "12   ",
         {}},
        {"second DEL eats into the block count",
         "\"\x14\x14"
         "AB\"",
         "AB\"",
         "12  ",
         {}},
        {"DEL run longer than name and prefix",
         std::string("\"").append(30, '\x14').append("AB"),
         "AB",
         "",
         {}},
        {"RVS ON quoted prints as code",
         "\"A\x12"
         "B\"",
         "\"A\x12"
         "B\"",
         "12   ",
         {}},
        {"RVS ON after the quotes",
         "\"AB\"\x12"
         "C",
         "\"AB\"C",
         "12   ",
         {{9, 79, true}}},
        {"RVS OFF after the quotes",
         "\"AB\"\x92"
         "C",
         "\"AB\"C",
         "12   ",
         {{9, 79, false}}},
        {"RETURN ends quote mode",
         "\"A\x0D\x12"
         "B",
         "\"AB",
         "12   ",
         {{7, 79, false}, {7, 79, true}}},
        {"shifted RETURN in quotes is a RETURN",
         "\"A\x8D\x12"
         "B",
         "\"AB",
         "12   ",
         {{7, 79, false}, {7, 79, true}}},
        {"cursor right after the quotes",
         "\"AB\"\x1D"
         "C",
         "\"AB\" C",
         "12   ",
         {{9, 9, false}}},
        {"cursor left after the quotes",
         "\"AB\"\x9D"
         "C",
         "\"ABC",
         "12   ",
         {}},
        {"other control codes after the quotes vanish",
         "\"AB\"\x05\x90\x93"
         "C",
         "\"AB\"C",
         "12   ",
         {}},
        {"control codes before the quotes print", "\x05\"A", "\x05\"A", "12   ", {}},
        {"no keywords in file names",
         "\"A\"\x99"
         "B",
         "\"A\"B",
         "12   ",
         {}},
        {"graphics after the quotes stay", "\"A\"\xA2\xFF", "\"A\"\xA2\xFF", "12   ", {}},
    };
    for (const auto& c : cases) {
        const auto r = interpretEntry(c.name);
        EXPECT_EQ(r.text, c.text) << c.what;
        EXPECT_EQ(r.prefix, c.prefix) << c.what;
        EXPECT_EQ(r.calls, c.calls) << c.what;
    }
}

TEST(InterpretSpecialChars, RvsOnQuotedShowsAsRGlyphAfterConversion) {
    const auto r = interpretEntry("\"\x12\"");
    EXPECT_EQ(convertText(r.text, Mode::UpperLower), "\"r\"");
    EXPECT_EQ(convertText(r.text, Mode::UpperGraphics), "\"R\"");
}

TEST(InterpretSpecialChars, HeaderKeywordsAfterAQuoteInTheName) {
    // Disk name A"<PRINT token>B: the inner quote ends quote mode, so the token byte lists
    // as its keyword; the closing quote at column 20 starts quote mode again.
    const std::string header = headerText(
        "A\"\x99"
        "B");
    auto r = interpretHeader(header);
    const std::string rest = std::string(12, ' ') + "\" 01 2A";
    EXPECT_EQ(r.text, "0 \"A\"PRINTB" + rest);
    EXPECT_EQ(convertText(r.text, Mode::UpperGraphics), "0 \"A\"PRINTB" + rest);

    r = interpretHeader(header, /*tokens=*/false);
    EXPECT_EQ(r.text,
              "0 \"A\"\x99"
              "B" +
                  rest);

    // A graphic byte after such a quote is not a keyword.
    r = interpretHeader(headerText("A\"\xA2"));
    EXPECT_EQ(r.text.substr(0, 7), "0 \"A\"\xA2 ");

    // Without a lookup there are no keywords either.
    std::string text = header;
    interpretSpecialChars(text, nullptr, {}, nullptr, {});
    EXPECT_EQ(text,
              "0 \"A\"\x99"
              "B" +
                  rest);
}

TEST(InterpretSpecialChars, HeaderIsCutAt80Characters) {
    // Fifteen RESTORE tokens after "0 \"\"" would reach column 109: the eleventh is cut.
    const auto r = interpretHeader(headerText("\"" + std::string(15, '\x8C')));
    ASSERT_EQ(r.text.size(), 80u);
    EXPECT_EQ(r.text.substr(0, 11), "0 \"\"RESTORE");
    EXPECT_EQ(r.text.substr(67), "RESTORERESTOR");

    // Fifteen PRINT tokens end exactly at 80 with the closing quote; the ID is cut off.
    const auto print = interpretHeader(headerText("\"" + std::string(15, '\x99')));
    ASSERT_EQ(print.text.size(), 80u);
    EXPECT_EQ(print.text.substr(74), "PRINT\"");

    // 81 printable characters are cut too.
    auto long81 = interpretHeader(std::string(81, 'A'));
    EXPECT_EQ(long81.text, std::string(80, 'A'));
}

TEST(InterpretSpecialChars, HeaderBackUpSetsTheFirstTwoColumns) {
    // DEL three times right after the opening quote walks back into "0 ".
    const auto r =
        interpretHeader(headerText("\x14\x14\x14"
                                   "AB"));
    EXPECT_EQ(r.text.substr(0, 3), "AB ");
    EXPECT_EQ(r.calls, (std::vector<MaskCall>{{1, 1, true}, {0, 0, true}}));
}

TEST(InterpretSpecialChars, MaskCallsStayOnTheLine) {
    // A prefix that reaches past column 79 gives no mask positions beyond it.
    const auto r = interpretEntry("\"A\"\x12\x1D\x92", std::string(85, ' '));
    EXPECT_TRUE(r.calls.empty());
    EXPECT_EQ(r.prefix.size(), 85u);
}

TEST(InterpretSpecialChars, EveryByteInEveryPositionStaysWithinTheLine) {
    for (int header = 0; header < 2; ++header) {
        for (int b = 0; b < 256; ++b) {
            for (int pos = 0; pos < 16; ++pos) {
                std::string name(16, 'A');
                name[static_cast<std::size_t>(pos)] = static_cast<char>(b);
                RecordingScreen screen;
                std::string prefix = "664  ";
                std::string text = header ? headerText(name) : "\"" + name + "\"";
                interpretSpecialChars(text, header ? nullptr : &prefix, {}, &screen, testKeywords);
                ASSERT_LE(text.size(), 80u);
                ASSERT_LE(prefix.size(), 5u);
                for (const auto& call : screen.calls) {
                    ASSERT_GE(call.first, 0);
                    ASSERT_LE(call.first, call.last);
                    ASSERT_LE(call.last, 79);
                }
            }
        }
    }
}

// ---------------------------------------------------------------- choice of conversion

struct ChoiceCase {
    const char* what;
    ListingTextKind kind;
    bool geos, autoGeos, disknames, interpret;
    Mode mainMode;
    bool geosText, interpreted, upperLower;
};

TEST(ChooseConversion, ByTextAndOptions) {
    using K = ListingTextKind;
    const ChoiceCase cases[] = {
        {"GEOS disk header", K::Header, true, true, true, true, Mode::UpperGraphics, true, false,
         true},
        {"GEOS disk, disk names off", K::Header, true, true, false, true, Mode::UpperGraphics,
         false, true, false},
        {"GEOS disk, auto off", K::Header, true, false, true, true, Mode::UpperLower, false, true,
         true},
        {"plain header", K::Header, false, true, true, true, Mode::UpperGraphics, false, true,
         false},
        {"plain header, no interpretation", K::Header, false, true, true, false, Mode::UpperLower,
         false, false, true},
        {"GEOS entry", K::Entry, true, true, false, true, Mode::UpperGraphics, true, false, true},
        {"GEOS entry, auto off", K::Entry, true, false, true, true, Mode::UpperGraphics, false,
         true, false},
        {"plain entry", K::Entry, false, true, true, true, Mode::UpperLower, false, true, true},
    };
    for (const auto& c : cases) {
        ListerOptions options;
        options.autoGeosConversion = c.autoGeos;
        options.convertGeosDisknames = c.disknames;
        options.interpretSpecialchars = c.interpret;
        const auto choice = chooseConversion(c.kind, c.geos, options, c.mainMode);
        EXPECT_EQ(choice.geosText, c.geosText) << c.what;
        EXPECT_EQ(choice.interpret, c.interpreted) << c.what;
        EXPECT_EQ(choice.upperLower, c.upperLower) << c.what;
        if (!c.geosText) {
            EXPECT_EQ(choice.mode, c.mainMode) << c.what;
        }
    }
}

TEST(ConvertListingText, GeosNamesUseTheGermanLetters) {
    ListerOptions options;
    const auto choice =
        chooseConversion(ListingTextKind::Entry, true, options, Mode::UpperGraphics);
    std::string prefix = "3    ";
    auto r = convertListingText(choice, "\"Gr}n\"", &prefix, options);
    EXPECT_EQ(r.listing, "\"Gr\x81n\"");
    EXPECT_EQ(r.screen, "\"Gr}n\"");
    EXPECT_EQ(prefix, "3    ");

    options.umlaute = false;
    r = convertListingText(choice, "\"Gr}n\"", &prefix, options);
    EXPECT_EQ(r.listing, "\"Gr}n\"");

    // A zero byte ends GEOS text as it ends PETSCII text.
    r = convertListingText(choice, std::string("\"AB\0CD", 6), &prefix, options);
    EXPECT_EQ(r.listing, "\"AB");
}

TEST(ConvertListingText, PetsciiHeaderIsInterpretedThenConverted) {
    ListerOptions options;
    RecordingScreen screen;
    const auto choice = chooseConversion(ListingTextKind::Header, false, options, Mode::UpperLower);
    const auto r = convertListingText(choice, headerText("A\"\x99\x12"), nullptr, options, &screen,
                                      testKeywords);
    // The screen gets the interpreted bytes; the listing their Upper/Lower glyphs.
    EXPECT_EQ(r.screen.substr(0, 10), "0 \"A\"PRINT");
    EXPECT_EQ(r.listing.substr(0, 10), "0 \"a\"print");
    EXPECT_EQ(screen.calls, (std::vector<MaskCall>{{10, 79, true}}));

    // With the interpretation off the bytes are only converted.
    options.interpretSpecialchars = false;
    const auto raw = chooseConversion(ListingTextKind::Header, false, options, Mode::UpperLower);
    const auto r2 = convertListingText(raw, headerText("A\"\x99"), nullptr, options);
    EXPECT_EQ(r2.screen, headerText("A\"\x99"));
    EXPECT_EQ(r2.listing.substr(0, 7), "0 \"a\"Y ");
}

}  // namespace
}  // namespace qv
