// Writes the seed inputs of every fuzz target into OUT/<target>/, built with the disk
// builder of the tests, so each seed is a small, valid input of its kind:
//   quorvane-fuzzseeds OUT
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "listing/ListingFile.h"
#include "screen/Charset.h"
#include "settings/IniFile.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/GeoWriteBytes.h"
#include "support/RtfWriter.h"
#include "viewer/TokenTable.h"

namespace {

using namespace qv;
using test::Bytes;
using test::DiskBuilder;
using test::filler;
using test::InfoBlockSpec;
using test::numbered;
namespace fs = std::filesystem;

fs::path outDir;

void writeSeed(const std::string& target, const std::string& name, const Bytes& bytes) {
    const fs::path dir = outDir / target;
    fs::create_directories(dir);
    std::ofstream out(dir / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
}

// An image target's input: its own option bytes, then a and b, the size selector and
// the packed image.
Bytes imageSeed(const Bytes& prefix, std::uint8_t a, std::uint8_t b, const DiskBuilder& disk) {
    Bytes s = prefix;
    s.push_back(a);
    s.push_back(b);
    s.push_back(fuzz::sizeSelectorFor(disk.bytes().size()));
    const Bytes packed = fuzz::packImage(disk.bytes());
    s.insert(s.end(), packed.begin(), packed.end());
    return s;
}

InfoBlockSpec geosInfo(std::uint8_t type, std::uint8_t structure, const std::string& cls) {
    InfoBlockSpec info;
    info.geosType = type;
    info.structure = structure;
    info.className = cls;
    info.author = "Fuzz";
    info.description = "Seed document";
    for (std::size_t i = 0; i < info.icon.size(); ++i)
        info.icon[i] = static_cast<std::uint8_t>(i * 37);
    return info;
}

// The disks every image target starts from.
std::vector<DiskBuilder> plainDisks() {
    std::vector<DiskBuilder> disks;
    {
        DiskBuilder d;
        d.format("SEED DISK", "SD");
        d.addFile("HELLO", 0x82,
                  {0x01, 0x08, 0x0B, 0x08, 0x0A, 0x00, 0x99, 0x22, 0x48, 0x22, 0x00, 0x00, 0x00});
        d.addFile("DATA", 0x81, filler(700, 1));
        d.addFile("USER", 0x83, filler(300, 2));
        d.addFile("LOCKED", 0xC2, filler(254, 3));
        d.addFile("SPLAT", 0x02, filler(100, 4));
        d.addFile("DELETED", 0x00, filler(20, 5));
        d.addFile("----------------", 0x80, {});
        disks.push_back(d);
    }
    for (const auto kind : {test::ExtendedBam::SpeedDos, test::ExtendedBam::DolphinDos,
                            test::ExtendedBam::PrologicDos}) {
        DiskBuilder d(40);
        d.format("FORTY", "40");
        d.extendedBam(kind);
        d.addFile("FORTY TRACKS", 0x82, filler(900, 6));
        disks.push_back(d);
    }
    {
        DiskBuilder d;  // a directory block that links back to itself
        d.format("LOOP", "LP");
        for (int i = 0; i < 10; ++i)
            d.addFile(numbered("F", i), 0x82, {1, 2});
        d.link(d.directoryBlocks().back(), d.directoryBlocks().front());
        disks.push_back(d);
    }
    {
        DiskBuilder d;  // more than 144 files
        d.format("MANY FILES", "MF");
        for (int i = 0; i < 150; ++i)
            d.addFile(numbered("SMALL ", i), 0x82, {0x01, 0x08});
        disks.push_back(d);
    }
    return disks;
}

// A GEOS disk whose first file is doc, with a few other GEOS files behind it.
DiskBuilder geosDisk(const std::function<void(DiskBuilder&)>& firstFile) {
    DiskBuilder d;
    d.format("GEOS DISK", "GD");
    d.geosSignature();
    firstFile(d);
    d.addGeosSequential("App", geosInfo(6, 0, "SeedApp     V1.0"), filler(500, 7),
                        {88, 7, 14, 12, 30});
    d.addGeosVlir("Text", geosInfo(7, 1, "Write Image V2.1"), {filler(300, 8), {}, filler(40, 9)});
    return d;
}

Bytes paintBand(int band) {
    Bytes b;  // 23 runs of 63 bytes as they are
    for (int k = 0; k < 23; ++k) {
        b.push_back(63);
        for (int i = 0; i < 63; ++i)
            b.push_back(static_cast<std::uint8_t>(k * 11 + band + i));
    }
    b.insert(b.end(), {0x83, 0x55, 0x41, 1, 2, 0xC2, 0xAA});  // a repeat and a pattern
    return b;
}

Bytes scrap() {
    Bytes s = {10, 40, 0};
    for (int i = 0; i < 5; ++i)
        s.insert(s.end(), {0x7F, 0x3C, 0xDA, 1, 2, 3, 4, 5, 6, 7, 8});
    s.insert(s.end(), {0x84, 0x11, 0xDC, 0x05});
    return s;
}

Bytes fontSize(int height) {
    Bytes size(8 + 192 + static_cast<std::size_t>(40 * height), 0xF0);
    size[1] = 40;
    size[2] = 0;
    size[3] = static_cast<std::uint8_t>(height);
    size[4] = 8;
    size[5] = 0;
    size[6] = static_cast<std::uint8_t>(200 + 0 * height);
    size[7] = 0;
    for (int k = 0; k <= 95; ++k) {
        size[static_cast<std::size_t>(8 + 2 * k)] = static_cast<std::uint8_t>(3 * k);
        size[static_cast<std::size_t>(9 + 2 * k)] = static_cast<std::uint8_t>((3 * k) >> 8);
    }
    return size;
}

std::vector<Bytes> geoWritePages(bool versionOne) {
    namespace gw = test::geowrite;
    using gw::operator<<;
    std::vector<Bytes> records;
    for (int page = 0; page < 2; ++page) {
        Bytes b;
        if (versionOne) {
            b << gw::Ruler{}.versionOne();
        } else {
            gw::Ruler r;
            r.alignment = static_cast<std::uint8_t>(page);
            b << r.escape();
        }
        b << gw::font(1, 12, 0) << gw::text("Hello, world.\r") << gw::font(0, 9, 0x40)
          << gw::text("Second line\tafter a tab\r") << gw::picture(1, 8, 64)
          << gw::text("The end.\r");
        b.push_back(0);
        records.push_back(b);
    }
    records.resize(64);
    records.push_back(gw::blackCardScrap());
    return records;
}

void imageSeeds() {
    int n = 0;
    for (const DiskBuilder& d : plainDisks()) {
        const std::string name = numbered("disk", n++);
        writeSeed("disk_image", name, imageSeed({0}, 0x1C, 0x04, d));
        writeSeed("disk_image", name + "-deleted", imageSeed({6}, 0x7F, 0x15, d));
        writeSeed("block_map", name, imageSeed({}, 0x1C, 0x05, d));
    }
    {
        DiskBuilder d(35, true);  // error bytes: the image must carry them whole
        d.format("ERRORS", "ER");
        d.addFile("DAMAGED", 0x82, filler(600, 10));
        d.errorByte({1, 0}, 5).errorByte({1, 1}, 0x17);
        writeSeed("block_map", "errors", imageSeed({}, 0x1C, 0x05, d));
    }

    const DiskBuilder paint = geosDisk([](DiskBuilder& d) {
        std::vector<Bytes> bands;
        for (int i = 0; i < 4; ++i)
            bands.push_back(paintBand(i));
        d.addGeosVlir("Picture", geosInfo(7, 1, "Paint Image V1.1"), bands);
    });
    const DiskBuilder font = geosDisk([](DiskBuilder& d) {
        InfoBlockSpec info = geosInfo(8, 1, "Font");
        d.addGeosVlir("Font", info,
                      {{}, {}, {}, {}, {}, {}, {}, {}, {}, fontSize(9), {}, {}, fontSize(12)});
    });
    const DiskBuilder photoScrap = geosDisk([](DiskBuilder& d) {
        d.addGeosSequential("Scrap", geosInfo(4, 0, "Photo Scrap V1.1"), scrap());
    });
    const DiskBuilder album = geosDisk([](DiskBuilder& d) {
        d.addGeosVlir("Album", geosInfo(7, 1, "Photo Album V2.1"),
                      {scrap(), scrap(), {'O', 'n', 'e', 0, 'T', 'w', 'o', 0}});
    });
    const DiskBuilder write1 = geosDisk([](DiskBuilder& d) {
        d.addGeosVlir("Letter", geosInfo(7, 1, "Write Image V1.1"), geoWritePages(true));
    });
    const DiskBuilder write2 = geosDisk([](DiskBuilder& d) {
        d.addGeosVlir("Letter", geosInfo(7, 1, "Write Image V2.1"), geoWritePages(false));
    });
    writeSeed("geopaint", "paint", imageSeed({}, 0x1C, 0x05, paint));
    writeSeed("geopaint", "paint-mono", imageSeed({}, 0x1D, 0x05, paint));
    writeSeed("geos_font", "font", imageSeed({}, 0x1C, 0x05, font));
    writeSeed("photo_scrap", "scrap", imageSeed({}, 0x1C, 0x05, photoScrap));
    writeSeed("photo_album", "album", imageSeed({}, 0x1C, 0x05, album));
    writeSeed("photo_album", "album-v1", imageSeed({}, 0x1D, 0x05, album));
    writeSeed("geowrite", "v1", imageSeed({0x00}, 0x1C, 0x05, write1));
    writeSeed("geowrite", "v2", imageSeed({0x3C}, 0x1E, 0x05, write2));
    writeSeed("geowrite", "v21-title", imageSeed({0x7F}, 0x1D | 0x04, 0x05, write2));
    int g = 0;
    for (const DiskBuilder* d : {&paint, &font, &photoScrap, &album, &write2}) {
        writeSeed("geos_entry", numbered("geos", g),
                  imageSeed({static_cast<std::uint8_t>(g)}, 0xDC, 0x05, *d));
        writeSeed("block_map", numbered("geos", g++), imageSeed({}, 0x1C, 0x05, *d));
    }
}

void textSeeds() {
    // BASIC programs of several dialects, by their load addresses.
    const Bytes v2 = {0x01, 0x08, 0x14, 0x08, 0x0A, 0x00, 0x99, 0x22, 0x41, 0x22, 0x3A, 0x89, 0x31,
                      0x30, 0x00, 0x1C, 0x08, 0x14, 0x00, 0x8F, 0x20, 0x48, 0x49, 0x00, 0x00, 0x00};
    Bytes v7 = v2;
    v7[0] = 0x01;
    v7[1] = 0x1C;
    const Bytes v35 = {0x01, 0x10, 0x0C, 0x10, 0x0A, 0x00, 0xCE, 0x0A,
                       0xFE, 0x02, 0xE4, 0x31, 0x00, 0x00, 0x00};
    for (int mode = 0; mode < 8; ++mode) {
        Bytes s = {static_cast<std::uint8_t>(mode == 0 ? 0x0D : 0x0C),
                   static_cast<std::uint8_t>(mode)};
        const Bytes& prg = mode % 3 == 0 ? v2 : mode % 3 == 1 ? v7 : v35;
        s.insert(s.end(), prg.begin(), prg.end());
        writeSeed("detokenizer", numbered("prg", mode), s);
    }

    TokenTable table;
    table.fillDefaultTable(true);
    const std::string csv = table.toCsv();
    writeSeed("token_table", "default.csv", Bytes(csv.begin(), csv.end()));
    writeSeed("token_table", "head.csv",
              Bytes(csv.begin(), csv.begin() + std::min<std::size_t>(csv.size(), 3000)));

    IniFile ini;
    ListerOptions options;
    saveOptions(ini, options);
    ini.writeString("MainForm", "Width", "400");
    ini.writeString("Color Palette", "Color 0", "0");
    ini.writeString("Color Palette", "Color 14", "7368959");
    ini.writeString("FontTable", "0", "Courier New ; BSW");
    ini.writeString("FontTable", "5", "\"Arial\"");
    ini.writeString("GEOS", "UseFontTable", "1");
    ini.writeString("BASIC Address", "BasicV2", "2049,4097");
    ini.writeString("GeosDetails", "Filter", "1,1,1,0,1,1,1,1,1");
    const std::string text = ini.text();
    writeSeed("settings", "quorvane.ini", Bytes(text.begin(), text.end()));

    RichDocument doc = listingDocument(
        "0 \"SEED DISK\"       SD 2A\r\n1    \"HELLO\"  PRG\r\n"
        "664 BLOCKS FREE.\r\n",
        {{0, 26}}, RichFont{});
    const std::string rtf = writeRtf(doc);
    Bytes r = {0};
    r.insert(r.end(), rtf.begin(), rtf.end());
    writeSeed("rtf", "listing.rtf", r);
    r[0] = 3;
    writeSeed("rtf", "listing-cut.rtf", r);
    const std::string plain = "0 \"SEED\" SD 2A\r\n1 \"HELLO\" PRG\n664 BLOCKS FREE.\r\n";
    Bytes p = {0};
    p.insert(p.end(), plain.begin(), plain.end());
    writeSeed("rtf", "listing.txt", p);
    const std::string fancy =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fmodern\\fcharset255 Terminal;}{\\f1 Arial;}}"
        "{\\colortbl;\\red0\\green0\\blue255;}{\\*\\generator x;}\\uc1\\pard\\f0\\cf1 A\\'e4"
        "\\u8364?\\tab B\\par{\\pict\\wmetafile8 0102}\\b C\\b0\\line}";
    Bytes f = {0};
    f.insert(f.end(), fancy.begin(), fancy.end());
    writeSeed("rtf", "fancy.rtf", f);

    const auto& rom = Charset::builtin().bytes();
    writeSeed("charset", "builtin.rom", Bytes(rom.begin(), rom.end()));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvane-fuzzseeds OUT\n");
        return 2;
    }
    outDir = argv[1];
    imageSeeds();
    textSeeds();
    return 0;
}
