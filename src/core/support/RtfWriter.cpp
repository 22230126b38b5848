#include "support/RtfWriter.h"

#include <algorithm>
#include <cmath>
#include <vector>

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

}  // namespace

std::string writeRtf(const RichDocument& doc) {
    const auto runs = doc.runs();
    std::vector<Rgb> colours;
    std::vector<int> runColour(runs.size(), 0);
    for (std::size_t r = 0; r < runs.size(); ++r) {
        if (!runs[r].format.colour) {
            continue;
        }
        const Rgb colour = *runs[r].format.colour;
        std::size_t index = 0;
        while (index < colours.size() && colours[index] != colour) {
            ++index;
        }
        if (index == colours.size()) {
            colours.push_back(colour);
        }
        runColour[r] = static_cast<int>(index) + 1;
    }

    std::string out;
    out.reserve(doc.text.size() + doc.text.size() / 4 + 256);
    out += "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\r\n";
    out += "{\\fonttbl{\\f0\\fmodern\\fcharset0 ";
    appendFontName(out, doc.font.name);
    out += ";}}\r\n";
    out += "{\\colortbl ;";
    for (Rgb colour : colours) {
        out += "\\red" + std::to_string((colour >> 16) & 0xFF) + "\\green" +
               std::to_string((colour >> 8) & 0xFF) + "\\blue" + std::to_string(colour & 0xFF) +
               ";";
    }
    out += "}\r\n";
    const long halfPoints = std::max(1L, std::lround(doc.font.points * 2.0));
    out += "\\viewkind4\\pard\\plain\\f0\\fs" + std::to_string(halfPoints) + " ";

    const std::string& text = doc.text;
    int current = 0;
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        while (run + 1 < runs.size() && runs[run].end <= i) {
            ++run;
        }
        if (!runs.empty() && runColour[run] != current) {
            current = runColour[run];
            out += "\\cf" + std::to_string(current) + " ";
        }
        const auto b = static_cast<std::uint8_t>(text[i]);
        if (b == 0x0D && i + 1 < text.size() && text[i + 1] == '\n') {
            out += "\\par\r\n";
            ++i;
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
    out += "}\r\n";
    return out;
}

}  // namespace qv
