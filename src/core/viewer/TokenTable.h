#pragma once

// The BASIC token table: one grid of text cells that holds, for every BASIC dialect the
// detokenizer knows, its keyword codes and texts, plus the names of the PETSCII control
// characters shown inside strings, and the sixteen syntax colours.
//
// There is one TokenTable in the program. A default-constructed table is in the start-up
// state: only the BASIC V2 tokenset is filled, which is all that the directory listing
// needs to show BASIC V2 keywords in disk names (keywordForV2Byte). The file viewer calls
// loadFullTokenTable once before it first detokenizes.
//
// Layout of the grid (column, row):
//   row 0 "Number", 1 "Name", 2 "Extension Of", 3 "Type", 4 "Color", 5 "Prefix",
//   6 "Comment Token", 7 "Detok Comment"; rows 8 onward hold one token each.
//   A tokenset is an odd code column c with its texts in column c + 1.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/WindowSettings.h"

namespace qv {

class Dialogs;

namespace tokenrow {
inline constexpr int Number = 0;
inline constexpr int Name = 1;
inline constexpr int ExtensionOf = 2;
inline constexpr int Type = 3;
inline constexpr int Color = 4;
inline constexpr int Prefix = 5;
inline constexpr int CommentToken = 6;
inline constexpr int DetokComment = 7;
inline constexpr int FirstToken = 8;
}  // namespace tokenrow

// Tokenset types of the "Type" row.
namespace tokentype {
inline constexpr int SpecialChars = 1;
inline constexpr int BasicV2 = 2;
inline constexpr int BasicV35 = 3;
inline constexpr int BasicV7 = 4;
inline constexpr int BasicV2Extension = 5;
inline constexpr int BasicV35Extension = 6;
inline constexpr int BasicV7Extension = 7;
}  // namespace tokentype

// Reads a number cell: decimal, or hexadecimal with "0x", "0X", "$" or a lone "x" in front;
// leading blanks and a minus sign are allowed. Anything else (empty, trailing characters,
// a value beyond 32 bits) is not a number.
std::optional<int> parseTableNumber(std::string_view cell);

// "0x" and two (or more) upper-case hex digits: the form the table writes codes in.
std::string formatTokenCode(int code);

// The tokenset numbers one dialect searches, in order.
using LinkTable = std::vector<int>;

// A colour as 0xRRGGBB.
using Rgb = std::uint32_t;
// Colours are stored in the settings file in the toolkit's format, 0x00BBGGRR
// (swapRedBlue turns them into 0xRRGGBB).

class TokenTable {
  public:
    static constexpr int kDefaultColCount = 25;
    static constexpr int kDefaultRowCount = 135;
    static constexpr int kColourCount = 16;
    static constexpr int kCommentColour = 15;
    // A CSV file larger than this, or one that would make a grid of more cells, is refused.
    static constexpr std::size_t kMaxCsvBytes = 8u * 1024u * 1024u;
    static constexpr std::size_t kMaxCells = 2u * 1024u * 1024u;

    // The start-up state: the BASIC V2 tokenset only (basicV2Set 3, tokenStops[3] 84).
    TokenTable();
    explicit TokenTable(Dialogs* dialogs);

    // Where messages go ("TokenTable: ..."). May be null: messages are then dropped.
    void setDialogs(Dialogs* dialogs) { dialogs_ = dialogs; }

    // --- the grid ---
    int colCount() const { return cols_; }
    int rowCount() const { return rows_; }
    // Resizing keeps the cells that stay inside the grid.
    void resize(int cols, int rows);
    // A cell outside the grid reads as empty.
    const std::string& cell(int col, int row) const;
    void setCell(int col, int row, std::string text);

    // Goes up with every change of the grid or of its derived state, so that whoever
    // keeps lookups made from the table (the detokenizer) knows when to make them anew.
    std::uint64_t revision() const { return revision_; }

    // Writes the built-in table. whole = false writes only columns 3 and 4 (BASIC V2),
    // growing the grid if needed; whole = true replaces the grid with all twelve tokensets.
    bool fillDefaultTable(bool whole);

