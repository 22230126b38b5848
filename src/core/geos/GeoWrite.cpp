#include "geos/GeoWrite.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <new>
#include <span>

#include "geos/GeosFile.h"
#include "geos/PhotoScrap.h"
#include "host/Dialogs.h"
#include "image/Chain.h"
#include "image/Geometry.h"
#include "settings/ListerOptions.h"
#include "support/Files.h"
#include "support/GeosText.h"
#include "support/RtfWriter.h"
#include "support/Text.h"

namespace qv {
namespace {

const char* const kModule = "GeoWrite";
const char* const kScrapFileName = "GeoWriteScrap";
// Where the table is explained: the README that comes with the program.
const char* const kFontTableHelpAddress = "the section \"GEOS font names\" of README.md";
constexpr std::size_t kRulerBytes = 26;
constexpr std::size_t kRulerV1Bytes = 20;
constexpr int kVlirPointers = 127;

// The whole part of a non-negative value, as the arithmetic of the rulers takes it.
int truncated(double value) {
    return static_cast<int>(value);
}

std::uint16_t word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | (bytes[at + 1] << 8));
}

int tenBits(std::uint16_t w) {
    return w & 0x3FF;
}

struct StyleRun {
    std::size_t start = 0;
    std::uint16_t fontWord = 0;
    std::uint8_t style = 0;
};

struct ColourRun {
    std::size_t start = 0;
    std::uint8_t code = 0;
};

struct PictureEntry {
    std::size_t position = 0;
    int record = 0;
};

// One conversion: the document being built and the lists that are applied at its end.
class Converter {
  public:
    Converter(GeosReaderContext& context, DiskImage& image, const std::string& fileName,
              const GeoWriteOptions& options, const GeoWriteFormat& format, double fontScale,
              bool& cardsRepeaterMessageOff)
        : context_(context),
          image_(image),
          fileName_(fileName),
          options_(options),
          format_(format),
          fontScale_(fontScale),
          cardsRepeaterMessageOff_(cardsRepeaterMessageOff),
          textOptions_(geosTextOptions(context.options)),
          coloursOn_(options.showPrintColours) {
        doc_.codePage = CodePage::Windows1252;
        doc_.font = RichFont{"Arial", 9.0, "swiss"};
    }

    // False after "Abort File".
    bool run(int indexOffset, bool titlePage, bool& headerEnabled, bool& footerEnabled);
    RichDocument take() { return std::move(doc_); }

  private:
    std::size_t position() const { return doc_.text.size() + pending_.size(); }
    void putParagraph();
    void startStyleRun(std::uint16_t fontWord, std::uint8_t style);
    void applyRulerV2(std::span<const std::uint8_t> ruler);
    void applyRulerV1(std::span<const std::uint8_t> ruler);
    void setIndents(int first, int others, int a, int d);
    void setTabs(std::span<const std::uint8_t> words);
    void addPicture(int record);
    // False after "Abort File".
    bool convertRecord(TrackSector first, bool versionOnePage);
    void processBytes(std::span<const std::uint8_t> data);
    void applyStyles();
    void applyColours();
    void insertPictures(const std::vector<TrackSector>& index);

    GeosReaderContext& context_;
    DiskImage& image_;
    const std::string& fileName_;
    const GeoWriteOptions& options_;
    const GeoWriteFormat& format_;
    double fontScale_;
    bool& cardsRepeaterMessageOff_;
    GeosTextOptions textOptions_;
    bool coloursOn_;

    RichDocument doc_;
    std::string pending_;
    ParagraphFormat paragraph_;
    std::vector<StyleRun> styles_;
    std::vector<ColourRun> colours_;
    std::vector<PictureEntry> pictures_;
    int lastShownFontId_ = -1;
};

void Converter::putParagraph() {
    pending_ += "\r\n";
    // Line breaks in the pending text make paragraphs of their own, all of this format.
    for (std::size_t i = 0; i + 1 < pending_.size(); ++i) {
        if (pending_[i] == '\r' && pending_[i + 1] == '\n')
            doc_.paragraphs.push_back(paragraph_);
    }
    doc_.text += pending_;
    pending_.clear();
}

