#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// The 8-bit character sets the program's texts are kept in. Listing text is code
// page 437 (the PC's OEM set, whose box-drawing and symbol glyphs stand in for the
// C64 graphics); GEOS texts for the catalogue are Windows-1252.
enum class CodePage { Cp437, Windows1252 };

// Code page 437 as the PC screen draws it: 0x01-0x1F and 0x7F are the DOS glyphs
// (smileys, card suits, arrows, the house), not control characters. 0x00 has no glyph
// and gives U+0000.
char32_t cp437ToUnicode(std::uint8_t byte);

// Windows-1252. The five unassigned positions (0x81, 0x8D, 0x8F, 0x90, 0x9D) give
// the C1 control of the same number, as Windows does.
char32_t windows1252ToUnicode(std::uint8_t byte);

char32_t toUnicode(CodePage page, std::uint8_t byte);

// A Unicode character as one byte of code page 437: its exact position when the code
// page has it (U+0001-U+001F give those bytes too), otherwise the nearest character
// (accents dropped, typographic quotes and dashes as ASCII), otherwise '?'.
std::uint8_t unicodeToCp437(char32_t c);

// The same for Windows-1252.
std::uint8_t unicodeToWindows1252(char32_t c);

std::uint8_t fromUnicode(CodePage page, char32_t c);

// One code page 437 byte as the nearest Windows-1252 byte: the same character where
// Windows-1252 has it, otherwise a close ASCII stand-in (box lines as + - | =, shades
// and blocks as #, arrows as < > ^ v). NUL, tab, line feed and carriage return stay.
std::uint8_t cp437ToWindows1252(std::uint8_t byte);

// A code page 437 text converted byte for byte with cp437ToWindows1252.
std::string cp437ToWindows1252(std::string_view text);

// UTF-8.
void appendUtf8(std::string& out, char32_t c);

// Decodes one character at pos and advances pos. A malformed or truncated sequence,
// an overlong form, a surrogate or a value above U+10FFFF yields U+FFFD and advances
// by one byte. pos must be below text.size().
char32_t decodeUtf8(std::string_view text, std::size_t& pos);

struct Cp437DecodeOptions {
    // A CR LF pair is a line break, written as lineBreak; a lone CR or LF shows its glyph.
    std::string_view lineBreak = "\n";
    // Tab bytes stay tabs instead of showing the circle glyph.
    bool keepTabs = false;
};

// A code page 437 text as UTF-8 for display and for UTF-8 files: every byte as its
// glyph, CR LF pairs as line breaks, 0x00 as a blank (the PC screen shows it empty).
std::string cp437ToUtf8(std::string_view text, const Cp437DecodeOptions& options = {});

// UTF-8 text to code page 437 with unicodeToCp437; a line feed (alone or after a CR)
// becomes CR LF.
std::string utf8ToCp437(std::string_view text);

// Windows-1252 text (GEOS names after the GEOS text conversion) as UTF-8.
std::string windows1252ToUtf8(std::string_view text);

}  // namespace qv
