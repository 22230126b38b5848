#include "listing/ListingImport.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "host/Dialogs.h"
#include "listing/ListingFile.h"

namespace qv {
namespace {

constexpr const char* kLoadFailed = "MainForm: Error loading Text to RichEdit";

// A listing is text: a zero byte never occurs in one (nor in RTF, which is 7-bit text).
bool looksLikeText(const std::string& bytes) {
    return std::find(bytes.begin(), bytes.end(), '\0') == bytes.end();
}

}  // namespace

ImportResult importListing(const std::string& path, std::size_t maxText, Dialogs& dialogs) {
    ImportResult result;
    std::error_code ec;
    const auto size = std::filesystem::file_size(path, ec);
    if (ec || !std::filesystem::is_regular_file(path, ec)) {
        dialogs.message(kLoadFailed);
        result.failed = true;
        return result;
    }
    bool truncate = false;
    if (size > maxText) {
        const std::string text =
            "Caution...the FileLength is greater than " + std::to_string(maxText / 1000000) +
            " Mbyte.\nThe RichEdit20.dll/RichEdit32.dll could limit the max amount of "
            "Text...\n\nClick 'Yes' to truncate the Text, 'No' to try loading anyway or "
            "'Cancel' to abort.\n";
        switch (dialogs.host().askYesNoCancel("Warning", text)) {
            case MessageAnswer::Cancel:
                result.cancelled = true;
                return result;
            case MessageAnswer::Yes:
                truncate = true;
                break;
            case MessageAnswer::No:
                break;
        }
    }
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    if (!in && !in.eof()) {
        dialogs.message(kLoadFailed);
        result.failed = true;
        return result;
    }
    if (truncate)
        bytes = truncatedListingFile(bytes, maxText);
    if (!looksLikeText(bytes)) {
        dialogs.message(kLoadFailed);
        result.failed = true;
        return result;
    }
    result.document = readListingFile(bytes);
    return result;
}

}  // namespace qv
