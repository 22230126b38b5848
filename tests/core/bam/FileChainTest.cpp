#include "bam/FileChain.h"

#include <gtest/gtest.h>

#include "bam/FileLookup.h"
#include "core/bam/BamFixture.h"

namespace qv::test {
namespace {

std::vector<std::string> chainTexts(const BlockMap& map, int row) {
    std::vector<std::string> texts;
    for (const ChainStep& s : fileChain(map, row)) {
        texts.push_back(std::to_string(s.ts.track) + "/" + std::to_string(s.ts.sector) + " " +
                        markText(s.mark));
    }
    return texts;
}

TEST(FileChain, ChainOrderNotDiskOrder) {
    BamFixture f;
    DiskBuilder b = formatted();
    // A plain file whose chain runs backwards over the disk, with a bad last link.
    b.writeChainAt({{3, 0}, {2, 0}, {1, 0}}, bytesOf(600));
    for (const TrackSector ts : {TrackSector{3, 0}, {2, 0}, {1, 0}})
        b.allocate(ts);
    b.link({1, 0}, {1, 30});
    b.addEntry({0x82, {3, 0}, petsciiName("BACK"), {}, 0, 0, {}, 3});
    // A VLIR file: index block, info block, two records of two and one blocks.
    const DirEntrySpec v = b.addGeosVlir("VLIR", {}, {bytesOf(300), bytesOf(10)});
    f.host.errorAnswers = {1};
    f.load(b);
    ASSERT_TRUE(f.map.ownerReady());

    EXPECT_EQ(chainTexts(f.map, 0), (std::vector<std::string>{"3/0 block 1", "2/0 block 2",
                                                              "1/0 block 3, illegal link"}));

    const std::vector<ChainStep> vlir = fileChain(f.map, 1);
    ASSERT_EQ(vlir.size(), 5u);
    EXPECT_EQ(vlir[0].ts, v.first);
    EXPECT_EQ(markText(vlir[0].mark), "block 1");
    EXPECT_EQ(vlir[1].ts, v.info);
    EXPECT_EQ(markText(vlir[1].mark), "info block");
    const std::string expected[] = {"record 1 block 1", "record 1 block 2", "record 2 block 1"};
    const int records[] = {1, 1, 2};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(markText(vlir[i + 2].mark), expected[i]) << i;
        EXPECT_EQ(vlir[i + 2].record, records[i]) << i;
    }
    // A row without an owner grid has no chain.
    EXPECT_TRUE(fileChain(f.map, f.map.ownerCapacity()).empty());
}

TEST(FileChain, MarkTexts) {
    struct Case {
        ChainMark mark;
        const char* text;
    };
    const Case cases[] = {
        {0, ""},
        {7, "block 7"},
        {kMarkInfoBlock, "info block"},
        {5 | kMarkRecordStart, "record 5 block 1"},
        {(5 << kMarkRecordShift) | 3, "record 5 block 3"},
        {2 | kMarkIllegalLink, "block 2, illegal link"},
        {9 | kMarkRecordStart | kMarkIllegalLink, "record 9 block 1, illegal link"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(markText(c.mark), c.text) << c.mark;
}

TEST(FileLookup, NumberBareNameOrListedName) {
    BamFixture f;
    DiskBuilder b = formatted();
    b.addFile("GAME", 0x82, bytesOf(10));
    b.addFile("GAME 2", 0x82, bytesOf(10));
    b.addFile("AB\x5c", 0x82, bytesOf(10));  // the pound sign, a character of its own in UTF-8
    f.load(b);
    ASSERT_EQ(f.map.rowCount(), 3);
    EXPECT_EQ(bareName("\"GAME 2\""), "GAME 2");
    EXPECT_EQ(bareName("\"NO END"), "NO END");
    EXPECT_EQ(bareName("PLAIN"), "PLAIN");

    struct Case {
        const char* name;
        int row;
    };
    const Case cases[] = {
        {"#1", 0},   {"#3", 2},     {"#0", -1},        {"#4", -1},   {"#2x", -1}, {"#", -1},
        {"GAME", 0}, {"GAME 2", 1}, {"\"GAME 2\"", 1}, {"game", -1}, {"GAM", -1}, {"", -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(findRow(f.map, c.name), c.row) << c.name;
    // The third name holds a byte that is no ASCII letter in code page 437: it is
    // found by its UTF-8 form.
    const std::string third = bareName(f.map.fileNames()[2]);
    EXPECT_EQ(findRow(f.map, third), 2) << third;
}

}  // namespace
}  // namespace qv::test
