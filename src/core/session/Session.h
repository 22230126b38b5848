#pragma once

#include <memory>
#include <string>
#include <vector>

#include "bam/BlockMap.h"
#include "geos/GeosCatalogue.h"
#include "host/Dialogs.h"
#include "settings/Fonts.h"
#include "settings/OptionsModel.h"
#include "settings/SettingsStore.h"
#include "viewer/TokenTable.h"
#include "viewer/ViewerOptions.h"

namespace qv {

// The program's state that the windows (or the commands of the command-line program)
// share: the dialog seam, the settings store, the listing options, the fonts, the
// token table with the viewer options and start addresses, the GEOS catalogue and
// the block map. The main window and the command-line program each make one and hand
// it to whatever needs part of it, so that every rule about this state lives here
// once.
class Session : private CatalogueObserver {
  public:
    // With the settings file at settingsFile (the application).
    Session(DialogHost& host, std::string settingsFile);
    // With settings that live in memory and are never written (the command line).
    Session(DialogHost& host, IniFile settings);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    Dialogs& dialogs() { return dialogs_; }
    SettingsStore& settings() { return settings_; }
    OptionsModel& options() { return options_; }
    const ListerOptions& listerOptions() const { return options_.record(); }
    FontSettings& fonts() { return fonts_; }
    TokenTable& tokens() { return tokens_; }
    ViewerOptions& viewerOptions() { return viewerOptions_; }
    GeosCatalogue& catalogue() { return catalogue_; }
    BlockMap& blockMap() { return blockMap_; }

    // Start-up: the options (their parse messages shown, or handed back in messages
    // when given), the main window's save folder, the fonts and the catalogue's icon
    // message switch. False, after "ListerOptions: Failed to Load Quorvane.ini
    // File...Exiting", when the settings file exists but cannot be read; the defaults
    // then stand.
    bool load(std::vector<std::string>* messages = nullptr);

    // The save folder chosen on the options' "Path:" (empty: none), as the options
    // dialog sets it.
    const std::string& saveFolder() const { return saveFolder_; }
    void setSaveFolder(std::string folder) { saveFolder_ = std::move(folder); }
    // Where the files of a run go: the chosen save folder, else the folder of the
    // run's first image.
    std::string runSaveFolder(const std::string& firstImage) const;

    // The token table in full (a custom table when chosen, the colours, the index),
    // with the viewer options, once, before a viewer or the editor first uses it.
    // A custom table file that is missing is switched off in the settings at once.
    // Returns the mode the viewer selects.
    int loadFullTokenTable(const std::string& programFolder);

  private:
    void addingStopped() override;

    Dialogs dialogs_;
    SettingsStore settings_;
    OptionsModel options_;
    FontSettings fonts_;
    TokenTable tokens_;
    ViewerOptions viewerOptions_;
    GeosCatalogue catalogue_;
    BlockMap blockMap_;
    std::string saveFolder_;
};

}  // namespace qv
