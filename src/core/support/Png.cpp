#include "support/Png.h"

#define ZLIB_CONST
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <optional>
#include <span>

#include "support/Bmp.h"
#include "support/Crc32.h"

namespace qv {
namespace {

using Bytes = std::vector<std::uint8_t>;

void put32(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<std::uint8_t>(v >> 24));
    out.push_back(static_cast<std::uint8_t>(v >> 16));
    out.push_back(static_cast<std::uint8_t>(v >> 8));
    out.push_back(static_cast<std::uint8_t>(v));
}

void putChunk(Bytes& out, const char* type, std::span<const std::uint8_t> data) {
    put32(out, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = out.size();
    out.insert(out.end(), type, type + 4);
    out.insert(out.end(), data.begin(), data.end());
    put32(out, crc32(std::span<const std::uint8_t>(out.data() + typeAt, data.size() + 4)));
}

// The colours of a picture of at most 256 colours, in the order they first appear, and
// the index of every pixel's colour among them.
struct Indexed {
    std::vector<std::uint32_t> colours;
    Bytes indices;
};

std::optional<Indexed> indexColours(const Image32& image) {
    // Open addressing in four times as many slots as there can be colours; a pixel that
    // repeats the one before it (most pixels of a C64 picture) skips the lookup.
    constexpr std::size_t kSlots = 1024;
    std::array<std::int16_t, kSlots> slots;
    slots.fill(-1);
    Indexed out;
    out.indices.resize(image.pixels.size());
    std::uint32_t last = 0xFFFFFFFF;  // no colour: pixels are taken without their top byte
    std::uint8_t lastIndex = 0;
    for (std::size_t i = 0; i < image.pixels.size(); ++i) {
        const std::uint32_t c = image.pixels[i] & 0xFFFFFF;
        if (c != last) {
            std::size_t h = (c * 0x9E3779B1u) >> 22;
            while (slots[h] >= 0 && out.colours[static_cast<std::size_t>(slots[h])] != c)
                h = (h + 1) & (kSlots - 1);
            if (slots[h] < 0) {
                if (out.colours.size() == 256)
                    return std::nullopt;
                slots[h] = static_cast<std::int16_t>(out.colours.size());
                out.colours.push_back(c);
            }
            last = c;
            lastIndex = static_cast<std::uint8_t>(slots[h]);
        }
        out.indices[i] = lastIndex;
    }
    return out;
}

// The fewest bits per pixel a palette of that many colours needs.
int bitsFor(std::size_t colours) {
    if (colours <= 2)
        return 1;
    if (colours <= 4)
        return 2;
    return colours <= 16 ? 4 : 8;
}

// Palette rows: filter byte None, then the indices packed leftmost pixel in the high bits.
Bytes packIndices(const Indexed& indexed, int width, int height, int bits) {
    const std::size_t w = static_cast<std::size_t>(width);
    const std::size_t stride = (w * static_cast<std::size_t>(bits) + 7) / 8;
    Bytes raw(static_cast<std::size_t>(height) * (1 + stride), 0);
    for (std::size_t y = 0; y < static_cast<std::size_t>(height); ++y) {
        std::uint8_t* out = raw.data() + y * (1 + stride) + 1;
        const std::uint8_t* in = indexed.indices.data() + y * w;
        unsigned byte = 0;
        int filled = 0;
        for (std::size_t x = 0; x < w; ++x) {
            byte = byte << bits | in[x];
            filled += bits;
            if (filled == 8) {
                *out++ = static_cast<std::uint8_t>(byte);
                byte = 0;
                filled = 0;
            }
        }
        if (filled > 0)
            *out = static_cast<std::uint8_t>(byte << (8 - filled));
    }
    return raw;
}

std::uint8_t paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return static_cast<std::uint8_t>(a);
    return static_cast<std::uint8_t>(pb <= pc ? b : c);
}

// RGB rows, each with the filter (None, Sub, Up, Average, Paeth) whose bytes, read as
// signed values, have the least sum of magnitudes.
Bytes filterRgb(const Image32& image) {
    constexpr std::size_t kBpp = 3;
    const std::size_t n = static_cast<std::size_t>(image.width) * kBpp;
    Bytes raw;
    raw.reserve(static_cast<std::size_t>(image.height) * (1 + n));
    Bytes prev(n, 0);
    Bytes cur(n);
    std::array<Bytes, 5> filtered;
    for (Bytes& f : filtered)
        f.resize(n);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const std::uint32_t p = image.at(x, y);
            std::uint8_t* q = cur.data() + static_cast<std::size_t>(x) * kBpp;
            q[0] = static_cast<std::uint8_t>(p >> 16);
            q[1] = static_cast<std::uint8_t>(p >> 8);
            q[2] = static_cast<std::uint8_t>(p);
        }
        std::array<std::uint64_t, 5> cost{};
        for (std::size_t i = 0; i < n; ++i) {
            const int a = i >= kBpp ? cur[i - kBpp] : 0;
            const int b = prev[i];
            const int c = i >= kBpp ? prev[i - kBpp] : 0;
            const int v = cur[i];
            filtered[0][i] = static_cast<std::uint8_t>(v);
            filtered[1][i] = static_cast<std::uint8_t>(v - a);
            filtered[2][i] = static_cast<std::uint8_t>(v - b);
            filtered[3][i] = static_cast<std::uint8_t>(v - (a + b) / 2);
            filtered[4][i] = static_cast<std::uint8_t>(v - paeth(a, b, c));
            for (std::size_t f = 0; f < 5; ++f)
                cost[f] +=
                    static_cast<std::uint64_t>(std::abs(static_cast<std::int8_t>(filtered[f][i])));
        }
        const std::size_t best =
            static_cast<std::size_t>(std::min_element(cost.begin(), cost.end()) - cost.begin());
        raw.push_back(static_cast<std::uint8_t>(best));
        raw.insert(raw.end(), filtered[best].begin(), filtered[best].end());
        std::swap(prev, cur);
    }
    return raw;
}

