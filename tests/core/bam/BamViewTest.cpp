#include "bam/BamView.h"

#include <gtest/gtest.h>

#include "core/bam/BamFixture.h"

namespace qv::test {
namespace {

TEST(BamView, CellLookFollowsTheSelectedFilesMark) {
    BamFixture f;
    DiskBuilder b(35, true);
    b.format();
    const DirEntrySpec v = b.addGeosVlir("VLIR", {}, {bytesOf(600)});
    const auto plain = b.writeChain(bytesOf(300));
    b.link(plain[1], {1, 30});  // illegal link in the second block
    b.addEntry({0x82, plain[0], petsciiName("PLAIN"), {}, 0, 0, {}, 2});
    b.errorByte({1, 1}, 5);  // the record's first block has an error
    b.errorByte({20, 0}, 2);
    f.host.errorAnswers = {1};
    f.load(b);
    ASSERT_TRUE(f.map.ownerReady());
    const TrackSector recordStart{1, 1};
    ASSERT_EQ(f.map.markAt(0, recordStart), 1 | kMarkRecordStart);
    const TrackSector recordSecond = *f.map.neighbour(0, recordStart, ChainDirection::Forward);

    struct Case {
        int row;
        TrackSector ts;
        bool showChain;
        CellLook expected;
    };
    const Case cases[] = {
        {0, v.first, true, {"1", CellColour::Black, "", "", CellColour::Green}},
        {0, v.info, true, {"info", CellColour::Black, "", "", CellColour::GeosInfo}},
        {0, recordStart, true, {"1", CellColour::Black, "1", "23", CellColour::Fuchsia}},
        {0, recordSecond, true, {"2", CellColour::Black, "1", "", CellColour::Yellow}},
        {0, recordSecond, false, {"", CellColour::Black, "", "", CellColour::Yellow}},
        {0, {20, 0}, true, {"", CellColour::Black, "", "20", CellColour::Red}},
        {0, {20, 1}, true, {"", CellColour::Black, "", "", CellColour::None}},
        {1, plain[0], true, {"1", CellColour::Black, "", "", CellColour::Green}},
        {1, plain[1], true, {"2", CellColour::Black, "", "", CellColour::Fuchsia}},
    };
    for (const Case& c : cases) {
        f.map.setSelectedFile(c.row);
        const CellLook look = cellLook(f.map, c.ts, c.showChain);
        const std::string at = std::to_string(c.ts.track) + "/" + std::to_string(c.ts.sector);
        EXPECT_EQ(look.bottomLeft, c.expected.bottomLeft) << at;
        EXPECT_EQ(look.bottomRight, c.expected.bottomRight) << at;
        EXPECT_EQ(look.topRight, c.expected.topRight) << at;
        EXPECT_EQ(look.frame, c.expected.frame) << at;
    }

    // Without owners an error gets the red frame and nothing else.
    f.map.invalidate();
    const CellLook look = cellLook(f.map, recordStart, true);
    EXPECT_EQ(look.frame, CellColour::Red);
    EXPECT_EQ(look.topRight, "23");
    EXPECT_EQ(look.bottomLeft, "");
    EXPECT_EQ(cellColourValue(CellColour::GeosInfo), 0xFF0080);
}

TEST(BamView, CaptionsAndStatusTexts) {
    BamFixture f;
    DiskBuilder b(35, true);
    b.format();
    b.errorByte({18, 0}, 3);
    f.load(b);
    EXPECT_EQ(blockCaption(f.map, {18, 0}),
              "Error Info -> Track: 18 ($12) ; Sector: 00 ($00) => Offset: $16500");
    EXPECT_EQ(blockCaption(f.map, {17, 20}),
              "BAM -> Track: 17 ($11) ; Sector: 20 ($14) => Offset: $16400");
    EXPECT_EQ(fileOffsetStatusText(0x16600), "Fileoffset: $16600");
    EXPECT_EQ(startAddressText(0x801), "Startaddress: $0801");
    EXPECT_EQ(blockOffsetText(256), "Offset: $00100");
    EXPECT_EQ(trackText(18), "Track: 18 ($12)");
    EXPECT_EQ(sectorText(10), "Sector: 10 ($0A)");
    EXPECT_TRUE(isBlockCell(f.map, 18, 19));
    EXPECT_FALSE(isBlockCell(f.map, 18, 20));
    EXPECT_TRUE(isBlockCell(f.map, 1, 21));
    EXPECT_FALSE(isBlockCell(f.map, 36, 1));
    EXPECT_FALSE(isBlockCell(f.map, 0, 1));
    EXPECT_EQ(bamGridColumns(f.map), 36);
}

TEST(BamView, DosTypeNamesAndErrorLegend) {
    EXPECT_STREQ(dosTypeName(kDosStandard), "standard");
    EXPECT_STREQ(dosTypeName(kDosSpeedDos), "SpeedDOS");
    EXPECT_STREQ(dosTypeName(kDosDolphinDos), "DolphinDOS");
    EXPECT_STREQ(dosTypeName(kDosPrologicDos), "PrologicDOS");
    EXPECT_STREQ(dosTypeName(kDosUnusable), "not usable");
    EXPECT_STREQ(dosTypeName(9), "not usable");

    BamFixture f;
    DiskBuilder b(35, true);
    b.format();
    // Codes in no order, one twice, on the last sector of the last track too.
    b.errorByte({30, 4}, 15).errorByte({1, 0}, 5).errorByte({35, 16}, 2).errorByte({2, 0}, 5);
    f.load(b);
    const std::vector<ErrorLegendLine> legend = errorLegend(f.map);
    ASSERT_EQ(legend.size(), 3u);
    EXPECT_EQ(legend[0].code, 20);
    EXPECT_EQ(legend[0].text, "Read error, Header block not found");
    EXPECT_EQ(legend[1].code, 23);
    EXPECT_EQ(legend[2].code, 74);
    EXPECT_EQ(legend[2].text, "Readerror, Disk Not Ready (no device 1)");

    BamFixture clean;
    clean.load(formatted(35, true));
    EXPECT_TRUE(errorLegend(clean.map).empty());
}

TEST(BamView, FontSizesAndLayout) {
    EXPECT_EQ(gridFontSize(19, true), 6);
    EXPECT_EQ(gridFontSize(19, false), 9);
    EXPECT_EQ(overlayFontSize(19, true), 5);
    EXPECT_EQ(overlayFontSize(19, false), 7);
    BamLayout l;
    l.stripHeight = 40;
    EXPECT_EQ(bamClientHeight(l, 22), 22 * 19 + 23 + 40 + 2);
    EXPECT_EQ(bamClientWidth(l, 36), 36 * 19 + 37 + 4);
    l.fileListWidth = 213;
    l.fileListBorder = 4;
    EXPECT_EQ(bamClientWidth(l, 41), 41 * 19 + 42 + 213 + 4 + 1);
    l.screenWidth = 800;
    EXPECT_EQ(bamClientWidth(l, 41), 800);
    EXPECT_EQ(bamRowHeightFor(l, 22, 22 * 30 + 23 + 40), 30);
    EXPECT_EQ(bamColumnWidthFor(l, 36, 213 + 36 * 25 + 37 + 10), 25);
}

TEST(BamView, UndockedFileListStandsBesideTheViewer) {
    struct Case {
        const char* what;
        int viewerX, viewerWidth;
        UndockedPlacement expected;
    };
    // A screen from x 100 to 1100; the list is 213 wide.
    const Case cases[] = {
        {"fits where it is", 150, 500, {150, 500, 650}},
        {"too near the right edge: moves left", 600, 500, {387, 500, 887}},
        {"wider than the screen with the list: shrinks first", 100, 900, {100, 787, 887}},
        {"shrinks and moves", 400, 1000, {100, 787, 887}},
        {"left of the screen: brought in", 0, 300, {100, 300, 400}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const UndockedPlacement p = undockedPlacement(100, 1000, c.viewerX, c.viewerWidth, 213);
        EXPECT_EQ(p.viewerX, c.expected.viewerX);
        EXPECT_EQ(p.viewerWidth, c.expected.viewerWidth);
        EXPECT_EQ(p.listX, c.expected.listX);
    }
}

TEST(BamView, GridHitTestingSkipsTheLines) {
    const GridGeometry g{19, 19, 1};
    struct Case {
        int x, y;
        GridCell cell;
    };
    const Case cases[] = {
        {0, 0, {}},        // the first line
        {1, 1, {0, 0}},    // the corner cell
        {19, 19, {0, 0}},  // its last pixel
        {20, 25, {}},      // the line behind column 0
        {21, 21, {1, 1}},  // track 1, sector 0
        {35 * 20 + 5, 21 * 20 + 5, {35, 21}},
        {36 * 20 + 5, 5, {}},  // beyond the last column
        {5, 22 * 20 + 5, {}},  // beyond the last row
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.x) + "," + std::to_string(c.y));
        EXPECT_EQ(gridCellAt(g, 36, 22, c.x, c.y), c.cell);
    }
    EXPECT_EQ(gridCellRect(g, 1, 1), (GridRect{21, 21, 19, 19}));
    EXPECT_EQ(gridWidth(g, 36), 36 * 19 + 37);
    EXPECT_EQ(gridHeight(g, 22), 22 * 19 + 23);
}

TEST(BamView, GridCellTexts) {
    BamFixture f;
    DiskBuilder b = formatted();
    b.addFile("ONE", 0x82, bytesOf(300));
    f.load(b);
    EXPECT_EQ(gridCellText(f.map, 0, 0), "");
    EXPECT_EQ(gridCellText(f.map, 35, 0), "35");
    EXPECT_EQ(gridCellText(f.map, 0, 21), "20");
    EXPECT_EQ(gridCellText(f.map, 18, 1), "*");   // the header block is used
    EXPECT_EQ(gridCellText(f.map, 35, 17), " ");  // track 35 has 17 sectors: 0-16
    EXPECT_EQ(gridCellText(f.map, 35, 18), "");
}

TEST(BamView, KeysMoveTheSelectionOverBlocksOnly) {
    BamFixture f;
    f.load(formatted());
    struct Case {
        GridCell from;
        GridStep step;
        GridCell to;
    } cases[] = {
        {{}, GridStep::Right, {1, 1}},  // nothing selected: the first block
        {{0, 3}, GridStep::Down, {1, 1}},
        {{5, 5}, GridStep::Right, {6, 5}},
        {{5, 5}, GridStep::Up, {5, 4}},
        {{5, 1}, GridStep::Up, {5, 1}},    // sector 0 stays
        {{1, 9}, GridStep::Left, {1, 9}},  // track 1 stays
        {{35, 9}, GridStep::Right, {35, 9}},
        {{17, 21}, GridStep::Down, {17, 21}},
        {{17, 21}, GridStep::Right, {18, 19}},  // onto a shorter track: its last sector
        {{31, 17}, GridStep::Left, {30, 17}},
        {{24, 7}, GridStep::FirstSector, {24, 1}},
        {{24, 7}, GridStep::LastSector, {24, 19}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(stepCell(f.map, c.from, c.step), c.to)
            << c.from.column << "/" << c.from.row << " step " << static_cast<int>(c.step);
    }
}

}  // namespace
}  // namespace qv::test
