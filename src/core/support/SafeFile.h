#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

namespace qv {

// The steps of replacing a file's content.
enum class WriteStage {
    Create,  // the new file beside the target
    Write,   // its content
    Sync,    // flushed to the disk
    Rename,  // moved over the target in one step
};

const char* writeStageName(WriteStage stage);

// Called before each step; returning false makes the step fail as if the system
// had refused it. Lets tests break the replacement at any point.
using WriteHook = std::function<bool(WriteStage)>;

// How far a replacement goes to survive a power cut. Files the user keeps (settings,
// saved listings, extracted files, repaired images) are flushed to the disk before the
// rename. Output that the command line makes again in a moment, as a shell redirection
// would write it, is only renamed into place: still never half-written when the
// program fails, but without waiting for the disk.
enum class Durability {
    Flushed,
    RenamedOnly,
};

struct ReplaceResult {
    bool ok = false;
    WriteStage failedAt = WriteStage::Create;
    std::string error;      // what the system said
    std::string tempPath;   // the new file, when it was created
    bool tempLeft = false;  // it could not be removed after a failure
};

// Writes data to a new file in the target's folder, flushes it to the disk (unless
// asked for RenamedOnly) and then renames it over the target, so the target holds either its old
// content or the new one, never a part. A symbolic link is followed: the file it names is replaced.
// An existing target keeps its permission bits. On failure the target is untouched and the new file
// is removed when possible.
[[nodiscard]] ReplaceResult replaceFileContent(const std::string& target,
                                               std::span<const std::uint8_t> data,
                                               const WriteHook& hook = {},
                                               Durability durability = Durability::Flushed);

}  // namespace qv
