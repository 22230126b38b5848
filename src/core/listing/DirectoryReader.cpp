#include "listing/DirectoryReader.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <vector>

#include "host/Dialogs.h"
#include "settings/ListerOptions.h"

namespace qv {

const char* geosTypeName(std::uint8_t geosType) {
    static const char* const names[15] = {"non", "BAS", "ASS", "DAT", "SYS", "DAC", "APP", "DOC",
                                          "FON", "PRN", "INP", "DRV", "BOO", "TMP", "AUT"};
    return geosType < 15 ? names[geosType] : "non";
}

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
    // A header block that cannot be read reads as zero bytes.
    Block b;
    image.readAt(kHeaderOffset, b);
    const bool prologic = image.dosType() == kDosPrologicDos;
    const int nameAt = prologic ? 164 : 144;
    std::copy_n(b.begin() + nameAt, 16, h.name.begin());
    // ID, filler and DOS characters follow the name after two filler bytes.
    const int idAt = nameAt + 18;
    h.id = {b[static_cast<std::size_t>(idAt)], b[static_cast<std::size_t>(idAt + 1)]};
    h.dosVersion = {b[static_cast<std::size_t>(idAt + 3)], b[static_cast<std::size_t>(idAt + 4)]};

    // 0 "name" id dos, built in place and assigned once.
    char text[26] = {'0', ' ', '"'};
    for (std::size_t i = 0; i < 16; ++i)
        text[3 + i] = static_cast<char>(blankFor0xA0(h.name[i]));
    text[19] = '"';
    text[20] = ' ';
    for (int i = 0; i < 5; ++i)
        text[21 + i] = static_cast<char>(blankFor0xA0(b[static_cast<std::size_t>(idAt + i)]));
    std::string& t = h.headerText;
    t.assign(text, sizeof text);
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

namespace {

// Sets a string to n bytes without the general-purpose assign (its storage is kept).
void setBytes(std::string& out, const char* bytes, std::size_t n) {
    out.resize(n);
    std::memcpy(out.data(), bytes, n);
}

// The texts are built in small buffers and assigned once, so a walk that reuses one
// DirEntry allocates nothing per entry.
void typeTextInto(const DirEntry& e, std::string& out, bool* isGeos) {
    if (isGeos)
        *isGeos = false;
    if (e.typeByte == 0) {
        out.assign("SCR");
        return;
    }
    static const char* const kCbm[8] = {"DEL", "SEQ", "PRG", "USR", "REL", "???", "???", "???"};
    const int code = e.typeByte & 7;
    const char* name = kCbm[code];
    if (code <= 4) {
        const char* geos = geosTypeName(e.geosType);
        if (geos[0] != 'n') {  // every name but "non"
            name = geos;
            if (isGeos)
                *isGeos = true;
        }
    }
    char buf[5];
    std::size_t n = 0;
    if (!(e.typeByte & 0x80))
        buf[n++] = '*';
    for (int i = 0; i < 3; ++i)
        buf[n++] = name[i];
    if (e.typeByte & 0x40)
        buf[n++] = '<';
    setBytes(out, buf, n);
}

void nameTextInto(const DirEntry& e, int zeroRunLength, std::string& out, bool* zeroRun) {
    const std::uint8_t* name = e.name.data();
    if (zeroRun)
        *zeroRun = false;
    char text[18];
    text[0] = '"';
    // Up to the first quote, 0xA0 or zero byte every byte is copied as it is.
    static constexpr auto kStops = [] {
        std::array<bool, 256> t{};
        t[0] = t[0x22] = t[0xA0] = true;
        return t;
    }();
    int i = 0;
    while (i < 16 && !kStops[name[i]]) {
        text[1 + i] = static_cast<char>(name[i]);
        ++i;
    }
    bool switched = false;
    if (i < 16 && name[i] != 0) {
        // The quote or 0xA0 that switches becomes a quote; from there on every byte
        // loses bit 7, and every later 0xA0 is a blank (which bit 7 cleared gives).
        switched = true;
        text[1 + i] = '"';
        ++i;
        while (i < 16 && name[i] != 0) {
            text[1 + i] = static_cast<char>(name[i] & 0x7F);
            ++i;
        }
    }
    if (i < 16) {
        // A zero byte ends the name; a run of them as long as the zero-run length sets
        // the entry's zero run when the run fits into the 16 bytes.
        const int n = std::max(1, zeroRunLength);
        const int position = i + 1;
        if (zeroRun && 17 - position >= n) {
            bool allZero = true;
            for (int k = 1; k < n; ++k) {
                if (name[i + k] != 0)
                    allZero = false;
            }
            *zeroRun = allZero;
        }
        setBytes(out, text, static_cast<std::size_t>(1 + i));
        return;
    }
    text[17] = switched ? ' ' : '"';
    setBytes(out, text, 18);
}

// "%-3i  ": the count left-aligned in three columns, then two blanks.
void blocksTextInto(int blocks, std::string& out) {
    char buf[16];
    std::size_t n = 0;
    char digits[8];
    std::size_t d = 0;
    unsigned v = static_cast<unsigned>(blocks);
    do {
        digits[d++] = static_cast<char>('0' + v % 10);
        v /= 10;
    } while (v != 0);
    while (d > 0)
        buf[n++] = digits[--d];
    while (n < 3)
        buf[n++] = ' ';
    buf[n++] = ' ';
    buf[n++] = ' ';
    setBytes(out, buf, n);
}

}  // namespace

std::string readTypeText(const DirEntry& e, bool* isGeos) {
    std::string text;
    typeTextInto(e, text, isGeos);
    return text;
}

std::string readNameText(const DirEntry& e, int zeroRunLength, bool* zeroRun) {
    std::string text;
    nameTextInto(e, zeroRunLength, text, zeroRun);
    return text;
}

void decodeEntryInto(const Block& block, int slot, int blockOffset, int zeroRunLength,
                     DirEntry& e) {
    const std::uint8_t* b = block.data() + 32 * slot;
    e.entryOffset = blockOffset + 32 * slot;
    e.typeByte = b[2];
    e.firstBlock = {b[3], b[4]};
    std::memcpy(e.name.data(), b + 5, 16);
    e.infoBlock = {b[21], b[22]};
    e.structure = b[23];
    e.geosType = b[24];
    std::memcpy(e.date.data(), b + 25, 5);
    e.blocks = b[30] | (b[31] << 8);
    typeTextInto(e, e.typeText, &e.isGeos);
    nameTextInto(e, zeroRunLength, e.nameText, &e.zeroRun);
    blocksTextInto(e.blocks, e.blocksText);
}

DirEntry decodeEntry(const Block& block, int slot, int blockOffset, int zeroRunLength) {
    DirEntry e;
    decodeEntryInto(block, slot, blockOffset, zeroRunLength, e);
    return e;
}

DirEnd walkDirectory(DiskImage& image, const ListerOptions& options, Dialogs& dialogs,
                     const DirVisitor& visitor, SlotTaker* taker) {
    const int dosType = image.dosType();
    // The blocks read so far, for the crosslink test; the file limit keeps a directory
    // far below the inline room, the vector takes any longer one.
    std::array<int, 40> firstOffsets{};
    std::vector<int> moreOffsets;
    std::size_t readCount = 0;
    const auto alreadyRead = [&](int offset) {
        const auto held = firstOffsets.begin() +
                          static_cast<std::ptrdiff_t>(std::min(readCount, firstOffsets.size()));
        return std::find(firstOffsets.begin(), held, offset) != held ||
               std::find(moreOffsets.begin(), moreOffsets.end(), offset) != moreOffsets.end();
    };
    int listAnywayCount = 0;
    DirEntry e;  // reused for every slot
    int offset = blockOffset(18, 1, dosType);
    while (offset >= 0 && offset != kHeaderOffset) {
        if (static_cast<int>(readCount) * 8 == options.maxFiles) {
            dialogs.showError(
                "MainForm", image.path(), "",
                "Max " + std::to_string(options.maxFiles) + " Files allowed!\nImage aborted!",
                errorflag::TellImage);
            return DirEnd::MaxFiles;
        }
        const std::optional<Block> block = image.readBlockAt(offset);
        if (!block)
            return DirEnd::EndOfChain;
        const TrackSector link{(*block)[0], (*block)[1]};
        const int next = blockOffset(link, dosType);
        if (readCount < firstOffsets.size())
            firstOffsets[readCount] = offset;
        else
            moreOffsets.push_back(offset);
        ++readCount;

        if (link.track != 0 && alreadyRead(next)) {
            const QuestionReply reply =
                dialogs.ask(QuestionMode::Crosslink, image.path(),
                            "Directoryentry $" + hexUpper(next) +
                                " is crosslinked to a previous directoryentry!");
            if (reply.result == answer::StopAll)
                return DirEnd::CrosslinkCancelAll;
            if (reply.result != answer::Go)
                return DirEnd::CrosslinkStop;
            if (reply.dontAsk && ++listAnywayCount >= 2)
                return DirEnd::CrosslinkStop;
        }

        // A type byte of 0 is "SCR": skipped unless deleted files are shown.
        unsigned offered = 0;
        for (int slot = 0; slot < 8; ++slot) {
            if ((*block)[static_cast<std::size_t>(32 * slot + 2)] != 0 || options.showDeletedFiles)
                offered |= 1u << slot;
        }
        for (int slot = 0;; ++slot) {
            if (taker)
                slot = taker->take(*block, slot, offered);
            while (slot < 8 && (offered >> slot & 1u) == 0)
                ++slot;
            if (slot >= 8)
                break;
            decodeEntryInto(*block, slot, offset, options.dirAbortWithNull, e);
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
