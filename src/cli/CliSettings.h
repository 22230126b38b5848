#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "session/Session.h"
#include "settings/IniFile.h"
#include "settings/ListerOptions.h"

namespace qv::cli {

// The settings a command works with: the user's settings file (or the one named
// with --settings) with --set overrides laid over it. The command line never
// writes the settings file.
struct CliSettings {
    std::string file;  // the file read, empty when none exists
    IniFile ini;
    std::vector<std::string> overrides;  // "Section/Key=value"

    // Handles --settings FILE and --set Section/Key=value at args[i].
    bool parseOption(const std::vector<std::string>& args, std::size_t& i, std::string& error);
    // Reads the file and applies the overrides; false with error on a bad file or override.
    bool load(std::string& error);
    // The listing options with their derived fields; parse messages go to messages.
    ListerOptions listerOptions(std::vector<std::string>& messages,
                                std::string* saveFolder = nullptr) const;
    // The program's state over these settings (kept in memory, never written), with
    // the options loaded; their parse messages go to messages.
    std::unique_ptr<Session> session(DialogHost& host, std::vector<std::string>& messages) const;
};

extern const char* const kSettingsOptionsHelp;

}  // namespace qv::cli
