#include "support/RichText.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace qv {
namespace {

CharFormat overlay(const CharFormat& below, const CharFormat& above) {
    CharFormat result = below;
    if (above.colour) {
        result.colour = above.colour;
    }
    return result;
}

}  // namespace

void RichDocument::setColour(std::size_t start, std::size_t end, Rgb colour) {
    end = std::min(end, text.size());
    if (start >= end) {
        return;
    }
    ranges.push_back({start, end, CharFormat{colour & 0xFFFFFFu}});
}

std::vector<FormatRange> RichDocument::runs() const {
    std::vector<FormatRange> result;
    const std::size_t size = text.size();
    if (size == 0) {
        return result;
    }
    // Each key starts a stretch whose format holds up to the next key.
    std::map<std::size_t, CharFormat> starts{{0, CharFormat{}}, {size, CharFormat{}}};
    auto split = [&](std::size_t at) {
        auto it = starts.lower_bound(at);
        if (it->first == at) {
            return it;
        }
        return starts.emplace_hint(it, at, std::prev(it)->second);
    };
    for (const auto& range : ranges) {
        const std::size_t end = std::min(range.end, size);
        if (range.start >= end) {
            continue;
        }
        auto last = split(end);
        for (auto it = split(range.start); it != last; ++it) {
            it->second = overlay(it->second, range.format);
        }
    }
    for (auto it = starts.begin(); std::next(it) != starts.end(); ++it) {
        const std::size_t end = std::next(it)->first;
        if (!result.empty() && result.back().format == it->second) {
            result.back().end = end;
        } else {
            result.push_back({it->first, end, it->second});
        }
    }
    return result;
}

}  // namespace qv
