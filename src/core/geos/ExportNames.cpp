#include "geos/ExportNames.h"

#include <cctype>
#include <cstdio>
#include <filesystem>

#include "host/Dialogs.h"
#include "listing/ListingSave.h"

namespace qv {
namespace {

std::string upper(std::string s) {
    for (char& c : s)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

bool contains(const std::string& text, const char* part) {
    return text.find(part) != std::string::npos;
}

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

GeosDocumentKind geosDocumentKind(const std::string& typeText, const std::string& classText) {
    const std::string type = upper(typeText);
    const std::string cls = upper(classText);
    if (contains(type, "DOC") && contains(cls, "WRITE IMAGE"))
        return GeosDocumentKind::GeoWrite;
    if (contains(type, "DOC") && contains(cls, "PAINT IMAGE"))
        return GeosDocumentKind::GeoPaint;
    if (contains(type, "FON"))
        return GeosDocumentKind::Font;
    if (contains(type, "SYS") && contains(cls, "PHOTO SCRAP"))
        return GeosDocumentKind::PhotoScrap;
    if (contains(type, "DOC") && contains(cls, "PHOTO ALBUM"))
        return GeosDocumentKind::PhotoAlbum;
    return GeosDocumentKind::Other;
}

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
