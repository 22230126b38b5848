#include "listing/FileList.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace qv {

bool lessNoCase(const std::string& a, const std::string& b) {
    // ASCII letters only, as the C locale folds them, whatever locale the program runs
    // in: one pass up to the first byte that differs.
    const auto lower = [](char c) {
        return static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    };
    const std::size_t n = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char x = lower(a[i]), y = lower(b[i]);
        if (x != y)
            return x < y;
    }
    if (a.size() != b.size())
        return a.size() < b.size();
    return a < b;  // stable tie-break for names that differ only in case
}

std::vector<std::string> collectFiles(const std::vector<std::string>& inputs,
                                      std::vector<std::string>* missing) {
    namespace fs = std::filesystem;
    std::vector<std::string> files;
    for (const std::string& input : inputs) {
        std::error_code ec;
        const fs::file_status st = fs::status(input, ec);
        if (!ec && fs::is_directory(st)) {
            fs::recursive_directory_iterator it(input,
                                                fs::directory_options::skip_permission_denied, ec);
            for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
                std::error_code fileEc;
                if (it->is_regular_file(fileEc))
                    files.push_back(it->path().string());
            }
        } else if (!ec && fs::exists(st)) {
            files.push_back(input);
        } else if (missing) {
            missing->push_back(input);
        }
    }
    std::sort(files.begin(), files.end(), lessNoCase);
    return files;
}

std::vector<std::string> commandLineFiles(const std::vector<std::string>& args) {
    std::vector<std::string> files;
    for (const std::string& arg : args) {
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(arg, ec).lexically_normal();
        if (!ec && !arg.empty() && std::filesystem::is_regular_file(full, ec))
            files.push_back(full.string());
    }
    return files;
}

std::vector<std::string> commandLinePaths(const std::vector<std::string>& args) {
    std::vector<std::string> paths;
    for (const std::string& arg : args) {
        if (arg.empty())
            continue;
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(arg, ec).lexically_normal();
        paths.push_back(ec ? arg : full.string());
    }
    return paths;
}

std::string missingPathsMessage(const std::vector<std::string>& missing) {
    std::string text = "MainForm: File or folder not found...skipped";
    for (const std::string& m : missing)
        text += "\n" + m;
    return text;
}

std::string dropSaveFolder(const std::vector<std::string>& items, const std::string& pathOption) {
    namespace fs = std::filesystem;
    if (!pathOption.empty() && pathOption != "DEFAULT")
        return pathOption;
    const auto withSeparator = [](fs::path p) {
        std::string s = p.string();
        if (s.empty() || s.back() != fs::path::preferred_separator)
            s += fs::path::preferred_separator;
        return s;
    };
    for (const std::string& item : items) {
        std::error_code ec;
        const fs::file_status st = fs::status(item, ec);
        if (ec || !fs::exists(st))
            continue;
        const fs::path absolute = fs::absolute(item, ec).lexically_normal();
        if (fs::is_directory(st)) {
            fs::path folder = absolute;
            if (!folder.has_filename())
                folder = folder.parent_path();  // trailing separator
            return withSeparator(items.size() == 1 ? folder : folder.parent_path());
        }
        return withSeparator(absolute.parent_path());
    }
    return {};
}

}  // namespace qv
