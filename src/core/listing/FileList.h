#pragma once

#include <string>
#include <vector>

namespace qv {

// Turns files and folders into the file list of a run: a file is taken as it is, a
// folder gives every file in it and in all its subfolders. The list is sorted
// alphabetically without regard to letter case. Names that exist as neither are
// returned in `missing`.
std::vector<std::string> collectFiles(const std::vector<std::string>& inputs,
                                      std::vector<std::string>* missing = nullptr);

// Case-insensitive ordering used for file lists.
bool lessNoCase(const std::string& a, const std::string& b);

}  // namespace qv
