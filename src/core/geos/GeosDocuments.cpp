#include "geos/GeosDocuments.h"

#include "geos/GeosCatalogue.h"
#include "settings/ListerOptions.h"
#include "support/GeosText.h"
#include "support/Text.h"

namespace qv {

std::string geosDocumentName(std::string_view nameText, const ListerOptions& options) {
    return trimEnd(convertGeosText(nameText, geosTextOptions(options)));
}

std::string unquotedName(const std::string& name) {
    if (name.size() >= 2 && name.front() == '"')
        return name.substr(1, name.back() == '"' ? name.size() - 2 : std::string::npos);
    return name;
}

const std::string& GeosDocument::classText() const {
    static const std::string kNone;
    return info ? info->classText : kNone;
}

std::string GeosDocument::offsetText() const {
    return catalogueOffsetText(
        offset, info && hasTitlePage(info->classText, entry.typeText, info->raw[139]));
}

DirEnd forEachGeosDocument(DiskImage& image, const ListerOptions& options, Dialogs& dialogs,
                           const std::function<void(const GeosDocument&)>& visitor) {
    const int dosType = image.dosType();
    return walkDirectory(image, options, dialogs, [&](const DirEntry& e) {
        if (!e.isGeos)
            return;
        GeosDocument d{e, geosDocumentName(e.nameText, options), readInfoBlock(image, dosType, e),
                       blockOffset(e.firstBlock, dosType)};
        d.kind = geosDocumentKind(e.typeText, d.classText());
        visitor(d);
    });
}

}  // namespace qv
