#include "support/Png.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <set>
#include <string>

#include "screen/Palette.h"
#include "support/GoldenImage.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct Chunk {
    std::string type;
    Bytes data;
};

// The chunks in file order (the CRCs are checked by test::decodePng).
std::vector<Chunk> chunks(const Bytes& png) {
    std::vector<Chunk> out;
    for (std::size_t at = 8; at + 12 <= png.size();) {
        const std::size_t length = static_cast<std::size_t>(png[at] << 24 | png[at + 1] << 16 |
                                                            png[at + 2] << 8 | png[at + 3]);
        if (length > png.size() - at - 12)
            break;
        const auto data = png.begin() + static_cast<long>(at + 8);
        out.push_back({std::string(png.begin() + static_cast<long>(at + 4), data),
                       Bytes(data, data + static_cast<long>(length))});
        at += 12 + length;
    }
    return out;
}

const Chunk* find(const std::vector<Chunk>& all, const std::string& type) {
    for (const Chunk& c : all) {
        if (c.type == type)
            return &c;
    }
    return nullptr;
}

// Every renderer's golden picture (C64 screen pages, the character chart, GeoPaint, photo
// scrap, font sheet, icon strip) written as PNG and read back: the same pixels, as a
// two-colour palette picture.
TEST(Png, GoldenPicturesKeepTheirPixels) {
    const std::vector<std::filesystem::path> files = test::goldenFiles();
    EXPECT_FALSE(files.empty());
    for (const std::filesystem::path& file : files) {
        const std::string name = file.filename().string();
        const std::optional<Image32> golden = test::decodeBmp(test::readBytes(file));
        ASSERT_TRUE(golden) << name;
        const Bytes png = encodePng(*golden);
        const std::optional<Image32> back = test::decodePng(png);
        ASSERT_TRUE(back) << name;
        EXPECT_TRUE(test::samePixels(*back, *golden)) << name;
        const std::vector<Chunk> all = chunks(png);
        ASSERT_FALSE(all.empty());
        EXPECT_EQ(all.front().data[9], 3) << name;  // palette
        EXPECT_EQ(all.front().data[8], 1) << name;  // 1 bit per pixel
    }
}

// A picture cycling through `colours` colours in blocks, so rows differ from each other.
Image32 manyColours(int colours, int width = 97, int height = 41) {
    Image32 image(width, height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int k = (x / 3 + y * 7) % colours;
            image.at(x, y) = colours <= 16 ? kDefaultC64Palette[static_cast<std::size_t>(k)]
                                           : static_cast<std::uint32_t>(k * 0x0101 + 0x200000);
        }
    }
    return image;
}

// The palette holds exactly the colours of the picture, at the fewest bits that index them;
// beyond 256 colours the picture is RGB.
TEST(Png, PaletteOfExactlyThePictureColours) {
    struct Case {
        int colours;
        int colourType;
        int bits;
    };
    const Case cases[] = {{1, 3, 1},  {2, 3, 1},  {3, 3, 2},   {4, 3, 2},  {5, 3, 4},
                          {16, 3, 4}, {17, 3, 8}, {256, 3, 8}, {257, 2, 8}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.colours);
        const Image32 image = manyColours(c.colours);
        const Bytes png = encodePng(image);
        const std::optional<Image32> back = test::decodePng(png);
        ASSERT_TRUE(back);
        EXPECT_TRUE(test::samePixels(*back, image));
        const std::vector<Chunk> all = chunks(png);
        std::vector<std::string> types;
        for (const Chunk& chunk : all)
            types.push_back(chunk.type);
        ASSERT_EQ(all.front().type, "IHDR");
        EXPECT_EQ(all.front().data[8], c.bits);
        EXPECT_EQ(all.front().data[9], c.colourType);
        const Chunk* plte = find(all, "PLTE");
        if (c.colourType == 2) {
            EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "IDAT", "IEND"}));
            continue;
        }
        EXPECT_EQ(types, (std::vector<std::string>{"IHDR", "PLTE", "IDAT", "IEND"}));
        ASSERT_NE(plte, nullptr);
        std::set<std::uint32_t> inPalette;
        for (std::size_t i = 0; i + 2 < plte->data.size(); i += 3) {
            inPalette.insert(static_cast<std::uint32_t>(
                plte->data[i] << 16 | plte->data[i + 1] << 8 | plte->data[i + 2]));
        }
        EXPECT_EQ(plte->data.size(), 3u * static_cast<std::size_t>(c.colours));
        EXPECT_EQ(inPalette, std::set<std::uint32_t>(image.pixels.begin(), image.pixels.end()));
    }
}

