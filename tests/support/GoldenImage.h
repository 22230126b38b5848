#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/Image.h"

namespace qv::test {

// Golden pictures: small two-colour BMP files kept beside the tests and reviewed by eye
// when they are made. The golden file is decoded and compared pixel by pixel (size and
// colour of every pixel), so a change in how bitmaps are encoded leaves them valid. A
// picture that differs is written next to the golden one as <name>.actual.bmp for a
// person to look at. With QV_UPDATE_GOLDEN=1 in the environment the golden file is
// (re)written instead and the check passes.
::testing::AssertionResult matchesGolden(const Image1& actual, const std::filesystem::path& golden);

// The folder of golden pictures of the tests of one subsystem (tests/core/<subsystem>/
// golden in the source tree), and every golden picture of all subsystems. The paths are
// absolute, whatever folder the tests run in.
std::filesystem::path goldenDir(const std::string& subsystem);
std::vector<std::filesystem::path> goldenFiles();

// A picture drawn only in the two given colours as a two-colour picture (set = 1);
// nullopt when any pixel has another colour.
std::optional<Image1> toTwoColour(const Image32& image, std::uint32_t clearColour,
                                  std::uint32_t setColour);

// The two-colour picture as 32-bit pixels of its palette colours.
Image32 toImage32(const Image1& image);

// Readers of the picture files the program writes, for checking them by their pixels;
// nullopt for anything they cannot read. Pixels come back as 0xRRGGBB.
// BMP: uncompressed, 1, 4 or 8 bits with a colour table, or 24 or 32 bits, bottom-up or
// top-down rows.
std::optional<Image32> decodeBmp(const std::vector<std::uint8_t>& bytes);
// PNG: every chunk's CRC checked, not interlaced, 8-bit RGB or a palette of 1, 2, 4 or
// 8 bits, all five row filters; the image data inflated by zlib.
std::optional<Image32> decodePng(const std::vector<std::uint8_t>& bytes);

// Size and every pixel equal; otherwise says where they first differ.
::testing::AssertionResult samePixels(const Image32& actual, const Image32& expected);

}  // namespace qv::test
