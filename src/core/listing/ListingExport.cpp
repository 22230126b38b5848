#include "listing/ListingExport.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "host/Dialogs.h"
#include "listing/ListingFile.h"
#include "listing/ListingSave.h"
#include "settings/Platform.h"
#include "support/CodePage.h"
#include "support/RtfFontTable.h"
#include "support/RtfReader.h"
#include "support/RtfWriter.h"

namespace qv {
namespace {

std::optional<std::string> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::string bytes{std::istreambuf_iterator<char>(in), {}};
    if (in.bad())
        return std::nullopt;
    return bytes;
}

}  // namespace

SaveAsFormat saveAsFormat(int filterIndex) {
    switch (filterIndex) {
        case 1:
            return SaveAsFormat::WindowsText;
        case 2:
            return SaveAsFormat::RichText;
        default:
            return SaveAsFormat::DosText;
    }
}

std::optional<std::string> saveAsBytes(SaveAsFormat format, const SaveAsSource& source) {
    if (!source.bufferValid && !source.imported)
        return std::nullopt;
    switch (format) {
        case SaveAsFormat::RichText:
            return writeRtf(source.windowDocument);
        case SaveAsFormat::WindowsText:
            return cp437ToWindows1252(source.imported ? std::string_view(source.windowPlainText)
                                                      : source.buffer);
        case SaveAsFormat::DosText:
            break;
    }
    return source.imported ? source.windowPlainText : std::string(source.buffer);
}

bool hasSomethingToSave(const SaveAsSource& source) {
    if (source.imported)
        return !source.windowPlainText.empty();
    return source.bufferValid && !source.buffer.empty();
}

RtfRepair rtfRepairFor(const FontSetting& font, const WorkAroundSettings& workArounds,
                       std::string documentFontName) {
    RtfRepair repair;
    repair.needed =
        font.charset == kSymbolCharset && workArounds.rtfFontRepair(kPlatformVersionCode);
    repair.fontName = std::move(documentFontName);
    repair.tempFolder = temporaryFolder();
    return repair;
}

bool saveListingAs(const std::string& path, SaveAsFormat format, const SaveAsSource& source,
                   const RtfRepair& repair, Dialogs& dialogs, const char* module, int errorFlags) {
    const std::optional<std::string> bytes = saveAsBytes(format, source);
    if (!bytes)
        return false;
    if (!writeFileAtomically(path, *bytes)) {
        dialogs.showError(module, path, "", "Error while creating Save File...", errorFlags);
        return false;
    }
    if (format == SaveAsFormat::RichText && repair.needed) {
        // The repair reports its own failure; the file is written either way.
        repairRtfFontTable(path, repair.fontName, repair.tempFolder, &dialogs);
    }
    return true;
}

std::string temporaryFolder() {
    std::error_code ec;
    std::filesystem::path p = std::filesystem::temp_directory_path(ec);
    if (ec || p.empty())
        p = std::filesystem::path("/").make_preferred();
    std::string s = p.string();
    const char sep = static_cast<char>(std::filesystem::path::preferred_separator);
    if (s.empty() || s.back() != sep)
        s += sep;
    return s;
}

std::string importSizeQuestion(std::size_t maxText) {
    return "Caution...the FileLength is greater than " + std::to_string(maxText / 1000000) +
           " Mbyte.\nThe RichEdit20.dll/RichEdit32.dll could limit the max amount of "
           "Text...\n\nClick 'Yes' to truncate the Text, 'No' to try loading anyway or "
           "'Cancel' to abort.\n";
}

ImportResult importListing(const std::string& path, std::size_t maxText, DialogHost& host,
                           const std::string& tempFolder) {
    ImportResult result;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec)
        return result;
    bool truncate = false;
    if (size > maxText) {
        switch (host.askYesNoCancel("Warning", importSizeQuestion(maxText))) {
            case MessageAnswer::Cancel:
                result.outcome = ImportOutcome::Cancelled;
                return result;
            case MessageAnswer::Yes:
                truncate = true;
                break;
            case MessageAnswer::No:
                break;
        }
    }
    std::optional<std::string> bytes = readWholeFile(path);
    if (!bytes)
        return result;
    if (truncate) {
        // The cut text goes through a temporary file that is read like any listing
        // file and deleted again.
        const std::string temp =
            tempFolder + (looksLikeRtf(*bytes) ? "__TempRTF.RTF" : "__TempTXT.TXT");
        const bool written = writeFileAtomically(temp, truncatedListingFile(*bytes, maxText));
        bytes = written ? readWholeFile(temp) : std::nullopt;
        std::filesystem::remove(temp, ec);
        if (!bytes)
            return result;
    }
    // A listing is text: a zero byte never occurs in one (nor in RTF, which is 7-bit
    // text). A program or another binary file is no listing and changes nothing.
    if (bytes->find('\0') != std::string::npos)
        return result;
    result.document = readListingFile(*bytes);
    result.outcome = ImportOutcome::Loaded;
    return result;
}

}  // namespace qv
