#include "support/DiskBuilder.h"

#include <algorithm>
#include <fstream>
#include <stdexcept>

namespace qv::test {
namespace {

constexpr int kHeader = kHeaderOffset;

int extendedOffset(ExtendedBam kind) {
    switch (kind) {
        case ExtendedBam::SpeedDos:
            return 192;
        case ExtendedBam::DolphinDos:
            return 172;
        case ExtendedBam::PrologicDos:
            return 144;
        case ExtendedBam::None:
            break;
    }
    return -1;
}

// Directory sectors on track 18 in the order a 1541 uses them.
constexpr int kDirSectors[] = {1, 4, 7, 10, 13, 16, 2, 5, 8, 11, 14, 17, 3, 6, 9, 12, 15, 18};

}  // namespace

std::array<std::uint8_t, 16> petsciiName(const std::string& name) {
    std::array<std::uint8_t, 16> out;
    out.fill(0xA0);
    for (std::size_t i = 0; i < name.size() && i < 16; ++i) {
        out[i] = static_cast<std::uint8_t>(name[i]);
    }
    return out;
}

std::array<std::uint8_t, 16> rawName(const Bytes& bytes) {
    std::array<std::uint8_t, 16> out;
    out.fill(0xA0);
    std::copy_n(bytes.begin(), std::min<std::size_t>(16, bytes.size()), out.begin());
    return out;
}

DiskBuilder::DiskBuilder(int tracks, bool errorInfo) : tracks_(tracks), errorInfo_(errorInfo) {
    if (tracks != 35 && tracks != 40)
        throw std::invalid_argument("tracks must be 35 or 40");
    const int blocks = tracks == 35 ? kBlocks35 : kBlocks40;
    bytes_.assign(static_cast<std::size_t>(blocks * kBlockSize + (errorInfo ? blocks : 0)), 0);
    if (errorInfo) {
        std::fill(bytes_.begin() + blocks * kBlockSize, bytes_.end(), 1);
    }
}

int DiskBuilder::offset(TrackSector ts) const {
    const int o = blockOffset(ts, dosTypeForAddressing());
    if (o < 0 || ts.track == 0)
        throw std::out_of_range("no such block");
    return o;
}

std::uint8_t* DiskBuilder::block(TrackSector ts) {
    return bytes_.data() + offset(ts);
}

DiskBuilder& DiskBuilder::put(TrackSector ts, int index, std::initializer_list<std::uint8_t> v) {
    return put(ts, index, Bytes(v));
}

DiskBuilder& DiskBuilder::put(TrackSector ts, int index, const Bytes& values) {
    if (index < 0 || index + static_cast<int>(values.size()) > kBlockSize) {
        throw std::out_of_range("write beyond the block");
    }
    std::copy(values.begin(), values.end(), block(ts) + index);
    return *this;
}

DiskBuilder& DiskBuilder::putAt(int off, const Bytes& values) {
    if (off < 0 || off + values.size() > bytes_.size())
        throw std::out_of_range("beyond image");
    std::copy(values.begin(), values.end(), bytes_.begin() + off);
    return *this;
}

DiskBuilder& DiskBuilder::link(TrackSector from, TrackSector to) {
    return put(from, 0,
               {static_cast<std::uint8_t>(to.track), static_cast<std::uint8_t>(to.sector)});
}

int DiskBuilder::bamEntryOffset(int track) const {
    if (track <= 35)
        return kHeader + 4 * track;
    const int base = extendedOffset(ext_);
    if (base < 0)
        return -1;
    return kHeader + base + 4 * (track - 36);
}

DiskBuilder& DiskBuilder::format(const std::string& name, const std::string& id,
                                 const std::string& dos) {
    std::uint8_t* h = block({18, 0});
    std::fill(h, h + kBlockSize, 0);
    h[0] = 18;
    h[1] = 1;
    h[2] = 0x41;
    for (int t = 1; t <= 35; ++t) {
        const int n = sectorsOnTrack(t);
        std::uint8_t* e = bytes_.data() + bamEntryOffset(t);
        e[0] = static_cast<std::uint8_t>(n);
        const std::uint32_t bits = (1u << n) - 1;
        e[1] = bits & 0xFF;
        e[2] = (bits >> 8) & 0xFF;
        e[3] = (bits >> 16) & 0xFF;
    }
    const auto n = petsciiName(name);
    std::copy(n.begin(), n.end(), h + 144);
    h[160] = h[161] = 0xA0;
    h[162] = id.size() > 0 ? static_cast<std::uint8_t>(id[0]) : 0xA0;
    h[163] = id.size() > 1 ? static_cast<std::uint8_t>(id[1]) : 0xA0;
    h[164] = 0xA0;
    h[165] = dos.size() > 0 ? static_cast<std::uint8_t>(dos[0]) : 0xA0;
    h[166] = dos.size() > 1 ? static_cast<std::uint8_t>(dos[1]) : 0xA0;
    std::fill(h + 167, h + 171, 0xA0);
    allocate({18, 0});
    dirBlocks_.clear();
    usedSlots_ = 0;
    std::uint8_t* d = block({18, 1});
    std::fill(d, d + kBlockSize, 0);
    d[1] = 0xFF;
    dirBlocks_.push_back({18, 1});
    allocate({18, 1});
    return *this;
}

DiskBuilder& DiskBuilder::extendedBam(ExtendedBam kind) {
    if (tracks_ != 40)
        throw std::logic_error("an extended BAM needs 40 tracks");
    std::uint8_t* h = block({18, 0});
    if (kind == ExtendedBam::PrologicDos) {
        // PrologicDOS keeps the header 20 bytes further on and "2P" as DOS characters.
        std::uint8_t header[23];
        std::copy(h + 144, h + 167, header);
        std::copy(header, header + 23, h + 164);
        h[185] = '2';
        h[186] = 'P';
    }
    ext_ = kind;
    for (int t = 36; t <= 40; ++t) {
        std::uint8_t* e = bytes_.data() + bamEntryOffset(t);
        e[0] = 17;
        e[1] = 0xFF;
        e[2] = 0xFF;
        e[3] = 0x01;
    }
    return *this;
}

bool DiskBuilder::isFree(TrackSector ts) const {
    const int e = bamEntryOffset(ts.track);
    if (e < 0)
        return true;
    return (bytes_[static_cast<std::size_t>(e + 1 + ts.sector / 8)] >> (ts.sector % 8)) & 1;
}

DiskBuilder& DiskBuilder::allocate(TrackSector ts) {
    const int e = bamEntryOffset(ts.track);
    if (e < 0 || !isFree(ts))
        return *this;
    bytes_[static_cast<std::size_t>(e + 1 + ts.sector / 8)] &=
        static_cast<std::uint8_t>(~(1u << (ts.sector % 8)));
    --bytes_[static_cast<std::size_t>(e)];
    return *this;
}

DiskBuilder& DiskBuilder::release(TrackSector ts) {
    const int e = bamEntryOffset(ts.track);
    if (e < 0 || isFree(ts))
        return *this;
    bytes_[static_cast<std::size_t>(e + 1 + ts.sector / 8)] |=
        static_cast<std::uint8_t>(1u << (ts.sector % 8));
    ++bytes_[static_cast<std::size_t>(e)];
    return *this;
}

TrackSector DiskBuilder::nextFreeBlock() {
    for (int t = allocTrack_; t <= tracks_; ++t) {
        if (t == 18)
            continue;
        for (int s = 0; s < sectorsOnTrack(t); ++s) {
            // A block is taken when the BAM says so or when it was written before.
            const std::uint8_t* b = bytes_.data() + blockOffset(t, s, dosTypeForAddressing());
            const bool untouched = std::all_of(b, b + kBlockSize, [](auto x) { return x == 0; });
            if (isFree({t, s}) && untouched) {
                allocTrack_ = t;
                allocate({t, s});
                return {t, s};
            }
        }
    }
    throw std::runtime_error("disk full");
}

void DiskBuilder::writeChainAt(const std::vector<TrackSector>& blocks, const Bytes& data) {
    std::size_t pos = 0;
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        std::uint8_t* b = block(blocks[i]);
        std::fill(b, b + kBlockSize, 0);
        const std::size_t take =
            std::min<std::size_t>(254, data.size() - std::min(pos, data.size()));
        std::copy_n(data.begin() + static_cast<long>(std::min(pos, data.size())), take, b + 2);
        pos += take;
        if (i + 1 < blocks.size()) {
            b[0] = static_cast<std::uint8_t>(blocks[i + 1].track);
            b[1] = static_cast<std::uint8_t>(blocks[i + 1].sector);
        } else {
            b[0] = 0;
            b[1] = static_cast<std::uint8_t>(take + 1);
        }
    }
}

