#include "support/CodePage.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <utility>

namespace qv {
namespace {

// Code page 437 as drawn on the PC screen.
constexpr std::array<char16_t, 256> kCp437 = {
    // 0x00-0x1F: the DOS glyphs of the control range
    0x0000, 0x263A, 0x263B, 0x2665, 0x2666, 0x2663, 0x2660, 0x2022,  //
    0x25D8, 0x25CB, 0x25D9, 0x2642, 0x2640, 0x266A, 0x266B, 0x263C,  //
    0x25BA, 0x25C4, 0x2195, 0x203C, 0x00B6, 0x00A7, 0x25AC, 0x21A8,  //
    0x2191, 0x2193, 0x2192, 0x2190, 0x221F, 0x2194, 0x25B2, 0x25BC,  //
    // 0x20-0x7F: ASCII, with the house at 0x7F
    0x0020, 0x0021, 0x0022, 0x0023, 0x0024, 0x0025, 0x0026, 0x0027,  //
    0x0028, 0x0029, 0x002A, 0x002B, 0x002C, 0x002D, 0x002E, 0x002F,  //
    0x0030, 0x0031, 0x0032, 0x0033, 0x0034, 0x0035, 0x0036, 0x0037,  //
    0x0038, 0x0039, 0x003A, 0x003B, 0x003C, 0x003D, 0x003E, 0x003F,  //
    0x0040, 0x0041, 0x0042, 0x0043, 0x0044, 0x0045, 0x0046, 0x0047,  //
    0x0048, 0x0049, 0x004A, 0x004B, 0x004C, 0x004D, 0x004E, 0x004F,  //
    0x0050, 0x0051, 0x0052, 0x0053, 0x0054, 0x0055, 0x0056, 0x0057,  //
    0x0058, 0x0059, 0x005A, 0x005B, 0x005C, 0x005D, 0x005E, 0x005F,  //
    0x0060, 0x0061, 0x0062, 0x0063, 0x0064, 0x0065, 0x0066, 0x0067,  //
    0x0068, 0x0069, 0x006A, 0x006B, 0x006C, 0x006D, 0x006E, 0x006F,  //
    0x0070, 0x0071, 0x0072, 0x0073, 0x0074, 0x0075, 0x0076, 0x0077,  //
    0x0078, 0x0079, 0x007A, 0x007B, 0x007C, 0x007D, 0x007E, 0x2302,  //
    // 0x80-0xFF
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7,  //
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5,  //
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9,  //
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192,  //
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA,  //
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB,  //
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  //
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  //
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  //
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  //
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  //
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  //
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4,  //
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229,  //
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248,  //
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,  //
};

// Windows-1252 positions 0x80-0x9F; everything else is Latin-1.
constexpr std::array<char16_t, 32> kWin1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,  //
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,  //
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  //
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,  //
};

// Code page 437 characters that Windows-1252 lacks, with the stand-in we write.
constexpr std::pair<std::uint8_t, char> kCp437To1252Nearest[] = {
    // glyphs of the control range
    {0x01, 'O'},
    {0x02, 'O'},
    {0x03, '*'},
    {0x04, '*'},
    {0x05, '*'},
    {0x06, '*'},
    {0x08, '#'},
    {0x0B, '*'},
    {0x0C, '*'},
    {0x0E, '*'},
    {0x0F, '*'},
    {0x10, '>'},
    {0x11, '<'},
    {0x12, '|'},
    {0x13, '!'},
    {0x16, '-'},
    {0x17, '|'},
    {0x18, '^'},
    {0x19, 'v'},
    {0x1A, '>'},
    {0x1B, '<'},
    {0x1C, 'L'},
    {0x1D, '-'},
    {0x1E, '^'},
    {0x1F, 'v'},
    {0x7F, '^'},
    // peseta and reversed not
    {0x9E, 'P'},
    {0xA9, static_cast<char>(0xAC)},
    // shades, blocks
    {0xB0, '#'},
    {0xB1, '#'},
    {0xB2, '#'},
    {0xDB, '#'},
    {0xDC, '_'},
    {0xDD, '|'},
    {0xDE, '|'},
    {0xDF, '-'},
    {0xFE, '#'},
    // box drawing
    {0xB3, '|'},
    {0xB4, '+'},
    {0xB5, '+'},
    {0xB6, '+'},
    {0xB7, '+'},
    {0xB8, '+'},
    {0xB9, '+'},
    {0xBA, '|'},
    {0xBB, '+'},
    {0xBC, '+'},
    {0xBD, '+'},
    {0xBE, '+'},
    {0xBF, '+'},
    {0xC0, '+'},
    {0xC1, '+'},
    {0xC2, '+'},
    {0xC3, '+'},
    {0xC4, '-'},
    {0xC5, '+'},
    {0xC6, '+'},
    {0xC7, '+'},
    {0xC8, '+'},
    {0xC9, '+'},
    {0xCA, '+'},
    {0xCB, '+'},
    {0xCC, '+'},
    {0xCD, '='},
    {0xCE, '+'},
    {0xCF, '+'},
    {0xD0, '+'},
    {0xD1, '+'},
    {0xD2, '+'},
    {0xD3, '+'},
    {0xD4, '+'},
    {0xD5, '+'},
    {0xD6, '+'},
    {0xD7, '+'},
    {0xD8, '+'},
    {0xD9, '+'},
    {0xDA, '+'},
    // Greek and mathematics
    {0xE0, 'a'},
    {0xE2, 'G'},
    {0xE3, 'p'},
    {0xE4, 'S'},
    {0xE5, 's'},
    {0xE7, 't'},
    {0xE8, 'F'},
    {0xE9, 'T'},
    {0xEA, 'O'},
    {0xEB, 'd'},
    {0xEC, '8'},
    {0xED, 'f'},
    {0xEE, 'e'},
    {0xEF, 'n'},
    {0xF0, '='},
    {0xF2, '>'},
    {0xF3, '<'},
    {0xF4, '('},
    {0xF5, ')'},
    {0xF7, '~'},
    {0xF9, static_cast<char>(0xB7)},
    {0xFB, 'v'},
    {0xFC, 'n'},
};

// Unicode characters outside code page 437 and Windows-1252 that have a plain ASCII
// look-alike.
constexpr std::pair<char16_t, char> kNearestAscii[] = {
    {0x00A4, '?'},  {0x00A6, '|'},  {0x00A8, '"'},  {0x00A9, 'c'}, {0x00AD, '-'},  {0x00AE, 'r'},
    {0x00AF, '-'},  {0x00B3, '3'},  {0x00B4, '\''}, {0x00B8, ','}, {0x00B9, '1'},  {0x00BE, '?'},
    {0x00D7, 'x'},  {0x0152, 'O'},  {0x0153, 'o'},  {0x0160, 'S'}, {0x0161, 's'},  {0x0178, 'Y'},
    {0x017D, 'Z'},  {0x017E, 'z'},  {0x02C6, '^'},  {0x02DC, '~'}, {0x2002, ' '},  {0x2003, ' '},
    {0x2007, ' '},  {0x2008, ' '},  {0x2009, ' '},  {0x200A, ' '}, {0x2010, '-'},  {0x2011, '-'},
    {0x2012, '-'},  {0x2013, '-'},  {0x2014, '-'},  {0x2015, '-'}, {0x2018, '\''}, {0x2019, '\''},
    {0x201A, '\''}, {0x201B, '\''}, {0x201C, '"'},  {0x201D, '"'}, {0x201E, '"'},  {0x201F, '"'},
    {0x2020, '+'},  {0x2021, '+'},  {0x2026, '.'},  {0x202F, ' '}, {0x2030, '%'},  {0x2032, '\''},
    {0x2033, '"'},  {0x2039, '<'},  {0x203A, '>'},  {0x20AC, 'E'}, {0x2122, 'T'},  {0x2212, '-'},
};

// Latin-1 letters U+00C0-U+00FF without their accents.
constexpr std::string_view kLatin1Base =
    "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYTsaaaaaaaceeeeiiiidnooooo/ouuuuyty";

struct ReverseEntry {
    char32_t code;
    std::uint8_t byte;
};

// code -> byte for the upper and control parts of a table, sorted by code.
template <typename Fill>
std::array<ReverseEntry, 256> makeReverse(Fill fill) {
    std::array<ReverseEntry, 256> r{};
    for (int b = 0; b < 256; ++b) {
        r[static_cast<std::size_t>(b)] = {fill(static_cast<std::uint8_t>(b)),
                                          static_cast<std::uint8_t>(b)};
    }
    std::sort(r.begin(), r.end(), [](const ReverseEntry& a, const ReverseEntry& b) {
        return a.code < b.code || (a.code == b.code && a.byte < b.byte);
    });
    return r;
}

const std::array<ReverseEntry, 256>& cp437Reverse() {
    static const auto table = makeReverse([](std::uint8_t b) { return cp437ToUnicode(b); });
    return table;
}

const std::array<ReverseEntry, 256>& win1252Reverse() {
    static const auto table = makeReverse([](std::uint8_t b) { return windows1252ToUnicode(b); });
    return table;
}

std::optional<std::uint8_t> findExact(const std::array<ReverseEntry, 256>& table, char32_t c) {
    auto it = std::lower_bound(table.begin(), table.end(), c,
                               [](const ReverseEntry& e, char32_t v) { return e.code < v; });
    if (it != table.end() && it->code == c) {
        return it->byte;
    }
    return std::nullopt;
}

std::optional<char> nearestAscii(char32_t c) {
    if (c >= 0xC0 && c <= 0xFF) {
        return kLatin1Base[c - 0xC0];
    }
    for (const auto& [code, ch] : kNearestAscii) {
        if (code == c) {
            return ch;
        }
    }
    return std::nullopt;
}

std::array<std::uint8_t, 256> makeCp437To1252() {
    std::array<std::uint8_t, 256> t{};
    for (int b = 0; b < 256; ++b) {
        const auto byte = static_cast<std::uint8_t>(b);
        if (b == 0x00 || b == 0x09 || b == 0x0A || b == 0x0D) {
            t[byte] = byte;
            continue;
        }
        const auto exact = findExact(win1252Reverse(), cp437ToUnicode(byte));
        t[byte] = exact && *exact >= 0x20 ? *exact : static_cast<std::uint8_t>('?');
    }
    for (const auto& [from, to] : kCp437To1252Nearest) {
        t[from] = static_cast<std::uint8_t>(to);
    }
    return t;
}

const std::array<std::uint8_t, 256>& cp437To1252Table() {
    static const auto table = makeCp437To1252();
    return table;
}

}  // namespace

