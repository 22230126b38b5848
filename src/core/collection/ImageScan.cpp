#include "collection/ImageScan.h"

#include <sys/stat.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>

#include "bam/BlockMap.h"
#include "bam/FileLookup.h"
#include "geos/GeosFile.h"
#include "host/Dialogs.h"
#include "image/Chain.h"
#include "image/Detection.h"
#include "image/DiskImage.h"
#include "listing/DirectoryReader.h"
#include "listing/ListingLayout.h"
#include "listing/PetsciiConversion.h"
#include "settings/ListerOptions.h"
#include "support/CodePage.h"
#include "support/GeosText.h"
#include "support/Text.h"

namespace qv {

std::optional<FileStamp> stampOf(const std::string& path) {
    // One stat call: the collection's stamps are all taken before each run, also when
    // nothing changed. The time is counted as the file clock counts it.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode))
        return std::nullopt;
    // The file clock counts nanoseconds from its own epoch: a time it cannot hold (or
    // that nanoseconds since 1970 cannot, after 2262) is no stamp, as for the library.
    using std::chrono::nanoseconds;
    using std::chrono::seconds;
    constexpr std::int64_t kSecondsHeld = std::numeric_limits<std::int64_t>::max() / 1'000'000'000;
    static const std::int64_t epochShift =
        std::chrono::duration_cast<seconds>(
            std::chrono::file_clock::from_sys(std::chrono::sys_seconds{}).time_since_epoch())
            .count();
    const std::int64_t sec = st.st_mtim.tv_sec;
    if (sec >= kSecondsHeld || sec <= -kSecondsHeld || sec + epochShift <= -kSecondsHeld ||
        sec + epochShift >= kSecondsHeld)
        return std::nullopt;
    const std::chrono::sys_time<nanoseconds> written{
        nanoseconds(sec * 1'000'000'000 + st.st_mtim.tv_nsec)};
    return FileStamp{static_cast<std::int64_t>(st.st_size),
                     static_cast<std::int64_t>(
                         std::chrono::file_clock::from_sys(written).time_since_epoch().count())};
}

namespace {

// Answers the directory walk's questions without asking: a crosslinked directory is
// listed up to the block that closes the loop, and both the loop and the file limit
// are noted as problems.
class ScanDialogHost : public DialogHost {
  public:
    explicit ScanDialogHost(std::vector<ScanProblem>& problems) : problems_(problems) {}

    QuestionReply showQuestion(const QuestionRequest& request) override {
        QuestionReply reply;
        if (request.form && request.form->mode == QuestionMode::Crosslink) {
            problems_.push_back({"directory loop", -1, {}, request.message});
            reply.result = 1;  // list the block, stop at the next revisit
            reply.dontAsk = true;
        }
        return reply;
    }
    int showError(const ErrorLayout& layout) override {
        problems_.push_back({"file limit", -1, {}, trimEnd(layout.message, "\n")});
        return 3;
    }
    void showMessage(const std::string&) override {}
    MessageAnswer askYesNoCancel(const std::string&, const std::string&) override {
        return MessageAnswer::Cancel;
    }
    std::optional<std::string> askSaveFile(const SaveFileRequest&) override { return std::nullopt; }
    std::optional<std::string> askText(const std::string&, const std::string&,
                                       const std::string&) override {
        return std::nullopt;
    }

  private:
    std::vector<ScanProblem>& problems_;
};

const ListerOptions& indexOptions() {
    static const ListerOptions options = [] {
        ListerOptions o;
        recomputeOptions(o);
        return o;
    }();
    return options;
}

std::string utf8(const std::string& cp437) {
    return cp437ToUtf8(cp437);
}

// A header field as text: PETSCII converted, the 0xA0 padding and blanks trimmed.
std::string fieldText(const std::uint8_t* bytes, std::size_t n, CharMode mode) {
    std::string raw(reinterpret_cast<const char*>(bytes), n);
    for (char& c : raw) {
        if (static_cast<std::uint8_t>(c) == 0xA0)
            c = ' ';
    }
    return trimEnd(utf8(convertText(raw, mode)));
}

std::string addressText(TrackSector ts) {
    return std::to_string(ts.track) + "/" + std::to_string(ts.sector);
}

int gridIndex(TrackSector ts) {
    return ts.track * kGridSectors + ts.sector;
}

// The chains of one image: who owns which block, and the problems met on the way.
class ChainWalker {
  public:
    ChainWalker(DiskImage& image, std::vector<ScanProblem>& problems)
        : image_(image), problems_(problems) {
        owner_.fill(0);
    }

    // Blocks no file may use: the header and the directory blocks.
    void reserve(TrackSector ts) {
        if (inGrid(ts.track, ts.sector))
            owner_[static_cast<std::size_t>(gridIndex(ts))] = -1;
    }

    void beginFile(int position) {
        position_ = position;
        visited_.fill(false);
        reported_.clear();
    }

    // Follows one chain from start; appends its bytes to content when given. Returns
    // the blocks walked and clears sound on any problem.
    int walk(TrackSector start, std::vector<std::uint8_t>* content, bool& sound) {
        if (start.track == 0)
            return 0;
        bool loop = false;
        const ChainResult r = walkChain(image_, start, image_.dosType(), [&](const ChainBlock& b) {
            if (!claim(b.ts, sound)) {
                loop = true;
                problems_.push_back({"loop", position_, b.ts,
                                     "the chain comes back to block " + addressText(b.ts)});
                return false;
            }
            if (content)
                content->insert(content->end(), b.data.begin(), b.data.end());
            return true;
        });
        if (loop) {
            sound = false;
        } else if (r.end == ChainEnd::IllegalLink) {
            sound = false;
            problems_.push_back({"bad link", position_, r.badLink,
                                 r.blocks == 0 ? "the entry points to " + addressText(r.badLink)
                                               : "block " + std::to_string(r.blocks) +
                                                     " links to " + addressText(r.badLink)});
        } else if (r.end == ChainEnd::BlockBound) {
            sound = false;
            problems_.push_back(
                {"loop", position_, {}, "the chain holds more blocks than the disk"});
        }
        return r.blocks;
    }

    // One block outside a chain (a GEOS info block). False when its address is no block.
    bool single(TrackSector ts, bool& sound) {
        if (ts.track == 0 || blockOffset(ts, image_.dosType()) < 0) {
            sound = false;
            problems_.push_back(
                {"bad link", position_, ts, "the info block pointer names " + addressText(ts)});
            return false;
        }
        claim(ts, sound);
        return true;
    }

  private:
    // Marks a block as the current file's; false when the file already holds it.
    bool claim(TrackSector ts, bool& sound) {
        const auto i = static_cast<std::size_t>(gridIndex(ts));
        if (visited_[i])
            return false;
        visited_[i] = true;
        const int other = owner_[i];
        if (other == 0) {
            owner_[i] = position_ + 1;
        } else if (std::find(reported_.begin(), reported_.end(), other) == reported_.end()) {
            reported_.push_back(other);
            sound = false;
            problems_.push_back({"crosslink", position_, ts,
                                 other < 0
                                     ? "block " + addressText(ts) + " belongs to the directory"
                                     : "block " + addressText(ts) + " also belongs to entry " +
                                           std::to_string(other - 1)});
        }
        return true;
    }

    DiskImage& image_;
    std::vector<ScanProblem>& problems_;
    std::array<int, kGridCells> owner_{};  // entry position + 1; -1 the directory
    std::array<bool, kGridCells> visited_{};
    std::vector<int> reported_;
    int position_ = 0;
};

void appendBytes(std::vector<std::uint8_t>& out, const void* data, std::size_t n) {
    const auto* p = static_cast<const std::uint8_t*>(data);
    out.insert(out.end(), p, p + n);
}

void appendWord(std::vector<std::uint8_t>& out, std::uint32_t v) {
    const std::uint8_t b[4] = {static_cast<std::uint8_t>(v), static_cast<std::uint8_t>(v >> 8),
                               static_cast<std::uint8_t>(v >> 16),
                               static_cast<std::uint8_t>(v >> 24)};
    appendBytes(out, b, 4);
}

// Follows one entry's chains: its data (or, for a VLIR file, each record), the info
// block of a GEOS file and the side sectors of a relative file.
void walkEntry(DiskImage& image, const DirEntry& e, ChainWalker& walker, ScannedEntry& out,
               std::vector<std::uint8_t>& content, std::vector<std::uint8_t>& record,
               std::vector<std::uint8_t>& identity, std::vector<ScanProblem>& problems) {
    const int dosType = image.dosType();
    walker.beginFile(out.position);
    content.clear();
    bool sound = true;
    int blocks = 0;
    const bool vlir = e.isGeos && e.structure == 1;
    blocks += walker.walk(e.firstBlock, vlir ? nullptr : &content, sound);
    if ((e.typeByte & 7) == 4)  // REL: the side-sector chain counts as well
        blocks += walker.walk(e.infoBlock, nullptr, sound);
    if (e.isGeos && e.infoBlock.track != 0) {
        if (walker.single(e.infoBlock, sound)) {
            ++blocks;
            if (const std::optional<GeosInfoBlock> info = readInfoBlock(image, dosType, e)) {
                out.hasInfoBlock = true;
                out.geosClass =
                    windows1252ToUtf8(convertGeosText(info->classText, {false, false, false}));
                // The info block is part of the disk's identity, not of the file's data.
                appendBytes(identity, info->raw.data() + 2, kBlockSize - 2);
            }
        }
    }
    std::int64_t length = 0;
    if (vlir) {
        // The records in index order, each framed by its length (absent: all ones), so
        // the hash does not depend on where the records lie on the disk.
        const int indexOffset = blockOffset(e.firstBlock, dosType);
        if (e.firstBlock.track != 0 && indexOffset >= 0) {
            for (const TrackSector& p : readVlirIndex(image, indexOffset, 127)) {
                if (p.track == 0 && p.sector == 0)
                    break;
                if (p.track == 0) {
                    appendWord(content, 0xFFFFFFFFu);
                    continue;
                }
                record.clear();
                blocks += walker.walk(p, &record, sound);
                appendWord(content, static_cast<std::uint32_t>(record.size()));
                content.insert(content.end(), record.begin(), record.end());
                length += static_cast<std::int64_t>(record.size());
            }
        }
    } else {
        length = static_cast<std::int64_t>(content.size());
    }
    out.contentLength = length;
    out.contentHash = hashBytes(content);
    out.chainBlocks = blocks;
    out.chainSound = sound;
    if (sound && blocks != e.blocks) {
        problems.push_back({"block count", out.position, e.firstBlock,
                            "the entry says " + std::to_string(e.blocks) +
                                " blocks, its chains hold " + std::to_string(blocks)});
    }
}

}  // namespace

ScanResult scanImage(const std::string& path, const FileStamp& stamp) {
    ScanResult result;
    std::optional<DiskImage> image = DiskImage::open(path, &result.error);
    if (!image)
        return result;
    ScannedImage& s = result.image.emplace();
    s.path = path;
    s.stamp = stamp;
    const std::int64_t size = image->size();
    s.errorInfo = image->hasErrorInfo();
    if (size != kSize35 && size != kSize35Errors && size != kSize40 && size != kSize40Errors) {
        s.problems.push_back({"unsupported size", -1, {}, std::to_string(size) + " bytes"});
        return result;
    }
    image->readInPieces();  // every chain is followed: read each part of the file once

    const ListerOptions& options = indexOptions();
    ScanDialogHost host(s.problems);
    Dialogs dialogs(host);
    bool abortRun = false;
    DetectContext context{options, dialogs, abortRun, {}, nullptr};
    image->setDosType(detectDosType(*image, false, context));
    s.dosType = image->dosType();
    s.tracks = image->trackCount();

    const DiskHeader header = readHeader(*image, options);
    s.diskName = header.name;
    s.diskId = header.id;
    s.dosVersion = header.dosVersion;
    s.blocksFree = header.blocksFree;
    s.geosDisk = header.geosDisk;
    s.diskNameText = fieldText(header.name.data(), header.name.size(), CharMode::UpperGraphics);
    s.diskNameTextUl = fieldText(header.name.data(), header.name.size(), CharMode::UpperLower);
    s.diskIdText = fieldText(header.id.data(), header.id.size(), CharMode::UpperGraphics);
    const ConversionChoice headerChoice = chooseConversion(ListingTextKind::Header, header.geosDisk,
                                                           options, CharMode::UpperGraphics);
    s.headerLine =
        utf8(convertListingText(headerChoice, header.headerText, nullptr, options).listing);

    std::vector<DirEntry> dir;
    const DirEnd end = walkDirectory(*image, options, dialogs, [&](const DirEntry& e) {
        dir.push_back(e);
        ScannedEntry& out = s.entries.emplace_back();
        out.position = static_cast<int>(s.entries.size()) - 1;
        out.slotOffset = e.entryOffset;
        out.name = e.name;
        out.typeByte = e.typeByte;
        out.typeText = e.typeText;
        out.blocks = e.blocks;
        out.firstBlock = e.firstBlock;
        out.isGeos = e.isGeos;
        out.geosType = e.geosType;
        out.structure = e.structure;
        std::string prefix = e.blocksText;
        const ConvertedText name = convertListingText(
            chooseConversion(ListingTextKind::Entry, e.isGeos, options, CharMode::UpperGraphics),
            e.nameText, &prefix, options);
        out.line = utf8(entryLine(prefix, name.listing, e.typeText, true));
        out.nameText = bareName(name.listing);
        std::string prefixUl = e.blocksText;
        out.nameTextUl =
            bareName(convertListingText(chooseConversion(ListingTextKind::Entry, e.isGeos, options,
                                                         CharMode::UpperLower),
                                        e.nameText, &prefixUl, options)
                         .listing);
    });
    s.directoryEnd = dirEndName(end);

    ChainWalker walker(*image, s.problems);
    walker.reserve({18, 0});
    for (const DirEntry& e : dir)
        walker.reserve(blockAt(e.entryOffset & ~0xFF));

    // The disk's identity: the header fields, then every entry's type, name, block
    // count and content (and a GEOS file's info block), in directory order.
    std::vector<std::uint8_t> identity;
    appendBytes(identity, s.diskName.data(), s.diskName.size());
    appendBytes(identity, s.diskId.data(), s.diskId.size());
    appendBytes(identity, s.dosVersion.data(), s.dosVersion.size());
    std::vector<std::uint8_t> content, record;
    for (std::size_t i = 0; i < dir.size(); ++i) {
        ScannedEntry& out = s.entries[i];
        const DirEntry& e = dir[i];
        identity.push_back(e.typeByte);
        appendBytes(identity, e.name.data(), e.name.size());
        appendWord(identity, static_cast<std::uint32_t>(e.blocks));
        walkEntry(*image, e, walker, out, content, record, identity, s.problems);
        appendBytes(identity, out.contentHash.bytes.data(), out.contentHash.bytes.size());
    }
    s.hash = hashBytes(identity);
    return result;
}

}  // namespace qv
