// Random and damaged GEOS documents: every reader must finish, stay inside its buffers
// and hand back a picture of a sane size (run under the sanitizers to see the rest).
#include <gtest/gtest.h>

#include <random>

#include "GeosDocFixture.h"
#include "geos/FontView.h"
#include "geos/GeoPaint.h"
#include "geos/GeoWrite.h"
#include "geos/GeosFont.h"
#include "geos/PhotoAlbum.h"
#include "geos/PhotoScrap.h"
#include "support/Bmp.h"
#include "support/GeoWriteBytes.h"
#include "support/RtfWriter.h"

namespace qv {
namespace {

using test::Bytes;
using test::InfoBlockSpec;

Bytes randomBytes(std::mt19937& rng, std::size_t n) {
    Bytes b(n);
    for (auto& v : b)
        v = static_cast<std::uint8_t>(rng());
    return b;
}

InfoBlockSpec vlir(std::uint8_t type, const char* cls) {
    InfoBlockSpec form;
    form.geosType = type;
    form.structure = 1;
    form.className = cls;
    return form;
}

struct DocumentFuzz : test::GeosDocFixture {
    FontView view;
    test::DirEntrySpec paint, font, scrapFile, album, write;

    DocumentFuzz() {
        host.defaultErrorAnswer = 1;  // Continue wherever a question allows it
        host.okCancelAnswers.assign(100000, true);
    }

    void checkAll(const std::string& path) {
        const auto picture =
            decodeGeoPaintPicture(context, path, "PIC", offsetOf(paint.first), false);
        if (picture) {
            ASSERT_EQ(picture->width, 640);
            ASSERT_EQ(picture->height, 720);
        }
        if (renderFont(view, context, path, "FONT", offsetOf(font.first)) == 0) {
            ASSERT_EQ(view.picture().width, kFontSheetWidth);
            ASSERT_LE(view.picture().height, kFontSheetMaxHeight);
        }
        if (decodeScrap(view, context, path, "SCRAP", offsetOf(scrapFile.first)) == 0) {
            ASSERT_LE(view.picture().width, 640);
            ASSERT_LE(view.picture().height, 720);
        }
        PhotoAlbum a;
        a.version = 2;
        if (a.loadAlbum(view, context, path, "ALBUM", offsetOf(album.first)) == 0) {
            ASSERT_LE(a.scrapCount(), 127);
            for (int i = 0; i < a.scrapCount(); ++i)
                a.showAlbumScrap(view, context, i);
        }
        // Whatever came out can be written.
        if (view.picture().width > 0 && view.picture().height > 0) {
            ASSERT_FALSE(encodeBmp(view.picture()).empty());
        }
        // A GeoWrite document in every layout: what was converted, up to a failure, is
        // a document the RTF writer can write.
        for (const char* cls : {"Write Image V1.1", "Write Image V2.0", "Write Image V2.1"}) {
            GeoWriteView doc;
            doc.options.showFontId = true;
            doc.options.showPrintColours = true;
            doc.options.useFontTable = true;
            doc.options.hasFontTable = true;
            doc.options.fontTable = {{0, "Courier New"}, {5, "Arial"}};
            doc.convertGeoWrite(context, path, "DOC", std::to_string(offsetOf(write.first)), cls);
            const RichDocument& d = doc.document();
            for (const FormatRange& r : d.runs())
                ASSERT_LE(r.end, d.text.size());
            ASSERT_FALSE(writeRtf(d).empty());
        }
    }

