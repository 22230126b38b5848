#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/CodePage.h"

namespace qv {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

struct RichFont {
    std::string name = "Courier New";
    double points = 10.0;

    bool operator==(const RichFont&) const = default;
};

// Character formatting of a stretch of text. An empty field keeps what lies beneath,
// so ranges can be laid over each other (a colour now; weight, slant and font later).
struct CharFormat {
    std::optional<Rgb> colour;

    bool operator==(const CharFormat&) const = default;
};

// A formatted stretch [start, end) of the text, in bytes: a CR LF counts as two.
struct FormatRange {
    std::size_t start = 0;
    std::size_t end = 0;
    CharFormat format;

    bool operator==(const FormatRange&) const = default;
};

// A rich-text document as the program keeps it: 8-bit text with CR LF line ends in one
// code page (code page 437 for listings), character formats laid over ranges of it in
// the order they were applied (a later range wins where they overlap), and one font.
// The listing colours its header lines; the detokenizer colours keywords and numbers.
struct RichDocument {
    std::string text;
    CodePage codePage = CodePage::Cp437;
    RichFont font;
    std::vector<FormatRange> ranges;

    // Colours [start, end); the range is cut to the text, an empty range is ignored.
    void setColour(std::size_t start, std::size_t end, Rgb colour);

    // The text cut into maximal stretches of equal format, in order, covering the
    // whole text (an empty text gives none).
    std::vector<FormatRange> runs() const;
};

}  // namespace qv
