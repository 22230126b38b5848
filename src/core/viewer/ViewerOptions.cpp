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