// Pixels are 0x00RRGGBB; a stray top byte does not make another colour.
TEST(Png, TopByteIsNotPartOfTheColour) {
    Image32 image(8, 2, 0x00112233);
    image.at(3, 1) = 0xFF112233;
    image.at(4, 1) = 0x00445566;
    const Bytes png = encodePng(image);
    const std::vector<Chunk> all = chunks(png);
    const Chunk* plte = find(all, "PLTE");
    ASSERT_NE(plte, nullptr);
    EXPECT_EQ(plte->data.size(), 6u);
    const std::optional<Image32> back = test::decodePng(png);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->at(3, 1), 0x112233u);
    EXPECT_EQ(back->at(4, 1), 0x445566u);
}

// A truecolour picture whose parts favour different filters: noise, a horizontal ramp, a
// vertical ramp and a diagonal one. The rows read back exactly, and the writer chose more
// than one filter for them.
TEST(Png, RgbRowsWithTheirOwnFilters) {
    Image32 image(200, 120);
    std::uint32_t seed = 12345;
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            seed = seed * 1103515245u + 12345u;
            std::uint32_t p = 0;
            switch (y / 30) {
                case 0:
                    p = seed >> 8;
                    break;
                case 1:
                    p = static_cast<std::uint32_t>(x * 0x010101);
                    break;
                case 2:
                    p = static_cast<std::uint32_t>((y * 2) * 0x010203) ^ (seed >> 29);
                    break;
                default:
                    p = static_cast<std::uint32_t>(((x + y) & 0xFF) * 0x010001 + x);
                    break;
            }
            image.at(x, y) = p & 0xFFFFFF;
        }
    }
    const Bytes png = encodePng(image);
    const std::optional<Image32> back = test::decodePng(png);
    ASSERT_TRUE(back);
    EXPECT_TRUE(test::samePixels(*back, image));

    Bytes idat;
    for (const Chunk& c : chunks(png)) {
        if (c.type == "IDAT")
            idat.insert(idat.end(), c.data.begin(), c.data.end());
    }
    const std::size_t stride = 1 + 3 * 200;
    Bytes raw(120 * stride);
    uLongf length = static_cast<uLongf>(raw.size());
    ASSERT_EQ(uncompress(raw.data(), &length, idat.data(), static_cast<uLong>(idat.size())), Z_OK);
    std::set<int> filters;
    for (std::size_t y = 0; y < 120; ++y)
        filters.insert(raw[y * stride]);
    EXPECT_GE(filters.size(), 3u);
}

// A GeoPaint-sized picture of repeating patterns compresses to a small fraction of its
// 230,400 bytes of 4-bit pixels.
TEST(Png, PatternedPictureIsSmall) {
    Image32 image(640, 720, kDefaultC64Palette[1]);
    for (int y = 0; y < 720; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (((x >> 3) + (y >> 3)) % 5 == 0 && ((x ^ y) & 1))
                image.at(x, y) =
                    kDefaultC64Palette[static_cast<std::size_t>((x / 80 + y / 90) % 16)];
        }
    }
    const Bytes png = encodePng(image);
    EXPECT_LT(png.size(), 20000u);
    const std::optional<Image32> back = test::decodePng(png);
    ASSERT_TRUE(back);
    EXPECT_TRUE(test::samePixels(*back, image));
}

TEST(Png, RefusesPicturesItCannotWrite) {
    EXPECT_TRUE(encodePng(Image32()).empty());
    Image32 broken(4, 4);
    broken.pixels.pop_back();
    EXPECT_TRUE(encodePng(broken).empty());
}

}  // namespace
}  // namespace qv
