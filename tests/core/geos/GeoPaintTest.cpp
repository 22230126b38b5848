#include "geos/GeoPaint.h"

#include <gtest/gtest.h>

#include <random>

#include "GeosDocFixture.h"
#include "support/GeoWriteBytes.h"
#include "support/GoldenImage.h"

namespace qv {
namespace {

using test::Bytes;
using test::InfoBlockSpec;

const std::filesystem::path kGolden = test::goldenDir("geos");

InfoBlockSpec paintInfo() {
    InfoBlockSpec form;
    form.geosType = 7;
    form.structure = 1;
    form.className = "Paint Image V1.1";
    return form;
}

// A full band of 1448 bytes from a seed: bitmap, 8 unused bytes, colours.
Bytes bandBytes(unsigned seed) {
    std::mt19937 rng(seed);
    Bytes b(1448);
    for (auto& v : b)
        v = static_cast<std::uint8_t>(rng());
    return b;
}

// The picture a list of decoded bands should give, worked out card by card: card row r,
// column c, pixel row i of the card and bit j.
Image32 expectedPicture(const std::vector<Bytes>& bands, bool mono) {
    Image32 out(640, 720, 0xFFFFFF);
    for (std::size_t band = 0; band < bands.size(); ++band) {
        const Bytes& b = bands[band];
        for (int r = 0; r < 2; ++r) {
            for (int c = 0; c < 80; ++c) {
                const std::uint8_t colour = b[static_cast<std::size_t>(1288 + 80 * r + c)];
                for (int i = 0; i < 8; ++i) {
                    const std::uint8_t bits = b[static_cast<std::size_t>(640 * r + 8 * c + i)];
                    for (int j = 0; j < 8; ++j) {
                        const bool set = (bits >> (7 - j)) & 1;
                        std::uint32_t px;
                        if (mono)
                            px = set ? 0x000000 : 0xFFFFFF;
                        else
                            px = kDefaultC64Palette[set ? colour >> 4 : colour & 15];
                        out.at(8 * c + j, static_cast<int>(16 * band) + 8 * r + i) = px;
                    }
                }
            }
        }
    }
    return out;
}

struct GeoPaint : test::GeosDocFixture {
    std::optional<Image32> decode(const test::DirEntrySpec& e, bool mono = false) {
        const std::string path = save();
        return decodeGeoPaintPicture(context, path, "PIC", offsetOf(e.first), mono);
    }
};

TEST_F(GeoPaint, FullAndPartialPictures) {
    for (const int count : {45, 10}) {
        SCOPED_TRACE(count);
        disk = test::DiskBuilder();
        disk.format();
        std::vector<Bytes> bands;
        std::vector<Bytes> records;
        for (int i = 0; i < count; ++i) {
            bands.push_back(bandBytes(static_cast<unsigned>(i + 1)));
            records.push_back(test::geowrite::literalRuns(bands.back()));
        }
        const auto e = disk.addGeosVlir("PIC", paintInfo(), records);
        const auto picture = decode(e);
        ASSERT_TRUE(picture);
        EXPECT_TRUE(host.errors.empty());
        EXPECT_EQ(test::pictureHash(*picture), test::pictureHash(expectedPicture(bands, false)));
        // Rows no band covers stay as a new picture is: white.
        if (count == 10) {
            EXPECT_EQ(picture->at(639, 160), 0xFFFFFFu);
        }
    }
}

TEST_F(GeoPaint, EmptyRecordMovesLaterRecordsUpOneBand) {
    std::vector<Bytes> bands = {bandBytes(1), bandBytes(2), bandBytes(3), bandBytes(4)};
    const auto e = disk.addGeosVlir("PIC", paintInfo(),
                                    {test::geowrite::literalRuns(bands[0]),
                                     test::geowrite::literalRuns(bands[1]),
                                     test::geowrite::literalRuns(bands[2]),
                                     {},
                                     test::geowrite::literalRuns(bands[3])});
    const auto picture = decode(e);
    ASSERT_TRUE(picture);
    EXPECT_EQ(test::pictureHash(*picture), test::pictureHash(expectedPicture(bands, false)));
}

TEST_F(GeoPaint, ShortBandTurnsThePictureBlackAndWhiteUnlessItIsTheLast) {
    Bytes shortBand = bandBytes(7);
    shortBand.resize(1280);
    const Bytes full = bandBytes(8);
    // What the short band decodes to: its 1280 bytes, zeros after them.
    Bytes shortDecoded = shortBand;
    shortDecoded.resize(1448, 0);

    const auto e = disk.addGeosVlir(
        "PIC", paintInfo(),
        {test::geowrite::literalRuns(shortBand), test::geowrite::literalRuns(full)});
    auto picture = decode(e);
    ASSERT_TRUE(picture);
    EXPECT_EQ(test::pictureHash(*picture),
              test::pictureHash(expectedPicture({shortDecoded, full}, true)));

    disk = test::DiskBuilder();
    disk.format();
    const auto last = disk.addGeosVlir(
        "PIC", paintInfo(),
        {test::geowrite::literalRuns(full), test::geowrite::literalRuns(shortBand)});
    picture = decode(last);
    ASSERT_TRUE(picture);
    EXPECT_EQ(test::pictureHash(*picture),
              test::pictureHash(expectedPicture({full, shortDecoded}, false)));
    // The "Monochrome" option draws the same document in black and white.
    picture = decode(last, true);
    EXPECT_EQ(test::pictureHash(*picture),
              test::pictureHash(expectedPicture({full, shortDecoded}, true)));
}

TEST(GeoPaintDecompressor, Commands) {
    struct Case {
        const char* what;
        Bytes input;
        Bytes expected;  // the first bytes of the band
        int decoded;
    };
    const Case cases[] = {
        {"bytes as they are", {0x03, 1, 2, 3}, {1, 2, 3}, 3},
        {"64 and 128 are ignored", {0x40, 0x80, 0x02, 7, 8}, {7, 8}, 2},
        {"0 is ignored", {0x00, 0x01, 9}, {9}, 1},
        {"a run", {0x85, 0xAA}, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, 5},
        {"a card pattern three times",
         {0x43, 1, 2, 3, 4, 5, 6, 7, 8},
         {1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8},
         24},
        {"pattern then literal",
         {0x41, 1, 1, 1, 1, 1, 1, 1, 1, 0x01, 5},
         {1, 1, 1, 1, 1, 1, 1, 1, 5},
         9},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        GeoPaintBand band{};
        GeoPaintDecompressor d(band);
        d.feed(c.input);
        EXPECT_EQ(d.decoded(), c.decoded);
        EXPECT_EQ(Bytes(band.begin(), band.begin() + static_cast<long>(c.expected.size())),
                  c.expected);
        EXPECT_EQ(band[c.expected.size()], 0);
    }
}

TEST(GeoPaintDecompressor, CountsCarryOverBetweenPiecesAndStopAtTheBandEnd) {
    GeoPaintBand band{};
    GeoPaintDecompressor d(band);
    const Bytes whole = {0x42, 1, 2, 3, 4, 5, 6, 7, 8, 0x83, 9, 0x02, 10, 11};
    for (std::uint8_t b : whole)
        d.feed(std::span<const std::uint8_t>(&b, 1));
    const Bytes expected = {1, 2, 3, 4, 5, 6, 7, 8, 1, 2, 3, 4, 5, 6, 7, 8, 9, 9, 9, 10, 11};
    EXPECT_EQ(Bytes(band.begin(), band.begin() + 21), expected);
    EXPECT_EQ(d.decoded(), 21);

    // Far more than a band: everything past 1448 lands in the spare last position.
    GeoPaintBand full{};
    full.fill(0x55);
    GeoPaintDecompressor big(full);
    Bytes runs;
    for (int i = 0; i < 20; ++i)
        runs.insert(runs.end(), {0xFF, static_cast<std::uint8_t>(i)});  // 127 bytes each
    runs.insert(runs.end(), {0x7F, 1, 2, 3, 4, 5, 6, 7, 8});            // 63 cards
    big.feed(runs);
    EXPECT_EQ(big.decoded(), 1448);
    EXPECT_EQ(full[1447], 11);  // 1447 / 127 = 11
    EXPECT_EQ(full[1448], 8);   // the pattern's last byte went past the end
}

TEST_F(GeoPaint, RunSplitAcrossBlocks) {
    // 253 data bytes of commands and data, then a run command as the last data byte of
    // the first block whose data byte opens the second block.
    Bytes rec;
    for (int i = 0; i < 3; ++i) {
        rec.push_back(63);
        rec.insert(rec.end(), 63, static_cast<std::uint8_t>(i + 1));
    }
    rec.push_back(60);
    rec.insert(rec.end(), 60, 4);
    ASSERT_EQ(rec.size(), 253u);
    rec.insert(rec.end(), {0x85, 0xAA});
    const auto e = disk.addGeosVlir("PIC", paintInfo(), {rec});
    const std::string path = save();
    auto image = DiskImage::open(path);
    image->setDosType(kDosStandard);
    const auto doc = readGeoPaint(context, *image, "PIC", offsetOf(e.first));
    ASSERT_TRUE(doc);
    ASSERT_EQ(doc->bands.size(), 1u);
    const GeoPaintBand& b = doc->bands[0];
    EXPECT_EQ(b[248], 4);
    for (int p = 249; p < 254; ++p)
        EXPECT_EQ(b[static_cast<std::size_t>(p)], 0xAA) << p;
    EXPECT_EQ(b[254], 0);
}

TEST_F(GeoPaint, IllegalLinkAsksOnceAndKeepsWhatWasDecoded) {
    const Bytes a = bandBytes(1);
    const Bytes b = bandBytes(2);
    const auto e = disk.addGeosVlir(
        "PIC", paintInfo(), {test::geowrite::literalRuns(a), test::geowrite::literalRuns(b)});
    const TrackSector first = recordStart(e, 0);
    disk.link(first, {50, 0});
    host.errorAnswers = {1};  // Continue
    const auto picture = decode(e);
    ASSERT_TRUE(picture);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].caption, "GeoPaint: Error in File...");
    EXPECT_EQ(host.errors[0].message,
              "Illegal Track: 50 ($32) or Sector: 0 ($00)\nFile corrupt!\nContinue with next VLIR "
              "Record?");
    // The first block's 254 bytes hold 4 commands and 250 bitmap bytes; band 0 keeps them
    // and is short, so the whole picture is black and white.
    Bytes kept(a.begin(), a.begin() + 250);
    kept.resize(1448, 0);
    EXPECT_EQ(test::pictureHash(*picture), test::pictureHash(expectedPicture({kept, b}, true)));

