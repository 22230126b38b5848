#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "collection/ImageScan.h"

namespace qv {

class CollectionIndex;
class RunHost;

struct UpdateCounts {
    int seen = 0;       // image files found under the roots
    int unchanged = 0;  // size and modification time as indexed: not read
    int read = 0;       // read and written
    int added = 0;      // of those, new to the index
    int removed = 0;    // indexed under the roots but gone
    int failed = 0;     // could not be read; what the index held for them stays
    bool aborted = false;
};

// What a run did, as one line: "133 images: 1 read (0 new), 132 unchanged, 0 removed,
// 0 not read", with "; interrupted, run again to complete" after an abort.
std::string updateSummary(const UpdateCounts& counts);

struct UpdateOptions {
    int jobs = 1;                              // reading threads; the calling thread writes
    int batchSize = 500;                       // images per transaction
    RunHost* host = nullptr;                   // progress: runStarted, setProgress, runFinished
    const std::atomic<bool>* abort = nullptr;  // stops after the batch being written
    // Reads one image; scanImage unless a test counts the reads.
    std::function<ScanResult(const std::string&, const FileStamp&)> scan;
    // Each file that could not be read, with the reason.
    std::function<void(const std::string& path, const std::string& reason)> failure;
};

// The image files of the roots: a file as it is, a folder's files ending in ".d64"
// (any case) with its subfolders, sorted. Roots that do not exist go to missing.
std::vector<std::string> collectionFiles(const std::vector<std::string>& roots,
                                         std::vector<std::string>* missing = nullptr);

// Brings the index up to date with the files under roots: new and changed images are
// read (on options.jobs threads) and written in transactions of options.batchSize
// images; unchanged ones are not read; indexed images under the roots that are gone
// are removed. A run that stops early (abort, a kill) leaves every committed batch,
// and the next run takes up the rest. False with error when the index could not be
// written.
bool updateIndex(CollectionIndex& index, const std::vector<std::string>& roots,
                 const UpdateOptions& options, UpdateCounts& counts, std::string& error);

}  // namespace qv
