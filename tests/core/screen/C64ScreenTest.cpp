#include "screen/C64Screen.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "screen/ScreenSettings.h"
#include "settings/IniFile.h"
#include "support/Bmp.h"
#include "support/GoldenImage.h"
#include "support/Png.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

const std::filesystem::path kGolden = test::goldenDir("screen");
constexpr std::uint32_t kBlue = kDefaultC64Palette[6];
constexpr std::uint32_t kLightBlue = kDefaultC64Palette[14];

// A screen whose messages are collected.
struct ScreenFixture : ::testing::Test {
    std::vector<std::string> messages;
    C64Screen::MessageFn collect() {
        return [this](const std::string& m) { messages.push_back(m); };
    }
    C64Screen screen{collect()};

    // The screen codes of a row with their reverse and set bits.
    std::vector<ScreenCell> row(const C64Screen& s, int r) {
        std::vector<ScreenCell> cells;
        for (int c = 0; c < s.columns(); ++c) {
            cells.push_back(s.cell(r, c));
        }
        return cells;
    }
    // What a row shows as ASCII for plain letters, digits and spaces (reverse bit dropped).
    std::string text(const C64Screen& s, int r) {
        std::string out;
        for (ScreenCell cell : row(s, r)) {
            int code = cell & kCellCodeMask;
            out += code >= 1 && code <= 26 ? static_cast<char>('A' + code - 1)
                                           : static_cast<char>(code);
        }
        return out;
    }
};

std::string padded(const std::string& s, std::size_t width = 40) {
    return s + std::string(width - s.size(), ' ');
}

std::filesystem::path freshDir(const std::string& name) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / name;
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    return dir;
}

TEST_F(ScreenFixture, LinesFillRowsOfFortyAndBreakAfterTheLastColumn) {
    struct Case {
        std::size_t length;
        int rows;
    };
    for (Case c : {Case{0, 1}, Case{1, 1}, Case{39, 1}, Case{40, 1}, Case{41, 2}, Case{80, 2},
                   Case{81, 3}}) {
        screen.clear();
        screen.addLine(std::string(c.length, 'A'), false);
        screen.addLine("B", false);
        ASSERT_EQ(screen.lineCount(), c.rows + 1) << c.length;
        std::string last(c.length % 40 == 0 && c.length > 0 ? 40 : c.length % 40, 'A');
        EXPECT_EQ(text(screen, c.rows - 1), padded(last)) << c.length;
        EXPECT_EQ(text(screen, c.rows), padded("B")) << "the next line starts a new row";
    }
    // The padding is a plain space in the Upper/Graphics set, whatever the line's set.
    screen.clear();
    screen.setUpperLower(true);
    screen.addLine("A", false);
    EXPECT_EQ(screen.cell(0, 0), 1 | kCellUpperLower);
    EXPECT_EQ(screen.cell(0, 1), 32);
}

TEST_F(ScreenFixture, PetsciiBytesBecomeScreenCodes) {
    struct Case {
        std::uint8_t petscii;
        bool upperLower;
        ScreenCell cell;
    };
    const Case cases[] = {
        {0x41, false, 1},                    // A
        {0x41, true, 1 | kCellUpperLower},   // a in Upper/Lower
        {0xC1, false, 65},                   // a graphic (spade)
        {0xC1, true, 65 | kCellUpperLower},  // A in Upper/Lower
        {0x12, false, 18 | kCellReverse},    // RVS ON: a reversed R
        {0x00, false, 0 | kCellReverse},     // control codes show reversed
        {0x20, false, 32},                   // space
        {0x40, false, 0},                    // @
        {0x5F, false, 31},                   // left arrow
        {0x60, false, 64},                   // 96-127 to 64-95
        {0x7F, false, 95},
        {0x80, false, 64 | kCellReverse},  // 128-159 reversed graphics
        {0x9F, false, 95 | kCellReverse},
        {0xA0, false, 96},  // 160-191 to 96-127
        {0xBF, false, 127},
        {0xC0, false, 64},  // 192-254 to 64-126
        {0xFE, false, 126},
        {0xFF, false, 94},  // pi
    };
    for (const Case& c : cases) {
        screen.setUpperLower(c.upperLower);
        screen.addLine(std::string(1, static_cast<char>(c.petscii)), false);
        EXPECT_EQ(screen.cell(screen.lineCount() - 1, 0), c.cell) << int{c.petscii};
    }
}

