#pragma once

#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "image/Geometry.h"

namespace qv::test {

using Bytes = std::vector<std::uint8_t>;

// The prefix followed by n in decimal ("F", 3 gives "F3"), for numbered file names.
// Appended rather than written "F" + std::to_string(n): GCC 12 at -O3 takes that for
// an overlapping copy (a false -Wrestrict).
inline std::string numbered(const std::string& prefix, long long n) {
    std::string s = prefix;
    s += std::to_string(n);
    return s;
}

// File contents of a recognisable pattern: seed, seed + 7, seed + 14, ...
inline Bytes filler(std::size_t size, std::uint8_t seed) {
    Bytes b(size);
    for (std::size_t i = 0; i < size; ++i)
        b[i] = static_cast<std::uint8_t>(seed + i * 7);
    return b;
}

// Bytes of a PETSCII name, padded with 0xA0 to 16 bytes (longer input is cut).
std::array<std::uint8_t, 16> petsciiName(const std::string& name);
std::array<std::uint8_t, 16> rawName(const Bytes& bytes);

enum class ExtendedBam { None, SpeedDos, DolphinDos, PrologicDos };

// One 32-byte directory entry as it is stored (bytes 2-31; the link bytes belong
// to the directory block).
struct DirEntrySpec {
    std::uint8_t typeByte = 0x82;
    TrackSector first;
    std::array<std::uint8_t, 16> name = petsciiName("");
    TrackSector info;            // GEOS info block, or REL side sector
    std::uint8_t structure = 0;  // GEOS: 0 sequential, 1 VLIR
    std::uint8_t geosType = 0;
    std::array<std::uint8_t, 5> date{};
    int blocks = 0;
};

// The GEOS info block fields the program reads.
struct InfoBlockSpec {
    std::uint8_t iconWidth = 3;
    std::uint8_t iconHeight = 21;
    std::uint8_t iconFormat = 0xBF;
    Bytes icon = Bytes(63, 0);
    std::uint8_t cbmType = 0x83;
    std::uint8_t geosType = 7;
    std::uint8_t structure = 0;
    std::string className;
    std::string author;
    std::string application;
    std::string description;
    bool titlePage = false;  // GeoWrite: bit 7 of byte 139
    Bytes raw;               // when not empty: bytes 0-255 of the block, used as they are
};

// Builds a D64 image byte by byte, so that every test states the bytes it depends on.
// Blocks are allocated from track 1 upward, skipping the directory track.
class DiskBuilder {
  public:
    explicit DiskBuilder(int tracks = 35, bool errorInfo = false);

    // A formatted empty disk: BAM with every block free but 18/0 and 18/1, the
    // header, and an empty directory block 18/1.
    DiskBuilder& format(const std::string& name = "TEST DISK", const std::string& id = "QV",
                        const std::string& dos = "2A");
    // Writes the extended BAM of tracks 36-40 for a 40-track DOS (all free).
    DiskBuilder& extendedBam(ExtendedBam kind);

    Bytes& bytes() { return bytes_; }
    const Bytes& bytes() const { return bytes_; }
    int tracks() const { return tracks_; }
    int dosTypeForAddressing() const { return tracks_ == 40 ? kDosSpeedDos : kDosStandard; }

    int offset(TrackSector ts) const;
    std::uint8_t* block(TrackSector ts);
    DiskBuilder& put(TrackSector ts, int index, std::initializer_list<std::uint8_t> values);
    DiskBuilder& put(TrackSector ts, int index, const Bytes& values);
    DiskBuilder& putAt(int offset, const Bytes& values);
    DiskBuilder& link(TrackSector from, TrackSector to);

    // BAM of the block: standard entries for 1-35, the chosen extended BAM for 36-40.
    DiskBuilder& allocate(TrackSector ts);
    DiskBuilder& release(TrackSector ts);
    bool isFree(TrackSector ts) const;
    TrackSector nextFreeBlock();  // allocates it

    // Writes data as a chain of newly allocated blocks; returns them (empty data: one block).
    std::vector<TrackSector> writeChain(const Bytes& data);
    // Writes data over the given blocks as one chain.
    void writeChainAt(const std::vector<TrackSector>& blocks, const Bytes& data);

    // A file with a directory entry; returns the entry as written.
    DirEntrySpec addFile(const std::string& name, std::uint8_t typeByte, const Bytes& data);
    // Puts an entry into the next free directory slot, growing the directory chain.
    DiskBuilder& addEntry(const DirEntrySpec& entry);
    // Raw access to directory slot n (0-based over the chain as built).
    DiskBuilder& setSlot(int slot, const DirEntrySpec& entry);
    const std::vector<TrackSector>& directoryBlocks() const { return dirBlocks_; }

    // GEOS: writes an info block into a new block; returns its address.
    TrackSector writeInfoBlock(const InfoBlockSpec& info);
    // A GEOS sequential file: data chain, info block, entry.
    DirEntrySpec addGeosSequential(const std::string& name, const InfoBlockSpec& info,
                                   const Bytes& data, std::array<std::uint8_t, 5> date = {});
    // A VLIR file: an index block with one pointer per record (empty record -> 0/0xFF),
    // the records as chains, an info block and the entry.
    DirEntrySpec addGeosVlir(const std::string& name, const InfoBlockSpec& info,
                             const std::vector<Bytes>& records,
                             std::array<std::uint8_t, 5> date = {});
    DiskBuilder& geosSignature(const std::string& text = "GEOS format V1.0");

    // Error info: value of the error byte of a block (the image must have error info).
    DiskBuilder& errorByte(TrackSector ts, std::uint8_t value);

    void save(const std::string& path) const;

  private:
    int bamEntryOffset(int track) const;  // offset in the image of the track's BAM entry
    void addDirectoryBlock();

    int tracks_;
    bool errorInfo_;
    ExtendedBam ext_ = ExtendedBam::None;
    Bytes bytes_;
    std::vector<TrackSector> dirBlocks_;
    int usedSlots_ = 0;
    int allocTrack_ = 1;
};

}  // namespace qv::test
