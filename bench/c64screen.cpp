// How fast the C64 screen takes lines and draws pages.
//
// Adds 100,000 listing-like lines (in one update, as a listing run does) and renders pages
// of the result, printing lines per second and pages per second. Baselines measured in the
// same run: copying the same number of cells with memcpy, and copying a page of pixels.
// Both figures should stay in proportion when the line count grows (linear growth).

#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "screen/C64Screen.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

std::vector<std::string> makeLines(int count) {
    std::vector<std::string> lines;
    lines.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        std::string line = std::to_string(i % 700);
        line.resize(5, ' ');
        line += "\"FILE " + std::to_string(i) + "\"";
        line.resize(24, ' ');
        line += (i % 3 == 0) ? "PRG" : (i % 3 == 1 ? "SEQ" : "USR");
        lines.push_back(line);
    }
    return lines;
}

// Seconds to add the lines to a fresh screen.
double addLines(const std::vector<std::string>& lines, qv::C64Screen& screen) {
    Clock::time_point start = Clock::now();
    screen.beginUpdate();
    for (const std::string& line : lines) {
        screen.addLine(line, false);
    }
    screen.endUpdate(true);
    return seconds(start);
}

}  // namespace

int main() {
    const int kLines = 100000;
    const int kPages = 2000;
    std::vector<std::string> lines = makeLines(kLines);

    // Baseline: moving the cells of 100,000 rows with memcpy, the least any screen could do.
    std::vector<std::uint16_t> source(static_cast<std::size_t>(kLines) * 40, 32);
    std::vector<std::uint16_t> target(source.size());
    Clock::time_point start = Clock::now();
    for (int row = 0; row < kLines; ++row) {
        std::memcpy(target.data() + static_cast<std::size_t>(row) * 40,
                    source.data() + static_cast<std::size_t>(row) * 40, 40 * sizeof(std::uint16_t));
    }
    double copySeconds = seconds(start);
    volatile std::uint16_t sink = target[target.size() / 2];
    (void)sink;

    qv::C64Screen small;
    std::vector<std::string> tenth(lines.begin(), lines.begin() + kLines / 10);
    double smallSeconds = addLines(tenth, small);

    qv::C64Screen screen;
    double addSeconds = addLines(lines, screen);

    // Rendering pages spread over the whole text.
    screen.setActive(true);
    start = Clock::now();
    for (int i = 0; i < kPages; ++i) {
        screen.setScrollPosition(
            static_cast<int>(static_cast<long long>(i) * screen.scrollMax() / kPages));
    }
    double renderSeconds = seconds(start);

    // Baseline: copying a page's pixels.
    std::vector<std::uint32_t> page(320 * 200, 0x3739C4);
    std::vector<std::uint32_t> pageCopy(page.size());
    start = Clock::now();
    for (int i = 0; i < kPages; ++i) {
        page[static_cast<std::size_t>(i) % page.size()] = static_cast<std::uint32_t>(i);
        std::memcpy(pageCopy.data(), page.data(), page.size() * sizeof(std::uint32_t));
    }
    double pageCopySeconds = seconds(start);
    volatile std::uint32_t pixel = pageCopy[7];
    (void)pixel;

    auto rate = [](double count, double secs) { return secs > 0 ? count / secs : 0.0; };
    std::printf("c64screen: %d lines, %d rows, capacity %zu cells\n", kLines, screen.lineCount(),
                screen.capacity());
    std::printf(
        "  addLine:        %12.0f lines/s   (baseline memcpy of the cells: %.0f rows/s, "
        "ratio %.1fx)\n",
        rate(kLines, addSeconds), rate(kLines, copySeconds),
        copySeconds > 0 ? addSeconds / copySeconds : 0.0);
    std::printf(
        "  addLine 10,000: %12.0f lines/s   (linear: the rate should match the one "
        "above)\n",
        rate(kLines / 10, smallSeconds));
    std::printf(
        "  render:         %12.0f pages/s   (baseline memcpy of a page: %.0f pages/s, "
        "ratio %.1fx)\n",
        rate(kPages, renderSeconds), rate(kPages, pageCopySeconds),
        pageCopySeconds > 0 ? renderSeconds / pageCopySeconds : 0.0);
    return 0;
}
