#include "geos/GeosFont.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>

#include "GeosDocFixture.h"
#include "geos/FontView.h"
#include "support/GoldenImage.h"

namespace qv {
namespace {

using test::Bytes;
using test::InfoBlockSpec;

const std::filesystem::path kGolden = test::goldenDir("geos");
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

InfoBlockSpec fontInfo() {
    InfoBlockSpec form;
    form.geosType = 8;
    form.structure = 1;
    form.className = "Test Font V1.0";
    return form;
}

// One point size: the header, the index table of characters 32-127 and the bit stream,
// with the glyph pixels given by bit(stream bit, row).
struct FontSize {
    int height = 8;
    std::vector<int> widths = std::vector<int>(95, 3);
    std::function<bool(int, int)> bit = [](int b, int n) { return ((b * 7 + n * 3) % 5) < 2; };

    int totalBits() const {
        int t = 0;
        for (int w : widths)
            t += w;
        return t;
    }
    int start(int k) const {
        int s = 0;
        for (int i = 0; i < k; ++i)
            s += widths[static_cast<std::size_t>(i)];
        return s;
    }
    Bytes record() const {
        const int bytesPerRow = (totalBits() + 7) / 8;
        const int table = 8;
        const int stream = table + 2 * 96;
        Bytes r(static_cast<std::size_t>(stream + bytesPerRow * height), 0);
        r[0] = static_cast<std::uint8_t>(height - 2);
        r[1] = static_cast<std::uint8_t>(bytesPerRow);
        r[2] = static_cast<std::uint8_t>(bytesPerRow >> 8);
        r[3] = static_cast<std::uint8_t>(height);
        r[4] = table;
        r[6] = static_cast<std::uint8_t>(stream);
        r[7] = static_cast<std::uint8_t>(stream >> 8);
        for (int k = 0; k <= 95; ++k) {
            const int s = start(k);
            r[static_cast<std::size_t>(table + 2 * k)] = static_cast<std::uint8_t>(s);
            r[static_cast<std::size_t>(table + 2 * k + 1)] = static_cast<std::uint8_t>(s >> 8);
        }
        for (int n = 0; n < height; ++n) {
            for (int b = 0; b < totalBits(); ++b) {
                if (bit(b, n)) {
                    r[static_cast<std::size_t>(stream + n * bytesPerRow + b / 8)] |=
                        static_cast<std::uint8_t>(0x80 >> (b % 8));
                }
            }
        }
        return r;
    }
};

struct GeosFont : test::GeosDocFixture {
    FontView view;

