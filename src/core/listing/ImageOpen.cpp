#include "listing/ImageOpen.h"

namespace qv {

OpenResult openForListing(const std::string& path, DetectContext& context) {
    OpenResult r;
    switch (checkExtension(path, context.dialogs)) {
        case ExtensionCheck::Stop:
            r.outcome = OpenOutcome::Stop;
            r.reason = "listing cancelled at the extension question";
            return r;
        case ExtensionCheck::Skip:
            r.reason = "not a .D64 file";
            return r;
        case ExtensionCheck::Accept:
            break;
    }
    std::string error;
    r.image = DiskImage::open(path, &error);
    if (!r.image) {
        r.reason = "cannot open: " + error;
        return r;
    }
    const int dosType = detectDosType(*r.image, true, context);
    if (dosType == kDosUnusable) {
        const std::int64_t size = r.image->size();
        const bool fortyTracks = size == kSize40 || size == kSize40Errors;
        r.reason = fortyTracks ? "extended BAM not detected"
                               : "unsupported size " + std::to_string(size) + " bytes";
        r.image.reset();
        return r;
    }
    r.image->setDosType(dosType);
    r.outcome = OpenOutcome::Opened;
    return r;
}

}  // namespace qv
