#pragma once

#include <string>
#include <string_view>

#include "listing/DirectoryReader.h"

namespace qv {

struct ListerOptions;

// The styled block of the generated header around one text: the header line, the
// text centred between the pre and post texts (split into several lines when it is
// too long), and the footer.
std::string formatHeaderBlock(const std::string& text, const ListerOptions& options);
// The same appended to out.
void appendHeaderBlock(std::string_view text, const ListerOptions& options, std::string& out);

// The custom header rule: the path from its (skip + 1)-th separator on, or empty.
std::string customHeaderRule(const std::string& path, int skip);
// The prefix followed by the rule's result.
std::string customHeaderText(const std::string& path, const std::string& prefix, int skip);

// One entry line: block-count text, converted name, a blank unless the type text
// begins with "*", and the type text. With the zero-run stop only count and name.
// The block-count text may come shortened by the name's DEL codes.
std::string entryLine(std::string_view blocksText, std::string_view convertedName,
                      std::string_view typeText, bool withType);
void entryLineInto(std::string_view blocksText, std::string_view convertedName,
                   std::string_view typeText, bool withType, std::string& line);

// The closing lines of an image by its end reason (each element is one line
// appended with the line-append rule); the zero-run stop closes with one empty line.
struct ClosingLines {
    std::string freeLine;  // "664 BLOCKS FREE." or empty for the zero-run stop
    int emptyLines = 1;
};
ClosingLines closingLines(DirEnd end, int blocksFree);

}  // namespace qv
