#include "bam/BlockMap.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <new>
#include <system_error>

#include "bam/ErrorCodes.h"
#include "geos/GeosFile.h"
#include "host/Dialogs.h"
#include "image/Chain.h"
#include "image/Detection.h"
#include "image/DiskImage.h"
#include "listing/DirectoryReader.h"
#include "settings/ListerOptions.h"
#include "support/Text.h"

namespace qv {
namespace {

constexpr const char* kModule = "ShowOwner";

// Error dialog shapes of the walk's reports; the second line, the file's name,
// is shown in the error-dialog font.
constexpr int kAskContinueOrImage =
    errorflag::NoSecondButton | errorflag::Line2ErrorFont;  // Continue, Abort Image
constexpr int kAskRecord = errorflag::Line2ErrorFont;       // Continue, Abort File, Abort Image
constexpr int kTellFile =
    errorflag::OkOnly | errorflag::Line2ErrorFont;  // OK, with the file's name

constexpr int cellIndex(int track, int sector) {
    return track * kGridSectors + sector;
}

// The extended-BAM entries of tracks 36-40 in the header block, by DOS type.
int extendedBamAt(int dosType) {
    switch (dosType) {
        case kDosSpeedDos:
            return 0xC0;
        case kDosDolphinDos:
            return 0xAC;
        case kDosPrologicDos:
            return 0x90;
        default:
            return -1;
    }
}

std::string hexUpper(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(value));
    return buf;
}

std::string addressText(TrackSector ts) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%i ($%02X) ; %i ($%02X)", ts.track,
                  static_cast<unsigned>(ts.track & 0xFF), ts.sector,
                  static_cast<unsigned>(ts.sector & 0xFF));
    return buf;
}

}  // namespace

// State of one directory walk.
struct BlockMap::OwnerRun {
    DiskImage& image;
    BlockMapContext& context;
    const std::vector<std::string>& fileNames;
    int row = 0;

    // Reports a problem of the current row's file; returns the user's choice.
    int report(const std::string& message, int flags) {
        const std::string name = row < static_cast<int>(fileNames.size())
                                     ? fileNames[static_cast<std::size_t>(row)]
                                     : std::string();
        return context.dialogs.showError(kModule, image.path(), name, message, flags);
    }
};

BlockMap::BlockMap() {
    bamCells_.fill('\0');
}
BlockMap::~BlockMap() = default;
BlockMap::BlockMap(BlockMap&&) noexcept = default;
BlockMap& BlockMap::operator=(BlockMap&&) noexcept = default;

int chosenDosType(const Dialogs& dialogs) {
    const QuestionMemory& m = dialogs.memory(QuestionMode::ExtendedBam);
    return m.lastResult == 1 ? std::clamp(m.choice, 1, 4) : 0;
}

char BlockMap::bamCell(int track, int sector) const {
    return inGrid(track, sector) ? bamCells_[static_cast<std::size_t>(cellIndex(track, sector))]
                                 : '\0';
}

int BlockMap::errorCode(int track, int sector) const {
    if (!errorCodes_ || !inGrid(track, sector))
        return 0;
    return (*errorCodes_)[static_cast<std::size_t>(cellIndex(track, sector))];
}

void BlockMap::forgetImage() {
    fileNames_.clear();
    fileLines_.clear();
    bamCells_.fill('\0');
    diskHeader_.clear();
    blocksFree_ = 0;
    imagePath_.clear();
    errorInfoKind_ = 0;
}

void BlockMap::clear() {
    forgetImage();
    if (errorCodes_)
        errorCodes_->fill(0);
    ownerReady_ = false;
}

