#pragma once

#include <functional>
#include <optional>
#include <string>

#include "host/Dialogs.h"
#include "settings/IniFile.h"
#include "support/SafeFile.h"

namespace qv {

// Shown by a module when its keys could not be written to the settings file.
inline std::string settingsSaveFailedMessage(const std::string& module) {
    return module + ": Failed to save Quorvane.ini File...";
}

// The program's settings file. Every reader goes through read() and every writer
// through update(), which reads the file as it stands, lets the writer change its
// keys and saves it, so that keys written by other windows in the meantime stay.
// A store made from a text in memory (the command-line program with its --set
// overrides) changes only that text and never writes a file.
class SettingsStore {
  public:
    // The file at path (it need not exist yet).
    SettingsStore(std::string path, Dialogs& dialogs);
    // Settings that live in memory only.
    SettingsStore(IniFile settings, Dialogs& dialogs);

    const std::string& path() const { return path_; }
    // The file, once it is known (the application finds it after the dialogs exist).
    void setPath(std::string path) { path_ = std::move(path); }
    bool inMemory() const { return memory_.has_value(); }

    // The settings as they stand; a missing file reads as empty. nullopt when the
    // file exists but cannot be read.
    [[nodiscard]] std::optional<IniFile> read() const;
    // The settings, or empty ones when the file cannot be read.
    IniFile readOrEmpty() const;

    // Reads, changes and saves. When the file cannot be read nothing is written; when
    // it cannot be written "<module>: Failed to save Quorvane.ini File..." is shown.
    // Returns whether the change is stored.
    bool update(const std::string& module, const std::function<void(IniFile&)>& change);

    // Lets a test make the saves fail at a stage of the write.
    void setWriteHook(WriteHook hook) { writeHook_ = std::move(hook); }

  private:
    std::string path_;
    std::optional<IniFile> memory_;
    Dialogs& dialogs_;
    WriteHook writeHook_;
};

}  // namespace qv
