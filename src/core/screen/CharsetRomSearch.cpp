#include "screen/CharsetRomSearch.h"

#include <algorithm>
#include <cstdlib>
#include <system_error>

#include "screen/Charset.h"

namespace qv {

namespace fs = std::filesystem;

std::vector<fs::path> charsetRomFolders(const char* xdgDataHome, const char* home,
                                        const fs::path& systemRoot) {
    const fs::path vice = fs::path("vice") / "C64";
    std::vector<fs::path> folders;
    const bool haveHome = home != nullptr && *home != '\0';
    if (xdgDataHome != nullptr && *xdgDataHome != '\0' && fs::path(xdgDataHome).is_absolute())
        folders.push_back(fs::path(xdgDataHome) / vice);
    else if (haveHome)
        folders.push_back(fs::path(home) / ".local" / "share" / vice);
    if (haveHome)
        folders.push_back(fs::path(home) / ".vice" / "C64");
    for (const char* root : {"usr/local/share", "usr/share", "usr/local/lib", "usr/lib"})
        folders.push_back(systemRoot / root / vice);
    return folders;
}

std::vector<fs::path> charsetRomFolders() {
    return charsetRomFolders(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), "/");
}

CharsetRomSearch findCharsetRoms(const std::vector<fs::path>& folders) {
    CharsetRomSearch search;
    std::vector<fs::path> seen;
    for (const fs::path& folder : folders) {
        for (const char* name : kCharsetRomNames) {
            const fs::path file = folder / name;
            std::error_code ec;
            if (!fs::is_regular_file(file, ec))
                continue;
            fs::path canonical = fs::canonical(file, ec);
            if (ec)
                canonical = file;
            if (std::find(seen.begin(), seen.end(), canonical) != seen.end())
                continue;
            seen.push_back(canonical);
            const std::uintmax_t size = fs::file_size(file, ec);
            if (ec)
                continue;
            if (size != Charset::kBytes)
                search.refused.push_back(charsetRomSizeMessage(file.string(), size));
            else
                search.found.push_back(file.string());
        }
    }
    return search;
}

}  // namespace qv
