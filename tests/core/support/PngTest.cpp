#include "support/Png.h"

#include <gtest/gtest.h>

#include <span>
#include <string>

#include "support/Crc32.h"

namespace qv {
namespace {

std::uint32_t be32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b[at] << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]);
}

// Reads the file back the way a PNG reader does: chunks with their CRCs, stored deflate
// blocks, the Adler-32, and the filtered rows.
TEST(Png, RoundTripThroughStoredBlocks) {
    // Large enough for several deflate blocks of 65535 bytes.
    Image32 image(300, 100);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x)
            image.at(x, y) = static_cast<std::uint32_t>(x * 65536 + y * 256 + ((x ^ y) & 0xFF));
    }
    const std::vector<std::uint8_t> png = encodePng(image);
    ASSERT_GT(png.size(), 8u);
    EXPECT_EQ(std::vector<std::uint8_t>(png.begin(), png.begin() + 8),
              (std::vector<std::uint8_t>{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    std::size_t at = 8;
    std::vector<std::string> types;
    std::vector<std::uint8_t> idat;
    while (at < png.size()) {
        const std::uint32_t length = be32(png, at);
        const std::string type(png.begin() + static_cast<long>(at + 4),
                               png.begin() + static_cast<long>(at + 8));
        types.push_back(type);
        const std::span<const std::uint8_t> covered(png.data() + at + 4, length + 4);
        EXPECT_EQ(be32(png, at + 8 + length), crc32(covered)) << type;
        if (type == "IHDR") {
            EXPECT_EQ(be32(png, at + 8), 300u);
            EXPECT_EQ(be32(png, at + 12), 100u);
            EXPECT_EQ(png[at + 16], 8);
            EXPECT_EQ(png[at + 17], 2);
        }
        if (type == "IDAT")
            idat.insert(idat.end(), png.begin() + static_cast<long>(at + 8),
                        png.begin() + static_cast<long>(at + 8 + length));
        at += 12 + length;
    }
    EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
    ASSERT_GE(idat.size(), 6u);
    EXPECT_EQ((idat[0] * 256 + idat[1]) % 31, 0);
    std::vector<std::uint8_t> raw;
    std::size_t p = 2;
    bool last = false;
    int blocks = 0;
    while (!last) {
        last = idat[p] & 1;
        EXPECT_EQ(idat[p] >> 1, 0);  // stored
        const unsigned n = idat[p + 1] | idat[p + 2] << 8;
        const unsigned nn = idat[p + 3] | idat[p + 4] << 8;
        EXPECT_EQ(n ^ nn, 0xFFFFu);
        raw.insert(raw.end(), idat.begin() + static_cast<long>(p + 5),
                   idat.begin() + static_cast<long>(p + 5 + n));
        p += 5 + n;
        ++blocks;
    }
    EXPECT_EQ(blocks, 2);  // 100 x 901 bytes
    std::uint32_t a = 1, b = 0;
    for (std::uint8_t v : raw) {
        a = (a + v) % 65521;
        b = (b + a) % 65521;
    }
    EXPECT_EQ(be32(idat, p), (b << 16) | a);
    ASSERT_EQ(raw.size(), 100u * 901u);
    for (int y = 0; y < 100; ++y) {
        const std::size_t row = static_cast<std::size_t>(y) * 901;
        ASSERT_EQ(raw[row], 0);
        for (int x = 0; x < 300; ++x) {
            const std::uint32_t px = image.at(x, y);
            const std::size_t q = row + 1 + 3 * static_cast<std::size_t>(x);
            ASSERT_EQ(raw[q], (px >> 16) & 0xFF);
            ASSERT_EQ(raw[q + 1], (px >> 8) & 0xFF);
            ASSERT_EQ(raw[q + 2], px & 0xFF);
        }
    }
}

TEST(Png, RefusesPicturesItCannotWrite) {
    EXPECT_TRUE(encodePng(Image32()).empty());
    Image32 broken(4, 4);
    broken.pixels.pop_back();
    EXPECT_TRUE(encodePng(broken).empty());
}

}  // namespace
}  // namespace qv
