#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "geos/GeosReader.h"
#include "support/Colour.h"
#include "support/Image.h"

namespace qv {

class FontView;

// A GEOS font file keeps one point size per VLIR record. A record starts with a header:
// byte 0 baseline, 1-2 bytes per pixel row of the bit stream, 3 height, 4-5 offset of the
// index table, 6-7 offset of the bit stream (words low byte first). The index table holds
// for each character from 32 on the bit where it starts in every pixel row; a character
// ends where the next one starts.
inline constexpr int kFontSheetWidth = 800;
inline constexpr int kFontRecords = 64;
// A sheet never grows beyond this many rows; only a damaged font comes near it.
inline constexpr int kFontSheetMaxHeight = 16384;

struct FontSheetOptions {
    bool spaceBetweenChars = true;
    bool showGrid = false;
    std::uint32_t gridColour = swapRedBlue(kDefaultGridColorSetting);  // 0xRRGGBB
};

struct FontSheet {
    Image32 picture;
    std::vector<int> heights;  // the drawn sizes, in record order
    std::string hint;          // "Drawn Sizes through VLIR:" and a blank and height per size
};

// Draws every character 32-126 of one size record at pen row y of the sheet, growing it.
// Returns false after "Abort File" in one of the drawing questions (module "ShowFont").
// The record must hold at least 8 bytes.
bool drawFontSize(GeosReaderContext& context, const std::string& imagePath,
                  const std::string& fileName, std::span<const std::uint8_t> record,
                  const FontSheetOptions& options, Image32& sheet, int& y);

// Reads all sizes of the font whose index block is at firstBlockOffset and draws them
// one below the other. nullopt after a failure that was reported.
std::optional<FontSheet> readFontSheet(GeosReaderContext& context, DiskImage& image,
                                       const std::string& fileName, int firstBlockOffset,
                                       const FontSheetOptions& options);

// Opens the image and renders the font into the font window with the window's options:
// 0 on success, 1 after a failure (the window's picture then stays).
int renderFont(FontView& view, GeosReaderContext& context, const std::string& imagePath,
               const std::string& fileName, int firstBlockOffset);

}  // namespace qv
