#include "CliSettings.h"

#include <unistd.h>

#include <filesystem>
#include <system_error>

#include "settings/SettingsLocation.h"

namespace qv::cli {
namespace {

std::filesystem::path programFolder() {
    std::error_code ec;
    const auto exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::filesystem::path() : exe.parent_path();
}

}  // namespace

const char* const kSettingsOptionsHelp =
    "  --settings FILE    read the settings from FILE instead of the user's settings file\n"
    "  --set S/K=VALUE    override one setting, e.g. --set Conversion/delfiles=1\n";

bool CliSettings::parseOption(const std::vector<std::string>& args, std::size_t& i,
                              std::string& error) {
    const std::string& a = args[i];
    if (a != "--settings" && a != "--set")
        return false;
    if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return true;
    }
    if (a == "--settings") {
        file = args[++i];
        if (file.empty())
            error = "--settings needs a file name";
    } else {
        overrides.push_back(args[++i]);
    }
    return true;
}

bool CliSettings::load(std::string& error) {
    if (file.empty()) {
        const auto path = settingsFilePath(programFolder(), userConfigHome());
        std::error_code ec;
        if (std::filesystem::is_regular_file(path, ec))
            file = path.string();
    } else {
        std::error_code ec;
        if (!std::filesystem::is_regular_file(file, ec)) {
            error = "settings file " + file + " not found";
            return false;
        }
    }
    if (!file.empty()) {
        std::optional<IniFile> loaded = IniFile::load(file);
        if (!loaded) {
            error = "cannot read the settings file " + file;
            return false;
        }
        ini = std::move(*loaded);
    }
    for (const std::string& o : overrides) {
        const auto slash = o.find('/');
        const auto eq = o.find('=');
        if (slash == std::string::npos || eq == std::string::npos || eq < slash || slash == 0 ||
            eq == slash + 1) {
            error = "--set takes Section/Key=value, not '" + o + "'";
            return false;
        }
        ini.writeString(o.substr(0, slash), o.substr(slash + 1, eq - slash - 1), o.substr(eq + 1));
    }
    return true;
}

ListerOptions CliSettings::listerOptions(std::vector<std::string>& messages,
                                         std::string* saveFolder) const {
    ListerOptions options;
    OptionsLoadResult result = loadOptions(ini, options);
    messages = std::move(result.messages);
    if (saveFolder)
        *saveFolder = result.saveFolder;
    return options;
}

std::unique_ptr<Session> CliSettings::session(DialogHost& host,
                                              std::vector<std::string>& messages) const {
    auto s = std::make_unique<Session>(host, ini);
    s->load(&messages);
    return s;
}

}  // namespace qv::cli
