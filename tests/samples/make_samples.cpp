// Writes the sample disks that `make run` lists: each shows one kind of image the
// program handles. The program lists images in the order of their names, so each name
// begins with its place in the demonstration: the standard disk, the 40-track variants,
// error info, GEOS, many files, and last the crosslinked disk, whose question then
// comes once the others are listed.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "support/DiskBuilder.h"

using namespace qv;
using namespace qv::test;

namespace {

Bytes program(const std::string& text) {
    // A tiny BASIC program: 10 PRINT "text"
    Bytes p;
    p.reserve(text.size() + 16);
    for (int b : {0x01, 0x08, 0x00, 0x00, 0x0A, 0x00, 0x99, 0x20, 0x22}) {
        p.push_back(static_cast<std::uint8_t>(b));
    }
    for (char c : text)
        p.push_back(static_cast<std::uint8_t>(c));
    p.push_back(0x22);
    p.push_back(0x00);
    const int next = 0x0801 + static_cast<int>(p.size()) - 2;
    p[2] = static_cast<std::uint8_t>(next & 0xFF);
    p[3] = static_cast<std::uint8_t>(next >> 8);
    p.push_back(0x00);
    p.push_back(0x00);
    return p;
}

void standardDisk(DiskBuilder& d) {
    d.format("SAMPLE DISK", "QV");
    d.addFile("HELLO", 0x82, program("HELLO WORLD"));
    d.addFile("GAME LOADER", 0x82, filler(3000, 1));
    d.addFile("HIGHSCORES", 0x81, filler(600, 2));
    d.addFile("NOTES", 0x81, filler(200, 3));
    d.addFile("LOCKED PRG", 0xC2, filler(254, 4));
    d.addFile("SPLAT FILE", 0x01, filler(100, 5));
    d.addFile("----------------", 0x80, {});
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: quorvane-mksamples FOLDER\n");
        return 2;
    }
    const std::string dir = std::string(argv[1]) + "/";
    try {
        std::filesystem::create_directories(dir);
        {
            DiskBuilder d;
            standardDisk(d);
            d.save(dir + "1-standard.d64");
        }
        const struct {
            ExtendedBam kind;
            const char* name;
            const char* file;
        } forty[] = {{ExtendedBam::SpeedDos, "SPEEDDOS DISK", "2-speeddos40.d64"},
                     {ExtendedBam::DolphinDos, "DOLPHINDOS DISK", "3-dolphindos40.d64"},
                     {ExtendedBam::PrologicDos, "PROLOGIC DISK", "4-prologicdos40.d64"}};
        for (const auto& f : forty) {
            DiskBuilder d(40);
            d.format(f.name, "40");
            d.extendedBam(f.kind);
            d.addFile("FORTY TRACKS", 0x82, program("40 TRACKS"));
            d.addFile("BIG DATA", 0x81, filler(20000, 9));
            d.save(dir + f.file);
        }
        {
            DiskBuilder d(35, true);
            standardDisk(d);
            d.errorByte({1, 0}, 5).errorByte({17, 3}, 9).errorByte({20, 1}, 2);
            d.save(dir + "5-errorinfo.d64");
        }
        {
            DiskBuilder d;
            d.format("GEOS SAMPLE", "QV").geosSignature("GEOS format V1.0");
            InfoBlockSpec app;
            app.geosType = 6;
            app.cbmType = 0x83;
            app.className = "Sample App  V1.0";
            app.author = "Quorvane";
            app.description = "A GEOS application made for the samples.";
            for (std::size_t i = 0; i < app.icon.size(); ++i) {
                app.icon[i] = static_cast<std::uint8_t>(i % 3 == 1 ? 0x18 : 0xFF);
            }
            d.addGeosSequential("SampleApp", app, filler(900, 11), {88, 7, 14, 12, 30});
            InfoBlockSpec doc;
            doc.geosType = 7;
            doc.cbmType = 0x83;
            doc.structure = 1;
            doc.className = "Write Image V2.1";
            doc.application = "geoWrite    V2.1";
            doc.description = "A short document.";
            d.addGeosVlir("Sample Text", doc, {filler(300, 12), {}, filler(40, 13)},
                          {89, 1, 2, 3, 4});
            d.addFile("BASIC TOO", 0x82, program("NOT GEOS"));
            d.save(dir + "6-geos.d64");
        }
        {
            DiskBuilder d;
            d.format("MANY FILES", "MF");
            for (int i = 0; i < 160; ++i) {
                d.addFile("SMALL " + std::to_string(i + 1), 0x82, {0x01, 0x08});
            }
            d.save(dir + "7-manyfiles.d64");
        }
        {
            DiskBuilder d;
            d.format("CROSSLINKED", "XL");
            for (int i = 0; i < 12; ++i) {
                d.addFile("FILE " + std::to_string(i + 1), 0x82,
                          filler(100, static_cast<std::uint8_t>(i)));
            }
            // The second directory block links back to the first one.
            d.link(d.directoryBlocks()[1], {18, 1});
            d.save(dir + "8-crosslinked.d64");
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorvane-mksamples: %s\n", e.what());
        return 1;
    }
    return 0;
}
