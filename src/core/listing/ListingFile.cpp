#include "listing/ListingFile.h"

#include "support/CodePage.h"
#include "support/RtfReader.h"

namespace qv {

RichDocument listingDocument(std::string text,
                             const std::vector<std::pair<std::size_t, std::size_t>>& headerMarks,
                             const RichFont& font) {
    RichDocument doc;
    doc.text = std::move(text);
    doc.font = font;
    doc.ranges.reserve(headerMarks.size());
    for (const auto& [start, end] : headerMarks) {
        doc.setColour(start, end, kHeaderColour);
    }
    return doc;
}

std::string truncatedListingFile(std::string_view bytes, std::size_t maxText) {
    std::string out(bytes.substr(0, maxText));
    if (looksLikeRtf(bytes)) {
        out += "\\par }\r\n";
    }
    return out;
}

RichDocument readListingFile(std::string_view bytes) {
    if (auto rtf = readRtf(bytes, CodePage::Cp437)) {
        return std::move(*rtf);
    }
    RichDocument doc;
    if (bytes.substr(0, 3) == "\xEF\xBB\xBF") {
        doc.text = utf8ToCp437(bytes.substr(3));
        return doc;
    }
    doc.text.reserve(bytes.size() + bytes.size() / 32);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r') {
            doc.text += "\r\n";
            if (i + 1 < bytes.size() && bytes[i + 1] == '\n') {
                ++i;
            }
        } else if (c == '\n') {
            doc.text += "\r\n";
        } else {
            doc.text.push_back(c);
        }
    }
    return doc;
}

}  // namespace qv
