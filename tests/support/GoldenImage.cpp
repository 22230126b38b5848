#include "support/GoldenImage.h"

#include <zlib.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <string>
#include <vector>

#include "support/Bmp.h"
#include "support/Crc32.h"
#include "support/TestFiles.h"

namespace qv::test {

namespace {

using Bytes = std::vector<std::uint8_t>;

// Larger pictures than any test draws are refused before anything is allocated.
constexpr int kMaxSide = 16384;

std::uint32_t le16(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8);
}
std::uint32_t le32(const Bytes& b, std::size_t at) {
    return le16(b, at) | le16(b, at + 2) << 16;
}
std::uint32_t be32(const Bytes& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]);
}

int paeth(int a, int b, int c) {
    const int p = a + b - c;
    const int pa = std::abs(p - a);
    const int pb = std::abs(p - b);
    const int pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// The value of pixel x in a row of packed samples of `bits` bits, leftmost in the high bits.
unsigned sample(const std::uint8_t* row, int x, int bits) {
    if (bits == 8)
        return row[x];
    const int perByte = 8 / bits;
    const int shift = 8 - bits * (x % perByte + 1);
    return (row[x / perByte] >> shift) & ((1u << bits) - 1);
}

}  // namespace

std::optional<Image32> decodeBmp(const Bytes& b) {
    if (b.size() < 54 || b[0] != 'B' || b[1] != 'M')
        return std::nullopt;
    const std::size_t dataAt = le32(b, 10);
    const std::size_t headerSize = le32(b, 14);
    const auto width = static_cast<std::int32_t>(le32(b, 18));
    const auto signedHeight = static_cast<std::int32_t>(le32(b, 22));
    const int bits = static_cast<int>(le16(b, 28));
    if (headerSize < 40 || le32(b, 30) != 0 || width <= 0 || width > kMaxSide ||
        signedHeight == 0 || signedHeight < -kMaxSide || signedHeight > kMaxSide ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32)) {
        return std::nullopt;
    }
    const int height = std::abs(signedHeight);
    std::vector<std::uint32_t> table;
    if (bits <= 8) {
        const std::size_t used = le32(b, 46);
        const std::size_t count = used != 0 ? used : std::size_t{1} << bits;
        const std::size_t tableAt = 14 + headerSize;
        if (count > 256 || tableAt + 4 * count > b.size())
            return std::nullopt;
        for (std::size_t i = 0; i < count; ++i) {
            const std::size_t e = tableAt + 4 * i;
            table.push_back(static_cast<std::uint32_t>(b[e + 2] << 16 | b[e + 1] << 8 | b[e]));
        }
    }
    const std::size_t stride = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    if (dataAt > b.size() || (b.size() - dataAt) / stride < static_cast<std::size_t>(height))
        return std::nullopt;
    Image32 out(width, height);
    for (int y = 0; y < height; ++y) {
        const int stored = signedHeight > 0 ? height - 1 - y : y;
        const std::uint8_t* row = b.data() + dataAt + static_cast<std::size_t>(stored) * stride;
        for (int x = 0; x < width; ++x) {
            if (bits <= 8) {
                const unsigned index = sample(row, x, bits);
                if (index >= table.size())
                    return std::nullopt;
                out.at(x, y) = table[index];
            } else {
                const std::uint8_t* p = row + static_cast<std::size_t>(x) * (bits / 8);
                out.at(x, y) = static_cast<std::uint32_t>(p[2] << 16 | p[1] << 8 | p[0]);
            }
        }
    }
    return out;
}

