#pragma once

#include <chrono>
#include <string>

#include "listing/ListingRun.h"

namespace qv::cli {

// Shows a listing run on the terminal: one progress line on standard error with the
// images per second and the time left, rewritten in place. Off when standard error
// is not a terminal.
class CliRunHost : public RunHost {
  public:
    CliRunHost();
    void setEnabled(bool on) { enabled_ = on; }

    void runStarted(int fileCount) override;
    void setProgress(int position) override;
    void runFinished() override;

  private:
    void draw(int position, bool force);

    bool enabled_;
    int total_ = 0;
    std::chrono::steady_clock::time_point start_;
    std::chrono::steady_clock::time_point lastDraw_;
    bool drawn_ = false;
};

}  // namespace qv::cli
