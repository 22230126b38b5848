#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "collection/ContentHash.h"
#include "image/Geometry.h"

namespace qv {

// When a file was last seen: its size and modification time (nanoseconds of the file
// clock). An image whose stamp did not change is not read again.
struct FileStamp {
    std::int64_t size = -1;
    std::int64_t mtime = 0;
    friend bool operator==(const FileStamp&, const FileStamp&) = default;
};

// The stamp of a regular file; nullopt when there is none at the path.
std::optional<FileStamp> stampOf(const std::string& path);

// What an image holds that is not as it should be. The kinds are the words stored in
// the index: "loop", "bad link", "crosslink", "block count", "directory loop",
// "file limit", "unsupported size".
struct ScanProblem {
    std::string kind;
    int entry = -1;  // position of the entry, -1 for the disk itself
    TrackSector at;  // the block concerned (or the address tried, for a bad link)
    std::string detail;
};

// One directory entry as the index keeps it. Texts are UTF-8.
struct ScannedEntry {
    int position = 0;    // in listing order, from 0
    int slotOffset = 0;  // byte offset of the 32-byte slot in the image
    std::array<std::uint8_t, 16> name{};
    std::string nameText;    // between the quotes, Upper/Graphics
    std::string nameTextUl;  // the same in Upper/Lower
    std::string line;        // the entry line as the listing shows it (Upper/Graphics)
    std::uint8_t typeByte = 0;
    std::string typeText;
    int blocks = 0;  // what the directory says
    TrackSector firstBlock;
    bool isGeos = false;
    bool hasInfoBlock = false;  // a GEOS entry whose info block could be read
    std::string geosClass;      // from the info block
    std::uint8_t geosType = 0;
    std::uint8_t structure = 0;
    std::int64_t contentLength = 0;  // bytes the chain (or the VLIR records) delivers
    ContentHash contentHash;
    int chainBlocks = 0;  // blocks the file's chains and info block occupy
    bool chainSound = true;
};

struct ScannedImage {
    std::string path;
    FileStamp stamp;
    int dosType = 0;  // 0: not usable (no entries then)
    int tracks = 0;
    bool errorInfo = false;
    bool geosDisk = false;
    std::array<std::uint8_t, 16> diskName{};
    std::array<std::uint8_t, 2> diskId{};
    std::array<std::uint8_t, 2> dosVersion{};
    std::string diskNameText;    // Upper/Graphics, the padding trimmed
    std::string diskNameTextUl;  // Upper/Lower
    std::string diskIdText;
    std::string headerLine;  // the disk header line as the listing shows it
    int blocksFree = 0;
    std::string directoryEnd;
    std::optional<ContentHash> hash;  // none for an unusable image
    std::vector<ScannedEntry> entries;
    std::vector<ScanProblem> problems;
};

struct ScanResult {
    std::optional<ScannedImage> image;
    std::string error;  // why the file could not be read at all
};

// Reads one image the way a listing with the default options does, without asking
// anything, and follows every file's chains. Damage becomes problems, never a
// failure; only a file that cannot be opened fails. The stamp is the one taken before
// reading, so an image changed meanwhile is read again next time.
ScanResult scanImage(const std::string& path, const FileStamp& stamp);

}  // namespace qv
