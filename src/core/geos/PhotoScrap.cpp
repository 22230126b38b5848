#include "geos/PhotoScrap.h"

#include <algorithm>
#include <exception>

#include "geos/FontView.h"
#include "geos/GeosFile.h"
#include "host/Dialogs.h"
#include "image/Chain.h"

namespace qv {
namespace {

const char* const kModule = "PhotoScrap";
// Who hears about scraps that use the cards repeater.
const char* const kCardsRepeaterContact = "the Quorvane maintainers";

}  // namespace

void ScrapDecompressor::store(std::uint8_t value) {
    ScrapStore& s = *store_;
    if (s.width <= 0)
        return;
    const int lastRow = s.height + (s.height - 1) / 8;  // last colour row the drawing uses
    if (row_ < kScrapRows && row_ <= lastRow && column_ < kScrapColumns)
        s.bytes[static_cast<std::size_t>(row_ * kScrapColumns + column_)] = value;
    if (++column_ == s.width) {
        column_ = 0;
        // Counting stops past the store; no scrap needs more rows than it holds.
        if (row_ <= kScrapRows) {
            ++row_;
            s.rowsCompleted = row_;
        }
    }
}

void ScrapDecompressor::feed(std::span<const std::uint8_t> bytes,
                             const std::function<void()>& onCardsRepeater) {
    for (const std::uint8_t b : bytes) {
        if (stopped_) {
            if (!reported_) {
                reported_ = true;
                if (onCardsRepeater)
                    onCardsRepeater();
            }
            return;
        }
        switch (mode_) {
            case Mode::Command:
                if (b < 128) {
                    count_ = b;
                    if (count_ > 0)
                        mode_ = Mode::Repeat;
                } else if (b < 220) {
                    count_ = b - 128;
                    if (count_ > 0)
                        mode_ = Mode::Unique;
                } else {
                    stopped_ = true;
                }
                break;
            case Mode::Repeat:
                for (int i = 0; i < count_ && row_ <= kScrapRows; ++i)
                    store(b);
                mode_ = Mode::Command;
                break;
            case Mode::Unique:
                store(b);
                if (--count_ == 0)
                    mode_ = Mode::Command;
                break;
        }
    }
}

Image32 drawScrap(const ScrapStore& s, bool monochrome, const C64Palette& palette) {
    const int columns = std::clamp(s.width, 0, kScrapColumns);
    const int height = std::clamp(s.height, 0, kScrapMaxHeight);
    Image32 picture(8 * columns, height, 0xFFFFFF);
    const bool colour = !monochrome && s.hasColour();
    for (int y = 0; y < height; ++y) {
        for (int c = 0; c < columns; ++c) {
            const std::uint8_t bits = s.at(y, c);
            std::uint32_t fore = 0x000000;
            std::uint32_t back = 0xFFFFFF;
            if (colour) {
                const std::uint8_t cb = s.at(height + y / 8, c);
                fore = palette[cb >> 4];
                back = palette[cb & 15];
            }
            for (int i = 0; i < 8; ++i)
                picture.at(8 * c + i, y) = (bits & (0x80 >> i)) ? fore : back;
        }
    }
    return picture;
}

std::string cardsRepeaterMessage() {
    return std::string(
               "If the next scrap is corrupt and is displayed right with GEOS please send a "
               "mail to ") +
           kCardsRepeaterContact +
           " to report that you've found the Cards Repeater..."
           "\n\nClick 'Cancel' for not showing this Message again in this session";
}

std::optional<Image32> readScrapPicture(GeosReaderContext& context, DiskImage& image,
                                        const std::string& fileName, int firstBlockOffset,
                                        bool monochrome, bool& cardsRepeaterMessageOff) {
    const std::string& path = image.path();
    const int dosType = image.dosType();
    ScrapStore store;
    try {
        std::optional<Block> block = image.readBlockAt(firstBlockOffset);
        if (!block) {
            context.dialogs.showError(kModule, path, fileName,
                                      "Error reading PhotoScrap File...aborted", kFlagsOkError);
            return std::nullopt;
        }
        store.width = (*block)[2];
        store.height = (*block)[3] | ((*block)[4] << 8);
        if (store.height > kScrapMaxHeight) {
            context.dialogs.showError(kModule, path, fileName,
                                      "Wrong Height!\nVLIR Record corrupt or no PhotoScrap!",
                                      kFlagsOkOnly);
            return std::nullopt;
        }
        ScrapDecompressor decompressor(store);
        const auto repeaterMet = [&] {
            if (cardsRepeaterMessageOff)
                return;
            if (!context.dialogs.host().askOkCancel(path + " -> " + fileName,
                                                    cardsRepeaterMessage())) {
                cardsRepeaterMessageOff = true;
            }
        };
        const int bound = blockBoundFor(dosType);
        bool first = true;
        for (int blocks = 1;; ++blocks) {
            const Block& b = *block;
            const TrackSector link{b[0], b[1]};
            if (link.track != 0 && blockOffset(link, dosType) < 0) {
                context.dialogs.showError(kModule, path, fileName,
                                          illegalAddressText(link) + "\nFile corrupt!\n",
                                          kFlagsOkOnly);
                return std::nullopt;
            }
            // The first block carries the header in front of its data.
            const int from = first ? 5 : 2;
            const int to = link.track != 0 ? 255 : link.sector;  // last data byte
            if (to >= from) {
                decompressor.feed(std::span<const std::uint8_t>(
                                      b.data() + from, static_cast<std::size_t>(to - from + 1)),
                                  repeaterMet);
            }
            first = false;
            if (link.track == 0 || blocks >= bound)
                break;  // the end, or a chain that runs in a circle
            block = image.readBlockAt(blockOffset(link, dosType));
            if (!block) {
                context.dialogs.showError(kModule, path, fileName,
                                          illegalAddressText(link) + "\nFile corrupt!\n",
                                          kFlagsOkOnly);
                return std::nullopt;
            }
        }
    } catch (const std::exception&) {
        context.dialogs.showError(kModule, path, fileName,
                                  "Error reading PhotoScrap File...aborted", kFlagsOkError);
        return std::nullopt;
    }
    try {
        return drawScrap(store, monochrome, context.palette);
    } catch (const std::exception&) {
        context.dialogs.showError(kModule, path, fileName,
                                  "Error drawing PhotoScrap Bitmap...aborted", kFlagsOkError);
        return std::nullopt;
    }
}

int decodeScrap(FontView& view, GeosReaderContext& context, const std::string& imagePath,
                const std::string& fileName, int firstBlockOffset) {
    std::optional<Image32> picture;
    {
        std::optional<DiskImage> image = openGeosImage(context, kModule, imagePath);
        if (!image)
            return 1;
        picture = readScrapPicture(context, *image, fileName, firstBlockOffset,
                                   view.monochromeScrap, view.cardsRepeaterMessageOff);
    }
    if (!picture)
        return 1;
    view.setPicture(std::move(*picture), FontViewContent::Scrap, imagePath, fileName,
                    firstBlockOffset);
    return 0;
}

}  // namespace qv
