#include "geos/PhotoScrap.h"

#include <gtest/gtest.h>

#include <random>

#include "GeosDocFixture.h"
#include "geos/FontView.h"
#include "geos/GeoPaint.h"
#include "geos/PhotoAlbum.h"
#include "support/GoldenImage.h"

namespace qv {
namespace {

using test::Bytes;
using test::InfoBlockSpec;

const std::filesystem::path kGolden = test::goldenDir("geos");

// Stored with "unique bytes" commands only.
Bytes unique(const Bytes& raw) {
    Bytes out;
    for (std::size_t at = 0; at < raw.size(); at += 91) {
        const std::size_t n = std::min<std::size_t>(91, raw.size() - at);
        out.push_back(static_cast<std::uint8_t>(128 + n));
        out.insert(out.end(), raw.begin() + static_cast<long>(at),
                   raw.begin() + static_cast<long>(at + n));
    }
    return out;
}

Bytes scrapData(int width, int height, const Bytes& compressed) {
    Bytes d = {static_cast<std::uint8_t>(width), static_cast<std::uint8_t>(height & 0xFF),
               static_cast<std::uint8_t>(height >> 8)};
    d.insert(d.end(), compressed.begin(), compressed.end());
    return d;
}

Bytes randomBytes(std::size_t n, unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(n);
    for (auto& v : b)
        v = static_cast<std::uint8_t>(rng());
    return b;
}

// The picture of a scrap worked out pixel by pixel from its raw rows. `colours` holds the
// colour rows (empty: black and white); a colour row that is missing counts as zeros.
Image32 expectedScrap(int width, int height, const Bytes& bitmap, const Bytes& colours,
                      bool colour) {
    Image32 out(8 * width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < 8 * width; ++x) {
            const std::uint8_t byte = bitmap[static_cast<std::size_t>(y * width + x / 8)];
            const bool set = (byte >> (7 - x % 8)) & 1;
            if (!colour) {
                out.at(x, y) = set ? 0x000000 : 0xFFFFFF;
                continue;
            }
            const std::size_t at = static_cast<std::size_t>((y / 8) * width + x / 8);
            const std::uint8_t c = at < colours.size() ? colours[at] : 0;
            out.at(x, y) = kDefaultC64Palette[set ? c >> 4 : c & 15];
        }
    }
    return out;
}

InfoBlockSpec scrapInfo() {
    InfoBlockSpec form;
    form.geosType = 4;
    form.className = "Photo Scrap V1.1";
    return form;
}

InfoBlockSpec albumInfo(const std::string& className = "Photo Album V2.1") {
    InfoBlockSpec form;
    form.geosType = 7;
    form.structure = 1;
    form.className = className;
    return form;
}

struct PhotoScrap : test::GeosDocFixture {
    FontView view;