TEST_F(ScreenFixture, EscapePairsCarryBytesAndCountAsOneCharacter) {
    struct Case {
        std::string bytes;
        bool escapes;
        std::vector<ScreenCell> cells;
    };
    const Case cases[] = {
        {"\xFF\x80", true, {kCellReverse}},  // the byte 0: a reversed @
        {"\xFF\xDE", true, {94}},            // the byte 255: pi
        {"\xFF\x41", true, {255}},           // any other pair
        {"\xFF", false, {94}},               // no escapes: pi
        {"\xFF\x80", false, {94, 64 | kCellReverse}},
        {"A\xFF", true, {1, 94}},  // a lone 255 at the end is pi
    };
    for (const Case& c : cases) {
        screen.addLine(c.bytes, c.escapes);
        std::vector<ScreenCell> got = row(screen, screen.lineCount() - 1);
        got.resize(c.cells.size());
        EXPECT_EQ(got, c.cells);
    }
    // 40 characters with two escape pairs still fill a single row.
    screen.clear();
    screen.addLine(std::string(19, 'A') + "\xFF\x80" + std::string(19, 'A') + "\xFF\xDE", true);
    EXPECT_EQ(screen.lineCount(), 1);
    EXPECT_EQ(screen.cell(0, 19), kCellReverse);
    EXPECT_EQ(screen.cell(0, 39), 94);
    // The character set bit is kept on an escaped cell.
    screen.setUpperLower(true);
    screen.addLine("\xFF\x41", true);
    EXPECT_EQ(screen.cell(1, 0), 255 | kCellUpperLower);
}

TEST_F(ScreenFixture, HeaderLineIsReversedFromTheThirdCharacter) {
    screen.markHeader();
    screen.addLine("0 \"DISK\" 00 2A", false);
    screen.clearReverse();
    screen.addLine("0 \"DISK\"", false);
    EXPECT_EQ(screen.cell(0, 0), 48);
    EXPECT_EQ(screen.cell(0, 1), 32);
    EXPECT_EQ(screen.cell(0, 2), 34 | kCellReverse);
    EXPECT_EQ(screen.cell(0, 13), 1 | kCellReverse);
    EXPECT_EQ(screen.cell(0, 14), 32) << "the padding is not reversed";
    EXPECT_EQ(screen.cell(1, 2), 34) << "clearReverse ends it";

    // setReverse as the special-character interpretation uses it, clamped to 0-79.
    screen.setReverse(5, 200, true);
    screen.setReverse(-3, 1, true);
    screen.setReverse(6, 6, false);
    EXPECT_EQ(screen.reverseMask().count(), 76u);
    EXPECT_FALSE(screen.reverseMask()[6]);
    EXPECT_FALSE(screen.reverseMask()[2]);
    // A line longer than 40 continues the mask positions into its second row.
    screen.addLine(std::string(45, 'A'), false);
    EXPECT_EQ(screen.cell(2, 0), 1 | kCellReverse);
    EXPECT_EQ(screen.cell(2, 6), 1);
    EXPECT_EQ(screen.cell(3, 4), 1 | kCellReverse) << "position 44";

    // The file viewer's screen ignores the mask.
    screen.setLimited(true);
    screen.addLine("A", false);
    EXPECT_EQ(screen.cell(4, 0), 1);
}

TEST_F(ScreenFixture, LimitedScreenStopsAtItsTextLimit) {
    screen.setLimited(true);
    EXPECT_EQ(screen.textLimit(), 10000);
    for (int i = 0; i < 260; ++i) {
        screen.addLine(std::string(40, 'A'), false);
    }
    EXPECT_EQ(screen.lineCount(), 250) << "250 full rows of 40 reach the limit";

    // A line that reaches the limit is cut to what still fits.
    screen.clear();
    screen.setTextLimit(50);
    screen.addLine(std::string(60, 'B'), false);
    EXPECT_EQ(screen.lineCount(), 2);
    EXPECT_EQ(text(screen, 1), padded(std::string(10, 'B')));
    screen.addLine("C", false);
    EXPECT_EQ(screen.lineCount(), 2) << "the rows now hold 80 cells: full";

    // With escapes an escape pair counts as one character when cutting.
    screen.clear();
    screen.setTextLimit(3);
    screen.addLine(
        "A\xFF\x80"
        "BCD",
        true);
    ASSERT_EQ(screen.lineCount(), 1);
    EXPECT_EQ(screen.cell(0, 0), 1);
    EXPECT_EQ(screen.cell(0, 1), kCellReverse);
    EXPECT_EQ(screen.cell(0, 2), 2);
    EXPECT_EQ(screen.cell(0, 3), 32);

    // The main screen has no limit.
    screen.clear();
    screen.setLimited(false);
    screen.addLine(std::string(200, 'A'), false);
    EXPECT_EQ(screen.lineCount(), 5);
}

