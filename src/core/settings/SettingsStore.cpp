#include "settings/SettingsStore.h"

namespace qv {

SettingsStore::SettingsStore(std::string path, Dialogs& dialogs)
    : path_(std::move(path)), dialogs_(dialogs) {}

SettingsStore::SettingsStore(IniFile settings, Dialogs& dialogs)
    : memory_(std::move(settings)), dialogs_(dialogs) {}

std::optional<IniFile> SettingsStore::read() const {
    if (memory_)
        return memory_;
    return IniFile::load(path_);
}

IniFile SettingsStore::readOrEmpty() const {
    std::optional<IniFile> ini = read();
    return ini ? std::move(*ini) : IniFile();
}

bool SettingsStore::update(const std::string& module, const std::function<void(IniFile&)>& change) {
    if (memory_) {
        change(*memory_);
        return true;
    }
    std::optional<IniFile> ini = IniFile::load(path_);
    if (!ini)
        return false;
    change(*ini);
    const std::string text = ini->text();
    const auto bytes = std::span(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
    if (replaceFileContent(path_, bytes, writeHook_).ok)
        return true;
    dialogs_.message(settingsSaveFailedMessage(module));
    return false;
}

}  // namespace qv
