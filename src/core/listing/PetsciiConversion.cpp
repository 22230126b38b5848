#include "listing/PetsciiConversion.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "screen/ScreenSink.h"
#include "settings/ListerOptions.h"
#include "support/GeosText.h"

namespace qv {
namespace {

// Screen code (0-127) to code page 437: the first half for Upper/Lower, the second for
// Upper/Graphics. Box lines, corners, tees, shades, half blocks, card suits, pi and a
// check mark stand in for the C64 graphics.
// clang-format off
constexpr std::array<std::uint8_t, 256> kConvertTable = {
    // Upper/Lower
    0x40, 0x61, 0x62, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69, 0x6A, 0x6B, 0x6C, 0x6D, 0x6E, 0x6F,
    0x70, 0x71, 0x72, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x5B, 0x9C, 0x5D, 0x18, 0x1B,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0xC4, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0xC5, 0xB0, 0xB3, 0xB1, 0x5C,
    0x20, 0xDD, 0xDC, 0xC4, 0x5F, 0xB3, 0xB1, 0xB3, 0xDC, 0x2F, 0xB3, 0xC3, 0xDA, 0xC0, 0xBF, 0xC4,
    0xDA, 0xC1, 0xC2, 0xB4, 0xB3, 0xDD, 0xDE, 0xC4, 0xDF, 0xDC, 0xFB, 0xBF, 0xC0, 0xD9, 0xD9, 0xB0,
    // Upper/Graphics
    0x40, 0x41, 0x42, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E, 0x4F,
    0x50, 0x51, 0x52, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x5B, 0x9C, 0x5D, 0x18, 0x1B,
    0x20, 0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x29, 0x2A, 0x2B, 0x2C, 0x2D, 0x2E, 0x2F,
    0x30, 0x31, 0x32, 0x33, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x3B, 0x3C, 0x3D, 0x3E, 0x3F,
    0xC4, 0x06, 0xB3, 0xC4, 0xC4, 0xC4, 0xC4, 0xB3, 0xB3, 0xBF, 0xC0, 0xD9, 0xC0, 0x5C, 0x2F, 0xDA,
    0xBF, 0x07, 0xC4, 0x03, 0xB3, 0xDA, 0x58, 0x6F, 0x05, 0xB3, 0x04, 0xC5, 0xB0, 0xB3, 0xE3, 0x5C,
    0x20, 0xDD, 0xDC, 0xC4, 0x5F, 0xB3, 0xB1, 0xB3, 0xDC, 0x2F, 0xB3, 0xC3, 0xDA, 0xC0, 0xBF, 0xC4,
    0xDA, 0xC1, 0xC2, 0xB4, 0xB3, 0xDD, 0xDE, 0xC4, 0xDF, 0xDC, 0xD9, 0xBF, 0xC0, 0xD9, 0xD9, 0xB0,
};
// clang-format on

constexpr std::uint8_t kQuote = 0x22;
constexpr std::uint8_t kReturn = 13;
constexpr std::uint8_t kShiftedReturn = 141;
constexpr std::uint8_t kRvsOn = 18;
constexpr std::uint8_t kRvsOff = 146;
constexpr std::uint8_t kCursorRight = 29;
constexpr std::uint8_t kCursorLeft = 157;
constexpr std::uint8_t kDelete = 20;
constexpr std::size_t kLastColumn = 79;

// The screen editor's walk over one text.
class Interpreter {
  public:
    Interpreter(std::string* prefix, const InterpretOptions& options, ScreenSink* screen,
                const KeywordLookup& keywords)
        : header_(prefix == nullptr),
          prefixLength_(prefix ? prefix->size() : 0),
          options_(options),
          screen_(screen),
          keywords_(keywords) {}

