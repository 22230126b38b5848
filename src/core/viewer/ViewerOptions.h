#pragma once

// The file viewer's options: how files are shown, how BASIC programs are detokenized,
// two defaults of the BAM viewer's file list and the text limit of the viewer's C64
// screen, with the start-address lists. Read from and written to the settings file.

#include <optional>
#include <string>
#include <string_view>

#include "settings/WindowSettings.h"
#include "viewer/StartAddresses.h"

namespace qv {

class Dialogs;
class IniFile;
class TokenTable;

// The options are the stored record of the "File Viewer Options" dialog (its keys
// and defaults are that record's); the viewer adds the start-address lists and the
// rules between the options.
struct ViewerOptions : FileViewerOptionsSettings {
    StartAddresses startAddresses;  // [BASIC Address]

    // Reads every option, "LoadAtOnCreate" and the start-address lists; missing keys
    // give the defaults. The dependencies are applied.
    void load(const IniFile& ini);
    // What Cancel re-reads: the options without "LoadAtOnCreate" and the lists.
    void reloadOptions(const IniFile& ini);
    // What OK writes: every option but "LoadAtOnCreate"; the start-address lists are
    // written by their own dialog (StartAddresses::save).
    void save(IniFile& ini) const;

    // With autodetection on, "Ignore Startaddress" is off (and disabled).
    void applyDependencies();
    bool ignoreEnabled() const { return !autodetect; }
    bool modeListEnabled() const { return !autodetect; }
    bool hexToAsciiEnabled() const { return !convertToChars; }

    // "Max. Text in Bytes" as typed: a decimal number of bytes, 0 or more (blanks around
    // it are allowed); none for any other text.
    static std::optional<int> parseMaxText(std::string_view text);
    // Why OK refuses such a text.
    static std::string maxTextRefusal(std::string_view text);

    // Ticking "Translate Specialchars" while the table has no special-characters
    // tokenset unticks it again with the table's message. Returns the new state.
    bool setTranslateSpecialchars(bool on, const TokenTable& table, Dialogs* dialogs);
};

}  // namespace qv
