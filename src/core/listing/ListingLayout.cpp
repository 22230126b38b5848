#include "listing/ListingLayout.h"

#include <algorithm>

#include "settings/ListerOptions.h"

namespace qv {
namespace {

bool isSeparator(char c) {
#ifdef _WIN32
    return c == '\\' || c == '/';
#else
    return c == '/';
#endif
}

std::string centredLine(const std::string& part, const ListerOptions& o) {
    const std::string line = o.preImageText + part + o.postImageText;
    const int w = o.headerImageWidth;
    const int fill = std::max(0, w - static_cast<int>(line.size()));
    const int left = fill / 2;
    const char leftChar = o.preImageText.empty() ? ' ' : o.preImageText.front();
    const std::size_t rightAt = static_cast<std::size_t>(std::max(1, o.postImageWidth)) - 1;
    const char rightChar = rightAt < o.postImageText.size() ? o.postImageText[rightAt] : ' ';
    return std::string(static_cast<std::size_t>(left), leftChar) + line +
           std::string(static_cast<std::size_t>(fill - left), rightChar);
}

}  // namespace

std::string formatHeaderBlock(const std::string& text, const ListerOptions& o) {
    std::string block = o.headerImageText;
    const int w = o.headerImageWidth, wp = o.preImageWidth, wq = o.postImageWidth;
    if (w > 0 && wp > 0 && wq > 0) {
        // The room for the text on one line. When the styles leave none, every
        // character still gets a line of its own rather than being lost.
        const std::size_t room = static_cast<std::size_t>(std::max(1, w - wp - wq));
        std::string rest = text;
        while (!rest.empty() && rest.size() >= room) {
            std::size_t cut = 0;
            for (std::size_t i = room; i >= 1 && cut == 0; --i) {
                if (isSeparator(rest[i - 1]))
                    cut = i;
            }
            for (std::size_t i = room; i >= 1 && cut == 0; --i) {
                if (rest[i - 1] == ' ')
                    cut = i;
            }
            if (cut == 0)
                cut = room;
            block += centredLine(rest.substr(0, cut), o) + "\r\n";
            rest.erase(0, cut);
        }
        block += centredLine(rest, o);
    } else {
        block += o.preImageText + text + o.postImageText;
    }
    block += o.footerImageText;
    return block;
}

std::string customHeaderRule(const std::string& path, int skip) {
    int seen = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (isSeparator(path[i]) && seen++ == skip)
            return path.substr(i);
    }
    return {};
}

std::string customHeaderText(const std::string& path, const std::string& prefix, int skip) {
    return prefix + customHeaderRule(path, skip);
}

void entryLineInto(std::string_view blocksText, std::string_view convertedName,
                   std::string_view typeText, bool withType, std::string& line) {
    line.assign(blocksText);
    line += convertedName;
    if (withType) {
        if (typeText.empty() || typeText.front() != '*')
            line += ' ';
        line += typeText;
    }
}

std::string entryLine(std::string_view blocksText, std::string_view convertedName,
                      std::string_view typeText, bool withType) {
    std::string line;
    entryLineInto(blocksText, convertedName, typeText, withType, line);
    return line;
}

ClosingLines closingLines(DirEnd end, int blocksFree) {
    ClosingLines c;
    if (end == DirEnd::ZeroRun)
        return c;
    c.freeLine = std::to_string(blocksFree) + " BLOCKS FREE.";
    c.emptyLines = end == DirEnd::EndOfChain ? 1 : 2;
    return c;
}

}  // namespace qv
