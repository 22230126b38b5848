#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/ScriptedDialogHost.h"

namespace qv::test {

// A path inside a temporary folder: dir / "name".
inline std::filesystem::path operator/(const TempDir& dir, const std::string& name) {
    return std::filesystem::path(dir.file(name));
}

inline void writeFile(const std::filesystem::path& p, const std::string& text) {
    std::ofstream out(p, std::ios::binary | std::ios::trunc);
    out << text;
}

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace qv::test
