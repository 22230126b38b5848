#include "geos/GeosFont.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <new>

#include "geos/FontView.h"
#include "geos/GeosFile.h"
#include "host/Dialogs.h"

namespace qv {
namespace {

const char* const kModule = "ShowFont";
constexpr std::uint32_t kWhite = 0xFFFFFF;
constexpr std::uint32_t kBlack = 0x000000;

int word(std::span<const std::uint8_t> r, std::size_t at) {
    return r[at] | (r[at + 1] << 8);
}

// Grows (never shrinks) the sheet to `height` rows of white. False when that would pass
// the sheet's limit.
bool growSheet(Image32& sheet, int height) {
    if (height <= sheet.height)
        return true;
    if (height > kFontSheetMaxHeight)
        return false;
    sheet.pixels.resize(static_cast<std::size_t>(sheet.width) * static_cast<std::size_t>(height),
                        kWhite);
    sheet.height = height;
    return true;
}

void plot(Image32& sheet, int x, int y, std::uint32_t colour) {
    if (x >= 0 && y >= 0 && x < sheet.width && y < sheet.height)
        sheet.at(x, y) = colour;
}

// Lines are drawn as a pen draws them: from the first point up to, not including, the
// second.
void verticalLine(Image32& sheet, int x, int y0, int y1, std::uint32_t colour) {
    for (int y = y0; y < y1; ++y)
        plot(sheet, x, y, colour);
}
void horizontalLine(Image32& sheet, int x0, int x1, int y, std::uint32_t colour) {
    for (int x = x0; x < x1; ++x)
        plot(sheet, x, y, colour);
}

std::string charText(int height, int code) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "Aborting Size %i at Char '%c' (%i)", height,
                  static_cast<char>(code), code);
    return buf;
}

}  // namespace

bool drawFontSize(GeosReaderContext& context, const std::string& imagePath,
                  const std::string& fileName, std::span<const std::uint8_t> r,
                  const FontSheetOptions& options, Image32& sheet, int& y) {
    const long length = static_cast<long>(r.size());
    const int bytesPerRow = word(r, 1);
    const int h = r[3];
    const long tableAt = word(r, 4);
    const long bitsAt = word(r, 6);
    const bool grid = options.showGrid;
    const std::uint32_t pen = options.gridColour;
    const int spacing = !options.spaceBetweenChars ? 0 : grid ? 4 : 3;

    // Asks one of the drawing questions; true for Continue.
    const auto ask = [&](const std::string& message) {
        return context.dialogs.showError(kModule, imagePath, fileName, message,
                                         kFlagsContinueAbortError) == erroranswer::Continue;
    };
    const auto corruptSizes = [&](int code) {
        return ask("Error drawing font...\nCorrupted Sizes?\n" + charText(h, code));
    };
    // The index entry of a character, or nothing when it lies outside the record.
    const auto index = [&](int code) -> std::optional<int> {
        const long at = tableAt + 2L * (code - 32);
        if (at + 1 >= length)
            return std::nullopt;
        return word(r, static_cast<std::size_t>(at));
    };
    const auto closeLine = [&](int& x) {
        verticalLine(sheet, x, y - 1, y + h, pen);
        ++x;
        horizontalLine(sheet, 0, x, y - 1, pen);
        horizontalLine(sheet, 0, x, y + h, pen);
    };

    int x = 0;
    if (grid)
        ++y;
    if (!growSheet(sheet, y + h + 10))
        return corruptSizes(32);
    for (int c = 32; c <= 126; ++c) {
        if (grid) {
            verticalLine(sheet, x, y, y + h, pen);
            ++x;
        }
        int start = 1;
        int end = 0;
        if (const auto e = index(c + 1)) {
            start = *index(c);
            end = *e;
        }
        bool endSize = false;
        if (end - start < 0) {
            if (!ask("Error drawing font...\nNo Chars!\n" + charText(h, c)))
                return false;
            endSize = true;  // nothing to draw; the size ends after this character
        } else {
            // Pixels right of the sheet are not drawn, but every byte the character
            // needs is checked against the record.
            const int visibleEnd = std::min(end, start + std::max(0, sheet.width - x));
            for (int n = 0; n < h && !endSize; ++n) {
                const long rowAt = bitsAt + static_cast<long>(n) * bytesPerRow;
                const long firstByte = rowAt + start / 8;
                const long lastByte = rowAt + (end - 1) / 8;
                int drawTo = visibleEnd;
                long outside = -1;
                if (end > start && lastByte >= length) {
                    outside = std::max(firstByte, length);
                    drawTo = std::min(drawTo, static_cast<int>((outside - rowAt) * 8));
                }
                for (int b = start; b < drawTo; ++b) {
                    const std::uint8_t byte = r[static_cast<std::size_t>(rowAt + b / 8)];
                    const bool set = (byte & (0x80 >> (b % 8))) != 0;
                    plot(sheet, x + b - start, y + n, set ? kBlack : kWhite);
                }
                if (outside >= 0) {
                    char buf[192];
                    std::snprintf(buf, sizeof buf,
                                  "Error drawing font...\nCorrupted Sizes or Font Parameters!\n"
                                  "Should access Byte %li, but this Record is only %li Bytes "
                                  "long.\n",
                                  outside, length - 1);
                    if (!ask(buf + charText(h, c)))
                        return false;
                    endSize = true;
                }
            }
            x += end - start;
        }
        if (endSize || c == 126)
            break;
        // Wrap before the next character when it would not fit on the line.
        const int nextStart = end;
        const std::optional<int> nextEnd = index(c + 2);
        const int w = nextEnd ? *nextEnd - nextStart : 0;
        if (x + w + spacing + 3 > kFontSheetWidth - 1) {
            if (grid) {
                closeLine(x);
                y += h + 1;
            } else {
                y += h + 2;
            }
            x = 0;
            if (!growSheet(sheet, y + h + 10)) {
                if (!corruptSizes(c))
                    return false;
                break;
            }
        } else {
            if (grid && spacing > 0)
                verticalLine(sheet, x, y - 1, y + h, pen);
            x += spacing;
        }
    }
    if (grid)
        closeLine(x);
    y += h + 10;
    return true;
}

