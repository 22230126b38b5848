#pragma once

#include <string>
#include <vector>

#include "bam/BlockMap.h"

namespace qv {

// One block of a file in chain order, with its mark in the file's owner grid.
struct ChainStep {
    TrackSector ts;
    ChainMark mark = 0;
    int record = 0;    // 0: the file's own chain (and its info block)
    int position = 0;  // place inside the chain or record, from 1
};

// The blocks of a file row in chain order: its own chain, its info block, then each
// VLIR record from its first block on. Empty when the row has no owner grid.
std::vector<ChainStep> fileChain(const BlockMap& map, int row);

// What a mark says about a block, in words: "block 3", "info block", "record 5 block 1",
// "record 5 block 2", with ", illegal link" when the block's link is illegal; empty
// for 0.
std::string markText(ChainMark mark);

}  // namespace qv