void Converter::startStyleRun(std::uint16_t fontWord, std::uint8_t style) {
    std::size_t start = position();
    const int fontId = fontWord >> 6;
    if (options_.showFontId && fontId != lastShownFontId_) {
        char marker[16];
        std::snprintf(marker, sizeof marker, "{%04i}", fontId);
        pending_ += marker;
        lastShownFontId_ = fontId;
    }
    styles_.push_back({start, fontWord, style});
}

void Converter::setIndents(int first, int others, int a, int d) {
    paragraph_.leftIndent = 20 * others;
    paragraph_.firstLineIndent = 20 * (first - others);
    const int usable = truncated(format_.viewWidth * 0.75 + 0.5);
    paragraph_.rightIndent = a < d ? 20 * std::max(0, usable - d) : 0;
}

void Converter::setTabs(std::span<const std::uint8_t> words) {
    paragraph_.tabs.clear();
    for (std::size_t t = 0; t < 8; ++t) {
        const std::uint16_t w = word(words, 2 * t);
        const int points = truncated(tenBits(w) * fontScale_ + 0.5);
        paragraph_.tabs.push_back(
            {20 * points, (w & 0x8000) ? TabAlignment::Decimal : TabAlignment::Left});
    }
}

void Converter::applyRulerV2(std::span<const std::uint8_t> r) {
    const int a = truncated(tenBits(word(r, 0)) * fontScale_ + 0.5);
    const int d = truncated(tenBits(word(r, 2)) * fontScale_ + 10.5);
    const int f = truncated(tenBits(word(r, 20)) * fontScale_ + 0.5);
    const int first = f < d ? f : 0;
    const int others = a < d ? a : first;
    setIndents(first, others, a, d);
    setTabs(r.subspan(4, 16));
    static constexpr ParagraphAlignment kAlign[] = {
        ParagraphAlignment::Left, ParagraphAlignment::Centre, ParagraphAlignment::Right,
        ParagraphAlignment::Justified};
    paragraph_.alignment = kAlign[r[22] & 3];
    switch ((r[22] >> 2) & 3) {
        case 0:
            paragraph_.spacing = LineSpacing::Single;
            break;
        case 1:
            paragraph_.spacing = LineSpacing::OneAndHalf;
            break;
        case 2:
            paragraph_.spacing = LineSpacing::Double;
            break;
        default:
            break;  // the spacing stays as it was
    }
    if (r[23] != 0 && coloursOn_)
        colours_.push_back({position(), r[23]});
}

// Version 1 has no paragraph indent: every line of a paragraph starts at the left
// margin, and the alignment and spacing stay.
void Converter::applyRulerV1(std::span<const std::uint8_t> r) {
    const int a = truncated(tenBits(word(r, 0)) * fontScale_ + 0.5);
    const int d = truncated(tenBits(word(r, 2)) * fontScale_ + 10.5);
    const int first = a < d ? a : 0;
    setIndents(first, first, a, d);
    setTabs(r.subspan(4, 16));
}

void Converter::addPicture(int record) {
    const bool before = options_.scrapNewlines == ScrapNewlines::Both ||
                        options_.scrapNewlines == ScrapNewlines::Before;
    const bool after = options_.scrapNewlines == ScrapNewlines::Both ||
                       options_.scrapNewlines == ScrapNewlines::After;
    if (before)
        pending_ += "\r\n";
    if (pictures_.size() < kGeoWriteMaxPictures)
        pictures_.push_back({position(), record});
    if (after)
        pending_ += "\r\n";
}

void Converter::processBytes(std::span<const std::uint8_t> data) {
    const std::size_t size = data.size();
    std::size_t i = 0;
    while (i < size) {
        const std::uint8_t b = data[i++];
        if (b >= 32 && b <= 127) {
            pending_.push_back(
                static_cast<char>(convertGeosChar(b, textOptions_, GeosTextTarget::Windows1252)));
        } else if (b == kGeoWriteTab) {
            pending_.push_back('\t');
        } else if (b == kGeoWriteParagraphEnd) {
            putParagraph();
        } else if (b == kGeoWritePictureEscape) {
            if (size - i < 4)
                return;  // the record ends inside the escape
            addPicture(data[i + 3]);
            i += 4;
        } else if (b == kGeoWriteRulerEscape && format_.version == 2) {
            if (size - i < kRulerBytes)
                return;
            applyRulerV2(data.subspan(i, kRulerBytes));
            i += kRulerBytes;
        } else if (b == kGeoWriteFontEscape) {
            if (size - i < 3)
                return;
            startStyleRun(word(data, i), data[i + 2]);
            i += 3;
        } else if (b == kGeoWriteCommodoreKey) {
            pending_ += "C=";
        }
    }
}