    host.errors.clear();
    host.errorAnswers = {2};  // Abort File
    EXPECT_FALSE(decode(e));
    EXPECT_EQ(host.errors.size(), 1u);
}

TEST_F(GeoPaint, IllegalRecordPointer) {
    const Bytes a = bandBytes(1);
    const Bytes b = bandBytes(2);
    const auto e = disk.addGeosVlir("PIC", paintInfo(),
                                    {test::geowrite::literalRuns(a),
                                     {},
                                     test::geowrite::literalRuns(b),
                                     test::geowrite::literalRuns(a)});
    disk.put(e.first, 6, {36, 0});  // record 2: no track 36 on this disk
    host.errorAnswers = {1};
    const auto picture = decode(e);
    ASSERT_TRUE(picture);
    ASSERT_EQ(host.errors.size(), 1u);
    // The record number counts the kept pointers: the empty record is not one.
    EXPECT_EQ(host.errors[0].message,
              "Illegal Track: 36 ($24) or Sector: 0 ($00) in VLIR Record: 2\nVLIR corrupt!\n"
              "Continue with next VLIR Record?");
    // The bad record uses no band.
    EXPECT_EQ(test::pictureHash(*picture), test::pictureHash(expectedPicture({a, a}, false)));

    host.errorAnswers = {2};
    EXPECT_FALSE(decode(e));
}

