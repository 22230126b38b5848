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

TextBuffer::AppendResult TextBuffer::grow(std::size_t added) {
    if (!valid_)
        return AppendResult::NoBuffer;
    const std::size_t needed = text_.size() + added;
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
    if (needed > text_.capacity()) {
        try {
            text_.reserve(std::max(needed, 2 * text_.capacity()));
        } catch (const std::exception&) {
            release();
            return AppendResult::OutOfMemory;
        }
    }
    return AppendResult::Ok;
}

void TextBuffer::expect(std::size_t more) {
    if (!valid_)
        return;
    std::size_t wanted = text_.size() + more;
    if (limit_ != 0)
        wanted = std::min(wanted, limit_);
    if (wanted <= text_.capacity())
        return;
    try {
        text_.reserve(wanted);
    } catch (const std::exception&) {
        // The text grows step by step as before.
    }
}

TextBuffer::AppendResult TextBuffer::append(std::string_view bytes) {
    if (const AppendResult r = grow(bytes.size()); r != AppendResult::Ok)
        return r;
    text_.append(bytes);
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
    std::size_t length = 0;
    for (std::string_view p : parts)
        length += p.size();
    const bool split = break40 && length >= 40;
    const std::size_t added = length + (split ? 4 : 2);
    // Make room once, then copy the pieces straight into the text.
    const std::size_t old = text_.size();
    if (const AppendResult r = grow(added); r != AppendResult::Ok)
        return r;
    text_.resize(old + added);
    char* out = text_.data() + old;
    std::size_t n = 0;
    for (std::string_view p : parts) {
        if (split && n < 40 && n + p.size() >= 40) {
            const std::size_t first = 40 - n;
            std::memcpy(out + n, p.data(), first);
            out[40] = '\r';
            out[41] = '\n';
            std::memcpy(out + 42, p.data() + first, p.size() - first);
            n += p.size() + 2;
        } else {
            std::memcpy(out + n, p.data(), p.size());
            n += p.size();
        }
    }
    out[n++] = '\r';
    out[n++] = '\n';
    return AppendResult::Ok;
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
