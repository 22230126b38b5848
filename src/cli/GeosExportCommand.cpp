#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "CliDialogHost.h"
#include "CliListing.h"
#include "CliSettings.h"
#include "Command.h"
#include "geos/ExportNames.h"
#include "geos/FontView.h"
#include "geos/GeoPaint.h"
#include "geos/GeosDocuments.h"
#include "geos/GeosFile.h"
#include "geos/GeosFont.h"
#include "geos/GeosReader.h"
#include "geos/GeosSettings.h"
#include "geos/PhotoAlbum.h"
#include "geos/PhotoScrap.h"
#include "host/Dialogs.h"
#include "image/Detection.h"
#include "listing/DirectoryReader.h"
#include "settings/ListerOptions.h"
#include "support/Bmp.h"
#include "support/CodePage.h"
#include "support/GeosText.h"
#include "support/Png.h"

namespace qv::cli {
namespace {

const char* const kHelp =
    "usage: quorvane-cli geos-export [OPTIONS] PATH... -o FOLDER\n"
    "Writes every GeoPaint picture, photo scrap, photo album page and GEOS font sheet found\n"
    "in the disk images as a bitmap into FOLDER. Folders are searched recursively. Files are\n"
    "named as the GEOS catalogue's export names them; the written paths are printed.\n\n"
    "options:\n"
    "  -o FOLDER          where the pictures go (created when missing)\n"
    "  --format FORMAT    bmp (the default) or png\n"
    "  --mono             GeoPaint pictures and photo scraps in black and white\n"
    "  --exists WHAT      a file of that name exists: rename (NAME_002.bmp, ..., the\n"
    "                     default), overwrite or skip\n"
    "The colours come from [Color Palette] of the settings, the font sheet's spacing and\n"
    "grid from [GEOS] (\"Spaces between chars\", ShowGrid, GridColor).\n";

// One GEOS document found in an image.
struct Document {
    std::string nameText;  // the catalogue's file name text, Windows-1252
    std::string classText;
    GeosDocumentKind kind = GeosDocumentKind::Other;
    int offset = -1;
};

struct Exporter {
    CliDialogHost& host;
    Dialogs& dialogs;
    GeosReaderContext context;
    FontView fontView;
    std::string folder;
    bool png = false;
    bool mono = false;
    GeosViewerSettings viewer;
    int written = 0;
    int status = 0;

    // Names the picture, asks about an existing file and saves it. False when the name
    // check gave no name.
    bool save(const Image32& picture, const std::string& name) {
        std::string fileName = windows1252ToUtf8(name);
        if (png)
            fileName = withPictureExtension(fileName, ".png");
        const std::optional<std::string> target = checkExportName(folder + fileName, dialogs);
        if (!target)
            return false;
        const bool ok = png ? savePng(*target, picture) : saveBmp(*target, picture);
        if (ok) {
            std::printf("%s\n", target->c_str());
            ++written;
        } else {
            std::fprintf(stderr, "quorvane-cli geos-export: cannot write %s\n", target->c_str());
            status = 1;
        }
        return true;
    }

    void exportDocument(const std::string& imagePath, const Document& d) {
        const std::string base = exportBaseName(d.nameText);
        const std::string name = unquotedName(d.nameText);
        switch (d.kind) {
            case GeosDocumentKind::GeoPaint:
                if (auto picture = decodeGeoPaintPicture(context, imagePath, name, d.offset, mono))
                    save(*picture, exportPictureName(base));
                break;
            case GeosDocumentKind::Font:
                fontView.spaceBetweenChars = viewer.spacesBetweenChars;
                fontView.showGrid = viewer.showGrid;
                fontView.gridColour = viewer.gridColour;
                if (renderFont(fontView, context, imagePath, name, d.offset) == 0)
                    save(fontView.picture(), exportPictureName(base));
                break;
            case GeosDocumentKind::PhotoScrap:
                fontView.monochromeScrap = mono;
                if (decodeScrap(fontView, context, imagePath, name, d.offset) == 0)
                    save(fontView.picture(), exportScrapName(base, imagePath));
                break;
            case GeosDocumentKind::PhotoAlbum: {
                fontView.monochromeScrap = mono;
                PhotoAlbum album;
                album.version = PhotoAlbum::versionFromClass(d.classText);
                if (album.loadAlbum(fontView, context, imagePath, name, d.offset) != 0)
                    break;
                for (int i = 1; i <= album.scrapCount(); ++i) {
                    if (album.showAlbumScrap(fontView, context, i - 1) != 0)
                        continue;
                    const bool titled = album.version == 2 && !album.titles().empty();
                    if (!save(album.picture(),
                              exportAlbumScrapName(base, i, titled, album.currentTitle()))) {
                        break;
                    }
                }
                break;
            }
            default:
                break;  // GeoWrite documents become rich text, not pictures
        }
    }

