#pragma once

#include <optional>
#include <string_view>

#include "support/RichText.h"

namespace qv {

// True when the bytes begin with "{\rtf", the mark of a rich-text file.
bool looksLikeRtf(std::string_view bytes);

// Reads RTF into a document whose text is in the given code page: the files writeRtf
// makes and ordinary RTF text from word processors. Paragraphs (\par, \line) become
// CR LF, \tab a tab, text colours (\cf with the colour table) become ranges, and the
// font of the first character becomes the document's font. Escaped bytes (\'hh) are
// read in the document's ANSI code page, or taken as they are under an OEM, PC-437 or
// symbol font; Unicode escapes (\uN) skip their fallback characters (\ucN). Font,
// colour and style tables, document info, pictures, objects, headers, footers and
// every \* destination the reader does not know are skipped. A truncated or
// unbalanced file gives what was read up to its end. nullopt when the bytes do not
// begin with "{\rtf".
std::optional<RichDocument> readRtf(std::string_view rtf, CodePage target = CodePage::Cp437);

}  // namespace qv
