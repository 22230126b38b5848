#include "CliListing.h"

#include <cstdio>
#include <filesystem>
#include <system_error>

#include "listing/FileList.h"
#include "listing/ImageOpen.h"
#include "support/Files.h"

namespace qv::cli {

ListerOptions listingOptions(const CliSettings& settings, std::string& pathOption) {
    std::vector<std::string> messages;
    ListerOptions options = settings.listerOptions(messages, &pathOption);
    for (const std::string& m : messages)
        std::fprintf(stderr, "%s\n", m.c_str());
    return options;
}

std::vector<std::string> collectInputs(const char* command, const std::vector<std::string>& inputs,
                                       int& status) {
    std::vector<std::string> missing;
    std::vector<std::string> files = collectFiles(inputs, &missing);
    for (const std::string& m : missing) {
        std::fprintf(stderr, "quorvane-cli %s: %s: no such file or folder\n", command, m.c_str());
        status = 1;
    }
    return files;
}

void forEachImage(const char* command, const std::vector<std::string>& files,
                  const ListerOptions& options, Dialogs& dialogs, bool reportSkipped, int& status,
                  const std::function<bool(const std::string& path, DiskImage& image)>& use) {
    UnsupportedSizeLog log;
    bool abortRun = false;
    for (const std::string& path : files) {
        DetectContext ctx{options, dialogs, abortRun, folderPart(path), &log};
        OpenResult opened = openForListing(path, ctx);
        if (opened.outcome == OpenOutcome::Stop)
            break;
        if (opened.outcome == OpenOutcome::Skipped) {
            const bool unreadable = opened.reason.starts_with("cannot open");
            if (unreadable || reportSkipped) {
                std::fprintf(stderr, "quorvane-cli %s: %s: skipped: %s\n", command, path.c_str(),
                             opened.reason.c_str());
            }
            if (unreadable)
                status = 1;
            if (abortRun)
                break;
            continue;
        }
        if (!use(path, *opened.image) || abortRun)
            break;
    }
}

bool makeOutputFolder(const char* command, std::string& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        std::fprintf(stderr, "quorvane-cli %s: cannot create %s\n", command, folder.c_str());
        return false;
    }
    if (folder.back() != '/')
        folder += '/';
    return true;
}

void CliListing::ReportingHost::setProgress(int position) {
    CliRunHost::setProgress(position);
    position_ = position;
}

std::vector<std::string> CliListing::ReportingHost::notListed(
    const std::vector<std::string>& files) const {
    std::vector<std::string> out;
    std::size_t k = 0;
    for (int i = 0; i <= position_ && i < static_cast<int>(files.size()); ++i) {
        if (k < listed_.size() && listed_[k] == i) {
            ++k;
        } else {
            out.push_back(files[static_cast<std::size_t>(i)]);
        }
    }
    return out;
}

CliListing::CliListing(ListerOptions& options, Dialogs& dialogs) : listing_(options, dialogs) {
    listing_.setHost(&host_);
    listing_.setKeywords(v2Keywords(tokens_));
    listing_.setLog(&log_);
}

int CliListing::run(const char* command, const std::vector<std::string>& files,
                    const std::vector<std::string>& inputs, const std::string& pathOption,
                    bool upperLower, int& status) {
    listing_.mode = upperLower ? CharMode::UpperLower : CharMode::UpperGraphics;
    listing_.fileList = files;
    listing_.saveDir = dropSaveFolder(inputs, pathOption);
    const int listed = listing_.listFiles(RunKind::Drop);
    for (const std::string& f : host_.notListed(files)) {
        std::fprintf(stderr, "quorvane-cli %s: %s: not listed\n", command, f.c_str());
        std::error_code ec;
        if (!std::filesystem::is_regular_file(f, ec))
            status = 1;
    }
    return listed;
}

}  // namespace qv::cli
