#pragma once

#include <string>

#include "support/SafeFile.h"

namespace qv {

class BlockMap;
struct BlockMapContext;

enum class RemovalOutcome {
    Removed,         // the image now ends behind its last block
    NoErrorInfo,     // the image has no error info: nothing to do
    Cancelled,       // the user did not confirm
    WriteProtected,  // the image's folder refuses new files
    Failed,          // reading or replacing failed; the image is unchanged
};

struct RemovalResult {
    RemovalOutcome outcome = RemovalOutcome::NoErrorInfo;
    std::string message;  // the report shown, when one was
    ReplaceResult write;
};

// Strips the error-info bytes from the block map's image after asking "Really remove
// Error Info?". The shortened image (174848 or 196608 bytes) is written to a new file
// in the image's folder, flushed to the disk and renamed over the image in one step,
// so a failure at any point leaves the image as it was. Afterwards the BAM and the
// error info are loaded again.
[[nodiscard]] RemovalResult removeErrorInfo(BlockMap& map, BlockMapContext& context,
                                            const WriteHook& hook = {});

}  // namespace qv
