#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>

#include "image/Geometry.h"

namespace qv {

using Block = std::array<std::uint8_t, kBlockSize>;

// An image file opened read-only by the operation that reads it; the file is
// closed when the object goes out of scope. Every read is bounds-checked against
// the file: a read past its end yields nothing instead of stale bytes.
//
// Reads are positioned reads of the file. The directory track (track 18, the same
// place in every variant) is read in one piece the first time a read falls inside
// it, so a listing (header block and directory chain) costs one read per image.
// A reader that follows every file of an image asks for readInPieces() instead.
class DiskImage {
  public:
    // Opens a regular file for reading. On failure returns nullopt and, when
    // given, sets error to a short reason.
    static std::optional<DiskImage> open(const std::string& path, std::string* error = nullptr);

    DiskImage(DiskImage&& other) noexcept;
    DiskImage& operator=(DiskImage&& other) noexcept;
    DiskImage(const DiskImage&) = delete;
    DiskImage& operator=(const DiskImage&) = delete;
    ~DiskImage();

    const std::string& path() const { return path_; }
    // File size in bytes, measured by seeking to the end when opened.
    std::int64_t size() const { return size_; }

    int dosType() const { return dosType_; }
    void setDosType(int dosType) { dosType_ = dosType; }
    int trackCount() const { return trackCountFor(dosType_); }
    bool hasErrorInfo() const { return size_ == kSize35Errors || size_ == kSize40Errors; }

    // Positioned byte access.
    void seek(std::int64_t offset) { pos_ = offset; }
    void skip(std::int64_t count) { pos_ += count; }
    std::int64_t tell() const { return pos_; }
    // Yields 0-255 and advances by one, or -1 outside the file (and still advances).
    int readByte();

    // Reads out.size() bytes at an absolute offset; false when any of them lies
    // outside the file (out is then zero-filled).
    bool readAt(std::int64_t offset, std::span<std::uint8_t> out);

    // The 256 bytes of a block, or nullopt when the address is illegal for the
    // image's dosType or the block lies beyond the end of the file.
    std::optional<Block> readBlock(TrackSector ts);
    std::optional<Block> readBlockAt(std::int64_t offset);

    // From now on the rest of the file (the directory track is kept as before) is read
    // in pieces of kPieceBytes (16 KiB: a block never straddles two), each the first
    // time a read falls inside it and never again, so following every chain of an
    // image costs about a dozen reads instead of one per block. A piece keeps only the
    // bytes that were actually there: a read past them fails as a read past the end
    // of the file does.
    void readInPieces();
    static constexpr std::int64_t kPieceBytes = 16 * 1024;

  private:
    DiskImage() = default;
    void close();
    // Reads straight from the file; false on a short read or an error.
    bool readFile(std::int64_t offset, std::span<std::uint8_t> out) const;
    // Reads until out is full, the file ends or reading fails; the bytes read.
    std::size_t readFileUpTo(std::int64_t offset, std::span<std::uint8_t> out) const;
    // The directory track, read once; nullptr when it cannot be read in one piece.
    const std::uint8_t* directoryTrack();
    // Copies out from the piece that holds all of it, reading the piece first when
    // needed; false when the file did not hold those bytes.
    bool readFromPiece(std::int64_t offset, std::span<std::uint8_t> out);

    struct Piece {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::int64_t length = -1;  // bytes read; -1 before the first read
    };

    std::string path_;
    int fd_ = -1;
    std::int64_t size_ = 0;
    std::unique_ptr<std::uint8_t[]> track_;
    bool trackTried_ = false;
    bool inPieces_ = false;
    std::unique_ptr<Piece[]> pieces_;
    std::int64_t pos_ = 0;
    int dosType_ = kDosUnusable;
};

}  // namespace qv