TEST_F(GeoPaint, ZeroZeroEndsTheIndex) {
    const Bytes a = bandBytes(1);
    const auto e = disk.addGeosVlir(
        "PIC", paintInfo(), {test::geowrite::literalRuns(a), test::geowrite::literalRuns(a)});
    disk.put(e.first, 4, {0, 0});
    const auto picture = decode(e);
    ASSERT_TRUE(picture);
    EXPECT_EQ(test::pictureHash(*picture), test::pictureHash(expectedPicture({a}, false)));
}

TEST_F(GeoPaint, ViewKeepsTheDocumentAndItsPictureThroughAFailedRedraw) {
    const Bytes a = bandBytes(3);
    const auto e = disk.addGeosVlir("PIC", paintInfo(), {test::geowrite::literalRuns(a)});
    const std::string path = save();
    GeoPaintView view;
    ASSERT_EQ(view.decodeGeoPaint(context, path, "PIC", offsetOf(e.first)), 0);
    EXPECT_EQ(view.caption(), path + " -> PIC");
    EXPECT_EQ(test::pictureHash(view.picture()), test::pictureHash(expectedPicture({a}, false)));

    EXPECT_EQ(view.toggleMonochrome(context), 0);
    EXPECT_TRUE(view.monochrome());
    EXPECT_EQ(test::pictureHash(view.picture()), test::pictureHash(expectedPicture({a}, true)));

    // The one-time redraw: not for a narrow window, once for a wide one.
    EXPECT_FALSE(view.windowResized(context, 664, false));
    EXPECT_TRUE(view.windowResized(context, 800, false));
    EXPECT_FALSE(view.windowResized(context, 900, true));
    EXPECT_EQ(GeoPaintView::panelWidth(672), 640);
    EXPECT_EQ(GeoPaintView::panelWidth(700), 670);

    std::filesystem::remove(path);
    EXPECT_EQ(view.toggleMonochrome(context), 1);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].caption, "GeoPaint: Error...");
    EXPECT_EQ(host.errors[0].message, "Failed to open Image...");
    EXPECT_FALSE(host.errors[0].showLine2);
    EXPECT_EQ(test::pictureHash(view.picture()), test::pictureHash(expectedPicture({a}, true)));
    EXPECT_EQ(view.fileName(), "PIC");
}

TEST_F(GeoPaint, GoldenPicture) {
    // A checkerboard band, a striped band made of card patterns and a band of runs.
    Bytes checker;
    for (int i = 0; i < 160; ++i)
        checker.insert(checker.end(), {0x41, 0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F});
    Bytes stripes = {0x7F, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0,
                     0x61, 0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0};
    stripes.insert(stripes.end(), {0x7F, 0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81});
    Bytes runs;
    for (int i = 0; i < 10; ++i)
        runs.insert(runs.end(), {0xFF, static_cast<std::uint8_t>(i % 2 ? 0xAA : 0x55)});
    const auto e = disk.addGeosVlir("PIC", paintInfo(), {checker, stripes, runs});
    const auto picture = decode(e, true);
    ASSERT_TRUE(picture);
    Image32 top(640, 48);
    std::copy(picture->pixels.begin(), picture->pixels.begin() + 640 * 48, top.pixels.begin());
    const auto two = test::toTwoColour(top, 0xFFFFFF, 0x000000);
    ASSERT_TRUE(two);
    EXPECT_TRUE(test::matchesGolden(*two, kGolden / "geopaint_bands.bmp"));
}

}  // namespace
}  // namespace qv