TEST_F(ScreenFixture, BufferGrowsInStepsOfOneHundredThousandCells) {
    EXPECT_EQ(screen.capacity(), 100000u);
    for (int i = 0; i < 2500; ++i) {
        screen.addLine("A", false);
    }
    EXPECT_EQ(screen.capacity(), 100000u) << "2500 rows of 40 fit exactly";
    screen.addLine("A", false);
    EXPECT_EQ(screen.capacity(), 200000u);
    screen.addLine(std::string(500000, 'A'), false);  // one long line, several steps at once
    EXPECT_EQ(screen.lineCount(), 2501 + 12500);
    EXPECT_EQ(screen.capacity(), 700000u);
    EXPECT_EQ(screen.cell(2501 + 12499, 39), 1);
    screen.clear();
    EXPECT_EQ(screen.capacity(), 100000u);
    EXPECT_EQ(screen.lineCount(), 0);
    EXPECT_TRUE(messages.empty());
}

TEST(C64ScreenFailures, MemoryFailuresAreReportedAndLeaveASafeScreen) {
    std::vector<std::string> messages;
    auto collect = [&](const std::string& m) { messages.push_back(m); };

    // No buffer at creation: nothing is added, the screen shows blue once.
    C64Screen none(collect, kDefaultC64Palette, 50000);
    EXPECT_EQ(messages, std::vector<std::string>{"C64Screen: Failed to allocate memory...aborted"});
    EXPECT_FALSE(none.hasBuffer());
    none.addLine("HELLO", false);
    EXPECT_EQ(none.lineCount(), 0);
    int repaints = 0;
    none.setRepaint([&] { ++repaints; });
    none.setActive(true);
    EXPECT_TRUE(none.render());
    EXPECT_FALSE(none.render()) << "the blue picture is painted once";
    EXPECT_EQ(repaints, 1);
    EXPECT_TRUE(none.blankDrawn());
    for (std::uint32_t p : none.bitmap().pixels) {
        ASSERT_EQ(p, kBlue);
    }

    // Growing fails: the buffer is dropped, the text ignored; clear brings a buffer back.
    messages.clear();
    C64Screen small(collect, kDefaultC64Palette, 150000);
    EXPECT_TRUE(messages.empty());
    for (int i = 0; i < 2501; ++i) {
        small.addLine("A", false);
    }
    EXPECT_EQ(messages,
              std::vector<std::string>{"C64Screen: Error while reallocating memory...aborted"});
    EXPECT_FALSE(small.hasBuffer());
    EXPECT_EQ(small.lineCount(), 0);
    EXPECT_EQ(small.scrollMax(), 0);
    small.addLine("A", false);
    EXPECT_EQ(small.lineCount(), 0);
    small.clear();
    EXPECT_TRUE(small.hasBuffer());
    small.addLine("A", false);
    EXPECT_EQ(small.lineCount(), 1);
}

TEST_F(ScreenFixture, DrawingFailureStopsDrawingUntilClear) {
    int repaints = 0;
    screen.setRepaint([&] {
        ++repaints;
        if (repaints == 2) {
            throw std::runtime_error("window gone");
        }
    });
    screen.setActive(true);
    EXPECT_TRUE(screen.render());
    EXPECT_FALSE(screen.render());
    EXPECT_EQ(messages, std::vector<std::string>{"C64Screen: Error while drawing...aborted"});
    EXPECT_FALSE(screen.drawOk());
    screen.addLine("A", false);
    EXPECT_EQ(repaints, 2) << "no drawing after the failure";
    screen.clear();
    EXPECT_TRUE(screen.drawOk());
    EXPECT_EQ(repaints, 3);
}

TEST_F(ScreenFixture, UpdatesDrawOnceAtTheEnd) {
    int repaints = 0;
    screen.setRepaint([&] { ++repaints; });
    screen.setActive(true);
    screen.addLine("A", false);
    EXPECT_EQ(repaints, 1) << "an active screen draws each line";
    screen.beginUpdate();
    screen.beginUpdate();  // nested updates keep the state of the outer one
    for (int i = 0; i < 30; ++i) {
        screen.addLine("B", false);
    }
    screen.endUpdate(true);
    EXPECT_EQ(repaints, 1);
    EXPECT_FALSE(screen.active());
    screen.endUpdate(true);
    EXPECT_EQ(repaints, 2);
    EXPECT_TRUE(screen.active());
    EXPECT_EQ(screen.scrollMax(), 6);
    EXPECT_EQ(screen.scrollPosition(), 6);
    screen.beginUpdate();
    screen.endUpdate(false);
    EXPECT_EQ(screen.scrollPosition(), 0);

    // An inactive screen does not draw at all.
    screen.setActive(false);
    screen.addLine("C", false);
    EXPECT_EQ(repaints, 3);

    // A window closed while a listing is added stays closed when the update ends.
    screen.setActive(true);
    screen.beginUpdate();
    screen.setActive(false);
    screen.endUpdate(true);
    EXPECT_FALSE(screen.active());
    EXPECT_EQ(repaints, 3);
}

