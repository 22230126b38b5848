#include <gtest/gtest.h>

#include <random>

#include "geos/CatalogueExport.h"
#include "geos/GeosCatalogue.h"
#include "geos/GeosFile.h"
#include "host/Dialogs.h"
#include "listing/ListingRun.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::Bytes;
using test::DiskBuilder;

// GEOS disks with their bytes scrambled where a reader trusts them: info-block links
// pointing anywhere, info blocks of random bytes (texts without a 0 byte, any icon
// size), random dates, VLIR index blocks full of junk. The catalogue, its sorts and
// exports and the record reader must take all of it.
TEST(GeosCatalogueRandom, ScrambledGeosDisksNeverBreakTheCatalogue) {
    std::mt19937 rng(20240607);
    const auto byte = [&rng] { return static_cast<std::uint8_t>(rng() & 0xFF); };
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    host.defaultErrorAnswer = 1;
    Dialogs dialogs{host};
    ListerOptions options;
    options.generateHeader = false;
    GeosCatalogue catalogue{options, dialogs};
    Listing listing{options, dialogs};
    listing.setGeosSink(&catalogue);

    for (int image = 0; image < 40; ++image) {
        DiskBuilder d(image % 4 == 0 ? 40 : 35);
        d.format("RANDOM", "RA").geosSignature();
        std::vector<test::DirEntrySpec> entries;
        for (int f = 0; f < 12; ++f) {
            test::InfoBlockSpec info;
            info.geosType = static_cast<std::uint8_t>(1 + rng() % 14);
            info.raw.resize(256);
            for (std::uint8_t& b : info.raw)
                b = byte();
            if (rng() % 2 != 0) {  // a plausible icon header half of the time
                info.raw[2] = static_cast<std::uint8_t>(rng() % 4);
                info.raw[3] = static_cast<std::uint8_t>(rng() % 22);
                info.raw[4] = 0xBF;
            }
            std::vector<Bytes> records(1 + rng() % 4);
            for (Bytes& r : records)
                r.assign(rng() % 600, byte());
            test::DirEntrySpec e = f % 2 == 0 ? d.addGeosVlir(test::numbered("V", f), info, records)
                                              : d.addGeosSequential(test::numbered("S", f), info,
                                                                    Bytes(rng() % 500, byte()));
            entries.push_back(e);
        }
        for (std::size_t f = 0; f < entries.size(); ++f) {
            test::DirEntrySpec e = entries[f];
            if (rng() % 3 == 0)
                e.info = {byte(), byte()};
            for (std::uint8_t& b : e.date)
                b = byte();
            if (rng() % 4 == 0)
                e.typeByte = byte();
            d.setSlot(static_cast<int>(f), e);
            if (e.structure == 1 && rng() % 2 == 0) {
                Bytes junk(254);
                for (std::uint8_t& b : junk)
                    b = byte();
                d.put(e.first, 2, junk);
            }
        }
        const std::string path = tmp.file(test::numbered("r", image) + ".d64");
        d.save(path);
        listing.fileList = {path};
        listing.listFiles(RunKind::Load);

        // Every VLIR record chain of the image, read as the viewers will.
        std::optional<DiskImage> opened = DiskImage::open(path);
        ASSERT_TRUE(opened);
        opened->setDosType(d.dosTypeForAddressing());
        for (const test::DirEntrySpec& e : entries) {
            const int at = blockOffset(e.first, opened->dosType());
            if (at < 0)
                continue;
            for (const TrackSector ts : readVlirIndex(*opened, at, 127)) {
                if (ts.track != 0)
                    readRecord(*opened, opened->dosType(), ts);
            }
        }
    }

    ASSERT_GT(catalogue.rowCount(), 50);
    for (const GeosDetailEntry& r : catalogue.rows()) {
        EXPECT_LT(r.iconIndex, catalogue.icons().size());
        EXPECT_EQ(r.text(kColDate).size(), 16U);
        EXPECT_LE(r.text(kColDescription).size(), 2 * 95U);  // UTF-8 of at most 95 bytes
    }
    for (int c = 0; c < kCatalogueColumnCount; ++c)
        EXPECT_TRUE(catalogue.sortByColumn(c));
    EXPECT_TRUE(catalogue.sortByColumn(kColDate));  // descending
    for (const ListFormat f :
         {ListFormat::Html, ListFormat::Csv, ListFormat::Rtf, ListFormat::Text})
        EXPECT_FALSE(catalogueFile(catalogue.rows(), defaultColumnFilter(), f).empty());
    const Image1 strip = catalogue.icons().strip();
    EXPECT_EQ(strip.width > 0, catalogue.icons().size() > 0);
}

}  // namespace
}  // namespace qv
