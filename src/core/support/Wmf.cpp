#include "support/Wmf.h"

#include <algorithm>
#include <limits>

#include "support/Bmp.h"
#include "support/LittleEndian.h"

namespace qv {
namespace {

constexpr std::size_t kBmpFileHeaderSize = 14;
constexpr std::uint16_t kMetaSetMapMode = 0x0103;
constexpr std::uint16_t kMetaSetWindowOrg = 0x020B;
constexpr std::uint16_t kMetaSetWindowExt = 0x020C;
constexpr std::uint16_t kMetaStretchDib = 0x0F43;
constexpr std::uint16_t kMmAnisotropic = 8;
constexpr std::uint32_t kSrcCopy = 0x00CC0020;

// Starts a record of `words` 16-bit words (its 3-word head included).
void beginRecord(std::vector<std::uint8_t>& out, std::uint32_t words, std::uint16_t function) {
    putLe32(out, words);
    putLe16(out, function);
}

}  // namespace

std::vector<std::uint8_t> encodeWmf(const Image32& image) {
    // Coordinates of a metafile are signed 16-bit numbers.
    if (image.width <= 0 || image.height <= 0 || image.width > 0x7FFF || image.height > 0x7FFF) {
        return {};
    }
    const std::vector<std::uint8_t> bmp = encodeBmp(image);
    if (bmp.size() <= kBmpFileHeaderSize) {
        return {};
    }
    const std::size_t dibBytes = bmp.size() - kBmpFileHeaderSize;  // always even
    const std::uint64_t dibRecordWords = 3 + 2 + 1 + 8 + dibBytes / 2;
    const std::uint64_t totalWords = 9 + 4 + 5 + 5 + dibRecordWords + 3;
    if (totalWords > std::numeric_limits<std::uint32_t>::max() / 2) {
        return {};
    }
    const auto w = static_cast<std::uint32_t>(image.width);
    const auto h = static_cast<std::uint32_t>(image.height);

    std::vector<std::uint8_t> out;
    out.reserve(static_cast<std::size_t>(totalWords * 2));
    putLe16(out, 1);       // a metafile in memory
    putLe16(out, 9);       // header words
    putLe16(out, 0x0300);  // version
    putLe32(out, static_cast<std::uint32_t>(totalWords));
    putLe16(out, 0);  // objects
    putLe32(out, static_cast<std::uint32_t>(dibRecordWords));
    putLe16(out, 0);

    beginRecord(out, 4, kMetaSetMapMode);
    putLe16(out, kMmAnisotropic);
    beginRecord(out, 5, kMetaSetWindowOrg);
    putLe16(out, 0);  // y
    putLe16(out, 0);  // x
    beginRecord(out, 5, kMetaSetWindowExt);
    putLe16(out, h);
    putLe16(out, w);

    beginRecord(out, static_cast<std::uint32_t>(dibRecordWords), kMetaStretchDib);
    putLe32(out, kSrcCopy);
    putLe16(out, 0);  // the DIB holds RGB values
    putLe16(out, h);  // source height, width, y, x
    putLe16(out, w);
    putLe16(out, 0);
    putLe16(out, 0);
    putLe16(out, h);  // destination height, width, y, x
    putLe16(out, w);
    putLe16(out, 0);
    putLe16(out, 0);
    out.insert(out.end(), bmp.begin() + static_cast<std::ptrdiff_t>(kBmpFileHeaderSize), bmp.end());

    beginRecord(out, 3, 0);  // end of the metafile
    return out;
}

}  // namespace qv
