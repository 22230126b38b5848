#include "support/RtfFontTable.h"

#include <fstream>
#include <iterator>
#include <system_error>

#include "host/Dialogs.h"

namespace qv {
namespace {

// The position of the brace that closes the group opening at start, or npos.
std::size_t groupEnd(std::string_view text, std::size_t start) {
    int depth = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\\') {
            ++i;  // an escaped brace or backslash is text
        } else if (c == '{') {
            ++depth;
        } else if (c == '}') {
            if (--depth == 0) {
                return i;
            }
        }
    }
    return std::string_view::npos;
}

std::string repairEntry(std::string_view entry, std::string_view fontName) {
    std::string result(entry);
    // Built piece by piece: GCC 12 at -O3 warns falsely (-Wrestrict) about " " + std::string&&.
    std::string key = " ";
    key += fontName;
    key += ';';
    const auto namePos = result.find(key);
    if (namePos == std::string::npos) {
        return result;
    }
    constexpr std::string_view kCharset = "\\fcharset";
    const auto charsetPos = result.find(kCharset);
    if (charsetPos == std::string::npos) {
        result.insert(namePos, "\\fcharset2");
        return result;
    }
    const std::size_t digits = charsetPos + kCharset.size();
    std::size_t digitsEnd = digits;
    while (digitsEnd < result.size() && result[digitsEnd] >= '0' && result[digitsEnd] <= '9') {
        ++digitsEnd;
    }
    // Not replace(..., "2"): GCC 12 at -O3 warns falsely (-Wrestrict) about it.
    result.erase(digits, digitsEnd - digits);
    result.insert(digits, 1, '2');
    return result;
}

bool writeFile(const std::filesystem::path& path, std::string_view data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        return false;
    }
    out.write(data.data(), static_cast<std::streamsize>(data.size()));
    out.close();
    return static_cast<bool>(out);
}

std::optional<std::string> readFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::string data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad()) {
        return std::nullopt;
    }
    return data;
}

}  // namespace

std::optional<std::string> repairRtfFontTableText(std::string_view rtf, std::string_view fontName) {
    const auto pard = rtf.find("\\pard\\");
    if (pard == std::string_view::npos) {
        return std::nullopt;
    }
    constexpr std::string_view kTable = "{\\fonttbl";
    const auto table = rtf.find("{\\fonttbl{");
    if (table == std::string_view::npos || table > pard) {
        return std::nullopt;
    }
    const auto tableEnd = groupEnd(rtf, table);
    if (tableEnd == std::string_view::npos) {
        return std::nullopt;
    }
    std::string out;
    out.reserve(rtf.size() + 16);
    out.append(rtf.substr(0, table + kTable.size()));
    std::size_t i = table + kTable.size();
    while (i < tableEnd) {
        const auto open = rtf.find('{', i);
        if (open == std::string_view::npos || open >= tableEnd) {
            break;
        }
        const auto close = groupEnd(rtf, open);
        if (close == std::string_view::npos || close > tableEnd) {
            return std::nullopt;
        }
        out += repairEntry(rtf.substr(open, close - open + 1), fontName);
        i = close + 1;
    }
    out.append(rtf.substr(tableEnd));
    return out;
}

bool repairRtfFontTable(const std::filesystem::path& file, std::string_view fontName,
                        const std::filesystem::path& tempFolder, Dialogs* dialogs) {
    const auto temp = tempFolder / kRtfRepairTempName;
    bool ok = false;
    if (const auto original = readFile(file)) {
        if (const auto repaired = repairRtfFontTableText(*original, fontName)) {
            if (writeFile(temp, *repaired)) {
                // Replace the file with the finished copy; never delete it first.
                std::error_code ec;
                std::filesystem::rename(temp, file, ec);
                if (ec) {
                    ec.clear();
                    ok = std::filesystem::copy_file(
                             temp, file, std::filesystem::copy_options::overwrite_existing, ec) &&
                         !ec;
                } else {
                    ok = true;
                }
            }
        }
    }
    std::error_code ignored;
    std::filesystem::remove(temp, ignored);
    if (!ok && dialogs) {
        dialogs->showError("MainForm", file.string(), "", "Error setting Font...aborted",
                           errorflag::ReportPath);
    }
    return ok;
}

}  // namespace qv
