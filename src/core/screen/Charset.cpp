#include "screen/Charset.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace qv {

namespace detail {
extern const std::string_view kCharsetText[];
extern const std::size_t kCharsetTextCount;
}  // namespace detail

namespace {

constexpr std::string_view kSetNames[2] = {"Upper/Graphics", "Upper/Lower"};

std::string builtinText() {
    std::string text;
    for (std::size_t i = 0; i < detail::kCharsetTextCount; ++i) {
        text.append(detail::kCharsetText[i]);
    }
    return text;
}

// Splits the text into lines without their line ends (LF or CR LF).
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        lines.push_back(line);
        if (end == std::string_view::npos) {
            break;
        }
        text.remove_prefix(end + 1);
    }
    return lines;
}

std::string glyphName(int glyph) {
    char code[8];
    std::snprintf(code, sizeof code, "%03d", glyph & 0xFF);
    return std::string(kSetNames[glyph >> 8]) + " " + code;
}

// The header of glyph g starts with "<set> <code>:"; what follows describes the glyph.
bool matchHeader(std::string_view line, int glyph) {
    std::string expected = glyphName(glyph) + ":";
    return line.substr(0, expected.size()) == expected;
}

std::optional<Charset> parseText(std::string_view text, std::string* error) {
    auto fail = [&](std::size_t lineIndex, const std::string& what) -> std::optional<Charset> {
        if (error != nullptr) {
            *error = "line " + std::to_string(lineIndex + 1) + ": " + what;
        }
        return std::nullopt;
    };
    std::vector<std::string_view> lines = splitLines(text);
    Charset::Bytes bytes{};
    std::size_t i = 0;
    int glyph = 0;
    while (i < lines.size()) {
        std::string_view line = lines[i];
        if (line.empty() || line.front() == ';') {
            ++i;
            continue;
        }
        if (glyph == Charset::kGlyphs) {
            return fail(i, "text after the last glyph");
        }
        if (!matchHeader(line, glyph)) {
            return fail(i, "expected the header of " + glyphName(glyph) + ", found \"" +
                               std::string(line) + "\"");
        }
        for (int y = 0; y < 8; ++y) {
            std::size_t at = i + 1 + static_cast<std::size_t>(y);
            if (at >= lines.size()) {
                return fail(at, glyphName(glyph) + " has fewer than 8 rows");
            }
            std::string_view row = lines[at];
            if (row.size() != 8) {
                return fail(at, glyphName(glyph) + ": a row must be 8 characters of '#' or '.'");
            }
            std::uint8_t value = 0;
            for (int x = 0; x < 8; ++x) {
                char c = row[static_cast<std::size_t>(x)];
                if (c == '#') {
                    value = static_cast<std::uint8_t>(value | (0x80 >> x));
                } else if (c != '.') {
                    return fail(at,
                                glyphName(glyph) + ": a row must be 8 characters of '#' or '.'");
                }
            }
            bytes[static_cast<std::size_t>(glyph * 8 + y)] = value;
        }
        i += 9;
        ++glyph;
    }
    if (glyph != Charset::kGlyphs) {
        return fail(lines.size(), "only " + std::to_string(glyph) + " of 512 glyphs");
    }
    return Charset(bytes);
}

}  // namespace

const Charset& Charset::builtin() {
    static const Charset charset = [] {
        std::string error;
        std::optional<Charset> parsed = parseText(builtinText(), &error);
        if (!parsed) {
            // The asset is checked by the tests; should it ever be broken, the screen
            // shows empty glyphs rather than stopping the program.
            std::fprintf(stderr, "quorvane: built-in character set: %s\n", error.c_str());
            return Charset();
        }
        return *parsed;
    }();
    return charset;
}

std::optional<Charset> Charset::parse(std::string_view text, std::string* error) {
    return parseText(text, error);
}

std::string charsetRomSizeMessage(const std::string& path, std::uintmax_t size) {
    return "C64Screen: The character ROM file " + path + " has " + std::to_string(size) +
           " bytes; a character ROM has 4096 bytes.";
}

CharsetLoad loadCharsetRom(const std::string& path) {
    CharsetLoad result;
    std::error_code ec;
    std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) {
        result.message = "C64Screen: Cannot read the character ROM file " + path +
                         ", the built-in character set is used";
        return result;
    }
    if (size != Charset::kBytes) {
        result.message = charsetRomSizeMessage(path, size) + " The built-in character set is used";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    Charset::Bytes bytes{};
    if (!in.read(reinterpret_cast<char*>(bytes.data()),
                 static_cast<std::streamsize>(bytes.size())) ||
        in.peek() != std::char_traits<char>::eof()) {
        result.message = "C64Screen: Cannot read the character ROM file " + path +
                         ", the built-in character set is used";
        return result;
    }
    result.charset = Charset(bytes);
    return result;
}

Image1 charsetChart(const Charset& charset, std::uint32_t clearColour, std::uint32_t setColour) {
    constexpr int kPerLine = 32;
    constexpr int kCell = 10;
    constexpr int kSetGap = 6;
    constexpr int kLinesPerSet = 256 / kPerLine;
    Image1 chart(kPerLine * kCell + 2, 2 * kLinesPerSet * kCell + kSetGap + 2);
    chart.palette = {clearColour, setColour};
    for (int glyph = 0; glyph < Charset::kGlyphs; ++glyph) {
        int set = glyph / 256;
        int line = (glyph % 256) / kPerLine;
        int left = 2 + (glyph % kPerLine) * kCell;
        int top = 2 + (set * kLinesPerSet + line) * kCell + set * kSetGap;
        for (int y = 0; y < 8; ++y) {
            std::uint8_t bits = charset.row(glyph, y);
            for (int x = 0; x < 8; ++x) {
                chart.set(left + x, top + y, (bits & (0x80 >> x)) != 0);
            }
        }
    }
    return chart;
}

}  // namespace qv