bool Converter::convertRecord(TrackSector first, bool versionOnePage) {
    // The data of all blocks in chain order: an escape cut by a block end goes on with
    // the first bytes of the next block.
    const RecordData record = readRecord(image_, image_.dosType(), first);
    bool stop = false;
    if (record.end == ChainEnd::IllegalLink) {
        if (!askIllegalRecordLink(context_.dialogs, kModule, image_.path(), fileName_,
                                  record.badLink)) {
            return false;
        }
    }
    std::span<const std::uint8_t> data(record.data);
    if (versionOnePage) {
        if (data.size() < kRulerV1Bytes) {
            stop = true;
        } else {
            applyRulerV1(data.first(kRulerV1Bytes));
            data = data.subspan(kRulerV1Bytes);
        }
    }
    if (!stop)
        processBytes(data);
    if (!pending_.empty())
        putParagraph();
    return true;
}

bool Converter::run(int indexOffset, bool titlePage, bool& headerEnabled, bool& footerEnabled) {
    const int dosType = image_.dosType();
    const std::vector<TrackSector> index = readVlirIndex(image_, indexOffset, kVlirPointers);
    auto usable = [&](TrackSector ts) { return ts.track != 0 && blockOffset(ts, dosType) >= 0; };
    const bool v2 = format_.version == 2;
    headerEnabled = v2 && usable(index[kGeoWriteHeaderRecord]);
    footerEnabled = v2 && usable(index[kGeoWriteFooterRecord]);
    const bool useHeader = headerEnabled && options_.header;
    const bool useFooter = footerEnabled && options_.footer;
    const int pages = v2 ? kGeoWritePageRecordsV2 : kGeoWritePageRecordsV1;

    for (int p = 0; p < pages; ++p) {
        const TrackSector page = index[static_cast<std::size_t>(p)];
        if (page.track == 0)
            continue;
        if (blockOffset(page, dosType) < 0) {
            if (!askIllegalRecordPointer(context_.dialogs, kModule, image_.path(), fileName_, page,
                                         p + 1)) {
                return false;
            }
            continue;
        }
        paragraph_.leftIndent = 0;
        paragraph_.firstLineIndent = 0;
        paragraph_.rightIndent = 0;
        paragraph_.alignment = ParagraphAlignment::Left;
        if (options_.pageNumbers) {
            startStyleRun(9, 0);
            pending_ +=
                "\r\n\r\n------------page " + std::to_string(p + 1) + "--------------\r\n\r\n";
            putParagraph();
        }
        const bool framed = !(titlePage && p == 0);
        if (useHeader && framed) {
            if (!convertRecord(index[kGeoWriteHeaderRecord], false))
                return false;
            putParagraph();
        }
        if (!convertRecord(page, !v2))
            return false;
        if (useFooter && framed) {
            putParagraph();
            if (!convertRecord(index[kGeoWriteFooterRecord], false))
                return false;
        }
    }
    applyStyles();
    applyColours();
    insertPictures(index);
    return true;
}

void Converter::applyStyles() {
    const bool names = options_.useFontTable && !options_.fontTable.empty();
    for (std::size_t r = 0; r < styles_.size(); ++r) {
        const StyleRun& run = styles_[r];
        const std::size_t end = r + 1 < styles_.size() ? styles_[r + 1].start : doc_.text.size();
        CharFormat f;
        const int points = truncated((run.fontWord & 0x3F) * fontScale_ * 10.0 / 9.0 + 0.5);
        if (points > 0)
            f.points = points;  // a size of 0 keeps the base size rather than hiding the text
        if (names)
            f.face = fontNameForId(options_.fontTable, run.fontWord >> 6);
        f.bold = (run.style & kStyleBold) != 0;
        f.italic = (run.style & kStyleItalic) != 0;
        f.underline = (run.style & kStyleUnderline) != 0;
        f.outline = (run.style & kStyleOutline) != 0;
        f.offset = (run.style & kStyleSuperscript) ? 3 : (run.style & kStyleSubscript) ? -3 : 0;
        if (run.style & kStyleReverse) {
            f.colour = 0xFFFFFF;
            f.background = 0x000000;
        }
        doc_.setFormat(run.start, end, f);
    }
}