std::optional<Image32> decodePng(const Bytes& b) {
    static const std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (b.size() < 8 || !std::equal(kSignature, kSignature + 8, b.begin()))
        return std::nullopt;
    int width = 0;
    int height = 0;
    int bits = 0;
    int colourType = -1;
    std::vector<std::uint32_t> palette;
    Bytes idat;
    bool ended = false;
    for (std::size_t at = 8; !ended;) {
        if (b.size() - at < 12)
            return std::nullopt;
        const std::size_t length = be32(b, at);
        if (length > b.size() - at - 12)
            return std::nullopt;
        const std::string type(b.begin() + static_cast<long>(at + 4),
                               b.begin() + static_cast<long>(at + 8));
        const std::span<const std::uint8_t> covered(b.data() + at + 4, length + 4);
        if (be32(b, at + 8 + length) != crc32(covered))
            return std::nullopt;
        const std::size_t data = at + 8;
        if (type == "IHDR") {
            if (length != 13 || b[data + 10] != 0 || b[data + 11] != 0 || b[data + 12] != 0)
                return std::nullopt;
            width = static_cast<int>(std::min<std::uint32_t>(be32(b, data), kMaxSide + 1));
            height = static_cast<int>(std::min<std::uint32_t>(be32(b, data + 4), kMaxSide + 1));
            bits = b[data + 8];
            colourType = b[data + 9];
        } else if (type == "PLTE") {
            if (length % 3 != 0 || length > 768)
                return std::nullopt;
            for (std::size_t i = data; i < data + length; i += 3)
                palette.push_back(
                    static_cast<std::uint32_t>(b[i] << 16 | b[i + 1] << 8 | b[i + 2]));
        } else if (type == "IDAT") {
            idat.insert(idat.end(), b.begin() + static_cast<long>(data),
                        b.begin() + static_cast<long>(data + length));
        } else if (type == "IEND") {
            ended = true;
        }
        at += 12 + length;
    }
    const bool rgb = colourType == 2 && bits == 8;
    const bool indexed =
        colourType == 3 && (bits == 1 || bits == 2 || bits == 4 || bits == 8) && !palette.empty();
    if (width <= 0 || width > kMaxSide || height <= 0 || height > kMaxSide || (!rgb && !indexed))
        return std::nullopt;

    const std::size_t pixelBytes = rgb ? 3 : 1;  // the filters' distance to the left
    const std::size_t stride = rgb ? 3 * static_cast<std::size_t>(width)
                                   : (static_cast<std::size_t>(width) * bits + 7) / 8;
    Bytes raw(static_cast<std::size_t>(height) * (1 + stride));
    uLongf rawLength = static_cast<uLongf>(raw.size());
    if (uncompress(raw.data(), &rawLength, idat.data(), static_cast<uLong>(idat.size())) != Z_OK ||
        rawLength != raw.size()) {
        return std::nullopt;
    }
    Bytes prev(stride, 0);
    Image32 out(width, height);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = raw.data() + static_cast<std::size_t>(y) * (1 + stride);
        const int filter = row[0];
        std::uint8_t* cur = row + 1;
        for (std::size_t i = 0; i < stride; ++i) {
            const int a = i >= pixelBytes ? cur[i - pixelBytes] : 0;
            const int up = prev[i];
            const int c = i >= pixelBytes ? prev[i - pixelBytes] : 0;
            int predicted = 0;
            switch (filter) {
                case 0:
                    break;
                case 1:
                    predicted = a;
                    break;
                case 2:
                    predicted = up;
                    break;
                case 3:
                    predicted = (a + up) / 2;
                    break;
                case 4:
                    predicted = paeth(a, up, c);
                    break;
                default:
                    return std::nullopt;
            }
            cur[i] = static_cast<std::uint8_t>(cur[i] + predicted);
        }
        for (int x = 0; x < width; ++x) {
            if (rgb) {
                const std::uint8_t* p = cur + 3 * static_cast<std::size_t>(x);
                out.at(x, y) = static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]);
            } else {
                const unsigned index = sample(cur, x, bits);
                if (index >= palette.size())
                    return std::nullopt;
                out.at(x, y) = palette[index];
            }
        }
        prev.assign(cur, cur + stride);
    }
    return out;
}