TEST_F(ScreenFixture, ScrollRangeAndWheel) {
    for (int i = 0; i < 24; ++i) {
        screen.addLine("A", false);
    }
    EXPECT_EQ(screen.scrollMax(), 0);
    for (int i = 0; i < 6; ++i) {
        screen.addLine("A", false);
    }
    EXPECT_EQ(screen.scrollMax(), 5);
    EXPECT_EQ(screen.scrollPosition(), 5) << "adding moves to the end";
    screen.setScrollPosition(2);
    screen.wheel(-1);  // up by 3 from row 2
    EXPECT_EQ(screen.scrollPosition(), 0);
    screen.wheel(1);
    EXPECT_EQ(screen.scrollPosition(), 3);
    screen.wheel(1);
    EXPECT_EQ(screen.scrollPosition(), 5);
    screen.setScrollPosition(-7);
    EXPECT_EQ(screen.scrollPosition(), 0);
    screen.setWheelStep(0);
    EXPECT_EQ(screen.wheelStep(), 3) << "no usable system setting: 3 rows";
}

TEST_F(ScreenFixture, ZoomSizesTheClientArea) {
    EXPECT_EQ(screen.clientSize(16).width, 320 + 17 + 16);
    EXPECT_EQ(screen.clientSize(16).height, 200 + 34);
    screen.zoomIn();
    screen.zoomIn();
    EXPECT_DOUBLE_EQ(screen.zoom(), 2.0);
    EXPECT_EQ(screen.clientSize(16).width, 640 + 17 + 16);
    for (int i = 0; i < 5; ++i) {
        screen.zoomOut();
    }
    EXPECT_DOUBLE_EQ(screen.zoom(), 0.5);
    EXPECT_EQ(screen.clientSize(0).height, 100 + 34);
    screen.resetZoom();
    EXPECT_DOUBLE_EQ(screen.zoom(), 1.0);
}

TEST_F(ScreenFixture, EightyColumnsReLayTheRowsInPlace) {
    screen.setLimited(true);
    screen.addLine("ONE", false);
    screen.addLine("TWO", false);
    screen.addLine("THREE", false);
    screen.setColumns80(true, false);
    EXPECT_EQ(screen.columns(), 80);
    EXPECT_EQ(screen.rows(), 50);
    EXPECT_EQ(screen.width(), 640);
    EXPECT_EQ(screen.height(), 400);
    EXPECT_EQ(screen.bitmap().width, 640);
    ASSERT_EQ(screen.lineCount(), 2) << "the odd third row is kept";
    EXPECT_EQ(text(screen, 0), padded("ONE") + padded("TWO"));
    EXPECT_EQ(text(screen, 1), padded("THREE", 80));
    EXPECT_EQ(screen.scrollPosition(), 0);

    screen.addLine(std::string(85, 'A'), false);
    EXPECT_EQ(screen.lineCount(), 4);
    EXPECT_EQ(text(screen, 3), padded("AAAAA", 80));

    screen.setColumns80(false, false);
    EXPECT_EQ(screen.lineCount(), 8);
    EXPECT_EQ(text(screen, 1), padded("TWO"));
    EXPECT_EQ(text(screen, 6), padded("AAAAA"));

    screen.setColumns80(true, true);  // the caller fills it again
    EXPECT_EQ(screen.lineCount(), 0);
    EXPECT_EQ(screen.columns(), 80);
    EXPECT_EQ(screen.capacity(), 100000u);
}

// A listing as the listing run feeds it: header reversed from the third character, file
// lines, the free blocks, in both character sets.
void addListing(C64Screen& s, bool upperLower) {
    s.beginUpdate();
    s.setUpperLower(upperLower);
    s.markHeader();
    s.addLine("0 \x12\"QUORVANE DEMO   \" QV 2A", false);
    s.clearReverse();
    s.addLine("12   \"Hello World\"      PRG", false);
    s.addLine("3    \"\xC1\xC2\xC3 \xD3\xD1\xDA \xA6\xBA\"          SEQ", false);
    s.addLine("0    \"\xFF@[\x5C]^_!#$%&'()*+,-./\"  DEL<", false);
    s.addLine("640 BLOCKS FREE.", false);
    s.addLine("", false);
    s.endUpdate(false);
}

