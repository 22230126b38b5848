#pragma once

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "screen/ScreenSink.h"

namespace qv::test {

// A C64 screen for tests: records every call in order, as one readable event each,
// and keeps the added lines and reverse-mask calls for direct checks.
class RecordingScreen : public ScreenSink {
  public:
    struct MaskCall {
        int first;
        int last;
        bool on;
        bool operator==(const MaskCall&) const = default;
    };

    std::vector<std::string> lines;
    std::vector<MaskCall> calls;  // setReverse calls
    std::vector<std::string> events;
    bool lastEscapes = true;
    bool upperLower = false;

    void addLine(std::string_view petscii, bool escapes) override {
        lines.emplace_back(petscii);
        lastEscapes = escapes;
        events.push_back("line:" + std::string(petscii));
    }
    void clear() override {
        lines.clear();
        events.push_back("clear");
    }
    void beginUpdate() override { events.push_back("begin"); }
    void endUpdate(bool showEnd) override { events.push_back(showEnd ? "end:show" : "end"); }
    void setReverse(int first, int last, bool on) override { calls.push_back({first, last, on}); }
    void markHeader() override { events.push_back("markHeader"); }
    void clearReverse() override { events.push_back("clearReverse"); }
    void setUpperLower(bool on) override {
        upperLower = on;
        events.push_back(on ? "upperLower" : "upperGraphics");
    }
};

inline std::ostream& operator<<(std::ostream& os, const RecordingScreen::MaskCall& c) {
    return os << "{" << c.first << "," << c.last << "," << (c.on ? "on" : "off") << "}";
}

}  // namespace qv::test
