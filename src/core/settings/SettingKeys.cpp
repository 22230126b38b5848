#include "settings/SettingKeys.h"

namespace qv {

void readStringKey(const IniFile& ini, const char* section, const char* key, std::string& value) {
    value = ini.readString(section, key, value);
}

}  // namespace qv