TEST_F(ScreenFixture, RenderedPagesMatchTheGoldenPictures) {
    struct Case {
        const char* golden;
        bool upperLower;
        bool columns80;
    };
    for (Case c :
         {Case{"listing_upper_graphics.bmp", false, false},
          Case{"listing_upper_lower.bmp", true, false}, Case{"dump_80_columns.bmp", false, true}}) {
        C64Screen s;
        s.setActive(true);
        if (c.columns80) {
            s.setLimited(true);
            s.setColumns80(true, true);
            s.beginUpdate();
            for (int line = 0; line < 4; ++line) {
                std::string bytes;
                for (int b = 0; b < 64; ++b) {
                    int value = line * 64 + b;
                    if (value == 0) {
                        bytes += "\xFF\x80";
                    } else if (value == 255) {
                        bytes += "\xFF\xDE";
                    } else {
                        bytes += static_cast<char>(value);
                    }
                }
                s.addLine(bytes, true);
            }
            s.endUpdate(false);
        } else {
            addListing(s, c.upperLower);
        }
        std::optional<Image1> picture = test::toTwoColour(s.bitmap(), kBlue, kLightBlue);
        ASSERT_TRUE(picture.has_value()) << "only colours 6 and 14 are drawn";
        EXPECT_TRUE(test::matchesGolden(*picture, kGolden / c.golden)) << c.golden;
    }
}

TEST_F(ScreenFixture, PaletteColoursAreWrittenAsTheyAre) {
    C64Palette palette = kDefaultC64Palette;
    palette[6] = 0x123456;
    palette[14] = 0xABCDEF;
    screen.setPalette(palette);
    screen.setActive(true);
    screen.addLine(" ", false);
    screen.setReverse(1, 1, true);
    screen.addLine("  ", false);  // a reversed space: all pixels set
    const Image32& bmp = screen.bitmap();
    EXPECT_EQ(bmp.at(0, 0), 0x123456u);
    EXPECT_EQ(bmp.at(7, 7), 0x123456u);
    EXPECT_EQ(bmp.at(7, 8), 0x123456u);
    EXPECT_EQ(bmp.at(8, 8), 0xABCDEFu) << "the reversed space of row 2, column 2";
    EXPECT_EQ(bmp.at(15, 15), 0xABCDEFu);
    EXPECT_EQ(bmp.at(16, 15), 0x123456u);
    EXPECT_EQ(bmp.at(319, 199), 0x123456u) << "below the text";
}

TEST(C64ScreenSave, CompleteBitmapSavesEveryPageWithNumberedNames) {
    std::filesystem::path dir = freshDir("qv_screen_save");
    std::vector<std::string> messages;
    C64Screen screen([&](const std::string& m) { messages.push_back(m); });
    screen.setActive(true);
    for (int i = 1; i <= 30; ++i) {
        screen.addLine("ROW " + std::to_string(i), false);
    }
    C64Screen::SaveResult result = screen.saveBitmaps((dir / "screen.bmp").string(), true);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.saved, 2);
    EXPECT_EQ(result.files, (std::vector<std::string>{(dir / "screen_0001.bmp").string(),
                                                      (dir / "screen_0002.bmp").string()}));
    EXPECT_EQ(messages, std::vector<std::string>{"2 File(s) Saved to Folder " + dir.string()});
    EXPECT_FALSE(std::filesystem::exists(dir / "screen.bmp"));

    // The second page holds rows 26-30 and 20 empty rows.
    Image32 expected;
    screen.drawPage(25, expected);
    EXPECT_EQ(test::readBytes(dir / "screen_0002.bmp"), encodeBmp(expected));
    for (int y = 5 * 8; y < 200; ++y) {
        ASSERT_EQ(expected.at(3, y), kBlue);
    }
    EXPECT_EQ(screen.lineCount(), 30) << "the padding disappears";
    EXPECT_EQ(screen.scrollMax(), 5);
    EXPECT_EQ(screen.scrollPosition(), 5);

    // One page: the visible one, to the chosen name.
    messages.clear();
    screen.setScrollPosition(3);
    result = screen.saveBitmaps((dir / "page.bmp").string(), false);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(test::readBytes(dir / "page.bmp"), encodeBmp(screen.bitmap()));

    // A folder named like the extension does not confuse the numbering; a name without
    // an extension gets the number at its end.
    std::filesystem::create_directories(dir / "pics.bmp");
    result = screen.saveBitmaps((dir / "pics.bmp" / "shot.bmp").string(), true);
    EXPECT_EQ(result.files.front(), (dir / "pics.bmp" / "shot_0001.bmp").string());
    result = screen.saveBitmaps((dir / "plain").string(), true);
    EXPECT_EQ(result.files.back(), (dir / "plain_0002").string());
    std::filesystem::remove_all(dir);
}

