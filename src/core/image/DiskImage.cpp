#include "image/DiskImage.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace qv {

std::optional<DiskImage> DiskImage::open(const std::string& path, std::string* error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        if (error)
            *error = "no such file";
        return std::nullopt;
    }
    if (std::filesystem::is_directory(status)) {
        if (error)
            *error = "is a folder";
        return std::nullopt;
    }
    std::FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) {
        if (error)
            *error = std::strerror(errno);
        return std::nullopt;
    }
    DiskImage image;
    image.path_ = path;
    image.file_.reset(f);
    if (std::fseek(f, 0, SEEK_END) != 0) {
        if (error)
            *error = "cannot seek";
        return std::nullopt;
    }
    const long end = std::ftell(f);
    image.size_ = end < 0 ? 0 : end;
    return image;
}

int DiskImage::readByte() {
    std::uint8_t b = 0;
    const bool ok = readAt(pos_, std::span<std::uint8_t>(&b, 1));
    ++pos_;
    return ok ? b : -1;
}

bool DiskImage::readAt(std::int64_t offset, std::span<std::uint8_t> out) {
    const auto count = static_cast<std::int64_t>(out.size());
    if (offset < 0 || offset > size_ || count > size_ - offset || !file_) {
        std::memset(out.data(), 0, out.size());
        return false;
    }
    if (count == 0)
        return true;
    if (std::fseek(file_.get(), static_cast<long>(offset), SEEK_SET) != 0 ||
        std::fread(out.data(), 1, out.size(), file_.get()) != out.size()) {
        std::memset(out.data(), 0, out.size());
        return false;
    }
    return true;
}

std::optional<Block> DiskImage::readBlockAt(std::int64_t offset) {
    Block block{};
    if (!readAt(offset, block))
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
