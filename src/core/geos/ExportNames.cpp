#include "geos/ExportNames.h"

#include <cstdio>
#include <filesystem>

#include "host/Dialogs.h"
#include "listing/ListingSave.h"

namespace qv {
namespace {

std::string safeName(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '\\':
            case '"':
            case '*':
            case '/':
            case ':':
            case '<':
            case '>':
            case '?':
            case '|':
                out.push_back('_');
                break;
            default:
                out.push_back(c);
        }
    }
    return out;
}

bool exists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(std::filesystem::path(path), ec);
}

}  // namespace

std::string exportBaseName(const std::string& fileNameText) {
    std::string n = fileNameText;
    if (!n.empty() && n.front() == '"')
        n.erase(0, 1);
    if (!n.empty() && n.back() == '"')
        n.pop_back();
    return safeName(n);
}

std::string exportGeoWriteName(const std::string& baseName) {
    return baseName + ".rtf";
}

std::string exportPictureName(const std::string& baseName) {
    return baseName + ".bmp";
}

std::string exportScrapName(const std::string& baseName, const std::string& imagePath) {
    std::string image = "D64Image";
    const std::size_t sep = imagePath.find_last_of("/\\");
    if (sep != std::string::npos) {
        image = imagePath.substr(sep + 1);
        const std::size_t dot = image.rfind('.');
        if (dot != std::string::npos)
            image.erase(dot);
    }
    return baseName + " " + image + ".bmp";
}

std::string exportAlbumScrapName(const std::string& baseName, int i, bool titled,
                                 const std::string& title) {
    if (titled && !title.empty())
        return baseName + "(" + safeName(title) + ").bmp";
    char number[16];
    std::snprintf(number, sizeof number, "%03i", i);
    return baseName + " (" + number + ").bmp";
}

std::string withPictureExtension(const std::string& name, const std::string& extension) {
    if (name.size() >= 4 && name.compare(name.size() - 4, 4, ".bmp") == 0)
        return name.substr(0, name.size() - 4) + extension;
    return name;
}

std::optional<std::string> checkExportName(const std::string& path, Dialogs& dialogs) {
    if (!exists(path))
        return path;
    const QuestionReply reply = dialogs.ask(QuestionMode::AutoRename, path);
    switch (reply.result) {
        case 1:  // Overwrite
            return path;
        case 6: {  // Auto Rename
            std::string stem = path;
            std::string extension;
            const std::size_t dot = path.rfind('.');
            const std::size_t sep = path.find_last_of("/\\");
            if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) {
                stem = path.substr(0, dot);
                extension = path.substr(dot + 1);
            }
            for (int n = 2;; ++n) {
                char counter[16];
                std::snprintf(counter, sizeof counter, "_%03i", n);
                const std::string candidate =
                    stem + counter + (extension.empty() ? "" : ".") + extension;
                if (!exists(candidate))
                    return candidate;
            }
        }
        case 7: {  // Other Name
            std::string other = askOtherName(path, dialogs);
            if (other.empty())
                return std::nullopt;
            return other;
        }
        default:
            return std::nullopt;
    }
}

}  // namespace qv
