#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/RichText.h"

namespace qv {

// The colour of disk header lines, for the reverse video of the C64 header.
inline constexpr Rgb kHeaderColour = 0x0000FF;

// The listing as a rich-text document: the text buffer (code page 437, CR LF) with
// every header mark [start, end) in blue, in the listing font.
RichDocument listingDocument(std::string text,
                             const std::vector<std::pair<std::size_t, std::size_t>>& headerMarks,
                             const RichFont& font);

// The first maxText bytes of a listing file; a rich-text file is closed again with
// "\par }" and CR LF, so that the cut document still ends its group.
std::string truncatedListingFile(std::string_view bytes, std::size_t maxText);

// A listing file read back: rich text when it begins with "{\rtf" (colours kept),
// otherwise plain code page 437 text. A plain text with a UTF-8 byte-order mark is
// read as UTF-8. Line ends of plain text become CR LF, as the listing window keeps
// them.
RichDocument readListingFile(std::string_view bytes);

}  // namespace qv
