#include "geos/GeoPaint.h"

#include <algorithm>
#include <exception>

#include "geos/GeosFile.h"
#include "host/Dialogs.h"

namespace qv {
namespace {

const char* const kModule = "GeoPaint";

}  // namespace

void GeoPaintDecompressor::store(int position, std::uint8_t value) {
    (*band_)[static_cast<std::size_t>(std::min(position, kGeoPaintBandBytes))] = value;
}

void GeoPaintDecompressor::feed(std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t b : bytes) {
        switch (mode_) {
            case Mode::Command:
                if (b >= 1 && b <= 63) {
                    mode_ = Mode::Literal;
                    count_ = b;
                } else if (b >= 65 && b <= 127) {
                    mode_ = Mode::Pattern;
                    count_ = b - 64;
                    patternByte_ = 0;
                } else if (b >= 129) {
                    mode_ = Mode::Run;
                    count_ = b - 128;
                }
                break;
            case Mode::Literal:
                store(g_, b);
                g_ = std::min(g_ + 1, kGeoPaintBandBytes);
                if (--count_ == 0)
                    mode_ = Mode::Command;
                break;
            case Mode::Pattern:
                // Byte j of the card goes into every repetition as it arrives.
                for (int m = 0; m < count_; ++m)
                    store(g_ + patternByte_ + 8 * m, b);
                if (++patternByte_ == 8) {
                    g_ = std::min(g_ + 8 * count_, kGeoPaintBandBytes);
                    mode_ = Mode::Command;
                }
                break;
            case Mode::Run:
                for (int m = 0; m < count_; ++m)
                    store(g_ + m, b);
                g_ = std::min(g_ + count_, kGeoPaintBandBytes);
                mode_ = Mode::Command;
                break;
        }
    }
}

Image32 drawGeoPaint(const GeoPaintDocument& document, bool monochrome, const C64Palette& palette) {
    Image32 picture(kGeoPaintWidth, kGeoPaintHeight, 0xFFFFFF);
    const bool mono = monochrome || document.shortBand;
    const int bands = std::min(static_cast<int>(document.bands.size()), kGeoPaintBands);
    for (int b = 0; b < bands; ++b) {
        const GeoPaintBand& band = document.bands[static_cast<std::size_t>(b)];
        for (int p = 0; p < 1280; ++p) {
            const int row = 16 * b + 8 * (p / 640) + p % 8;
            const int column = 8 * ((p % 640) / 8);
            const std::uint8_t colour =
                band[static_cast<std::size_t>(kGeoPaintColourStart + p / 8)];
            const std::uint32_t fore = mono ? 0x000000 : palette[colour >> 4];
            const std::uint32_t back = mono ? 0xFFFFFF : palette[colour & 15];
            const std::uint8_t bits = band[static_cast<std::size_t>(p)];
            for (int i = 0; i < 8; ++i)
                picture.at(column + i, row) = (bits & (0x80 >> i)) ? fore : back;
        }
    }
    return picture;
}

std::optional<GeoPaintDocument> readGeoPaint(GeosReaderContext& context, DiskImage& image,
                                             const std::string& fileName, int firstBlockOffset) {
    const int dosType = image.dosType();
    const std::vector<TrackSector> pointers =
        keptRecordPointers(image, firstBlockOffset, kGeoPaintBands, true);
    GeoPaintDocument doc;
    int previousDecoded = -1;
    for (std::size_t k = 0; k < pointers.size(); ++k) {
        const TrackSector p = pointers[k];
        if (blockOffset(p, dosType) < 0) {
            if (!askIllegalRecordPointer(context.dialogs, kModule, image.path(), fileName, p,
                                         static_cast<int>(k) + 1)) {
                return std::nullopt;
            }
            continue;
        }
        // A band that stopped before its colour bytes leaves the picture without colour.
        if (previousDecoded >= 1 && previousDecoded <= kGeoPaintBandBytes - 1)
            doc.shortBand = true;
        doc.bands.emplace_back();
        doc.bands.back().fill(0);
        GeoPaintDecompressor decompressor(doc.bands.back());
        const ChainResult chain = walkChain(image, p, dosType, [&](const ChainBlock& block) {
            decompressor.feed(block.data);
            return true;
        });
        previousDecoded = decompressor.decoded();
        if (chain.end == ChainEnd::IllegalLink &&
            !askIllegalRecordLink(context.dialogs, kModule, image.path(), fileName,
                                  chain.badLink)) {
            return std::nullopt;
        }
    }
    return doc;
}

std::optional<Image32> decodeGeoPaintPicture(GeosReaderContext& context,
                                             const std::string& imagePath,
                                             const std::string& fileName, int firstBlockOffset,
                                             bool monochrome) {
    std::optional<DiskImage> image = openGeosImage(context, kModule, imagePath);
    if (!image)
        return std::nullopt;
    std::optional<GeoPaintDocument> doc;
    try {
        doc = readGeoPaint(context, *image, fileName, firstBlockOffset);
    } catch (const std::exception&) {
        context.dialogs.showError(kModule, imagePath, fileName,
                                  "Error reading GeoPaint File...aborted", kFlagsOkError);
        return std::nullopt;
    }
    if (!doc)
        return std::nullopt;
    image.reset();  // closed before drawing
    try {
        return drawGeoPaint(*doc, monochrome, context.palette);
    } catch (const std::exception&) {
        context.dialogs.showError(kModule, imagePath, fileName,
                                  "Error drawing GeoPaint Bitmap...aborted", kFlagsOkError);
        return std::nullopt;
    }
}

int GeoPaintView::decodeGeoPaint(GeosReaderContext& context, const std::string& imagePath,
                                 const std::string& fileName, int firstBlockOffset) {
    std::optional<Image32> picture =
        decodeGeoPaintPicture(context, imagePath, fileName, firstBlockOffset, monochrome_);
    if (!picture)
        return 1;
    picture_ = std::move(*picture);
    caption_ = imagePath + " -> " + fileName;
    scrollY_ = 0;
    hasDocument_ = true;
    imagePath_ = imagePath;
    fileName_ = fileName;
    fileOffset_ = firstBlockOffset;
    return 0;
}

int GeoPaintView::toggleMonochrome(GeosReaderContext& context) {
    monochrome_ = !monochrome_;
    if (!hasDocument_)
        return 1;
    const std::string path = imagePath_;
    const std::string name = fileName_;
    return decodeGeoPaint(context, path, name, fileOffset_);
}

bool GeoPaintView::windowResized(GeosReaderContext& context, int windowWidth, bool maximised) {
    if (redrawDone_ || !hasDocument_)
        return false;
    if (!maximised && windowWidth <= kInitialWindowWidth)
        return false;
    const std::string path = imagePath_;
    const std::string name = fileName_;
    if (decodeGeoPaint(context, path, name, fileOffset_) != 0)
        return false;
    redrawDone_ = true;
    return true;
}

void GeoPaintView::wheel(int notches, int viewHeight) {
    const int maxY = std::max(0, picture_.height - viewHeight);
    scrollY_ = std::clamp(scrollY_ - notches * 8 * wheelStep, 0, maxY);
}

}  // namespace qv
