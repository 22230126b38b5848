#pragma once

#include <cstdint>
#include <functional>
#include <span>

#include "image/DiskImage.h"

namespace qv {

enum class ChainEnd {
    Normal,       // a link with track 0 ended the chain
    IllegalLink,  // a link (or the start) named a block the image does not have
    BlockBound,   // more blocks than the image holds: the chain loops
    Stopped,      // the visitor asked to stop
};

struct ChainBlock {
    TrackSector ts;
    int offset = 0;                      // byte offset of the block in the image
    int index = 0;                       // position in the chain, from 0
    std::span<const std::uint8_t> data;  // the block's data bytes
    const Block* raw = nullptr;          // the whole block, link included
};

struct ChainResult {
    ChainEnd end = ChainEnd::Normal;
    TrackSector badLink;  // the address tried, for IllegalLink
    int blocks = 0;       // blocks handed to the visitor
};

// Visitor: return false to stop the walk.
using ChainVisitor = std::function<bool(const ChainBlock&)>;

// Follows a chain of linked blocks from start. A block whose next track is not 0
// carries bytes 2-255; the last block carries bytes 2 up to and including the
// index in its byte 1. The walk stops after as many blocks as the image holds.
ChainResult walkChain(DiskImage& image, TrackSector start, int dosType,
                      const ChainVisitor& visitor);

// Data bytes of a block by its link bytes: 254 for a linked block, byte1 - 1 for
// the last block (none when byte1 is below 2).
int chainDataLength(std::uint8_t nextTrack, std::uint8_t nextSector);

}  // namespace qv
