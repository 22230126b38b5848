#include "bam/FileLookup.h"

#include <cstdlib>

#include "bam/BlockMap.h"
#include "support/CodePage.h"

namespace qv {

std::string bareName(const std::string& listed) {
    std::string s = cp437ToUtf8(listed);
    if (!s.empty() && s.front() == '"') {
        s.erase(0, 1);
        const auto quote = s.find('"');
        if (quote != std::string::npos)
            s.erase(quote);
    }
    return s;
}

int findRow(const BlockMap& map, const std::string& name) {
    if (name.size() > 1 && name[0] == '#') {
        char* end = nullptr;
        const long n = std::strtol(name.c_str() + 1, &end, 10);
        if (end && *end == '\0' && n >= 1 && n <= map.rowCount())
            return static_cast<int>(n - 1);
        return -1;
    }
    for (int row = 0; row < map.rowCount(); ++row) {
        const std::string& listed = map.fileNames()[static_cast<std::size_t>(row)];
        if (bareName(listed) == name || cp437ToUtf8(listed) == name)
            return row;
    }
    return -1;
}

}  // namespace qv
