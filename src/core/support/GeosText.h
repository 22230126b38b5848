#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace qv {

// GEOS keeps its texts (file names, class, author, description, GeoWrite text) in
// ASCII, with the brackets, braces, bar, tilde and at sign standing for German
// letters on German systems. These options choose which of them are shown as such.
struct GeosTextOptions {
    bool umlaute = true;    // [ \ ] { | }  as  Ä Ö Ü ä ö ü
    bool eszett = true;     // ~  as  ß
    bool paragraph = true;  // @  as  §
};

// The same mapping gives Windows-1252 codes (the GEOS catalogue) or the codes of the
// listing's OEM code page 437 (the umlauts and sharp s sit where code page 850 has
// them too; the section sign is 437's own 0x15).
enum class GeosTextTarget { Windows1252, ListingOem };

// One byte: CR and DEL become a blank, the German letters follow the options, every
// other byte stays.
std::uint8_t convertGeosChar(std::uint8_t byte, const GeosTextOptions& options,
                             GeosTextTarget target);

// Every byte of the text mapped on its own (a zero byte included).
std::string convertGeosText(std::string_view bytes, const GeosTextOptions& options = {});
std::string convertGeosTextOem(std::string_view bytes, const GeosTextOptions& options = {});

}  // namespace qv
