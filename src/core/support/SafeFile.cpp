#include "support/SafeFile.h"

#include "support/Files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace qv {
namespace {

std::string systemError(const char* what) {
    return std::string(what) + ": " + std::strerror(errno);
}

bool writeAll(int fd, std::span<const std::uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        done += static_cast<std::size_t>(n);
    }
    return true;
}

// Flushes a file to the disk.
bool syncFile(int fd) {
    while (::fsync(fd) != 0) {
        if (errno != EINTR)
            return false;
    }
    return true;
}

// Makes a rename in the folder durable; failing to do so changes no file.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd >= 0) {
        syncFile(fd);
        ::close(fd);
    }
}

mode_t newFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return static_cast<mode_t>(0666 & ~mask);
}

}  // namespace

const char* writeStageName(WriteStage stage) {
    switch (stage) {
        case WriteStage::Create:
            return "create";
        case WriteStage::Write:
            return "write";
        case WriteStage::Sync:
            return "sync";
        case WriteStage::Rename:
            return "rename";
    }
    return "";
}

ReplaceResult replaceFileContent(const std::string& targetPath, std::span<const std::uint8_t> data,
                                 const WriteHook& hook, Durability durability) {
    ReplaceResult r;
    const auto allowed = [&](WriteStage stage) {
        r.failedAt = stage;
        if (hook && !hook(stage)) {
            errno = EIO;
            return false;
        }
        return true;
    };

    std::string target = targetPath;
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        const auto resolved = std::filesystem::canonical(target, ec);
        if (!ec)
            target = resolved.string();
    }
    mode_t mode = newFileMode();
    struct stat st {};
    if (::stat(target.c_str(), &st) == 0)
        mode = st.st_mode & 07777;

    const std::string folder = folderPart(target);
    std::string name = target.substr(folder.size());
    std::vector<char> pattern;
    const std::string templ = folder + "." + name + ".qv-XXXXXX";
    pattern.assign(templ.begin(), templ.end());
    pattern.push_back('\0');

    if (!allowed(WriteStage::Create)) {
        r.error = systemError("cannot create a file beside the target");
        return r;
    }
    const int fd = ::mkstemp(pattern.data());
    if (fd < 0) {
        r.error = systemError("cannot create a file beside the target");
        return r;
    }
    r.tempPath = pattern.data();

    const auto giveUp = [&](const char* what) {
        r.error = systemError(what);
        if (::unlink(r.tempPath.c_str()) != 0 && errno != ENOENT)
            r.tempLeft = true;
        return r;
    };

    if (!allowed(WriteStage::Write) || ::fchmod(fd, mode) != 0 || !writeAll(fd, data)) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return giveUp("cannot write the new file");
    }
    const bool flush = durability == Durability::Flushed;
    if (flush && (!allowed(WriteStage::Sync) || !syncFile(fd))) {
        const int saved = errno;
        ::close(fd);
        errno = saved;
        return giveUp("cannot flush the new file to the disk");
    }
    if (::close(fd) != 0) {
        r.failedAt = WriteStage::Sync;
        return giveUp("cannot flush the new file to the disk");
    }
    if (!allowed(WriteStage::Rename) || std::rename(r.tempPath.c_str(), target.c_str()) != 0) {
        return giveUp("cannot move the new file over the old one");
    }
    if (flush)
        syncFolder(folder);
    r.ok = true;
    r.tempPath.clear();
    return r;
}

}  // namespace qv
