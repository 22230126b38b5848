#include <cstdio>
#include <string>
#include <vector>

#include "CliDialogHost.h"
#include "Command.h"
#include "host/Dialogs.h"
#include "image/Detection.h"
#include "listing/DirectoryReader.h"
#include "listing/FileList.h"
#include "listing/ImageOpen.h"
#include "settings/ListerOptions.h"
#include "support/JsonWriter.h"

namespace qv::cli {
namespace {

const char* const kListHelp =
    "usage: quorvane-cli list [OPTIONS] PATH...\n"
    "Lists the directories of disk images. Folders are searched recursively; the\n"
    "images are taken in path order (letter case ignored).\n\n"
    "options:\n"
    "  --format json      write the listing as JSON (the default)\n"
    "  -o FILE            write to FILE instead of standard output\n";

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

int runList(const std::vector<std::string>& args) {
    CliDialogHost host;
    std::vector<std::string> inputs;
    std::string output;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        std::string error;
        if (a == "--help" || a == "-h") {
            std::printf("%s%s", kListHelp, kAnswerOptionsHelp);
            return 0;
        } else if (parseAnswerOption(args, i, host, error)) {
            if (!error.empty()) {
                std::fprintf(stderr, "quorvane-cli list: %s\n", error.c_str());
                return 2;
            }
        } else if (a == "--format") {
            if (i + 1 >= args.size() || args[i + 1] != "json") {
                std::fprintf(stderr, "quorvane-cli list: --format takes json\n");
                return 2;
            }
            ++i;
        } else if (a == "-o") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quorvane-cli list: -o needs a file name\n");
                return 2;
            }
            output = args[++i];
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "quorvane-cli list: unknown option '%s'\n", a.c_str());
            return 2;
        } else {
            inputs.push_back(a);
        }
    }
    if (inputs.empty()) {
        std::fprintf(stderr, "%s", kListHelp);
        return 2;
    }

    int status = 0;
    std::vector<std::string> missing;
    const std::vector<std::string> files = collectFiles(inputs, &missing);
    for (const std::string& m : missing) {
        std::fprintf(stderr, "quorvane-cli list: %s: no such file or folder\n", m.c_str());
        status = 1;
    }

    ListerOptions options;
    Dialogs dialogs(host);
    UnsupportedSizeLog log;
    bool abortRun = false;
    JsonWriter j;
    j.beginObject().key("images").beginArray();
    for (const std::string& path : files) {
        DetectContext ctx{options, dialogs, abortRun, folderPart(path), &log};
        OpenResult opened = openForListing(path, ctx);
        if (opened.outcome == OpenOutcome::Stop)
            break;
        if (opened.outcome == OpenOutcome::Skipped) {
            std::fprintf(stderr, "quorvane-cli list: %s: skipped: %s\n", path.c_str(),
                         opened.reason.c_str());
            if (opened.reason.starts_with("cannot open"))
                status = 1;
            if (abortRun)
                break;
            continue;
        }
        DiskImage& image = *opened.image;
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
        const DirEnd end =
            walkDirectory(image, options, dialogs, [&](const DirEntry& e) { writeEntry(j, e); });
        j.endArray();
        j.key("end").value(dirEndName(end));
        j.endObject();
        if (end == DirEnd::CrosslinkCancelAll)
            abortRun = true;
        if (abortRun)
            break;
    }
    j.endArray().endObject();

    const std::string text = j.str() + "\n";
    if (output.empty()) {
        std::fwrite(text.data(), 1, text.size(), stdout);
    } else {
        std::FILE* f = std::fopen(output.c_str(), "wb");
        if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size()) {
            std::fprintf(stderr, "quorvane-cli list: cannot write %s\n", output.c_str());
            if (f)
                std::fclose(f);
            return 1;
        }
        std::fclose(f);
    }
    return status;
}

const RegisterCommand kRegister{{"list", "list the directories of disk images", &runList}};

}  // namespace
}  // namespace qv::cli
