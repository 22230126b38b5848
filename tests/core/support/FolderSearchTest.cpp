#include "support/FolderSearch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "support/AsOrdinaryUser.h"
#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using test::TempDir;
using Kind = SearchEvent::Kind;

struct Recorder : SearchSink {
    std::vector<SearchEvent> events;
    std::atomic<bool>* abortAfterFirstMatch = nullptr;
    void searchEvent(SearchEvent e) override {
        if (abortAfterFirstMatch && e.kind == Kind::FileMatch)
            abortAfterFirstMatch->store(true);
        events.push_back(std::move(e));
    }
    // "F path" for a folder change, "M name" for a match, "END" / "ABORTED".
    std::vector<std::string> trace(const std::string& root) const {
        std::vector<std::string> t;
        for (const SearchEvent& e : events) {
            if (e.kind == Kind::FolderChange)
                t.push_back("F " + e.folder.substr(root.size()));
            else if (e.kind == Kind::FileMatch)
                t.push_back("M " + e.folder.substr(root.size()) + e.name);
            else
                t.push_back(e.aborted ? "ABORTED" : "END");
        }
        return t;
    }
};

void touch(const TempDir& tmp, const std::string& name) {
    fs::create_directories(fs::path(tmp.file(name)).parent_path());
    test::writeFile(tmp.file(name), "x");
}

TEST(MaskMatches, CaseIgnoredWildcardsAndLists) {
    struct Case {
        const char* mask;
        const char* name;
        bool match;
    } cases[] = {
        {"*.D64", "game.d64", true},      {"*.D64", "GAME.D64", true},
        {"*.D64", "game.d64.bak", false}, {"*.D64", "d64", false},
        {"*.*", "README", true},          {"*", ".hidden", true},
        {"G?ME.*", "game.prg", true},     {"G?ME.*", "gme.prg", false},
        {"*a*b*c", "xxaxxbxxc", true},    {"*a*b*c", "xxaxxcxxb", false},
        {"*.d64;*.D71", "x.d71", true},   {"*.d64; *.t64", "x.T64", true},
        {"", "anything", true},           {"disk*", "Disk 1.d64", true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(maskMatches(c.mask, c.name), c.match) << c.mask << " / " << c.name;
}

// A tree with mixed-case names, nested folders, a file that does not match and a
// folder whose only content is another folder.
struct Tree : TempDir {
    Tree() {
        touch(*this, "root/b.d64");
        touch(*this, "root/A.D64");
        touch(*this, "root/notes.txt");
        touch(*this, "root/Zeta/z.D64");
        touch(*this, "root/alpha/one.d64");
        touch(*this, "root/alpha/deep/two.D64");
        fs::create_directories(file("root/alpha/empty"));
    }
    std::string root() const { return file("root"); }
};

TEST(FolderSearch, DepthFirstOwnFilesThenSubfoldersInOrder) {
    Tree t;
    Recorder r;
    std::atomic<bool> abort{false};
    searchFolderTree(t.root(), "*.d64", r, abort);
    EXPECT_EQ(r.trace(t.root()), (std::vector<std::string>{
                                     "F /",
                                     "M /A.D64",
                                     "M /b.d64",
                                     "F /alpha/",
                                     "M /alpha/one.d64",
                                     "F /alpha/deep/",
                                     "M /alpha/deep/two.D64",
                                     "F /alpha/empty/",
                                     "F /Zeta/",
                                     "M /Zeta/z.D64",
                                     "END",
                                 }));
    // Every folder path ends with the separator and the matches carry their folder.
    EXPECT_EQ(r.events[1].folder, t.root() + "/");
}

TEST(FolderSearch, MissingStartOrFileGivesOnlyFinished) {
    TempDir tmp;
    touch(tmp, "plain.d64");
    for (const std::string& start : {tmp.file("gone"), tmp.file("plain.d64"), std::string()}) {
        Recorder r;
        std::atomic<bool> abort{false};
        searchFolderTree(start, "*", r, abort);
        ASSERT_EQ(r.events.size(), 1u) << start;
        EXPECT_EQ(r.events[0].kind, Kind::Finished);
    }
}

TEST(FolderSearch, LinkLoopIsWalkedOnceAndLinkedFilesAreFound) {
    Tree t;
    // A link back to the root inside a subfolder, a link to a folder outside the
    // tree, a dangling link and a link to a file.
    fs::create_directory_symlink(t.root(), t.file("root/alpha/loop"));
    touch(t, "outside/far.d64");
    fs::create_directory_symlink(t.file("outside"), t.file("root/outlink"));
    fs::create_symlink(t.file("nowhere"), t.file("root/dangling.d64"));
    fs::create_symlink(t.file("outside/far.d64"), t.file("root/linked.d64"));
    Recorder r;
    std::atomic<bool> abort{false};
    searchFolderTree(t.root(), "*.d64", r, abort);
    const std::vector<std::string> trace = r.trace(t.root());
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "M /A.D64"), 1);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "M /outlink/far.d64"), 1);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "M /linked.d64"), 1);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "M /dangling.d64"), 0);
    EXPECT_EQ(std::count(trace.begin(), trace.end(), "F /alpha/loop/"), 0);
    EXPECT_EQ(trace.back(), "END");
}

