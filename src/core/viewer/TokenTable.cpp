#include "viewer/TokenTable.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

#include "host/Dialogs.h"
#include "settings/IniFile.h"
#include "settings/ListerOptions.h"
#include "support/Colour.h"

namespace qv {
namespace {

const std::string kEmpty;

bool enclosedInParentheses(const std::string& name) {
    return !name.empty() && name.front() == '(' && name.back() == ')';
}

// The lines of a text file: CR LF, LF and a lone CR end a line; a final line break
// does not start another line.
std::vector<std::string_view> splitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n') {
            lines.push_back(text.substr(start, i - start));
            if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// The separator of a token table file and how many of them its first line holds.
std::pair<char, int> detectSeparator(std::string_view firstLine) {
    bool quoted = false;
    char separator = 0;
    int count = 0;
    for (const char ch : firstLine) {
        if (ch == '"') {
            quoted = !quoted;
            continue;
        }
        if (quoted)
            continue;
        if (separator == 0) {
            if (std::isalnum(static_cast<unsigned char>(ch)))
                continue;
            separator = ch;
            count = 1;
        } else if (ch == separator) {
            ++count;
        }
    }
    return {separator == 0 ? ',' : separator, count};
}

std::vector<std::string> splitCells(std::string_view line, char separator) {
    std::vector<std::string> cells;
    std::string current;
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char ch = line[i];
        if (quoted) {
            if (ch == '"') {
                if (i + 1 < line.size() && line[i + 1] == '"') {
                    current += '"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                current += ch;
            }
        } else if (ch == '"') {
            quoted = true;
        } else if (ch == separator) {
            cells.push_back(std::move(current));
            current.clear();
        } else {
            current += ch;
        }
    }
    cells.push_back(std::move(current));
    return cells;
}

bool needsQuotes(const std::string& cell) {
    return std::any_of(cell.begin(), cell.end(), [](char ch) {
        const auto u = static_cast<unsigned char>(ch);
        return u < 0x20 || ch == ' ' || ch == '"' || ch == ',';
    });
}

std::string joinPath(const std::string& folder, const std::string& name) {
    if (folder.empty())
        return name;
    return (std::filesystem::path(folder) / name).string();
}

}  // namespace

std::optional<int> parseTableNumber(std::string_view s) {
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && s[i] == '-') {
        negative = true;
        ++i;
    }
    int base = 10;
    if (i < s.size() && s[i] == '$') {
        base = 16;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        base = 16;
        i += 2;
    } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
        base = 16;
        ++i;
    }
    if (i == s.size())
        return std::nullopt;
    long long value = 0;
    for (; i < s.size(); ++i) {
        const char ch = s[i];
        int digit;
        if (ch >= '0' && ch <= '9') {
            digit = ch - '0';
        } else if (base == 16 && ch >= 'a' && ch <= 'f') {
            digit = ch - 'a' + 10;
        } else if (base == 16 && ch >= 'A' && ch <= 'F') {
            digit = ch - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * base + digit;
        if (value > 0x7FFFFFFFLL)
            return std::nullopt;
    }
    return static_cast<int>(negative ? -value : value);
}

std::string formatTokenCode(int code) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "0x%02X", static_cast<unsigned>(code));
    return buf;
}

TokenTable::TokenTable() : TokenTable(nullptr) {}

TokenTable::TokenTable(Dialogs* dialogs) : tokenColours(defaultTokenColours()), dialogs_(dialogs) {
    resize(kDefaultColCount, kDefaultRowCount);
    fillDefaultTable(false);
    tokenStops_.assign(static_cast<std::size_t>(cols_), tokenrow::FirstToken - 1);
    tokenStops_[3] = tokenrow::FirstToken + 76;  // 0x80-0xCB and 0xFF
    basicV2Set_ = 3;
}

void TokenTable::message(const std::string& text) const {
    if (dialogs_ != nullptr)
        dialogs_->message(text);
}

void TokenTable::resize(int cols, int rows) {
    cols = std::max(cols, 0);
    rows = std::max(rows, 0);
    if (cols == cols_ && rows == rows_)
        return;
    ++revision_;
    std::vector<std::string> cells(static_cast<std::size_t>(cols) * static_cast<std::size_t>(rows));
    const int keepCols = std::min(cols, cols_);
    const int keepRows = std::min(rows, rows_);
    for (int r = 0; r < keepRows; ++r) {
        for (int c = 0; c < keepCols; ++c) {
            cells[static_cast<std::size_t>(r) * cols + c] =
                std::move(cells_[static_cast<std::size_t>(r) * cols_ + c]);
        }
    }
    cells_ = std::move(cells);
    cols_ = cols;
    rows_ = rows;
}

const std::string& TokenTable::cell(int col, int row) const {
    if (col < 0 || row < 0 || col >= cols_ || row >= rows_)
        return kEmpty;
    return cells_[static_cast<std::size_t>(row) * cols_ + col];
}

