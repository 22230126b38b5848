#pragma once

// Test doubles for the file viewer tests: a dialog host with scripted answers that
// records what it was shown, a C64 screen that records its lines, and a builder for
// tokenized BASIC program files.

#include <cstdint>
#include <deque>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/Dialogs.h"
#include "support/RecordingScreen.h"
#include "support/ScriptedDialogHost.h"

namespace qv::test {

// Answers every error question with Continue unless the test queues other answers.
struct ScriptedHost : ScriptedDialogHost {
    ScriptedHost() { defaultErrorAnswer = 1; }
    // The seam as the engine takes it.
    Dialogs dialogs{*this};
};

// A program file: load address, then lines with correct links, then the 0 link.
class Prg {
  public:
    explicit Prg(int loadAddress) : load_(loadAddress) {
        bytes_ = {static_cast<std::uint8_t>(loadAddress & 0xFF),
                  static_cast<std::uint8_t>(loadAddress >> 8)};
    }
    // Content bytes; a string adds its characters.
    Prg& line(int number, std::vector<std::uint8_t> content) {
        const int address = load_ + static_cast<int>(bytes_.size()) - 2;
        const int link = address + 4 + static_cast<int>(content.size()) + 1;
        push(link);
        push(number);
        bytes_.insert(bytes_.end(), content.begin(), content.end());
        bytes_.push_back(0);
        return *this;
    }
    std::vector<std::uint8_t> bytes() const {
        std::vector<std::uint8_t> b = bytes_;
        b.push_back(0);
        b.push_back(0);
        return b;
    }

  private:
    void push(int word) {
        bytes_.push_back(static_cast<std::uint8_t>(word & 0xFF));
        bytes_.push_back(static_cast<std::uint8_t>((word >> 8) & 0xFF));
    }
    int load_;
    std::vector<std::uint8_t> bytes_;
};

// Bytes of a string, for building program content.
inline std::vector<std::uint8_t> str(std::string_view s) {
    return {s.begin(), s.end()};
}

inline std::vector<std::uint8_t> cat(std::initializer_list<std::vector<std::uint8_t>> parts) {
    std::vector<std::uint8_t> out;
    for (const auto& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

}  // namespace qv::test