std::optional<FontSheet> readFontSheet(GeosReaderContext& context, DiskImage& image,
                                       const std::string& fileName, int firstBlockOffset,
                                       const FontSheetOptions& options) {
    const std::string& path = image.path();
    const int dosType = image.dosType();
    FontSheet sheet;
    sheet.picture = Image32(kFontSheetWidth, 0);
    sheet.hint = "Drawn Sizes through VLIR:";
    const std::vector<TrackSector> pointers =
        keptRecordPointers(image, firstBlockOffset, kFontRecords, false);
    int y = 0;
    for (std::size_t k = 0; k < pointers.size(); ++k) {
        const TrackSector p = pointers[k];
        if (blockOffset(p, dosType) < 0) {
            if (!askIllegalRecordPointer(context.dialogs, kModule, path, fileName, p,
                                         static_cast<int>(k) + 1)) {
                return std::nullopt;
            }
            continue;
        }
        RecordData record;
        try {
            record = readRecord(image, dosType, p);
        } catch (const std::bad_alloc&) {
            context.dialogs.message("ShowFont: Failed to reallocate memory...aborted");
            return std::nullopt;
        }
        if (record.end == ChainEnd::IllegalLink) {
            if (!askIllegalRecordLink(context.dialogs, kModule, path, fileName, record.badLink))
                return std::nullopt;
            continue;
        }
        if (record.data.size() < 8) {
            context.dialogs.showError(kModule, path, fileName, "File corrupt...", kFlagsOkOnly);
            return std::nullopt;
        }
        bool drawn = false;
        try {
            drawn = drawFontSize(context, path, fileName, record.data, options, sheet.picture, y);
        } catch (const std::exception&) {
            drawn = context.dialogs.showError(
                        kModule, path, fileName,
                        "Error drawing font...\nCorrupted Sizes?\n" + charText(record.data[3], 32),
                        kFlagsContinueAbortError) == erroranswer::Continue;
        }
        if (!drawn)
            return std::nullopt;
        sheet.heights.push_back(record.data[3]);
        sheet.hint += ' ';  // not " " + ...: a false -Wrestrict of GCC 12 at -O3
        sheet.hint += std::to_string(record.data[3]);
    }
    return sheet;
}

int renderFont(FontView& view, GeosReaderContext& context, const std::string& imagePath,
               const std::string& fileName, int firstBlockOffset) {
    std::optional<FontSheet> sheet;
    {
        std::optional<DiskImage> image = openGeosImage(context, kModule, imagePath);
        if (!image)
            return 1;
        const FontSheetOptions options{view.spaceBetweenChars, view.showGrid, view.gridColour};
        sheet = readFontSheet(context, *image, fileName, firstBlockOffset, options);
    }
    if (!sheet)
        return 1;
    view.hint = sheet->hint;
    view.setPicture(std::move(sheet->picture), FontViewContent::Font, imagePath, fileName,
                    firstBlockOffset);
    return 0;
}

}  // namespace qv
