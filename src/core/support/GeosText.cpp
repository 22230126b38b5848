#include "support/GeosText.h"

namespace qv {
namespace {

enum class Letter { Umlaut, Eszett, Paragraph };

struct GeosLetter {
    char key;
    Letter option;
    std::uint8_t windows1252;
    std::uint8_t listingOem;
};

// The German letters of GEOS text: key, the option that enables it, and its code in
// both character sets.
constexpr GeosLetter kLetters[] = {
    {'[', Letter::Umlaut, 196, 142},   // Ä
    {'\\', Letter::Umlaut, 214, 153},  // Ö
    {']', Letter::Umlaut, 220, 154},   // Ü
    {'{', Letter::Umlaut, 228, 132},   // ä
    {'|', Letter::Umlaut, 246, 148},   // ö
    {'}', Letter::Umlaut, 252, 129},   // ü
    {'~', Letter::Eszett, 223, 225},   // ß
    // The listing's code page is 437, whose section sign is 0x15 (code page 850 has it at
    // 245, which code page 437 shows as the lower half of an integral sign).
    {'@', Letter::Paragraph, 167, 0x15},  // §
};

bool enabled(Letter letter, const GeosTextOptions& options) {
    switch (letter) {
        case Letter::Umlaut:
            return options.umlaute;
        case Letter::Eszett:
            return options.eszett;
        case Letter::Paragraph:
            return options.paragraph;
    }
    return false;
}

std::string convert(std::string_view bytes, const GeosTextOptions& options, GeosTextTarget target) {
    std::string out(bytes.size(), '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        out[i] = static_cast<char>(
            convertGeosChar(static_cast<std::uint8_t>(bytes[i]), options, target));
    }
    return out;
}

}  // namespace

std::uint8_t convertGeosChar(std::uint8_t byte, const GeosTextOptions& options,
                             GeosTextTarget target) {
    if (byte == 13 || byte == 127) {
        return ' ';
    }
    for (const auto& letter : kLetters) {
        if (static_cast<std::uint8_t>(letter.key) == byte) {
            if (!enabled(letter.option, options)) {
                return byte;
            }
            return target == GeosTextTarget::Windows1252 ? letter.windows1252 : letter.listingOem;
        }
    }
    return byte;
}

std::string convertGeosText(std::string_view bytes, const GeosTextOptions& options) {
    return convert(bytes, options, GeosTextTarget::Windows1252);
}

std::string convertGeosTextOem(std::string_view bytes, const GeosTextOptions& options) {
    return convert(bytes, options, GeosTextTarget::ListingOem);
}

}  // namespace qv
