#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "geos/GeosReader.h"
#include "support/Image.h"

namespace qv {

class FontView;

// A photo scrap: a GEOS bitmap of up to 640 x 720 pixels, `width` bytes a pixel row,
// followed by one colour row of `width` bytes per 8 pixel rows (foreground in the high
// nibble, background in the low nibble), compressed with the GEOS bitmap compaction.
inline constexpr int kScrapColumns = 80;
inline constexpr int kScrapMaxHeight = 720;
inline constexpr int kScrapRows = kScrapMaxHeight + kScrapMaxHeight / 8;  // 810

// The decoded rows of a scrap: 80 columns of 810 rows, filled row by row. Columns beyond
// 80 (a width byte above 80) are not stored, and of the rows only those the drawing uses:
// the bitmap rows and the colour rows up to height + (height - 1) / 8.
struct ScrapStore {
    int width = 0;   // cards as stored in the header
    int height = 0;  // pixel rows, at most 720
    std::vector<std::uint8_t> bytes = std::vector<std::uint8_t>(kScrapColumns * kScrapRows, 0);
    int rowsCompleted = 0;  // rows of `width` bytes the data filled completely

    std::uint8_t at(int row, int column) const {
        return bytes[static_cast<std::size_t>(row * kScrapColumns + column)];
    }
    // Colour when enough rows for every bitmap row and the complete colour rows arrived.
    bool hasColour() const { return rowsCompleted >= height + height / 8; }
};

// The GEOS bitmap compaction:
//   0-127    the next byte n times (0: nothing, the next byte is a command)
//   128-219  the next n - 128 bytes as they are
//   220-255  a cards repeater: its data are not decoded, and from here on nothing more
//            is taken from the scrap
class ScrapDecompressor {
  public:
    explicit ScrapDecompressor(ScrapStore& store) : store_(&store) {}

    // onCardsRepeater is called at the first byte that follows a cards repeater.
    void feed(std::span<const std::uint8_t> bytes, const std::function<void()>& onCardsRepeater);
    bool cardsRepeaterMet() const { return stopped_; }

  private:
    void store(std::uint8_t value);

    enum class Mode { Command, Repeat, Unique };
    ScrapStore* store_;
    Mode mode_ = Mode::Command;
    int count_ = 0;
    int row_ = 0;
    int column_ = 0;
    bool stopped_ = false;
    bool reported_ = false;
};

// Draws a scrap, 8 x width (at most 640) by height pixels: in colour with the palette, or
// in black and white.
Image32 drawScrap(const ScrapStore& store, bool monochrome, const C64Palette& palette);

// The text of the cards-repeater message.
std::string cardsRepeaterMessage();

// Decodes the scrap whose first block is at firstBlockOffset in the open image. Messages
// under module "PhotoScrap": a height above 720, an illegal link, a failed read. The
// cards-repeater message is shown unless cardsRepeaterMessageOff is set; "Cancel" sets it.
std::optional<Image32> readScrapPicture(GeosReaderContext& context, DiskImage& image,
                                        const std::string& fileName, int firstBlockOffset,
                                        bool monochrome, bool& cardsRepeaterMessageOff);

// Opens the image, decodes the scrap into the font window's picture and keeps the
// document there: 0 on success, 1 after a failure (the window's picture then stays).
int decodeScrap(FontView& view, GeosReaderContext& context, const std::string& imagePath,
                const std::string& fileName, int firstBlockOffset);

}  // namespace qv