char32_t cp437ToUnicode(std::uint8_t byte) {
    return kCp437[byte];
}

char32_t windows1252ToUnicode(std::uint8_t byte) {
    if (byte >= 0x80 && byte < 0xA0) {
        return kWin1252High[byte - 0x80u];
    }
    return byte;
}

char32_t toUnicode(CodePage page, std::uint8_t byte) {
    return page == CodePage::Cp437 ? cp437ToUnicode(byte) : windows1252ToUnicode(byte);
}

std::uint8_t unicodeToCp437(char32_t c) {
    if (c < 0x80) {
        return static_cast<std::uint8_t>(c);
    }
    if (auto exact = findExact(cp437Reverse(), c)) {
        return *exact;
    }
    if (auto near = nearestAscii(c)) {
        return static_cast<std::uint8_t>(*near);
    }
    return '?';
}

std::uint8_t unicodeToWindows1252(char32_t c) {
    if (c < 0x80) {
        return static_cast<std::uint8_t>(c);
    }
    if (auto exact = findExact(win1252Reverse(), c)) {
        return *exact;
    }
    // Box drawing, shades and the other code page 437 glyphs take our stand-ins.
    if (auto inCp437 = findExact(cp437Reverse(), c)) {
        return cp437ToWindows1252(*inCp437);
    }
    if (auto near = nearestAscii(c)) {
        return static_cast<std::uint8_t>(*near);
    }
    return '?';
}

