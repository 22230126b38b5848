#include "support/Files.h"

#include <cstdint>
#include <filesystem>
#include <span>
#include <system_error>

#include "support/SafeFile.h"

namespace qv {

bool isPathSeparator(char c) {
#ifdef _WIN32
    return c == '/' || c == '\\';
#else
    return c == '/';
#endif
}

std::string fileNamePart(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isPathSeparator(path[i - 1]))
            return path.substr(i);
    }
    return path;
}

std::string folderPart(const std::string& path) {
    for (std::size_t i = path.size(); i > 0; --i) {
        if (isPathSeparator(path[i - 1]))
            return path.substr(0, i);
    }
    return {};
}

bool writeFileAtomically(const std::string& path, std::string_view bytes, Durability durability) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec))
        return false;
    const auto* data = reinterpret_cast<const std::uint8_t*>(bytes.data());
    return replaceFileContent(path, std::span<const std::uint8_t>(data, bytes.size()), {},
                              durability)
        .ok;
}

}  // namespace qv
