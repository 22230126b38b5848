#include "bam/BlockMap.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "bam/ErrorCodes.h"
#include "core/bam/BamFixture.h"

namespace qv::test {
namespace {

using ::testing::ElementsAre;

constexpr ChainMark kIllegal = kMarkIllegalLink;

// "%i ($%02X) ; %i ($%02X)" of a block address, as the VLIR messages write it.
std::string where(TrackSector ts) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%i ($%02X) ; %i ($%02X)", ts.track, ts.track, ts.sector,
                  ts.sector);
    return buf;
}

// ---------------------------------------------------------------- BAM and error info

TEST(BlockMapBam, StandardBamGivesFreeAndUsedCells) {
    BamFixture f;
    DiskBuilder b = formatted();
    b.allocate({1, 0}).allocate({17, 20}).allocate({35, 16});
    f.load(b);
    EXPECT_EQ(f.map.dosType(), kDosStandard);
    EXPECT_EQ(f.map.trackCount(), 35);
    EXPECT_EQ(f.map.bamCell(1, 0), '*');
    EXPECT_EQ(f.map.bamCell(1, 1), ' ');
    EXPECT_EQ(f.map.bamCell(17, 20), '*');
    EXPECT_EQ(f.map.bamCell(18, 0), '*');
    EXPECT_EQ(f.map.bamCell(35, 16), '*');
    EXPECT_EQ(f.map.bamCell(35, 15), ' ');
    // Cells that are no blocks hold nothing, also outside the grid.
    EXPECT_EQ(f.map.bamCell(18, 19), '\0');
    EXPECT_EQ(f.map.bamCell(36, 0), '\0');
    EXPECT_EQ(f.map.bamCell(0, 0), '\0');
    EXPECT_EQ(f.map.bamCell(-1, 5), '\0');
    EXPECT_EQ(f.map.bamCell(41, 0), '\0');
    EXPECT_EQ(f.map.bamCell(5, 22), '\0');
    EXPECT_EQ(f.map.blocksFree(), 661);
    EXPECT_FALSE(f.map.hasErrorInfo());
}

TEST(BlockMapBam, ExtendedBamOfEachFortyTrackDos) {
    struct Case {
        ExtendedBam kind;
        int dosType;
    };
    for (const Case c :
         {Case{ExtendedBam::SpeedDos, kDosSpeedDos}, Case{ExtendedBam::DolphinDos, kDosDolphinDos},
          Case{ExtendedBam::PrologicDos, kDosPrologicDos}}) {
        BamFixture f;
        DiskBuilder b = formatted(40);
        b.extendedBam(c.kind);
        b.allocate({37, 5}).allocate({40, 16});
        f.load(b);
        EXPECT_EQ(f.map.dosType(), c.dosType);
        EXPECT_EQ(f.map.trackCount(), 40);
        EXPECT_EQ(f.map.bamCell(37, 5), '*');
        EXPECT_EQ(f.map.bamCell(37, 4), ' ');
        EXPECT_EQ(f.map.bamCell(40, 16), '*');
        EXPECT_EQ(f.map.bamCell(36, 0), ' ');
        EXPECT_EQ(f.map.bamCell(40, 17), '\0');

        // The same file with 40-track support off is a standard image again.
        f.options.enable40Tracks = false;
        f.options.recomputeLimits();
        ASSERT_TRUE(f.map.loadBam(f.tmp.file("disk.d64"), f.ctx));
        EXPECT_EQ(f.map.dosType(), kDosStandard);
        EXPECT_EQ(f.map.trackCount(), 35);
        EXPECT_EQ(f.map.bamCell(37, 5), '\0');
    }
}

