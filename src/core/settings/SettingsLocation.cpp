#include "settings/SettingsLocation.h"

#include <cstdlib>
#include <system_error>

namespace qv {

namespace fs = std::filesystem;

namespace {

// Puts the old file at target as the answer says; a message when that fails.
std::string takeOverOldFile(int answer, const fs::path& oldFile, const fs::path& target) {
    std::error_code ec;
    switch (answer) {
        case 1:  // Copy
            fs::copy_file(oldFile, target, fs::copy_options::overwrite_existing, ec);
            if (ec)
                return "MainForm: Failed to copy " + oldFile.string() + " to " + target.string();
            return {};
        case 6:  // Move
            fs::rename(oldFile, target, ec);
            if (ec) {
                // Another file system: copy, then remove the old one.
                ec.clear();
                fs::copy_file(oldFile, target, fs::copy_options::overwrite_existing, ec);
                if (!ec)
                    fs::remove(oldFile, ec);
            }
            if (ec)
                return "MainForm: Failed to move " + oldFile.string() + " to " + target.string();
            return {};
        case 7:  // Delete
            fs::remove(oldFile, ec);
            if (ec)
                return "MainForm: Failed to delete " + oldFile.string();
            return {};
        default:  // Cancel, or the window closed: leave it
            return {};
    }
}

}  // namespace

fs::path userConfigHome(const char* xdgConfigHome, const char* home) {
    if (xdgConfigHome && *xdgConfigHome) {
        const fs::path p(xdgConfigHome);
        if (p.is_absolute())
            return p;  // a relative value is to be ignored
    }
    if (home && *home)
        return fs::path(home) / ".config";
    return {};
}

fs::path userConfigHome() {
    return userConfigHome(std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

fs::path settingsFilePath(const fs::path& programDir, const fs::path& configHome) {
    const fs::path portable = programDir / kSettingsFileName;
    std::error_code ec;
    if (fs::exists(portable, ec) || configHome.empty())
        return portable;
    return configHome / kSettingsFolderName / kSettingsFileName;
}

SettingsFileSetup setUpSettingsFile(const fs::path& programDir, const fs::path& configHome,
                                    const fs::path& legacyFile, Dialogs& dialogs) {
    SettingsFileSetup setup;
    const fs::path portable = programDir / kSettingsFileName;
    setup.file = settingsFilePath(programDir, configHome);
    std::error_code ec;
    if (setup.file == portable) {
        if (configHome.empty() && !fs::exists(portable, ec)) {
            setup.messages.push_back("MainForm: Failed to get AppDataDir... Using " +
                                     programDir.string());
        }
        return setup;
    }

    const fs::path folder = setup.file.parent_path();
    if (fs::is_directory(folder, ec))
        return setup;
    fs::create_directories(folder, ec);
    if (ec || !fs::is_directory(folder, ec)) {
        setup.messages.push_back("MainForm: Failed to make AppDataDir... Using " +
                                 programDir.string());
        setup.file = portable;
        return setup;
    }
    setup.folderCreated = true;

    if (!legacyFile.empty() && fs::is_regular_file(legacyFile, ec)) {
        const QuestionReply reply = dialogs.ask(QuestionMode::OldSettingsFile, legacyFile.string(),
                                                kOldSettingsFileQuestion);
        const std::string failure = takeOverOldFile(reply.result, legacyFile, setup.file);
        if (!failure.empty())
            setup.messages.push_back(failure);
    }
    return setup;
}

}  // namespace qv
