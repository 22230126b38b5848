#pragma once

#include <string>
#include <vector>

#include "geos/FontView.h"
#include "geos/GeoWrite.h"
#include "geos/GeosCatalogue.h"
#include "geos/GeosReader.h"
#include "geos/GeosSettings.h"

namespace qv {

class Dialogs;

// "Export Selected Items...": the document behind a catalogue row converted as a
// double click would open it, but saved into a folder instead of shown. GeoWrite
// documents become RTF files with their page setup; GeoPaint pictures, font sheets,
// photo scraps and every scrap of a photo album become bitmaps. No window is involved:
// the converters draw into the exporter's own viewer states.
class DocumentExport {
  public:
    // The reader context gives the dialogs of the converters' messages and the
    // palette; nameDialogs asks "File Name Exists..." (its "Don't ask me again during
    // this session" lasts as long as that object).
    DocumentExport(GeosReaderContext& context, Dialogs& nameDialogs,
                   const GeosCatalogueSettings& settings, const GeosViewerSettings& viewer);

    // Exports one row into folder (which ends with a separator). Rows whose image is
    // gone, whose Fileoffset is no number, or whose document has no converter write
    // nothing. Returns the paths written.
    std::vector<std::string> exportRow(const GeosDetailEntry& row, const std::string& folder);

  private:
    // The name-exists check, then the picture. False when the check gave no name.
    bool savePicture(const Image32& picture, const std::string& target,
                     std::vector<std::string>& written);

    GeosReaderContext& context_;
    Dialogs& nameDialogs_;
    FontView fontView_;
    GeoWriteView geoWrite_;
};

// What the export loop tells the window after each row, and asks it.
class ExportProgress {
  public:
    virtual ~ExportProgress() = default;
    // Row `row` is done (deselect it, show the counts, let pending input through);
    // `done` of `total` rows are.
    virtual void rowDone(int row, int done, int total) = 0;
    // Esc was pressed in the list: the export ends after the current row.
    virtual bool abortRequested() = 0;
};

// Exports the rows (indices into the catalogue, taken in list order) one after the
// other. Returns the number of rows done; rows after an abort are not touched.
int exportCatalogueRows(const GeosCatalogue& catalogue, std::vector<int> rows,
                        const std::string& folder, DocumentExport& exporter,
                        ExportProgress& progress);

}  // namespace qv
