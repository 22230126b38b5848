#include "support/Files.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

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

bool writeFileAtomically(const std::string& linkOrPath, std::string_view bytes) {
    std::error_code ec;
    std::string path = linkOrPath;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto target = std::filesystem::weakly_canonical(path, ec);
        if (ec)
            return false;
        path = target.string();
    }
    if (std::filesystem::is_directory(path, ec))
        return false;
    const std::string tmp = path + ".qvtmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(tmp.c_str());
            return false;
        }
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace qv
