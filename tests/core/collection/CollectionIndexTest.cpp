#include "collection/CollectionIndex.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <set>
#include <thread>

#include "collection/IndexReports.h"
#include "collection/IndexUpdate.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"
#include "support/SparseImages.h"
#include "support/TestFiles.h"

extern char** environ;

namespace qv {
namespace {

using test::Bytes;
using test::DiskBuilder;

DiskBuilder gameDisk(const std::string& name, std::uint8_t seed) {
    DiskBuilder d;
    d.format(name, "G1");
    d.addFile("ELITE", 0x82, test::filler(1000, 3));  // on every disk
    d.addFile("LOADER", 0x82, test::filler(100, seed));
    d.addFile("TINY", 0x81, test::filler(10, 1));
    return d;
}

void writeBytes(const std::string& path, const Bytes& b) {
    test::writeFile(path, std::string(b.begin(), b.end()));
}

// Another modification time than the file had, whatever the clock's resolution.
void touchLater(const std::string& path) {
    const auto t = std::filesystem::last_write_time(path);
    std::filesystem::last_write_time(path, t + std::chrono::seconds(2));
}

struct Collection {
    test::TempDir tmp;
    std::string root = tmp.file("coll");
    std::string db = tmp.file("index.db");
    std::vector<std::string> reads;

    Collection() {
        std::filesystem::create_directories(root + "/sub");
        gameDisk("GAMES", 7).save(root + "/a.d64");
        gameDisk("GAMES", 7).save(root + "/sub/copy of a.D64");  // the same disk
        gameDisk("OTHER", 8).save(root + "/c.d64");
        writeBytes(root + "/broken.d64", Bytes(kSize35, 0xFF));  // every link is 255/255
        test::writeFile(root + "/readme.txt", "not an image");
    }

    UpdateCounts update(int jobs = 1) {
        auto index = open();
        UpdateOptions options;
        options.jobs = jobs;
        options.batchSize = 2;
        options.scan = [this](const std::string& path, const FileStamp& stamp) {
            reads.push_back(std::filesystem::path(path).filename().string());
            return scanImage(path, stamp);
        };
        UpdateCounts counts;
        std::string error;
        EXPECT_TRUE(updateIndex(*index, {root}, options, counts, error)) << error;
        return counts;
    }

