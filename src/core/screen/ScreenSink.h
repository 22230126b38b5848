#pragma once

#include <string_view>

namespace qv {

// What a C64 screen receives from the listing, the detokenizer and the viewers.
// Lines are raw PETSCII; the screen turns them into screen codes and glyphs.
class ScreenSink {
  public:
    virtual ~ScreenSink() = default;
    // Appends the text as one or more screen rows. With escapes on, the pairs that a
    // dump uses to carry control codes are decoded.
    virtual void addLine(std::string_view petscii, bool escapes) = 0;
    virtual void clear() = 0;
    // Between beginUpdate and endUpdate nothing is drawn.
    virtual void beginUpdate() = 0;
    virtual void endUpdate(bool showEnd) = 0;
    // Sets or clears positions first..last (0-79) of the reverse mask of the next line.
    virtual void setReverse(int first, int last, bool on) = 0;
    // Positions 2-79 reversed, 0-1 not: the look of a disk header line.
    virtual void markHeader() = 0;
    virtual void clearReverse() = 0;
    // Character set for the lines added from now on: false Upper/Graphics, true Upper/Lower.
    virtual void setUpperLower(bool upperLower) = 0;
};

}  // namespace qv
