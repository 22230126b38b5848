#include "support/Png.h"

#include <algorithm>

#include "support/Bmp.h"
#include "support/Crc32.h"

namespace qv {
namespace {

void put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void putChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    const std::span<const std::uint8_t> crcd(out.data() + typeAt, data.size() + 4);
    put32(out, crc32(crcd));
}

std::uint32_t adler32(const std::vector<std::uint8_t>& bytes) {
    std::uint32_t a = 1;
    std::uint32_t b = 0;
    for (const std::uint8_t v : bytes) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    return (b << 16) | a;
}

// A zlib stream holding the bytes in stored deflate blocks of at most 65535 bytes.
std::vector<std::uint8_t> zlibStored(const std::vector<std::uint8_t>& raw) {
    std::vector<std::uint8_t> z;
    z.reserve(raw.size() + raw.size() / 65535 * 5 + 16);
    z.push_back(0x78);  // deflate, 32K window
    z.push_back(0x01);  // no preset dictionary, check bits
    std::size_t at = 0;
    do {
        const std::size_t n = std::min<std::size_t>(65535, raw.size() - at);
        const bool last = at + n == raw.size();
        z.push_back(last ? 1 : 0);  // BFINAL, BTYPE 00
        z.push_back(static_cast<std::uint8_t>(n));
        z.push_back(static_cast<std::uint8_t>(n >> 8));
        z.push_back(static_cast<std::uint8_t>(~n));
        z.push_back(static_cast<std::uint8_t>(~n >> 8));
        z.insert(z.end(), raw.begin() + static_cast<long>(at),
                 raw.begin() + static_cast<long>(at + n));
        at += n;
    } while (at < raw.size());
    put32(z, adler32(raw));
    return z;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Image32& image) {
    if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535 ||
        image.pixels.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
        return {};
    }
    std::vector<std::uint8_t> raw;
    raw.reserve(static_cast<std::size_t>(image.height) *
                (1 + 3 * static_cast<std::size_t>(image.width)));
    for (int y = 0; y < image.height; ++y) {
        raw.push_back(0);  // filter: none
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.at(x, y);
            raw.push_back(static_cast<std::uint8_t>(p >> 16));
            raw.push_back(static_cast<std::uint8_t>(p >> 8));
            raw.push_back(static_cast<std::uint8_t>(p));
        }
    }
    std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    put32(header, static_cast<std::uint32_t>(image.width));
    put32(header, static_cast<std::uint32_t>(image.height));
    header.insert(header.end(),
                  {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, no filter set, no interlace
    putChunk(out, "IHDR", header);
    putChunk(out, "IDAT", zlibStored(raw));
    putChunk(out, "IEND", {});
    return out;
}

bool savePng(const std::string& path, const Image32& image) {
    const std::vector<std::uint8_t> bytes = encodePng(image);
    return !bytes.empty() && writeFileBytes(path, bytes);
}

}  // namespace qv
