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

// The save folder of a run started by dropping files and folders (or naming them on
// the command line): the "Path:" option when it is set; otherwise, by the first item
// that exists, a file's folder, the folder itself when it is the only item, or its
// parent folder when several items were given. Ends with a separator; empty when no
// item exists.
std::string dropSaveFolder(const std::vector<std::string>& items, const std::string& pathOption);

// The file list of the images named on the command line, listed as one run: each
// name of an existing file as a full path, in the order given. Folders and names
// that do not exist are left out.
std::vector<std::string> commandLineFiles(const std::vector<std::string>& args);

// The names given on the command line as full paths, in the order given, whatever
// they name (empty names left out): files are listed, folders searched, and the
// others reported with missingPathsMessage.
std::vector<std::string> commandLinePaths(const std::vector<std::string>& args);

// The message about command-line names that are neither a file nor a folder: one
// line, then the names one per line.
std::string missingPathsMessage(const std::vector<std::string>& missing);

// Case-insensitive ordering used for file lists.
bool lessNoCase(const std::string& a, const std::string& b);

}  // namespace qv