std::vector<TrackSector> DiskBuilder::writeChain(const Bytes& data) {
    const std::size_t count = std::max<std::size_t>(1, (data.size() + 253) / 254);
    std::vector<TrackSector> blocks;
    for (std::size_t i = 0; i < count; ++i) {
        blocks.push_back(nextFreeBlock());
        block(blocks.back())[0] = 0xFF;  // mark as written while the chain is allocated
    }
    writeChainAt(blocks, data);
    return blocks;
}

void DiskBuilder::addDirectoryBlock() {
    TrackSector next;
    const std::size_t n = dirBlocks_.size();
    if (n < std::size(kDirSectors)) {
        next = {18, kDirSectors[n]};
        allocate(next);
    } else {
        next = nextFreeBlock();
    }
    std::uint8_t* b = block(next);
    std::fill(b, b + kBlockSize, 0);
    b[1] = 0xFF;
    link(dirBlocks_.back(), next);
    dirBlocks_.push_back(next);
}

DiskBuilder& DiskBuilder::setSlot(int slot, const DirEntrySpec& e) {
    while (static_cast<int>(dirBlocks_.size()) * 8 <= slot)
        addDirectoryBlock();
    std::uint8_t* b = block(dirBlocks_[static_cast<std::size_t>(slot / 8)]) + 32 * (slot % 8);
    b[2] = e.typeByte;
    b[3] = static_cast<std::uint8_t>(e.first.track);
    b[4] = static_cast<std::uint8_t>(e.first.sector);
    std::copy(e.name.begin(), e.name.end(), b + 5);
    b[21] = static_cast<std::uint8_t>(e.info.track);
    b[22] = static_cast<std::uint8_t>(e.info.sector);
    b[23] = e.structure;
    b[24] = e.geosType;
    std::copy(e.date.begin(), e.date.end(), b + 25);
    b[30] = static_cast<std::uint8_t>(e.blocks & 0xFF);
    b[31] = static_cast<std::uint8_t>((e.blocks >> 8) & 0xFF);
    return *this;
}

