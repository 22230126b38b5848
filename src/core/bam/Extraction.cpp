#include "bam/Extraction.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "bam/BlockMap.h"
#include "geos/GeosFile.h"
#include "host/Dialogs.h"
#include "image/Chain.h"
#include "image/Detection.h"
#include "image/DiskImage.h"

namespace qv {
namespace {

constexpr const char* kModule = "ViewFile";
constexpr int kTell = errorflag::OkOnly;  // OK only, the image path and the file's name
constexpr int kTellOpen = errorflag::TellImage | errorflag::NoFileCaption;

}  // namespace

Extraction extractFile(const BlockMap& map, int row, ExtractMode mode, Dialogs& dialogs) {
    Extraction x;
    if (row < 0)
        return x;
    if (!map.ownerReady()) {
        x.report = "ViewFile: Not ready...";
        dialogs.message(x.report);
        return x;
    }
    if (!map.ownersAllocated()) {
        x.report = "ViewFile: No BAM...";
        dialogs.message(x.report);
        return x;
    }
    if (row >= map.rowCount())
        return x;
    const std::string& path = map.imagePath();
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        x.report = "File not found...";
        dialogs.showError(kModule, path, "", x.report, errorflag::TellImage);
        return x;
    }
    std::optional<DiskImage> image = DiskImage::open(path);
    if (!image) {
        x.report = "Failed to open Image...";
        dialogs.showError(kModule, path, "", x.report, kTellOpen);
        return x;
    }
    const std::string& name = map.fileNames()[static_cast<std::size_t>(row)];
    const int dosType = map.dosType();
    image->setDosType(dosType);

    const std::optional<TrackSector> first = map.findMark(row, 1);
    const int firstOffset = first ? map.blockOffset(*first) : -1;
    if (!first || firstOffset < 0) {
        x.report = "No (valid) Start Offset found...aborted";
        dialogs.showError(kModule, path, name, x.report, kTell);
        return x;
    }
    x.firstBlockOffset = firstOffset;

    const ChainResult result = walkChain(*image, *first, dosType, [&](const ChainBlock& b) {
        std::span<const std::uint8_t> data = b.data;
        if (b.index == 0) {
            x.startAddress = (*b.raw)[2] | ((*b.raw)[3] << 8);
            if (mode == ExtractMode::ProgramWithoutStart)
                data = data.subspan(std::min<std::size_t>(2, data.size()));
        }
        x.data.insert(x.data.end(), data.begin(), data.end());
        return true;
    });
    x.status = ExtractStatus::Done;
    if (result.end == ChainEnd::BlockBound) {
        // A chain longer than the image has blocks loops.
        x.status = ExtractStatus::Cut;
        x.report = "File exceeds " + std::to_string(blockBoundFor(dosType)) + " Blocks...aborted";
    } else if (result.end == ChainEnd::IllegalLink) {
        x.status = ExtractStatus::Cut;
        x.report = illegalAddressText(result.badLink) + "\nFile corrupt!";
    }
    if (x.status == ExtractStatus::Cut)
        dialogs.showError(kModule, path, name, x.report, kTell);
    return x;
}

ExtractToFileResult extractToFile(const BlockMap& map, int row, ExtractMode mode,
                                  const std::string& target, Dialogs& dialogs,
                                  const WriteHook& hook) {
    ExtractToFileResult r;
    r.extraction = extractFile(map, row, mode, dialogs);
    if (r.extraction.status == ExtractStatus::Refused)
        return r;
    r.write = replaceFileContent(target, r.extraction.data, hook);
    r.written = r.write.ok;
    if (!r.written)
        dialogs.message("ViewFile: Failed to create Tempfile...aborted");
    return r;
}

std::string exportFileName(const std::string& chosenFile, int row) {
    const std::string base =
        chosenFile.size() >= 4 ? chosenFile.substr(0, chosenFile.size() - 4) : std::string();
    char suffix[32];
    std::snprintf(suffix, sizeof suffix, "_%03i.PRG", row + 1);
    return base + suffix;
}

ExportResult exportFiles(const BlockMap& map, const std::vector<int>& rows, ExtractMode mode,
                         const std::string& chosenFile, Dialogs& dialogs) {
    ExportResult r;
    std::vector<int> inListOrder = rows;
    std::sort(inListOrder.begin(), inListOrder.end());
    inListOrder.erase(std::unique(inListOrder.begin(), inListOrder.end()), inListOrder.end());
    for (const int row : inListOrder) {
        const ExtractToFileResult x =
            extractToFile(map, row, mode, exportFileName(chosenFile, row), dialogs);
        if (!x.written) {
            r.stopped = true;
            break;
        }
        ++r.exported;
    }
    r.message =
        std::to_string(r.exported) + " File(s) Exported to Folder " + folderPart(chosenFile);
    dialogs.message(r.message);
    return r;
}

}  // namespace qv
