#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv::test {

// A path inside a temporary folder: dir / "name".
inline std::filesystem::path operator/(const TempDir& dir, const std::string& name) {
    return std::filesystem::path(dir.file(name));
}

}  // namespace qv::test
