#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "image/Geometry.h"
#include "listing/PetsciiConversion.h"

namespace qv {

class Dialogs;
class DiskImage;
struct ListerOptions;
struct DirEntry;

// What a file's owner grid holds at one block. 0: the file does not use the block.
//   bits 0-11   position in the chain, from 1 (in a record-start mark: the record number)
//   bits 12-20  VLIR record the block belongs to (0: the file's own chain)
//   bit 21      first block of a VLIR record
//   bit 22      the file's GEOS info block (the mark is this bit alone)
//   bit 23      the link stored in the block is illegal
using ChainMark = std::int32_t;

inline constexpr ChainMark kMarkPositionMask = 0xFFF;
inline constexpr int kMarkRecordShift = 12;
inline constexpr ChainMark kMarkRecordMask = 0x1FF << kMarkRecordShift;
inline constexpr ChainMark kMarkRecordStart = 1 << 21;
inline constexpr ChainMark kMarkInfoBlock = 1 << 22;
inline constexpr ChainMark kMarkIllegalLink = 1 << 23;

inline constexpr int markPosition(ChainMark m) {
    return m & kMarkPositionMask;
}
inline constexpr int markRecord(ChainMark m) {
    return (m & kMarkRecordMask) >> kMarkRecordShift;
}

// Every per-block grid is indexed directly by track 0-40 and sector 0-21.
inline constexpr int kGridTracks = 41;
inline constexpr int kGridSectors = 22;
inline constexpr int kGridCells = kGridTracks * kGridSectors;

inline constexpr bool inGrid(int track, int sector) {
    return track >= 0 && track < kGridTracks && sector >= 0 && sector < kGridSectors;
}

using MarkGrid = std::array<ChainMark, kGridCells>;

enum class ChainDirection { Forward, Backward };

// What the block map needs from the program around it.
struct BlockMapContext {
    const ListerOptions& options;
    Dialogs& dialogs;
    CharMode charMode = CharMode::UpperGraphics;  // the main window's character set
};

// Result of showOwner.
enum class OwnerWalk {
    Complete = 0,   // the directory was walked to its end
    Stopped = 1,    // file limit, crosslinked directory or Abort Image
    NotOpened = 2,  // the image could not be opened
    NoGrids = 3,    // the owner display is off: nothing was done
};

enum class RefreshOutcome {
    Unchanged,  // the map still shows the current image
    Reloaded,   // BAM and error info (and owners when shown) were loaded again
    Emptied,    // no current image, or it no longer exists: the map was emptied
};

// The per-block model of one image: the BAM state, the DOS error codes and, while
// the owner display is on, every listed file's chains. Two files may both mark one
// block; a crosslink is seen by asking which files own a block.
//
// The map reads the image file itself with positioned reads, opening it for each
// operation and closing it before the operation returns.
class BlockMap {
  public:
    BlockMap();
    ~BlockMap();
    BlockMap(BlockMap&&) noexcept;
    BlockMap& operator=(BlockMap&&) noexcept;

    // Detects the variant and reads the BAM. An image that cannot be opened changes
    // nothing (false); an unusable one empties the map.
    [[nodiscard]] bool loadBam(const std::string& path, BlockMapContext& context);
    // Reads the error-info bytes of the image; true when the image has error info.
    bool loadErrors(const std::string& path, Dialogs& dialogs);

    // The owner grids, one per file row, live only while the owner display is on.
    // Allocation failure is reported and leaves the map without grids.
    bool allocateOwners(int capacity, Dialogs& dialogs);
    void freeOwners();
    bool ownersAllocated() const { return !ownerGrids_.empty(); }

    // Walks the directory and marks every listed file's chains: clears the rows
    // first and, when at least one row was listed and the image could be opened,
    // selects row 0 and sets ownerReady.
    OwnerWalk showOwner(const std::string& path, BlockMapContext& context);

