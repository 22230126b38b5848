#pragma once

#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// The listing text of everything listed since "Clear": code page 437 bytes with
// CR LF line ends, in one buffer that grows in fixed steps. When memory runs out
// the buffer is released and stays gone until clear() allocates it again.
class TextBuffer {
  public:
    static constexpr std::size_t kStep = 250000;

    // limit: the most bytes the buffer may ever hold (0: no limit but memory).
    explicit TextBuffer(std::size_t limit = 0);

    bool valid() const { return valid_; }
    std::size_t size() const { return text_.size(); }
    std::size_t capacity() const { return capacity_; }
    const std::string& text() const { return text_; }

    enum class AppendResult { Ok, NoBuffer, OutOfMemory };
    // Appends bytes, growing the capacity by kStep as often as needed.
    AppendResult append(std::string_view bytes);
    // Appends a line and CR LF; with the 40-column break, a line of 40 or more
    // characters gets another CR LF after its 40th character.
    AppendResult appendLine(std::string_view line, bool break40);
    // The same for a line given in pieces (an entry line: count, name, blank, type).
    AppendResult appendLineParts(std::initializer_list<std::string_view> parts, bool break40);

    // Makes room for `more` bytes beyond the text without moving it later, as far as the
    // limit allows; only a hint: when memory is short nothing happens. The capacity of
    // the steps is not touched.
    void expect(std::size_t more);

    // Empties the buffer and shrinks it back to one step (allocating it again when
    // it was released).
    void clear();
    void release();

  private:
    // Room for `added` more bytes, or the reason there is none.
    AppendResult grow(std::size_t added);

    std::string text_;
    std::size_t capacity_ = 0;
    std::size_t limit_;
    bool valid_ = false;
};

// Start and end offsets in the text buffer of every disk header line since "Clear".
class HeaderMarks {
  public:
    static constexpr std::size_t kStep = 1000;

    explicit HeaderMarks(std::size_t limit = 0);

    bool valid() const { return valid_; }
    std::size_t count() const { return starts_.size(); }
    std::size_t capacity() const { return capacity_; }
    const std::vector<std::size_t>& starts() const { return starts_; }
    const std::vector<std::size_t>& ends() const { return ends_; }

    // Before an image is listed: when the count is a positive multiple of the step,
    // grow by one step. Returns false when that failed (the marks are then released).
    bool reserveForImage();
    // Records one header line; ignored while the marks are released.
    void add(std::size_t start, std::size_t end);
    void clear();
    void release();

  private:
    std::vector<std::size_t> starts_, ends_;
    std::size_t capacity_ = 0;
    std::size_t limit_;
    bool valid_ = false;
};

// The line-append rule on its own: the bytes that appending `line` adds.
std::string lineWithBreaks(std::string_view line, bool break40);

// Positions in a text whose line breaks count as one character, for byte offsets
// into the same text with CR LF line ends (two bytes each).
std::vector<std::size_t> offsetsWithSingleLineBreaks(const std::string& text,
                                                     const std::vector<std::size_t>& offsets);

}  // namespace qv