    std::optional<Image32> decodeFile(const Bytes& data) {
        const auto e = disk.addGeosSequential("SCRAP", scrapInfo(), data);
        const std::string path = save();
        if (decodeScrap(view, context, path, "SCRAP", offsetOf(e.first)) != 0)
            return std::nullopt;
        return view.picture();
    }
};

TEST(ScrapDecompressor, CommandsAndHowTheyDifferFromGeoPaint) {
    struct Case {
        const char* what;
        Bytes input;
        Bytes scrap;     // the first stored bytes of a scrap
        Bytes geoPaint;  // the same input as GeoPaint data
    };
    const Case cases[] = {
        {"repeat", {0x05, 0xFF}, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0}, {0xFF, 0}},
        {"unique", {0x85, 1, 2, 3, 4, 5}, {1, 2, 3, 4, 5, 0}, {1, 1, 1, 1, 1, 3, 4, 0}},
        {"0 and 0x80 store nothing", {0x00, 0x80, 0x02, 7}, {7, 7, 0}, {7, 0}},
        {"GeoPaint's literal is a repeat here", {0x02, 9, 8}, {9, 9, 0}, {9, 8, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScrapStore store;
        store.width = 80;
        store.height = 720;
        ScrapDecompressor d(store);
        d.feed(c.input, {});
        EXPECT_EQ(
            Bytes(store.bytes.begin(), store.bytes.begin() + static_cast<long>(c.scrap.size())),
            c.scrap);
        GeoPaintBand band{};
        GeoPaintDecompressor g(band);
        g.feed(c.input);
        EXPECT_EQ(Bytes(band.begin(), band.begin() + static_cast<long>(c.geoPaint.size())),
                  c.geoPaint);
    }
}

TEST(ScrapDecompressor, FullStoreAndDroppedRows) {
    // 720 rows of 80 and their 90 colour rows fill the whole store.
    const Bytes raw = randomBytes(80 * 810 + 500, 5);
    ScrapStore store;
    store.width = 80;
    store.height = 720;
    ScrapDecompressor d(store);
    d.feed(unique(raw), {});
    EXPECT_EQ(Bytes(store.bytes.begin(), store.bytes.end()),
              Bytes(raw.begin(), raw.begin() + 80 * 810));
    EXPECT_TRUE(store.hasColour());

    // 16 rows use colour rows 16 and 17; what follows is dropped.
    ScrapStore small;
    small.width = 2;
    small.height = 16;
    ScrapDecompressor s(small);
    s.feed(unique(Bytes(2 * 19, 0x77)), {});
    EXPECT_EQ(small.at(17, 1), 0x77);
    EXPECT_EQ(small.at(18, 0), 0);
    EXPECT_EQ(small.rowsCompleted, 19);

    // Wider than 80 cards: only the first 80 columns of each row are kept.
    ScrapStore wide;
    wide.width = 100;
    wide.height = 8;
    ScrapDecompressor w(wide);
    const Bytes rows = randomBytes(100 * 9, 6);
    w.feed(unique(rows), {});
    for (int r = 0; r < 9; ++r) {
        for (int c = 0; c < 80; ++c)
            ASSERT_EQ(wide.at(r, c), rows[static_cast<std::size_t>(r * 100 + c)]);
    }
    EXPECT_EQ(drawScrap(wide, false, kDefaultC64Palette).width, 640);
}

TEST_F(PhotoScrap, ThreeByTwentyOneWithAndWithoutColour) {
    const Bytes bitmap = randomBytes(63, 1);
    const Bytes colours = {0x12, 0x34, 0x56, 0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x21};
    struct Case {
        std::size_t colourBytes;
        bool colour;
    };
    for (const Case c : {Case{0, false}, Case{6, true}, Case{9, true}}) {
        SCOPED_TRACE(c.colourBytes);
        disk = test::DiskBuilder();
        disk.format();
        Bytes raw = bitmap;
        raw.insert(raw.end(), colours.begin(), colours.begin() + static_cast<long>(c.colourBytes));
        const auto picture = decodeFile(scrapData(3, 21, unique(raw)));
        ASSERT_TRUE(picture);
        ASSERT_EQ(picture->width, 24);
        ASSERT_EQ(picture->height, 21);
        const Bytes present(colours.begin(), colours.begin() + static_cast<long>(c.colourBytes));
        EXPECT_EQ(test::pictureHash(*picture),
                  test::pictureHash(expectedScrap(3, 21, bitmap, present, c.colour)));
    }
    // Rows 16-20 without their colour row: colour 0 on colour 0.
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(PhotoScrap, HeightLimit) {
    EXPECT_FALSE(decodeFile(scrapData(1, 721, {0x05, 0xFF})));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].caption, "PhotoScrap: Error in File...");
    EXPECT_EQ(host.errors[0].message, "Wrong Height!\nVLIR Record corrupt or no PhotoScrap!");
    EXPECT_EQ(host.errors[0].buttons.size(), 1u);

    disk = test::DiskBuilder();
    disk.format();
    Bytes fill;
    for (int i = 0; i < 64800 / 120; ++i)
        fill.insert(fill.end(), {120, static_cast<std::uint8_t>(i)});
    const auto picture = decodeFile(scrapData(80, 720, fill));
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->width, 640);
    EXPECT_EQ(picture->height, 720);
}

