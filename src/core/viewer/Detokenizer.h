#pragma once

// The BASIC detokenizer: turns a program file (load address, then tokenized lines) into
// a listing, one text line per BASIC line, with colour records for syntax highlighting
// and one C64 screen line per BASIC line. The dialect comes from the token table: the
// load address selects it (autodetection) or the user chose it.
//
// The file is read strictly in sequence; links only end the program (link 0) and give
// the expected length of each line for two consistency questions.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "viewer/TokenTable.h"

namespace qv {

class Dialogs;
class ScreenSink;
class StartAddresses;
struct ViewerOptions;

// One PETSCII byte to one display byte, for the current character mode.
using CharMap = std::array<std::uint8_t, 256>;
CharMap identityCharMap();

struct DetokenizeOptions {
    bool autodetect = true;             // "Autodetect BASIC Mode"
    bool ignoreStartaddress = false;    // "Ignore Startaddress"
    bool syntaxHighlighting = true;     // "Syntax Highlighting"
    bool translateSpecialchars = true;  // "Translate Specialchars"
    bool convertCharsToAscii = false;   // "Convert Chars to ASCII": plain characters via asciiMap
    int modeIndex = 0;                  // the chosen entry of the table's mode list
    bool upperLower = false;            // character mode: keywords and names in lower case
    CharMap asciiMap = identityCharMap();

    static DetokenizeOptions fromViewer(const ViewerOptions& viewer, int modeIndex, bool upperLower,
                                        const CharMap& asciiMap);
};

// A coloured run of the output. Offsets count from the start of the whole text, with
// every line break as two characters (CR LF), as the text holds them.
struct ColourRecord {
    std::size_t offset = 0;
    std::size_t length = 0;
    int colour = 0;  // index into TokenTable::tokenColours
};

struct DetokenizeResult {
    // 0 when a listing was produced (also when it was cut short), 1 otherwise.
    int result = 1;
    // When set, `text` replaces the viewer's text: the listing (lines ending in CR LF)
    // or one of the "Wrong format..." texts.
    bool textSet = false;
    std::string text;
    std::vector<ColourRecord> colours;
    // The default colour of the text: colour 0 with syntax highlighting, else black.
    Rgb defaultColour = 0;
    // The viewer's third status field: unchanged (nullopt), emptied ("") or the Name of
    // the tokenset the listing used.
    std::optional<std::string> statusName;
    int lines = 0;
    // A reason for the command line when the file could not be read at all.
    std::string error;
};

class Detokenizer {
  public:
    // Files larger than this are not read (a BASIC program is below 64 KB).
    static constexpr std::size_t kMaxFileSize = 16u * 1024u * 1024u;

    Detokenizer(const TokenTable& table, const StartAddresses& addresses,
                DetokenizeOptions options);

    // Questions and messages; without dialogs every question is answered "Continue"
    // and messages are dropped.
    void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }
    // The viewer's C64 screen (may be null).
    void setScreen(ScreenSink* screen) { screen_ = screen; }
    // The viewer's abort flag (ESC), read before every line and cleared when the line
    // loop ends.
    void setAbortFlag(bool* abortFlag) { abortFlag_ = abortFlag; }
    // Called after every line so that the window can handle pending input.
    void setPendingInput(std::function<void()> pendingInput) {
        pendingInput_ = std::move(pendingInput);
    }

    DetokenizeResult detokenize(std::span<const std::uint8_t> file, const std::string& displayName);
    // Reads the file first; a file that cannot be read gives result 1 and no text.
    DetokenizeResult detokenizeFile(const std::string& path, const std::string& displayName);

  private:
    struct CompiledSet {
        enum class PrefixKind { None, Byte, Skip };
        int column = 0;
        PrefixKind prefixKind = PrefixKind::None;
        int prefix = 0;
        std::array<std::int32_t, 256> rowOf{};  // token row of a code, -1 when none
        std::optional<int> commentToken;
        bool detokCommentZero = false;
        int colour = -1;
        std::vector<std::string> outText;     // per row, in the output case
        std::vector<std::string> screenText;  // per row, upper case
    };

    // The lookups of a tokenset, made on first use. A Detokenizer may serve several
    // runs; a run whose table has changed since (another revision) makes them anew.
    const CompiledSet& compiled(int column);
    CompiledSet compile(int column) const;
    bool aborted() const;
    void addColour(std::size_t offset, std::size_t length, int colour);

    const TokenTable& table_;
    const StartAddresses& addresses_;
    DetokenizeOptions options_;
    Dialogs* dialogs_ = nullptr;
    ScreenSink* screen_ = nullptr;
    bool* abortFlag_ = nullptr;
    std::function<void()> pendingInput_;

    std::vector<std::unique_ptr<CompiledSet>> compiled_;  // by column; stable addresses
    std::uint64_t compiledRevision_ = 0;                  // the table's, when they were made

    // Per run.
    bool abortFile_ = false;
    bool colourMemoryFailed_ = false;
    std::vector<ColourRecord>* colours_ = nullptr;
};

}  // namespace qv
