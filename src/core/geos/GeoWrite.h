#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "geos/GeosReader.h"
#include "support/RichText.h"

namespace qv {

class Dialogs;

// A GeoWrite document is a VLIR file whose class names a "Write Image". Version 1
// keeps pages in records 0-62, each starting with a ruler; version 2 keeps pages in
// records 0-60, the header in 61 and the footer in 62, and sets rulers with escapes.
// Further records hold the photo scraps the text shows.
inline constexpr int kGeoWritePageRecordsV1 = 63;
inline constexpr int kGeoWritePageRecordsV2 = 61;
inline constexpr int kGeoWriteHeaderRecord = 61;
inline constexpr int kGeoWriteFooterRecord = 62;
inline constexpr std::size_t kGeoWriteMaxPictures = 1000;

// The byte codes of the text stream.
inline constexpr std::uint8_t kGeoWriteTab = 9;
inline constexpr std::uint8_t kGeoWriteParagraphEnd = 13;
inline constexpr std::uint8_t kGeoWritePictureEscape = 16;  // + width, height (2), record
inline constexpr std::uint8_t kGeoWriteRulerEscape = 17;    // + 26 ruler bytes (version 2)
inline constexpr std::uint8_t kGeoWriteFontEscape = 23;     // + font word (2), style byte
inline constexpr std::uint8_t kGeoWriteCommodoreKey = 128;  // "C="

// Bits of the style byte of a font escape.
inline constexpr std::uint8_t kStyleSubscript = 0x02;
inline constexpr std::uint8_t kStyleSuperscript = 0x04;
inline constexpr std::uint8_t kStyleOutline = 0x08;
inline constexpr std::uint8_t kStyleItalic = 0x10;
inline constexpr std::uint8_t kStyleReverse = 0x20;
inline constexpr std::uint8_t kStyleBold = 0x40;
inline constexpr std::uint8_t kStyleUnderline = 0x80;

enum class GeoWriteLayout { Normal, Wide };

// How the document's class text is read: the version, the layout, the factor from
// GEOS page pixels (1/80 inch) to points and the width of the view in pixels.
struct GeoWriteFormat {
    int version = 2;
    GeoWriteLayout layout = GeoWriteLayout::Normal;
    double fontScale = 0.9;
    int viewWidth = 596;
};
GeoWriteFormat geoWriteFormat(const std::string& classText, bool scaleImage21);

// Where line breaks go around a picture: the "Scraps newline" setting is 1 both,
// 2 before, 3 after, anything else none.
enum class ScrapNewlines { Both, Before, After, None };
ScrapNewlines scrapNewlinesFromSetting(int value);

// The options of the GeoWrite window and the settings the conversion reads.
struct GeoWriteOptions {
    ScrapNewlines scrapNewlines = ScrapNewlines::Both;
    bool monochromeScraps = false;
    bool scaleImage21 = false;  // "Scale Image2.1 to Image2.0"
    bool pageNumbers = true;
    bool showPrintColours = false;  // "Show PrintText Colors"
    bool showFontId = false;
    bool useFontTable = false;  // "Use FontID Lookup Table"
    bool header = true;         // "Show Header" ticked
    bool footer = true;         // "Show Footer" ticked
    bool paperA4 = true;        // "A4"; otherwise "Letter"
    // Codes 0x80-0x86 and every other code, 0xRRGGBB.
    std::array<Rgb, 8> printColours{0x000000, 0xFF00FF, 0x00FFFF, 0x0000FF,
                                    0xFFFF00, 0xFF0000, 0x00FF00, 0x000000};
    bool hasFontTable = false;                           // the settings have [FontTable]
    std::vector<std::pair<int, std::string>> fontTable;  // sorted by font ID
};

// The font name a font ID gets through the table: its own entry, or the first entry's
// name when it has none; at most 31 characters. Empty for an empty table.
std::string fontNameForId(const std::vector<std::pair<int, std::string>>& table, int fontId);

// The page setup that follows the first "\pard\" of a saved document.
std::string_view pageSetupText(GeoWriteLayout layout, bool paperA4);
// The RTF with the page setup inserted right after its first "\pard\"; nullopt when
// there is none.
std::optional<std::string> insertPageSetup(std::string_view rtf, GeoWriteLayout layout,
                                           bool paperA4);

// The message of "Use FontID Lookup Table" and "Show FontID Lookup Table..." when the
// settings define no table, and the table as that dialog lists it (one "ID=name" line
// per entry).
std::string missingFontTableMessage();
std::string fontTableListing(const std::vector<std::pair<int, std::string>>& table);

// The GeoWrite window without its widgets: the document converted last, the options of
// its menu and what the ruler and the rich-text view need to show it.
class GeoWriteView {
  public:
    GeoWriteOptions options;

    // Converts the document: fileOffsetText is the catalogue's Fileoffset text, the
    // decimal offset of the index block and one blank after it when the document has a
    // title page. 0 on success, 1 after a failure; the document then holds what was
    // converted before it.
    int convertGeoWrite(GeosReaderContext& context, const std::string& imagePath,
                        const std::string& fileName, const std::string& fileOffsetText,
                        const std::string& classText);
    // Converts the stored document again (after a menu change). 1 when there is none.
    int convertAgain(GeosReaderContext& context);

    // Writes the document as RTF with the page setup of the layout and paper format,
    // through a complete copy that replaces the file. Failures are reported in the
    // error dialog; false then.
    bool saveGeoWriteRtf(Dialogs& dialogs, const std::string& path) const;

    const RichDocument& document() const { return document_; }
    // The indents and layout of paragraph i after a ruler marker was dropped; later
    // saves write it. False for a paragraph the document does not have.
    bool setParagraphFormat(std::size_t i, const ParagraphFormat& format);
    const std::string& caption() const { return caption_; }
    GeoWriteLayout layout() const { return format_.layout; }
    int version() const { return format_.version; }
    int viewWidth() const { return format_.viewWidth; }
    double fontScale() const { return fontScale_; }
    double rulerScale() const { return rulerScale_; }
    // "Show Header" and "Show Footer" can be ticked: the record exists.
    bool headerEnabled() const { return headerEnabled_; }
    bool footerEnabled() const { return footerEnabled_; }
    bool hasStoredDocument() const { return stored_.has_value(); }
    // The image of the stored document; empty when there is none.
    std::string storedImagePath() const { return stored_ ? stored_->imagePath : std::string(); }

    // Pixels per inch of the screen over 96; the scales follow it after a conversion.
    double screenScale = 1.0;
    // "Cancel" on the cards-repeater message of a scrap keeps it away for the session.
    bool cardsRepeaterMessageOff = false;

  private:
    struct Stored {
        std::string imagePath;
        std::string fileName;
        std::string fileOffsetText;
        std::string classText;
    };

    RichDocument document_;
    std::string caption_;
    GeoWriteFormat format_;
    double fontScale_ = 0.9;
    double rulerScale_ = 4.0 / 3.0;
    bool headerEnabled_ = false;
    bool footerEnabled_ = false;
    std::optional<Stored> stored_;
};

}  // namespace qv
