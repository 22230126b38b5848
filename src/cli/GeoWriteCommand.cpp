#include <cctype>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "CliDialogHost.h"
#include "CliListing.h"
#include "CliSettings.h"
#include "Command.h"
#include "geos/ExportNames.h"
#include "geos/GeoWrite.h"
#include "geos/GeosDocuments.h"
#include "geos/GeosReader.h"
#include "geos/GeosSettings.h"
#include "host/Dialogs.h"
#include "image/Detection.h"
#include "listing/DirectoryReader.h"
#include "listing/ImageOpen.h"
#include "screen/ScreenSettings.h"
#include "settings/ListerOptions.h"
#include "support/CodePage.h"
#include "support/Files.h"
#include "support/GeosText.h"

namespace qv::cli {
namespace {

const char* const kHelp =
    "usage: quorvane-cli geowrite [OPTIONS] IMAGE NAME -o FILE.rtf\n"
    "       quorvane-cli geowrite [OPTIONS] --all PATH... -o FOLDER\n"
    "Converts a GeoWrite document (NAME, its GEOS file name) of a disk image into rich\n"
    "text with its rulers, fonts, styles and photo scraps. With --all every GeoWrite\n"
    "document of the images (folders are searched recursively) is written into FOLDER,\n"
    "named after the document; the written paths are printed.\n\n"
    "options:\n"
    "  -o PATH            the RTF file (a folder with --all)\n"
    "  --letter           US Letter paper instead of A4\n"
    "  --no-page-numbers  no page separators\n"
    "  --no-header        leave out the header of a version 2 document\n"
    "  --no-footer        leave out the footer\n"
    "  --font-ids         mark each change of font with its GEOS font ID, {0001}\n"
    "  --colors           colour the text with the print colours of its rulers\n"
    "  --font-table       name the fonts after [FontTable] of the settings\n"
    "  --exists WHAT      --all: a file of that name exists: rename (the default),\n"
    "                     overwrite or skip\n"
    "The other GeoWrite options come from [GEOS] of the settings (\"Scraps newline\",\n"
    "\"Scale Image2.1\", ...), the print colours from [PrintText Color Palette].\n";

const char* const kName = "quorvane-cli geowrite";

// One GeoWrite document found in an image.
struct Document {
    std::string name;  // the GEOS file name, Windows-1252, without quotes and blanks
    std::string classText;
    std::string offsetText;  // the catalogue's Fileoffset text
};

std::string lower(std::string text) {
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::vector<Document> geoWriteDocuments(DiskImage& image, const ListerOptions& options,
                                        Dialogs& dialogs) {
    std::vector<Document> documents;
    forEachGeosDocument(image, options, dialogs, [&](const GeosDocument& g) {
        if (!g.info || g.kind != GeosDocumentKind::GeoWrite || g.offset < 0)
            return;
        documents.push_back({unquotedName(g.name), g.classText(), g.offsetText()});
    });
    return documents;
}

// The document a name asks for: the exact name, or else the only one that matches
// without regard to case.
const Document* findDocument(const std::vector<Document>& documents, const std::string& name) {
    const Document* folded = nullptr;
    int foldedCount = 0;
    for (const Document& d : documents) {
        const std::string utf8 = windows1252ToUtf8(d.name);
        if (utf8 == name || d.name == name)
            return &d;
        if (lower(utf8) == lower(name)) {
            folded = &d;
            ++foldedCount;
        }
    }
    return foldedCount == 1 ? folded : nullptr;
}

int usage(const std::string& message) {
    std::fprintf(stderr, "%s: %s\n", kName, message.c_str());
    return 2;
}

int runGeoWrite(const std::vector<std::string>& args) {
    CliDialogHost host;
    host.presetAnswer(QuestionMode::AutoRename, 6);
    CliSettings settings;
    std::vector<std::string> inputs;
    std::string output;
    bool all = false;
    bool letter = false;
    bool noPageNumbers = false;
    bool noHeader = false;
    bool noFooter = false;
    bool fontIds = false;
    bool colours = false;
    bool fontTable = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        if (a == "--help" || a == "-h") {
            std::printf("%s%s%s", kHelp, kAnswerOptionsHelp, kSettingsOptionsHelp);
            return 0;
        } else if (parseAnswerOption(args, i, host, error) ||
                   settings.parseOption(args, i, error)) {
            if (!error.empty())
                return usage(error);
        } else if (a == "--all") {
            all = true;
        } else if (a == "--letter") {
            letter = true;
        } else if (a == "--no-page-numbers") {
            noPageNumbers = true;
        } else if (a == "--no-header") {
            noHeader = true;
        } else if (a == "--no-footer") {
            noFooter = true;
        } else if (a == "--font-ids") {
            fontIds = true;
        } else if (a == "--colors") {
            colours = true;
        } else if (a == "--font-table") {
            fontTable = true;
        } else if (a == "--exists") {
            if (!parseExistsAnswer(i + 1 < args.size() ? args[++i] : "", host)) {
                return usage("--exists takes rename, overwrite or skip");
            }
        } else if (a == "-o") {
            if (i + 1 >= args.size())
                return usage("-o needs a path");
            output = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            return usage("unknown option '" + a + "'");
        } else {
            inputs.push_back(a);
        }
    }
    if (output.empty() || inputs.empty() || (!all && inputs.size() != 2)) {
        std::fprintf(stderr, "%s", kHelp);
        return 2;
    }

    std::string error;
    if (!settings.load(error))
        return usage(error);
    std::vector<std::string> messages;
    const ListerOptions options = settings.listerOptions(messages);
    const GeosCatalogueSettings geos = GeosCatalogueSettings::load(settings.ini);
    GeoWriteView view;
    view.options = geoWriteOptions(geos);
    if (!geos.fontTable.message.empty())
        messages.push_back(geos.fontTable.message);
    for (const std::string& m : messages)
        std::fprintf(stderr, "%s: %s\n", kName, m.c_str());
    GeoWriteOptions& o = view.options;
    o.paperA4 = o.paperA4 && !letter;
    o.pageNumbers = o.pageNumbers && !noPageNumbers;
    o.header = o.header && !noHeader;
    o.footer = o.footer && !noFooter;
    o.showFontId = o.showFontId || fontIds;
    o.showPrintColours = o.showPrintColours || colours;
    if (fontTable) {
        if (!o.hasFontTable) {
            std::fprintf(stderr, "%s: %s\n", kName, missingFontTableMessage().c_str());
            return 2;
        }
        o.useFontTable = true;
    }

    Dialogs dialogs(host);
    GeosReaderContext context{dialogs, options, loadC64Palette(settings.ini)};
    int status = 0;
    int written = 0;

    auto convert = [&](const std::string& imagePath, const Document& d, const std::string& target) {
        if (view.convertGeoWrite(context, imagePath, d.name, d.offsetText, d.classText) != 0) {
            std::fprintf(stderr, "%s: %s: %s: not converted\n", kName, imagePath.c_str(),
                         windows1252ToUtf8(d.name).c_str());
            status = 1;
            return;
        }
        if (!view.saveGeoWriteRtf(dialogs, target)) {
            status = 1;
            return;
        }
        std::printf("%s\n", target.c_str());
        ++written;
    };

    if (!all) {
        const std::string& imagePath = inputs[0];
        const std::string& name = inputs[1];
        bool abortRun = false;
        DetectContext ctx{options, dialogs, abortRun, folderPart(imagePath), nullptr};
        OpenResult opened = openForListing(imagePath, ctx);
        if (opened.outcome != OpenOutcome::Opened) {
            std::fprintf(stderr, "%s: %s: %s\n", kName, imagePath.c_str(),
                         opened.reason.empty() ? "not a usable image" : opened.reason.c_str());
            return 1;
        }
        const std::vector<Document> documents = geoWriteDocuments(*opened.image, options, dialogs);
        opened.image.reset();
        const Document* d = findDocument(documents, name);
        if (!d) {
            std::fprintf(stderr, "%s: %s: no GeoWrite document named '%s'\n", kName,
                         imagePath.c_str(), name.c_str());
            return 1;
        }
        convert(imagePath, *d, output);
        return status;
    }

    if (!makeOutputFolder("geowrite", output))
        return 1;
    const std::vector<std::string> files = collectInputs("geowrite", inputs, status);
    forEachImage("geowrite", files, options, dialogs, false, status,
                 [&](const std::string& path, DiskImage& image) {
                     const std::vector<Document> documents =
                         geoWriteDocuments(image, options, dialogs);
                     // The converter opens the image again by its path.
                     for (const Document& d : documents) {
                         const std::string name =
                             exportGeoWriteName(exportBaseName(windows1252ToUtf8(d.name)));
                         if (const std::optional<std::string> target =
                                 checkExportName(output + name, dialogs))
                             convert(path, d, *target);
                     }
                     return true;
                 });
    std::fprintf(stderr, "%s: %i document(s) written\n", kName, written);
    return status;
}

const RegisterCommand kRegister{
    {"geowrite", "convert GeoWrite documents into rich text", &runGeoWrite}};

}  // namespace
}  // namespace qv::cli
