#include "listing/DirectoryReader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <vector>

#include "geos/GeosFile.h"
#include "host/Dialogs.h"
#include "settings/ListerOptions.h"

namespace qv {
namespace {

std::uint8_t blankFor0xA0(std::uint8_t b) {
    return b == 0xA0 ? 0x20 : b;
}

std::string hexUpper(int value) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(value));
    return buf;
}

}  // namespace

const char* dirEndName(DirEnd end) {
    switch (end) {
        case DirEnd::EndOfChain:
            return "end of chain";
        case DirEnd::MaxFiles:
            return "maximum file count";
        case DirEnd::CrosslinkStop:
            return "crosslink stop";
        case DirEnd::CrosslinkCancelAll:
            return "crosslink cancel all";
        case DirEnd::ZeroRun:
            return "zero run";
    }
    return "";
}

int countFreeBlocks(const Block& header, int dosType) {
    int total = 0;
    for (int track = 1; track <= 35; ++track) {
        if (track != 18)
            total += header[static_cast<std::size_t>(4 * track)];
    }
    int ext = -1;
    if (dosType == kDosSpeedDos)
        ext = 192;
    if (dosType == kDosDolphinDos)
        ext = 172;
    if (dosType == kDosPrologicDos)
        ext = 144;
    if (ext >= 0) {
        for (int i = 0; i < 5; ++i)
            total += header[static_cast<std::size_t>(ext + 4 * i)];
    }
    return total;
}

DiskHeader readHeader(DiskImage& image, const ListerOptions& options) {
    DiskHeader h;
    const Block b = image.readBlockAt(kHeaderOffset).value_or(Block{});
    const bool prologic = image.dosType() == kDosPrologicDos;
    const int nameAt = prologic ? 164 : 144;
    std::copy_n(b.begin() + nameAt, 16, h.name.begin());
    // ID, filler and DOS characters follow the name after two filler bytes.
    const int idAt = nameAt + 18;
    h.id = {b[static_cast<std::size_t>(idAt)], b[static_cast<std::size_t>(idAt + 1)]};
    h.dosVersion = {b[static_cast<std::size_t>(idAt + 3)], b[static_cast<std::size_t>(idAt + 4)]};

    std::string& t = h.headerText;
    t = "0 \"";
    for (std::uint8_t c : h.name)
        t.push_back(static_cast<char>(blankFor0xA0(c)));
    t += "\" ";
    for (int i = 0; i < 5; ++i) {
        t.push_back(static_cast<char>(blankFor0xA0(b[static_cast<std::size_t>(idAt + i)])));
    }
    if (options.changeDosType && h.dosVersion[0] == '2' && h.dosVersion[1] == 'A') {
        if (image.dosType() == kDosSpeedDos)
            t[25] = 'S';
        if (image.dosType() == kDosDolphinDos)
            t[25] = 'D';
    }
    h.blocksFree = countFreeBlocks(b, image.dosType());
    static const char kSignature[] = "GEOS FORMAT";
    h.geosDisk = true;
    for (int i = 0; i < 11; ++i) {
        if (std::toupper(b[static_cast<std::size_t>(173 + i)]) != kSignature[i])
            h.geosDisk = false;
    }
    return h;
}

std::string readTypeText(const DirEntry& e, bool* isGeos) {
    if (isGeos)
        *isGeos = false;
    if (e.typeByte == 0)
        return "SCR";
    static const char* const kCbm[8] = {"DEL", "SEQ", "PRG", "USR", "REL", "???", "???", "???"};
    const int code = e.typeByte & 7;
    std::string text = kCbm[code];
    if (code <= 4) {
        const std::string geos = geosTypeName(e.geosType);
        if (geos != "non") {
            text = geos;
            if (isGeos)
                *isGeos = true;
        }
    }
    if (e.typeByte & 0x40)
        text += "<";
    if (!(e.typeByte & 0x80))
        text = "*" + text;
    return text;
}