TEST(C64ScreenSave, ShortAndEmptyScreensGiveOnePage) {
    std::filesystem::path dir = freshDir("qv_screen_short");
    C64Screen screen;
    EXPECT_EQ(screen.saveBitmaps((dir / "a.bmp").string(), true).saved, 1);
    for (int i = 0; i < 25; ++i) {
        screen.addLine("X", false);
    }
    EXPECT_EQ(screen.saveBitmaps((dir / "b.bmp").string(), true).saved, 1);
    screen.addLine("X", false);
    EXPECT_EQ(screen.saveBitmaps((dir / "c.bmp").string(), true).saved, 2);
    std::filesystem::remove_all(dir);
}

TEST(C64ScreenSave, PagesToSave) {
    struct Case {
        int lineCount;
        int rows;
        int pages;
        bool tooLarge;
    };
    const Case cases[] = {
        {0, 25, 1, false},
        {25, 25, 1, false},
        {26, 25, 2, false},
        {30, 25, 2, false},
        {50, 25, 2, false},
        {51, 25, 3, false},
        {101, 50, 3, false},
        {9999 * 25, 25, 9999, false},
        {9999 * 25 + 1, 25, 9999, true},
        {2000000000, 25, 9999, true},
    };
    for (const Case& c : cases) {
        bool tooLarge = false;
        EXPECT_EQ(C64Screen::pagesToSave(c.lineCount, c.rows, &tooLarge), c.pages) << c.lineCount;
        EXPECT_EQ(tooLarge, c.tooLarge) << c.lineCount;
    }
}

TEST(C64ScreenSave, FailuresAndTheNineThousandNineHundredNinetyNinePageLimit) {
    std::vector<std::string> messages;
    C64Screen screen([&](const std::string& m) { messages.push_back(m); });
    // More than 9999 pages: 9999 * 25 + 1 rows.
    screen.beginUpdate();
    for (int i = 0; i < 9999 * 25 + 1; ++i) {
        screen.addLine("", false);
    }
    screen.endUpdate(true);
    std::filesystem::path missing =
        std::filesystem::temp_directory_path() / "qv_no_such_dir" / "deeper" / "screen.bmp";
    C64Screen::SaveResult result = screen.saveBitmaps(missing.string(), true);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.saved, 0);
    EXPECT_EQ(messages, (std::vector<std::string>{
                            "C64Screen: C64Screen too large.\nMax 9999 Bitmaps will be saved!",
                            "C64Screen: Failed to save Complete Bitmap!"}));
    EXPECT_EQ(screen.lineCount(), 9999 * 25 + 1);
    EXPECT_EQ(screen.scrollPosition(), screen.scrollMax());

    messages.clear();
    result = screen.saveBitmaps(missing.string(), false);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(messages, std::vector<std::string>{"C64Screen: Failed to save Bitmap!"});
}

TEST(C64ScreenSettings, FileViewerScreenTakesItsKeys) {
    C64Screen fresh;
    applyFileViewerScreenSettings(fresh, IniFile());
    EXPECT_TRUE(fresh.limited());
    EXPECT_FALSE(fresh.columns80());
    EXPECT_EQ(fresh.textLimit(), 10000);

    C64Screen stored;
    IniFile ini = IniFile::parse("[TOK64]\nC64Screen 40/80=1\nC64Screen MaxText=2000\n");
    applyFileViewerScreenSettings(stored, ini);
    EXPECT_TRUE(stored.columns80());
    EXPECT_EQ(stored.textLimit(), 2000);

    stored.setColumns80(false, false);
    saveFileViewerScreenSettings(stored, ini);
    EXPECT_EQ(ini.value("TOK64", "C64Screen 40/80"), "0");
    EXPECT_EQ(ini.value("TOK64", "C64Screen MaxText"), "2000");
}

