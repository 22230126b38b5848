#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

namespace qv {

// A small streaming JSON writer. Strings are written as UTF-8 with escapes;
// byte strings from a disk (PETSCII) are written with each byte as the code point
// of the same value, so no byte is lost or changed.
class JsonWriter {
  public:
    explicit JsonWriter(bool pretty = true) : pretty_(pretty) {}

    JsonWriter& beginObject();
    JsonWriter& endObject();
    JsonWriter& beginArray();
    JsonWriter& endArray();
    JsonWriter& key(std::string_view name);
    JsonWriter& value(std::string_view utf8);
    JsonWriter& value(const char* utf8) { return value(std::string_view(utf8)); }
    JsonWriter& value(const std::string& utf8) { return value(std::string_view(utf8)); }
    JsonWriter& bytesAsText(std::string_view bytes);
    JsonWriter& value(long long number);
    JsonWriter& value(int number) { return value(static_cast<long long>(number)); }
    JsonWriter& value(bool b);
    JsonWriter& byteArray(const std::uint8_t* data, std::size_t size);
    // A short array of numbers on one line.
    JsonWriter& intArray(std::initializer_list<int> values);

    const std::string& str() const { return out_; }

  private:
    void separator();
    void newline();
    void quoted(std::string_view s, bool bytes);

    std::string out_;
    std::vector<bool> first_;  // per open container: nothing written yet
    bool afterKey_ = false;
    bool pretty_;
};

}  // namespace qv