std::string readNameText(const DirEntry& e, int zeroRunLength, bool* zeroRun) {
    const int n = std::max(1, zeroRunLength);
    if (zeroRun)
        *zeroRun = false;
    std::string text = "\"";
    bool switched = false;
    for (int i = 0; i < 16; ++i) {
        std::uint8_t b = e.name[static_cast<std::size_t>(i)];
        if (b == 0) {
            const int position = i + 1;
            if (17 - position >= n && zeroRun) {
                bool allZero = true;
                for (int k = 1; k < n; ++k) {
                    if (e.name[static_cast<std::size_t>(i + k)] != 0)
                        allZero = false;
                }
                *zeroRun = allZero;
            }
            return text;
        }
        if (!switched && (b == 0x22 || b == 0xA0)) {
            switched = true;
            if (b == 0xA0)
                b = 0x22;
        } else if (switched && b == 0xA0) {
            b = 0x20;
        }
        if (switched)
            b &= 0x7F;
        text.push_back(static_cast<char>(b));
    }
    text.push_back(switched ? ' ' : '"');
    return text;
}

DirEntry decodeEntry(const Block& block, int slot, int blockOffset, int zeroRunLength) {
    DirEntry e;
    const std::size_t base = static_cast<std::size_t>(32 * slot);
    const auto at = [&](std::size_t i) { return block[base + i]; };
    e.entryOffset = blockOffset + 32 * slot;
    e.typeByte = at(2);
    e.firstBlock = {at(3), at(4)};
    for (std::size_t i = 0; i < 16; ++i)
        e.name[i] = at(5 + i);
    e.infoBlock = {at(21), at(22)};
    e.structure = at(23);
    e.geosType = at(24);
    for (std::size_t i = 0; i < 5; ++i)
        e.date[i] = at(25 + i);
    e.blocks = at(30) | (at(31) << 8);
    e.typeText = readTypeText(e, &e.isGeos);
    e.nameText = readNameText(e, zeroRunLength, &e.zeroRun);
    char buf[16];
    std::snprintf(buf, sizeof buf, "%-3i  ", e.blocks);
    e.blocksText = buf;
    return e;
}

DirEnd walkDirectory(DiskImage& image, const ListerOptions& options, Dialogs& dialogs,
                     const DirVisitor& visitor) {
    const int dosType = image.dosType();
    std::vector<int> readOffsets;
    int listAnywayCount = 0;
    int offset = blockOffset(18, 1, dosType);
    while (offset >= 0 && offset != kHeaderOffset) {
        if (static_cast<int>(readOffsets.size()) * 8 == options.maxFiles) {
            dialogs.showError(
                "MainForm", image.path(), "",
                "Max " + std::to_string(options.maxFiles) + " Files allowed!\nImage aborted!", 24);
            return DirEnd::MaxFiles;
        }
        const std::optional<Block> block = image.readBlockAt(offset);
        if (!block)
            return DirEnd::EndOfChain;
        const TrackSector link{(*block)[0], (*block)[1]};
        const int next = blockOffset(link, dosType);
        readOffsets.push_back(offset);

        if (link.track != 0 &&
            std::find(readOffsets.begin(), readOffsets.end(), next) != readOffsets.end()) {
            const QuestionReply reply =
                dialogs.ask(QuestionMode::Crosslink, image.path(),
                            "Directoryentry $" + hexUpper(next) +
                                " is crosslinked to a previous directoryentry!");
            if (reply.result == 3)
                return DirEnd::CrosslinkCancelAll;
            if (reply.result != 1)
                return DirEnd::CrosslinkStop;
            if (reply.dontAsk && ++listAnywayCount >= 2)
                return DirEnd::CrosslinkStop;
        }

        for (int slot = 0; slot < 8; ++slot) {
            DirEntry e = decodeEntry(*block, slot, offset, options.dirAbortWithNull);
            if (e.typeText == "SCR" && !options.showDeletedFiles)
                continue;
            visitor(e);
            if (options.abortImageAt0x00 && e.zeroRun)
                return DirEnd::ZeroRun;
        }
        if (link.track == 0)
            break;
        offset = next;
    }
    return DirEnd::EndOfChain;
}

}  // namespace qv
