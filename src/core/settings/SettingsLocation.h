#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "host/Dialogs.h"

namespace qv {

inline constexpr const char* kSettingsFileName = "quorvane.ini";
inline constexpr const char* kSettingsFolderName = "Quorvane";

// The text of the question (mode 7) about an old settings file.
inline constexpr const char* kOldSettingsFileQuestion =
    "There is an old quorvane.ini File in your Windows Folder.\n"
    "For newer Windows Versions the preferred Location to store *.ini Files is the\n"
    "Application Data Folder.\n"
    "How do you want to handle the old one?";

// The per-user configuration folder: $XDG_CONFIG_HOME when it is set to an absolute
// path, else $HOME/.config; empty when neither is known. The two values are passed
// in (null for an unset variable) so that the rule can be tested.
std::filesystem::path userConfigHome(const char* xdgConfigHome, const char* home);
// The same, read from this process's environment.
std::filesystem::path userConfigHome();

// Where the settings file lives: "quorvane.ini" in the program's own folder when it
// exists there (portable use); otherwise "Quorvane/quorvane.ini" below the
// per-user configuration folder. With no configuration folder known (empty), the
// program's folder is used. Looks only, changes nothing.
std::filesystem::path settingsFilePath(const std::filesystem::path& programDir,
                                       const std::filesystem::path& configHome);

struct SettingsFileSetup {
    std::filesystem::path file;         // the settings file to read and write
    bool folderCreated = false;         // the "Quorvane" folder was made just now
    std::vector<std::string> messages;  // failures, for the caller to show
};

// Finds the settings file and makes its folder when it is missing. Right after the
// folder is made, and only then, an old settings file at legacyFile (empty: none;
// this platform has no old location, other callers may pass one) is offered with
// the question of mode 7: "Copy" copies it to the new place (overwriting), "Move"
// moves it there, "Delete" deletes it, "Cancel" leaves it.
//
// When no configuration folder is known, or the folder cannot be made, the file in
// the program's folder is used instead and the reason is reported.
SettingsFileSetup setUpSettingsFile(const std::filesystem::path& programDir,
                                    const std::filesystem::path& configHome,
                                    const std::filesystem::path& legacyFile, Dialogs& dialogs);

}  // namespace qv
