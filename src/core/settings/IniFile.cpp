#include "settings/IniFile.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <system_error>

namespace qv {
namespace {

bool equalNoCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string trim(const std::string& s) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    std::size_t b = 0, e = s.size();
    while (b < e && isBlank(s[b]))
        ++b;
    while (e > b && isBlank(s[e - 1]))
        --e;
    return s.substr(b, e - b);
}

}  // namespace

std::string stripIniValue(const std::string& raw) {
    std::string v = trim(raw);
    if (v.size() >= 2 && v.front() == '"' && v.back() == '"')
        v = v.substr(1, v.size() - 2);
    return v;
}

IniFile IniFile::parse(const std::string& text) {
    IniFile ini;
    std::string section;
    // A UTF-8 byte order mark (editors add one) would hide the first section.
    const bool bom = text.starts_with("\xEF\xBB\xBF");
    std::istringstream in(bom ? text.substr(3) : text);
    std::string raw;
    while (std::getline(in, raw)) {
        if (!raw.empty() && raw.back() == '\r')
            raw.pop_back();
        Line line{raw, section, {}};
        const std::string t = trim(raw);
        if (t.size() >= 2 && t.front() == '[' && t.back() == ']') {
            section = trim(t.substr(1, t.size() - 2));
            line.section = section;
        } else if (!t.empty() && t.front() != ';') {
            const auto eq = raw.find('=');
            if (eq != std::string::npos)
                line.key = trim(raw.substr(0, eq));
        }
        ini.lines_.push_back(std::move(line));
    }
    return ini;
}

std::optional<IniFile> IniFile::load(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return IniFile{};
    if (!std::filesystem::is_regular_file(path, ec))
        return std::nullopt;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return std::nullopt;
    std::ostringstream buf;
    buf << in.rdbuf();
    if (in.bad())
        return std::nullopt;
    return parse(buf.str());
}

int IniFile::findKey(const std::string& section, const std::string& key) const {
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const Line& l = lines_[i];
        if (!l.key.empty() && equalNoCase(l.section, section) && equalNoCase(l.key, key)) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

bool IniFile::hasSection(const std::string& section) const {
    return std::any_of(lines_.begin(), lines_.end(), [&](const Line& l) {
        return l.key.empty() && equalNoCase(l.section, section) && trim(l.raw).starts_with("[");
    });
}

bool IniFile::hasKey(const std::string& section, const std::string& key) const {
    return findKey(section, key) >= 0;
}

std::optional<std::string> IniFile::value(const std::string& section,
                                          const std::string& key) const {
    const int i = findKey(section, key);
    if (i < 0)
        return std::nullopt;
    const std::string& raw = lines_[static_cast<std::size_t>(i)].raw;
    return stripIniValue(raw.substr(raw.find('=') + 1));
}

std::string IniFile::readString(const std::string& section, const std::string& key,
                                const std::string& def) const {
    return value(section, key).value_or(def);
}

int IniFile::readInt(const std::string& section, const std::string& key, int def) const {
    const auto v = value(section, key);
    if (!v)
        return def;
    std::size_t i = 0;
    bool negative = false;
    if (i < v->size() && ((*v)[i] == '-' || (*v)[i] == '+'))
        negative = (*v)[i++] == '-';
    long long n = 0;
    std::size_t digits = 0;
    for (; i < v->size() && std::isdigit(static_cast<unsigned char>((*v)[i])); ++i, ++digits) {
        n = n * 10 + ((*v)[i] - '0');
        if (n > 0xFFFFFFFFLL)
            return def;
    }
    if (digits == 0)
        return def;
    // Colours are stored as unsigned 32-bit values; they wrap like the Windows reader.
    return static_cast<int>(static_cast<unsigned int>(negative ? -n : n));
}

bool IniFile::readBool(const std::string& section, const std::string& key, bool def) const {
    return readInt(section, key, def ? 1 : 0) != 0;
}

std::vector<std::pair<std::string, std::string>> IniFile::sectionValues(
    const std::string& section) const {
    std::vector<std::pair<std::string, std::string>> out;
    for (const Line& l : lines_) {
        if (!l.key.empty() && equalNoCase(l.section, section)) {
            out.emplace_back(l.key, stripIniValue(l.raw.substr(l.raw.find('=') + 1)));
        }
    }
    return out;
}

void IniFile::writeString(const std::string& section, const std::string& key,
                          const std::string& value) {
    std::string raw = key + "=" + value;
    std::erase_if(raw, [](char c) { return c == '\r' || c == '\n'; });
    if (const int i = findKey(section, key); i >= 0) {
        lines_[static_cast<std::size_t>(i)].raw = raw;
        return;
    }
    // Append after the last line of the section, or open the section at the end.
    int last = -1;
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (equalNoCase(lines_[i].section, section) && !trim(lines_[i].raw).empty()) {
            last = static_cast<int>(i);
        }
    }
    if (last < 0) {
        if (!lines_.empty() && !trim(lines_.back().raw).empty())
            lines_.push_back({"", "", {}});
        lines_.push_back({"[" + section + "]", section, {}});
        lines_.push_back({raw, section, key});
        return;
    }
    lines_.insert(lines_.begin() + last + 1,
                  Line{raw, lines_[static_cast<std::size_t>(last)].section, key});
}

void IniFile::writeQuoted(const std::string& section, const std::string& key,
                          const std::string& value) {
    writeString(section, key, "\"" + value + "\"");
}

void IniFile::writeText(const std::string& section, const std::string& key,
                        const std::string& value) {
    if (stripIniValue(value) == value) {
        writeString(section, key, value);
    } else {
        writeQuoted(section, key, value);
    }
}

void IniFile::writeInt(const std::string& section, const std::string& key, int value) {
    writeString(section, key, std::to_string(value));
}

void IniFile::writeBool(const std::string& section, const std::string& key, bool value) {
    writeString(section, key, value ? "1" : "0");
}

std::string IniFile::text() const {
    std::string out;
    for (const Line& l : lines_) {
        out += l.raw;
        out += "\r\n";
    }
    return out;
}

bool IniFile::save(const std::string& linkOrPath) const {
    std::error_code ec;
    std::string path = linkOrPath;
    if (std::filesystem::is_symlink(path, ec)) {
        const auto target = std::filesystem::weakly_canonical(path, ec);
        if (ec)
            return false;
        path = target.string();
    }
    const std::string tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        const std::string t = text();
        out.write(t.data(), static_cast<std::streamsize>(t.size()));
        out.flush();
        if (!out) {
            out.close();
            std::remove(tmp.c_str());
            return false;
        }
    }
    std::filesystem::rename(tmp, path, ec);
    if (ec) {
        std::remove(tmp.c_str());
        return false;
    }
    return true;
}

}  // namespace qv
