#pragma once

#include <cstdint>

namespace qv {

// Image variants. Every block lookup takes one of these.
enum DosType : int {
    kDosUnusable = 0,
    kDosStandard = 1,
    kDosSpeedDos = 2,
    kDosDolphinDos = 3,
    kDosPrologicDos = 4,
};

inline constexpr int kBlockSize = 256;
inline constexpr int kMaxSectors = 21;
inline constexpr int kMaxTracks = 40;

inline constexpr int kBlocks35 = 683;
inline constexpr int kBlocks40 = 768;

inline constexpr int kSize35 = 174848;
inline constexpr int kSize35Errors = 175531;
inline constexpr int kSize40 = 196608;
inline constexpr int kSize40Errors = 197376;
// No image is larger than this, so no reader ever needs more.
inline constexpr int kMaxImageSize = kSize40Errors;

inline constexpr int kHeaderOffset = 91392;    // track 18 sector 0
inline constexpr int kFirstDirOffset = 91648;  // track 18 sector 1

// A block address: track counted from 1 (0 ends a chain), sector from 0.
struct TrackSector {
    int track = 0;
    int sector = 0;
    friend bool operator==(const TrackSector&, const TrackSector&) = default;
};

// Sectors on a track (21, 19, 18 or 17); 0 for a track outside 1-40.
int sectorsOnTrack(int track);

// Track limit for a variant: 35 for unusable and standard images, 40 otherwise.
int trackCountFor(int dosType);

// Blocks a chain can hold at most: 683 for 35 tracks, 768 for 40.
int blockBoundFor(int dosType);

// Byte offset of a block in the image file. Track 0 yields 0 (the end mark of a
// chain, which every caller tests first); an illegal address yields -1.
int blockOffset(int track, int sector, int dosType);
inline int blockOffset(TrackSector ts, int dosType) {
    return blockOffset(ts.track, ts.sector, dosType);
}

// Inverse of blockOffset for a valid block offset (a multiple of 256 inside 40 tracks).
// Returns track 0 for an offset that is no block start.
TrackSector blockAt(int offset);

}  // namespace qv
