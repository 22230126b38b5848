#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace qv {

// A picture of 32-bit pixels 0x00RRGGBB, top row first. The C64 palette values are used
// as pixels directly.
struct Image32 {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;

    Image32() = default;
    Image32(int w, int h, std::uint32_t fill = 0)
        : width(w),
          height(h),
          pixels(static_cast<std::size_t>(w) * static_cast<std::size_t>(h), fill) {}

    std::uint32_t& at(int x, int y) { return pixels[index(x, y)]; }
    std::uint32_t at(int x, int y) const { return pixels[index(x, y)]; }

  private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
               static_cast<std::size_t>(x);
    }
};

// A two-colour picture: rows top first, each (width + 7) / 8 bytes, bit 7 the leftmost
// pixel. A set bit shows palette[1], a clear bit palette[0] (both 0xRRGGBB).
struct Image1 {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> bits;
    std::array<std::uint32_t, 2> palette{0x000000, 0xFFFFFF};

    Image1() = default;
    Image1(int w, int h) : width(w), height(h), bits(stride() * static_cast<std::size_t>(h), 0) {}

    std::size_t stride() const { return (static_cast<std::size_t>(width) + 7) / 8; }
    bool get(int x, int y) const { return (bits[offset(x, y)] & (0x80 >> (x & 7))) != 0; }
    void set(int x, int y, bool on) {
        auto mask = static_cast<std::uint8_t>(0x80 >> (x & 7));
        std::uint8_t& b = bits[offset(x, y)];
        b = on ? static_cast<std::uint8_t>(b | mask) : static_cast<std::uint8_t>(b & ~mask);
    }

  private:
    std::size_t offset(int x, int y) const {
        return static_cast<std::size_t>(y) * stride() + static_cast<std::size_t>(x >> 3);
    }
};

}  // namespace qv
