#include "bam/BlockMapLoad.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "core/bam/BamFixture.h"

namespace qv::test {
namespace {

TEST(BlockMapLoad, WithOwnersReadsBamErrorsAndChains) {
    BamFixture f;
    DiskBuilder b = formatted(35, true);
    const DirEntrySpec one = b.addFile("ONE", 0x82, bytesOf(300));
    b.errorByte(one.first, 5);
    const std::string path = f.save(b);
    f.options.recomputeLimits();
    const MapLoadResult r = loadBlockMap(f.map, path, f.ctx, true);
    EXPECT_EQ(r.outcome, MapLoadOutcome::Loaded);
    EXPECT_EQ(r.walk, OwnerWalk::Complete);
    EXPECT_EQ(f.map.ownerCapacity(), f.options.maxFiles);
    EXPECT_TRUE(f.map.ownerReady());
    EXPECT_EQ(f.map.errorCode(one.first.track, one.first.sector), 23);
    EXPECT_EQ(f.map.markAt(0, one.first), 1);
}

TEST(BlockMapLoad, WithoutOwnersReadsOnlyTheBam) {
    BamFixture f;
    DiskBuilder b = formatted(35, true);
    b.addFile("ONE", 0x82, bytesOf(300));
    const MapLoadResult r = loadBlockMap(f.map, f.save(b), f.ctx, false);
    EXPECT_EQ(r.outcome, MapLoadOutcome::Loaded);
    EXPECT_EQ(r.walk, OwnerWalk::NoGrids);
    EXPECT_FALSE(f.map.ownersAllocated());
    EXPECT_TRUE(f.map.hasErrorInfo());
    EXPECT_EQ(f.map.bamCell(1, 0), '*');
}

TEST(BlockMapLoad, MissingAndUnusableImages) {
    BamFixture f;
    f.options.recomputeLimits();
    EXPECT_EQ(loadBlockMap(f.map, f.tmp.file("missing.d64"), f.ctx, true).outcome,
              MapLoadOutcome::NoSuchFile);
    // A folder is no image either, and is never opened.
    std::filesystem::create_directory(f.tmp.file("folder.d64"));
    EXPECT_EQ(loadBlockMap(f.map, f.tmp.file("folder.d64"), f.ctx, true).outcome,
              MapLoadOutcome::NoSuchFile);
    EXPECT_FALSE(f.map.ownersAllocated());

    const std::string odd = f.tmp.file("odd.d64");
    std::filesystem::resize_file(f.save(formatted()), 1000);
    std::filesystem::rename(f.tmp.file("disk.d64"), odd);
    f.host.questionAnswers.push_back({1, 0, false, false});  // the unsupported-size question
    const MapLoadResult r = loadBlockMap(f.map, odd, f.ctx, true);
    EXPECT_EQ(r.outcome, MapLoadOutcome::Unusable);
    EXPECT_EQ(r.walk, OwnerWalk::NoGrids);
    EXPECT_EQ(f.map.rowCount(), 0);
}

}  // namespace
}  // namespace qv::test
