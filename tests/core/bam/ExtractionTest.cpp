#include "bam/Extraction.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "core/bam/BamFixture.h"
#include "support/TestFiles.h"

namespace qv::test {
namespace {

// A program of 600 data bytes: start address $0801, then 598 bytes.
Bytes program() {
    Bytes data = bytesOf(600, 7);
    data[0] = 0x01;
    data[1] = 0x08;
    return data;
}

TEST(Extraction, ModesKeepOrDropTheStartAddress) {
    BamFixture f;
    DiskBuilder b = formatted();
    b.addFile("OTHER", 0x82, bytesOf(10));
    const DirEntrySpec e = b.addFile("PROG", 0x82, program());
    f.load(b);
    for (const ExtractMode mode :
         {ExtractMode::View, ExtractMode::Detokenize, ExtractMode::Program}) {
        const Extraction x = extractFile(f.map, 1, mode, f.dialogs);
        EXPECT_EQ(x.status, ExtractStatus::Done);
        EXPECT_EQ(x.data, program());
        EXPECT_EQ(x.startAddress, 0x0801);
        EXPECT_EQ(x.firstBlockOffset, f.map.blockOffset(e.first));
    }
    const Extraction x = extractFile(f.map, 1, ExtractMode::ProgramWithoutStart, f.dialogs);
    const Bytes p = program();
    EXPECT_EQ(x.data, Bytes(p.begin() + 2, p.end()));
    EXPECT_EQ(x.startAddress, 0x0801);
    EXPECT_TRUE(f.host.errors.empty());
}

TEST(Extraction, LastBlockEndsAtItsByteOne) {
    // One data byte in the only block: the start address needs two.
    BamFixture f;
    DiskBuilder b = formatted();
    b.addFile("TINY", 0x82, Bytes{0x42});
    f.load(b);
    EXPECT_EQ(extractFile(f.map, 0, ExtractMode::Program, f.dialogs).data, Bytes{0x42});
    EXPECT_TRUE(extractFile(f.map, 0, ExtractMode::ProgramWithoutStart, f.dialogs).data.empty());
}

TEST(Extraction, IllegalLinkKeepsWhatCameBefore) {
    BamFixture f;
    DiskBuilder b = formatted();
    const auto blocks = b.writeChain(program());
    b.link(blocks[1], {1, 21});
    b.addEntry({0x82, blocks[0], petsciiName("BAD"), {}, 0, 0, {}, 3});
    f.host.errorAnswers = {1};
    f.load(b);
    f.host.errors.clear();
    const Extraction x = extractFile(f.map, 0, ExtractMode::Program, f.dialogs);
    EXPECT_EQ(x.status, ExtractStatus::Cut);
    const Bytes p = program();
    EXPECT_EQ(x.data, Bytes(p.begin(), p.begin() + 508));
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].caption, "ViewFile: Error in File...");
    EXPECT_EQ(f.host.errors[0].line2, "\"BAD\"");
    EXPECT_EQ(f.host.errors[0].message,
              "Illegal Track: 1 ($01) or Sector: 21 ($15)\nFile corrupt!");
    ASSERT_EQ(f.host.errors[0].buttons.size(), 1u);
}

TEST(Extraction, LoopIsCutAtTheBlockLimit) {
    BamFixture f;
    DiskBuilder b = formatted();
    const auto blocks = b.writeChain(program());
    b.link(blocks[2], blocks[1]);
    b.addEntry({0x82, blocks[0], petsciiName("LOOP"), {}, 0, 0, {}, 3});
    f.host.errorAnswers = {1};
    f.load(b);
    f.host.errors.clear();
    const Extraction x = extractFile(f.map, 0, ExtractMode::Program, f.dialogs);
    EXPECT_EQ(x.status, ExtractStatus::Cut);
    EXPECT_EQ(x.data.size(), 683u * 254u);
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].message, "File exceeds 683 Blocks...aborted");
}

