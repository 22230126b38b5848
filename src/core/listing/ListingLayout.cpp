#include "listing/ListingLayout.h"

#include <algorithm>

#include "settings/ListerOptions.h"
#include "support/Files.h"

namespace qv {
namespace {

// Appends one line of the block: the part between the pre and post texts, centred in
// the header width with the fill characters of the styles.
void appendCentredLine(std::string_view part, const ListerOptions& o, std::string& out) {
    const std::size_t length = o.preImageText.size() + part.size() + o.postImageText.size();
    const int w = o.headerImageWidth;
    const int fill = std::max(0, w - static_cast<int>(length));
    const int left = fill / 2;
    const char leftChar = o.preImageText.empty() ? ' ' : o.preImageText.front();
    const std::size_t rightAt = static_cast<std::size_t>(std::max(1, o.postImageWidth)) - 1;
    const char rightChar = rightAt < o.postImageText.size() ? o.postImageText[rightAt] : ' ';
    out.append(static_cast<std::size_t>(left), leftChar);
    out += o.preImageText;
    out += part;
    out += o.postImageText;
    out.append(static_cast<std::size_t>(fill - left), rightChar);
}

}  // namespace

void appendHeaderBlock(std::string_view text, const ListerOptions& o, std::string& out) {
    out += o.headerImageText;
    const int w = o.headerImageWidth, wp = o.preImageWidth, wq = o.postImageWidth;
    if (w > 0 && wp > 0 && wq > 0) {
        // The room for the text on one line. When the styles leave none, every
        // character still gets a line of its own rather than being lost.
        const std::size_t room = static_cast<std::size_t>(std::max(1, w - wp - wq));
        std::string_view rest = text;
        while (!rest.empty() && rest.size() >= room) {
            std::size_t cut = 0;
            for (std::size_t i = room; i >= 1 && cut == 0; --i) {
                if (isPathSeparator(rest[i - 1]))
                    cut = i;
            }
            for (std::size_t i = room; i >= 1 && cut == 0; --i) {
                if (rest[i - 1] == ' ')
                    cut = i;
            }
            if (cut == 0)
                cut = room;
            appendCentredLine(rest.substr(0, cut), o, out);
            out += "\r\n";
            rest.remove_prefix(cut);
        }
        appendCentredLine(rest, o, out);
    } else {
        out += o.preImageText;
        out += text;
        out += o.postImageText;
    }
    out += o.footerImageText;
}

std::string formatHeaderBlock(const std::string& text, const ListerOptions& o) {
    std::string block;
    appendHeaderBlock(text, o, block);
    return block;
}

std::string customHeaderRule(const std::string& path, int skip) {
    int seen = 0;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (isPathSeparator(path[i]) && seen++ == skip)
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