TEST(BlockMapBam, UnusableImageEmptiesTheMap) {
    BamFixture f;
    DiskBuilder b = formatted();
    b.addFile("ONE", 0x82, bytesOf(10));
    f.load(b);
    ASSERT_EQ(f.map.rowCount(), 1);
    const std::string odd = f.tmp.file("odd.d64");
    std::filesystem::copy_file(f.tmp.file("disk.d64"), odd);
    std::filesystem::resize_file(odd, 1000);
    f.host.questionAnswers.push_back({1, 0, false, false});  // the unsupported-size question
    EXPECT_TRUE(f.map.loadBam(odd, f.ctx));
    EXPECT_EQ(f.map.dosType(), kDosUnusable);
    EXPECT_EQ(f.map.imagePath(), "");
    EXPECT_EQ(f.map.rowCount(), 0);
    EXPECT_EQ(f.map.bamCell(1, 0), '\0');
    EXPECT_EQ(f.map.blocksFree(), 0);
    // A file that cannot be opened changes nothing.
    EXPECT_FALSE(f.map.loadBam(f.tmp.file("missing.d64"), f.ctx));
}

TEST(BlockMapErrors, ErrorBytesMapToDosCodes) {
    struct Case {
        std::uint8_t byte;
        int code;
    };
    const Case cases[] = {{0, 0},  {1, 0},  {2, 20}, {3, 21},  {4, 22},  {5, 23},
                          {6, 24}, {7, 25}, {8, 26}, {9, 27},  {10, 28}, {11, 29},
                          {12, 0}, {13, 0}, {14, 0}, {15, 74}, {16, 0},  {255, 0}};
    BamFixture f;
    DiskBuilder b = formatted(35, true);
    int sector = 0;
    for (const Case& c : cases)
        b.errorByte({3, sector++}, c.byte);
    f.load(b);
    EXPECT_EQ(f.map.errorInfoKind(), 1);
    EXPECT_TRUE(f.map.hasErrorInfo());
    sector = 0;
    for (const Case& c : cases) {
        EXPECT_EQ(f.map.errorCode(3, sector), c.code) << "byte " << int(c.byte);
        ++sector;
    }
    EXPECT_EQ(f.map.errorCode(99, 0), 0);
}

TEST(BlockMapErrors, ErrorTexts) {
    EXPECT_EQ(errorText(20), "Read error, Header block not found");
    EXPECT_EQ(errorText(23), "Read error, Checksum error in data block");
    EXPECT_EQ(errorText(29), "Seek error, Disk ID mismatch");
    EXPECT_EQ(errorText(74), "Readerror, Disk Not Ready (no device 1)");
    EXPECT_EQ(errorText(0), std::nullopt);
    EXPECT_EQ(errorText(30), std::nullopt);
}

TEST(BlockMapErrors, FortyTrackImageReadAsThirtyFiveTracksUsesTheFirst683Bytes) {
    DiskBuilder b = formatted(40, true);
    b.extendedBam(ExtendedBam::SpeedDos);
    b.errorByte({35, 16}, 5).errorByte({36, 0}, 2);
    {
        BamFixture f;
        f.options.enable40Tracks = false;
        f.load(b);
        EXPECT_EQ(f.map.errorInfoKind(), 2);
        EXPECT_EQ(f.map.trackCount(), 35);
        EXPECT_EQ(f.map.errorCode(35, 16), 23);
        EXPECT_EQ(f.map.errorCode(36, 0), 0);
    }
    {
        BamFixture f;
        f.load(b);
        EXPECT_EQ(f.map.trackCount(), 40);
        EXPECT_EQ(f.map.errorCode(35, 16), 23);
        EXPECT_EQ(f.map.errorCode(36, 0), 20);
    }
}

TEST(BlockMapErrors, EveryLoadClearsTheErrorGrid) {
    BamFixture f;
    DiskBuilder withErrors = formatted(35, true);
    withErrors.errorByte({1, 0}, 2);
    f.load(withErrors, "a.d64");
    EXPECT_EQ(f.map.errorCode(1, 0), 20);
    f.load(formatted(), "b.d64");
    EXPECT_FALSE(f.map.hasErrorInfo());
    EXPECT_EQ(f.map.errorCode(1, 0), 0);
}

// ---------------------------------------------------------------- owners and chains

