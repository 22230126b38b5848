#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/Image.h"

namespace qv {

// PNG files of 32-bit pictures (the top byte of a pixel is ignored), in the smallest form
// that keeps every pixel:
// - a picture of at most 256 colours (every C64 picture, screen page and icon) is written
//   with a palette of exactly its colours, in the order they first appear, at 1, 2, 4 or
//   8 bits per pixel by the number of colours; its rows are not filtered;
// - any other picture as 8-bit RGB, each row with the filter whose output has the least
//   sum of absolute values (the usual heuristic of PNG encoders).
// The image data is one zlib stream at the best compression. No alpha, no gamma or other
// ancillary chunks. An empty vector means the picture cannot be written (an empty or
// oversized size, or pixel data that does not match it).
std::vector<std::uint8_t> encodePng(const Image32& image);

// encodePng and a write of the whole file.
bool savePng(const std::string& path, const Image32& image);

}  // namespace qv
