#include "listing/DirectoryReader.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/Dialogs.h"
#include "image/Detection.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::Bytes;
using test::DirEntrySpec;
using test::DiskBuilder;
using test::ExtendedBam;
using test::ScriptedDialogHost;
using test::TempDir;

DirEntry entryWith(std::uint8_t type, const Bytes& name, std::uint8_t geosType = 0) {
    DirEntry e;
    e.typeByte = type;
    e.geosType = geosType;
    e.name = test::rawName(name);
    return e;
}

TEST(TypeText, DecorationsAndGeosNames) {
    const struct {
        std::uint8_t type;
        std::uint8_t geos;
        const char* text;
        bool isGeos;
    } cases[] = {
        {0x82, 0, "PRG", false},   {0x02, 0, "*PRG", false}, {0xC2, 0, "PRG<", false},
        {0x42, 0, "*PRG<", false}, {0x87, 0, "???", false},  {0x80, 0, "DEL", false},
        {0x00, 7, "SCR", false},   {0x81, 0, "SEQ", false},  {0x83, 0, "USR", false},
        {0x84, 0, "REL", false},   {0x83, 6, "APP", true},   {0x03, 6, "*APP", true},
        {0x43, 7, "*DOC<", true},  {0x83, 15, "USR", false}, {0x85, 7, "???", false},
        {0x83, 14, "AUT", true},   {0x82, 8, "FON", true},
    };
    for (const auto& c : cases) {
        bool isGeos = true;
        EXPECT_EQ(readTypeText(entryWith(c.type, {}, c.geos), &isGeos), c.text)
            << std::hex << int(c.type);
        EXPECT_EQ(isGeos, c.isGeos) << std::hex << int(c.type);
    }
}

TEST(NameText, QuotesFillAndZeroRuns) {
    const Bytes sixteen(16, 'X');
    Bytes ab = {'A', 'B'};
    Bytes quoted = {'A', 0x22, 0xC1, 0xA0, 'B'};
    quoted.resize(16, 0xA0);
    const struct {
        Bytes name;
        std::string text;
        bool zeroRun;
    } cases[] = {
        {sixteen, "\"XXXXXXXXXXXXXXXX\"", false},
        {ab, "\"AB\"" + std::string(14, ' '), false},
        {quoted, std::string("\"A\"A B") + std::string(11, ' ') + " ", false},
        {{0x41, 0, 0, 0}, "\"A", true},
        {{0x41, 0, 0, 5}, "\"A", false},
        {Bytes(16, 0), "\"", true},
    };
    for (const auto& c : cases) {
        bool zeroRun = false;
        DirEntry e = entryWith(0x82, c.name);
        if (c.name.size() < 16) {
            // Names shorter than 16 bytes in the table are padded: 0xA0 unless they hold zeros.
            const bool zeros = std::find(c.name.begin(), c.name.end(), 0) != c.name.end();
            Bytes padded = c.name;
            padded.resize(16, zeros ? 0 : 0xA0);
            if (zeros && c.name.back() != 0)
                padded[c.name.size()] = 0xA0;
            e.name = test::rawName(padded);
        }
        EXPECT_EQ(readNameText(e, 3, &zeroRun), c.text);
        EXPECT_LE(readNameText(e, 3).size(), 18u);
        EXPECT_EQ(zeroRun, c.zeroRun) << c.text;
    }
}

TEST(NameText, ZeroRunNeedsRoomForTheWholeRun) {
    for (int position = 1; position <= 16; ++position) {
        Bytes name(16, 'N');
        for (int i = position - 1; i < 16; ++i)
            name[static_cast<std::size_t>(i)] = 0;
        bool zeroRun = false;
        readNameText(entryWith(0x82, name), 3, &zeroRun);
        EXPECT_EQ(zeroRun, position <= 14) << position;
    }
}

// Lists an image built by a test and records what the reader found.
struct Listed {
    DiskHeader header;
    std::vector<DirEntry> entries;
    DirEnd end{};
};

struct ReaderFixture : ::testing::Test {
    TempDir tmp;
    ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;

    Listed list(const DiskBuilder& d) {
        d.save(tmp.file("x.d64"));
        auto image = DiskImage::open(tmp.file("x.d64"));
        bool abortRun = false;
        DetectContext ctx{options, dialogs, abortRun, tmp.path(), nullptr};
        image->setDosType(detectDosType(*image, true, ctx));
        Listed l;
        l.header = readHeader(*image, options);
        l.end = walkDirectory(*image, options, dialogs,
                              [&](const DirEntry& e) { l.entries.push_back(e); });
        return l;
    }
};

