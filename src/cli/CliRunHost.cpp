#include "CliRunHost.h"

#include <unistd.h>

#include <cstdio>

namespace qv::cli {

CliRunHost::CliRunHost() : enabled_(isatty(STDERR_FILENO)) {}

void CliRunHost::runStarted(int fileCount) {
    total_ = fileCount;
    start_ = std::chrono::steady_clock::now();
    lastDraw_ = start_;
    drawn_ = false;
}

void CliRunHost::setProgress(int position) {
    draw(position, false);
}

void CliRunHost::draw(int position, bool force) {
    if (!enabled_ || total_ == 0)
        return;
    const auto now = std::chrono::steady_clock::now();
    if (!force && now - lastDraw_ < std::chrono::milliseconds(200))
        return;
    lastDraw_ = now;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const double rate = elapsed > 0 ? position / elapsed : 0.0;
    const double left = rate > 0 ? (total_ - position) / rate : 0.0;
    std::fprintf(stderr, "\r%d/%d images, %.0f images/s, time left %s   ", position, total_, rate,
                 formatDuration(left).c_str());
    std::fflush(stderr);
    drawn_ = true;
}

void CliRunHost::runFinished() {
    if (!enabled_ || !drawn_)
        return;
    draw(total_, true);
    std::fprintf(stderr, "\n");
}

}  // namespace qv::cli