TEST(FolderSearch, UnreadableFolderIsSkipped) {
    Tree t;
    touch(t, "root/locked/hidden.d64");
    // The tree may be searched by anybody, except the locked folder; the search runs
    // without root's rights, which read any folder.
    fs::permissions(t.path(), fs::perms::owner_all | fs::perms::others_read |
                                  fs::perms::others_exec | fs::perms::group_read |
                                  fs::perms::group_exec);
    fs::permissions(t.file("root/locked"), fs::perms::none);
    const std::optional<int> result = test::runAsOrdinaryUser([&] {
        Recorder r;
        std::atomic<bool> abort{false};
        searchFolderTree(t.root(), "*.d64", r, abort);
        const std::vector<std::string> trace = r.trace(t.root());
        if (std::count(trace.begin(), trace.end(), "M /locked/hidden.d64") != 0)
            return 1;
        if (std::count(trace.begin(), trace.end(), "M /Zeta/z.D64") != 1)
            return 2;
        return trace.back() == "END" ? 0 : 3;
    });
    fs::permissions(t.file("root/locked"), fs::perms::owner_all);
    if (!result)
        GTEST_SKIP() << "root cannot give up its rights here";
    EXPECT_EQ(*result, 0);
}

TEST(FolderSearch, AbortStopsWithFinishedLast) {
    Tree t;
    Recorder r;
    std::atomic<bool> abort{false};
    r.abortAfterFirstMatch = &abort;
    searchFolderTree(t.root(), "*.d64", r, abort);
    EXPECT_EQ(r.trace(t.root()), (std::vector<std::string>{"F /", "M /A.D64", "ABORTED"}));
}

TEST(FolderSearch, SubfolderProbe) {
    Tree t;
    EXPECT_TRUE(hasSubfolders(t.root()));
    EXPECT_FALSE(hasSubfolders(t.file("root/Zeta")));
    EXPECT_FALSE(hasSubfolders(t.file("root/b.d64")));
    EXPECT_FALSE(hasSubfolders(t.file("gone")));
    fs::create_directory_symlink(t.file("root/alpha"), t.file("root/Zeta/link"));
    EXPECT_TRUE(hasSubfolders(t.file("root/Zeta")));
}

// The hand-over between threads: every event arrives, in order, and a walker that
// produces far more events than the reader takes at a time asks for few wake-ups.
struct CountingQueue : SearchEventQueue {
    std::atomic<int> wakes{0};
    void wake() override { ++wakes; }
};

TEST(SearchEventQueue, ManyEventsArriveInOrderWithFewWakeUps) {
    CountingQueue q;
    constexpr int kMatches = 100000;
    std::thread walker([&q] {
        q.searchEvent({Kind::FolderChange, "/x/", {}, false});
        for (int i = 0; i < kMatches; ++i)
            q.searchEvent({Kind::FileMatch, "/x/", std::to_string(i), false});
        q.searchEvent({Kind::Finished, {}, {}, false});
    });
    std::vector<SearchEvent> got;
    while (got.empty() || got.back().kind != Kind::Finished) {
        bool more = false;
        std::vector<SearchEvent> batch = q.take(5000, &more);
        got.insert(got.end(), std::make_move_iterator(batch.begin()),
                   std::make_move_iterator(batch.end()));
        if (batch.empty())
            std::this_thread::yield();
    }
    walker.join();
    ASSERT_EQ(got.size(), static_cast<std::size_t>(kMatches + 2));
    EXPECT_EQ(got.front().kind, Kind::FolderChange);
    for (int i = 0; i < kMatches; ++i)
        ASSERT_EQ(got[static_cast<std::size_t>(i) + 1].name, std::to_string(i));
    // Batches of SearchEventQueue::kBatch at the least: never one wake-up per match.
    EXPECT_LE(q.wakes.load(), kMatches / static_cast<int>(SearchEventQueue::kBatch) + 3);
    EXPECT_EQ(static_cast<std::size_t>(q.wakes.load()), q.wakeUps());
    EXPECT_TRUE(q.take(10).empty());
}

// A reader that polls: while its polls find events the walker does not wake it, a
// poll that finds nothing asks for the next wake-up (a walker stalled in a slow
// folder must still get its events across), and the end always wakes it.
TEST(SearchEventQueue, PollingReaderIsWokenOnlyAfterAnEmptyPollAndForTheEnd) {
    CountingQueue q;
    q.searchEvent({Kind::FolderChange, "/a/", {}, false});
    EXPECT_EQ(q.wakes.load(), 1);
    EXPECT_EQ(q.poll(10).size(), 1u);
    q.searchEvent({Kind::FolderChange, "/b/", {}, false});
    EXPECT_EQ(q.wakes.load(), 1);  // the reader comes back by itself
    EXPECT_EQ(q.poll(10).size(), 1u);
    EXPECT_TRUE(q.poll(10).empty());
    q.searchEvent({Kind::FolderChange, "/slow/", {}, false});
    EXPECT_EQ(q.wakes.load(), 2);  // after the empty poll, woken again
    q.searchEvent({Kind::Finished, {}, {}, false});
    EXPECT_EQ(q.wakes.load(), 3);  // the end even with a wake-up outstanding
    const std::vector<SearchEvent> rest = q.poll(10);
    ASSERT_EQ(rest.size(), 2u);
    EXPECT_EQ(rest[0].folder, "/slow/");
    EXPECT_EQ(rest[1].kind, Kind::Finished);
}

}  // namespace
}  // namespace qv