std::uint8_t fromUnicode(CodePage page, char32_t c) {
    return page == CodePage::Cp437 ? unicodeToCp437(c) : unicodeToWindows1252(c);
}

std::uint8_t cp437ToWindows1252(std::uint8_t byte) {
    return cp437To1252Table()[byte];
}

std::string cp437ToWindows1252(std::string_view text) {
    const auto& table = cp437To1252Table();
    std::string out(text.size(), '\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        out[i] = static_cast<char>(table[static_cast<std::uint8_t>(text[i])]);
    }
    return out;
}

void appendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        c = 0xFFFD;
    }
    if (c < 0x80) {
        out.push_back(static_cast<char>(c));
    } else if (c < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (c >> 6)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else if (c < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (c >> 12)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (c >> 18)));
        out.push_back(static_cast<char>(0x80 | ((c >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((c >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (c & 0x3F)));
    }
}

char32_t decodeUtf8(std::string_view text, std::size_t& pos) {
    const auto lead = static_cast<std::uint8_t>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t c = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2;
        c = lead & 0x1Fu;
        minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3;
        c = lead & 0x0Fu;
        minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4;
        c = lead & 0x07u;
        minimum = 0x10000;
    } else {
        ++pos;
        return 0xFFFD;
    }
    if (pos + static_cast<std::size_t>(length) > text.size()) {
        ++pos;
        return 0xFFFD;
    }
    for (int i = 1; i < length; ++i) {
        const auto cont = static_cast<std::uint8_t>(text[pos + static_cast<std::size_t>(i)]);
        if ((cont & 0xC0) != 0x80) {
            ++pos;
            return 0xFFFD;
        }
        c = (c << 6) | (cont & 0x3Fu);
    }
    if (c < minimum || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) {
        ++pos;
        return 0xFFFD;
    }
    pos += static_cast<std::size_t>(length);
    return c;
}

namespace {

// Every byte of code page 437 as its UTF-8 bytes, worked out once: the conversion of a
// whole listing is then one table lookup per byte.
struct Utf8Table {
    std::array<std::array<char, 3>, 256> bytes{};
    std::array<std::uint8_t, 256> length{};
};

const Utf8Table& cp437Utf8Table() {
    static const Utf8Table table = [] {
        Utf8Table t;
        for (int b = 0; b < 256; ++b) {
            const auto byte = static_cast<std::uint8_t>(b);
            std::string s;
            if (byte == 0x00)
                s = " ";
            else if (byte < 0x80 && byte >= 0x20 && byte != 0x7F)
                s = static_cast<char>(byte);
            else
                appendUtf8(s, cp437ToUnicode(byte));
            std::copy(s.begin(), s.end(), t.bytes[static_cast<std::size_t>(b)].begin());
            t.length[static_cast<std::size_t>(b)] = static_cast<std::uint8_t>(s.size());
        }
        return t;
    }();
    return table;
}

// Whether all eight bytes of w are printable ASCII (0x20-0x7E), which stay as they are.
bool printableAscii(std::uint64_t w) {
    constexpr std::uint64_t kOnes = 0x0101010101010101ull;
    const std::uint64_t atLeast20 = w + kOnes * 0x60;
    const std::uint64_t atLeast7F = w + kOnes * 0x01;
    return ((atLeast20 & ~atLeast7F & ~w) & (kOnes * 0x80)) == kOnes * 0x80;
}

}  // namespace

std::string cp437ToUtf8(std::string_view text, const Cp437DecodeOptions& options) {
    const Utf8Table& table = cp437Utf8Table();
    const auto* in = reinterpret_cast<const std::uint8_t*>(text.data());
    const std::size_t n = text.size();
    const auto isBreak = [&](std::size_t i) {
        return in[i] == 0x0D && i + 1 < n && in[i + 1] == '\n';
    };
    // The exact length first, so the text is written in one piece without growing: every
    // byte's glyph (printable ASCII eight at a time), then each CR LF pair as the line
    // break and each kept tab as one byte.
    std::size_t length = 0;
    std::size_t i = 0;
    for (std::uint64_t w = 0; i + 8 <= n; i += 8) {
        std::memcpy(&w, in + i, 8);
        if (printableAscii(w)) {
            length += 8;
        } else {
            for (std::size_t k = 0; k < 8; ++k)
                length += table.length[in[i + k]];
        }
    }
    for (; i < n; ++i)
        length += table.length[in[i]];
    for (const void* lf = n > 1 ? std::memchr(in + 1, '\n', n - 1) : nullptr; lf != nullptr;) {
        const auto at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(lf) - in);
        // A CR LF pair.
        if (in[at - 1] == 0x0D)
            length = length - table.length[0x0D] - table.length['\n'] + options.lineBreak.size();
        lf = at + 1 < n ? std::memchr(in + at + 1, '\n', n - at - 1) : nullptr;
    }
    if (options.keepTabs) {
        for (std::size_t k = 0; k < n; ++k) {
            if (in[k] == 0x09)
                length = length - table.length[0x09] + 1;
        }
    }
    std::string out(length, '\0');
    char* o = out.data();
    for (i = 0; i < n;) {
        if (i + 8 <= n) {
            std::uint64_t w = 0;
            std::memcpy(&w, in + i, 8);
            if (printableAscii(w)) {
                std::memcpy(o, &w, 8);
                o += 8;
                i += 8;
                continue;
            }
        }
        const std::uint8_t b = in[i];
        if (b >= 0x20 && b < 0x7F) {
            *o++ = static_cast<char>(b);
        } else if (isBreak(i)) {
            for (const char c : options.lineBreak)  // a byte or two: no call
                *o++ = c;
            ++i;
        } else if (b == 0x09 && options.keepTabs) {
            *o++ = '\t';
        } else {
            const auto& bytes = table.bytes[b];
            o = std::copy_n(bytes.begin(), table.length[b], o);
        }
        ++i;
    }
    return out;
}

std::string utf8ToCp437(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    bool afterCr = false;
    while (pos < text.size()) {
        const char32_t c = decodeUtf8(text, pos);
        if (c == '\n') {
            if (!afterCr) {
                out.push_back('\r');
            }
            out.push_back('\n');
        } else {
            out.push_back(static_cast<char>(unicodeToCp437(c)));
        }
        afterCr = c == '\r';
    }
    return out;
}

std::string windows1252ToUtf8(std::string_view text) {
    std::string out;
    for (char c : text)
        appendUtf8(out, windows1252ToUnicode(static_cast<std::uint8_t>(c)));
    return out;
}

}  // namespace qv
