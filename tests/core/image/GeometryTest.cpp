#include "image/Geometry.h"

#include <gtest/gtest.h>

namespace qv {
namespace {

struct OffsetCase {
    int track, sector, dosType, offset;
};

TEST(BlockOffset, KnownAddresses) {
    const OffsetCase cases[] = {
        {18, 0, 1, 91392},  {18, 1, 1, 91648},  {17, 20, 1, 91136},  {1, 0, 1, 0},
        {25, 0, 1, 125440}, {31, 0, 1, 153088}, {35, 16, 1, 174592}, {18, 19, 1, -1},
        {1, 21, 1, -1},     {35, 17, 1, -1},    {36, 0, 1, -1},      {36, 0, 2, 174848},
        {36, 0, 3, 174848}, {36, 0, 4, 174848}, {40, 16, 2, 196352}, {41, 0, 2, -1},
        {41, 0, 1, -1},     {0, 5, 1, 0},       {0, 99, 4, 0},       {-1, 0, 1, -1},
        {1, -1, 1, -1},     {36, 0, 0, -1},     {24, 18, 1, 125184}, {24, 19, 2, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(blockOffset(c.track, c.sector, c.dosType), c.offset)
            << "track " << c.track << " sector " << c.sector << " dosType " << c.dosType;
    }
}

TEST(BlockOffset, EveryBlockOnceInOrder) {
    int expected = 0;
    for (int track = 1; track <= 40; ++track) {
        for (int sector = 0; sector < sectorsOnTrack(track); ++sector) {
            ASSERT_EQ(blockOffset(track, sector, kDosSpeedDos), expected);
            EXPECT_EQ(blockAt(expected), (TrackSector{track, sector}));
            expected += 256;
        }
    }
    EXPECT_EQ(expected, kSize40);
    EXPECT_EQ(blockOffset(35, 16, kDosStandard) + 256, kSize35);
}

}  // namespace
}  // namespace qv