TEST(BlockMapOwners, FilesListedWithNamesLinesAndChainPositions) {
    BamFixture f;
    DiskBuilder b = formatted();
    const DirEntrySpec one = b.addFile("ONE", 0x82, bytesOf(600));  // 3 blocks
    b.addFile("TWO", 0x01, bytesOf(10));                            // unclosed SEQ
    EXPECT_EQ(f.load(b), OwnerWalk::Complete);
    ASSERT_EQ(f.map.rowCount(), 2);
    EXPECT_TRUE(f.map.ownerReady());
    EXPECT_EQ(f.map.selectedFile(), 0);
    EXPECT_EQ(f.map.fileNames()[0], "\"ONE\"");
    EXPECT_EQ(f.map.fileLines()[0], "3    \"ONE\"              PRG");
    EXPECT_EQ(f.map.fileLines()[1], "1    \"TWO\"             *SEQ");
    EXPECT_EQ(f.map.markAt(0, one.first), 1);
    const auto second = f.map.neighbour(0, one.first, ChainDirection::Forward);
    ASSERT_TRUE(second);
    EXPECT_EQ(f.map.markAt(0, *second), 2);
    const auto third = f.map.neighbour(0, *second, ChainDirection::Forward);
    ASSERT_TRUE(third);
    EXPECT_EQ(f.map.markAt(0, *third), 3);
    EXPECT_FALSE(f.map.neighbour(0, *third, ChainDirection::Forward));
    EXPECT_EQ(f.map.neighbour(0, *third, ChainDirection::Backward), second);
    EXPECT_FALSE(f.map.neighbour(0, one.first, ChainDirection::Backward));
    EXPECT_EQ(f.map.markAt(1, one.first), 0);
    EXPECT_TRUE(f.host.errors.empty());
}

TEST(BlockMapOwners, CrosslinkedBlockIsOwnedByBothFiles) {
    BamFixture f;
    DiskBuilder b = formatted();
    const auto a = b.writeChain(bytesOf(700));  // 3 blocks
    const auto c = b.writeChain(bytesOf(300));  // 2 blocks
    b.link(c[1], a[1]);                         // C's second block goes on into A
    b.addEntry({0x82, a[0], petsciiName("A"), {}, 0, 0, {}, 3});
    b.addEntry({0x82, c[0], petsciiName("C"), {}, 0, 0, {}, 4});
    f.load(b);
    EXPECT_THAT(f.map.ownersOf(a[1]), ElementsAre(0, 1));
    EXPECT_THAT(f.map.ownersOf(a[2]), ElementsAre(0, 1));
    EXPECT_THAT(f.map.ownersOf(a[0]), ElementsAre(0));
    EXPECT_THAT(f.map.ownersOf(c[0]), ElementsAre(1));
    EXPECT_EQ(f.map.markAt(0, a[1]), 2);
    EXPECT_EQ(f.map.markAt(1, a[1]), 3);
    EXPECT_EQ(f.map.markAt(1, a[2]), 4);
    EXPECT_TRUE(f.map.ownersOf({18, 5}).empty());
    EXPECT_TRUE(f.map.ownersOf({50, 5}).empty());
}

// A chain through every block of the disk: tracks 1-17 and 19 up, then 18/2 on, then
// the header block, whose link leads to the directory block 18/1, which ends it.
DiskBuilder diskWithChainThroughEveryBlock(int tracks, TrackSector start) {
    DiskBuilder b = formatted(tracks);
    if (tracks == 40)
        b.extendedBam(ExtendedBam::SpeedDos);
    std::vector<TrackSector> order;
    for (int t = 1; t <= tracks; ++t) {
        if (t == 18)
            continue;
        for (int s = 0; s < sectorsOnTrack(t); ++s)
            order.push_back({t, s});
    }
    for (int s = 2; s < sectorsOnTrack(18); ++s)
        order.push_back({18, s});
    order.push_back({18, 0});
    for (std::size_t i = 0; i + 1 < order.size(); ++i)
        b.link(order[i], order[i + 1]);  // the header block keeps its link to 18/1
    b.addEntry({0x82, start, petsciiName("ALL"), {}, 0, 0, {}, 683});
    return b;
}