void Converter::applyColours() {
    if (!coloursOn_ || colours_.empty())
        return;
    auto colourOf = [&](std::uint8_t code) {
        return code >= 0x80 && code <= 0x86 ? options_.printColours[code - 0x80]
                                            : options_.printColours[7];
    };
    // Each run holds up to the next one; the last one up to the end of the text.
    for (std::size_t r = 0; r < colours_.size(); ++r) {
        const std::size_t end = r + 1 < colours_.size() ? colours_[r + 1].start : doc_.text.size();
        doc_.setColour(colours_[r].start, end, colourOf(colours_[r].code));
    }
    // Reversed text shows its print colour as background, in white.
    for (std::size_t r = 0; r < styles_.size(); ++r) {
        if (!(styles_[r].style & kStyleReverse))
            continue;
        const std::size_t start = styles_[r].start;
        const std::size_t end = r + 1 < styles_.size() ? styles_[r + 1].start : doc_.text.size();
        std::optional<Rgb> under;
        for (const ColourRun& c : colours_) {
            if (c.start <= start)
                under = colourOf(c.code);
        }
        if (!under)
            continue;  // no print colour here: it stays white on black
        CharFormat f;
        f.colour = 0xFFFFFF;
        f.background = *under;
        doc_.setFormat(start, end, f);
    }
}

void Converter::insertPictures(const std::vector<TrackSector>& index) {
    const int dosType = image_.dosType();
    for (const PictureEntry& entry : pictures_) {
        if (entry.position >= doc_.text.size())
            break;
        // Only the 127 pointers of the index block name records.
        if (entry.record >= kVlirPointers)
            continue;
        const TrackSector scrap = index[static_cast<std::size_t>(entry.record)];
        const int offset = scrap.track != 0 ? blockOffset(scrap, dosType) : -1;
        if (offset < 0)
            continue;
        const std::size_t paragraph = doc_.paragraphAt(entry.position);
        if (doc_.paragraphs.size() <= paragraph)
            doc_.paragraphs.resize(paragraph + 1);
        doc_.paragraphs[paragraph].alignment = ParagraphAlignment::Centre;
        std::optional<Image32> picture =
            readScrapPicture(context_, image_, kScrapFileName, offset, options_.monochromeScraps,
                             cardsRepeaterMessageOff_);
        if (picture)
            doc_.pictures.push_back({entry.position, std::move(*picture)});
    }
}

// The number of a Fileoffset text and whether a blank follows it (the title-page mark).
std::optional<std::pair<int, bool>> parseFileOffset(const std::string& text) {
    std::string digits = text;
    const bool titlePage = !digits.empty() && digits.back() == ' ';
    if (titlePage)
        digits.pop_back();
    if (digits.empty() || digits.size() > 9 ||
        !std::all_of(digits.begin(), digits.end(),
                     [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; })) {
        return std::nullopt;
    }
    return std::make_pair(std::stoi(digits), titlePage);
}

}  // namespace

GeoWriteFormat geoWriteFormat(const std::string& classText, bool scaleImage21) {
    const std::string cls = upperAscii(classText);
    GeoWriteFormat f;
    if (cls.find("V1") != std::string::npos) {
        f.version = 1;
    } else if (cls.find("V2.0") == std::string::npos) {
        if (scaleImage21) {
            f.fontScale = 0.675;
        } else {
            f.layout = GeoWriteLayout::Wide;
            f.viewWidth = 788;
        }
    }
    return f;
}

ScrapNewlines scrapNewlinesFromSetting(int value) {
    switch (value) {
        case 1:
            return ScrapNewlines::Both;
        case 2:
            return ScrapNewlines::Before;
        case 3:
            return ScrapNewlines::After;
        default:
            return ScrapNewlines::None;
    }
}

std::string fontNameForId(const std::vector<std::pair<int, std::string>>& table, int fontId) {
    if (table.empty())
        return {};
    auto it = std::lower_bound(table.begin(), table.end(), fontId,
                               [](const auto& entry, int id) { return entry.first < id; });
    const std::string& name =
        it != table.end() && it->first == fontId ? it->second : table.front().second;
    return name.substr(0, 31);
}