    // GeoWrite pages of random bytes with the escapes sprinkled in, and a scrap record.
    static std::vector<Bytes> geoWritePages(std::mt19937& rng) {
        namespace gw = test::geowrite;
        std::vector<Bytes> records;
        for (int page = 0; page < 3; ++page) {
            Bytes b;
            for (int piece = 0; piece < 40; ++piece) {
                switch (rng() % 5) {
                    case 0:
                        gw::operator<<(b, gw::font(static_cast<int>(rng() % 1024),
                                                   static_cast<int>(rng() % 64),
                                                   static_cast<std::uint8_t>(rng())));
                        break;
                    case 1: {
                        gw::Ruler r;
                        r.left = static_cast<int>(rng() % 700);
                        r.right = static_cast<int>(rng() % 700);
                        r.indent = static_cast<int>(rng() % 700);
                        r.tabs[rng() % 8] = static_cast<int>(rng() % 65536);
                        r.alignment = static_cast<std::uint8_t>(rng() % 4);
                        r.spacing = static_cast<std::uint8_t>(rng() % 4);
                        r.colour = static_cast<std::uint8_t>(rng());
                        gw::operator<<(b, r.escape());
                        break;
                    }
                    case 2:
                        gw::operator<<(b, gw::picture(static_cast<int>(rng() % 90),
                                                      static_cast<int>(rng() % 900),
                                                      static_cast<int>(rng() % 130)));
                        break;
                    default:
                        gw::operator<<(b, randomBytes(rng, rng() % 60));
                }
            }
            records.push_back(b);
        }
        records.push_back(randomBytes(rng, 3 + rng() % 200));  // a scrap, or what looks like one
        return records;
    }
};

TEST_F(DocumentFuzz, RandomRecords) {
    std::mt19937 rng(20261210);
    for (int round = 0; round < 12; ++round) {
        disk = test::DiskBuilder();
        disk.format();
        std::vector<Bytes> bands;
        for (int i = 0; i < 6; ++i)
            bands.push_back(randomBytes(rng, rng() % 1200));
        paint = disk.addGeosVlir("PIC", vlir(7, "Paint Image V1.1"), bands);
        std::vector<Bytes> sizes;
        for (int i = 0; i < 3; ++i) {
            Bytes r = randomBytes(rng, 8 + rng() % 600);
            r[3] = static_cast<std::uint8_t>(r[3] % 40);  // keep most heights small, like fonts
            sizes.push_back(r);
        }
        font = disk.addGeosVlir("FONT", vlir(8, "Font"), sizes);
        Bytes s = randomBytes(rng, rng() % 900 + 3);
        s[2] = static_cast<std::uint8_t>(rng() % 3);  // heights up to 767: some refused
        InfoBlockSpec seq = vlir(4, "Photo Scrap V1.1");
        seq.structure = 0;
        scrapFile = disk.addGeosSequential("SCRAP", seq, s);
        album =
            disk.addGeosVlir("ALBUM", vlir(7, "Photo Album V2.1"),
                             {randomBytes(rng, 300), randomBytes(rng, 40), randomBytes(rng, 90)});
        write = disk.addGeosVlir("DOC", vlir(7, "Write Image V2.0"), geoWritePages(rng));
        checkAll(save());
    }
}

TEST_F(DocumentFuzz, DamagedDocuments) {
    std::mt19937 rng(77);
    disk.format();
    std::vector<Bytes> bands;
    for (int i = 0; i < 8; ++i) {
        Bytes b;  // 23 x 63 bytes as they are: a full band
        for (int k = 0; k < 23; ++k) {
            b.push_back(63);
            b.insert(b.end(), 63, static_cast<std::uint8_t>(k * 11 + i));
        }
        bands.push_back(b);
    }
    paint = disk.addGeosVlir("PIC", vlir(7, "Paint Image V1.1"), bands);
    Bytes size(8 + 192 + 40 * 8, 0xF0);
    size[1] = 40;
    size[2] = 0;
    size[3] = 8;
    size[4] = 8;
    size[5] = 0;
    size[6] = 200;
    size[7] = 0;
    for (int k = 0; k <= 95; ++k) {
        size[static_cast<std::size_t>(8 + 2 * k)] = static_cast<std::uint8_t>(3 * k);
        size[static_cast<std::size_t>(9 + 2 * k)] = static_cast<std::uint8_t>((3 * k) >> 8);
    }
    font = disk.addGeosVlir("FONT", vlir(8, "Font"), {size, size});
    InfoBlockSpec seq = vlir(4, "Photo Scrap V1.1");
    seq.structure = 0;
    Bytes scrap = {10, 40, 0};
    for (int i = 0; i < 5; ++i)
        scrap.insert(scrap.end(), {0x7F, 0x3C, 0xDA, 1, 2, 3, 4, 5, 6, 7, 8});
    scrapFile = disk.addGeosSequential("SCRAP", seq, scrap);
    album =
        disk.addGeosVlir("ALBUM", vlir(7, "Photo Album V2.1"), {scrap, scrap, {'A', 0, 'B', 0}});
    std::mt19937 pages(5);
    write = disk.addGeosVlir("DOC", vlir(7, "Write Image V2.0"), geoWritePages(pages));
    const Bytes pristine = disk.bytes();
    // Everything the builder wrote lies on the first tracks.
    const int used = blockOffset(6, 0, kDosStandard);
    for (int round = 0; round < 60; ++round) {
        disk.bytes() = pristine;
        const int flips = 1 + static_cast<int>(rng() % 24);
        for (int i = 0; i < flips; ++i)
            disk.bytes()[rng() % static_cast<unsigned>(used)] = static_cast<std::uint8_t>(rng());
        checkAll(save());
    }
}

TEST(DecompressorFuzz, RandomStreamsStayInTheirStores) {
    std::mt19937 rng(5);
    for (int round = 0; round < 300; ++round) {
        const Bytes input = randomBytes(rng, rng() % 4000);
        GeoPaintBand band{};
        GeoPaintDecompressor g(band);
        g.feed(input);
        ASSERT_LE(g.decoded(), kGeoPaintBandBytes);

        ScrapStore store;
        store.width = static_cast<int>(rng() % 256);
        store.height = static_cast<int>(rng() % 721);
        ScrapDecompressor s(store);
        s.feed(input, {});
        ASSERT_EQ(store.bytes.size(), static_cast<std::size_t>(kScrapColumns * kScrapRows));
        const Image32 picture = drawScrap(store, false, kDefaultC64Palette);
        ASSERT_LE(picture.width, 640);
    }
}

}  // namespace
}  // namespace qv