TEST(BlockMapChains, SizeLimitReportsAtTheLastBlockTheImageHolds) {
    struct Case {
        int tracks;
        TrackSector start;
        bool reported;
        TrackSector lastMarked;
        int lastMark;
    };
    const Case cases[] = {
        {35, {1, 0}, true, {18, 1}, 683},   // exactly 683 blocks
        {35, {1, 1}, false, {18, 1}, 682},  // one block fewer ends normally
        {40, {1, 0}, true, {18, 1}, 768},
    };
    for (const Case& c : cases) {
        BamFixture f;
        f.load(diskWithChainThroughEveryBlock(c.tracks, c.start));
        ASSERT_EQ(f.map.rowCount(), 1);
        EXPECT_EQ(f.map.markAt(0, c.lastMarked), c.lastMark);
        EXPECT_EQ(f.host.errors.size(), c.reported ? 1u : 0u);
        if (c.reported) {
            const std::string expected = "File exceeds " + std::to_string(c.lastMark) +
                                         " Blocks.\nBAM corrupt!\nContinue with next file?";
            EXPECT_EQ(f.host.errors[0].message, expected);
            EXPECT_EQ(f.host.errors[0].caption, "ShowOwner: Error in File...");
            EXPECT_EQ(f.host.errors[0].line2, "\"ALL\"");
            ASSERT_EQ(f.host.errors[0].buttons.size(), 2u);
            EXPECT_EQ(f.host.errors[0].buttons[1].text, "Abort Image");
        }
    }
}

TEST(BlockMapChains, CircularChainIsCutAt683Or768Blocks) {
    for (const int tracks : {35, 40}) {
        BamFixture f;
        DiskBuilder b = formatted(tracks);
        if (tracks == 40)
            b.extendedBam(ExtendedBam::SpeedDos);
        const auto blocks = b.writeChain(bytesOf(600));  // 3 blocks
        b.link(blocks[2], blocks[0]);
        b.addEntry({0x82, blocks[0], petsciiName("LOOP"), {}, 0, 0, {}, 3});
        b.addFile("AFTER", 0x82, bytesOf(5));
        f.host.errorAnswers = {1};  // Continue
        EXPECT_EQ(f.load(b), OwnerWalk::Complete);
        const int bound = tracks == 35 ? 683 : 768;
        ASSERT_EQ(f.host.errors.size(), 1u);
        EXPECT_EQ(f.host.errors[0].message, "File exceeds " + std::to_string(bound) +
                                                " Blocks.\nBAM corrupt!\nContinue with next file?");
        // Blocks 681, 682, 683 of the loop land on blocks 1, 2, 3 (683 = 3 x 227 + 2).
        int highest = 0;
        for (const TrackSector ts : blocks)
            highest = std::max(highest, f.map.markAt(0, ts));
        EXPECT_EQ(highest, bound);
        EXPECT_EQ(f.map.rowCount(), 2);  // Continue went on with the next entry
    }
}