std::string_view pageSetupText(GeoWriteLayout layout, bool paperA4) {
    if (layout == GeoWriteLayout::Normal) {
        return paperA4 ? "margl1728\\margr1440\\margt720\\margb720\\paperw11909\\paperh16834\\"
                       : "margl1728\\margr1771\\margt720\\margb720\\paperw12240\\paperh15840\\";
    }
    return paperA4 ? "margl288\\margr000\\margt720\\margb720\\paperw11909\\paperh16834\\"
                   : "margl288\\margr317\\margt720\\margb720\\paperw12240\\paperh15840\\";
}

std::optional<std::string> insertPageSetup(std::string_view rtf, GeoWriteLayout layout,
                                           bool paperA4) {
    static constexpr std::string_view kMark = "\\pard\\";
    const std::size_t at = rtf.find(kMark);
    if (at == std::string_view::npos)
        return std::nullopt;
    const std::size_t cut = at + kMark.size();
    std::string out;
    out.reserve(rtf.size() + 80);
    out.append(rtf.substr(0, cut));
    out.append(pageSetupText(layout, paperA4));
    out.append(rtf.substr(cut));
    return out;
}

std::string missingFontTableMessage() {
    return std::string(
               "You haven't defined a FontID Lookup Table in your Quorvane.ini.\nPlease refer to "
               "the Quorvane doc and / or ") +
           kFontTableHelpAddress +
           "\nhow to setting up and configure the FontID Lookup Table.\nYou have to restart the "
           "Quorvane for changes to take effect.";
}

std::string fontTableListing(const std::vector<std::pair<int, std::string>>& table) {
    std::string out;
    for (const auto& [id, name] : table)
        out += std::to_string(id) + "=" + name + "\n";
    return out;
}

int GeoWriteView::convertGeoWrite(GeosReaderContext& context, const std::string& imagePath,
                                  const std::string& fileName, const std::string& fileOffsetText,
                                  const std::string& classText) {
    stored_.reset();
    fontScale_ = 0.9;
    rulerScale_ = 4.0 / 3.0;
    std::optional<DiskImage> image = openGeosImage(context, kModule, imagePath);
    if (!image)
        return 1;
    caption_ = imagePath + " -> " + fileName;
    document_ = RichDocument{};
    if (upperAscii(classText).find("WRITE IMAGE") == std::string::npos) {
        context.dialogs.showError(kModule, imagePath, fileName, "No Write Image detected...",
                                  kFlagsOkOnly);
        return 1;
    }
    format_ = geoWriteFormat(classText, options.scaleImage21);
    fontScale_ = format_.fontScale;
    const std::optional<std::pair<int, bool>> offset = parseFileOffset(fileOffsetText);
    if (!offset)
        return 1;

    bool ok = false;
    try {
        Converter converter(context, *image, fileName, options, format_, fontScale_,
                            cardsRepeaterMessageOff);
        ok = converter.run(offset->first, offset->second, headerEnabled_, footerEnabled_);
        document_ = converter.take();
    } catch (const std::bad_alloc&) {
        context.dialogs.message("GeoWrite: Failed to allocate memory...aborted");
        return 1;
    }
    if (!ok)
        return 1;
    fontScale_ *= screenScale;
    rulerScale_ *= screenScale;
    stored_ = Stored{imagePath, fileName, fileOffsetText, classText};
    return 0;
}

int GeoWriteView::convertAgain(GeosReaderContext& context) {
    if (!stored_)
        return 1;
    const Stored s = *stored_;
    return convertGeoWrite(context, s.imagePath, s.fileName, s.fileOffsetText, s.classText);
}

bool GeoWriteView::setParagraphFormat(std::size_t i, const ParagraphFormat& format) {
    if (i > document_.paragraphAt(document_.text.size()))
        return false;
    if (document_.paragraphs.size() <= i)
        document_.paragraphs.resize(i + 1);
    document_.paragraphs[i] = format;
    return true;
}

bool GeoWriteView::saveGeoWriteRtf(Dialogs& dialogs, const std::string& path) const {
    const std::string rtf = writeRtf(document_);
    std::optional<std::string> withSetup = insertPageSetup(rtf, format_.layout, options.paperA4);
    if (!writeFileAtomically(path, withSetup ? *withSetup : rtf)) {
        dialogs.showError(kModule, path, "", "Error while creating Save File...", kFlagsOkError);
        return false;
    }
    if (!withSetup) {
        dialogs.showError(kModule, path, "", "Error inserting Margins...aborted", kFlagsOkError);
        return false;
    }
    return true;
}

}  // namespace qv