TEST_F(PhotoScrap, IllegalLinkFailsAndKeepsTheOldPicture) {
    view.setPicture(Image32(2, 2, 0x123456), FontViewContent::Icon);
    const Bytes data = scrapData(10, 100, unique(randomBytes(1000, 2)));
    const auto e = disk.addGeosSequential("SCRAP", scrapInfo(), data);
    disk.link(e.first, {50, 0});
    const std::string path = save();
    EXPECT_EQ(decodeScrap(view, context, path, "SCRAP", offsetOf(e.first)), 1);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message,
              "Illegal Track: 50 ($32) or Sector: 0 ($00)\nFile corrupt!\n");
    EXPECT_EQ(host.errors[0].buttons.size(), 1u);
    EXPECT_EQ(view.picture().pixels[0], 0x123456u);
    EXPECT_EQ(view.content(), FontViewContent::Icon);
}

TEST_F(PhotoScrap, CardsRepeaterMessageOncePerDecodeUntilCancelled) {
    const Bytes raw = randomBytes(3, 3);
    Bytes comp = unique(raw);
    comp.insert(comp.end(), {0xDC, 0x05, 0xFF, 0x05, 0xFF});
    const auto e = disk.addGeosSequential("SCRAP", scrapInfo(), scrapData(1, 8, comp));
    const std::string path = save();
    host.okCancelAnswers = {false};  // Cancel
    ASSERT_EQ(decodeScrap(view, context, path, "SCRAP", offsetOf(e.first)), 0);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], path + " -> SCRAP: " + cardsRepeaterMessage());
    EXPECT_TRUE(view.cardsRepeaterMessageOff);
    // Nothing after the repeater is stored.
    Bytes bitmap = raw;
    bitmap.resize(8, 0);
    EXPECT_EQ(test::pictureHash(view.picture()),
              test::pictureHash(expectedScrap(1, 8, bitmap, {}, false)));
    // Cancel keeps it quiet for the rest of the run.
    ASSERT_EQ(decodeScrap(view, context, path, "SCRAP", offsetOf(e.first)), 0);
    EXPECT_EQ(host.messages.size(), 1u);

    // A repeater as the last byte: nothing follows it, so nothing is said.
    view.cardsRepeaterMessageOff = false;
    ScrapStore store;
    store.width = 1;
    store.height = 8;
    ScrapDecompressor d(store);
    int said = 0;
    d.feed(Bytes{0x02, 1, 0xDC}, [&] { ++said; });
    EXPECT_EQ(said, 0);
    d.feed(Bytes{0x02, 1}, [&] { ++said; });
    d.feed(Bytes{0x02, 1}, [&] { ++said; });
    EXPECT_EQ(said, 1);
}

TEST_F(PhotoScrap, FontWindowKeepsTheScrapForMonochrome) {
    const Bytes raw = randomBytes(2 * 16 + 2 * 2, 4);
    const auto e = disk.addGeosSequential("SCRAP", scrapInfo(), scrapData(2, 16, unique(raw)));
    const std::string path = save();
    ASSERT_EQ(decodeScrap(view, context, path, "SCRAP", offsetOf(e.first)), 0);
    const Bytes bitmap(raw.begin(), raw.begin() + 32);
    const Bytes colours(raw.begin() + 32, raw.end());
    EXPECT_EQ(test::pictureHash(view.picture()),
              test::pictureHash(expectedScrap(2, 16, bitmap, colours, true)));
    EXPECT_EQ(view.content(), FontViewContent::Scrap);
    EXPECT_EQ(view.clientWidth(), 16);
    EXPECT_EQ(view.toggleMonochromeScrap(context), 0);
    EXPECT_EQ(test::pictureHash(view.picture()),
              test::pictureHash(expectedScrap(2, 16, bitmap, colours, false)));
}

