#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "geos/GeosFile.h"
#include "listing/DirectoryReader.h"

namespace qv {

class Dialogs;
struct ListerOptions;

// The name of a GEOS file as the catalogue and the exports show it: the directory
// name text through the GEOS text conversion (Windows-1252), with its quotes and
// without the blanks behind it.
std::string geosDocumentName(std::string_view nameText, const ListerOptions& options);

// A name without its quotes: a leading quote and, when there is one, the closing
// quote at the end are dropped. Shorter texts and unquoted ones stay as they are.
std::string unquotedName(const std::string& name);

// One GEOS file of an image's directory.
struct GeosDocument {
    const DirEntry& entry;
    std::string name;                   // geosDocumentName of the entry
    std::optional<GeosInfoBlock> info;  // none when the info-block link is no block
    int offset = -1;                    // file offset of the first block; negative: invalid
    GeosDocumentKind kind = GeosDocumentKind::Other;  // by type text and class text

    const std::string& classText() const;  // empty without an info block
    // The catalogue's Fileoffset text of the document (needs the info block).
    std::string offsetText() const;
};

// Walks the directory (as a listing does, with its questions) and hands every GEOS
// entry to the visitor, in disk order, described as a GeosDocument.
DirEnd forEachGeosDocument(DiskImage& image, const ListerOptions& options, Dialogs& dialogs,
                           const std::function<void(const GeosDocument&)>& visitor);

}  // namespace qv