TEST(BlockMapChains, IllegalLinksAtEachPosition) {
    // File start.
    {
        BamFixture f;
        DiskBuilder b = formatted();
        b.addEntry({0x82, {36, 0}, petsciiName("BAD"), {}, 0, 0, {}, 1});
        f.load(b);
        ASSERT_EQ(f.host.errors.size(), 1u);
        EXPECT_EQ(f.host.errors[0].message,
                  "Illegal Track: 36 ($24) or Sector: 0 ($00) in Pointer to File.\nFile "
                  "corrupt!\nContinue with next File?");
        EXPECT_EQ(f.host.errors[0].buttons.size(), 2u);
        EXPECT_FALSE(f.map.findMark(0, 1));
    }
    // Inside a file: the block holding the bad link is flagged.
    {
        BamFixture f;
        DiskBuilder b = formatted();
        const auto blocks = b.writeChain(bytesOf(600));
        b.link(blocks[1], {1, 25});
        b.addEntry({0x82, blocks[0], petsciiName("BAD"), {}, 0, 0, {}, 3});
        f.load(b);
        ASSERT_EQ(f.host.errors.size(), 1u);
        EXPECT_EQ(f.host.errors[0].message,
                  "Illegal Track: 1 ($01) or Sector: 25 ($19) in Block: 2.\nFile "
                  "corrupt!\nContinue with next file?");
        EXPECT_EQ(f.map.markAt(0, blocks[0]), 1);
        EXPECT_EQ(f.map.markAt(0, blocks[1]), 2 | kIllegal);
        EXPECT_EQ(f.map.markAt(0, blocks[2]), 0);
    }
    // VLIR record start: the index block is flagged.
    {
        BamFixture f;
        DiskBuilder b = formatted();
        const DirEntrySpec e = b.addGeosVlir("VLIR", {}, {bytesOf(10), bytesOf(10)});
        b.put(e.first, 4, {40, 3});  // record 2 points to track 40
        f.load(b);
        ASSERT_EQ(f.host.errors.size(), 1u);
        EXPECT_EQ(f.host.errors[0].message, "Illegal Track: 40 ($28) or Sector: 3 ($03) in " +
                                                std::string("VLIR Record Block located at ") +
                                                where(e.first) +
                                                " , VLIR Record: 2\nVLIR corrupt!\nContinue "
                                                "with next VLIR Record?");
        EXPECT_EQ(f.host.errors[0].buttons.size(), 3u);
        EXPECT_EQ(f.map.markAt(0, e.first), 1 | kIllegal);
        EXPECT_TRUE(f.map.findMark(0, 1 | kMarkRecordStart));
    }
    // Inside a record: at the record's first block and further on.
    for (const int badAt : {0, 1}) {
        BamFixture f;
        DiskBuilder b = formatted();
        const DirEntrySpec e = b.addGeosVlir("VLIR", {}, {bytesOf(10), bytesOf(600)});
        const std::uint8_t* index = b.block(e.first);
        const TrackSector r2{index[4], index[5]};
        std::vector<TrackSector> chain{r2};
        for (int i = 0; i < 2; ++i) {
            const std::uint8_t* blk = b.block(chain.back());
            chain.push_back({blk[0], blk[1]});
        }
        b.link(chain[static_cast<std::size_t>(badAt)], {0xFF, 0});
        f.load(b);
        ASSERT_EQ(f.host.errors.size(), 1u);
        const int k = badAt + 1;
        EXPECT_EQ(f.host.errors[0].message,
                  "Illegal Track: 255 ($FF) or Sector: 0 ($00) in Block: " + std::to_string(k) +
                      " , VLIR Record: 2 , VLIR Record Block located at " + where(e.first) +
                      "\nFile corrupt!\nContinue with next VLIR Record?");
        EXPECT_EQ(f.map.markAt(0, chain[static_cast<std::size_t>(badAt)]),
                  (k + 2 * 4096) | kIllegal);
        if (badAt == 1) {
            EXPECT_EQ(f.map.markAt(0, chain[0]), 2 | kMarkRecordStart);
        }
    }
}

TEST(BlockMapChains, VlirIndexSkipsUnusedRecordsAndEndsAtZeroZero) {
    BamFixture f;
    DiskBuilder b = formatted();
    const DirEntrySpec e = b.addGeosVlir("VLIR", {}, {bytesOf(10), {}, bytesOf(300)});
    std::uint8_t* index = b.block(e.first);
    ASSERT_EQ(index[4], 0);
    ASSERT_EQ(index[5], 0xFF);
    const TrackSector r3{index[6], index[7]};
    f.load(b);
    EXPECT_TRUE(f.map.findMark(0, 1 | kMarkRecordStart));
    EXPECT_FALSE(f.map.findMark(0, 2 | kMarkRecordStart));
    EXPECT_EQ(f.map.markAt(0, r3), 3 | kMarkRecordStart);
    EXPECT_TRUE(f.map.findMark(0, 3 * 4096 + 2));

    // 0/0 ends the index even when records follow.
    index[5] = 0;
    BamFixture g;
    g.load(b);
    EXPECT_TRUE(g.map.findMark(0, 1 | kMarkRecordStart));
    EXPECT_EQ(g.map.markAt(0, r3), 0);
}

