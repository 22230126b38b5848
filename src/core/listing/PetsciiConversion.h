#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace qv {

class ScreenSink;
struct ListerOptions;

// The two character sets of the C64, chosen with "Upper/Graphics" and "Upper/Lower".
enum class CharMode { UpperGraphics, UpperLower };

// One PETSCII byte as a code page 437 byte of the listing. With convertEverything
// every byte is folded onto a screen code first; without it the bytes 0x20-0x5F
// index the table as they are.
std::uint8_t convertChar(std::uint8_t c, CharMode mode, bool convertEverything = true);

// convertChar for every byte value, one table per mode and option, built once.
using PetsciiTable = std::array<std::uint8_t, 256>;
const PetsciiTable& petsciiTable(CharMode mode, bool convertEverything);

// convertChar over the bytes, up to the first zero byte.
std::string convertText(std::string_view bytes, CharMode mode, bool convertEverything = true);
// The same into an existing string, reusing its storage.
void convertTextInto(std::string_view bytes, CharMode mode, bool convertEverything,
                     std::string& out);

// The BASIC V2 keyword of a token byte 0x80-0xCB, empty when the byte has none. The
// listing passes the token table's lookup.
using KeywordLookup = std::function<std::string_view(std::uint8_t)>;

// The longest line the interpretation produces: one 80-column C64 line.
inline constexpr int kMaxInterpretedLength = 80;

struct InterpretOptions {
    bool displayBasicV2Tokens = true;  // "Display BASIC V2 Tokens"
};

// Rewrites a disk header text (prefix == nullptr) or a name text (prefix = the
// block-count text in front of it) the way the C64 screen editor prints it: quote
// mode, reverse video on and off, RETURN, cursor right, DEL and cursor left (which
// eat into the prefix when the name has nothing left), and, in a header after its
// quotes, BASIC V2 keywords for the bytes 0x80-0x9F. The result holds at most 80
// characters of unconverted PETSCII; the prefix may come back shorter. The reverse
// mask of the next screen line is updated through the sink when there is one.
void interpretSpecialChars(std::string& text, std::string* prefix,
                           const InterpretOptions& options = {}, ScreenSink* screen = nullptr,
                           const KeywordLookup& keywords = {});

// Which conversion a text of the listing (and of the block map) gets.
enum class ListingTextKind { Header, Entry };

struct ConversionChoice {
    bool geosText = false;                    // the GEOS text conversion, nothing else
    bool interpret = false;                   // interpretSpecialChars before convertText
    bool upperLower = false;                  // character set of the C64 screen line
    CharMode mode = CharMode::UpperGraphics;  // mode of convertText
};

// geos: for a header, the GEOS disk test of the image; for an entry, whether the entry
// is a GEOS file. mainMode is the character set chosen in the main window.
ConversionChoice chooseConversion(ListingTextKind kind, bool geos, const ListerOptions& options,
                                  CharMode mainMode);

struct ConvertedText {
    std::string listing;  // code page 437 bytes for the listing
    std::string screen;   // interpreted, unconverted bytes for the C64 screen
};

// Applies a choice to a header text (prefix == nullptr) or a name text. GEOS text is
// taken up to its first zero byte, as convertText takes PETSCII. The caller sets the
// screen's character set and header look before and adds the screen line after.
ConvertedText convertListingText(const ConversionChoice& choice, std::string_view text,
                                 std::string* prefix, const ListerOptions& options,
                                 ScreenSink* screen = nullptr, const KeywordLookup& keywords = {});

// The same into an existing result, reusing its storage (the listing run converts
// every entry through one).
void convertListingTextInto(const ConversionChoice& choice, std::string_view text,
                            std::string* prefix, const ListerOptions& options, ScreenSink* screen,
                            const KeywordLookup& keywords, ConvertedText& result);

}  // namespace qv
