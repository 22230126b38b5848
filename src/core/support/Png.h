#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/Image.h"

namespace qv {

// PNG files of 32-bit pictures: 8-bit RGB without alpha, the pixel rows in a zlib stream
// of stored (uncompressed) deflate blocks. An empty vector means the picture cannot be
// written (an empty or oversized size, or pixel data that does not match it).
std::vector<std::uint8_t> encodePng(const Image32& image);

// encodePng and a write of the whole file.
bool savePng(const std::string& path, const Image32& image);

}  // namespace qv