TEST(BlockMapChains, GeosFileAfterContinueOrAbortImage) {
    for (const int answer : {1, 3}) {
        BamFixture f;
        DiskBuilder b = formatted();
        const DirEntrySpec e = b.addGeosVlir("GEOS", {}, {bytesOf(10)});
        b.addFile("NEXT", 0x82, bytesOf(10));
        b.link(e.first, {50, 0});  // the index block's own link is illegal
        f.host.errorAnswers = {answer};
        const OwnerWalk result = f.load(b);
        ASSERT_EQ(f.host.errors.size(), 1u);
        EXPECT_EQ(f.map.markAt(0, e.first), 1 | kIllegal);
        const bool examined = answer == 1;
        EXPECT_EQ(f.map.markAt(0, e.info) == kMarkInfoBlock, examined);
        EXPECT_EQ(f.map.findMark(0, 1 | kMarkRecordStart).has_value(), examined);
        EXPECT_EQ(f.map.rowCount(), examined ? 2 : 1);
        EXPECT_EQ(f.map.fileLines().size(), f.map.fileNames().size());
        EXPECT_EQ(result, examined ? OwnerWalk::Complete : OwnerWalk::Stopped);
        EXPECT_TRUE(f.map.ownerReady());
    }
}

TEST(BlockMapChains, IllegalInfoBlockIsReportedAndTheRecordsStillWalked) {
    BamFixture f;
    DiskBuilder b = formatted();
    const DirEntrySpec e = b.addGeosVlir("GEOS", {}, {bytesOf(10)});
    b.put(b.directoryBlocks()[0], 21, {19, 19});
    f.load(b);
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].message,
              "Illegal Track: 19 ($13) or Sector: 19 ($13) in Pointer to Info Block.\nFile "
              "corrupt!");
    ASSERT_EQ(f.host.errors[0].buttons.size(), 1u);
    EXPECT_FALSE(f.map.findMark(0, kMarkInfoBlock));
    EXPECT_TRUE(f.map.findMark(0, 1 | kMarkRecordStart));
    EXPECT_EQ(f.map.markAt(0, e.first), 1);
}

TEST(BlockMapChains, NeighbourThroughRecords) {
    BamFixture f;
    DiskBuilder b = formatted();
    const DirEntrySpec e = b.addGeosVlir("VLIR", {}, {bytesOf(600)});
    f.load(b);
    const auto start = f.map.findMark(0, 1 | kMarkRecordStart);
    ASSERT_TRUE(start);
    const auto fwd = [&](TrackSector ts) {
        return f.map.neighbour(0, ts, ChainDirection::Forward);
    };
    const auto back = [&](TrackSector ts) {
        return f.map.neighbour(0, ts, ChainDirection::Backward);
    };
    const auto second = fwd(*start);
    ASSERT_TRUE(second);
    EXPECT_EQ(f.map.markAt(0, *second), 4096 + 2);
    const auto third = fwd(*second);
    ASSERT_TRUE(third);
    EXPECT_EQ(f.map.markAt(0, *third), 4096 + 3);
    EXPECT_FALSE(fwd(*third));
    EXPECT_EQ(back(*third), second);
    EXPECT_EQ(back(*second), start);
    EXPECT_EQ(back(*start), e.first);
    EXPECT_FALSE(back(e.first));
    EXPECT_FALSE(fwd(e.info));
    EXPECT_FALSE(back(e.info));
    EXPECT_FALSE(fwd({18, 0}));
}

// ---------------------------------------------------------------- the directory walk

