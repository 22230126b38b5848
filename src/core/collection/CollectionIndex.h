#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "collection/ImageScan.h"

struct sqlite3;

namespace qv {

// The version of the index schema this program reads and writes (PRAGMA user_version).
// The schema is described in CollectionIndex.cpp; any change to it raises the number.
inline constexpr int kIndexSchemaVersion = 2;
// PRAGMA application_id of an index: "QVIX".
inline constexpr std::int32_t kIndexApplicationId = 0x51564958;

struct KnownImage {
    std::int64_t id = 0;
    FileStamp stamp;
};

// One search result: a file whose name or GEOS class matched, or a disk whose name or
// id did (entry -1 then, and line is the disk's header line).
struct SearchHit {
    std::string path;
    std::string field;  // "name", "class", "disk name", "disk id"
    int entry = -1;
    std::string line;
    std::string name;
    std::string type;
    int blocks = 0;
    std::string geosClass;
};

// Images that are the same disk.
struct ImageGroup {
    std::string hash;  // hex
    int entries = 0;   // files on each of the disks
    std::vector<std::string> paths;
};

struct FileCopy {
    std::string path;
    int entry = 0;
    std::string line;
};

// A file content that lies on several images.
struct FileGroup {
    std::string hash;
    std::int64_t length = 0;
    int blocks = 0;
    int images = 0;  // distinct images holding it
    std::vector<FileCopy> copies;
};

struct DupeReport {
    std::vector<ImageGroup> images;  // most copies first
    std::vector<FileGroup> files;    // largest first
};

struct IndexCounts {
    std::int64_t images = 0, entries = 0, problems = 0;
};

// The collection index: an SQLite database of images, their entries and their
// problems. A file that is not an index, one of another schema version, a read-only
// or a locked one is refused with a message and left as it is.
class CollectionIndex {
  public:
    enum class Access { Read, Update };

    // Opens an index; Update creates it when the file does not exist (or is empty).
    // busyMs: how long to wait for another process's lock before giving up.
    static std::unique_ptr<CollectionIndex> open(const std::string& file, Access access,
                                                 std::string& error, int busyMs = 2000);
    ~CollectionIndex();
    CollectionIndex(const CollectionIndex&) = delete;
    CollectionIndex& operator=(const CollectionIndex&) = delete;

    const std::string& file() const { return file_; }

    // One write transaction; nothing is visible to others (or kept after a crash)
    // before commit.
    [[nodiscard]] bool begin(std::string& error);
    [[nodiscard]] bool commit(std::string& error);
    void rollback();

    // Every image of the index by path.
    std::unordered_map<std::string, KnownImage> knownImages() const;
    // Writes an image with its entries and problems, replacing what the index held for
    // its path. Inside a transaction.
    [[nodiscard]] bool store(const ScannedImage& image, std::string& error);
    [[nodiscard]] bool remove(std::int64_t imageId, std::string& error);

    IndexCounts counts() const;
    // File names (both character sets), GEOS classes, disk names and ids that match a
    // shell-style pattern without regard to case; in path and entry order.
    std::vector<SearchHit> search(const std::string& pattern) const;
    // Identical images, and file contents on more than one image whose chains hold at
    // least minBlocks blocks (empty files never count).
    DupeReport dupes(int minBlocks) const;

  private:
    CollectionIndex() = default;
    bool prepareWrites(std::string& error);

    sqlite3* db_ = nullptr;
    std::string file_;
    bool writer_ = false;  // opened for updates: write-ahead log while open
    struct Writes;
    std::unique_ptr<Writes> writes_;
};

}  // namespace qv
