#include "support/RichText.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace qv {
namespace {

CharFormat overlay(const CharFormat& below, const CharFormat& above) {
    CharFormat result = below;
    auto lay = [](auto& field, const auto& top) {
        if (top) {
            field = top;
        }
    };
    lay(result.colour, above.colour);
    lay(result.background, above.background);
    lay(result.face, above.face);
    lay(result.points, above.points);
    lay(result.bold, above.bold);
    lay(result.italic, above.italic);
    lay(result.underline, above.underline);
    lay(result.outline, above.outline);
    lay(result.offset, above.offset);
    return result;
}

}  // namespace

void RichDocument::setColour(std::size_t start, std::size_t end, Rgb colour) {
    end = std::min(end, text.size());
    if (start >= end) {
        return;
    }
    CharFormat format;
    format.colour = colour & 0xFFFFFFu;
    ranges.push_back({start, end, format});
}

void RichDocument::setFormat(std::size_t start, std::size_t end, const CharFormat& format) {
    end = std::min(end, text.size());
    if (start >= end) {
        return;
    }
    ranges.push_back({start, end, format});
}

std::size_t RichDocument::paragraphAt(std::size_t position) const {
    std::size_t paragraph = 0;
    const std::size_t last = std::min(position, text.size());
    for (std::size_t i = 0; i + 1 < last; ++i) {
        if (text[i] == '\r' && text[i + 1] == '\n') {
            ++paragraph;
        }
    }
    return paragraph;
}

const ParagraphFormat& RichDocument::paragraphFormat(std::size_t i) const {
    static const ParagraphFormat kDefault;
    return i < paragraphs.size() ? paragraphs[i] : kDefault;
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