TEST(BlockMapDirectory, CrosslinkedDirectoryListsTheBlockAndStops) {
    BamFixture f;
    DiskBuilder b = formatted();
    for (int i = 0; i < 9; ++i)
        b.addFile(numbered("F", i), 0x82, bytesOf(5));
    ASSERT_EQ(b.directoryBlocks().size(), 2u);
    b.link(b.directoryBlocks()[1], {18, 1});
    EXPECT_EQ(f.load(b), OwnerWalk::Stopped);
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].message,
              "Directoryentry $16600 is crosslinked to a previous directoryentry!\nBAM could be "
              "corrupted!\nImage aborted after this entry!");
    EXPECT_FALSE(f.host.errors[0].showLine2);
    EXPECT_EQ(f.map.rowCount(), 9);
    EXPECT_TRUE(f.map.ownerReady());
}

TEST(BlockMapDirectory, FileLimitStopsBeforeTheNineteenthBlock) {
    BamFixture f;
    f.options.allowMoreThan144Files = false;
    DiskBuilder b = formatted();
    for (int i = 0; i < 145; ++i)
        b.addEntry({0x82, {0, 0}, petsciiName("F"), {}, 0, 0, {}, 0});
    EXPECT_EQ(f.load(b), OwnerWalk::Stopped);
    EXPECT_EQ(f.map.ownerCapacity(), 144);
    EXPECT_EQ(f.map.rowCount(), 144);
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].message, "Max 144 Files allowed!\nImage aborted!");
}

TEST(BlockMapDirectory, DirectoryEndsAtHeaderBlockOrIllegalLinkSilently) {
    for (const TrackSector link : {TrackSector{18, 0}, TrackSector{18, 30}}) {
        BamFixture f;
        DiskBuilder b = formatted();
        b.addFile("ONE", 0x82, bytesOf(5));
        b.link({18, 1}, link);
        EXPECT_EQ(f.load(b), OwnerWalk::Complete);
        EXPECT_EQ(f.map.rowCount(), 1);
        EXPECT_TRUE(f.host.errors.empty());
    }
}

TEST(BlockMapDirectory, EmptyDirectoryLeavesOwnersNotReady) {
    BamFixture f;
    EXPECT_EQ(f.load(formatted()), OwnerWalk::Complete);
    EXPECT_EQ(f.map.rowCount(), 0);
    EXPECT_FALSE(f.map.ownerReady());
    EXPECT_EQ(f.map.diskHeader(), "0 \"TEST DISK       \" QV 2A");
    EXPECT_EQ(f.map.blocksFree(), 664);
}

TEST(BlockMapDirectory, DeletedEntriesOnlyWithShowDeletedFiles) {
    for (const bool show : {false, true}) {
        BamFixture f;
        f.options.showDeletedFiles = show;
        DiskBuilder b = formatted();
        b.addEntry({0x00, {0, 0}, petsciiName("GONE"), {}, 0, 0, {}, 0});
        b.addFile("HERE", 0x82, bytesOf(5));
        f.load(b);
        // With deleted files shown the six empty slots of the block are listed too.
        EXPECT_EQ(f.map.rowCount(), show ? 8 : 1);
        EXPECT_EQ(f.map.fileNames()[show ? 1 : 0], "\"HERE\"");
    }
}

TEST(BlockMapDirectory, ZeroRunEndsTheWalkWithALineWithoutType) {
    BamFixture f;
    f.options.abortImageAt0x00 = true;
    DiskBuilder b = formatted();
    b.addFile("ONE", 0x82, bytesOf(5));
    b.addEntry({0x82, {0, 0}, rawName({0x41, 0, 0, 0}), {}, 0, 0, {}, 0});
    b.addFile("LATER", 0x82, bytesOf(5));
    EXPECT_EQ(f.load(b), OwnerWalk::Complete);
    ASSERT_EQ(f.map.rowCount(), 2);
    EXPECT_EQ(f.map.fileLines()[1], "0    \"A");
}

TEST(BlockMapDirectory, NoGridsMeansNoWalk) {
    BamFixture f;
    const std::string path = f.save(formatted());
    ASSERT_TRUE(f.map.loadBam(path, f.ctx));
    EXPECT_EQ(f.map.showOwner(path, f.ctx), OwnerWalk::NoGrids);
    EXPECT_EQ(f.map.showOwner(f.tmp.file("none.d64"), f.ctx), OwnerWalk::NoGrids);
    f.map.allocateOwners(288, f.dialogs);
    EXPECT_EQ(f.map.showOwner(f.tmp.file("none.d64"), f.ctx), OwnerWalk::NotOpened);
}

