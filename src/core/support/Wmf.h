#pragma once

#include <cstdint>
#include <vector>

#include "support/Image.h"

namespace qv {

// A Windows metafile that draws the picture at its size in logical units: the
// standard metafile header (no placeable header in front, the form RTF embeds after
// \wmetafile8), the window origin and extent, one stretch-DIB record with the picture
// as a bottom-up DIB and the end record. Empty when the picture cannot be encoded.
std::vector<std::uint8_t> encodeWmf(const Image32& image);

}  // namespace qv
