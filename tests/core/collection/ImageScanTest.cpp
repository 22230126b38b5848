#include "collection/ImageScan.h"

#include <gtest/gtest.h>

#include <functional>

#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::Bytes;
using test::DirEntrySpec;
using test::DiskBuilder;

ScannedImage scan(const DiskBuilder& d, const test::TempDir& tmp, const char* name = "x.d64") {
    const std::string path = tmp.file(name);
    d.save(path);
    ScanResult r = scanImage(path, *stampOf(path));
    EXPECT_TRUE(r.image) << r.error;
    return r.image ? *r.image : ScannedImage{};
}

DiskBuilder twoFiles(bool errorInfo = false) {
    DiskBuilder d(35, errorInfo);
    d.format("GAMES", "G1");
    d.addFile("ELITE", 0x82, test::filler(600, 3));
    d.addFile("NOTES", 0x81, test::filler(40, 9));
    return d;
}

TEST(ImageScan, ContentHashCoversExactlyTheBytesOfTheChain) {
    test::TempDir tmp;
    const ScannedImage s = scan(twoFiles(), tmp);
    ASSERT_EQ(s.entries.size(), 2u);
    const ScannedEntry& e = s.entries[0];
    EXPECT_EQ(e.contentLength, 600);
    EXPECT_EQ(e.contentHash, hashBytes(test::filler(600, 3)));
    EXPECT_EQ(e.chainBlocks, 3);
    EXPECT_TRUE(e.chainSound);
    EXPECT_EQ(e.nameText, "ELITE");
    EXPECT_EQ(e.nameTextUl, "elite");
    EXPECT_EQ(e.line, "3    \"ELITE\"            PRG");
    EXPECT_EQ(s.diskNameText, "GAMES");
    EXPECT_EQ(s.diskIdText, "G1");
    EXPECT_TRUE(s.problems.empty());
}

TEST(ImageScan, DamagedChainsBecomeProblems) {
    struct Case {
        const char* what;
        std::function<void(DiskBuilder&, const DirEntrySpec&, const DirEntrySpec&)> damage;
        const char* kind;
        bool sound;
    };
    const Case cases[] = {
        {"last block links to the first",
         [](DiskBuilder& d, const DirEntrySpec& a, const DirEntrySpec&) {
             // ELITE's chain: first, +1, +2; the third links back to the first.
             const std::uint8_t* b = d.block(a.first);
             const TrackSector second{b[0], b[1]};
             const std::uint8_t* c = d.block(second);
             d.link({c[0], c[1]}, a.first);
         },
         "loop", false},
        {"a link to track 50",
         [](DiskBuilder& d, const DirEntrySpec& a, const DirEntrySpec&) {
             d.put(a.first, 0, {50, 0});
         },
         "bad link", false},
        {"two entries start at one block",
         [](DiskBuilder& d, const DirEntrySpec& a, const DirEntrySpec& b) {
             DirEntrySpec copy = b;
             copy.first = a.first;
             copy.blocks = 3;
             d.setSlot(1, copy);
         },
         "crosslink", false},
        {"a block count the chains do not hold",
         [](DiskBuilder& d, const DirEntrySpec& a, const DirEntrySpec&) {
             DirEntrySpec wrong = a;
             wrong.blocks = 7;
             d.setSlot(0, wrong);
         },
         "block count", true},
    };
    for (const Case& c : cases) {
        test::TempDir tmp;
        DiskBuilder d(35);
        d.format();
        const DirEntrySpec a = d.addFile("ELITE", 0x82, test::filler(600, 3));
        const DirEntrySpec b = d.addFile("NOTES", 0x81, test::filler(40, 9));
        c.damage(d, a, b);
        const ScannedImage s = scan(d, tmp);
        ASSERT_FALSE(s.problems.empty()) << c.what;
        EXPECT_EQ(s.problems.front().kind, c.kind) << c.what;
        const int entry = s.problems.front().entry;
        ASSERT_GE(entry, 0) << c.what;
        EXPECT_EQ(s.entries[static_cast<std::size_t>(entry)].chainSound, c.sound) << c.what;
    }
}