TEST_F(ReaderFixture, EmptyDisk) {
    DiskBuilder d;
    d.format("EMPTY", "ID");
    const Listed l = list(d);
    EXPECT_EQ(l.header.blocksFree, 664);
    EXPECT_EQ(l.header.headerText, "0 \"EMPTY           \" ID 2A");
    EXPECT_EQ(l.header.headerText.size(), 26u);
    EXPECT_TRUE(l.entries.empty());
    EXPECT_EQ(l.end, DirEnd::EndOfChain);
    EXPECT_FALSE(l.header.geosDisk);
}

TEST_F(ReaderFixture, HeaderKeepsEveryByteButA0) {
    DiskBuilder d;
    d.format();
    // Not a resize of the six bytes: GCC 12 at -O3 warns falsely (-Warray-bounds) there.
    Bytes name(16, 0x41);
    const Bytes start = {0x22, 0x00, 0x0D, 0xFF, 0xA0, 0x12};
    std::copy(start.begin(), start.end(), name.begin());
    d.put({18, 0}, 144, name);
    d.geosSignature("geos FoRmAt V2.0");
    const Listed l = list(d);
    EXPECT_EQ(l.header.headerText.size(), 26u);
    EXPECT_EQ(l.header.headerText.substr(3, 6), std::string("\x22\x00\x0D\xFF \x12", 6));
    EXPECT_EQ(l.header.headerText[19], '"');
    EXPECT_TRUE(l.header.geosDisk);
}

TEST_F(ReaderFixture, DosCharactersOfFortyTrackDisks) {
    const struct {
        ExtendedBam kind;
        bool change;
        const char* dos;
        const char* name;
    } cases[] = {{ExtendedBam::SpeedDos, true, "2S", "SPEED"},
                 {ExtendedBam::SpeedDos, false, "2A", "SPEED"},
                 {ExtendedBam::DolphinDos, true, "2D", "DOLPHIN"},
                 {ExtendedBam::PrologicDos, true, "2P", "PROLOGIC"}};
    for (const auto& c : cases) {
        options.changeDosType = c.change;
        DiskBuilder d(40);
        d.format(c.name, "XY").extendedBam(c.kind);
        const Listed l = list(d);
        EXPECT_EQ(l.header.headerText.substr(24), c.dos) << c.name;
        EXPECT_EQ(l.header.headerText.substr(3, std::string(c.name).size()), c.name);
        EXPECT_EQ(l.header.blocksFree, 664 + 85) << c.name;
    }
    // With 40-track support off, a 40-track file counts tracks 1-35 only.
    options.enable40Tracks = false;
    DiskBuilder d(40);
    d.format().extendedBam(ExtendedBam::SpeedDos);
    EXPECT_EQ(list(d).header.blocksFree, 664);
}

TEST_F(ReaderFixture, DeletedEntriesAndZeroRunStop) {
    DiskBuilder d;
    d.format();
    d.addFile("ONE", 0x82, Bytes(10, 1));
    d.setSlot(2, DirEntrySpec{0x82, {1, 1}, test::petsciiName("THREE")});
    EXPECT_EQ(list(d).entries.size(), 2u);
    options.showDeletedFiles = true;
    Listed l = list(d);
    ASSERT_EQ(l.entries.size(), 8u);
    EXPECT_EQ(l.entries[1].typeText, "SCR");
    EXPECT_EQ(l.entries[1].nameText, "\"");
    EXPECT_TRUE(l.entries[1].zeroRun);
    options.abortImageAt0x00 = true;
    l = list(d);
    EXPECT_EQ(l.entries.size(), 2u);
    EXPECT_EQ(l.end, DirEnd::ZeroRun);
}

TEST_F(ReaderFixture, FileLimitStopsBeforeTheNineteenthBlock) {
    DiskBuilder d;
    d.format();
    for (int i = 0; i < 19 * 8; ++i)
        d.addFile(test::numbered("F", i), 0x82, {1});
    options.allowMoreThan144Files = false;
    options.recomputeLimits();
    Listed l = list(d);
    EXPECT_EQ(l.entries.size(), 144u);
    EXPECT_EQ(l.end, DirEnd::MaxFiles);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message, "Max 144 Files allowed!\nImage aborted!");
    EXPECT_EQ(host.errors[0].caption, "MainForm: Error in File...");
    EXPECT_EQ(host.errors[0].buttons.size(), 1u);
    options.allowMoreThan144Files = true;
    options.recomputeLimits();
    l = list(d);
    EXPECT_EQ(l.entries.size(), 152u);
    EXPECT_EQ(l.end, DirEnd::EndOfChain);
}