bool BlockMap::loadBam(const std::string& path, BlockMapContext& ctx) {
    std::optional<DiskImage> opened = DiskImage::open(path);
    if (!opened)
        return false;
    DiskImage& image = *opened;
    bool abortRun = false;
    DetectContext detect{ctx.options, ctx.dialogs, abortRun, folderPart(path), nullptr};
    const int type = detectDosType(image, false, detect);
    if (type == kDosUnusable) {
        forgetImage();
        dosType_ = kDosUnusable;
        return true;
    }
    dosType_ = type;
    image.setDosType(type);
    trackCount_ = type == kDosStandard ? 35 : 40;
    imagePath_ = path;
    const std::int64_t size = image.size();
    errorInfoKind_ = size == kSize35Errors ? 1 : size == kSize40Errors ? 2 : 0;

    const Block header = image.readBlockAt(kHeaderOffset).value_or(Block{});
    bamCells_.fill('\0');
    const auto fillTrack = [&](int track, int entryAt) {
        const std::uint32_t bits = header[static_cast<std::size_t>(entryAt + 1)] |
                                   (header[static_cast<std::size_t>(entryAt + 2)] << 8) |
                                   (header[static_cast<std::size_t>(entryAt + 3)] << 16);
        for (int sector = 0; sector < sectorsOnTrack(track); ++sector) {
            bamCells_[static_cast<std::size_t>(cellIndex(track, sector))] =
                (bits >> sector) & 1 ? ' ' : '*';
        }
    };
    for (int track = 1; track <= 35; ++track)
        fillTrack(track, 4 + 4 * (track - 1));
    const int ext = extendedBamAt(type);
    if (ext >= 0) {
        for (int track = 36; track <= 40; ++track)
            fillTrack(track, ext + 4 * (track - 36));
    }
    return true;
}

bool BlockMap::loadErrors(const std::string& path, Dialogs& dialogs) {
    if (errorCodes_)
        errorCodes_->fill(0);
    if (errorInfoKind_ == 0)
        return false;
    if (!errorCodes_) {
        try {
            errorCodes_ = std::make_unique<std::array<std::uint8_t, kGridCells>>();
        } catch (const std::bad_alloc&) {
            dialogs.message("ShowError: Failed to allocate memory...aborted");
            return false;
        }
        errorCodes_->fill(0);
    }
    std::optional<DiskImage> image = DiskImage::open(path);
    if (!image)
        return true;
    // With 40-track support off a 40-track image is read as 35 tracks: its first
    // 683 error bytes belong to them.
    const int start = errorInfoKind_ == 1 ? kErrorArea35 : kErrorArea40;
    const int count = trackCount_ == 40 ? kBlocks40 : kBlocks35;
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(count), 1);
    if (!image->readAt(start, bytes))
        std::fill(bytes.begin(), bytes.end(), 1);
    std::size_t i = 0;
    for (int track = 1; track <= trackCount_; ++track) {
        for (int sector = 0; sector < sectorsOnTrack(track); ++sector) {
            const std::uint8_t b = bytes[i++];
            if (b != 1) {
                (*errorCodes_)[static_cast<std::size_t>(cellIndex(track, sector))] =
                    static_cast<std::uint8_t>(errorCodeForByte(b));
            }
        }
    }
    return true;
}

bool BlockMap::allocateOwners(int capacity, Dialogs& dialogs) {
    freeOwners();
    try {
        ownerGrids_.resize(static_cast<std::size_t>(std::max(0, capacity)));
    } catch (const std::bad_alloc&) {
        ownerGrids_.clear();
        dialogs.message("ShowOwner: Failed to allocate memory...aborted");
        return false;
    }
    return true;
}

void BlockMap::freeOwners() {
    ownerGrids_.clear();
    ownerGrids_.shrink_to_fit();
    ownerReady_ = false;
}

void BlockMap::setMark(int row, TrackSector ts, ChainMark mark) {
    if (row < 0 || row >= ownerCapacity() || !inGrid(ts.track, ts.sector))
        return;
    ownerGrids_[static_cast<std::size_t>(row)]
               [static_cast<std::size_t>(cellIndex(ts.track, ts.sector))] = mark;
}