DiskBuilder& DiskBuilder::addEntry(const DirEntrySpec& entry) {
    setSlot(usedSlots_, entry);
    ++usedSlots_;
    return *this;
}

DirEntrySpec DiskBuilder::addFile(const std::string& name, std::uint8_t typeByte,
                                  const Bytes& data) {
    const auto blocks = writeChain(data);
    DirEntrySpec e;
    e.typeByte = typeByte;
    e.first = blocks.front();
    e.name = petsciiName(name);
    e.blocks = static_cast<int>(blocks.size());
    addEntry(e);
    return e;
}

TrackSector DiskBuilder::writeInfoBlock(const InfoBlockSpec& info) {
    const TrackSector ts = nextFreeBlock();
    std::uint8_t* b = block(ts);
    std::fill(b, b + kBlockSize, 0);
    if (!info.raw.empty()) {
        std::copy_n(info.raw.begin(), std::min<std::size_t>(kBlockSize, info.raw.size()), b);
        return ts;
    }
    b[0] = 0;
    b[1] = 0xFF;
    b[2] = info.iconWidth;
    b[3] = info.iconHeight;
    b[4] = info.iconFormat;
    std::copy_n(info.icon.begin(), std::min<std::size_t>(63, info.icon.size()), b + 5);
    b[68] = info.cbmType;
    b[69] = info.geosType;
    b[70] = info.structure;
    auto text = [&](int at, int room, const std::string& s) {
        std::copy_n(s.begin(), std::min<std::size_t>(static_cast<std::size_t>(room), s.size()),
                    b + at);
    };
    text(77, 20, info.className);
    text(97, 20, info.author);
    text(117, 20, info.application);
    text(160, 95, info.description);
    if (info.titlePage)
        b[139] = 0x80;
    return ts;
}

DirEntrySpec DiskBuilder::addGeosSequential(const std::string& name, const InfoBlockSpec& info,
                                            const Bytes& data, std::array<std::uint8_t, 5> date) {
    const auto blocks = writeChain(data);
    const TrackSector infoTs = writeInfoBlock(info);
    DirEntrySpec e;
    e.typeByte = info.cbmType;
    e.first = blocks.front();
    e.name = petsciiName(name);
    e.info = infoTs;
    e.structure = 0;
    e.geosType = info.geosType;
    e.date = date;
    e.blocks = static_cast<int>(blocks.size()) + 1;
    addEntry(e);
    return e;
}

DirEntrySpec DiskBuilder::addGeosVlir(const std::string& name, const InfoBlockSpec& info,
                                      const std::vector<Bytes>& records,
                                      std::array<std::uint8_t, 5> date) {
    const TrackSector index = nextFreeBlock();
    block(index)[1] = 0xFF;
    int total = 1;
    Bytes pointers(254, 0);
    for (std::size_t r = 0; r < records.size() && r < 127; ++r) {
        if (records[r].empty()) {
            pointers[2 * r] = 0;
            pointers[2 * r + 1] = 0xFF;
            continue;
        }
        const auto blocks = writeChain(records[r]);
        total += static_cast<int>(blocks.size());
        pointers[2 * r] = static_cast<std::uint8_t>(blocks.front().track);
        pointers[2 * r + 1] = static_cast<std::uint8_t>(blocks.front().sector);
    }
    put(index, 0, {0, 0xFF});
    put(index, 2, pointers);
    const TrackSector infoTs = writeInfoBlock(info);
    DirEntrySpec e;
    e.typeByte = info.cbmType;
    e.first = index;
    e.name = petsciiName(name);
    e.info = infoTs;
    e.structure = 1;
    e.geosType = info.geosType;
    e.date = date;
    e.blocks = total + 1;
    addEntry(e);
    return e;
}

DiskBuilder& DiskBuilder::geosSignature(const std::string& text) {
    Bytes b(text.begin(), text.end());
    return put({18, 0}, 173, b);
}

DiskBuilder& DiskBuilder::errorByte(TrackSector ts, std::uint8_t value) {
    if (!errorInfo_)
        throw std::logic_error("the image has no error info");
    const int area = tracks_ == 35 ? kSize35 : kSize40;
    bytes_[static_cast<std::size_t>(area + offset(ts) / kBlockSize)] = value;
    return *this;
}

void DiskBuilder::save(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes_.data()),
              static_cast<std::streamsize>(bytes_.size()));
    if (!out)
        throw std::runtime_error("cannot write " + path);
}

}  // namespace qv::test