    void exportImage(const std::string& path, DiskImage& image) {
        std::vector<Document> documents;
        forEachGeosDocument(image, context.options, dialogs, [&](const GeosDocument& g) {
            if (g.kind != GeosDocumentKind::Other && g.kind != GeosDocumentKind::GeoWrite &&
                g.offset >= 0) {
                documents.push_back({g.name, g.classText(), g.kind, g.offset});
            }
        });
        // The readers open the image again by its path, as the catalogue's do.
        for (const Document& d : documents)
            exportDocument(path, d);
    }
};

int runGeosExport(const std::vector<std::string>& args) {
    CliDialogHost host;
    host.presetAnswer(QuestionMode::AutoRename, 6);
    CliSettings settings;
    std::vector<std::string> inputs;
    std::string folder;
    bool png = false;
    bool mono = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        if (a == "--help" || a == "-h") {
            std::printf("%s%s%s", kHelp, kAnswerOptionsHelp, kSettingsOptionsHelp);
            return 0;
        } else if (parseAnswerOption(args, i, host, error) ||
                   settings.parseOption(args, i, error)) {
            if (!error.empty()) {
                std::fprintf(stderr, "quorvane-cli geos-export: %s\n", error.c_str());
                return 2;
            }
        } else if (a == "--format") {
            const std::string v = i + 1 < args.size() ? args[++i] : "";
            if (v != "bmp" && v != "png") {
                std::fprintf(stderr, "quorvane-cli geos-export: --format takes bmp or png\n");
                return 2;
            }
            png = v == "png";
        } else if (a == "--mono") {
            mono = true;
        } else if (a == "--exists") {
            if (!parseExistsAnswer(i + 1 < args.size() ? args[++i] : "", host)) {
                std::fprintf(
                    stderr, "quorvane-cli geos-export: --exists takes rename, overwrite or skip\n");
                return 2;
            }
        } else if (a == "-o") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quorvane-cli geos-export: -o needs a folder\n");
                return 2;
            }
            folder = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "quorvane-cli geos-export: unknown option '%s'\n", a.c_str());
            return 2;
        } else {
            inputs.push_back(a);
        }
    }
    if (inputs.empty() || folder.empty()) {
        std::fprintf(stderr, "%s", kHelp);
        return 2;
    }
    if (!makeOutputFolder("geos-export", folder))
        return 1;

    std::string error;
    if (!settings.load(error)) {
        std::fprintf(stderr, "quorvane-cli geos-export: %s\n", error.c_str());
        return 2;
    }
    std::vector<std::string> messages;
    const ListerOptions options = settings.listerOptions(messages);
    for (const std::string& m : messages)
        std::fprintf(stderr, "quorvane-cli geos-export: %s\n", m.c_str());
    const GeosViewerSettings viewer =
        geosViewerSettings(settings.ini, GeosCatalogueSettings::load(settings.ini));
    Dialogs dialogs(host);
    Exporter exporter{host, dialogs, GeosReaderContext{dialogs, options, viewer.palette},
                      {},   folder,  png,
                      mono, viewer};

    const std::vector<std::string> files = collectInputs("geos-export", inputs, exporter.status);
    forEachImage("geos-export", files, options, dialogs, false, exporter.status,
                 [&](const std::string& path, DiskImage& image) {
                     exporter.exportImage(path, image);
                     return true;
                 });
    std::fprintf(stderr, "quorvane-cli geos-export: %i picture(s) written\n", exporter.written);
    return exporter.status;
}

const RegisterCommand kRegister{{"geos-export",
                                 "write GEOS pictures, scraps, album pages and fonts as bitmaps",
                                 &runGeosExport}};

}  // namespace
}  // namespace qv::cli