    int render(const std::vector<Bytes>& records) {
        const auto e = disk.addGeosVlir("FONT", fontInfo(), records);
        const std::string path = save();
        return renderFont(view, context, path, "FONT", offsetOf(e.first));
    }
};

TEST_F(GeosFont, OneLineWithAndWithoutSpacing) {
    FontSize size;
    for (const bool spacing : {true, false}) {
        SCOPED_TRACE(spacing);
        disk = test::DiskBuilder();
        disk.format();
        view.spaceBetweenChars = spacing;
        ASSERT_EQ(render({size.record()}), 0);
        // Character k sits at k times (width + spacing); no line is full.
        const int step = 3 + (spacing ? 3 : 0);
        Image32 expected(800, size.height + 10, kWhite);
        for (int k = 0; k < 95; ++k) {
            for (int n = 0; n < size.height; ++n) {
                for (int b = 0; b < 3; ++b)
                    expected.at(k * step + b, n) = size.bit(3 * k + b, n) ? kBlack : kWhite;
            }
        }
        EXPECT_EQ(test::pictureHash(view.picture()), test::pictureHash(expected));
        EXPECT_EQ(view.hint, "Drawn Sizes through VLIR: 8");
        EXPECT_EQ(view.content(), FontViewContent::Font);
    }
}

TEST_F(GeosFont, SizesFollowEachOtherAndNameTheirHeights) {
    FontSize ten;
    ten.height = 10;
    FontSize twelve;
    twelve.height = 12;
    ASSERT_EQ(render({ten.record(), {}, twelve.record()}), 0);
    EXPECT_EQ(view.hint, "Drawn Sizes through VLIR: 10 12");
    EXPECT_EQ(view.picture().height, 20 + 12 + 10);
    // The second size starts at row 20 with the first character's first column.
    EXPECT_EQ(view.picture().at(0, 20), twelve.bit(0, 0) ? kBlack : kWhite);
    EXPECT_EQ(view.picture().at(0, 19), kWhite);
}

TEST_F(GeosFont, ZeroWidthCharactersStillGetTheirGridLines) {
    FontSize empty;
    empty.height = 6;
    empty.widths.assign(95, 0);
    view.showGrid = true;
    view.spaceBetweenChars = false;
    ASSERT_EQ(render({empty.record()}), 0);
    const Image32& p = view.picture();
    const std::uint32_t grid = view.gridColour;
    // One grid line per character, side by side, and the line's closing line at 95.
    for (int x = 0; x <= 95; ++x) {
        for (int y = 1; y < 7; ++y)
            ASSERT_EQ(p.at(x, y), grid) << x << "," << y;
        EXPECT_EQ(p.at(x, 0), grid);  // the box's top and bottom
        EXPECT_EQ(p.at(x, 7), grid);
    }
    EXPECT_EQ(p.at(96, 1), kWhite);
    EXPECT_EQ(p.at(96, 0), kWhite);
}

TEST_F(GeosFont, LongSizesWrapOntoFurtherLines) {
    FontSize wide;
    wide.height = 5;
    wide.widths.assign(95, 20);
    wide.bit = [](int, int) { return true; };
    view.spaceBetweenChars = false;
    ASSERT_EQ(render({wide.record()}), 0);
    const Image32& p = view.picture();
    // 39 characters fill a line (the 40th would pass 799 - 3); lines are h + 2 apart.
    EXPECT_EQ(p.at(779, 0), kBlack);
    EXPECT_EQ(p.at(780, 0), kWhite);
    EXPECT_EQ(p.at(0, 5), kWhite);
    EXPECT_EQ(p.at(0, 7), kBlack);
    EXPECT_EQ(p.at(339, 14), kBlack);  // 95 = 39 + 39 + 17
    EXPECT_EQ(p.at(340, 14), kWhite);
    EXPECT_EQ(p.height, 14 + 5 + 10);

    // With the grid the lines are h + 1 apart, each closed by its box.
    disk = test::DiskBuilder();
    disk.format();
    view.showGrid = true;
    ASSERT_EQ(render({wide.record()}), 0);
    const Image32& g = view.picture();
    EXPECT_EQ(g.at(0, 6), view.gridColour);  // bottom of the first line's box
    EXPECT_EQ(g.at(1, 7), kBlack);           // second line, first character
    EXPECT_EQ(g.height, 13 + 5 + 10);
}

TEST_F(GeosFont, ShortRecordStopsTheRendering) {
    FontSize ok;
    view.setPicture(Image32(3, 3, 0x123456), FontViewContent::Icon);
    ASSERT_EQ(render({ok.record(), Bytes(7, 1)}), 1);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].caption, "ShowFont: Error in File...");
    EXPECT_EQ(host.errors[0].message, "File corrupt...");
    EXPECT_EQ(host.errors[0].buttons.size(), 1u);
    EXPECT_EQ(view.picture().width, 3);  // the window keeps what it had
}

TEST_F(GeosFont, IllegalLinkAsksOnceAndGoesOnWithTheNextRecord) {
    FontSize a;
    a.height = 9;
    Bytes big = a.record();
    big.resize(600, 0);
    FontSize b;
    b.height = 11;
    const auto e = disk.addGeosVlir("FONT", fontInfo(), {big, b.record()});
    disk.link(recordStart(e, 0), {40, 0});
    const std::string path = save();
    host.errorAnswers = {1};
    ASSERT_EQ(renderFont(view, context, path, "FONT", offsetOf(e.first)), 0);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message,
              "Illegal Track: 40 ($28) or Sector: 0 ($00)\nFile corrupt!\nContinue with next VLIR "
              "Record?");
    EXPECT_EQ(view.hint, "Drawn Sizes through VLIR: 11");

    host.errorAnswers = {2};
    EXPECT_EQ(renderFont(view, context, path, "FONT", offsetOf(e.first)), 1);
}

TEST_F(GeosFont, IndexTableEndingEarlyEndsTheSize) {
    // A table of ten entries (characters 32-41) and no bit stream.
    Bytes r(8 + 20, 0);
    r[3] = 8;
    r[4] = 8;
    r[6] = 28;
    FontSize after;
    host.errorAnswers = {1};
    ASSERT_EQ(render({r, after.record()}), 0);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].caption, "ShowFont: Error...");
    EXPECT_EQ(host.errors[0].message,
              "Error drawing font...\nNo Chars!\nAborting Size 8 at Char ')' (41)");
    EXPECT_EQ(view.hint, "Drawn Sizes through VLIR: 8 8");

    host.errors.clear();
    host.errorAnswers = {2};
    disk = test::DiskBuilder();
    disk.format();
    EXPECT_EQ(render({r, after.record()}), 1);
    EXPECT_EQ(host.errors.size(), 1u);
}

