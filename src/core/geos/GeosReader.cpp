#include "geos/GeosReader.h"

#include "geos/GeosFile.h"
#include "host/Dialogs.h"
#include "image/Detection.h"

namespace qv {

std::optional<DiskImage> openGeosImage(GeosReaderContext& context, const std::string& module,
                                       const std::string& imagePath) {
    std::optional<DiskImage> image = DiskImage::open(imagePath);
    if (!image) {
        context.dialogs.showError(module, imagePath, "", "Failed to open Image...",
                                  kFlagsOpenFailed);
        return std::nullopt;
    }
    bool abortRun = false;
    DetectContext detect{context.options, context.dialogs, abortRun, folderPart(imagePath),
                         nullptr};
    const int dosType = detectDosType(*image, false, detect);
    if (dosType == kDosUnusable)
        return std::nullopt;
    image->setDosType(dosType);
    return image;
}

std::vector<TrackSector> keptRecordPointers(DiskImage& image, int firstBlockOffset, int count,
                                            bool zeroZeroEnds) {
    std::vector<TrackSector> kept;
    for (const TrackSector& p : readVlirIndex(image, firstBlockOffset, count)) {
        if (p.track != 0) {
            kept.push_back(p);
        } else if (p.sector == 0 && zeroZeroEnds) {
            break;
        }
    }
    return kept;
}

}  // namespace qv
