#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CliRunHost.h"
#include "CliSettings.h"
#include "image/Detection.h"
#include "listing/ListingRun.h"
#include "viewer/TokenTable.h"

namespace qv::cli {

// The listing options of the settings, with the save folder of the "Path:" option; the
// messages of options that cannot be parsed go to standard error.
ListerOptions listingOptions(const CliSettings& settings, std::string& pathOption);

// The image files named on the command line: files as they are, folders searched with
// their subfolders, in path order. A name that does not exist is reported on standard
// error and sets status to 1.
std::vector<std::string> collectInputs(const char* command, const std::vector<std::string>& inputs,
                                       int& status);

// Opens the files one after the other as a listing does (extension check, variant
// detection with its questions) and hands every usable image to use. A file that
// cannot be opened is reported and sets status to 1; the other files that are skipped
// are reported as well when reportSkipped. A stop answer, "Cancel All" or use returning
// false ends the walk.
void forEachImage(const char* command, const std::vector<std::string>& files,
                  const ListerOptions& options, Dialogs& dialogs, bool reportSkipped, int& status,
                  const std::function<bool(const std::string& path, DiskImage& image)>& use);

// The output folder of a command that writes many files: created with its parents when
// missing, and given a trailing separator. False (reported) when it cannot be made.
bool makeOutputFolder(const char* command, std::string& folder);

// The listing run of the commands that list images (`list`, `screen`): the run of a drop
// on the main window, with its progress line, and a report of every file not listed.
class CliListing {
  public:
    CliListing(ListerOptions& options, Dialogs& dialogs);

    Listing& listing() { return listing_; }

    // Lists files (from collectInputs); the save folder follows the inputs as for a drop.
    // A file that was not listed is reported on standard error; one that is no file sets
    // status to 1. Returns the number of images listed.
    int run(const char* command, const std::vector<std::string>& files,
            const std::vector<std::string>& inputs, const std::string& pathOption, bool upperLower,
            int& status);

  private:
    // Notes which files of the run were listed.
    class ReportingHost : public CliRunHost {
      public:
        void setProgress(int position) override;
        void showCurrentImage(const std::string&) override { listed_.push_back(position_); }
        std::vector<std::string> notListed(const std::vector<std::string>& files) const;

      private:
        std::vector<int> listed_;
        int position_ = 0;
    };

    TokenTable tokens_;
    UnsupportedSizeLog log_;
    ReportingHost host_;
    Listing listing_;
};

}  // namespace qv::cli
