#include "listing/TextBuffer.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <stdexcept>

namespace qv {

TextBuffer::TextBuffer(std::size_t limit) : limit_(limit) {
    clear();
}

void TextBuffer::clear() {
    text_.clear();
    text_.shrink_to_fit();
    try {
        text_.reserve(kStep);
        capacity_ = kStep;
        valid_ = true;
    } catch (const std::bad_alloc&) {
        release();
    }
}

void TextBuffer::release() {
    std::string().swap(text_);
    capacity_ = 0;
    valid_ = false;
}

TextBuffer::AppendResult TextBuffer::append(std::string_view bytes) {
    if (!valid_)
        return AppendResult::NoBuffer;
    const std::size_t needed = text_.size() + bytes.size();
    if (needed > capacity_) {
        // The capacity grows in steps; the string underneath grows geometrically, so
        // a long run never copies the whole text again for every step.
        std::size_t grown = capacity_;
        while (grown < needed)
            grown += kStep;
        if (limit_ != 0 && grown > limit_) {
            release();
            return AppendResult::OutOfMemory;
        }
        capacity_ = grown;
    }
    try {
        text_.append(bytes);
    } catch (const std::bad_alloc&) {
        release();
        return AppendResult::OutOfMemory;
    } catch (const std::length_error&) {
        release();
        return AppendResult::OutOfMemory;
    }
    return AppendResult::Ok;
}

std::string lineWithBreaks(std::string_view line, bool break40) {
    std::string out;
    out.reserve(line.size() + 4);
    if (break40 && line.size() >= 40) {
        out.append(line.substr(0, 40));
        out.append("\r\n");
        out.append(line.substr(40));
    } else {
        out.append(line);
    }
    out.append("\r\n");
    return out;
}

TextBuffer::AppendResult TextBuffer::appendLine(std::string_view line, bool break40) {
    return appendLineParts({line}, break40);
}

TextBuffer::AppendResult TextBuffer::appendLineParts(std::initializer_list<std::string_view> parts,
                                                     bool break40) {
    // A line short enough for the stack (every entry line) goes in with one append.
    char buf[160];
    std::size_t length = 0;
    for (std::string_view p : parts)
        length += p.size();
    const bool split = break40 && length >= 40;
    if (length + 4 > sizeof buf) {
        std::string line;
        line.reserve(length);
        for (std::string_view p : parts)
            line += p;
        return append(lineWithBreaks(line, break40));
    }
    std::size_t n = 0;
    for (std::string_view p : parts) {
        std::memcpy(buf + n, p.data(), p.size());
        n += p.size();
    }
    if (split) {
        std::memmove(buf + 42, buf + 40, n - 40);
        buf[40] = '\r';
        buf[41] = '\n';
        n += 2;
    }
    buf[n++] = '\r';
    buf[n++] = '\n';
    return append(std::string_view(buf, n));
}

HeaderMarks::HeaderMarks(std::size_t limit) : limit_(limit) {
    clear();
}

void HeaderMarks::clear() {
    starts_.clear();
    ends_.clear();
    starts_.shrink_to_fit();
    ends_.shrink_to_fit();
    try {
        starts_.reserve(kStep);
        ends_.reserve(kStep);
        capacity_ = kStep;
        valid_ = true;
    } catch (const std::bad_alloc&) {
        release();
    }
}

void HeaderMarks::release() {
    std::vector<std::size_t>().swap(starts_);
    std::vector<std::size_t>().swap(ends_);
    capacity_ = 0;
    valid_ = false;
}

bool HeaderMarks::reserveForImage() {
    if (!valid_)
        return false;
    if (count() == 0 || count() % kStep != 0)
        return true;
    const std::size_t grown = capacity_ + kStep;
    if (limit_ != 0 && grown > limit_) {
        release();
        return false;
    }
    try {
        starts_.reserve(grown);
        ends_.reserve(grown);
        capacity_ = grown;
    } catch (const std::bad_alloc&) {
        release();
        return false;
    }
    return true;
}

void HeaderMarks::add(std::size_t start, std::size_t end) {
    if (!valid_ || count() >= capacity_)
        return;
    starts_.push_back(start);
    ends_.push_back(end);
}

std::vector<std::size_t> offsetsWithSingleLineBreaks(const std::string& text,
                                                     const std::vector<std::size_t>& offsets) {
    // Offsets come in increasing order (header marks do); walk the text once.
    std::vector<std::size_t> out;
    out.reserve(offsets.size());
    std::size_t crlfBefore = 0;
    std::size_t pos = 0;
    for (std::size_t offset : offsets) {
        if (offset < pos) {  // not increasing: count from the start again
            pos = 0;
            crlfBefore = 0;
        }
        const std::size_t end = std::min(offset, text.size());
        for (; pos < end; ++pos) {
            if (text[pos] == '\n' && pos > 0 && text[pos - 1] == '\r')
                ++crlfBefore;
        }
        // An offset between CR and LF counts the CR as the break itself.
        out.push_back(offset - crlfBefore);
    }
    return out;
}

}  // namespace qv
