#include "collection/CollectionSettings.h"

#include <algorithm>

namespace qv {
namespace {

constexpr const char* kSection = "Collection";
// More folders than anyone adds by hand; a damaged count reads no further.
constexpr int kMostFolders = 1000;

}  // namespace

CollectionSettings CollectionSettings::load(const IniFile& ini) {
    CollectionSettings s;
    s.database = ini.readString(kSection, "Database", "");
    const int count = std::clamp(ini.readInt(kSection, "Folders", 0), 0, kMostFolders);
    for (int i = 1; i <= count; ++i) {
        std::string folder = ini.readString(kSection, "Folder" + std::to_string(i), "");
        if (!folder.empty() &&
            std::find(s.folders.begin(), s.folders.end(), folder) == s.folders.end())
            s.folders.push_back(std::move(folder));
    }
    return s;
}

void CollectionSettings::save(IniFile& ini) const {
    ini.writeText(kSection, "Database", database);
    ini.writeInt(kSection, "Folders", static_cast<int>(folders.size()));
    for (std::size_t i = 0; i < folders.size(); ++i)
        ini.writeText(kSection, "Folder" + std::to_string(i + 1), folders[i]);
}

}  // namespace qv
