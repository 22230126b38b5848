#include "support/Bmp.h"

#include <fstream>

#include "support/LittleEndian.h"

namespace qv {

namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kPixelsPerMetre = 2835;  // 72 dpi
// Pictures larger than this are refused rather than overflowing the header fields.
constexpr std::uint64_t kMaxFileSize = 0x7FFFFFFF;

// Starts the file with both headers; returns false for an unusable size.
bool beginFile(std::vector<std::uint8_t>& out, int width, int height, std::uint32_t bitsPerPixel,
               std::uint32_t colours) {
    if (width < 0 || height < 0) {
        return false;
    }
    std::uint64_t stride = (static_cast<std::uint64_t>(width) * bitsPerPixel + 31) / 32 * 4;
    std::uint64_t imageSize = stride * static_cast<std::uint64_t>(height);
    std::uint64_t offset = kFileHeaderSize + kInfoHeaderSize + 4ULL * colours;
    if (offset + imageSize > kMaxFileSize) {
        return false;
    }
    out.reserve(static_cast<std::size_t>(offset + imageSize));
    out.push_back('B');
    out.push_back('M');
    putLe32(out, static_cast<std::uint32_t>(offset + imageSize));
    putLe32(out, 0);  // reserved
    putLe32(out, static_cast<std::uint32_t>(offset));
    putLe32(out, kInfoHeaderSize);
    putLe32(out, static_cast<std::uint32_t>(width));
    putLe32(out, static_cast<std::uint32_t>(height));  // positive: rows bottom-up
    putLe16(out, 1);                                   // planes
    putLe16(out, bitsPerPixel);
    putLe32(out, 0);  // BI_RGB, uncompressed
    putLe32(out, static_cast<std::uint32_t>(imageSize));
    putLe32(out, kPixelsPerMetre);
    putLe32(out, kPixelsPerMetre);
    putLe32(out, colours);  // colours used
    putLe32(out, 0);        // important colours: all
    return true;
}

void putColour(std::vector<std::uint8_t>& out, std::uint32_t rgb) {
    out.push_back(static_cast<std::uint8_t>(rgb & 0xFF));
    out.push_back(static_cast<std::uint8_t>((rgb >> 8) & 0xFF));
    out.push_back(static_cast<std::uint8_t>((rgb >> 16) & 0xFF));
    out.push_back(0);
}

}  // namespace

std::vector<std::uint8_t> encodeBmp(const Image32& image) {
    std::vector<std::uint8_t> out;
    if (image.width < 0 || image.height < 0 ||
        image.pixels.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height) ||
        !beginFile(out, image.width, image.height, 32, 0)) {
        return {};
    }
    for (int y = image.height - 1; y >= 0; --y) {
        for (int x = 0; x < image.width; ++x) {
            putColour(out, image.at(x, y));
        }
    }
    return out;
}

std::vector<std::uint8_t> encodeBmp(const Image1& image) {
    std::vector<std::uint8_t> out;
    if (image.width < 0 || image.height < 0 ||
        image.bits.size() != image.stride() * static_cast<std::size_t>(image.height) ||
        !beginFile(out, image.width, image.height, 1, 2)) {
        return {};
    }
    putColour(out, image.palette[0]);
    putColour(out, image.palette[1]);
    std::size_t stride = image.stride();
    std::size_t padded = (stride + 3) / 4 * 4;
    for (int y = image.height - 1; y >= 0; --y) {
        const std::uint8_t* row = image.bits.data() + static_cast<std::size_t>(y) * stride;
        for (std::size_t i = 0; i < stride; ++i) {
            std::uint8_t b = row[i];
            // Bits beyond the width are written as 0, whatever the row held there.
            if (i + 1 == stride && image.width % 8 != 0) {
                b = static_cast<std::uint8_t>(b & (0xFF00 >> (image.width % 8)));
            }
            out.push_back(b);
        }
        out.insert(out.end(), padded - stride, 0);
    }
    return out;
}

bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

bool saveBmp(const std::string& path, const Image32& image) {
    std::vector<std::uint8_t> bytes = encodeBmp(image);
    return !bytes.empty() && writeFileBytes(path, bytes);
}

bool saveBmp(const std::string& path, const Image1& image) {
    std::vector<std::uint8_t> bytes = encodeBmp(image);
    return !bytes.empty() && writeFileBytes(path, bytes);
}

}  // namespace qv