    void feed(std::uint8_t c) {
        if (c == kQuote) {
            put(c);
            ++quotes_;
            if (header_ && quotes_ >= 2) {
                tokens_ = !tokens_;
            }
            return;
        }
        if ((c & 0x7F) >= 0x20) {
            put(c);  // printable, and 0xA0-0xFF are never control codes
            return;
        }
        const bool quoteMode = quotes_ % 2 == 1 || quotes_ == 0;
        if (!quoteMode) {
            if (tokens_ && c >= 0x80) {
                keyword(c);
                return;
            }
            switch (c) {
                case kReturn:
                case kShiftedReturn:
                case kRvsOff:
                    maskToEnd(false);
                    break;
                case kRvsOn:
                    maskToEnd(true);
                    break;
                case kCursorRight:
                    if (p_ < kMaxInterpretedLength) {
                        maskAt(column(), false);
                        put(' ');
                    }
                    break;
                case kDelete:
                case kCursorLeft:
                    backUp();
                    break;
                default:
                    break;  // other control codes do nothing on a listed line
            }
            return;
        }
        // In quote mode control codes print as symbols, except RETURN and DEL.
        if (c == kReturn || (c == kShiftedReturn && !tokens_)) {
            maskToEnd(false);
            ++quotes_;
        } else if (c == kShiftedReturn) {
            keyword(c);
        } else if (c == kDelete) {
            backUp();
        } else {
            put(c);
        }
    }

    void finish(std::string& text, std::string* prefix) const {
        text.assign(out_.data(), static_cast<std::size_t>(p_));
        if (prefix && prefix->size() > prefixLength_) {
            prefix->resize(prefixLength_);
        }
    }

  private:
    void put(std::uint8_t c) {
        if (p_ < kMaxInterpretedLength) {
            out_[static_cast<std::size_t>(p_++)] = static_cast<char>(c);
        }
    }

    void keyword(std::uint8_t c) {
        if (p_ >= kMaxInterpretedLength) {
            return;
        }
        std::string_view word;
        if (options_.displayBasicV2Tokens && keywords_) {
            word = keywords_(c);
        }
        if (word.empty()) {
            put(c);
            return;
        }
        for (char ch : word) {
            if (ch >= 'a' && ch <= 'z') {
                ch = static_cast<char>(ch - 'a' + 'A');
            }
            put(static_cast<std::uint8_t>(ch));
        }
    }

    void backUp() {
        if (p_ > 0) {
            --p_;
            if (header_ && p_ < 2) {
                maskAt(static_cast<std::size_t>(p_), true);
            }
        } else if (prefixLength_ > 0) {
            --prefixLength_;  // DEL at the start of a name eats into the block count
        }
    }

    // The column on the C64 line: the prefix, then the output so far.
    std::size_t column() const { return prefixLength_ + static_cast<std::size_t>(p_); }

    void maskToEnd(bool on) {
        if (screen_ && column() <= kLastColumn) {
            screen_->setReverse(static_cast<int>(column()), static_cast<int>(kLastColumn), on);
        }
    }

    void maskAt(std::size_t at, bool on) {
        if (screen_ && at <= kLastColumn) {
            screen_->setReverse(static_cast<int>(at), static_cast<int>(at), on);
        }
    }

