#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace qv {

// A Windows-style INI file: "[Section]" lines followed by "key=value" lines.
// Sections and keys match without regard to case. Values are read with leading
// and trailing blanks removed and one pair of surrounding double quotes stripped,
// so a value written in quotes keeps its own blanks. Other lines (comments, blank
// lines, unknown keys) are kept as they are when the file is written back.
class IniFile {
  public:
    IniFile() = default;

    // Reads a file. A missing file gives an empty IniFile; a file that exists but
    // cannot be read (or is no regular file) gives nullopt.
    [[nodiscard]] static std::optional<IniFile> load(const std::string& path);
    static IniFile parse(const std::string& text);

    bool hasSection(const std::string& section) const;
    bool hasKey(const std::string& section, const std::string& key) const;

    // The stripped value, or nullopt when the key is missing.
    std::optional<std::string> value(const std::string& section, const std::string& key) const;

    std::string readString(const std::string& section, const std::string& key,
                           const std::string& def) const;
    // A missing or non-numeric value gives the default; leading digits count.
    int readInt(const std::string& section, const std::string& key, int def) const;
    // Stored as "1"/"0"; any non-zero number is true.
    bool readBool(const std::string& section, const std::string& key, bool def) const;

    // Every key and stripped value of a section, in file order.
    std::vector<std::pair<std::string, std::string>> sectionValues(
        const std::string& section) const;

    // Line breaks in a value (or key) cannot be stored in a line-based file: they
    // are dropped, so that a value can never split into further lines.
    void writeString(const std::string& section, const std::string& key, const std::string& value);
    // Writes the value enclosed in double quotes, so that its blanks survive.
    void writeQuoted(const std::string& section, const std::string& key, const std::string& value);
    // Writes a text so that it reads back unchanged: in quotes when it has blanks at
    // either end or a quote at both ends, as it is otherwise.
    void writeText(const std::string& section, const std::string& key, const std::string& value);
    void writeInt(const std::string& section, const std::string& key, int value);
    void writeBool(const std::string& section, const std::string& key, bool value);

    std::string text() const;
    // Writes the whole file to a temporary file beside it and renames it over the
    // old one. Returns false (and leaves the old file alone) on failure. When the path
    // is a symbolic link, the file it points to is replaced and the link kept.
    [[nodiscard]] bool save(const std::string& path) const;

  private:
    struct Line {
        std::string raw;      // the line as read (without its line end)
        std::string section;  // section the line belongs to
        std::string key;      // empty unless the line is key=value
    };
    int findKey(const std::string& section, const std::string& key) const;

    std::vector<Line> lines_;
};

// Strips leading and trailing blanks, then one pair of surrounding double quotes.
std::string stripIniValue(const std::string& raw);

}  // namespace qv
