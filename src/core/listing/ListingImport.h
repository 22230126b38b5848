#pragma once

#include <optional>
#include <string>

#include "support/RichText.h"

namespace qv {

class Dialogs;

struct ImportResult {
    // The document to show; nullopt when nothing is to change (cancelled or failed).
    std::optional<RichDocument> document;
    bool cancelled = false;
    bool failed = false;  // "MainForm: Error loading Text to RichEdit" was shown
};

// "Import...": reads a listing saved earlier (rich text when it begins with "{\rtf",
// plain text otherwise). A file larger than maxText is asked about first ("Yes" shows
// its first maxText bytes, "No" all of it, "Cancel" nothing). A file that cannot be
// read, or that holds binary data rather than a listing, is reported and changes
// nothing.
ImportResult importListing(const std::string& path, std::size_t maxText, Dialogs& dialogs);

}  // namespace qv