    // The reload rules: reloads when the current image, the options that change what
    // a walk sees, or the DOS type the user last chose for an undetected image differ
    // from the last load, when forced (refresh key, owner display switched, window
    // closed) and whenever the owners are not ready. A current image that does not
    // exist empties the map and is reported.
    RefreshOutcome refresh(const std::string& currentImage, BlockMapContext& context,
                           bool force = false);
    // Marks the owners as not ready, so the next refresh reloads.
    void invalidate() { ownerReady_ = false; }
    // Empties the map: no image, no cells, no rows.
    void clear();

    // Queries. Every track and sector outside the grid reads as nothing.
    const std::string& imagePath() const { return imagePath_; }
    int dosType() const { return dosType_; }
    int trackCount() const { return trackCount_; }
    int errorInfoKind() const { return errorInfoKind_; }
    bool hasErrorInfo() const { return errorInfoKind_ != 0; }
    // " " free, "*" used, '\0' when the cell holds nothing.
    char bamCell(int track, int sector) const;
    // The DOS error code of a block, 0 for none.
    int errorCode(int track, int sector) const;
    int blocksFree() const { return blocksFree_; }
    const std::string& diskHeader() const { return diskHeader_; }  // code page 437
    const std::vector<std::string>& fileNames() const { return fileNames_; }
    const std::vector<std::string>& fileLines() const { return fileLines_; }
    int rowCount() const { return static_cast<int>(fileNames_.size()); }
    int ownerCapacity() const { return static_cast<int>(ownerGrids_.size()); }
    bool ownerReady() const { return ownerReady_; }
    int selectedFile() const { return selectedFile_; }
    void setSelectedFile(int row) { selectedFile_ = row; }

    // The rows whose grid marks the block, in row order.
    std::vector<int> ownersOf(TrackSector ts) const;
    ChainMark markAt(int row, TrackSector ts) const;
    // The first block (tracks 0-40, sectors 0-21) whose mark in the row's grid is mark.
    std::optional<TrackSector> findMark(int row, ChainMark mark) const;
    // The next or previous block along the chain of the row at a block.
    std::optional<TrackSector> neighbour(int row, TrackSector ts, ChainDirection direction) const;
    // The block-address lookup for the image's DOS type; negative for an invalid address.
    int blockOffset(TrackSector ts) const { return qv::blockOffset(ts, dosType_); }

  private:
    // Empties the image's file list, BAM cells, header, free count, path and error-info kind.
    void forgetImage();
    struct OwnerRun;
    OwnerWalk walkOwners(const std::string& path, BlockMapContext& context);
    int walkFileChain(OwnerRun& run, int row, TrackSector start, int record,
                      TrackSector indexBlock);
    int walkVlirIndex(OwnerRun& run, int row, TrackSector indexBlock);
    int handleEntry(OwnerRun& run, const DirEntry& entry, bool& stop);
    void setMark(int row, TrackSector ts, ChainMark mark);

    std::string imagePath_;
    int dosType_ = kDosUnusable;
    int trackCount_ = 35;
    int errorInfoKind_ = 0;
    std::array<char, kGridCells> bamCells_{};
    std::unique_ptr<std::array<std::uint8_t, kGridCells>> errorCodes_;
    int blocksFree_ = 0;
    std::string diskHeader_;
    std::vector<std::string> fileNames_;
    std::vector<std::string> fileLines_;
    std::vector<MarkGrid> ownerGrids_;
    bool ownerReady_ = false;
    int selectedFile_ = 0;

    // What the last load saw, for the reload rules.
    bool loadedOnce_ = false;
    std::string lastImage_;
    int lastOptionBits_ = -1;
    int lastChosenDosType_ = -1;
};

// The DOS type the user last chose for a 40-track image whose variant could not be
// detected (1-4), or 0 when no choice stands.
int chosenDosType(const Dialogs& dialogs);

}  // namespace qv
