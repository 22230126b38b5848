#include "geos/IconList.h"

#include <algorithm>

namespace qv {

Image1 makeGeosIcon(int width, int height, std::span<const std::uint8_t> bytes) {
    Image1 icon(kGeosIconWidth, kGeosIconHeight);
    // The picture's clear bits are black: each GEOS byte is stored inverted, and the
    // parts the icon does not cover stay white.
    std::fill(icon.bits.begin(), icon.bits.end(), std::uint8_t{0xFF});
    const int w = std::clamp(width, 0, 3);
    const int h = std::clamp(height, 0, kGeosIconHeight);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const std::size_t from = static_cast<std::size_t>(y * width + x);
            if (from >= bytes.size())
                return icon;
            icon.bits[static_cast<std::size_t>(y) * icon.stride() + static_cast<std::size_t>(x)] =
                static_cast<std::uint8_t>(~bytes[from]);
        }
    }
    return icon;
}

std::optional<int> IconList::add(Image1 icon) {
    if (icons_.size() >= limit_)
        return std::nullopt;
    icons_.push_back(std::move(icon));
    return static_cast<int>(icons_.size()) - 1;
}

Image1 IconList::strip(int perRow) const {
    if (icons_.empty() || perRow <= 0)
        return {};
    const int n = size();
    const int columns = std::min(n, perRow);
    const int rows = (n + columns - 1) / columns;
    Image1 out(columns * kGeosIconWidth, rows * kGeosIconHeight);
    std::fill(out.bits.begin(), out.bits.end(), std::uint8_t{0xFF});
    for (int i = 0; i < n; ++i) {
        const Image1& icon = at(i);
        const int ox = (i % columns) * kGeosIconWidth;
        const int oy = (i / columns) * kGeosIconHeight;
        for (int y = 0; y < icon.height && y < kGeosIconHeight; ++y) {
            for (int x = 0; x < icon.width && x < kGeosIconWidth; ++x)
                out.set(ox + x, oy + y, icon.get(x, y));
        }
    }
    return out;
}

Image1 enlarge(const Image1& picture, int factor) {
    if (factor <= 0 || picture.width <= 0 || picture.height <= 0)
        return {};
    Image1 out(picture.width * factor, picture.height * factor);
    out.palette = picture.palette;
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x)
            out.set(x, y, picture.get(x / factor, y / factor));
    }
    return out;
}

}  // namespace qv
