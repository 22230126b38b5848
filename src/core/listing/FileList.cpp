#include "listing/FileList.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

namespace qv {

bool lessNoCase(const std::string& a, const std::string& b) {
    const auto lower = [](unsigned char c) { return std::tolower(c); };
    const bool less =
        std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [&](char x, char y) {
            return lower(static_cast<unsigned char>(x)) < lower(static_cast<unsigned char>(y));
        });
    if (less)
        return true;
    const bool greater =
        std::lexicographical_compare(b.begin(), b.end(), a.begin(), a.end(), [&](char x, char y) {
            return lower(static_cast<unsigned char>(x)) < lower(static_cast<unsigned char>(y));
        });
    return !greater && a < b;  // stable tie-break for names that differ only in case
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
