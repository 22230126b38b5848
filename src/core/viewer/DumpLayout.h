#pragma once

// The dump layout of the file viewer: a byte sequence as a hex dump (offset, hex
// digits, characters; 16 bytes a row) or as a run of characters, each row once as
// code page 437 text for the viewer's text and once as PETSCII for its C64 screen.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "viewer/Detokenizer.h"

namespace qv {

struct ViewerOptions;

struct DumpOptions {
    bool convertToChars = false;           // "Convert to Chars": characters instead of hex rows
    bool convertCharsToAscii = false;      // characters through asciiMap
    bool convertHexToAscii = false;        // hex digits of asciiMap's value instead of the byte's
    bool replaceReturn = false;            // character mode: every 0x0D ends a line
    CharMap asciiMap = identityCharMap();  // PETSCII to code page 437 (the listing's conversion)

    static DumpOptions fromViewer(const ViewerOptions& viewer, const CharMap& asciiMap);
};

struct DumpRow {
    std::string text;    // code page 437, no line end
    std::string screen;  // PETSCII with the screen's escape pairs (0x00 -> FF 80, 0xFF -> FF DE)
};

// The character a byte shows in a dump: with "Convert Chars to ASCII" its conversion,
// otherwise "." for 0x00, 0x09, 0x0A, 0x0B, 0x0D and 0xFF and the byte itself else.
std::uint8_t dumpDisplayChar(std::uint8_t b, const DumpOptions& options);

// The rows of a dump of the bytes. Offsets count from 0 at the first byte. A partial
// last hex row is filled up; a byte count that is a multiple of 16 gives no further
// row (an empty sequence none). Character mode always gives at least one row: the
// last line is written even when it is empty.
std::vector<DumpRow> dumpRows(std::span<const std::uint8_t> bytes, const DumpOptions& options);

}  // namespace qv
