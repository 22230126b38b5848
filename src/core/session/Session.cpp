#include "session/Session.h"

#include "settings/WindowSettings.h"
#include "support/Files.h"

namespace qv {

Session::Session(DialogHost& host, std::string settingsFile)
    : dialogs_(host),
      settings_(std::move(settingsFile), dialogs_),
      tokens_(&dialogs_),
      catalogue_(options_.record(), dialogs_) {
    catalogue_.addObserver(this);
}

Session::Session(DialogHost& host, IniFile settings)
    : dialogs_(host),
      settings_(std::move(settings), dialogs_),
      tokens_(&dialogs_),
      catalogue_(options_.record(), dialogs_) {
    catalogue_.addObserver(this);
}

Session::~Session() {
    catalogue_.removeObserver(this);
}

bool Session::load(std::vector<std::string>* messages) {
    std::optional<IniFile> ini = settings_.read();
    const bool readable = ini.has_value();
    if (!readable) {
        dialogs_.message(kOptionsLoadFailedMessage);
        ini = IniFile();
    }
    ListerOptions loaded;
    const OptionsLoadResult r = loadOptions(*ini, loaded);
    options_.replace(loaded);
    saveFolder_ = r.saveFolder;
    fonts_ = loadFonts(*ini);
    catalogue_.showIconMessage = MainFormSettings::load(*ini).showIconMessage != 0;
    if (messages)
        messages->insert(messages->end(), r.messages.begin(), r.messages.end());
    else
        for (const std::string& m : r.messages)
            dialogs_.message(m);
    return readable;
}

std::string Session::runSaveFolder(const std::string& firstImage) const {
    return !saveFolder_.empty() ? saveFolder_ : folderPart(firstImage);
}

int Session::loadFullTokenTable(const std::string& programFolder) {
    if (tokens_.fullyLoaded())
        return tokens_.loadFullTokenTable({});
    const IniFile ini = settings_.readOrEmpty();
    viewerOptions_.load(ini);
    TokenTable::LoadSettings load;
    load.stored = TokenTableSettings::load(ini);
    load.programFolder = programFolder;
    load.rememberedMode = viewerOptions_.mode;
    load.translateSpecialchars = viewerOptions_.translateSpecialchars;
    load.customTableMissing = [this] {
        (void)settings_.update(
            "TokenTable", [](IniFile& i) { TokenTableSettings::writeUseCustomTable(i, false); });
    };
    return tokens_.loadFullTokenTable(load);
}

void Session::addingStopped() {
    // A failed insert turns "Generate GEOS File Details" off for the rest of the run,
    // through the one path that changes the options.
    options_.change([](ListerOptions& o) { o.generateGeosFileDetails = false; });
}

}  // namespace qv
