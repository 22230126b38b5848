#include "image/Geometry.h"

#include <array>

namespace qv {
namespace {

int blocksBeforeTrack(int track) {
    if (track <= 17)
        return (track - 1) * 21;
    if (track <= 24)
        return 357 + (track - 18) * 19;
    if (track <= 30)
        return 490 + (track - 25) * 18;
    return 598 + (track - 31) * 17;
}

// The offset table, 40 tracks by 21 sectors, computed once.
using OffsetTable = std::array<std::array<std::int32_t, kMaxSectors>, kMaxTracks>;

const OffsetTable& offsetTable() {
    static const OffsetTable table = [] {
        OffsetTable t{};
        for (int track = 1; track <= kMaxTracks; ++track) {
            for (int sector = 0; sector < kMaxSectors; ++sector) {
                t[track - 1][sector] = sector < sectorsOnTrack(track)
                                           ? (blocksBeforeTrack(track) + sector) * kBlockSize
                                           : -1;
            }
        }
        return t;
    }();
    return table;
}

}  // namespace

int sectorsOnTrack(int track) {
    if (track < 1 || track > kMaxTracks)
        return 0;
    if (track <= 17)
        return 21;
    if (track <= 24)
        return 19;
    if (track <= 30)
        return 18;
    return 17;
}

int trackCountFor(int dosType) {
    return dosType >= kDosSpeedDos ? 40 : 35;
}

int blockBoundFor(int dosType) {
    return dosType >= kDosSpeedDos ? kBlocks40 : kBlocks35;
}

int blockOffset(int track, int sector, int dosType) {
    if (track == 0)
        return 0;
    if (track < 1 || track > trackCountFor(dosType) || sector < 0 || sector >= kMaxSectors) {
        return -1;
    }
    return offsetTable()[track - 1][sector];
}

TrackSector blockAt(int offset) {
    if (offset < 0 || offset % kBlockSize != 0)
        return {};
    const int block = offset / kBlockSize;
    for (int track = 1; track <= kMaxTracks; ++track) {
        const int first = blocksBeforeTrack(track);
        if (block < first + sectorsOnTrack(track))
            return {track, block - first};
    }
    return {};
}

}  // namespace qv
