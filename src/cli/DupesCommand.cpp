#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "collection/CollectionIndex.h"
#include "collection/IndexReports.h"

namespace qv::cli {
namespace {

const char* const kDupesHelp =
    "usage: quorvane-cli dupes --db FILE [--min-blocks N] [--format text|json|csv]\n"
    "Lists the images of a collection index that are the same disk (same header, same\n"
    "files in the same order with the same contents, whatever their unused blocks or\n"
    "error bytes), then the file contents found on several images, largest first.\n\n"
    "options:\n"
    "  --min-blocks N   leave out files whose chains hold fewer than N blocks (default 1;\n"
    "                   empty files are always left out)\n";

int runDupes(const std::vector<std::string>& args) {
    std::string db, format = "text";
    int minBlocks = 1;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::printf("%s", kDupesHelp);
            return 0;
        } else if (a == "--db" || a == "--format" || a == "--min-blocks") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quorvane-cli dupes: %s needs a value\n", a.c_str());
                return 2;
            }
            const std::string& v = args[++i];
            if (a == "--min-blocks") {
                try {
                    minBlocks = std::stoi(v);
                } catch (...) {
                    minBlocks = -1;
                }
                if (minBlocks < 0) {
                    std::fprintf(stderr, "quorvane-cli dupes: --min-blocks takes a number\n");
                    return 2;
                }
            } else {
                (a == "--db" ? db : format) = v;
            }
        } else {
            std::fprintf(stderr, "quorvane-cli dupes: unknown argument '%s'\n", a.c_str());
            return 2;
        }
    }
    const std::optional<ReportFormat> f = reportFormat(format);
    if (!f) {
        std::fprintf(stderr, "quorvane-cli dupes: --format takes text, json or csv\n");
        return 2;
    }
    if (db.empty()) {
        std::fprintf(stderr, "%s", kDupesHelp);
        return 2;
    }
    std::string error;
    const auto index = CollectionIndex::open(db, CollectionIndex::Access::Read, error);
    if (!index) {
        std::fprintf(stderr, "quorvane-cli dupes: %s\n", error.c_str());
        return 1;
    }
    const std::string out = dupesReport(index->dupes(minBlocks), *f);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return 0;
}

const RegisterCommand kRegister{
    {"dupes", "list identical images and files found on several images", &runDupes}};

}  // namespace
}  // namespace qv::cli
