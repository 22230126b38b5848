#include "support/RtfWriter.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "support/Wmf.h"

namespace qv {
namespace {

void appendHex(std::string& out, std::uint8_t byte) {
    static constexpr char kDigits[] = "0123456789abcdef";
    out += "\\'";
    out.push_back(kDigits[byte >> 4]);
    out.push_back(kDigits[byte & 0x0F]);
}

// \uN takes a signed 16-bit number; characters beyond the BMP go as a surrogate pair.
void appendUnicode(std::string& out, char32_t c, std::uint8_t fallback) {
    auto escape = [&](std::uint32_t unit) {
        out += "\\u";
        out += std::to_string(unit >= 0x8000 ? static_cast<long>(unit) - 0x10000
                                             : static_cast<long>(unit));
    };
    if (c >= 0x10000) {
        const std::uint32_t v = static_cast<std::uint32_t>(c) - 0x10000;
        escape(0xD800 + (v >> 10));
        out += "?";  // the fallback stands once for the pair
        escape(0xDC00 + (v & 0x3FF));
    } else {
        escape(static_cast<std::uint32_t>(c));
    }
    appendHex(out, fallback);
}

void appendFontName(std::string& out, const std::string& name) {
    for (char ch : name) {
        const auto b = static_cast<std::uint8_t>(ch);
        if (ch == '\\' || ch == '{' || ch == '}' || ch == ';' || b < 0x20 || b >= 0x80) {
            appendHex(out, b);
        } else {
            out.push_back(ch);
        }
    }
}

// The character state the body has switched to: indexes into the font and colour
// tables, sizes in half points. A run is written as the words that change it.
struct CharState {
    int font = 0;
    long halfPoints = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool outline = false;
    long offsetHalfPoints = 0;
    int colour = 0;
    int background = 0;

