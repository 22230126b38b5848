#include "image/DiskImage.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <utility>

namespace qv {
namespace {

// Track 18 lies at the same offset in every variant: 19 sectors from the header block.
constexpr std::int64_t kTrackStart = kHeaderOffset;
constexpr std::int64_t kTrackBytes = 19 * kBlockSize;

// Why a path cannot be opened, as the reader reports it.
std::string openFailure(const std::string& path, int openErrno) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status))
        return "no such file";
    if (std::filesystem::is_directory(status))
        return "is a folder";
    return std::strerror(openErrno);
}

}  // namespace

std::optional<DiskImage> DiskImage::open(const std::string& path, std::string* error) {
    int fd = -1;
    do {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int openErrno = errno;
        if (error)
            *error = openFailure(path, openErrno);
        return std::nullopt;
    }
    DiskImage image;
    image.fd_ = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0) {
        if (error)
            *error = "cannot seek";
        return std::nullopt;
    }
    if (S_ISDIR(st.st_mode)) {
        if (error)
            *error = "is a folder";
        return std::nullopt;
    }
    if (S_ISREG(st.st_mode)) {
        image.size_ = st.st_size;
    } else {
        // Not a regular file: its size is where a seek to the end lands.
        const off_t end = ::lseek(fd, 0, SEEK_END);
        if (end < 0 && errno == ESPIPE) {
            if (error)
                *error = "cannot seek";
            return std::nullopt;
        }
        image.size_ = end < 0 ? 0 : end;
    }
    image.path_ = path;
    return image;
}

DiskImage::DiskImage(DiskImage&& other) noexcept
    : path_(std::move(other.path_)),
      fd_(std::exchange(other.fd_, -1)),
      size_(other.size_),
      track_(std::move(other.track_)),
      trackTried_(other.trackTried_),
      inPieces_(other.inPieces_),
      pieces_(std::move(other.pieces_)),
      pos_(other.pos_),
      dosType_(other.dosType_) {}

DiskImage& DiskImage::operator=(DiskImage&& other) noexcept {
    if (this != &other) {
        close();
        path_ = std::move(other.path_);
        fd_ = std::exchange(other.fd_, -1);
        size_ = other.size_;
        pos_ = other.pos_;
        dosType_ = other.dosType_;
        track_ = std::move(other.track_);
        trackTried_ = other.trackTried_;
        inPieces_ = other.inPieces_;
        pieces_ = std::move(other.pieces_);
    }
    return *this;
}

DiskImage::~DiskImage() {
    close();
}

void DiskImage::close() {
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}

int DiskImage::readByte() {
    std::uint8_t b = 0;
    const bool ok = readAt(pos_, std::span<std::uint8_t>(&b, 1));
    ++pos_;
    return ok ? b : -1;
}

std::size_t DiskImage::readFileUpTo(std::int64_t offset, std::span<std::uint8_t> out) const {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t n = ::pread(fd_, out.data() + done, out.size() - done,
                                  static_cast<off_t>(offset + static_cast<std::int64_t>(done)));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

bool DiskImage::readFile(std::int64_t offset, std::span<std::uint8_t> out) const {
    return readFileUpTo(offset, out) == out.size();
}

void DiskImage::readInPieces() {
    // Nothing larger than the largest disk is kept: such a file is read as before.
    if (inPieces_ || size_ > kMaxImageSize)
        return;
    inPieces_ = true;
    pieces_ = std::make_unique<Piece[]>(
        static_cast<std::size_t>((size_ + kPieceBytes - 1) / kPieceBytes));
}

bool DiskImage::readFromPiece(std::int64_t offset, std::span<std::uint8_t> out) {
    const std::int64_t start = offset / kPieceBytes * kPieceBytes;
    const auto count = static_cast<std::int64_t>(out.size());
    Piece& piece = pieces_[static_cast<std::size_t>(offset / kPieceBytes)];
    if (piece.length < 0) {
        const auto want = static_cast<std::size_t>(std::min(kPieceBytes, size_ - start));
        piece.bytes = std::make_unique_for_overwrite<std::uint8_t[]>(want);
        piece.length = static_cast<std::int64_t>(readFileUpTo(start, {piece.bytes.get(), want}));
    }
    if (offset - start + count > piece.length)
        return false;
    std::memcpy(out.data(), piece.bytes.get() + (offset - start), out.size());
    return true;
}

const std::uint8_t* DiskImage::directoryTrack() {
    if (!trackTried_) {
        trackTried_ = true;
        // Only an image that holds the whole track keeps it; a shorter file is read
        // block by block, where the bounds check speaks for every read.
        if (size_ >= kTrackStart + kTrackBytes) {
            auto bytes = std::make_unique_for_overwrite<std::uint8_t[]>(
                static_cast<std::size_t>(kTrackBytes));
            if (readFile(kTrackStart, {bytes.get(), static_cast<std::size_t>(kTrackBytes)}))
                track_ = std::move(bytes);
        }
    }
    return track_.get();
}

bool DiskImage::readAt(std::int64_t offset, std::span<std::uint8_t> out) {
    const auto count = static_cast<std::int64_t>(out.size());
    if (offset < 0 || offset > size_ || count > size_ - offset || fd_ < 0) {
        std::memset(out.data(), 0, out.size());
        return false;
    }
    if (count == 0)
        return true;
    if (offset >= kTrackStart && count <= kTrackStart + kTrackBytes - offset) {
        if (const std::uint8_t* track = directoryTrack()) {
            std::memcpy(out.data(), track + (offset - kTrackStart), out.size());
            return true;
        }
    }
    if (inPieces_ && offset / kPieceBytes == (offset + count - 1) / kPieceBytes) {
        if (readFromPiece(offset, out))
            return true;
        std::memset(out.data(), 0, out.size());
        return false;
    }
    // A read across two pieces goes to the file.
    if (!readFile(offset, out)) {
        std::memset(out.data(), 0, out.size());
        return false;
    }
    return true;
}

std::optional<Block> DiskImage::readBlockAt(std::int64_t offset) {
    std::optional<Block> block(std::in_place);
    if (!readAt(offset, *block))
        return std::nullopt;
    return block;
}

std::optional<Block> DiskImage::readBlock(TrackSector ts) {
    if (ts.track == 0)
        return std::nullopt;
    const int offset = blockOffset(ts, dosType_);
    if (offset < 0)
        return std::nullopt;
    return readBlockAt(offset);
}

}  // namespace qv
