#include "image/Detection.h"

#include <algorithm>
#include <bit>
#include <cctype>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "host/Dialogs.h"
#include "settings/ListerOptions.h"
#include "support/Text.h"

namespace qv {
namespace {

// Appends one log entry; the log is text with CR LF line ends.
bool appendLogEntry(const std::string& logPath, const std::string& imagePath, std::int64_t size) {
    std::error_code ec;
    if (std::filesystem::is_directory(logPath, ec))
        return false;
    std::ofstream out(logPath, std::ios::binary | std::ios::app);
    if (!out)
        return false;
    out << imagePath << "\r\n\t-> " << size << " Bytes\r\n\r\n";
    out.flush();
    return static_cast<bool>(out);
}

}  // namespace

std::string upperExtension(const std::string& path) {
    const std::string name = fileNamePart(path);
    const auto dot = name.rfind('.');
    if (dot == std::string::npos)
        return {};
    return upperAscii(name.substr(dot));
}

bool extensionMatches(int patternIndex, const std::string& e) {
    switch (patternIndex) {
        case 0:  // "*.D64": nothing beyond ".D64" itself
            return e == ".D64";
        case 1:  // "*.*D64": ends in D64
            return e.size() >= 3 && e.compare(e.size() - 3, 3, "D64") == 0;
        case 2:  // "*.D64*": D64 right after the dot
            return e.size() >= 4 && e.compare(1, 3, "D64") == 0;
        case 3:  // "*.*D64*": contains D64
            return e.find("D64") != std::string::npos;
        case 4:  // "*.*"
            return true;
        default:
            return false;
    }
}

ExtensionCheck checkExtension(const std::string& path, Dialogs& dialogs) {
    // Nearly every path ends in ".d64" or ".D64": that dot is the last one of the name.
    const std::size_t n = path.size();
    if (n >= 4 && path[n - 4] == '.' && (path[n - 3] | 0x20) == 'd' && path[n - 2] == '6' &&
        path[n - 1] == '4') {
        return ExtensionCheck::Accept;
    }
    const std::string ext = upperExtension(path);
    if (ext == ".D64")
        return ExtensionCheck::Accept;
    const QuestionReply reply = dialogs.ask(QuestionMode::WrongExtension, path);
    if (reply.result == answer::Stop)
        return ExtensionCheck::Stop;  // "Cancel All"
    if (reply.result != answer::Go)
        return ExtensionCheck::Skip;
    return extensionMatches(reply.choice, ext) ? ExtensionCheck::Accept : ExtensionCheck::Skip;
}

bool extendedBamValid(const Block& header, int at) {
    if (at < 0 || at + 20 > kBlockSize)
        return false;
    int freeTotal = 0;
    int bitTotal = 0;
    for (int entry = 0; entry < 5; ++entry) {
        const int e = at + 4 * entry;
        freeTotal += header[e];
        bitTotal += std::popcount(static_cast<unsigned>(header[e + 1])) +
                    std::popcount(static_cast<unsigned>(header[e + 2])) +
                    std::popcount(static_cast<unsigned>(header[e + 3]));
        if (freeTotal != bitTotal)
            return false;
    }
    return freeTotal != 0;
}

bool isWriteProtected(const std::string& path) {
    const std::string probe = folderPart(path) + "__WP.test";
    std::error_code ec;
    if (std::filesystem::exists(probe, ec)) {
        // Someone else's file of that name: never touch it, test with a fresh name.
        std::FILE* f = std::fopen((probe + ".qv").c_str(), "wbx");
        if (!f)
            return true;
        std::fclose(f);
        std::remove((probe + ".qv").c_str());
        return false;
    }
    std::FILE* f = std::fopen(probe.c_str(), "wbx");
    if (!f) {
        std::filesystem::remove(probe, ec);
        return true;
    }
    std::fclose(f);
    std::remove(probe.c_str());
    return false;
}

bool UnsupportedSizeLog::write(const std::string& imagePath, std::int64_t size,
                               const std::string& saveDir, Dialogs& dialogs) {
    if (saveDir != lastSaveDir) {
        chosenFile.clear();
        lastSaveDir = saveDir;
    }
    if (chosenFile.empty()) {
        if (!isWriteProtected(saveDir) &&
            appendLogEntry(saveDir + kUnsupportedLogName, imagePath, size)) {
            return true;
        }
    } else if (!isWriteProtected(chosenFile) && appendLogEntry(chosenFile, imagePath, size)) {
        return true;
    }
    for (;;) {
        SaveFileRequest request{"Save Log File", "log", "Log File (*.log)|*.log",
                                kUnsupportedLogName, saveDir};
        const std::optional<std::string> chosen = dialogs.host().askSaveFile(request);
        if (!chosen || chosen->empty())
            return false;
        if (isWriteProtected(*chosen))
            continue;
        if (appendLogEntry(*chosen, imagePath, size)) {
            chosenFile = *chosen;
            return true;
        }
    }
}

std::string unsupportedSizeMessage(std::int64_t size) {
    return "Unsupported Filesize... " + std::to_string(size) + " Bytes (a D64 Image has " +
           std::to_string(kSize35) + ", " + std::to_string(kSize35Errors) + ", " +
           std::to_string(kSize40) + " or " + std::to_string(kSize40Errors) + " Bytes)";
}

int detectDosType(DiskImage& image, bool ask, DetectContext& ctx) {
    const std::int64_t size = image.size();
    if (size == kSize35 || size == kSize35Errors)
        return kDosStandard;
    if (size == kSize40 || size == kSize40Errors) {
        const ListerOptions& o = ctx.options;
        if (!o.enable40Tracks)
            return kDosStandard;
        if (!o.autoDetectMode)
            return o.chosenFortyTrackDosType();
        const std::optional<Block> header = image.readBlockAt(kHeaderOffset);
        if (header) {
            const Block& h = *header;
            if (h[165] == '2' && h[166] == 'A') {
                if (extendedBamValid(h, 192))
                    return kDosSpeedDos;
                if (extendedBamValid(h, 172))
                    return kDosDolphinDos;
            }
            if (h[185] == '2' && h[186] == 'P' && extendedBamValid(h, 144))
                return kDosPrologicDos;
        }
        QuestionReply reply;
        if (ask) {
            reply = ctx.dialogs.ask(QuestionMode::ExtendedBam, image.path());
        } else {
            const QuestionMemory& m = ctx.dialogs.memory(QuestionMode::ExtendedBam);
            // Without an answer yet, the dialog's preset "Original" stands.
            reply.result = m.lastResult == 0 ? answer::Go : m.lastResult;
            reply.choice = m.lastResult == 0 ? 1 : m.choice;
        }
        if (reply.result == answer::StopAll) {
            ctx.abortRun = true;
            return kDosUnusable;
        }
        if (reply.result == answer::Go)
            return std::clamp(reply.choice, 1, 4);
        return kDosUnusable;
    }
    if (!image.path().empty()) {
        const QuestionReply reply = ctx.dialogs.ask(QuestionMode::UnsupportedSize, image.path(),
                                                    unsupportedSizeMessage(size));
        if (reply.result == answer::Stop)
            ctx.abortRun = true;
        if (reply.logFile && ctx.log)
            ctx.log->write(image.path(), size, ctx.saveDir, ctx.dialogs);
    }
    return kDosUnusable;
}

}  // namespace qv