TEST_F(ScreenFixture, AUsersRomDumpReplacesTheGlyphsOnlyWhenItFits) {
    std::filesystem::path dir = freshDir("qv_screen_rom");
    auto write = [&](const std::string& name, std::size_t size, char fill) {
        std::ofstream out(dir / name, std::ios::binary);
        out << std::string(size, fill);
        return (dir / name).string();
    };
    EXPECT_FALSE(screen.useCharsetRom(write("short.bin", 2048, '\xFF')));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("4096 bytes"), std::string::npos) << messages[0];
    EXPECT_EQ(screen.charset(), Charset::builtin()) << "the built-in set stays";

    EXPECT_TRUE(screen.useCharsetRom(write("full.bin", 4096, '\xFF')));
    screen.setActive(true);
    screen.addLine(" ", false);
    EXPECT_EQ(screen.bitmap().at(0, 0), kLightBlue) << "every glyph of this dump is solid";

    // The "Character ROM:" option: a dump that cannot be read keeps the glyphs in use, an
    // empty option brings the built-in set back.
    messages.clear();
    EXPECT_FALSE(applyCharsetRom(screen, (dir / "missing.bin").string()));
    EXPECT_EQ(messages.size(), 1u);
    EXPECT_NE(screen.charset(), Charset::builtin());
    EXPECT_TRUE(applyCharsetRom(screen, ""));
    EXPECT_EQ(screen.charset(), Charset::builtin());
    std::filesystem::remove_all(dir);
}