    // --- derived state ---
    // Recomputes tokenStops, specialCharsSet, basicV2Set and modeList and shows the
    // messages about missing tokensets. Returns the mode index the viewer selects: the
    // remembered one when it lies inside modeList, else 0 (-1 for an empty modeList).
    int rebuildTokenIndex(int rememberedMode, bool translateSpecialchars);

    int specialCharsSet() const { return specialCharsSet_; }
    int basicV2Set() const { return basicV2Set_; }
    // The last row of a code column that holds a code (below 8 for an empty column).
    int tokenStop(int col) const;
    const std::vector<std::string>& modeList() const { return modeList_; }
    // The code column of each modeList entry.
    const std::vector<int>& modeColumns() const { return modeColumns_; }

    // n is a modeList position (byIndex) or a Type value. Empty when none fits; the
    // reason is shown as a message.
    LinkTable buildLinkTable(int n, bool byIndex) const;

    // Binary search of a code in the code rows 8..tokenStop of column col. Cells are
    // read as numbers at every comparison; a cell that is not a number ends the search
    // without a result.
    std::optional<int> findToken(int col, int code) const;

    // The text of a BASIC V2 keyword byte, for the directory listing. Works in the
    // start-up state; none when there is no BASIC V2 tokenset or the byte is no keyword.
    std::optional<std::string> keywordForV2Byte(std::uint8_t byte) const;

    // --- files ---
    // Reads a token table file; on failure shows "TokenTable: Failed to load Token Table
    // File...using Default Table", fills the full default table and returns false.
    // Does not rebuild the index.
    bool loadTokenTableCsv(const std::string& path);
    // On failure shows "TokenTable: Failed to save Token Table File..." and returns false.
    bool saveTokenTableCsv(const std::string& path) const;
    // The file's text (lines ending in CR LF) and its reader, without messages.
    std::string toCsv() const;
    bool fromCsv(std::string_view text);

    // --- start-up load ---
    struct LoadSettings {
        TokenTableSettings stored;  // the table's keys of [TOK64]
        std::string programFolder;  // folder of the default "TokenTable.CSV"
        int rememberedMode = 0;     // [TOK64] "Mode"
        bool translateSpecialchars = true;
        // Called when the custom table file is missing, so that "Use Custom Table" = 0
        // is stored at once; may be empty (nothing is stored).
        std::function<void()> customTableMissing;
    };
    // Custom table or default table, colours, index. Runs once; later calls do nothing
    // and return the mode selected by the first call.
    int loadFullTokenTable(const LoadSettings& settings);
    bool fullyLoaded() const { return fullyLoaded_; }

    // The path of the custom table file (empty setting: programFolder + "TokenTable.CSV").
    const std::string& customTableFileName() const { return customTableFileName_; }
    bool useCustomTable() const { return useCustomTable_; }
    // The editor's choice, stored by its OK or read back by its Cancel.
    void setCustomTable(bool use, std::string fileName);
    int editorWidth() const { return editorWidth_; }
    int editorHeight() const { return editorHeight_; }
    // The editor window's size as the user left it; the main window stores it at exit.
    void setEditorSize(int width, int height);
    // The size keys as the main window writes them at exit.
    TokenTableSettings sizeSettings() const;

    // Syntax colours: index 0 the default text colour, 15 comment keywords.
    std::array<Rgb, kColourCount> tokenColours;
    static std::array<Rgb, kColourCount> defaultTokenColours();
    // The colours as the settings keep them (blue first) and back.
    void setStoredColours(const std::array<Colour, kColourCount>& stored);
    std::array<Colour, kColourCount> storedColours() const;

  private:
    void message(const std::string& text) const;
    bool selectable(int col) const;

    Dialogs* dialogs_ = nullptr;
    int cols_ = 0;
    int rows_ = 0;
    std::vector<std::string> cells_;  // row-major

    std::vector<int> tokenStops_;
    int specialCharsSet_ = -1;
    int basicV2Set_ = -1;
    std::vector<std::string> modeList_;
    std::vector<int> modeColumns_;

    std::uint64_t revision_ = 0;
    bool fullyLoaded_ = false;
    int loadedMode_ = 0;
    bool useCustomTable_ = false;
    std::string customTableFileName_;
    int editorWidth_ = 920;
    int editorHeight_ = 635;
};

}  // namespace qv