// The disk of twoFiles() with one thing changed.
struct Variant {
    const char* what;
    bool same;  // still the same disk
    bool errorInfo = false;
    std::string diskName = "GAMES";
    int skipBlocks = 0;     // blocks taken before the files are written
    bool swapped = false;   // NOTES before ELITE
    bool flipByte = false;  // ELITE's last byte changed
    bool junkInFreeBlock = false;
};

DiskBuilder variantDisk(const Variant& v) {
    DiskBuilder d(35, v.errorInfo);
    d.format(v.diskName, "G1");
    for (int i = 0; i < v.skipBlocks; ++i)
        d.nextFreeBlock();
    Bytes elite = test::filler(600, 3);
    if (v.flipByte)
        elite[599] ^= 1;
    if (v.swapped)
        d.addFile("NOTES", 0x81, test::filler(40, 9));
    d.addFile("ELITE", 0x82, elite);
    if (!v.swapped)
        d.addFile("NOTES", 0x81, test::filler(40, 9));
    if (v.junkInFreeBlock)
        d.put({30, 5}, 0, test::filler(256, 77));
    if (v.errorInfo)
        d.errorByte({1, 0}, 5);
    return d;
}

TEST(ImageScan, ImageHashIsTheDiskNotItsUnusedBlocks) {
    test::TempDir tmp;
    const ContentHash plain = *scan(twoFiles(), tmp).hash;
    Variant cases[] = {
        {"junk in a free block", true},      {"error bytes", true},
        {"the files at other blocks", true}, {"another disk name", false},
        {"one byte of content", false},      {"the files in the other order", false},
    };
    cases[0].junkInFreeBlock = true;
    cases[1].errorInfo = true;
    cases[2].skipBlocks = 2;
    cases[3].diskName = "GAMES 2";
    cases[4].flipByte = true;
    cases[5].swapped = true;
    for (const Variant& v : cases) {
        const ScannedImage s = scan(variantDisk(v), tmp, "other.d64");
        ASSERT_TRUE(s.hash) << v.what;
        EXPECT_EQ(*s.hash == plain, v.same) << v.what;
    }
}

TEST(ImageScan, VlirRecordsHashWhereverTheyLie) {
    test::TempDir tmp;
    test::InfoBlockSpec info;
    info.className = "Write Image V2.1";
    info.structure = 1;
    const std::vector<Bytes> records = {test::filler(300, 1), {}, test::filler(20, 2)};
    const auto make = [&](int skip) {
        DiskBuilder d(35);
        d.format();
        for (int s = 0; s < skip; ++s)
            d.nextFreeBlock();
        d.addGeosVlir("LETTER", info, records);
        return d;
    };
    const ScannedImage a = scan(make(0), tmp, "a.d64");
    const ScannedImage b = scan(make(5), tmp, "b.d64");
    ASSERT_EQ(a.entries.size(), 1u);
    const ScannedEntry& e = a.entries[0];
    EXPECT_EQ(e.contentLength, 320);
    EXPECT_EQ(e.geosClass, "Write Image V2.1");
    EXPECT_EQ(e.chainBlocks, 1 + 1 + 2 + 1);  // index, info block, records
    EXPECT_EQ(e.contentHash, b.entries[0].contentHash);
    EXPECT_TRUE(a.problems.empty()) << a.problems.front().kind;
}

TEST(ImageScan, UnusableSizeIsAProblemNotAFailure) {
    test::TempDir tmp;
    const std::string path = tmp.file("short.d64");
    test::DiskBuilder d;
    d.format();
    Bytes b = d.bytes();
    b.resize(1000);
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        std::fwrite(b.data(), 1, b.size(), f);
        std::fclose(f);
    }
    const ScanResult r = scanImage(path, *stampOf(path));
    ASSERT_TRUE(r.image);
    EXPECT_EQ(r.image->dosType, 0);
    EXPECT_FALSE(r.image->hash);
    ASSERT_EQ(r.image->problems.size(), 1u);
    EXPECT_EQ(r.image->problems[0].kind, "unsupported size");
    EXPECT_FALSE(scanImage(tmp.file("missing.d64"), {}).image);
}

}  // namespace
}  // namespace qv
