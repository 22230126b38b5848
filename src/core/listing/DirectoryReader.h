#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "image/DiskImage.h"

namespace qv {

class Dialogs;
struct ListerOptions;

// The disk header as a listing shows it.
struct DiskHeader {
    std::string headerText;  // always 26 PETSCII bytes: 0 "name" id dos
    int blocksFree = 0;
    bool geosDisk = false;
    // The stored fields as they are.
    std::array<std::uint8_t, 16> name{};
    std::array<std::uint8_t, 2> id{};
    std::array<std::uint8_t, 2> dosVersion{};
};

// One 32-byte directory entry with the texts derived from it.
// The three-letter name of a GEOS file type byte; "non" for 0 and for 15-255.
const char* geosTypeName(std::uint8_t geosType);

struct DirEntry {
    std::uint8_t typeByte = 0;
    TrackSector firstBlock;
    std::array<std::uint8_t, 16> name{};
    TrackSector infoBlock;
    std::uint8_t structure = 0;
    std::uint8_t geosType = 0;
    std::array<std::uint8_t, 5> date{};
    int blocks = 0;
    int entryOffset = 0;  // byte offset of the 32-byte slot in the image

    std::string typeText;  // "PRG", "*SEQ", "APP<", "SCR", "???"
    bool isGeos = false;
    std::string nameText;  // quote, name, closing quote or blank: at most 18 bytes
    bool zeroRun = false;
    std::string blocksText;  // "%-3i  "
};

enum class DirEnd {
    EndOfChain,
    MaxFiles,
    CrosslinkStop,
    CrosslinkCancelAll,  // also stops the whole listing run
    ZeroRun,             // no free-blocks line follows
};

const char* dirEndName(DirEnd end);

DiskHeader readHeader(DiskImage& image, const ListerOptions& options);

// Free blocks of the disk: tracks 1-35 without 18, plus 36-40 for the 40-track DOS types.
int countFreeBlocks(const Block& header, int dosType);

// Derives typeText and isGeos from the entry's type and GEOS bytes.
std::string readTypeText(const DirEntry& entry, bool* isGeos = nullptr);

// Derives the quoted name text; sets zeroRun when the name holds a run of
// zeroRunLength zero bytes (a zero byte always ends the name).
std::string readNameText(const DirEntry& entry, int zeroRunLength, bool* zeroRun = nullptr);

// Decodes slot `slot` (0-7) of a directory block, derived texts included.
DirEntry decodeEntry(const Block& block, int slot, int blockOffset, int zeroRunLength);
// The same into an existing entry, reusing its texts' storage.
void decodeEntryInto(const Block& block, int slot, int blockOffset, int zeroRunLength,
                     DirEntry& entry);

using DirVisitor = std::function<void(const DirEntry&)>;

// Takes the entries that a listing can write straight from their 32 bytes; the walk
// offers it the entries to be listed of each directory block before decoding any. It
// may take only entries whose name holds no zero byte (only those can end the walk at
// a zero run).
class SlotTaker {
  public:
    // Takes the offered slots (bit n of `offered` for slot n) from slot `first` on, in
    // order, up to the first one it leaves; returns that slot, or 8 when it took all.
    virtual int take(const Block& block, int first, unsigned offered) = 0;

  protected:
    ~SlotTaker() = default;
};

// Walks the directory from track 18 sector 1 and hands every entry to be listed to
// the taker, when there is one, and the ones it leaves to the visitor, in disk order.
// Asks the crosslink question and reports the file limit through the dialogs.
DirEnd walkDirectory(DiskImage& image, const ListerOptions& options, Dialogs& dialogs,
                     const DirVisitor& visitor, SlotTaker* taker = nullptr);

}  // namespace qv
