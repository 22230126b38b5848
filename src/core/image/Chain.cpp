#include "image/Chain.h"

namespace qv {

int chainDataLength(std::uint8_t nextTrack, std::uint8_t nextSector) {
    if (nextTrack != 0)
        return 254;
    return nextSector < 2 ? 0 : nextSector - 1;
}

ChainResult walkChain(DiskImage& image, TrackSector start, int dosType,
                      const ChainVisitor& visitor) {
    ChainResult result;
    const int bound = blockBoundFor(dosType);
    TrackSector ts = start;
    while (ts.track != 0) {
        if (result.blocks >= bound) {
            result.end = ChainEnd::BlockBound;
            return result;
        }
        const int offset = blockOffset(ts, dosType);
        std::optional<Block> block = offset < 0 ? std::nullopt : image.readBlockAt(offset);
        if (!block) {
            result.end = ChainEnd::IllegalLink;
            result.badLink = ts;
            return result;
        }
        const Block& b = *block;
        const int length = chainDataLength(b[0], b[1]);
        ChainBlock cb{ts, offset, result.blocks,
                      std::span<const std::uint8_t>(b.data() + 2, static_cast<std::size_t>(length)),
                      &b};
        ++result.blocks;
        if (!visitor(cb)) {
            result.end = ChainEnd::Stopped;
            return result;
        }
        ts = {b[0], b[1]};
    }
    result.end = ChainEnd::Normal;
    return result;
}

}  // namespace qv