TEST(C64ScreenWindowRules, ZoomKeysFollowTheTypedCharacter) {
    // The character the key typed decides, from the numeric pad or the main keyboard:
    // Shift with "=" on a US keyboard types "+" and zooms in, Shift with "+" on a
    // German one types "*" and shows 100%.
    const struct {
        char key;
        ZoomKey expected;
    } cases[] = {
        {'*', ZoomKey::Reset}, {'+', ZoomKey::In},   {'-', ZoomKey::Out},
        {'=', ZoomKey::None},  {'x', ZoomKey::None}, {0, ZoomKey::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(zoomKey(c.key), c.expected) << int(c.key);
}

TEST(C64ScreenWindowRules, WindowStaysWithinTheScreenWhenZoomed) {
    const int bar = 16;
    const struct {
        double zoom;
        C64Screen::Size room;
        int width;
        int height;
    } cases[] = {
        {1.0, {800, 600}, 320 + 17 + bar, 200 + 34},  // fits
        {2.0, {800, 600}, 640 + 17 + bar, 400 + 34},  // fits
        {3.0, {1400, 600}, 960 + 17 + bar, 600},      // cut down only: no bar across
        {3.0, {800, 900}, 800, 600 + 34 + bar},       // cut across: the bar adds its height
        {3.0, {800, 600}, 800, 600},                  // cut both ways
        {5.0, {0, 0}, 1600 + 17 + bar, 1000 + 34},    // no screen known: the picture's size
    };
    for (const auto& c : cases) {
        C64Screen screen;
        while (screen.zoom() < c.zoom)
            screen.zoomIn();
        const C64Screen::Size size = fitScreenWindow(screen, bar, bar, c.room);
        EXPECT_EQ(size.width, c.width) << c.zoom << " in " << c.room.width;
        EXPECT_EQ(size.height, c.height) << c.zoom << " in " << c.room.width;
    }
}

TEST(C64ScreenWindowRules, ViewStretchesWhatFitsAndScrollsWhatDoesNot) {
    C64Screen screen;
    const int bar = 16;
    // The window sized for zoom 1: the picture fills the area at scale 1.
    ScreenView v = screenView(screen, 320 + 17 + bar, 200 + 34, bar, bar);
    EXPECT_EQ(v.x, 17);
    EXPECT_EQ(v.y, 17);
    EXPECT_EQ(v.width, 320);
    EXPECT_EQ(v.height, 200);
    EXPECT_DOUBLE_EQ(v.scaleX, 1.0);
    EXPECT_DOUBLE_EQ(v.scaleY, 1.0);
    EXPECT_FALSE(v.horizontalBar);
    EXPECT_EQ(v.shownRows, 25);

    // A window made larger by the user stretches the picture over it.
    v = screenView(screen, 640 + 17 + bar, 300 + 34, bar, bar);
    EXPECT_DOUBLE_EQ(v.scaleX, 2.0);
    EXPECT_DOUBLE_EQ(v.scaleY, 1.5);
    EXPECT_EQ(v.shownRows, 25);

    // Zoom 4 in a window of 800 x 600: 1280 x 800 pixels, cut off both ways. Across, the
    // bar takes 16 pixels of height and moves the picture by up to 1280 - 767 pixels;
    // down, 600 - 34 - 16 = 550 pixels show 17 whole rows of 32 pixels.
    for (int i = 0; i < 6; ++i)
        screen.zoomIn();
    ASSERT_DOUBLE_EQ(screen.zoom(), 4.0);
    v = screenView(screen, 800, 600, bar, bar);
    EXPECT_TRUE(v.horizontalBar);
    EXPECT_EQ(v.width, 800 - 17 - bar);
    EXPECT_EQ(v.height, 600 - 34 - bar);
    EXPECT_EQ(v.panMax, 1280 - v.width);
    EXPECT_DOUBLE_EQ(v.scaleX, 4.0);
    EXPECT_DOUBLE_EQ(v.scaleY, 4.0);
    EXPECT_EQ(v.shownRows, 17);

    // A window too small for a single row still shows one.
    EXPECT_EQ(screenView(screen, 100, 40, bar, bar).shownRows, 1);
}

TEST(C64ScreenWindowRules, ScrollRangeReachesTheLastRowWhenRowsAreCutOff) {
    C64Screen screen;
    for (int i = 0; i < 40; ++i)
        screen.addLine("LINE", false);
    EXPECT_EQ(screen.scrollMax(), 15);
    EXPECT_EQ(screen.scrollPosition(), 15);
    // 17 rows shown: the range ends where row 40 is the last one shown, and a screen
    // shown at its end stays there.
    screen.setShownRows(17);
    EXPECT_EQ(screen.shownRows(), 17);
    EXPECT_EQ(screen.scrollMax(), 23);
    EXPECT_EQ(screen.scrollPosition(), 23);
    screen.addLine("MORE", false);
    EXPECT_EQ(screen.scrollMax(), 24);
    EXPECT_EQ(screen.scrollPosition(), 24);
    // A position inside the range is kept; back to the whole page it is clamped.
    screen.setScrollPosition(20);
    screen.setShownRows(25);
    EXPECT_EQ(screen.scrollMax(), 16);
    EXPECT_EQ(screen.scrollPosition(), 16);
    screen.setScrollPosition(3);
    screen.setShownRows(10);
    EXPECT_EQ(screen.scrollPosition(), 3);
    // More rows than the page, or none, mean the whole page.
    screen.setShownRows(99);
    EXPECT_EQ(screen.shownRows(), 25);
    screen.setShownRows(0);
    EXPECT_EQ(screen.shownRows(), 25);
}

TEST(C64ScreenWindowRules, SaveFiltersChooseWhatAndHow) {
    struct Case {
        int filter;
        bool complete;
        PictureFormat format;
    };
    const Case cases[] = {{0, false, PictureFormat::Bmp},  {1, true, PictureFormat::Bmp},
                          {2, false, PictureFormat::Png},  {3, true, PictureFormat::Png},
                          {-1, false, PictureFormat::Bmp}, {9, false, PictureFormat::Bmp}};
    for (const Case& c : cases) {
        const ScreenSaveChoice choice = screenSaveChoice(c.filter);
        EXPECT_EQ(choice.complete, c.complete) << c.filter;
        EXPECT_EQ(choice.format, c.format) << c.filter;
    }
}

TEST(C64ScreenSave, PngPagesHoldTheSamePictures) {
    std::filesystem::path dir = freshDir("qv_screen_png");
    C64Screen screen;
    for (int i = 0; i < 30; ++i)
        screen.addLine("LINE " + std::to_string(i), false);
    const C64Screen::SaveResult result =
        screen.saveBitmaps((dir / "shot.png").string(), true, PictureFormat::Png);
    ASSERT_TRUE(result.ok);
    EXPECT_EQ(result.files.back(), (dir / "shot_0002.png").string());
    Image32 second;
    screen.drawPage(25, second);
    EXPECT_EQ(test::readBytes(dir / "shot_0002.png"), encodePng(second));
    std::filesystem::remove_all(dir);
}

TEST(C64ScreenSettings, PaletteComesFromTheSettings) {
    EXPECT_EQ(loadC64Palette(IniFile()), kDefaultC64Palette);
    const C64Palette stored =
        loadC64Palette(IniFile::parse("[Color Palette]\n06 blue=255\n14 light blue=16711680\n"));
    EXPECT_EQ(stored[6], 0x0000FFu);
    EXPECT_EQ(stored[14], 0xFF0000u);
    EXPECT_EQ(stored[1], kDefaultC64Palette[1]);
}

}  // namespace
}  // namespace qv
