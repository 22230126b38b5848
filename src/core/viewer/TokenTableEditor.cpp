#include "viewer/TokenTableEditor.h"

#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "host/Dialogs.h"
#include "settings/SettingsStore.h"
#include "settings/WindowSettings.h"

namespace qv {
namespace {

std::string join(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return (std::filesystem::path(folder) / name).string();
}

// The text of a file no larger than a token table file may be; none otherwise.
std::optional<std::string> readSmallFile(const std::string& path) {
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || size > TokenTable::kMaxCsvBytes)
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream buf;
    buf << in.rdbuf();
    return buf.str();
}

}  // namespace

TokenTableEditor::TokenTableEditor(TokenTable& table, Dialogs& dialogs, SettingsStore& settings,
                                   std::string programFolder, std::string tempFolder)
    : table_(table),
      dialogs_(dialogs),
      settings_(settings),
      programFolder_(std::move(programFolder)),
      tempFolder_(std::move(tempFolder)) {}

std::string TokenTableEditor::snapshotPath() const {
    return join(tempFolder_, kSnapshotName);
}

void TokenTableEditor::open() {
    modified_ = false;
    marked_ = {};
    useCustomTable_ = table_.useCustomTable();
    fileName_ = table_.customTableFileName();
    if (fileName_.empty())
        fileName_ = join(programFolder_, "TokenTable.CSV");
    snapshot_ = table_.toCsv();
    table_.saveTokenTableCsv(snapshotPath());
}

void TokenTableEditor::editCell(int col, int row, std::string text) {
    if (table_.cell(col, row) == text)
        return;
    table_.setCell(col, row, std::move(text));
    modified_ = true;
}

CellRange TokenTableEditor::paste(TableCell start, std::string_view text) {
    modified_ = true;
    return pasteCells(table_, start, text);
}

std::string TokenTableEditor::cut(const CellRange& range, std::string_view lineEnd) {
    std::string text = copyCells(table_, range, lineEnd);
    deleteCells(range);
    return text;
}

void TokenTableEditor::deleteCells(const CellRange& range) {
    clearCells(table_, range);
    modified_ = true;
}

void TokenTableEditor::addTokenset() {
    qv::addTokenset(table_);
    modified_ = true;
}

void TokenTableEditor::deleteTokenset() {
    qv::deleteTokenset(table_);
    modified_ = true;
}

bool TokenTableEditor::load(const std::string& path) {
    clearTable(table_);
    const bool ok = table_.loadTokenTableCsv(path);
    if (ok)
        fileName_ = path;
    modified_ = false;
    return ok;
}

bool TokenTableEditor::save(const std::string& path) {
    if (!table_.saveTokenTableCsv(path))
        return false;
    fileName_ = path;
    modified_ = false;
    return true;
}

void TokenTableEditor::clear() {
    clearTable(table_);
    modified_ = false;
}

void TokenTableEditor::resetToDefault() {
    clearTable(table_);
    table_.fillDefaultTable(true);
    modified_ = false;
}

void TokenTableEditor::setColour(int index, Rgb colour) {
    if (index >= 0 && index < TokenTable::kColourCount)
        table_.tokenColours[static_cast<std::size_t>(index)] = colour;
}

void TokenTableEditor::defaultColours() {
    table_.tokenColours = TokenTable::defaultTokenColours();
}

std::optional<int> TokenTableEditor::accept(
    int currentMode, bool translateSpecialchars,
    const std::function<std::optional<std::string>()>& chooseSaveFile) {
    marked_ = {};
    std::vector<TableCell> normalised;
    TokenTableFinding finding;
    try {
        finding = checkTokenTable(table_, &normalised);
    } catch (const std::exception&) {
        dialogs_.message("TokenTable: An Error occured during TokenTable Check...aborted");
        return std::nullopt;
    }
    if (finding.kind == TokenTableFinding::Kind::Illegal) {
        dialogs_.message(finding.message);
        marked_ = finding.cell;
        return std::nullopt;
    }
    if (finding.kind == TokenTableFinding::Kind::Crosslink) {
        if (dialogs_.host().askYesNo("Error", finding.message, MessageIcon::Error))
            dialogs_.message(finding.linkTable);
        marked_ = finding.cell;
        return std::nullopt;
    }
    for (const TableCell& c : normalised)
        table_.setCell(c.col, c.row, "-");
    // The question comes before the choice is stored, so that a file chosen here is
    // the custom table from now on.
    if (useCustomTable_ && modified_ &&
        dialogs_.host().askYesNo(fileName_, "Save modified Table?", MessageIcon::Question)) {
        if (const auto path = chooseSaveFile ? chooseSaveFile() : std::nullopt)
            save(*path);
    }
    TokenTableSettings stored;
    stored.useCustomTable = useCustomTable_;
    stored.customTableFileName = fileName_;
    stored.colors = table_.storedColours();
    (void)settings_.update("TokenTable", [&stored](IniFile& ini) { stored.saveTable(ini); });
    table_.setCustomTable(useCustomTable_, fileName_);
    std::error_code ec;
    std::filesystem::remove(snapshotPath(), ec);
    return table_.rebuildTokenIndex(currentMode, translateSpecialchars);
}

bool TokenTableEditor::cancel() {
    if (modified_ && !dialogs_.host().askYesNo("TokenTable", "Really Cancel modified Table?",
                                               MessageIcon::Question)) {
        return false;
    }
    const TokenTableSettings stored = TokenTableSettings::load(settings_.readOrEmpty());
    std::string name = stored.customTableFileName;
    if (name.empty())
        name = join(programFolder_, "TokenTable.CSV");
    table_.setCustomTable(stored.useCustomTable, name);
    table_.setStoredColours(stored.colors);
    restoreSnapshot();
    marked_ = {};
    modified_ = false;
    return true;
}

void TokenTableEditor::restoreSnapshot() {
    clearTable(table_);
    const std::string path = snapshotPath();
    const std::optional<std::string> text = readSmallFile(path);
    // The copy in memory stands in for a snapshot file that is gone or damaged, so
    // that Cancel always gives back the table as it was.
    if (!text || !table_.fromCsv(*text))
        table_.fromCsv(snapshot_);
    std::error_code ec;
    std::filesystem::remove(path, ec);
}

}  // namespace qv
