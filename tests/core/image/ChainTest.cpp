#include "image/Chain.h"

#include <gtest/gtest.h>

#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::Bytes;
using test::DiskBuilder;

struct Walk {
    ChainResult result;
    Bytes data;
    std::vector<TrackSector> blocks;
};

Walk walk(const DiskBuilder& d, TrackSector start, int dosType) {
    test::TempDir tmp;
    d.save(tmp.file("x.d64"));
    auto image = DiskImage::open(tmp.file("x.d64"));
    Walk w;
    w.result = walkChain(*image, start, dosType, [&](const ChainBlock& b) {
        w.data.insert(w.data.end(), b.data.begin(), b.data.end());
        w.blocks.push_back(b.ts);
        return true;
    });
    return w;
}

TEST(Chain, LastBlockCarriesBytesUpToItsIndex) {
    EXPECT_EQ(chainDataLength(1, 0), 254);
    EXPECT_EQ(chainDataLength(0, 255), 254);
    EXPECT_EQ(chainDataLength(0, 2), 1);
    EXPECT_EQ(chainDataLength(0, 1), 0);
    EXPECT_EQ(chainDataLength(0, 0), 0);
}

TEST(Chain, FollowsAFileToItsEnd) {
    DiskBuilder d;
    d.format();
    Bytes data(600);
    for (std::size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<std::uint8_t>(i * 13);
    const auto e = d.addFile("F", 0x82, data);
    const Walk w = walk(d, e.first, kDosStandard);
    EXPECT_EQ(w.result.end, ChainEnd::Normal);
    EXPECT_EQ(w.result.blocks, 3);
    EXPECT_EQ(w.data, data);
}

TEST(Chain, StopsAtAnIllegalLinkAndNamesIt) {
    DiskBuilder d;
    d.format();
    const auto e = d.addFile("F", 0x82, Bytes(300, 1));
    d.link(e.first, {18, 19});
    const Walk w = walk(d, e.first, kDosStandard);
    EXPECT_EQ(w.result.end, ChainEnd::IllegalLink);
    EXPECT_EQ(w.result.badLink, (TrackSector{18, 19}));
    EXPECT_EQ(w.result.blocks, 1);
    // Track 36 is illegal on a 35-track disk, legal with a 40-track DOS.
    DiskBuilder forty(40);
    forty.format();
    forty.put({1, 0}, 0, {36, 0});
    forty.put({36, 0}, 0, {0, 3});
    EXPECT_EQ(walk(forty, {1, 0}, kDosStandard).result.end, ChainEnd::IllegalLink);
    EXPECT_EQ(walk(forty, {1, 0}, kDosSpeedDos).result.end, ChainEnd::Normal);
}

TEST(Chain, ALoopEndsAtTheBlockBound) {
    DiskBuilder d;
    d.format();
    d.link({1, 0}, {1, 1}).link({1, 1}, {1, 0});
    const Walk w = walk(d, {1, 0}, kDosStandard);
    EXPECT_EQ(w.result.end, ChainEnd::BlockBound);
    EXPECT_EQ(w.result.blocks, 683);
    DiskBuilder forty(40);
    forty.format();
    forty.link({1, 0}, {1, 0});
    EXPECT_EQ(walk(forty, {1, 0}, kDosDolphinDos).result.blocks, 768);
}

TEST(DiskImageReads, PastTheEndYieldNothing) {
    test::TempDir tmp;
    {
        std::FILE* f = std::fopen(tmp.file("short.d64").c_str(), "wb");
        std::fputs("abc", f);
        std::fclose(f);
    }
    auto image = DiskImage::open(tmp.file("short.d64"));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->size(), 3);
    image->seek(2);
    EXPECT_EQ(image->readByte(), 'c');
    EXPECT_EQ(image->readByte(), -1);
    EXPECT_EQ(image->tell(), 4);
    EXPECT_FALSE(image->readBlockAt(0));
    image->setDosType(kDosStandard);
    EXPECT_FALSE(image->readBlock({18, 0}));
    std::string error;
    EXPECT_FALSE(DiskImage::open(tmp.path(), &error));
    EXPECT_EQ(error, "is a folder");
    EXPECT_FALSE(DiskImage::open(tmp.file("missing.d64"), &error));
}

}  // namespace
}  // namespace qv
