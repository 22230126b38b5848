#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "support/Image.h"

namespace qv {

inline constexpr int kGeosIconWidth = 24;
inline constexpr int kGeosIconHeight = 21;

// A GEOS icon as a 24 x 21 two-colour picture: `height` rows of `width` bytes, most
// significant bit leftmost, a set bit black. Pixels the icon does not cover are white.
// bytes must hold width x height bytes; width is at most 3 and height at most 21.
Image1 makeGeosIcon(int width, int height, std::span<const std::uint8_t> bytes);

// The icon pictures of the catalogue, in the order they were added; rows refer to
// them by index. Like a platform image list it holds a limited number of pictures.
class IconList {
  public:
    static constexpr std::size_t kDefaultLimit = 100000;

    explicit IconList(std::size_t limit = kDefaultLimit) : limit_(limit) {}

    // The index of the new picture, or nullopt when the list is full.
    std::optional<int> add(Image1 icon);

    int size() const { return static_cast<int>(icons_.size()); }
    const Image1& at(int index) const { return icons_[static_cast<std::size_t>(index)]; }
    void setLimit(std::size_t limit) { limit_ = limit; }

    // All icons in one picture, `perRow` to a row (fewer when there are fewer icons),
    // left to right and top to bottom in list order; cells left over are white. An
    // empty list gives an empty picture.
    Image1 strip(int perRow = 16) const;

  private:
    std::vector<Image1> icons_;
    std::size_t limit_;
};

// A picture enlarged by a whole factor in both directions (the icon shown at
// 192 x 168 pixels when a row has no viewer).
Image1 enlarge(const Image1& picture, int factor);

}  // namespace qv
