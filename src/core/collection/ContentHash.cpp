#include "collection/ContentHash.h"

#include <xxhash.h>

namespace qv {

std::string ContentHash::hex() const {
    static const char kDigits[] = "0123456789abcdef";
    std::string out;
    out.reserve(32);
    for (std::uint8_t b : bytes) {
        out.push_back(kDigits[b >> 4]);
        out.push_back(kDigits[b & 15]);
    }
    return out;
}

ContentHash hashBytes(std::span<const std::uint8_t> data) {
    XXH128_canonical_t canonical;
    XXH128_canonicalFromHash(&canonical, XXH3_128bits(data.data(), data.size()));
    ContentHash h;
    for (std::size_t i = 0; i < h.bytes.size(); ++i)
        h.bytes[i] = canonical.digest[i];
    return h;
}

}  // namespace qv
