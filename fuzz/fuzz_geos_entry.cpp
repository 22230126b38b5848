// GEOS entries as a listing hands them to the catalogue: the info block, the VLIR
// index, the catalogue row, and every export of the rows.
#include "GeosFuzz.h"
#include "geos/CatalogueExport.h"
#include "geos/GeosCatalogue.h"
#include "listing/ListingRun.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace qv;
    fuzz::Input in(data, size);
    const std::uint8_t sortChoice = in.take();
    const fuzz::ImageInput image = fuzz::imageInput(in);
    fuzz::GeosTarget t(image);
    GeosCatalogue catalogue(t.options, t.dialogs);
    catalogue.settings.ownSort = sortChoice & 0x80;
    Listing listing(t.options, t.dialogs);
    listing.setGeosSink(&catalogue);
    listing.fileList = {image.path};
    listing.listFiles(qv::RunKind::Load);
    catalogue.sort(sortChoice % kCatalogueColumnCount, (sortChoice & 0x40) != 0);
    const ColumnFilter filter = catalogue.settings.columns;
    (void)catalogueHtml(catalogue.rows(), filter);
    (void)catalogueCsv(catalogue.rows(), filter);
    (void)catalogueRtf(catalogue.rows(), filter);
    (void)catalogueText(catalogue.rows(), filter);
    std::vector<int> all;
    for (int i = 0; i < catalogue.rowCount(); ++i)
        all.push_back(i);
    (void)catalogue.clipboardText(all);
    for (const GeosDetailEntry& row : catalogue.rows())
        (void)decideOpen(row, [](const std::string&) { return true; });
    return 0;
}
