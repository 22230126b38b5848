#pragma once

#include <string>

namespace qv {

// The panels of the main window's status bar that a run writes to: panel 1 holds
// the progress bar, panel 2 what the run is doing, panel 3 estimates and counts.
enum class StatusPanel { Progress = 1, State = 2, Counts = 3 };

// What a long run (a listing, the copy into the window) shows while it works. The
// application shows a progress bar, status panels and an "Abort" button; the
// command-line program a progress line; tests record the calls.
class RunHost {
  public:
    virtual ~RunHost() = default;
    // Progress range, "Abort" shown and enabled, busy cursor.
    virtual void runStarted(int fileCount) { (void)fileCount; }
    virtual void setProgress(int position) { (void)position; }
    virtual void setStatus(StatusPanel panel, const std::string& text) {
        (void)panel;
        (void)text;
    }
    virtual void showCurrentImage(const std::string& path) { (void)path; }
    // Let the window handle pending input, so that "Abort" is seen.
    virtual void processEvents() {}
    // Progress back to 0, normal cursor, "Abort" disabled.
    virtual void runFinished() {}
};

}  // namespace qv
