#include "support/Bmp.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include <gtest/gtest.h>

namespace qv {
namespace {

std::uint32_t le32(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint32_t>(b.at(at)) | static_cast<std::uint32_t>(b.at(at + 1)) << 8 |
           static_cast<std::uint32_t>(b.at(at + 2)) << 16 |
           static_cast<std::uint32_t>(b.at(at + 3)) << 24;
}

std::uint16_t le16(const std::vector<std::uint8_t>& b, std::size_t at) {
    return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8);
}

// The header fields that both kinds share.
void expectHeaders(const std::vector<std::uint8_t>& b, int width, int height, int bits,
                   std::uint32_t offset, std::uint32_t imageSize, std::uint32_t colours) {
    ASSERT_GE(b.size(), 54u);
    EXPECT_EQ(b[0], 'B');
    EXPECT_EQ(b[1], 'M');
    EXPECT_EQ(le32(b, 2), b.size()) << "file size";
    EXPECT_EQ(le32(b, 6), 0u) << "reserved";
    EXPECT_EQ(le32(b, 10), offset) << "pixel offset";
    EXPECT_EQ(le32(b, 14), 40u) << "info header size";
    EXPECT_EQ(static_cast<std::int32_t>(le32(b, 18)), width);
    EXPECT_EQ(static_cast<std::int32_t>(le32(b, 22)), height) << "positive: bottom-up";
    EXPECT_EQ(le16(b, 26), 1) << "planes";
    EXPECT_EQ(le16(b, 28), bits);
    EXPECT_EQ(le32(b, 30), 0u) << "uncompressed";
    EXPECT_EQ(le32(b, 34), imageSize);
    EXPECT_EQ(le32(b, 38), 2835u);
    EXPECT_EQ(le32(b, 42), 2835u);
    EXPECT_EQ(le32(b, 46), colours);
    EXPECT_EQ(le32(b, 50), 0u);
    EXPECT_EQ(b.size(), offset + imageSize);
}

TEST(BmpTest, ThirtyTwoBitRowsAreStoredBottomUpAsBlueGreenRed) {
    Image32 image(3, 2);
    image.at(0, 0) = 0x112233;
    image.at(1, 0) = 0x445566;
    image.at(2, 0) = 0x778899;
    image.at(0, 1) = 0xAABBCC;
    image.at(1, 1) = 0xDDEEFF;
    image.at(2, 1) = 0x010203;
    std::vector<std::uint8_t> b = encodeBmp(image);
    expectHeaders(b, 3, 2, 32, 54, 24, 0);
    const std::vector<std::uint8_t> pixels(b.begin() + 54, b.end());
    EXPECT_EQ(pixels, (std::vector<std::uint8_t>{
                          0xCC, 0xBB, 0xAA, 0, 0xFF, 0xEE, 0xDD, 0, 0x03, 0x02, 0x01, 0,  // bottom
                          0x33, 0x22, 0x11, 0, 0x66, 0x55, 0x44, 0, 0x99, 0x88, 0x77, 0,  // top
                      }));
}

TEST(BmpTest, OneBitRowsArePaddedToFourBytesWithAColourTable) {
    Image1 image(10, 3);
    image.palette = {0x3739C4, 0x707CE6};
    image.set(0, 0, true);                       // top left
    image.set(9, 0, true);                       // top right
    image.set(1, 2, true);                       // bottom, second pixel
    image.bits[2 * image.stride() + 1] |= 0x3F;  // bits past the width are not written
    std::vector<std::uint8_t> b = encodeBmp(image);
    expectHeaders(b, 10, 3, 1, 62, 12, 2);
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 54, b.begin() + 62),
              (std::vector<std::uint8_t>{0xC4, 0x39, 0x37, 0, 0xE6, 0x7C, 0x70, 0}));
    EXPECT_EQ(std::vector<std::uint8_t>(b.begin() + 62, b.end()),
              (std::vector<std::uint8_t>{
                  0x40, 0x00, 0, 0,  // bottom row
                  0x00, 0x00, 0, 0,  // middle row
                  0x80, 0x40, 0, 0,  // top row
              }));
}

TEST(BmpTest, UnusableSizesGiveNoFile) {
    Image32 mismatched(4, 4);
    mismatched.pixels.pop_back();
    EXPECT_TRUE(encodeBmp(mismatched).empty());
    Image32 negative;
    negative.width = -1;
    EXPECT_TRUE(encodeBmp(negative).empty());
    Image32 huge;
    huge.width = 1 << 30;
    huge.height = 0;
    EXPECT_FALSE(encodeBmp(huge).empty()) << "an empty picture is still a picture";
    Image1 shortBits(16, 2);
    shortBits.bits.pop_back();
    EXPECT_TRUE(encodeBmp(shortBits).empty());
}

TEST(BmpTest, FilesAreWrittenOrTheFailureReported) {
    std::filesystem::path dir = std::filesystem::temp_directory_path() / "qv_bmp_test";
    std::filesystem::create_directories(dir);
    Image32 image(2, 2, 0x123456);
    ASSERT_TRUE(saveBmp((dir / "a.bmp").string(), image));
    std::ifstream in(dir / "a.bmp", std::ios::binary);
    std::vector<std::uint8_t> read((std::istreambuf_iterator<char>(in)),
                                   std::istreambuf_iterator<char>());
    EXPECT_EQ(read, encodeBmp(image));
    EXPECT_FALSE(saveBmp((dir / "missing" / "a.bmp").string(), image));
    EXPECT_FALSE(saveBmp((dir / "missing" / "b.bmp").string(), Image1(8, 8)));
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace qv