Image32 toImage32(const Image1& image) {
    Image32 out(image.width, image.height);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x)
            out.at(x, y) = image.palette[image.get(x, y) ? 1 : 0];
    }
    return out;
}

::testing::AssertionResult samePixels(const Image32& actual, const Image32& expected) {
    if (actual.width != expected.width || actual.height != expected.height) {
        return ::testing::AssertionFailure()
               << "the size " << actual.width << " x " << actual.height << " is not "
               << expected.width << " x " << expected.height;
    }
    for (int y = 0; y < actual.height; ++y) {
        for (int x = 0; x < actual.width; ++x) {
            const std::uint32_t got = actual.at(x, y) & 0xFFFFFF;
            const std::uint32_t want = expected.at(x, y) & 0xFFFFFF;
            if (got != want) {
                char text[64];
                std::snprintf(text, sizeof text, "pixel (%d, %d) is %06X, not %06X", x, y, got,
                              want);
                return ::testing::AssertionFailure() << text;
            }
        }
    }
    return ::testing::AssertionSuccess();
}

std::filesystem::path goldenDir(const std::string& subsystem) {
    return std::filesystem::path(QV_TESTS_SOURCE_DIR) / "core" / subsystem / "golden";
}

std::vector<std::filesystem::path> goldenFiles() {
    std::vector<std::filesystem::path> files;
    const std::filesystem::path core = std::filesystem::path(QV_TESTS_SOURCE_DIR) / "core";
    for (const auto& dir : std::filesystem::directory_iterator(core)) {
        if (!std::filesystem::is_directory(dir.path() / "golden"))
            continue;
        for (const auto& file : std::filesystem::directory_iterator(dir.path() / "golden")) {
            if (file.path().extension() == ".bmp" &&
                !file.path().filename().string().ends_with(".actual.bmp")) {
                files.push_back(file.path());
            }
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

::testing::AssertionResult matchesGolden(const Image1& actual,
                                         const std::filesystem::path& golden) {
    std::vector<std::uint8_t> bytes = encodeBmp(actual);
    if (bytes.empty()) {
        return ::testing::AssertionFailure() << "the picture cannot be encoded";
    }
    const char* update = std::getenv("QV_UPDATE_GOLDEN");
    if (update != nullptr && std::string(update) == "1") {
        std::filesystem::create_directories(golden.parent_path());
        if (!writeFileBytes(golden.string(), bytes)) {
            return ::testing::AssertionFailure() << "cannot write " << golden;
        }
        return ::testing::AssertionSuccess();
    }
    std::filesystem::path actualPath = golden;
    actualPath.replace_extension(".actual.bmp");
    const bool exists = std::filesystem::exists(golden);
    ::testing::AssertionResult same = ::testing::AssertionFailure();
    if (exists) {
        const std::optional<Image32> expected = decodeBmp(readBytes(golden));
        same = expected ? samePixels(toImage32(actual), *expected)
                        : ::testing::AssertionFailure() << "it is not a readable bitmap";
    }
    if (same) {
        std::error_code removed;
        std::filesystem::remove(actualPath, removed);
        return ::testing::AssertionSuccess();
    }
    std::error_code ec;
    std::filesystem::create_directories(actualPath.parent_path(), ec);
    writeFileBytes(actualPath.string(), bytes);
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    if (exists)
        failure << "picture differs from " << golden << " (" << same.message() << ")";
    else
        failure << "no golden picture " << golden;
    return failure << "; the actual picture is in " << actualPath;
}

std::optional<Image1> toTwoColour(const Image32& image, std::uint32_t clearColour,
                                  std::uint32_t setColour) {
    Image1 out(image.width, image.height);
    out.palette = {clearColour, setColour};
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            std::uint32_t p = image.at(x, y);
            if (p == setColour) {
                out.set(x, y, true);
            } else if (p != clearColour) {
                return std::nullopt;
            }
        }
    }
    return out;
}

}  // namespace qv::test
