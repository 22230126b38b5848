#include <cstdio>
#include <string>
#include <vector>

#include "CliDialogHost.h"
#include "CliListing.h"
#include "CliSettings.h"
#include "Command.h"
#include "host/Dialogs.h"
#include "image/Detection.h"
#include "listing/DirectoryReader.h"
#include "listing/ListingFile.h"
#include "listing/ListingRun.h"
#include "listing/ListingSave.h"
#include "settings/ListerOptions.h"
#include "support/CodePage.h"
#include "support/JsonWriter.h"
#include "support/RtfWriter.h"

namespace qv::cli {
namespace {

const char* const kListHelp =
    "usage: quorvane-cli list [OPTIONS] PATH...\n"
    "Lists the directories of disk images as a C64 prints them. Folders are searched\n"
    "recursively; the images are taken in path order (letter case ignored).\n\n"
    "options:\n"
    "  --format FORMAT    text (the default), rtf (header lines in blue) or json (every\n"
    "                     field the reader finds, with the raw bytes)\n"
    "  --encoding ENC     text output as utf8 (the default), cp437 (the DOS text file,\n"
    "                     byte for byte) or ansi (Windows-1252, nearest characters)\n"
    "  -o FILE            write to FILE instead of standard output\n"
    "  --upper-lower      show names in the Upper/Lower character set\n"
    "  --generate         also write the listing file that \"Generate ASCII File\" writes,\n"
    "                     into the save folder (the \"Path:\" setting, else the images'\n"
    "                     folder)\n"
    "  --on-exists WHAT   when that file exists and nothing can be asked: overwrite,\n"
    "                     append or keep (the default)\n";

void writeEntry(JsonWriter& j, const DirEntry& e) {
    j.beginObject();
    j.key("typeByte").value(e.typeByte);
    j.key("typeText").value(e.typeText);
    j.key("name").byteArray(e.name.data(), e.name.size());
    j.key("nameText").bytesAsText(e.nameText);
    j.key("blocks").value(e.blocks);
    j.key("firstBlock").intArray({e.firstBlock.track, e.firstBlock.sector});
    j.key("infoBlock").intArray({e.infoBlock.track, e.infoBlock.sector});
    j.key("structure").value(e.structure);
    j.key("geosType").value(e.geosType);
    j.key("isGeos").value(e.isGeos);
    j.key("date").byteArray(e.date.data(), e.date.size());
    j.endObject();
}

bool writeOutput(const std::string& output, const std::string& text) {
    if (output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
        std::fflush(stdout);
        return true;
    }
    if (!writeFileAtomically(output, text, Durability::RenamedOnly)) {
        std::fprintf(stderr, "quorvane-cli list: cannot write %s\n", output.c_str());
        return false;
    }
    return true;
}

// Nothing listed and nothing else reported: said on stderr with status 1, as grep and
// find scripts expect of a search that found nothing.
int noImagesFound(const std::vector<std::string>& inputs) {
    std::string where;
    for (const std::string& i : inputs)
        where += (where.empty() ? "" : ", ") + i;
    std::fprintf(stderr, "quorvane-cli list: no disk images found in %s\n", where.c_str());
    return 1;
}

// The JSON listing: what the reader finds in each image, without layout.
std::string jsonListing(const std::vector<std::string>& files, const ListerOptions& options,
                        Dialogs& dialogs, int& status, int& listed) {
    JsonWriter j;
    j.beginObject().key("images").beginArray();
    forEachImage("list", files, options, dialogs, true, status,
                 [&](const std::string& path, DiskImage& image) {
                     ++listed;
                     const DiskHeader header = readHeader(image, options);
                     j.beginObject();
                     j.key("path").value(path);
                     j.key("size").value(static_cast<long long>(image.size()));
                     j.key("dosType").value(image.dosType());
                     j.key("tracks").value(image.trackCount());
                     j.key("errorInfo").value(image.hasErrorInfo());
                     j.key("header").beginObject();
                     j.key("name").byteArray(header.name.data(), header.name.size());
                     j.key("id").byteArray(header.id.data(), header.id.size());
                     j.key("dos").byteArray(header.dosVersion.data(), header.dosVersion.size());
                     j.key("text").bytesAsText(header.headerText);
                     j.endObject();
                     j.key("blocksFree").value(header.blocksFree);
                     j.key("geosDisk").value(header.geosDisk);
                     j.key("entries").beginArray();
                     const DirEnd end = walkDirectory(image, options, dialogs,
                                                      [&](const DirEntry& e) { writeEntry(j, e); });
                     j.endArray();
                     j.key("end").value(dirEndName(end));
                     j.endObject();
                     // "Cancel All" at a crosslink ends the run.
                     return end != DirEnd::CrosslinkCancelAll;
                 });
    j.endArray().endObject();
    return j.str() + "\n";
}

int runList(const std::vector<std::string>& args) {
    CliDialogHost host;
    CliSettings settings;
    std::vector<std::string> inputs;
    std::string output, format = "text", encoding = "utf8", onExists = "keep";
    bool upperLower = false, generate = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        const auto value = [&](const char* what) -> const std::string* {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quorvane-cli list: %s needs a value\n", what);
                return nullptr;
            }
            return &args[++i];
        };
        if (a == "--help" || a == "-h") {
            std::printf("%s%s%s", kListHelp, kSettingsOptionsHelp, kAnswerOptionsHelp);
            return 0;
        } else if (parseAnswerOption(args, i, host, error) ||
                   settings.parseOption(args, i, error)) {
            if (!error.empty()) {
                std::fprintf(stderr, "quorvane-cli list: %s\n", error.c_str());
                return 2;
            }
        } else if (a == "--format" || a == "--encoding" || a == "-o" || a == "--on-exists") {
            const std::string* v = value(a.c_str());
            if (!v)
                return 2;
            (a == "--format"     ? format
             : a == "--encoding" ? encoding
             : a == "-o"         ? output
                                 : onExists) = *v;
        } else if (a == "--upper-lower") {
            upperLower = true;
        } else if (a == "--generate") {
            generate = true;
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "quorvane-cli list: unknown option '%s'\n", a.c_str());
            return 2;
        } else {
            inputs.push_back(a);
        }
    }
    if (format != "text" && format != "rtf" && format != "json") {
        std::fprintf(stderr, "quorvane-cli list: --format takes text, rtf or json\n");
        return 2;
    }
    if (encoding != "utf8" && encoding != "cp437" && encoding != "ansi") {
        std::fprintf(stderr, "quorvane-cli list: --encoding takes utf8, cp437 or ansi\n");
        return 2;
    }
    if (onExists != "keep" && onExists != "overwrite" && onExists != "append") {
        std::fprintf(stderr, "quorvane-cli list: --on-exists takes keep, overwrite or append\n");
        return 2;
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "%s", kListHelp);
        return 2;
    }
    std::string error;
    if (!settings.load(error)) {
        std::fprintf(stderr, "quorvane-cli list: %s\n", error.c_str());
        return 2;
    }
    std::string pathOption;
    ListerOptions options = listingOptions(settings, pathOption);

    int status = 0;
    const std::vector<std::string> files = collectInputs("list", inputs, status);
    Dialogs dialogs(host);
    if (format == "json") {
        int listed = 0;
        const std::string json = jsonListing(files, options, dialogs, status, listed);
        if (listed == 0 && status == 0)
            return noImagesFound(inputs);
        return writeOutput(output, json) ? status : 1;
    }

    CliListing run(options, dialogs);
    const int listed = run.run("list", files, inputs, pathOption, upperLower, status);
    if (listed == 0 && status == 0)
        return noImagesFound(inputs);
    Listing& listing = run.listing();
    const std::string& text = listing.text().text();
    std::string out;
    if (format == "rtf") {
        std::vector<std::pair<std::size_t, std::size_t>> marks;
        for (std::size_t i = 0; i < listing.marks().count(); ++i) {
            marks.emplace_back(listing.marks().starts()[i], listing.marks().ends()[i]);
        }
        out = writeRtf(listingDocument(text, marks, RichFont{}));
    } else if (encoding == "cp437") {
        out = text;
    } else if (encoding == "ansi") {
        out = cp437ToWindows1252(text);
    } else {
        out = cp437ToUtf8(text);
    }
    if (!writeOutput(output, out))
        return 1;

    // --on-exists answers the name-exists question of the generated listing file.
    if (!host.interactive()) {
        host.presetAnswer(QuestionMode::NameExists, onExists == "overwrite" ? 1
                                                    : onExists == "append"  ? 6
                                                                            : 2);
    }
    if (saveGeneratedListing(listing, RunKind::Drop, listed, generate, options, dialogs) ==
        SaveResult::Failed) {
        status = 1;
    }
    return status;
}

const RegisterCommand kRegister{{"list", "list the directories of disk images", &runList}};

}  // namespace
}  // namespace qv::cli
