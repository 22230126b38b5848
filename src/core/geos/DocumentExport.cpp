#include "geos/DocumentExport.h"

#include <algorithm>
#include <filesystem>
#include <optional>

#include "geos/ExportNames.h"
#include "geos/GeoPaint.h"
#include "geos/GeosDocuments.h"
#include "geos/GeosFont.h"
#include "geos/PhotoAlbum.h"
#include "geos/PhotoScrap.h"
#include "host/Dialogs.h"
#include "support/Bmp.h"

namespace qv {
namespace {

const char* const kModule = "GeosDetails";

bool isFile(const std::string& path) {
    std::error_code ec;
    return std::filesystem::is_regular_file(std::filesystem::path(path), ec);
}

}  // namespace

DocumentExport::DocumentExport(GeosReaderContext& context, Dialogs& nameDialogs,
                               const GeosCatalogueSettings& settings,
                               const GeosViewerSettings& viewer)
    : context_(context), nameDialogs_(nameDialogs) {
    fontView_.spaceBetweenChars = viewer.spacesBetweenChars;
    fontView_.showGrid = viewer.showGrid;
    fontView_.gridColour = viewer.gridColour;
    geoWrite_.options = geoWriteOptions(settings);
}

bool DocumentExport::savePicture(const Image32& picture, const std::string& target,
                                 std::vector<std::string>& written) {
    const std::optional<std::string> path = checkExportName(target, nameDialogs_);
    if (!path)
        return false;
    if (saveBmp(*path, picture))
        written.push_back(*path);
    else
        context_.dialogs.showError(kModule, *path, "", "Error while creating Save File...",
                                   kFlagsOkError);
    return true;
}

std::vector<std::string> DocumentExport::exportRow(const GeosDetailEntry& row,
                                                   const std::string& folder) {
    std::vector<std::string> written;
    const OpenDecision d = decideOpen(row, isFile);
    if (d.kind == OpenKind::None)
        return written;
    const std::string base = exportBaseName(d.fileName);
    const std::string name = unquotedName(d.fileName);
    switch (d.kind) {
        case OpenKind::GeoWrite: {
            if (geoWrite_.convertGeoWrite(context_, d.imagePath, name, d.offsetText, d.classText) !=
                0)
                break;
            const std::optional<std::string> path =
                checkExportName(folder + exportGeoWriteName(base), nameDialogs_);
            if (path && geoWrite_.saveGeoWriteRtf(context_.dialogs, *path))
                written.push_back(*path);
            break;
        }
        case OpenKind::GeoPaint:
            if (const std::optional<Image32> picture =
                    decodeGeoPaintPicture(context_, d.imagePath, name, d.fileOffset, false))
                savePicture(*picture, folder + exportPictureName(base), written);
            break;
        case OpenKind::Font:
            fontView_.caption = d.fontCaption;
            if (renderFont(fontView_, context_, d.imagePath, name, d.fileOffset) == 0)
                savePicture(fontView_.picture(), folder + exportPictureName(base), written);
            break;
        case OpenKind::PhotoScrap:
            if (decodeScrap(fontView_, context_, d.imagePath, name, d.fileOffset) == 0)
                savePicture(fontView_.picture(), folder + exportScrapName(base, d.imagePath),
                            written);
            break;
        case OpenKind::PhotoAlbum: {
            PhotoAlbum album;
            album.version = d.albumVersion;
            if (album.loadAlbum(fontView_, context_, d.imagePath, name, d.fileOffset) != 0)
                break;
            const bool titled = album.version == 2 && !album.titles().empty();
            for (int i = 1; i <= album.scrapCount(); ++i) {
                // A scrap that does not decode is left out; the others are saved.
                if (album.showAlbumScrap(fontView_, context_, i - 1) != 0)
                    continue;
                const std::string file =
                    exportAlbumScrapName(base, i, titled, album.currentTitle());
                if (!savePicture(album.picture(), folder + file, written))
                    break;
            }
            break;
        }
        default:
            break;  // a document of another kind has nothing to export
    }
    return written;
}

int exportCatalogueRows(const GeosCatalogue& catalogue, std::vector<int> rows,
                        const std::string& folder, DocumentExport& exporter,
                        ExportProgress& progress) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    const int total = static_cast<int>(rows.size());
    int done = 0;
    for (const int r : rows) {
        if (r >= 0 && r < catalogue.rowCount()) {
            // A copy: rows a listing run appends meanwhile may move the list in memory.
            const GeosDetailEntry row = catalogue.rows()[static_cast<std::size_t>(r)];
            exporter.exportRow(row, folder);
        }
        ++done;
        progress.rowDone(r, done, total);
        if (progress.abortRequested())
            break;
    }
    return done;
}

}  // namespace qv
