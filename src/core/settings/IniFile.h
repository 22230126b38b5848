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
    // cannot be read gives nullopt.
    static std::optional<IniFile> load(const std::string& path);
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

    void writeString(const std::string& section, const std::string& key, const std::string& value);
    // Writes the value enclosed in double quotes, so that its blanks survive.
    void writeQuoted(const std::string& section, const std::string& key, const std::string& value);
    void writeInt(const std::string& section, const std::string& key, int value);
    void writeBool(const std::string& section, const std::string& key, bool value);

    std::string text() const;
    // Writes the whole file to a temporary file beside it and renames it over the
    // old one. Returns false (and leaves the old file alone) on failure.
    bool save(const std::string& path) const;

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