void TokenTable::setCell(int col, int row, std::string text) {
    if (col < 0 || row < 0)
        return;
    if (col >= cols_ || row >= rows_)
        resize(std::max(cols_, col + 1), std::max(rows_, row + 1));
    ++revision_;
    cells_[static_cast<std::size_t>(row) * cols_ + col] = std::move(text);
}

int TokenTable::tokenStop(int col) const {
    if (col < 0 || col >= static_cast<int>(tokenStops_.size()))
        return tokenrow::FirstToken - 1;
    return tokenStops_[static_cast<std::size_t>(col)];
}

bool TokenTable::selectable(int col) const {
    if (col == specialCharsSet_)
        return false;
    if (cell(col, tokenrow::Type) == "-")
        return false;
    const std::string& name = cell(col, tokenrow::Name);
    return !name.empty() && !enclosedInParentheses(name);
}

int TokenTable::rebuildTokenIndex(int rememberedMode, bool translateSpecialchars) {
    ++revision_;
    modeList_.clear();
    modeColumns_.clear();
    tokenStops_.assign(static_cast<std::size_t>(cols_), tokenrow::FirstToken - 1);
    specialCharsSet_ = -1;
    basicV2Set_ = -1;
    for (int c = 1; c < cols_; c += 2) {
        const std::string& type = cell(c, tokenrow::Type);
        if (specialCharsSet_ == -1 && type == "1") {
            specialCharsSet_ = c;
        } else if (selectable(c)) {
            modeList_.push_back(cell(c, tokenrow::Name));
            modeColumns_.push_back(c);
            if (basicV2Set_ == -1 && type == "2")
                basicV2Set_ = c;
        }
        int stop = rows_ - 1;
        for (int r = tokenrow::FirstToken; r < rows_; ++r) {
            if (cell(c, r).empty()) {
                stop = r - 1;
                break;
            }
        }
        tokenStops_[static_cast<std::size_t>(c)] = stop;
    }
    if (specialCharsSet_ == -1 && translateSpecialchars) {
        message(
            "TokenTable: No SpecialChars Table found (Type 1)...\nSpecialChars can't be "
            "displayed!");
    }
    if (basicV2Set_ == -1) {
        message(
            "TokenTable: No BASIC V2 Keyword Table found (Type 2)...\nBASIC V2 Keywords can't be "
            "displayed!");
    }
    if (modeList_.empty())
        return -1;
    if (rememberedMode >= 0 && rememberedMode < static_cast<int>(modeList_.size())) {
        return rememberedMode;
    }
    return 0;
}

LinkTable TokenTable::buildLinkTable(int n, bool byIndex) const {
    int found = -1;
    int index = 0;
    const std::string typeText = std::to_string(n);
    for (int c = 1; c < cols_ && found < 0; c += 2) {
        if (!selectable(c))
            continue;
        if (byIndex ? index == n : cell(c, tokenrow::Type) == typeText)
            found = c;
        ++index;
    }
    if (found < 0) {
        if (byIndex && n == -1) {
            message("TokenTable: No Token Entries found...Can't detokenize!");
        } else if (byIndex) {
            message("TokenTable: ItemIndex " + typeText + " not found...Can't detokenize!");
        } else {
            message("TokenTable: Type " + typeText + " not found...Can't detokenize!");
        }
        return {};
    }
    LinkTable links{found};
    const int codeColumns = cols_ / 2;
    for (int step = 0; step < codeColumns; ++step) {
        const auto next = parseTableNumber(cell(links.back(), tokenrow::ExtensionOf));
        if (!next || *next <= 0 || *next >= cols_ || *next % 2 == 0)
            break;
        links.push_back(*next);
    }
    return links;
}

std::optional<int> TokenTable::findToken(int col, int code) const {
    int low = tokenrow::FirstToken;
    int high = tokenStop(col);
    if (high < low)
        return std::nullopt;
    const auto first = parseTableNumber(cell(col, low));
    const auto last = parseTableNumber(cell(col, high));
    if (!first || !last || code < *first || code > *last)
        return std::nullopt;
    while (low <= high) {
        const int middle = low + (high - low) / 2;
        const auto value = parseTableNumber(cell(col, middle));
        if (!value)
            return std::nullopt;
        if (code < *value) {
            high = middle - 1;
        } else if (code > *value) {
            low = middle + 1;
        } else {
            return middle;
        }
    }
    return std::nullopt;
}

std::optional<std::string> TokenTable::keywordForV2Byte(std::uint8_t byte) const {
    if (basicV2Set_ < 0)
        return std::nullopt;
    const auto row = findToken(basicV2Set_, byte);
    if (!row)
        return std::nullopt;
    return cell(basicV2Set_ + 1, *row);
}

std::string TokenTable::toCsv() const {
    std::string out;
    out.reserve(cells_.size() * 6);
    for (int r = 0; r < rows_; ++r) {
        if (cols_ == 1 && cell(0, r).empty()) {
            out += "\"\"";
        } else {
            for (int c = 0; c < cols_; ++c) {
                if (c > 0)
                    out += ',';
                const std::string& text = cell(c, r);
                if (!needsQuotes(text)) {
                    out += text;
                    continue;
                }
                out += '"';
                for (const char ch : text) {
                    if (ch == '"')
                        out += '"';
                    out += ch;
                }
                out += '"';
            }
        }
        out += "\r\n";
    }
    return out;
}