TEST_F(PhotoScrap, GoldenPicture) {
    // A 24 x 21 smiley.
    const char* const rows[21] = {
        "........########........", "......############......", "....####........####....",
        "...##..............##...", "..##................##..", "..#....##......##....#..",
        ".##....##......##....##.", ".#....................#.", ".#....................#.",
        ".#....................#.", ".#..#..............#..#.", ".#...#............#...#.",
        ".##...##........##...##.", "..#.....########.....#..", "..##................##..",
        "...##..............##...", "....####........####....", "......############......",
        "........########........", "........................", "########################"};
    Bytes raw;
    for (const char* r : rows) {
        for (int c = 0; c < 3; ++c) {
            std::uint8_t b = 0;
            for (int i = 0; i < 8; ++i)
                b = static_cast<std::uint8_t>(b << 1 | (r[8 * c + i] == '#'));
            raw.push_back(b);
        }
    }
    const auto picture = decodeFile(scrapData(3, 21, unique(raw)));
    ASSERT_TRUE(picture);
    const auto two = test::toTwoColour(*picture, 0xFFFFFF, 0x000000);
    ASSERT_TRUE(two);
    EXPECT_TRUE(test::matchesGolden(*two, kGolden / "scrap_smiley.bmp"));
}

// --- Photo albums ---

struct PhotoAlbumTest : test::GeosDocFixture {
    FontView view;
    PhotoAlbum album;

    Bytes scrap(int width, int height, std::uint8_t fill) {
        Bytes comp;
        int left = width * (height + height / 8);
        while (left > 0) {
            const int n = std::min(left, 127);
            comp.insert(comp.end(), {static_cast<std::uint8_t>(n), fill});
            left -= n;
        }
        return scrapData(width, height, comp);
    }
    int load(const std::vector<Bytes>& records, const std::string& cls = "Photo Album V2.1") {
        const auto e = disk.addGeosVlir("ALBUM", albumInfo(cls), records);
        const std::string path = save();
        album.version = PhotoAlbum::versionFromClass(cls);
        return album.loadAlbum(view, context, path, "ALBUM", offsetOf(e.first));
    }
};

TEST_F(PhotoAlbumTest, VersionTwoKeepsTitlesInTheLastRecord) {
    const Bytes titles = {'S', 'e', 'a', 0,   'S', 'k', 'y', 0, 'S',
                          'u', 'n', 0,   'M', 'o', 'o', 'n', 0};
    ASSERT_EQ(load({scrap(1, 8, 1), scrap(2, 8, 2), scrap(3, 8, 3), scrap(4, 8, 4), titles}), 0);
    EXPECT_EQ(album.scrapCount(), 4);
    EXPECT_EQ(album.version, 2);
    ASSERT_EQ(album.showAlbumScrap(view, context, 0), 0);
    EXPECT_EQ(album.caption, "1/4");
    EXPECT_EQ(album.label, "Sea");
    EXPECT_EQ(album.hint, "Size: 8x8");
    // Paging wraps around both ways.
    EXPECT_EQ(album.previousScrap(view, context), 0);
    EXPECT_EQ(album.caption, "4/4");
    EXPECT_EQ(album.label, "Moon");
    EXPECT_EQ(album.picture().width, 32);
    EXPECT_EQ(album.nextScrap(view, context), 0);
    EXPECT_EQ(album.caption, "1/4");
}

TEST_F(PhotoAlbumTest, TitleCountMismatchMeansNoTitles) {
    const Bytes titles = {'O', 'n', 'e', 0, 'T', 'w', 'o', 0};
    ASSERT_EQ(load({scrap(1, 8, 1), scrap(1, 8, 2), scrap(1, 8, 3), titles}), 0);
    EXPECT_EQ(album.scrapCount(), 3);
    EXPECT_EQ(album.version, 1);
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(album.showAlbumScrap(view, context, i), 0);
        EXPECT_EQ(album.label, "No Titles...");
    }
}

