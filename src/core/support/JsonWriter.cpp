#include "support/JsonWriter.h"

#include <cstdio>

namespace qv {

void JsonWriter::newline() {
    if (!pretty_)
        return;
    out_.push_back('\n');
    out_.append(2 * first_.size(), ' ');
}

void JsonWriter::separator() {
    if (afterKey_) {
        afterKey_ = false;
        return;
    }
    if (!first_.empty()) {
        if (!first_.back())
            out_.push_back(',');
        first_.back() = false;
        newline();
    }
}

JsonWriter& JsonWriter::beginObject() {
    separator();
    out_.push_back('{');
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endObject() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty)
        newline();
    out_.push_back('}');
    return *this;
}

JsonWriter& JsonWriter::beginArray() {
    separator();
    out_.push_back('[');
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::endArray() {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty)
        newline();
    out_.push_back(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    separator();
    quoted(name, false);
    out_ += pretty_ ? ": " : ":";
    afterKey_ = true;
    return *this;
}

void JsonWriter::quoted(std::string_view s, bool bytes) {
    out_.push_back('"');
    for (char ch : s) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
            case '"':
                out_ += "\\\"";
                continue;
            case '\\':
                out_ += "\\\\";
                continue;
            case '\n':
                out_ += "\\n";
                continue;
            case '\r':
                out_ += "\\r";
                continue;
            case '\t':
                out_ += "\\t";
                continue;
            default:
                break;
        }
        if (c < 0x20 || c == 0x7F || (bytes && c >= 0x80)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04X", c);
            out_ += buf;
        } else {
            out_.push_back(ch);
        }
    }
    out_.push_back('"');
}

JsonWriter& JsonWriter::value(std::string_view utf8) {
    separator();
    quoted(utf8, false);
    return *this;
}

JsonWriter& JsonWriter::bytesAsText(std::string_view bytes) {
    separator();
    quoted(bytes, true);
    return *this;
}

JsonWriter& JsonWriter::value(long long number) {
    separator();
    out_ += std::to_string(number);
    return *this;
}

JsonWriter& JsonWriter::value(bool b) {
    separator();
    out_ += b ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::byteArray(const std::uint8_t* data, std::size_t size) {
    separator();
    out_.push_back('[');
    for (std::size_t i = 0; i < size; ++i) {
        if (i)
            out_.push_back(',');
        out_ += std::to_string(data[i]);
    }
    out_.push_back(']');
    return *this;
}

JsonWriter& JsonWriter::intArray(std::initializer_list<int> values) {
    separator();
    out_.push_back('[');
    bool first = true;
    for (int v : values) {
        if (!first)
            out_.push_back(',');
        first = false;
        out_ += std::to_string(v);
    }
    out_.push_back(']');
    return *this;
}

}  // namespace qv
