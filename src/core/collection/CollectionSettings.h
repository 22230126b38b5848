#pragma once

#include <string>
#include <vector>

#include "settings/IniFile.h"

namespace qv {

// [Collection]: the collection window's index and the folders it updates from.
//   Database=/path/to/games.qvi
//   Folders=2
//   Folder1=/path/to/disks
//   Folder2=/path/to/more disks
// Written whenever the window's choice changes; read when the window is created.
struct CollectionSettings {
    std::string database;              // empty: none chosen yet
    std::vector<std::string> folders;  // in the order they were added

    static CollectionSettings load(const IniFile& ini);
    void save(IniFile& ini) const;
    friend bool operator==(const CollectionSettings&, const CollectionSettings&) = default;
};

}  // namespace qv
