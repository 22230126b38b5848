#include "listing/ListingSave.h"

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "host/Dialogs.h"
#include "image/Detection.h"
#include "listing/ListingRun.h"
#include "settings/ListerOptions.h"
#include "support/CodePage.h"
#include "support/Files.h"
#include "support/RtfWriter.h"
#include "support/Text.h"

namespace qv {
namespace {

bool fileExists(const std::string& path) {
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

std::string lastFolderName(std::string dir) {
    while (!dir.empty() && isPathSeparator(dir.back()))
        dir.pop_back();
    for (std::size_t i = dir.size(); i > 0; --i) {
        if (isPathSeparator(dir[i - 1]))
            return dir.substr(i);
    }
    return dir;
}

bool appendToFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace

std::string imageBaseName(const std::string& path) {
    const std::string ext = upperExtension(path);
    std::size_t at = std::string::npos;
    if (!ext.empty()) {
        // The first place where the extension text occurs (in any letter case).
        at = upperAscii(path).find(ext);
    }
    if (at == std::string::npos)
        at = path.size();
    for (std::size_t i = at; i > 0; --i) {
        if (isPathSeparator(path[i - 1]))
            return path.substr(i, at - i);
    }
    return "D64Image";
}

std::string cleanFileName(const std::string& name) {
    std::string n = name;
    if (!n.empty() && n.front() == '"')
        n.erase(0, 1);
    if (!n.empty() && n.back() == '"')
        n.pop_back();
    std::string out;
    for (char c : n) {
        if (c == '\\' || c == '/')
            continue;
        if (c == '"' || c == '*' || c == ':' || c == '<' || c == '>' || c == '?' || c == '|') {
            out.push_back('_');
        } else {
            out.push_back(c);
        }
    }
    return out;
}

std::string generatedFileName(RunKind runKind, std::size_t fileCount,
                              const std::string& currentImage, const std::string& saveDir,
                              const std::string& chosenFolderName, const ListerOptions& options) {
    std::string name;
    if (fileCount < 2) {
        name =
            options.saveName != "DEFAULT" ? options.saveName : imageBaseName(currentImage) + ".txt";
    } else if (options.multifileName != "DEFAULT") {
        // The options dialog stores the name with its extension already (".txt" is
        // added there when the user gives none); add it only to a name without one.
        name = options.multifileName;
        if (name.find('.') == std::string::npos)
            name += ".txt";
    } else {
        switch (runKind) {
            case RunKind::Load:
                name = lastFolderName(folderPart(currentImage));
                break;
            case RunKind::Extended:
                name = chosenFolderName;
                break;
            default:
                name = lastFolderName(saveDir);
                break;
        }
        name += ".txt";
    }
    return cleanFileName(name);
}

std::optional<SaveResult> saveGeneratedListing(const Listing& listing, RunKind runKind, int listed,
                                               bool generate, const ListerOptions& options,
                                               Dialogs& dialogs) {
    if (!generate || listed <= 0)
        return std::nullopt;
    const std::string name = generatedFileName(
        runKind, listing.fileList.size(), listing.currentImage(), listing.saveDir, "", options);
    return saveTextBuffer(listing.saveDir, name, listing.text().text(), dialogs,
                          options.showSavedToMessage);
}

std::string askOtherName(const std::string& currentPath, Dialogs& dialogs) {
    for (;;) {
        const std::optional<std::string> answer =
            dialogs.host().askText("File Name Exists", "Insert New File Name", currentPath);
        if (!answer || answer->empty())
            return {};
        std::string name = *answer;
        const std::string base = name.substr(folderPart(name).size());
        if (base.find('.') == std::string::npos) {
            const std::string ext = currentPath.substr(folderPart(currentPath).size());
            const auto dot = ext.rfind('.');
            if (dot != std::string::npos)
                name += ext.substr(dot);
        }
        if (folderPart(name).empty())
            name = folderPart(currentPath) + name;
        if (!fileExists(name))
            return name;
    }
}

SaveResult saveTextBuffer(const std::string& folder, const std::string& name, std::string_view text,
                          Dialogs& dialogs, bool showSavedTo) {
    const std::string path = folder + name;
    const auto fail = [&](const std::string& file) {
        dialogs.showError("MainForm", file, "", "Error while creating Save File...",
                          errorflag::ReportPath);
        return SaveResult::Failed;
    };
    const auto confirm = [&](const std::string& message) {
        if (showSavedTo)
            dialogs.message(message);
    };
    if (!fileExists(path)) {
        if (!writeFileAtomically(path, text))
            return fail(path);
        confirm("Saved to " + path);
        return SaveResult::Saved;
    }
    const QuestionReply reply = dialogs.ask(QuestionMode::NameExists, path);
    switch (reply.result) {
        case 1:
            if (!writeFileAtomically(path, text))
                return fail(path);
            confirm("Saved to " + path);
            return SaveResult::Saved;
        case 6:
            if (!appendToFile(path, text))
                return fail(path);
            confirm("Appended to " + path);
            return SaveResult::Appended;
        case 7: {
            const std::string other = askOtherName(path, dialogs);
            if (other.empty())
                break;
            if (!writeFileAtomically(other, text))
                return fail(other);
            confirm("Saved to " + other);
            return SaveResult::Saved;
        }
        default:
            break;
    }
    dialogs.message("Image context not saved...");
    return SaveResult::NotSaved;
}

}  // namespace qv
