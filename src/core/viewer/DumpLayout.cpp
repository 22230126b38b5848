#include "viewer/DumpLayout.h"

#include <algorithm>

#include "viewer/ViewerOptions.h"

namespace qv {
namespace {

constexpr char kHex[] = "0123456789ABCDEF";

void appendHex(std::string& s, unsigned value, int digits) {
    for (int d = digits - 1; d >= 0; --d)
        s.push_back(kHex[(value >> (4 * d)) & 0xF]);
}

// The screen receives the raw byte; the two bytes it cannot take as they are travel
// as escape pairs.
void appendScreenByte(std::string& s, std::uint8_t b) {
    if (b == 0x00) {
        s.push_back(static_cast<char>(0xFF));
        s.push_back(static_cast<char>(0x80));
    } else if (b == 0xFF) {
        s.push_back(static_cast<char>(0xFF));
        s.push_back(static_cast<char>(0xDE));
    } else {
        s.push_back(static_cast<char>(b));
    }
}

}  // namespace

DumpOptions DumpOptions::fromViewer(const ViewerOptions& viewer, const CharMap& asciiMap) {
    DumpOptions o;
    o.convertToChars = viewer.convertToChars;
    o.convertCharsToAscii = viewer.convertCharsToAscii;
    o.convertHexToAscii = viewer.convertHexToAscii;
    o.replaceReturn = viewer.replaceReturn;
    o.asciiMap = asciiMap;
    return o;
}

std::uint8_t dumpDisplayChar(std::uint8_t b, const DumpOptions& options) {
    if (options.convertCharsToAscii)
        return options.asciiMap[b];
    switch (b) {
        case 0x00:
        case 0x09:
        case 0x0A:
        case 0x0B:
        case 0x0D:
        case 0xFF:
            return '.';
        default:
            return b;
    }
}

std::vector<DumpRow> dumpRows(std::span<const std::uint8_t> bytes, const DumpOptions& options) {
    std::vector<DumpRow> rows;
    if (options.convertToChars) {
        DumpRow row;
        for (const std::uint8_t b : bytes) {
            if (options.replaceReturn && b == 0x0D) {
                rows.push_back(std::move(row));
                row = {};
                continue;
            }
            row.text.push_back(static_cast<char>(dumpDisplayChar(b, options)));
            appendScreenByte(row.screen, b);
        }
        rows.push_back(std::move(row));
        return rows;
    }
    rows.reserve((bytes.size() + 15) / 16);
    for (std::size_t start = 0; start < bytes.size(); start += 16) {
        const std::size_t count = std::min<std::size_t>(16, bytes.size() - start);
        DumpRow row;
        row.text.reserve(72);
        appendHex(row.text, static_cast<unsigned>(start), 5);
        row.text += "  ";
        row.screen = row.text;
        for (std::size_t i = 0; i < 16; ++i) {
            if (i < count) {
                const std::uint8_t b = bytes[start + i];
                appendHex(row.text, options.convertHexToAscii ? options.asciiMap[b] : b, 2);
                appendHex(row.screen, b, 2);
                row.text.push_back(' ');
                row.screen.push_back(' ');
            } else {
                row.text += "   ";
                row.screen += "   ";
            }
        }
        row.text.push_back(' ');
        row.screen.push_back(' ');
        for (std::size_t i = 0; i < 16; ++i) {
            if (i < count) {
                const std::uint8_t b = bytes[start + i];
                row.text.push_back(static_cast<char>(dumpDisplayChar(b, options)));
                appendScreenByte(row.screen, b);
            } else {
                row.text.push_back(' ');
                row.screen.push_back(' ');
            }
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace qv