TEST_F(GeosFont, BitStreamEndingEarlyEndsTheSize) {
    FontSize s;
    s.height = 2;
    s.widths.assign(95, 8);
    s.bit = [](int, int) { return true; };
    Bytes r = s.record();  // bit stream at 200, 95 bytes a row
    r.resize(250);
    host.errorAnswers = {1};
    ASSERT_EQ(render({r}), 0);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message,
              "Error drawing font...\nCorrupted Sizes or Font Parameters!\nShould access Byte 295, "
              "but this Record is only 249 Bytes long.\nAborting Size 2 at Char ' ' (32)");
    // The first row of the first character was drawn before the question.
    EXPECT_EQ(view.picture().at(7, 0), kBlack);
    EXPECT_EQ(view.picture().at(7, 1), kWhite);
    EXPECT_EQ(view.picture().at(8, 0), kWhite);
}

TEST_F(GeosFont, OptionsDrawTheStoredFontAgain) {
    FontSize s;
    const auto e = disk.addGeosVlir("FONT", fontInfo(), {s.record()});
    const std::string path = save();
    ASSERT_EQ(renderFont(view, context, path, "FONT", offsetOf(e.first)), 0);
    const std::uint64_t spaced = test::pictureHash(view.picture());
    EXPECT_EQ(view.toggleSpaceBetweenChars(context), 0);
    EXPECT_NE(test::pictureHash(view.picture()), spaced);
    EXPECT_EQ(view.picture().at(3, 0), s.bit(3, 0) ? kBlack : kWhite);  // no gap
    EXPECT_EQ(view.toggleSpaceBetweenChars(context), 0);
    EXPECT_EQ(test::pictureHash(view.picture()), spaced);
    EXPECT_EQ(view.toggleShowGrid(context), 0);
    EXPECT_EQ(view.picture().at(0, 1), view.gridColour);
}

TEST(FontViewZoom, StepsFitAndClientArea) {
    FontView v;
    v.screenWidth = 1000;
    v.screenHeight = 500;
    v.setPicture(Image32(800, 600), FontViewContent::Font);
    EXPECT_EQ(v.clientWidth(), 800);
    EXPECT_EQ(v.clientHeight(), 500);  // limited by the screen
    v.shown();
    v.zoomIn();
    EXPECT_EQ(v.zoomFactor(), 1.25);
    EXPECT_EQ(v.shownWidth(), 1000);
    v.zoomOut();
    EXPECT_EQ(v.zoomFactor(), 1.0);
    v.zoomOut();
    v.zoomOut();
    v.zoomOut();
    v.zoomOut();
    EXPECT_EQ(v.zoomFactor(), 0.25);  // the smallest step
    EXPECT_EQ(v.shownHeight(), 150);
    v.toggleFitToWindow();
    EXPECT_TRUE(v.fitToWindow());
    EXPECT_EQ(v.shownWidth(), 800);
    v.zoomIn();
    EXPECT_FALSE(v.fitToWindow());
    EXPECT_EQ(v.zoomFactor(), 0.5);
    // The user resized the window: "100%" leaves its size alone.
    v.resized(300, 200);  // the first resize of the run does not count
    v.resized(300, 200);
    EXPECT_TRUE(v.resizedSinceShown());
    v.zoom100();
    EXPECT_EQ(v.clientWidth(), 300);
    v.shown();
    EXPECT_FALSE(v.resizedSinceShown());
    v.zoomIn();
    v.zoom100();
    EXPECT_EQ(v.clientWidth(), 800);
    EXPECT_EQ(swapRedBlue(kDefaultGridColorSetting), 0xD4D0C8u);
}

TEST_F(GeosFont, GoldenSheet) {
    // Each character shows its code in binary, one bit a row, two columns wide.
    FontSize s;
    s.height = 7;
    s.widths.assign(95, 4);
    s.widths[0] = 0;
    s.bit = [](int b, int n) {
        const int k = b / 4 + 1;  // character 33 on (32 has width 0)
        return (b % 4 == 1 || b % 4 == 2) && (((32 + k) >> n) & 1);
    };
    FontSize big = s;
    big.height = 7;
    big.widths.assign(95, 12);
    big.bit = [](int b, int n) { return (b % 12) >= n && (b % 12) < 12 - n; };
    view.showGrid = true;
    view.gridColour = kBlack;
    ASSERT_EQ(render({s.record(), big.record()}), 0);
    const auto two = test::toTwoColour(view.picture(), kWhite, kBlack);
    ASSERT_TRUE(two);
    EXPECT_TRUE(test::matchesGolden(*two, kGolden / "font_sheet_grid.bmp"));
}

}  // namespace
}  // namespace qv