    std::unique_ptr<CollectionIndex> open(
        CollectionIndex::Access access = CollectionIndex::Access::Update) const {
        std::string error;
        auto index = CollectionIndex::open(db, access, error);
        EXPECT_TRUE(index) << error;
        return index;
    }
};

std::int64_t queryInt(const std::string& db, const std::string& sql) {
    sqlite3* h = nullptr;
    sqlite3_open_v2(db.c_str(), &h, SQLITE_OPEN_READWRITE, nullptr);  // may roll back
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(h, sql.c_str(), -1, &s, nullptr);
    const std::int64_t v = sqlite3_step(s) == SQLITE_ROW ? sqlite3_column_int64(s, 0) : -1;
    if (v == -1)
        ADD_FAILURE() << sql << ": " << sqlite3_errmsg(h);
    sqlite3_finalize(s);
    sqlite3_close(h);
    return v;
}

TEST(CollectionIndex, UpdatesReadOnlyWhatChanged) {
    Collection c;
    UpdateCounts first = c.update();
    EXPECT_EQ(first.seen, 4);  // readme.txt is no image
    EXPECT_EQ(first.read, 4);
    EXPECT_EQ(first.added, 4);
    EXPECT_EQ(c.reads.size(), 4u);
    EXPECT_EQ(c.open()->counts().entries, 3 + 3 + 3 + 8);  // broken: one block of 8
    // The broken image indexes with its problem rows.
    EXPECT_GT(queryInt(c.db,
                       "SELECT count(*) FROM problems p JOIN images i ON i.id = p.image_id"
                       " WHERE i.path LIKE '%broken.d64'"),
              0);

    c.reads.clear();
    const UpdateCounts again = c.update(2);
    EXPECT_TRUE(c.reads.empty());
    EXPECT_EQ(again.unchanged, 4);

    gameDisk("OTHER", 9).save(c.root + "/c.d64");
    touchLater(c.root + "/c.d64");
    std::filesystem::remove(c.root + "/sub/copy of a.D64");
    const UpdateCounts third = c.update(2);
    EXPECT_EQ(c.reads, std::vector<std::string>{"c.d64"});
    EXPECT_EQ(third.read, 1);
    EXPECT_EQ(third.added, 0);
    EXPECT_EQ(third.removed, 1);
    EXPECT_EQ(queryInt(c.db, "SELECT count(*) FROM images"), 3);
    // The changed image's rows were replaced, not added to.
    EXPECT_EQ(queryInt(c.db, "SELECT count(*) FROM entries"), 3 + 3 + 8);
    EXPECT_EQ(queryInt(c.db, "SELECT count(*) FROM image_keys"), 3);
    const auto hits = c.open()->search("loader");
    ASSERT_EQ(hits.size(), 2u);
}

TEST(CollectionIndex, SearchesNamesDisksAndClassesWithWildcards) {
    Collection c;
    c.update();
    const auto index = c.open(CollectionIndex::Access::Read);
    struct Case {
        const char* pattern;
        std::size_t hits;
        const char* field;
    };
    const Case cases[] = {
        {"ELITE", 3, "name"},  {"elite", 3, "name"},     {"*lit*", 3, "name"},
        {"LOAD?R", 3, "name"}, {"[kl]oader", 3, "name"}, {"OTHER", 1, "disk name"},
        {"g1", 3, "disk id"},  {"ELIT", 0, ""},
    };
    for (const Case& k : cases) {
        const auto hits = index->search(k.pattern);
        ASSERT_EQ(hits.size(), k.hits) << k.pattern;
        if (!hits.empty()) {
            EXPECT_EQ(hits[0].field, k.field) << k.pattern;
        }
    }
    const auto hits = index->search("elite");
    EXPECT_EQ(searchReport({hits[0]}, ReportFormat::Text),
              c.root + "/a.d64: 4    \"ELITE\"            PRG\n");
    EXPECT_EQ(searchReport({hits[0]}, ReportFormat::Csv).substr(0, 7), "\"path\",");
}

TEST(CollectionIndex, FindsIdenticalImagesAndSharedFiles) {
    Collection c;
    c.update();
    const DupeReport r = c.open(CollectionIndex::Access::Read)->dupes(1);
    ASSERT_EQ(r.images.size(), 1u);
    EXPECT_EQ(r.images[0].paths,
              (std::vector<std::string>{c.root + "/a.d64", c.root + "/sub/copy of a.D64"}));
    // ELITE on three images comes before LOADER (two of them) and TINY (three, but small).
    ASSERT_EQ(r.files.size(), 3u);
    EXPECT_EQ(r.files[0].length, 1000);
    EXPECT_EQ(r.files[0].images, 3);
    EXPECT_EQ(r.files[1].length, 100);
    EXPECT_EQ(r.files[1].images, 2);
    EXPECT_EQ(r.files[2].length, 10);
    EXPECT_EQ(c.open(CollectionIndex::Access::Read)->dupes(2).files.size(), 1u);
}

TEST(CollectionIndex, RefusesWhatIsNotItsOwnAndLeavesItAlone) {
    test::TempDir tmp;
    struct Case {
        const char* what;
        std::function<void(const std::string&)> make;
        const char* message;
    };
    const auto setPragmas = [](const std::string& file, const char* pragmas) {
        sqlite3* h = nullptr;
        sqlite3_open(file.c_str(), &h);
        sqlite3_exec(h, pragmas, nullptr, nullptr, nullptr);
        sqlite3_close(h);
    };
    const Case cases[] = {
        {"a text file", [](const std::string& f) { test::writeFile(f, std::string(4096, 'x')); },
         "not an SQLite database"},
        {"another program's database",
         [&](const std::string& f) { setPragmas(f, "CREATE TABLE t(x); INSERT INTO t VALUES(1)"); },
         "another program"},
        {"another schema version",
         [&](const std::string& f) {
             std::string e;
             CollectionIndex::open(f, CollectionIndex::Access::Update, e);
             setPragmas(f, "PRAGMA user_version = 1");  // the first version's index
         },
         "schema version 1"},
    };
    for (const Case& c : cases) {
        const std::string file = tmp.file("db");
        std::filesystem::remove(file);
        c.make(file);
        const std::string before = test::readFile(file);
        for (const auto access : {CollectionIndex::Access::Read, CollectionIndex::Access::Update}) {
            std::string error;
            EXPECT_FALSE(CollectionIndex::open(file, access, error)) << c.what;
            EXPECT_NE(error.find(c.message), std::string::npos) << c.what << ": " << error;
        }
        EXPECT_EQ(test::readFile(file), before) << c.what;
    }
}

TEST(CollectionIndex, ALockedIndexIsReportedAndWaitedFor) {
    test::TempDir tmp;
    const std::string file = tmp.file("db");
    std::string error;
    ASSERT_TRUE(CollectionIndex::open(file, CollectionIndex::Access::Update, error));
    sqlite3* other = nullptr;
    sqlite3_open(file.c_str(), &other);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
    EXPECT_FALSE(CollectionIndex::open(file, CollectionIndex::Access::Read, error, 50));
    EXPECT_NE(error.find("locked by another process"), std::string::npos) << error;
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_TRUE(CollectionIndex::open(file, CollectionIndex::Access::Read, error)) << error;
}

TEST(CollectionIndex, ARunKilledMidwayIsCompletedByTheNext) {
    test::TempDir tmp;
    const std::string root = tmp.file("many/");
    std::filesystem::create_directories(root);
    const int count = 4000;
    test::writeSparseImages(root, count, 40, [](int f, int i) {
        return test::numbered("F", f) + test::numbered(" ", i);
    });
    const std::string db = tmp.file("index.db");
    const std::string cli = QV_CLI_PATH;
    std::vector<std::string> argv = {cli, "index", "--db", db, "--jobs", "2", root};
    std::vector<char*> raw;
    for (std::string& a : argv)
        raw.push_back(a.data());
    raw.push_back(nullptr);
    // Kill at a moment that lies inside the run, whatever the machine's speed: once the
    // first batches are in the file.
    pid_t pid = 0;
    ASSERT_EQ(posix_spawn(&pid, cli.c_str(), nullptr, nullptr, raw.data(), environ), 0);
    const auto start = std::chrono::steady_clock::now();
    while (std::chrono::steady_clock::now() - start < std::chrono::seconds(20)) {
        // The batches go to the write-ahead log first, the index file at checkpoints.
        std::error_code ec, walEc;
        const auto size = std::filesystem::file_size(db, ec);
        const auto wal = std::filesystem::file_size(db + "-wal", walEc);
        if ((!ec ? size : 0) + (!walEc ? wal : 0) > 200000)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, SIGKILL);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the run ended before it was killed";

    EXPECT_EQ(
        queryInt(db, "SELECT count(*) FROM pragma_integrity_check WHERE integrity_check <> 'ok'"),
        0);
    const std::int64_t kept = queryInt(db, "SELECT count(*) FROM images");
    EXPECT_LT(kept, count);
    std::string error;
    auto index = CollectionIndex::open(db, CollectionIndex::Access::Update, error);
    ASSERT_TRUE(index) << error;
    // Every image that was kept is whole.
    EXPECT_EQ(queryInt(db,
                       "SELECT count(*) FROM images i WHERE entry_count <>"
                       " (SELECT count(*) FROM entries e WHERE e.image_id = i.id)"),
              0);
    UpdateCounts counts;
    ASSERT_TRUE(updateIndex(*index, {root}, {}, counts, error)) << error;
    EXPECT_EQ(counts.unchanged, kept);
    EXPECT_EQ(counts.read, count - kept);
    EXPECT_EQ(index->counts().images, count);
}

// Images damaged at random: each indexes, its damage as problem rows.
TEST(CollectionIndex, HostileImagesIndexWithoutFailing) {
    test::TempDir tmp;
    const std::string root = tmp.file("hostile/");
    std::filesystem::create_directories(root);
    std::mt19937 rng(6401);
    const std::size_t sizes[] = {0,       255,          kSize35 - 1, kSize35, kSize35Errors,
                                 kSize40, kSize40Errors};
    const int count = 400;
    for (int i = 0; i < count; ++i) {
        DiskBuilder d(i % 2 ? 40 : 35, i % 3 == 0);
        d.format("HOSTILE", "HX");
        if (i % 4 == 1)
            d.extendedBam(test::ExtendedBam::SpeedDos);
        for (int f = 0; f < static_cast<int>(rng() % 30); ++f)
            d.addFile(test::numbered("F", f), 0x82, Bytes(rng() % 3000, 1));
        if (rng() % 3 == 0) {
            test::InfoBlockSpec info;
            info.structure = 1;
            d.addGeosVlir("VLIR", info, {Bytes(500, 2), Bytes(10, 3)});
        }
        Bytes b = d.bytes();
        for (int m = static_cast<int>(rng() % 60); m > 0; --m) {
            const std::size_t at =
                rng() % 2 ? kHeaderOffset + rng() % (19 * 256) : rng() % b.size();
            b[at] = static_cast<std::uint8_t>(rng());
        }
        if (i % 10 == 9)
            b.resize(sizes[rng() % std::size(sizes)]);
        writeBytes(root + test::numbered("h", i) + ".d64", b);
    }
    const std::string db = tmp.file("index.db");
    std::string error;
    auto index = CollectionIndex::open(db, CollectionIndex::Access::Update, error);
    ASSERT_TRUE(index) << error;
    UpdateCounts counts;
    UpdateOptions options;
    options.jobs = 2;
    ASSERT_TRUE(updateIndex(*index, {root}, options, counts, error)) << error;
    EXPECT_EQ(counts.read, count);
    EXPECT_EQ(index->counts().images, count);
    EXPECT_GT(index->counts().problems, 0);
    index->search("*");
    index->dupes(0);
}

}  // namespace
}  // namespace qv
