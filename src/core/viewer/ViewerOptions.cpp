#include "viewer/ViewerOptions.h"

#include "host/Dialogs.h"
#include "settings/IniFile.h"
#include "viewer/TokenTable.h"

namespace qv {
void ViewerOptions::reloadOptions(const IniFile& ini) {
    const bool keep = loadAtOnCreate;
    static_cast<FileViewerOptionsSettings&>(*this) = FileViewerOptionsSettings::load(ini);
    loadAtOnCreate = keep;
    applyDependencies();
}

void ViewerOptions::load(const IniFile& ini) {
    static_cast<FileViewerOptionsSettings&>(*this) = FileViewerOptionsSettings::load(ini);
    applyDependencies();
    startAddresses.load(ini);
}

void ViewerOptions::save(IniFile& ini) const {
    FileViewerOptionsSettings::save(ini);
}

void ViewerOptions::applyDependencies() {
    if (autodetect)
        ignoreStartaddress = false;
}

std::optional<int> ViewerOptions::parseMaxText(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos)
        return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    long long value = 0;
    for (const char ch : text) {
        if (ch < '0' || ch > '9')
            return std::nullopt;
        value = value * 10 + (ch - '0');
        if (value > 0x7FFFFFFFLL)
            return std::nullopt;
    }
    return static_cast<int>(value);
}

std::string ViewerOptions::maxTextRefusal(std::string_view text) {
    return "FileViewerOptions: '" + std::string(text) +
           "' is not a valid integer value...\nMax. Text in Bytes must be a whole number of "
           "bytes (0 or more).";
}

bool ViewerOptions::setTranslateSpecialchars(bool on, const TokenTable& table, Dialogs* dialogs) {
    if (on && table.specialCharsSet() == -1) {
        if (dialogs != nullptr) {
            dialogs->message(
                "TokenTable: No SpecialChars Table found (Type 1)...\nSpecialChars can't be "
                "displayed!");
        }
        on = false;
    }
    translateSpecialchars = on;
    return on;
}

}  // namespace qv