    bool header_;
    std::size_t prefixLength_;
    const InterpretOptions& options_;
    ScreenSink* screen_;
    const KeywordLookup& keywords_;
    std::array<char, kMaxInterpretedLength> out_{};
    int p_ = 0;
    std::size_t quotes_ = 0;
    bool tokens_ = false;
};

}  // namespace

std::uint8_t convertChar(std::uint8_t c, CharMode mode, bool convertEverything) {
    const bool upperLower = mode == CharMode::UpperLower;
    if (c == 0xFF) {
        return upperLower ? 0xB1 : 0xE3;
    }
    std::uint8_t index = c;
    if (convertEverything || c < 0x20 || c >= 0x60) {
        if (c < 0x60) {
            index = c & 0x3F;
        } else if (c < 0x80) {
            index = c & 0x5F;
        } else {
            index = (c | 0x40) & 0x7F;
        }
    }
    return kConvertTable[(upperLower ? 0u : 128u) + index];
}

const PetsciiTable& petsciiTable(CharMode mode, bool convertEverything) {
    static const std::array<PetsciiTable, 4> tables = [] {
        std::array<PetsciiTable, 4> t{};
        for (int i = 0; i < 4; ++i) {
            const CharMode m = (i & 1) ? CharMode::UpperLower : CharMode::UpperGraphics;
            for (int c = 0; c < 256; ++c) {
                t[static_cast<std::size_t>(i)][static_cast<std::size_t>(c)] =
                    convertChar(static_cast<std::uint8_t>(c), m, (i & 2) != 0);
            }
        }
        return t;
    }();
    return tables[(mode == CharMode::UpperLower ? 1u : 0u) + (convertEverything ? 2u : 0u)];
}

void convertTextInto(std::string_view bytes, CharMode mode, bool convertEverything,
                     std::string& out) {
    const void* zero = std::memchr(bytes.data(), 0, bytes.size());
    if (zero != nullptr) {
        // The text ends at its first zero byte.
        bytes = bytes.substr(
            0, static_cast<std::size_t>(static_cast<const char*>(zero) - bytes.data()));
    }
    const PetsciiTable& table = petsciiTable(mode, convertEverything);
    out.resize(bytes.size());
    char* o = out.data();
    const auto* in = reinterpret_cast<const std::uint8_t*>(bytes.data());
    for (std::size_t i = 0; i < bytes.size(); ++i)
        o[i] = static_cast<char>(table[in[i]]);
}

std::string convertText(std::string_view bytes, CharMode mode, bool convertEverything) {
    std::string out;
    convertTextInto(bytes, mode, convertEverything, out);
    return out;
}

void interpretSpecialChars(std::string& text, std::string* prefix, const InterpretOptions& options,
                           ScreenSink* screen, const KeywordLookup& keywords) {
    // Most names hold no control code at all: every byte prints as it is, so the walk
    // would only copy them (keywords need a control-range byte after the quotes).
    const bool plain = std::all_of(text.begin(), text.end(), [](char c) {
        return (static_cast<std::uint8_t>(c) & 0x7F) >= 0x20;
    });
    if (plain) {
        if (text.size() > static_cast<std::size_t>(kMaxInterpretedLength)) {
            text.resize(static_cast<std::size_t>(kMaxInterpretedLength));
        }
        return;
    }
    Interpreter walk(prefix, options, screen, keywords);
    for (char c : text) {
        walk.feed(static_cast<std::uint8_t>(c));
    }
    walk.finish(text, prefix);
}

ConversionChoice chooseConversion(ListingTextKind kind, bool geos, const ListerOptions& options,
                                  CharMode mainMode) {
    ConversionChoice choice;
    choice.geosText = options.autoGeosConversion && geos &&
                      (kind == ListingTextKind::Entry || options.convertGeosDisknames);
    if (choice.geosText) {
        choice.upperLower = true;
        choice.mode = CharMode::UpperLower;
        return choice;
    }
    choice.interpret = options.interpretSpecialchars;
    choice.mode = mainMode;
    choice.upperLower = mainMode == CharMode::UpperLower;
    return choice;
}

void convertListingTextInto(const ConversionChoice& choice, std::string_view text,
                            std::string* prefix, const ListerOptions& options, ScreenSink* screen,
                            const KeywordLookup& keywords, ConvertedText& result) {
    if (choice.geosText) {
        // A zero byte would end the listing text for every reader of it.
        const auto end = text.find('\0');
        if (end != std::string_view::npos) {
            text = text.substr(0, end);
        }
        result.screen.assign(text);
        result.listing = convertGeosTextOem(text, geosTextOptions(options));
        return;
    }
    result.screen.assign(text);
    if (choice.interpret) {
        interpretSpecialChars(result.screen, prefix, {options.displayBasicV2Tokens}, screen,
                              keywords);
    }
    convertTextInto(result.screen, choice.mode, options.convertEverything, result.listing);
}

ConvertedText convertListingText(const ConversionChoice& choice, std::string_view text,
                                 std::string* prefix, const ListerOptions& options,
                                 ScreenSink* screen, const KeywordLookup& keywords) {
    ConvertedText result;
    convertListingTextInto(choice, text, prefix, options, screen, keywords, result);
    return result;
}

}  // namespace qv