TEST(Extraction, RefusedPreconditions) {
    BamFixture f;
    DiskBuilder b = formatted();
    const DirEntrySpec v = b.addGeosVlir("VLIR", {}, {bytesOf(10)});
    b.put(v.first, 2, {60, 0});  // record 1 points nowhere: the index block is flagged
    b.addFile("PROG", 0x82, program());

    // Nothing loaded: not ready.
    EXPECT_EQ(extractFile(f.map, 0, ExtractMode::Program, f.dialogs).status,
              ExtractStatus::Refused);
    ASSERT_EQ(f.host.messages.size(), 1u);
    EXPECT_EQ(f.host.messages[0], "ViewFile: Not ready...");

    f.host.errorAnswers = {1};
    f.load(b);
    f.host.errors.clear();
    EXPECT_EQ(extractFile(f.map, -1, ExtractMode::Program, f.dialogs).status,
              ExtractStatus::Refused);
    EXPECT_EQ(extractFile(f.map, 7, ExtractMode::Program, f.dialogs).status,
              ExtractStatus::Refused);
    EXPECT_TRUE(f.host.errors.empty());

    const Extraction x = extractFile(f.map, 0, ExtractMode::Program, f.dialogs);
    EXPECT_EQ(x.status, ExtractStatus::Refused);
    ASSERT_EQ(f.host.errors.size(), 1u);
    EXPECT_EQ(f.host.errors[0].message, "No (valid) Start Offset found...aborted");

    std::filesystem::remove(f.map.imagePath());
    EXPECT_EQ(extractFile(f.map, 1, ExtractMode::Program, f.dialogs).status,
              ExtractStatus::Refused);
    ASSERT_EQ(f.host.errors.size(), 2u);
    EXPECT_EQ(f.host.errors[1].message, "File not found...");
}

TEST(Extraction, ExportNamesAndFiles) {
    EXPECT_EQ(exportFileName("/x/GAMES.PRG", 2), "/x/GAMES_003.PRG");
    EXPECT_EQ(exportFileName("/x/GAMES.PRG", 6), "/x/GAMES_007.PRG");
    EXPECT_EQ(exportFileName("ab", 0), "_001.PRG");

    BamFixture f;
    DiskBuilder b = formatted();
    b.addFile("ONE", 0x82, program());
    b.addFile("TWO", 0x82, bytesOf(300, 1));
    f.load(b);
    const std::string chosen = f.tmp.file("GAMES.PRG");
    {
        std::ofstream old(f.tmp.file("GAMES_001.PRG"));
        old << "an older export";
    }
    const ExportResult r =
        exportFiles(f.map, {0, 1}, ExtractMode::ProgramWithoutStart, chosen, f.dialogs);
    EXPECT_EQ(r.exported, 2);
    EXPECT_EQ(r.message, "2 File(s) Exported to Folder " + f.tmp.path());
    EXPECT_EQ(f.host.messages.back(), r.message);
    const Bytes one = program();
    EXPECT_EQ(test::readBytes(f.tmp.file("GAMES_001.PRG")), Bytes(one.begin() + 2, one.end()));
    const Bytes two = bytesOf(300, 1);
    EXPECT_EQ(test::readBytes(f.tmp.file("GAMES_002.PRG")), Bytes(two.begin() + 2, two.end()));
    // Only the two exports (and the image) are left in the folder.
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(f.tmp.path()))
        ++files;
    EXPECT_EQ(files, 3);
}

TEST(Extraction, FailedWriteLeavesTheTargetAsItWas) {
    BamFixture f;
    DiskBuilder b = formatted();
    b.addFile("ONE", 0x82, program());
    f.load(b);
    const std::string target = f.tmp.file("OUT.PRG");
    {
        std::ofstream old(target);
        old << "keep me";
    }
    for (const WriteStage stage :
         {WriteStage::Create, WriteStage::Write, WriteStage::Sync, WriteStage::Rename}) {
        const ExtractToFileResult r =
            extractToFile(f.map, 0, ExtractMode::Program, target, f.dialogs,
                          [stage](WriteStage s) { return s != stage; });
        EXPECT_FALSE(r.written) << writeStageName(stage);
        EXPECT_EQ(f.host.messages.back(), "ViewFile: Failed to create Tempfile...aborted");
        EXPECT_EQ(test::readBytes(target), Bytes({'k', 'e', 'e', 'p', ' ', 'm', 'e'}));
    }
    const ExtractToFileResult ok = extractToFile(f.map, 0, ExtractMode::Program, target, f.dialogs);
    EXPECT_TRUE(ok.written);
    EXPECT_EQ(test::readBytes(target), program());
    int files = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(f.tmp.path()))
        ++files;
    EXPECT_EQ(files, 2);
}

}  // namespace
}  // namespace qv::test