ChainMark BlockMap::markAt(int row, TrackSector ts) const {
    if (row < 0 || row >= ownerCapacity() || !inGrid(ts.track, ts.sector))
        return 0;
    return ownerGrids_[static_cast<std::size_t>(row)]
                      [static_cast<std::size_t>(cellIndex(ts.track, ts.sector))];
}

std::vector<int> BlockMap::ownersOf(TrackSector ts) const {
    std::vector<int> rows;
    const int n = std::min(rowCount(), ownerCapacity());
    for (int row = 0; row < n; ++row) {
        if (markAt(row, ts) != 0)
            rows.push_back(row);
    }
    return rows;
}

std::optional<TrackSector> BlockMap::findMark(int row, ChainMark mark) const {
    if (row < 0 || row >= ownerCapacity())
        return std::nullopt;
    const MarkGrid& grid = ownerGrids_[static_cast<std::size_t>(row)];
    for (int track = 0; track < kGridTracks; ++track) {
        for (int sector = 0; sector < kGridSectors; ++sector) {
            if (grid[static_cast<std::size_t>(cellIndex(track, sector))] == mark)
                return TrackSector{track, sector};
        }
    }
    return std::nullopt;
}

std::optional<TrackSector> BlockMap::neighbour(int row, TrackSector ts,
                                               ChainDirection direction) const {
    const ChainMark m = markAt(row, ts);
    if (m == 0)
        return std::nullopt;
    const bool forward = direction == ChainDirection::Forward;
    ChainMark target = 0;
    if (m & kMarkRecordStart) {
        // From a record's first block: on to its second block, back to the index block.
        target = forward ? (m & kMarkPositionMask) * 4096 + 2 : 1;
    } else if (m & kMarkRecordMask) {
        const int position = m & kMarkPositionMask;
        if (forward) {
            target = m + 1;
        } else if (position > 2) {
            target = m - 1;
        } else if (position == 2) {
            target = (m >> kMarkRecordShift) | kMarkRecordStart;
        } else {
            return std::nullopt;
        }
    } else if (forward) {
        target = m + 1;
    } else if (m > 1) {
        target = m - 1;
    } else {
        return std::nullopt;
    }
    return findMark(row, target);
}

int BlockMap::walkFileChain(OwnerRun& run, int row, TrackSector start, int record,
                            TrackSector indexBlock) {
    const std::int64_t savedPosition = run.image.tell();
    const int bound = blockBoundFor(dosType_);
    TrackSector previous;
    bool limitReached = false;
    const ChainResult result = walkChain(run.image, start, dosType_, [&](const ChainBlock& b) {
        const int k = b.index;
        ChainMark mark = 0;
        if (k == 0)
            mark = record == 0 ? 1 : record | kMarkRecordStart;
        else
            mark = k + 1 + record * 4096;
        setMark(row, b.ts, mark);
        previous = b.ts;
        if (k == bound - 1) {
            limitReached = true;
            return false;
        }
        return true;
    });
    run.image.seek(savedPosition);

    if (limitReached) {
        const std::string message = "File exceeds " + std::to_string(bound) +
                                    " Blocks.\nBAM corrupt!\nContinue with next file?";
        return run.report(message, kAskContinueOrImage);
    }
    if (result.end == ChainEnd::Normal)
        return 1;
    if (result.end != ChainEnd::IllegalLink || blockOffset(result.badLink) >= 0)
        return 2;  // the block could not be read

    const int k = result.blocks;
    const std::string illegal = illegalAddressText(result.badLink);
    if (record == 0 && k == 0) {
        return run.report(illegal + " in Pointer to File.\nFile corrupt!\nContinue with next File?",
                          kAskContinueOrImage);
    }
    if (record == 0) {
        setMark(row, previous, k | kMarkIllegalLink);
        return run.report(illegal + " in Block: " + std::to_string(k) +
                              ".\nFile corrupt!\nContinue with next file?",
                          kAskContinueOrImage);
    }
    if (k == 0) {
        setMark(row, indexBlock, 1 | kMarkIllegalLink);
        return run.report(illegal + " in VLIR Record Block located at " + addressText(indexBlock) +
                              " , VLIR Record: " + std::to_string(record) +
                              "\nVLIR corrupt!\nContinue with next VLIR Record?",
                          kAskRecord);
    }
    // Also replaces the record-start mark when the record's first block holds the link.
    setMark(row, previous, (k + record * 4096) | kMarkIllegalLink);
    return run.report(illegal + " in Block: " + std::to_string(k) +
                          " , VLIR Record: " + std::to_string(record) +
                          " , VLIR Record Block located at " + addressText(indexBlock) +
                          "\nFile corrupt!\nContinue with next VLIR Record?",
                      kAskRecord);
}

