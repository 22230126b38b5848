#include <cstdio>
#include <string>
#include <vector>

#include "Command.h"
#include "collection/CollectionIndex.h"
#include "collection/IndexReports.h"

namespace qv::cli {
namespace {

const char* const kSearchHelp =
    "usage: quorvane-cli search --db FILE [--format text|json|csv] PATTERN\n"
    "Finds file names (in either character set), GEOS classes, disk names and disk ids\n"
    "of a collection index that match PATTERN, without regard to letter case. The\n"
    "pattern matches the whole text: * any characters, ? one character, [abc] one of\n"
    "them, [!abc] none of them, \\x the character x. Quote it for the shell.\n"
    "Prints each image path with the entry line as the listing shows it; status 1\n"
    "when nothing matched.\n";

int runSearch(const std::vector<std::string>& args) {
    std::string db, format = "text";
    std::vector<std::string> patterns;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::printf("%s", kSearchHelp);
            return 0;
        } else if (a == "--db" || a == "--format") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quorvane-cli search: %s needs a value\n", a.c_str());
                return 2;
            }
            (a == "--db" ? db : format) = args[++i];
        } else if (a.size() > 1 && a[0] == '-' && a != "--") {
            std::fprintf(stderr, "quorvane-cli search: unknown option '%s'\n", a.c_str());
            return 2;
        } else if (a == "--" && i + 1 < args.size()) {
            patterns.push_back(args[++i]);
        } else {
            patterns.push_back(a);
        }
    }
    const std::optional<ReportFormat> f = reportFormat(format);
    if (!f) {
        std::fprintf(stderr, "quorvane-cli search: --format takes text, json or csv\n");
        return 2;
    }
    if (db.empty() || patterns.size() != 1) {
        std::fprintf(stderr, "%s", kSearchHelp);
        return 2;
    }
    std::string error;
    const auto index = CollectionIndex::open(db, CollectionIndex::Access::Read, error);
    if (!index) {
        std::fprintf(stderr, "quorvane-cli search: %s\n", error.c_str());
        return 1;
    }
    const std::vector<SearchHit> hits = index->search(patterns.front());
    const std::string out = searchReport(hits, *f);
    std::fwrite(out.data(), 1, out.size(), stdout);
    return hits.empty() ? 1 : 0;
}

const RegisterCommand kRegister{
    {"search", "find files and disks in a collection index by name", &runSearch}};

}  // namespace
}  // namespace qv::cli