// ---------------------------------------------------------------- reload rules

TEST(BlockMapRefresh, ReloadsOnImageOptionsChosenTypeAndForce) {
    BamFixture f;
    DiskBuilder b = formatted();
    b.addFile("ONE", 0x82, bytesOf(5));
    const std::string a = f.save(b, "a.d64");
    b.addFile("TWO", 0x82, bytesOf(5));
    const std::string c = f.save(b, "c.d64");
    f.map.allocateOwners(f.options.maxFiles, f.dialogs);

    EXPECT_EQ(f.map.refresh(a, f.ctx), RefreshOutcome::Reloaded);
    EXPECT_EQ(f.map.rowCount(), 1);
    EXPECT_EQ(f.map.refresh(a, f.ctx), RefreshOutcome::Unchanged);
    EXPECT_EQ(f.map.refresh(c, f.ctx), RefreshOutcome::Reloaded);
    EXPECT_EQ(f.map.rowCount(), 2);
    EXPECT_EQ(f.map.refresh(c, f.ctx, true), RefreshOutcome::Reloaded);

    f.options.showDeletedFiles = true;
    f.options.recomputeLimits();
    EXPECT_EQ(f.map.refresh(c, f.ctx), RefreshOutcome::Reloaded);
    EXPECT_EQ(f.map.rowCount(), 8);
    EXPECT_EQ(f.map.refresh(c, f.ctx), RefreshOutcome::Unchanged);

    QuestionMemory& m = f.dialogs.memory(QuestionMode::ExtendedBam);
    m.lastResult = 1;
    m.choice = 3;
    EXPECT_EQ(f.map.refresh(c, f.ctx), RefreshOutcome::Reloaded);
    EXPECT_EQ(f.map.refresh(c, f.ctx), RefreshOutcome::Unchanged);

    // A changed file limit gives new grids, which need a new walk.
    f.options.allowMoreThan144Files = false;
    f.options.recomputeLimits();
    EXPECT_EQ(f.map.refresh(c, f.ctx), RefreshOutcome::Reloaded);
    EXPECT_EQ(f.map.ownerCapacity(), 144);
}

TEST(BlockMapRefresh, WithoutOwnerDisplayEveryRefreshReloads) {
    BamFixture f;
    const std::string a = f.save(formatted(), "a.d64");
    EXPECT_EQ(f.map.refresh(a, f.ctx), RefreshOutcome::Reloaded);
    EXPECT_EQ(f.map.refresh(a, f.ctx), RefreshOutcome::Reloaded);
    EXPECT_EQ(f.map.rowCount(), 0);
}

TEST(BlockMapRefresh, MissingImageEmptiesTheMapAndIsReported) {
    BamFixture f;
    DiskBuilder b = formatted();
    b.addFile("ONE", 0x82, bytesOf(5));
    const std::string a = f.save(b, "a.d64");
    f.map.allocateOwners(f.options.maxFiles, f.dialogs);
    f.map.refresh(a, f.ctx);
    std::filesystem::remove(a);
    EXPECT_EQ(f.map.refresh(a, f.ctx), RefreshOutcome::Emptied);
    EXPECT_EQ(f.map.rowCount(), 0);
    EXPECT_EQ(f.map.bamCell(1, 0), '\0');
    EXPECT_FALSE(f.map.ownerReady());
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].caption, "BAMViewer: Error in File...");
    EXPECT_EQ(f.host.errors[0].line1, a);
    EXPECT_EQ(f.host.errors[0].message, "File not found...");
    // Without a path nothing is reported.
    EXPECT_EQ(f.map.refresh("", f.ctx), RefreshOutcome::Emptied);
    EXPECT_EQ(f.host.errors.size(), 1u);
}

}  // namespace
}  // namespace qv::test