int BlockMap::walkVlirIndex(OwnerRun& run, int row, TrackSector indexBlock) {
    if (indexBlock.track == 0)
        return 1;
    const int offset = blockOffset(indexBlock);
    if (offset < 0)
        return 1;
    const std::vector<TrackSector> pointers = readVlirIndex(run.image, offset, 127);
    for (std::size_t i = 0; i < pointers.size(); ++i) {
        const TrackSector p = pointers[i];
        if (p.track > 0) {
            const int result = walkFileChain(run, row, p, static_cast<int>(i) + 1, indexBlock);
            if (result != 1)
                return result;
        } else if (p.sector == 0) {
            break;  // 0/0 ends the index
        }
        // 0 with another sector (0xFF: an unused record) is skipped.
    }
    return 1;
}

int BlockMap::handleEntry(OwnerRun& run, const DirEntry& e, bool& stop) {
    const ListerOptions& options = run.context.options;
    std::string prefix = e.blocksText;
    const ConversionChoice choice =
        chooseConversion(ListingTextKind::Entry, e.isGeos, options, run.context.charMode);
    const std::string name = convertListingText(choice, e.nameText, &prefix, options).listing;

    const int row = rowCount();
    run.row = row;
    fileNames_.push_back(trimBlanks(name));
    ownerGrids_[static_cast<std::size_t>(row)].fill(0);

    int chain = walkFileChain(run, row, e.firstBlock, 0, {});
    int records = 1;
    if (chain == 1 && e.isGeos) {
        const TrackSector info = e.infoBlock;
        if (info.track != 0) {
            if (blockOffset(info) < 0) {
                run.report(illegalAddressText(info) + " in Pointer to Info Block.\nFile corrupt!",
                           kTellFile);
            } else {
                setMark(row, info, kMarkInfoBlock);
            }
        }
        if (e.structure == 1)
            records = walkVlirIndex(run, row, e.firstBlock);
    }
    if (options.abortImageAt0x00 && e.zeroRun) {
        fileLines_.push_back(prefix + name);
        stop = true;
        return 0;
    }
    const bool star = !e.typeText.empty() && e.typeText.front() == '*';
    fileLines_.push_back(prefix + name + (star ? "" : " ") + e.typeText);
    if (chain == 3 || records == 3) {
        stop = true;
        return 1;
    }
    return 0;
}