bool TokenTable::fromCsv(std::string_view text) {
    const std::vector<std::string_view> lines = splitLines(text);
    if (lines.empty())
        return false;
    const auto [separator, count] = detectSeparator(lines.front());
    const std::size_t cols = static_cast<std::size_t>(count) + 1;
    if (cols * lines.size() > kMaxCells)
        return false;
    std::vector<std::string> cells(cols * lines.size());
    for (std::size_t r = 0; r < lines.size(); ++r) {
        std::vector<std::string> row = splitCells(lines[r], separator);
        // Cells beyond the column count of the first line are dropped.
        for (std::size_t c = 0; c < row.size() && c < cols; ++c) {
            cells[r * cols + c] = std::move(row[c]);
        }
    }
    ++revision_;
    cells_ = std::move(cells);
    cols_ = static_cast<int>(cols);
    rows_ = static_cast<int>(lines.size());
    return true;
}

bool TokenTable::loadTokenTableCsv(const std::string& path) {
    bool ok = false;
    try {
        std::error_code ec;
        const auto size = std::filesystem::file_size(path, ec);
        if (!ec && size <= kMaxCsvBytes) {
            std::ifstream in(path, std::ios::binary);
            std::ostringstream buf;
            buf << in.rdbuf();
            if (in.good() || in.eof())
                ok = fromCsv(buf.str());
        }
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok) {
        message("TokenTable: Failed to load Token Table File...using Default Table");
        fillDefaultTable(true);
    }
    return ok;
}

bool TokenTable::saveTokenTableCsv(const std::string& path) const {
    bool ok = false;
    try {
        const std::string text = toCsv();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (out) {
            out.write(text.data(), static_cast<std::streamsize>(text.size()));
            out.flush();
            ok = static_cast<bool>(out);
        }
    } catch (const std::exception&) {
        ok = false;
    }
    if (!ok)
        message("TokenTable: Failed to save Token Table File...");
    return ok;
}

std::array<Rgb, TokenTable::kColourCount> TokenTable::defaultTokenColours() {
    return {0x000000, 0x008000, 0x0000FF, 0x0080C0, 0x808080, 0xFF8000, 0xFF0000, 0,
            0,        0,        0,        0,        0,        0,        0,        0xFF0080};
}

void TokenTable::setStoredColours(const std::array<Colour, kColourCount>& stored) {
    for (std::size_t i = 0; i < stored.size(); ++i)
        tokenColours[i] = swapRedBlue(stored[i]);
}

std::array<Colour, TokenTable::kColourCount> TokenTable::storedColours() const {
    std::array<Colour, kColourCount> stored{};
    for (std::size_t i = 0; i < stored.size(); ++i)
        stored[i] = swapRedBlue(tokenColours[i]);
    return stored;
}

void TokenTable::setCustomTable(bool use, std::string fileName) {
    useCustomTable_ = use;
    customTableFileName_ = std::move(fileName);
}

void TokenTable::setEditorSize(int width, int height) {
    editorWidth_ = width;
    editorHeight_ = height;
}

TokenTableSettings TokenTable::sizeSettings() const {
    TokenTableSettings s;
    s.tableWidth = editorWidth_;
    s.tableHeight = editorHeight_;
    return s;
}

int TokenTable::loadFullTokenTable(const LoadSettings& settings) {
    if (fullyLoaded_)
        return loadedMode_;
    try {
        const TokenTableSettings& stored = settings.stored;
        editorWidth_ = stored.tableWidth;
        editorHeight_ = stored.tableHeight;
        useCustomTable_ = stored.useCustomTable;
        customTableFileName_ = stored.customTableFileName;
        if (customTableFileName_.empty()) {
            customTableFileName_ = joinPath(settings.programFolder, "TokenTable.CSV");
        }
        std::error_code ec;
        if (useCustomTable_ && std::filesystem::is_regular_file(customTableFileName_, ec)) {
            loadTokenTableCsv(customTableFileName_);
        } else if (useCustomTable_) {
            message("TokenTable: Custom Token Table File " + customTableFileName_ +
                    " not found...\nUsing Default Token Table!");
            useCustomTable_ = false;
            if (settings.customTableMissing)
                settings.customTableMissing();
            fillDefaultTable(true);
        } else {
            fillDefaultTable(true);
        }
        setStoredColours(stored.colors);
    } catch (const std::exception&) {
        message("TokenTable: Failed to Init Token Table...\nTrying to use Default Token Table!");
        tokenColours = defaultTokenColours();
        fillDefaultTable(true);
    }
    loadedMode_ = rebuildTokenIndex(settings.rememberedMode, settings.translateSpecialchars);
    fullyLoaded_ = true;
    return loadedMode_;
}

}  // namespace qv