// How a picture's rows are deflated. Palette rows get zlib's best compression with the
// hash chains cut from 4096 to 128 entries (those of the default level): on the long runs
// and repeated patterns of C64 pictures the full chains make deflate four to eight times
// slower for a few per cent of size (a busy GeoPaint page of 640 x 720: 3,797 bytes in
// 8.8 ms against 4,594 bytes in 2.4 ms). Filtered RGB rows get zlib's default level and
// the strategy made for filtered data, as PNG encoders use.
struct Deflate {
    int level;
    int strategy;
    int maxChain;  // 0: the level's own
};
constexpr Deflate kPaletteRows{Z_BEST_COMPRESSION, Z_DEFAULT_STRATEGY, 128};
constexpr Deflate kRgbRows{Z_DEFAULT_COMPRESSION, Z_FILTERED, 0};

// The bytes as one zlib stream with a 32K window; nullopt when zlib fails. Input and
// output are handed over in pieces that fit zlib's 32-bit counters.
std::optional<Bytes> zlibCompress(const Bytes& raw, const Deflate& how) {
    z_stream zs{};
    if (deflateInit2(&zs, how.level, Z_DEFLATED, 15, 9, how.strategy) != Z_OK)
        return std::nullopt;
    if (how.maxChain > 0 && deflateTune(&zs, 32, 258, 258, how.maxChain) != Z_OK) {
        deflateEnd(&zs);
        return std::nullopt;
    }
    constexpr std::size_t kPiece = std::size_t{1} << 30;
    Bytes out(deflateBound(&zs, static_cast<uLong>(raw.size())));
    std::size_t inLeft = raw.size();
    std::size_t outLeft = out.size();
    zs.next_in = raw.data();
    zs.next_out = out.data();
    int rc = Z_OK;
    while (rc == Z_OK) {
        if (zs.avail_in == 0 && inLeft > 0) {
            zs.avail_in = static_cast<uInt>(std::min(inLeft, kPiece));
            inLeft -= zs.avail_in;
        }
        if (zs.avail_out == 0 && outLeft == 0) {
            // deflateBound is an upper bound; more room is made should it ever fall short.
            const std::size_t used = out.size();
            out.resize(used + used / 2 + 64);
            zs.next_out = out.data() + used;
            outLeft = out.size() - used;
        }
        if (zs.avail_out == 0) {
            zs.avail_out = static_cast<uInt>(std::min(outLeft, kPiece));
            outLeft -= zs.avail_out;
        }
        rc = deflate(&zs, inLeft == 0 ? Z_FINISH : Z_NO_FLUSH);
    }
    deflateEnd(&zs);
    if (rc != Z_STREAM_END)
        return std::nullopt;
    out.resize(out.size() - outLeft - zs.avail_out);
    return out;
}

}  // namespace

std::vector<std::uint8_t> encodePng(const Image32& image) {
    if (image.width <= 0 || image.height <= 0 || image.width > 65535 || image.height > 65535 ||
        image.pixels.size() !=
            static_cast<std::size_t>(image.width) * static_cast<std::size_t>(image.height)) {
        return {};
    }
    const std::optional<Indexed> indexed = indexColours(image);
    const int bits = indexed ? bitsFor(indexed->colours.size()) : 8;
    const std::optional<Bytes> z =
        indexed ? zlibCompress(packIndices(*indexed, image.width, image.height, bits), kPaletteRows)
                : zlibCompress(filterRgb(image), kRgbRows);
    if (!z)
        return {};

    Bytes out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    Bytes header;
    put32(header, static_cast<std::uint32_t>(image.width));
    put32(header, static_cast<std::uint32_t>(image.height));
    // Bit depth, colour type (3 palette, 2 RGB), deflate, adaptive filters, no interlace.
    header.insert(header.end(), {static_cast<std::uint8_t>(bits),
                                 static_cast<std::uint8_t>(indexed ? 3 : 2), 0, 0, 0});
    putChunk(out, "IHDR", header);
    if (indexed) {
        Bytes palette;
        for (const std::uint32_t c : indexed->colours) {
            palette.insert(palette.end(),
                           {static_cast<std::uint8_t>(c >> 16), static_cast<std::uint8_t>(c >> 8),
                            static_cast<std::uint8_t>(c)});
        }
        putChunk(out, "PLTE", palette);
    }
    // Chunks hold less than 2^31 bytes; a stream that large is split over several IDATs.
    constexpr std::size_t kMaxChunk = std::size_t{1} << 30;
    for (std::size_t at = 0; at < z->size(); at += kMaxChunk) {
        putChunk(
            out, "IDAT",
            std::span<const std::uint8_t>(z->data() + at, std::min(kMaxChunk, z->size() - at)));
    }
    putChunk(out, "IEND", {});
    return out;
}

bool savePng(const std::string& path, const Image32& image) {
    const std::vector<std::uint8_t> bytes = encodePng(image);
    return !bytes.empty() && writeFileBytes(path, bytes);
}

}  // namespace qv
