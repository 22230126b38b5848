#pragma once

// The editing run of the token table editor: from opening the window (the snapshot of
// the table) to OK (the check, the stored choice and colours, the save question, the
// new index) or Cancel (the snapshot back). The window shows the grid and forwards the
// user's commands here; every rule of the run is in this class.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "viewer/TokenGridEdit.h"
#include "viewer/TokenTable.h"
#include "viewer/TokenTableCheck.h"

namespace qv {

class Dialogs;
class SettingsStore;

class TokenTableEditor {
  public:
    static constexpr const char* kSnapshotName = "__TempTokenTable.tmp";

    // tempFolder holds the snapshot; programFolder the default "TokenTable.CSV".
    TokenTableEditor(TokenTable& table, Dialogs& dialogs, SettingsStore& settings,
                     std::string programFolder, std::string tempFolder);

    TokenTable& table() { return table_; }
    const TokenTable& table() const { return table_; }
    std::string snapshotPath() const;

    // Opening the window: nothing modified, no marked cell, the table written to the
    // snapshot file (and kept in memory, should the file be gone at Cancel).
    void open();

    // The table was edited since it was last loaded, cleared, reset or saved.
    bool modified() const { return modified_; }
    // The cell the last failed check reported; invalid when none.
    TableCell markedCell() const { return marked_; }

    // --- the grid (each sets modified) ---
    void editCell(int col, int row, std::string text);
    CellRange paste(TableCell start, std::string_view text);
    // Copies and then empties the block; returns the copied text.
    std::string cut(const CellRange& range, std::string_view lineEnd);
    void deleteCells(const CellRange& range);
    void addTokenset();
    void deleteTokenset();

    // --- "Complete Table:" ---
    // Empties the grid and reads the file (the default table when it cannot be read).
    bool load(const std::string& path);
    // Writes the file; clears modified when it was written.
    bool save(const std::string& path);
    void clear();
    void resetToDefault();

    // --- "Color:" ---
    void setColour(int index, Rgb colour);
    void defaultColours();

    // --- "Custom Table:" ---
    bool useCustomTable() const { return useCustomTable_; }
    void setUseCustomTable(bool on) { useCustomTable_ = on; }
    // The custom table file: the preset of the load and save dialogs, and what OK
    // stores as "Custom Table FileName".
    const std::string& fileName() const { return fileName_; }

    // OK: the check. On a finding its message is shown (a crosslink asks first whether
    // to show the link table), the cell is marked and nullopt is returned: the window
    // stays open. When the table passes, a modified custom table may be saved
    // (chooseSaveFile gives the file, nullopt when cancelled), the choice and the
    // colours are stored, the snapshot is deleted and the index rebuilt: the mode the
    // viewer selects is returned.
    std::optional<int> accept(int currentMode, bool translateSpecialchars,
                              const std::function<std::optional<std::string>()>& chooseSaveFile);

    // Cancel or the close box: false when a modified table is kept on the user's
    // answer. Otherwise the stored choice and colours are read again and the table
    // returns to the snapshot, which is deleted.
    bool cancel();

  private:
    void restoreSnapshot();

    TokenTable& table_;
    Dialogs& dialogs_;
    SettingsStore& settings_;
    std::string programFolder_;
    std::string tempFolder_;
    bool modified_ = false;
    TableCell marked_;
    bool useCustomTable_ = false;
    std::string fileName_;
    std::string snapshot_;  // the table as opened, as CSV text
};

}  // namespace qv