OwnerWalk BlockMap::walkOwners(const std::string& path, BlockMapContext& ctx) {
    std::optional<DiskImage> opened = DiskImage::open(path);
    if (!opened)
        return OwnerWalk::NotOpened;
    DiskImage& image = *opened;
    image.setDosType(dosType_);
    const ListerOptions& options = ctx.options;

    const DiskHeader header = readHeader(image, options);
    blocksFree_ = header.blocksFree;
    const ConversionChoice headerChoice =
        chooseConversion(ListingTextKind::Header, header.geosDisk, options, ctx.charMode);
    diskHeader_ = convertListingText(headerChoice, header.headerText, nullptr, options).listing;

    OwnerRun run{image, ctx, fileNames_};
    const int maxFiles = options.maxFiles;
    std::vector<int> visited;
    int offset = blockOffset({18, 1});
    while (offset >= 0 && offset != kHeaderOffset) {
        if (static_cast<int>(visited.size()) * 8 >= maxFiles) {
            ctx.dialogs.showError(
                kModule, path, "",
                "Max " + std::to_string(maxFiles) + " Files allowed!\nImage aborted!",
                errorflag::TellImage);
            return OwnerWalk::Stopped;
        }
        const std::optional<Block> block = image.readBlockAt(offset);
        if (!block)
            return OwnerWalk::Complete;
        const TrackSector link{(*block)[0], (*block)[1]};
        const int next = blockOffset(link);
        visited.push_back(offset);
        bool crosslinked = false;
        if (link.track != 0 && std::find(visited.begin(), visited.end(), next) != visited.end()) {
            ctx.dialogs.showError(kModule, path, "",
                                  "Directoryentry $" + hexUpper(next) +
                                      " is crosslinked to a previous directoryentry!\nBAM could be "
                                      "corrupted!\nImage aborted after this entry!",
                                  errorflag::TellImage);
            crosslinked = true;
        }
        for (int slot = 0; slot < 8; ++slot) {
            const DirEntry e = decodeEntry(*block, slot, offset, options.dirAbortWithNull);
            if (e.typeText == "SCR" && !options.showDeletedFiles)
                continue;
            if (rowCount() >= ownerCapacity()) {
                // The grids were made for fewer files than the options now allow.
                ctx.dialogs.showError(
                    kModule, path, "",
                    "Max " + std::to_string(ownerCapacity()) + " Files allowed!\nImage aborted!",
                    errorflag::TellImage);
                return OwnerWalk::Stopped;
            }
            bool stop = false;
            const int result = handleEntry(run, e, stop);
            if (stop)
                return result == 0 ? OwnerWalk::Complete : OwnerWalk::Stopped;
        }
        if (crosslinked)
            return OwnerWalk::Stopped;
        if (link.track == 0)
            return OwnerWalk::Complete;
        offset = next;
    }
    return OwnerWalk::Complete;
}

OwnerWalk BlockMap::showOwner(const std::string& path, BlockMapContext& ctx) {
    if (!ownersAllocated())
        return OwnerWalk::NoGrids;
    ownerReady_ = false;
    fileNames_.clear();
    fileLines_.clear();
    const OwnerWalk result = walkOwners(path, ctx);
    if (result != OwnerWalk::NotOpened && rowCount() > 0) {
        selectedFile_ = 0;
        ownerReady_ = true;
    }
    return result;
}

RefreshOutcome BlockMap::refresh(const std::string& currentImage, BlockMapContext& ctx,
                                 bool force) {
    if (ownersAllocated() && ownerCapacity() != ctx.options.maxFiles)
        allocateOwners(ctx.options.maxFiles, ctx.dialogs);

    std::error_code ec;
    if (currentImage.empty() || !std::filesystem::is_regular_file(currentImage, ec)) {
        clear();
        if (!currentImage.empty()) {
            ctx.dialogs.showError("BAMViewer", currentImage, "", "File not found...",
                                  errorflag::TellImage);
        }
        return RefreshOutcome::Emptied;
    }
    const int chosen = chosenDosType(ctx.dialogs);
    if (!loadedOnce_ || force || ctx.options.bamOptionBits != lastOptionBits_ ||
        currentImage != lastImage_ || chosen != lastChosenDosType_) {
        ownerReady_ = false;
    }
    if (ownerReady_)
        return RefreshOutcome::Unchanged;

    loadedOnce_ = true;
    lastImage_ = currentImage;
    lastOptionBits_ = ctx.options.bamOptionBits;
    lastChosenDosType_ = chosen;
    if (!loadBam(currentImage, ctx))
        return RefreshOutcome::Unchanged;  // could not be opened: the map stays as it was
    loadErrors(currentImage, ctx.dialogs);
    if (ownersAllocated() && dosType_ != kDosUnusable)
        showOwner(currentImage, ctx);
    return RefreshOutcome::Reloaded;
}

}  // namespace qv