TEST_F(PhotoAlbumTest, TitleBytes) {
    // A 0 at the start is an empty title, a run of 0 bytes ends one title, "@" and bytes
    // below 32 are left out, the GEOS letters are converted.
    const Bytes titles = {0, 'S', 0x05, 'e', '@', 'a', 0, 0, 0, 'S', 'k', '[', 'y', 0, 'x'};
    ASSERT_EQ(load({scrap(1, 8, 1), scrap(1, 8, 2), scrap(1, 8, 3), titles}), 0);
    EXPECT_EQ(album.titles(), (std::vector<std::string>{"", "Sea", "Sk\xC4y"}));
    EXPECT_EQ(album.version, 2);
}

TEST_F(PhotoAlbumTest, VersionOneHasNoTitlesRecord) {
    ASSERT_EQ(load({scrap(1, 8, 1), scrap(1, 8, 2)}, "Photo Album V1.0"), 0);
    EXPECT_EQ(album.version, 1);
    EXPECT_EQ(album.scrapCount(), 2);
}

TEST_F(PhotoAlbumTest, DamagedTitlesAndScrapPointers) {
    const auto e =
        disk.addGeosVlir("ALBUM", albumInfo(), {scrap(1, 8, 1), scrap(1, 8, 2), Bytes(300, 'a')});
    disk.link(recordStart(e, 2), {50, 1});
    disk.put(e.first, 4, {36, 0});  // scrap 2
    const std::string path = save();
    album.version = 2;
    ASSERT_EQ(album.loadAlbum(view, context, path, "ALBUM", offsetOf(e.first)), 0);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].caption, "PhotoAlbum: Error in File...");
    EXPECT_EQ(host.errors[0].message, "Error reading Titles!\nFile corrupt!");
    EXPECT_EQ(album.version, 1);
    EXPECT_EQ(album.scrapCount(), 2);

    EXPECT_EQ(album.showAlbumScrap(view, context, 1), 1);
    ASSERT_EQ(host.errors.size(), 2u);
    EXPECT_EQ(host.errors[1].caption, "PaintPhotoAlbumScrap: Error in File...");
    EXPECT_EQ(host.errors[1].message,
              "Illegal Track: 36 ($24) or Sector: 0 ($00) in VLIR Record: 2\nVLIR corrupt!\n");
    EXPECT_EQ(album.showAlbumScrap(view, context, 0), 0);
}

TEST_F(PhotoAlbumTest, ZoomAndWindowSize) {
    ASSERT_EQ(load({scrap(40, 200, 0x55)}, "Photo Album V1.0"), 0);
    ASSERT_EQ(album.showAlbumScrap(view, context, 0), 0);
    EXPECT_EQ(album.hint, "Size: 320x200");
    album.zoom100();
    EXPECT_EQ(album.clientWidth(), 324);
    EXPECT_EQ(album.clientHeight(), 200 + album.buttonPanelHeight + 4);
    album.zoomIn();
    album.zoomIn();
    EXPECT_EQ(album.zoomFactor(), 2.0);
    EXPECT_EQ(album.panelWidth(), 640);
    EXPECT_EQ(album.panelHeight(), 400);
    EXPECT_EQ(album.clientWidth(), 644);
    // Zooming out keeps the window's size; it stops at 0.5.
    for (int i = 0; i < 5; ++i)
        album.zoomOut();
    EXPECT_EQ(album.zoomFactor(), 0.5);
    EXPECT_EQ(album.panelWidth(), 160);
    EXPECT_EQ(album.clientWidth(), 644);
    album.toggleFitToWindow();
    EXPECT_EQ(album.panelWidth(), 640);
    EXPECT_EQ(album.panelHeight(), album.clientHeight() - album.buttonPanelHeight - 4);
    album.resized(500, 300);
    EXPECT_EQ(album.panelWidth(), 496);
    EXPECT_EQ(album.prevButtonX(), 248 - 35);
}

}  // namespace
}  // namespace qv
