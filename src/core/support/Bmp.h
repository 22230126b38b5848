#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/Image.h"

namespace qv {

// Windows bitmap files (BITMAPFILEHEADER + BITMAPINFOHEADER, uncompressed, rows stored
// bottom-up and padded to 4 bytes, 72 dpi).
//
// A 32-bit picture is written with 32 bits per pixel, each pixel as the bytes blue, green,
// red, 0. A two-colour picture is written with 1 bit per pixel and a two-entry colour
// table. An empty vector means the picture cannot be written (a negative or oversized
// size, or pixel data that does not match the size).
std::vector<std::uint8_t> encodeBmp(const Image32& image);
std::vector<std::uint8_t> encodeBmp(const Image1& image);

// Writes the bytes to a file, replacing it. Returns false when the file cannot be
// written completely.
bool writeFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// encodeBmp and writeFileBytes in one step.
[[nodiscard]] bool saveBmp(const std::string& path, const Image32& image);
[[nodiscard]] bool saveBmp(const std::string& path, const Image1& image);

}  // namespace qv
