#pragma once

#include <optional>
#include <string>

#include "image/Detection.h"
#include "image/DiskImage.h"

namespace qv {

enum class OpenOutcome {
    Opened,   // image is open and its dosType is set
    Skipped,  // not listed; reason says why
    Stop,     // "Cancel All" at the extension question: the run ends here
};

struct OpenResult {
    OpenOutcome outcome = OpenOutcome::Skipped;
    std::optional<DiskImage> image;
    std::string reason;
};

// The steps before an image is listed: the extension check, opening the file
// read-only and detecting the variant, with their questions. A "Cancel All" answer
// to a later question sets context.abortRun so the run ends after this file.
OpenResult openForListing(const std::string& path, DetectContext& context);

}  // namespace qv