    bool operator==(const CharState&) const = default;
};

int indexOf(std::vector<std::string>& names, const std::string& name) {
    auto it = std::find(names.begin(), names.end(), name);
    if (it == names.end()) {
        names.push_back(name);
        return static_cast<int>(names.size()) - 1;
    }
    return static_cast<int>(it - names.begin());
}

int colourIndex(std::vector<Rgb>& colours, Rgb colour) {
    auto it = std::find(colours.begin(), colours.end(), colour);
    if (it == colours.end()) {
        colours.push_back(colour);
        return static_cast<int>(colours.size());
    }
    return static_cast<int>(it - colours.begin()) + 1;
}

long halfPointsOf(double points) {
    return std::max(1L, std::lround(points * 2.0));
}

void appendChange(std::string& out, const CharState& from, const CharState& to) {
    const std::size_t before = out.size();
    auto flag = [&](bool was, bool is, const char* on, const char* off) {
        if (was != is) {
            out += is ? on : off;
        }
    };
    if (from.font != to.font) {
        out += "\\f" + std::to_string(to.font);
    }
    if (from.halfPoints != to.halfPoints) {
        out += "\\fs" + std::to_string(to.halfPoints);
    }
    flag(from.bold, to.bold, "\\b", "\\b0");
    flag(from.italic, to.italic, "\\i", "\\i0");
    flag(from.underline, to.underline, "\\ul", "\\ulnone");
    flag(from.outline, to.outline, "\\outl", "\\outl0");
    if (from.offsetHalfPoints != to.offsetHalfPoints) {
        if (to.offsetHalfPoints > 0) {
            out += "\\up" + std::to_string(to.offsetHalfPoints);
        } else if (to.offsetHalfPoints < 0) {
            out += "\\dn" + std::to_string(-to.offsetHalfPoints);
        } else {
            out += "\\up0";
        }
    }
    if (from.colour != to.colour) {
        out += "\\cf" + std::to_string(to.colour);
    }
    if (from.background != to.background) {
        out += "\\highlight" + std::to_string(to.background);
    }
    if (out.size() != before) {
        out += ' ';
    }
}

void appendParagraphFormat(std::string& out, const ParagraphFormat& p) {
    if (p.leftIndent != 0) {
        out += "\\li" + std::to_string(p.leftIndent);
    }
    if (p.firstLineIndent != 0) {
        out += "\\fi" + std::to_string(p.firstLineIndent);
    }
    if (p.rightIndent != 0) {
        out += "\\ri" + std::to_string(p.rightIndent);
    }
    switch (p.alignment) {
        case ParagraphAlignment::Left:
            break;
        case ParagraphAlignment::Centre:
            out += "\\qc";
            break;
        case ParagraphAlignment::Right:
            out += "\\qr";
            break;
        case ParagraphAlignment::Justified:
            out += "\\qj";
            break;
    }
    switch (p.spacing) {
        case LineSpacing::Single:
            break;
        case LineSpacing::OneAndHalf:
            out += "\\sl360\\slmult1";
            break;
        case LineSpacing::Double:
            out += "\\sl480\\slmult1";
            break;
    }
    // Readers want the stops in ascending order, each position once.
    std::vector<TabStop> tabs = p.tabs;
    std::stable_sort(tabs.begin(), tabs.end(),
                     [](const TabStop& a, const TabStop& b) { return a.position < b.position; });
    int last = -1;
    for (const TabStop& tab : tabs) {
        if (tab.position <= last) {
            continue;
        }
        last = tab.position;
        switch (tab.alignment) {
            case TabAlignment::Left:
                break;
            case TabAlignment::Centre:
                out += "\\tqc";
                break;
            case TabAlignment::Right:
                out += "\\tqr";
                break;
            case TabAlignment::Decimal:
                out += "\\tqdec";
                break;
        }
        out += "\\tx" + std::to_string(tab.position);
    }
}

// A picture as a metafile group. Sizes assume a screen of 96 pixels per inch, as the
// pictures are drawn for one.
void appendPicture(std::string& out, const Image32& image) {
    const std::vector<std::uint8_t> wmf = encodeWmf(image);
    if (wmf.empty()) {
        return;
    }
    constexpr long kPixelsPerInch = 96;
    auto scaled = [](int pixels, long perInch) {
        return std::lround(static_cast<double>(pixels) * static_cast<double>(perInch) /
                           static_cast<double>(kPixelsPerInch)) -
               1;
    };
    out += "{\\pict\\wmetafile8\\picw" + std::to_string(scaled(image.width, 2540)) + "\\pich" +
           std::to_string(scaled(image.height, 2540)) + "\\picwgoal" +
           std::to_string(scaled(image.width, 1440)) + "\\pichgoal" +
           std::to_string(scaled(image.height, 1440)) + " ";
    static constexpr char kDigits[] = "0123456789ABCDEF";
    for (std::size_t i = 0; i < wmf.size(); ++i) {
        if (i % 64 == 0) {
            out += "\r\n";
        }
        out.push_back(kDigits[wmf[i] >> 4]);
        out.push_back(kDigits[wmf[i] & 0x0F]);
    }
    out += "}";
}

}  // namespace

std::string writeRtf(const RichDocument& doc) {
    const auto runs = doc.runs();
    const long baseHalfPoints = halfPointsOf(doc.font.points);
    std::vector<std::string> fonts{doc.font.name};
    std::vector<Rgb> colours;
    std::vector<CharState> runState(runs.size());
    for (std::size_t r = 0; r < runs.size(); ++r) {
        const CharFormat& f = runs[r].format;
        CharState& st = runState[r];
        st.halfPoints = f.points ? halfPointsOf(*f.points) : baseHalfPoints;
        if (f.face && *f.face != doc.font.name) {
            st.font = indexOf(fonts, *f.face);
        }
        st.bold = f.bold.value_or(false);
        st.italic = f.italic.value_or(false);
        st.underline = f.underline.value_or(false);
        st.outline = f.outline.value_or(false);
        st.offsetHalfPoints = 2L * f.offset.value_or(0);
        if (f.colour) {
            st.colour = colourIndex(colours, *f.colour);
        }
        if (f.background) {
            st.background = colourIndex(colours, *f.background);
        }
    }

    std::string out;
    out.reserve(doc.text.size() + doc.text.size() / 4 + 256);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n";
    out += "{\\fonttbl";
    for (std::size_t f = 0; f < fonts.size(); ++f) {
        out += "{\\f" + std::to_string(f) + "\\f" + (f == 0 ? doc.font.family : "nil") +
               "\\fcharset0 ";
        appendFontName(out, fonts[f]);
        out += ";}";
    }
    out += "}\r\n";
    out += "{\\colortbl ;";
    for (Rgb colour : colours) {
        out += "\\red" + std::to_string((colour >> 16) & 0xFF) + "\\green" +
               std::to_string((colour >> 8) & 0xFF) + "\\blue" + std::to_string(colour & 0xFF) +
               ";";
    }
    out += "}\r\n";
    out += "\\viewkind4\\pard\\plain\\f0\\fs" + std::to_string(baseHalfPoints) + " ";

    const ParagraphFormat* paragraphShown = nullptr;
    std::size_t paragraph = 0;
    auto startParagraph = [&] {
        if (doc.paragraphs.empty()) {
            return;
        }
        const ParagraphFormat& wanted = doc.paragraphFormat(paragraph);
        if (paragraphShown && *paragraphShown == wanted) {
            return;
        }
        const std::size_t before = out.size();
        if (paragraphShown) {
            out += "\\pard";
        }
        appendParagraphFormat(out, wanted);
        if (out.size() != before) {
            out += ' ';
        }
        paragraphShown = &wanted;
    };
    startParagraph();

    const std::string& text = doc.text;
    const CharState base{0, baseHalfPoints};
    CharState current = base;
    std::size_t run = 0;
    std::size_t picture = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        while (picture < doc.pictures.size() && doc.pictures[picture].position <= i) {
            appendPicture(out, doc.pictures[picture++].image);
        }
        while (run + 1 < runs.size() && runs[run].end <= i) {
            ++run;
        }
        if (!runs.empty() && runState[run] != current) {
            appendChange(out, current, runState[run]);
            current = runState[run];
        }
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (b == 0x0D && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\\par\r\n";
            ++i;
            ++paragraph;
            startParagraph();
        } else if (b == '\\' || b == '{' || b == '}') {
            out.push_back('\\');
            out.push_back(static_cast<char>(b));
        } else if (b >= 0x20 && b < 0x7F) {
            out.push_back(static_cast<char>(b));
        } else if (doc.codePage == CodePage::Windows1252 && b == 0x09) {
            out += "\\tab ";
        } else {
            const char32_t c = toUnicode(doc.codePage, b);
            std::uint8_t fallback = doc.codePage == CodePage::Cp437 ? cp437ToWindows1252(b) : b;
            if (fallback < 0x20) {
                fallback = ' ';  // no control character as a stand-in
            }
            appendUnicode(out, c, fallback);
        }
    }
    while (picture < doc.pictures.size()) {
        appendPicture(out, doc.pictures[picture++].image);
    }
    out += "}\r\n";
    return out;
}

}  // namespace qv
