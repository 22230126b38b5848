#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "geos/GeosReader.h"
#include "support/Image.h"

namespace qv {

// A GeoPaint page: 640 x 720 pixels in up to 45 bands of 16 pixel rows, one VLIR record
// per band. A decompressed band holds the bitmap of its two card rows (bytes 0-1279,
// card by card, 8 bytes a card), 8 unused bytes and one colour byte per card
// (1288-1447: foreground in the high nibble, background in the low nibble).
inline constexpr int kGeoPaintWidth = 640;
inline constexpr int kGeoPaintHeight = 720;
inline constexpr int kGeoPaintBands = 45;
inline constexpr int kGeoPaintBandBytes = 1448;
inline constexpr int kGeoPaintColourStart = 1288;

// One band of the working store. Position 1448 takes every byte decoded beyond the
// band's end, so a band never overflows.
using GeoPaintBand = std::array<std::uint8_t, kGeoPaintBandBytes + 1>;

// Decompresses one band. Bytes may arrive in any number of pieces (one per block of the
// record); a command that ends in one piece takes its data from the next.
//   1-63     the next n bytes as they are
//   65-127   an 8-byte card pattern repeated n - 64 times
//   129-255  the next byte n - 128 times
//   0, 64, 128 nothing
class GeoPaintDecompressor {
  public:
    explicit GeoPaintDecompressor(GeoPaintBand& band) : band_(&band) {}

    void feed(std::span<const std::uint8_t> bytes);
    // Bytes decoded into the band so far (counting stops at the band's end, 1448).
    int decoded() const { return g_; }

  private:
    void store(int position, std::uint8_t value);

    enum class Mode { Command, Literal, Pattern, Run };
    GeoPaintBand* band_;
    int g_ = 0;
    Mode mode_ = Mode::Command;
    int count_ = 0;        // Literal: bytes left; Pattern and Run: repetitions
    int patternByte_ = 0;  // Pattern: index of the next pattern byte (0-7)
};

// What a GeoPaint document decodes to.
struct GeoPaintDocument {
    std::vector<GeoPaintBand> bands;  // in picture order, from the top
    // A band other than the last one ended before its colour bytes: the picture
    // carries no colour and is drawn in black and white.
    bool shortBand = false;
};

// Draws the bands onto a white 640 x 720 picture: in colour with the palette, or with
// set bits black and clear bits white.
Image32 drawGeoPaint(const GeoPaintDocument& document, bool monochrome, const C64Palette& palette);

// Reads and decompresses the document whose VLIR index block starts at
// firstBlockOffset, asking about illegal record pointers and links (module "GeoPaint").
// nullopt after "Abort File" or a failure that was reported.
std::optional<GeoPaintDocument> readGeoPaint(GeosReaderContext& context, DiskImage& image,
                                             const std::string& fileName, int firstBlockOffset);

// Opens the image, reads the document and draws it. The picture is black and white when
// `monochrome` is set or the document has a short band.
std::optional<Image32> decodeGeoPaintPicture(GeosReaderContext& context,
                                             const std::string& imagePath,
                                             const std::string& fileName, int firstBlockOffset,
                                             bool monochrome);

// The GeoPaint window's state: its picture, the "Monochrome" item and the document it
// shows, kept for drawing it again.
class GeoPaintView {
  public:
    static constexpr int kInitialWindowWidth = 664;

    // Decodes a document into the picture: 0 on success, 1 after a failure (the old
    // picture and document then stay).
    int decodeGeoPaint(GeosReaderContext& context, const std::string& imagePath,
                       const std::string& fileName, int firstBlockOffset);

    // "Monochrome": inverts the item and decodes the stored document again.
    int toggleMonochrome(GeosReaderContext& context);

    // The window was resized (or maximised). The first time it ends wider than 664
    // pixels or maximised, the stored document is decoded again once. Returns true when
    // a redraw was made.
    bool windowResized(GeosReaderContext& context, int windowWidth, bool maximised);

    // Width of the panel that holds the picture, so it stays centred.
    static int panelWidth(int windowWidth) {
        return windowWidth <= 672 ? kGeoPaintWidth : windowWidth - 30;
    }

    const Image32& picture() const { return picture_; }
    bool monochrome() const { return monochrome_; }
    void setMonochrome(bool on) { monochrome_ = on; }
    const std::string& caption() const { return caption_; }
    bool hasDocument() const { return hasDocument_; }
    const std::string& imagePath() const { return imagePath_; }
    const std::string& fileName() const { return fileName_; }
    int fileOffset() const { return fileOffset_; }
    int scrollY() const { return scrollY_; }
    void setScrollY(int y) { scrollY_ = y; }
    // Mouse wheel: 8 pixels times this per notch; the catalogue sets it.
    int wheelStep = 3;
    // Scrolls by wheel notches (negative: up), kept within the picture.
    void wheel(int notches, int viewHeight);

  private:
    Image32 picture_;
    bool monochrome_ = false;
    bool hasDocument_ = false;
    bool redrawDone_ = false;
    std::string imagePath_;
    std::string fileName_;
    int fileOffset_ = 0;
    std::string caption_;
    int scrollY_ = 0;
};

}  // namespace qv
