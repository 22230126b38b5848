#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "image/Chain.h"
#include "image/DiskImage.h"

namespace qv {

class Dialogs;
struct DirEntry;

// A GEOS entry: a CBM type byte that is not 0, a CBM type code 0-4 and a GEOS type
// whose name is not "non".
bool isGeos(const DirEntry& entry);

// The fields of a GEOS info block that the program uses. Texts are the raw GEOS
// ASCII bytes, before the GEOS text conversion.
// The viewer a GEOS document opens in, decided by its type text (with its "*" and "<"
// decorations) and class text, both compared in upper case: the first rule that fits.
enum class GeosDocumentKind { GeoWrite, GeoPaint, Font, PhotoScrap, PhotoAlbum, Other };
GeosDocumentKind geosDocumentKind(const std::string& typeText, const std::string& classText);

struct GeosInfoBlock {
    std::uint8_t iconWidth = 0;      // bytes per row; valid when at most 3
    std::uint8_t iconHeight = 0;     // rows; valid when at most 21
    std::uint8_t iconFormat = 0;     // valid only when 0xBF
    std::vector<std::uint8_t> icon;  // iconHeight rows of iconWidth bytes (when valid)
    std::string classText;           // bytes 77-95, up to a 0 byte
    std::string author;              // bytes 97-115
    std::string application;         // bytes 117-135
    std::string description;         // bytes 160-254
    std::uint16_t fontId = 0;        // bytes 128-129 (font files)
    std::vector<std::uint16_t>
        pointSizeWords;      // from byte 130, up to a word with low byte 0, at most 15
    bool titlePage = false;  // byte 139 bit 7 (GeoWrite documents)
    Block raw{};

    bool iconValid() const { return iconWidth <= 3 && iconHeight <= 21 && iconFormat == 0xBF; }
};

// Reads the info block that bytes 21-22 of the entry name. nullopt when the address
// is not a block of the image.
std::optional<GeosInfoBlock> readInfoBlock(DiskImage& image, int dosType, const DirEntry& entry);
GeosInfoBlock decodeInfoBlock(const Block& block);

// Reads `count` record pointers (at most 127) of a VLIR index block, from
// firstBlockOffset + 2 on. Pointers beyond the end of the file read as 0/0.
std::vector<TrackSector> readVlirIndex(DiskImage& image, int firstBlockOffset, int count);

struct RecordData {
    std::vector<std::uint8_t> data;  // the data bytes of the blocks read, in chain order
    ChainEnd end = ChainEnd::Normal;
    TrackSector badLink;  // for IllegalLink
    int blocks = 0;
};

// Follows a record's chain from its first block (or a sequential file's).
RecordData readRecord(DiskImage& image, int dosType, TrackSector first);

// "Illegal Track: %i ($%02X) or Sector: %i ($%02X)" as the GEOS readers write it.
std::string illegalAddressText(TrackSector ts);

// The two questions every GEOS reader asks in the error dialog (Continue and Abort
// File). Return true for Continue.
bool askIllegalRecordPointer(Dialogs& dialogs, const std::string& module,
                             const std::string& imagePath, const std::string& fileName,
                             TrackSector ts, int recordNumber);
bool askIllegalRecordLink(Dialogs& dialogs, const std::string& module, const std::string& imagePath,
                          const std::string& fileName, TrackSector ts);

}  // namespace qv
