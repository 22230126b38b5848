#include <csignal>
#include <cstdio>
#include <string>
#include <vector>

#include "CliRunHost.h"
#include "Command.h"
#include "collection/CollectionIndex.h"
#include "collection/IndexUpdate.h"

namespace qv::cli {
namespace {

const char* const kIndexHelp =
    "usage: quorvane-cli index --db FILE [--jobs N] PATH...\n"
    "Adds the disk images under PATH (files, or folders searched recursively for\n"
    "*.d64) to the collection index FILE, created when missing. Images whose size and\n"
    "modification time did not change are not read again; indexed images under PATH\n"
    "that are gone are removed. The work is committed in batches, so an interrupted\n"
    "run keeps what it did and the next one completes it.\n\n"
    "options:\n"
    "  --db FILE     the index (an SQLite database)\n"
    "  --jobs N      read images on N threads (default 1); one thread writes\n";

std::atomic<bool> gStop{false};

void onSignal(int) {
    gStop = true;
}

int runIndex(const std::vector<std::string>& args) {
    std::string db;
    int jobs = 1;
    std::vector<std::string> roots;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "--help" || a == "-h") {
            std::printf("%s", kIndexHelp);
            return 0;
        } else if (a == "--db" || a == "--jobs") {
            if (i + 1 >= args.size()) {
                std::fprintf(stderr, "quorvane-cli index: %s needs a value\n", a.c_str());
                return 2;
            }
            if (a == "--db") {
                db = args[++i];
            } else {
                try {
                    jobs = std::stoi(args[++i]);
                } catch (...) {
                    jobs = 0;
                }
                if (jobs < 1 || jobs > 64) {
                    std::fprintf(stderr, "quorvane-cli index: --jobs takes 1 to 64\n");
                    return 2;
                }
            }
        } else if (a.size() > 1 && a[0] == '-') {
            std::fprintf(stderr, "quorvane-cli index: unknown option '%s'\n", a.c_str());
            return 2;
        } else {
            roots.push_back(a);
        }
    }
    if (db.empty() || roots.empty()) {
        std::fprintf(stderr, "%s", kIndexHelp);
        return 2;
    }
    int status = 0;
    std::vector<std::string> missing;
    collectionFiles(roots, &missing);
    for (const std::string& m : missing) {
        std::fprintf(stderr, "quorvane-cli index: %s: no such file or folder\n", m.c_str());
        status = 1;
    }
    std::string error;
    const auto index = CollectionIndex::open(db, CollectionIndex::Access::Update, error);
    if (!index) {
        std::fprintf(stderr, "quorvane-cli index: %s\n", error.c_str());
        return 1;
    }
    // Ctrl-C ends the run after the batch being written; a second one the usual way.
    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    CliRunHost host;
    UpdateOptions options;
    options.jobs = jobs;
    options.host = &host;
    options.abort = &gStop;
    options.failure = [&](const std::string& path, const std::string& reason) {
        std::fprintf(stderr, "quorvane-cli index: %s: not read: %s\n", path.c_str(),
                     reason.c_str());
        status = 1;
    };
    UpdateCounts counts;
    if (!updateIndex(*index, roots, options, counts, error)) {
        std::fprintf(stderr, "quorvane-cli index: %s: %s\n", db.c_str(), error.c_str());
        return 1;
    }
    std::signal(SIGINT, SIG_DFL);
    std::signal(SIGTERM, SIG_DFL);
    std::printf("%s\n", updateSummary(counts).c_str());
    return counts.aborted ? 130 : status;
}

const RegisterCommand kRegister{
    {"index", "add disk images to a collection index (SQLite)", &runIndex}};

}  // namespace
}  // namespace qv::cli
