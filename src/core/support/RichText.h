#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "support/CodePage.h"
#include "support/Image.h"

namespace qv {

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;

// The base font of a document. The family is the RTF font family word ("modern" for
// fixed-pitch fonts, "swiss" for sans-serif ones), a hint for readers that lack the font.
struct RichFont {
    std::string name = "Courier New";
    double points = 10.0;
    std::string family = "modern";

    bool operator==(const RichFont&) const = default;
};

// Character formatting of a stretch of text. An empty field keeps what lies beneath,
// so ranges can be laid over each other; where nothing is set, the base font applies
// in the default colour without styles.
struct CharFormat {
    std::optional<Rgb> colour;
    std::optional<Rgb> background;
    std::optional<std::string> face;  // a font name other than the base font's
    std::optional<double> points;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;
    std::optional<bool> outline;
    std::optional<int> offset;  // points above (positive) or below the base line

    bool operator==(const CharFormat&) const = default;
};

// A formatted stretch [start, end) of the text, in bytes: a CR LF counts as two.
struct FormatRange {
    std::size_t start = 0;
    std::size_t end = 0;
    CharFormat format;

    bool operator==(const FormatRange&) const = default;
};

enum class ParagraphAlignment { Left, Centre, Right, Justified };
enum class TabAlignment { Left, Centre, Right, Decimal };
enum class LineSpacing { Single, OneAndHalf, Double };

struct TabStop {
    int position = 0;  // twips from the left edge of the text area
    TabAlignment alignment = TabAlignment::Left;

    bool operator==(const TabStop&) const = default;
};

// Paragraph layout, all distances in twips (1/20 point). The first line starts at
// leftIndent + firstLineIndent, the others at leftIndent.
struct ParagraphFormat {
    int leftIndent = 0;
    int firstLineIndent = 0;
    int rightIndent = 0;
    std::vector<TabStop> tabs;
    ParagraphAlignment alignment = ParagraphAlignment::Left;
    LineSpacing spacing = LineSpacing::Single;

    bool operator==(const ParagraphFormat&) const = default;
};

// A picture standing in the text in front of the byte at `position` (at the end of the
// text when position is its size). It takes no byte of the text.
struct RichPicture {
    std::size_t position = 0;
    Image32 image;
};

// A rich-text document as the program keeps it: 8-bit text with CR LF line ends in one
// code page (code page 437 for listings, Windows-1252 for GeoWrite documents),
// character formats laid over ranges of it in the order they were applied (a later
// range wins where they overlap), one base font, the layout of its paragraphs and
// the pictures in it. A paragraph is the text up to and including a CR LF (the text
// after the last one is the last paragraph).
struct RichDocument {
    std::string text;
    CodePage codePage = CodePage::Cp437;
    RichFont font;
    std::vector<FormatRange> ranges;
    // The format of paragraph i; paragraphs beyond the list have the default format.
    std::vector<ParagraphFormat> paragraphs;
    std::vector<RichPicture> pictures;  // in the order of their positions

    // Colours [start, end); the range is cut to the text, an empty range is ignored.
    void setColour(std::size_t start, std::size_t end, Rgb colour);
    // Lays a format over [start, end), cut to the text like setColour.
    void setFormat(std::size_t start, std::size_t end, const CharFormat& format);

    // The text cut into maximal stretches of equal format, in order, covering the
    // whole text (an empty text gives none).
    std::vector<FormatRange> runs() const;

    // The number of the paragraph that holds the byte at `position`.
    std::size_t paragraphAt(std::size_t position) const;
    // The format of paragraph i.
    const ParagraphFormat& paragraphFormat(std::size_t i) const;
};

}  // namespace qv
