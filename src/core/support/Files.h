#pragma once

#include <string>
#include <string_view>

#include "support/SafeFile.h"

namespace qv {

// Path separators of this platform: "/" here, both slashes on Windows.
bool isPathSeparator(char c);

// The file name of a path: everything after its last separator.
std::string fileNamePart(const std::string& path);

// The folder part of a path, up to and including its last separator ("" without one).
std::string folderPart(const std::string& path);

// Writes a whole file through replaceFileContent (support/SafeFile.h): a new file
// beside the target, flushed, then renamed over it in one step, so an existing file is
// never left half-written. False (and nothing changed) on failure or for a folder.
// RenamedOnly skips the flush, for output the command line can make again.
[[nodiscard]] bool writeFileAtomically(const std::string& path, std::string_view bytes,
                                       Durability durability = Durability::Flushed);

}  // namespace qv
