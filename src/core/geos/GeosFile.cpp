#include "geos/GeosFile.h"

#include <algorithm>
#include <cstdio>

#include "host/Dialogs.h"
#include "listing/DirectoryReader.h"
#include "support/Text.h"

namespace qv {
namespace {

// Bytes from `at` up to a 0 byte, at most `max` of them.
std::string fieldText(const Block& b, int at, int max) {
    std::string s;
    for (int i = 0; i < max && at + i < kBlockSize; ++i) {
        const std::uint8_t c = b[static_cast<std::size_t>(at + i)];
        if (c == 0)
            break;
        s.push_back(static_cast<char>(c));
    }
    return s;
}

}  // namespace

bool isGeos(const DirEntry& e) {
    return e.typeByte != 0 && (e.typeByte & 7) <= 4 &&
           std::string(geosTypeName(e.geosType)) != "non";
}

GeosInfoBlock decodeInfoBlock(const Block& b) {
    GeosInfoBlock info;
    info.raw = b;
    info.iconWidth = b[2];
    info.iconHeight = b[3];
    info.iconFormat = b[4];
    if (info.iconValid()) {
        const std::size_t size = static_cast<std::size_t>(info.iconWidth) * info.iconHeight;
        info.icon.assign(b.begin() + 5, b.begin() + 5 + static_cast<long>(size));
    }
    info.classText = fieldText(b, 77, 19);
    info.author = fieldText(b, 97, 19);
    info.application = fieldText(b, 117, 19);
    info.description = fieldText(b, 160, 95);
    info.fontId = static_cast<std::uint16_t>(b[128] | (b[129] << 8));
    for (int i = 0; i < 15; ++i) {
        const int at = 130 + 2 * i;
        if (at + 1 >= kBlockSize || b[static_cast<std::size_t>(at)] == 0)
            break;
        info.pointSizeWords.push_back(static_cast<std::uint16_t>(
            b[static_cast<std::size_t>(at)] | (b[static_cast<std::size_t>(at + 1)] << 8)));
    }
    info.titlePage = (b[139] & 0x80) != 0;
    return info;
}

std::optional<GeosInfoBlock> readInfoBlock(DiskImage& image, int dosType, const DirEntry& entry) {
    if (entry.infoBlock.track == 0)
        return std::nullopt;
    const int offset = blockOffset(entry.infoBlock, dosType);
    if (offset < 0)
        return std::nullopt;
    const std::optional<Block> block = image.readBlockAt(offset);
    if (!block)
        return std::nullopt;
    return decodeInfoBlock(*block);
}

std::vector<TrackSector> readVlirIndex(DiskImage& image, int firstBlockOffset, int count) {
    std::vector<TrackSector> pointers;
    const int n = std::max(0, std::min(count, 127));
    std::array<std::uint8_t, 254> bytes{};
    image.readAt(firstBlockOffset + 2, bytes);  // outside the file: zeros
    for (int r = 0; r < n; ++r) {
        pointers.push_back(
            {bytes[static_cast<std::size_t>(2 * r)], bytes[static_cast<std::size_t>(2 * r + 1)]});
    }
    return pointers;
}

RecordData readRecord(DiskImage& image, int dosType, TrackSector first) {
    RecordData r;
    const ChainResult result = walkChain(image, first, dosType, [&](const ChainBlock& b) {
        r.data.insert(r.data.end(), b.data.begin(), b.data.end());
        return true;
    });
    r.end = result.end;
    r.badLink = result.badLink;
    r.blocks = result.blocks;
    return r;
}

std::string illegalAddressText(TrackSector ts) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Illegal Track: %i ($%02X) or Sector: %i ($%02X)", ts.track,
                  static_cast<unsigned>(ts.track & 0xFF), ts.sector,
                  static_cast<unsigned>(ts.sector & 0xFF));
    return buf;
}

bool askIllegalRecordPointer(Dialogs& dialogs, const std::string& module,
                             const std::string& imagePath, const std::string& fileName,
                             TrackSector ts, int recordNumber) {
    const std::string message = illegalAddressText(ts) +
                                " in VLIR Record: " + std::to_string(recordNumber) +
                                "\nVLIR corrupt!\nContinue with next VLIR Record?";
    return dialogs.showError(module, imagePath, fileName, message, errorflag::NoThirdButton) ==
           erroranswer::Continue;
}

bool askIllegalRecordLink(Dialogs& dialogs, const std::string& module, const std::string& imagePath,
                          const std::string& fileName, TrackSector ts) {
    const std::string message =
        illegalAddressText(ts) + "\nFile corrupt!\nContinue with next VLIR Record?";
    return dialogs.showError(module, imagePath, fileName, message, errorflag::NoThirdButton) ==
           erroranswer::Continue;
}

GeosDocumentKind geosDocumentKind(const std::string& typeText, const std::string& classText) {
    const std::string type = upperAscii(typeText);
    const std::string cls = upperAscii(classText);
    if (contains(type, "DOC") && contains(cls, "WRITE IMAGE"))
        return GeosDocumentKind::GeoWrite;
    if (contains(type, "DOC") && contains(cls, "PAINT IMAGE"))
        return GeosDocumentKind::GeoPaint;
    if (contains(type, "FON"))
        return GeosDocumentKind::Font;
    if (contains(type, "SYS") && contains(cls, "PHOTO SCRAP"))
        return GeosDocumentKind::PhotoScrap;
    if (contains(type, "DOC") && contains(cls, "PHOTO ALBUM"))
        return GeosDocumentKind::PhotoAlbum;
    return GeosDocumentKind::Other;
}

}  // namespace qv
