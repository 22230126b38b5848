#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "support/Image.h"

namespace qv {

// The glyphs the C64 screen draws with: 512 glyphs of 8 x 8 pixels, 8 bytes each, top
// row first, bit 7 the leftmost pixel. Glyphs 0-255 are the Upper/Graphics set and
// 256-511 the Upper/Lower set; in each set 128-255 are the reverse-video forms of 0-127.
//
// The built-in set is our own design in the style of the C64 screen, not the Commodore
// character ROM: it is kept as a readable text asset (charset.txt beside this file,
// written by tools/make_charset.py) and compiled in at build time. A user may have the
// screen draw with a 4096-byte dump of their own character ROM instead, read in place
// (CharsetRomSearch.h finds one an emulator installed).
class Charset {
  public:
    static constexpr int kGlyphs = 512;
    static constexpr std::size_t kBytes = 4096;
    using Bytes = std::array<std::uint8_t, kBytes>;

    Charset() = default;
    explicit Charset(const Bytes& bytes) : bytes_(bytes) {}

    // The set compiled into the program.
    static const Charset& builtin();

    // Reads the text form: per glyph a header line "<set> <code>: <what it shows>" with
    // set "Upper/Graphics" or "Upper/Lower" and code 000-255, in glyph order, then 8 rows
    // of 8 characters, '#' set and '.' clear. Lines starting with ';' and empty lines
    // between glyphs are ignored. On failure returns nullopt and describes the first fault.
    static std::optional<Charset> parse(std::string_view text, std::string* error = nullptr);

    std::uint8_t row(int glyph, int y) const {
        return bytes_[static_cast<std::size_t>((glyph & 0x1FF) * 8 + (y & 7))];
    }
    const Bytes& bytes() const { return bytes_; }

    bool operator==(const Charset&) const = default;

  private:
    Bytes bytes_{};
};

// The result of loading a user's character ROM dump.
struct CharsetLoad {
    std::optional<Charset> charset;  // set when the file was usable
    std::string message;             // why it was refused; empty on success
};

// Loads a character ROM dump: exactly 4096 bytes, laid out as Charset describes. Any
// other size, or a file that cannot be read, is refused with a message; the caller then
// keeps the set it has.
CharsetLoad loadCharsetRom(const std::string& path);

// Why a file of this size is not a character ROM: "C64Screen: The character ROM file
// <path> has <size> bytes; a character ROM has 4096 bytes."
std::string charsetRomSizeMessage(const std::string& path, std::uintmax_t size);

// All 512 glyphs as one two-colour picture for looking them over: 32 glyphs per line,
// Upper/Graphics in the top 8 lines and Upper/Lower in the bottom 8, each glyph in a
// 10 x 10 cell (2 pixels of space around it) and a 6-pixel gap between the sets. Set
// pixels are palette[1], clear ones palette[0].
Image1 charsetChart(const Charset& charset, std::uint32_t clearColour, std::uint32_t setColour);

}  // namespace qv
