#pragma once

// The file viewer's options: how files are shown, how BASIC programs are detokenized,
// two defaults of the BAM viewer's file list and the text limit of the viewer's C64
// screen, with the start-address lists. Read from and written to the settings file.

#include <string>

#include "viewer/StartAddresses.h"

namespace qv {

class DialogHost;
class IniFile;
class TokenTable;

struct ViewerOptions {
    // [File Viewer]
    bool convertToChars = true;       // "Conv to Chars"
    bool convertCharsToAscii = true;  // "Conv Chars to ASCII"
    bool convertHexToAscii = false;   // "Conv Hex to ASCII"
    bool replaceReturn = false;       // "Return"
    // [TOK64]
    int mode = 0;                       // "Mode": index into the token table's mode list
    bool autodetect = true;             // "Autodetect"
    bool ignoreStartaddress = false;    // "Ignore"
    bool syntaxHighlighting = true;     // "Syntax"
    bool translateSpecialchars = true;  // "Translate"
    int c64ScreenMaxText = 10000;       // "C64Screen MaxText"
    bool loadAtOnCreate = false;        // "LoadAtOnCreate": read, never written
    // [BAM Defaults]
    bool bamFileListOpen = true;  // "FileList open"
    bool bamShowChain = true;     // "Show Chain"

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

    // Ticking "Translate Specialchars" while the table has no special-characters
    // tokenset unticks it again with the table's message. Returns the new state.
    bool setTranslateSpecialchars(bool on, const TokenTable& table, DialogHost* host);
};

}  // namespace qv
