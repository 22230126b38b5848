#include "bam/ErrorInfoRemoval.h"

#include <vector>

#include "bam/BlockMap.h"
#include "host/Dialogs.h"
#include "image/Detection.h"
#include "image/DiskImage.h"

namespace qv {
namespace {

constexpr const char* kModule = "Remove Error Info";
constexpr int kTellPaths = errorflag::OkOnly;  // OK only, the image path and a second path

}  // namespace

RemovalResult removeErrorInfo(BlockMap& map, BlockMapContext& ctx, const WriteHook& hook) {
    RemovalResult r;
    if (!map.hasErrorInfo())
        return r;
    const std::string path = map.imagePath();
    if (!ctx.dialogs.host().askOkCancel("Question", "Really remove Error Info?")) {
        r.outcome = RemovalOutcome::Cancelled;
        return r;
    }
    if (isWriteProtected(path)) {
        r.outcome = RemovalOutcome::WriteProtected;
        r.message = "Writeprotected...";
        ctx.dialogs.showError(kModule, path, "", r.message, errorflag::TellImage);
        return r;
    }

    r.outcome = RemovalOutcome::Failed;
    // The length to keep follows the file as it is now, not as it was loaded.
    std::vector<std::uint8_t> blocks;
    if (std::optional<DiskImage> image = DiskImage::open(path)) {
        const std::int64_t size = image->size();
        const int keep = size == kSize35Errors ? kSize35 : size == kSize40Errors ? kSize40 : 0;
        if (keep > 0) {
            blocks.resize(static_cast<std::size_t>(keep));
            if (!image->readAt(0, blocks))
                blocks.clear();
        }
    }
    if (blocks.empty()) {
        r.message = "Error while creating Save File...\nThe image is unchanged.";
        ctx.dialogs.showError(kModule, path, "", r.message, errorflag::TellImage);
        return r;
    }

    r.write = replaceFileContent(path, blocks, hook);
    if (!r.write.ok) {
        const bool beforeRename = r.write.failedAt != WriteStage::Rename;
        r.message = beforeRename ? "Error while creating Save File...\nThe image is unchanged."
                                 : "Error removing Error Info...\nThe image is unchanged.";
        if (r.write.tempLeft) {
            r.message += "\nTempFile is still available.";
            ctx.dialogs.showError(kModule, path, r.write.tempPath, r.message, kTellPaths);
        } else {
            ctx.dialogs.showError(kModule, path, "", r.message, errorflag::TellImage);
        }
        return r;
    }
    r.outcome = RemovalOutcome::Removed;
    // An image that cannot be opened again leaves the map as it was loaded before.
    (void)map.loadBam(path, ctx);
    map.loadErrors(path, ctx.dialogs);
    return r;
}

}  // namespace qv