TEST_F(ReaderFixture, CrosslinkQuestionAndItsAnswers) {
    DiskBuilder d;
    d.format();
    for (int i = 0; i < 10; ++i)
        d.addFile(test::numbered("F", i), 0x82, {1});
    d.link(d.directoryBlocks()[1], {18, 1});
    // "Abort" ends the image after the blocks read so far.
    host.questionAnswers = {{2, 0, false, false}};
    Listed l = list(d);
    EXPECT_EQ(l.end, DirEnd::CrosslinkStop);
    EXPECT_EQ(l.entries.size(), 8u);
    ASSERT_EQ(host.questions.size(), 1u);
    EXPECT_EQ(host.questions[0].message,
              "Directoryentry $16600 is crosslinked to a previous directoryentry!");
    // "List Anyway" with the box ticked: the block is listed, and the second counted
    // answer (at the first block, whose link is now a block read before) ends the image.
    host.questionAnswers = {{1, 0, false, true}};
    l = list(d);
    EXPECT_EQ(l.end, DirEnd::CrosslinkStop);
    EXPECT_EQ(l.entries.size(), 10u);
    EXPECT_EQ(host.questions.size(), 2u);
    // "Cancel All" unticks the box and stops the run.
    dialogs.memory(QuestionMode::Crosslink) = {};
    host.questionAnswers = {{3, 0, false, true}};
    EXPECT_EQ(list(d).end, DirEnd::CrosslinkCancelAll);
    // "List Anyway" without the box: asked on every pass until 36 blocks have been read.
    host.questionAnswers.assign(100, {1, 0, false, false});
    l = list(d);
    EXPECT_EQ(l.end, DirEnd::MaxFiles);
    EXPECT_EQ(l.entries.size(), 18u * 8 + 18u * 2);
}

TEST_F(ReaderFixture, IllegalOrHeaderLinksEndTheDirectory) {
    for (TrackSector link : {TrackSector{18, 0}, TrackSector{18, 19}, TrackSector{36, 0},
                             TrackSector{0, 0xFF}, TrackSector{255, 255}}) {
        DiskBuilder d;
        d.format();
        for (int i = 0; i < 9; ++i)
            d.addFile(test::numbered("F", i), 0x82, {1});
        d.link(d.directoryBlocks()[1], link);
        const Listed l = list(d);
        EXPECT_EQ(l.end, DirEnd::EndOfChain);
        EXPECT_EQ(l.entries.size(), 9u);
    }
    EXPECT_TRUE(host.questions.empty());
}

// One suite over every image variant: what goes in is what the reader finds.
struct VariantCase {
    int tracks;
    bool errors;
    ExtendedBam kind;
    int dosType;
};

class EveryVariant : public ReaderFixture, public ::testing::WithParamInterface<VariantCase> {};

TEST_P(EveryVariant, ReadsWhatWasWritten) {
    const VariantCase v = GetParam();
    DiskBuilder d(v.tracks, v.errors);
    d.format("VARIANT", "VV");
    if (v.kind != ExtendedBam::None)
        d.extendedBam(v.kind);
    d.addFile("FIRST", 0x82, Bytes(1000, 7));
    d.addFile("SECOND", 0xC1, Bytes(100, 8));
    d.addFile("THIRD", 0x03, Bytes(3000, 9));
    const int used = 4 + 1 + 12;
    const Listed l = list(d);
    ASSERT_EQ(l.entries.size(), 3u);
    EXPECT_EQ(l.entries[0].nameText, "\"FIRST\"" + std::string(11, ' '));
    EXPECT_EQ(l.entries[1].typeText, "SEQ<");
    EXPECT_EQ(l.entries[2].typeText, "*USR");
    EXPECT_EQ(l.entries[2].blocks, 12);
    EXPECT_EQ(l.entries[2].blocksText, "12   ");
    EXPECT_EQ(l.header.blocksFree, (v.dosType >= 2 ? 749 : 664) - used);
    EXPECT_EQ(l.header.headerText.substr(0, 12), "0 \"VARIANT  ");
}

INSTANTIATE_TEST_SUITE_P(Images, EveryVariant,
                         ::testing::Values(VariantCase{35, false, ExtendedBam::None, 1},
                                           VariantCase{35, true, ExtendedBam::None, 1},
                                           VariantCase{40, false, ExtendedBam::SpeedDos, 2},
                                           VariantCase{40, true, ExtendedBam::SpeedDos, 2},
                                           VariantCase{40, false, ExtendedBam::DolphinDos, 3},
                                           VariantCase{40, true, ExtendedBam::DolphinDos, 3},
                                           VariantCase{40, false, ExtendedBam::PrologicDos, 4},
                                           VariantCase{40, true, ExtendedBam::PrologicDos, 4}));

}  // namespace
}  // namespace qv
