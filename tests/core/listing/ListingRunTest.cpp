#include "listing/ListingRun.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "host/Dialogs.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/RecordingScreen.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::Bytes;
using test::DiskBuilder;

// Records what a run shows and presses "Abort" when told to.
struct RecordingRunHost : RunHost {
    std::vector<std::string> statuses;  // "panel:text"
    std::vector<std::string> shownImages;
    Listing* listing = nullptr;
    int abortAtImage = -1;
    int finished = 0;

    void setStatus(StatusPanel panel, const std::string& text) override {
        statuses.push_back(std::to_string(static_cast<int>(panel)) + ":" + text);
    }
    void showCurrentImage(const std::string& path) override { shownImages.push_back(path); }
    void processEvents() override {
        if (listing && static_cast<int>(shownImages.size()) == abortAtImage)
            listing->pressAbort();
    }
    void runFinished() override { ++finished; }
};

struct GeosCall {
    std::string name, type;
    int firstOffset, dosType;
    std::int64_t position;
};

struct RecordingGeosSink : GeosEntrySink {
    std::vector<GeosCall> calls;
    void addGeosEntry(DiskImage& image, const std::string& name, const std::string& type,
                      int firstOffset, int dosType) override {
        calls.push_back({name, type, firstOffset, dosType, image.tell()});
    }
};

struct RunFixture : ::testing::Test {
    test::TempDir tmp;
    test::ScriptedDialogHost dialogsHost;
    Dialogs dialogs{dialogsHost};
    ListerOptions options;
    RecordingRunHost host;
    test::RecordingScreen screen;
    Listing listing{options, dialogs};

    RunFixture() {
        options.generateHeader = false;
        listing.setHost(&host);
        listing.setScreen(&screen);
        host.listing = &listing;
    }
    std::string image(const std::string& name, const DiskBuilder& d) {
        d.save(tmp.file(name));
        return tmp.file(name);
    }
    static DiskBuilder simpleDisk(const std::string& name) {
        DiskBuilder d;
        d.format(name, "ID");
        d.addFile("GAME", 0x82, Bytes(3000, 1));
        return d;
    }
};

TEST_F(RunFixture, OneImageReadsLikeAC64Directory) {
    DiskBuilder d = simpleDisk("MY DISK");
    d.addFile("OPEN", 0x01, Bytes(10, 2));
    listing.fileList = {image("a.d64", d)};
    EXPECT_EQ(listing.listFiles(RunKind::Load), 1);
    // Upper/Graphics: letters stay capitals.
    EXPECT_EQ(listing.text().text(),
              "0 \"MY DISK         \" ID 2A\r\n"
              "12   \"GAME\"             PRG\r\n"
              "1    \"OPEN\"            *SEQ\r\n"
              "651 BLOCKS FREE.\r\n"
              "\r\n");
    ASSERT_EQ(listing.marks().count(), 1u);
    EXPECT_EQ(listing.marks().starts()[0], 0u);
    EXPECT_EQ(listing.marks().ends()[0], 28u);
    EXPECT_EQ(listing.imagesListed(), 1);
    EXPECT_EQ(listing.currentImage(), tmp.file("a.d64"));
    EXPECT_EQ(listing.finishStatusPanel2(), "only Basic Files");
    EXPECT_EQ(listing.statusPanel3(), "1 Image(s) listed");
    // The C64 screen gets the raw lines: header in reverse from column 2, then entries.
    EXPECT_EQ(screen.lines.size(), 6u);
    EXPECT_EQ(screen.lines[1], "12   \"GAME\"             PRG");
    EXPECT_EQ(screen.events[0], "markHeader");
    EXPECT_EQ(host.finished, 1);
}

TEST_F(RunFixture, AbortDuringTheThirdImageListsItToTheEnd) {
    for (int i = 0; i < 10; ++i) {
        listing.fileList.push_back(
            image("d" + std::to_string(i) + ".d64", simpleDisk("D" + std::to_string(i))));
    }
    host.abortAtImage = 3;
    EXPECT_EQ(listing.listFiles(RunKind::Load), 3);
    EXPECT_EQ(listing.imagesListed(), 3);
    EXPECT_NE(listing.text().text().find("\"D2 "), std::string::npos);
    EXPECT_EQ(listing.text().text().find("\"D3 "), std::string::npos);
    EXPECT_FALSE(listing.abortFlag());
    // Five more presses while the flag stays set give the window back.
    listing.pressAbort();
    for (int i = 0; i < 4; ++i)
        EXPECT_FALSE(listing.pressAbort());
    EXPECT_TRUE(listing.pressAbort());
}

TEST_F(RunFixture, EstimatesEveryTwentyFiveImages) {
    for (int i = 0; i < 60; ++i) {
        listing.fileList.push_back(image(test::numbered("d", i) + ".d64", simpleDisk("D")));
    }
    double now = 0;
    listing.setClock([&] { return now += 1.0; });
    listing.listFiles(RunKind::Load);
    std::vector<std::string> estimates;
    for (const auto& s : host.statuses) {
        if (s.starts_with("3:"))
            estimates.push_back(s);
    }
    ASSERT_EQ(estimates.size(), 3u);  // after images 1, 26 and 51
    EXPECT_EQ(host.statuses.front(), "2:Listing...Time left:");
}

TEST_F(RunFixture, SkippedFilesAndCancelAll) {
    listing.fileList = {image("a.d64", simpleDisk("A")), tmp.file("missing.d64"),
                        image("odd.prg", simpleDisk("ODD")), image("b.d64", simpleDisk("B"))};
    // The extension question: "Cancel All" ends the run at that file.
    dialogsHost.questionAnswers = {{2, 0, false, false}};
    EXPECT_EQ(listing.listFiles(RunKind::Load), 1);
    EXPECT_EQ(dialogsHost.questions.size(), 1u);
    // With "*.*" the odd extension is listed.
    listing.clear();
    dialogsHost.questionAnswers = {{1, 4, false, false}};
    EXPECT_EQ(listing.listFiles(RunKind::Load), 3);
}

TEST_F(RunFixture, GeneratedHeadersAtDirectoryChange) {
    options.generateHeader = true;
    options.addPath = 2;
    options.headerImageText = "==\r\n";
    options.headerImageWidth = 0;  // no centring: the block is easy to read
    options.preImageText = "[";
    options.postImageText = "]";
    options.footerImageText = "";
    std::filesystem::create_directories(tmp.file("one"));
    std::filesystem::create_directories(tmp.file("two"));
    for (const char* name : {"one/a.d64", "one/b.d64", "one/c.d64", "two/d.d64"}) {
        listing.fileList.push_back(image(name, simpleDisk("X")));
    }
    listing.listFiles(RunKind::Load);
    const std::string& t = listing.text().text();
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (auto p = t.find(what); p != std::string::npos; p = t.find(what, p + 1))
            ++n;
        return n;
    };
    EXPECT_EQ(count("[" + tmp.file("one/") + "]\r\n\r\n\r\n"), 1u);
    EXPECT_EQ(count("[" + tmp.file("two/") + "]\r\n\r\n\r\n"), 1u);
    EXPECT_EQ(count("[D64 Image: "), 4u);
    EXPECT_NE(t.find("==\r\n[D64 Image: a.d64]\r\n0 \"X"), std::string::npos);
    // "List" repeats only the image block.
    listing.listAgain();
    EXPECT_EQ(count("[D64 Image: d.d64]"), 2u);
    EXPECT_EQ(count("[" + tmp.file("two/") + "]"), 1u);
}

TEST_F(RunFixture, ListAgainForgetsOnlyAnUnusableImage) {
    const std::string path = image("a.d64", simpleDisk("A"));
    listing.setCurrentImage(path);
    // A file that cannot be opened stays the current image: it may come back.
    std::filesystem::rename(path, path + ".away");
    EXPECT_FALSE(listing.listAgain());
    EXPECT_EQ(listing.currentImage(), path);
    // A file of a size no variant has is forgotten.
    std::filesystem::resize_file(path + ".away", 1000);
    std::filesystem::rename(path + ".away", path);
    dialogsHost.questionAnswers = {{1, 0, false, false}};
    EXPECT_FALSE(listing.listAgain());
    EXPECT_EQ(listing.currentImage(), "");
    EXPECT_EQ(listing.imagesListed(), 0);
}

TEST_F(RunFixture, GeosEntriesGoToTheCatalogueWithTheImagePositioned) {
    RecordingGeosSink sink;
    listing.setGeosSink(&sink);
    DiskBuilder d;
    d.format("GEOS DISK", "GD").geosSignature();
    test::InfoBlockSpec info;
    d.addGeosSequential("Photo [1]", info, Bytes(10, 1));
    d.addFile("BASIC", 0x82, Bytes(10, 1));
    listing.fileList = {image("g.d64", d)};
    listing.listFiles(RunKind::Load);
    ASSERT_EQ(sink.calls.size(), 1u);
    EXPECT_EQ(sink.calls[0].type, "DOC");
    EXPECT_EQ(sink.calls[0].position, kFirstDirOffset + 21);
    EXPECT_EQ(sink.calls[0].name.substr(0, 10),
              "\"Photo \xC4"
              "1\xDC");  // Windows-1252 umlauts
    EXPECT_EQ(listing.finishStatusPanel2(), "GEOS Files included");
    // The listing shows GEOS text in code page 850 letters, the screen in Upper/Lower.
    EXPECT_NE(listing.text().text().find("\"Photo \x8E"
                                         "1\x9A"),
              std::string::npos);
    options.generateGeosFileDetails = false;
    listing.listFiles(RunKind::Load);
    EXPECT_EQ(sink.calls.size(), 1u);
}

TEST_F(RunFixture, StatusTellsWhetherTheListingSinceClearHoldsGeosFiles) {
    DiskBuilder g;
    g.format("GEOS DISK", "GD").geosSignature();
    g.addGeosSequential("Photo [1]", test::InfoBlockSpec{}, Bytes(10, 1));
    const std::string geos = image("g.d64", g);
    const std::string plain = image("p.d64", simpleDisk("PLAIN"));
    EXPECT_EQ(listing.finishStatusPanel2(), "No Files");
    listing.fileList = {geos};
    listing.listFiles(RunKind::Load);
    EXPECT_EQ(listing.finishStatusPanel2(), "GEOS Files included");
    // Plain disks appended by a drop and by "List" keep the GEOS files in the listing.
    listing.fileList = {plain};
    listing.listFiles(RunKind::Drop);
    EXPECT_EQ(listing.finishStatusPanel2(), "GEOS Files included");
    listing.setCurrentImage(plain);
    ASSERT_TRUE(listing.listAgain());
    EXPECT_EQ(listing.finishStatusPanel2(), "GEOS Files included");
    EXPECT_EQ(listing.statusPanel3(), "3 Image(s) listed");
    // "Clear" starts afresh.
    listing.clear();
    EXPECT_EQ(listing.finishStatusPanel2(), "No Files");
    listing.fileList = {plain};
    listing.listFiles(RunKind::Load);
    EXPECT_EQ(listing.finishStatusPanel2(), "only Basic Files");
}

TEST_F(RunFixture, ScreenLimitAndDeleteEatingTheBlockCount) {
    options.imagesInC64Screen = 0;
    DiskBuilder d;
    d.format("DEL", "ID");
    test::DirEntrySpec e;
    e.name = test::rawName({0x14, 0x14, 'A'});
    e.blocks = 7;
    e.first = {1, 0};
    d.addEntry(e);
    listing.fileList = {image("a.d64", d)};
    listing.listFiles(RunKind::Load);
    // Two DELs: the opening quote goes, then the last blank of the block count.
    EXPECT_NE(listing.text().text().find("\r\n7   A"), std::string::npos) << listing.text().text();
    // Only the header, the free-blocks line and two empty lines reach the screen.
    EXPECT_EQ(screen.lines.size(), 4u);
}

// Entries without control codes go straight from their bytes into the text while the
// C64 screen takes no lines; every other entry, and every entry of an image whose lines
// the screen takes, goes the general way. Both ways must give the same bytes.
TEST_F(RunFixture, CommonEntriesReadAlikeWithAndWithoutScreenLines) {
    const std::vector<Bytes> names = {
        {'G', 'A', 'M', 'E'},
        {'A', 'B', 'C', 'D', 'E', 'F', 'G', 'H', 'I', 'J', 'K', 'L', 'M', 'N', 'O', 'P'},
        {'A', '"', 0xC2, 'C'},
        {0xA0, 'A', 'B'},
        {0xC1, 0xDB, 0xFF, 0xA0, 0xC1, 0xFF, 0xE0},
        {0x40, 0x5C, 0x5E, 0x5F, 0x60, 0x7F, 0x20, 0x3F},
        {0x0D, 'R', 'E', 'T'},
        {0x12, 'R', 'V', 'S', 0x92},
        {'D', 'E', 'L', 0x14, 0x14},
        {0x9D, 0x1D, 'C'},
        {'Z', 0, 0, 0, 0},
        {'A', 0xA0, 0x80, 'B'},
        {0x8D, 'S'},
    };
    const std::vector<std::uint8_t> types = {0x82, 0x81, 0x80, 0x83, 0x84, 0x85,
                                             0x87, 0x02, 0x41, 0xC2, 0x00, 0x44};
    const std::vector<int> counts = {0, 7, 99, 100, 999, 1000, 65535};
    DiskBuilder d;
    d.format("SAME", "ID");
    for (int i = 0; i < 144; ++i) {
        test::DirEntrySpec e;
        e.name = test::rawName(names[static_cast<std::size_t>(i) % names.size()]);
        e.typeByte = types[static_cast<std::size_t>(i) % types.size()];
        e.blocks = counts[static_cast<std::size_t>(i) % counts.size()];
        e.geosType = static_cast<std::uint8_t>(i % 11 == 0 ? i % 16 : 0);
        d.addEntry(e);
    }
    const std::string path = image("same.d64", d);

    struct Options {
        CharMode mode;
        bool everything, interpret, deleted, zeroStop;
    };
    const Options table[] = {
        {CharMode::UpperGraphics, true, true, false, false},
        {CharMode::UpperLower, true, true, false, false},
        {CharMode::UpperGraphics, false, true, true, false},
        {CharMode::UpperLower, false, false, true, false},
        {CharMode::UpperGraphics, true, false, true, true},
    };
    for (const Options& o : table) {
        options.convertEverything = o.everything;
        options.interpretSpecialchars = o.interpret;
        options.showDeletedFiles = o.deleted;
        options.abortImageAt0x00 = o.zeroStop;
        const auto list = [&](ScreenSink* screenSink) {
            Listing run(options, dialogs);
            run.setScreen(screenSink);
            run.mode = o.mode;
            run.fileList = {path};
            run.listFiles(RunKind::Load);
            return run.text().text();
        };
        test::RecordingScreen lines;
        const std::string general = list(&lines);
        ASSERT_GT(lines.lines.size(), 10u);  // the general way was taken
        EXPECT_EQ(list(nullptr), general) << general;
        options.imagesInC64Screen = 0;
        test::RecordingScreen noLines;
        EXPECT_EQ(list(&noLines), general);
        options.imagesInC64Screen = ListerOptions{}.imagesInC64Screen;
    }
}

// A listing window that records what it was given.
struct RecordingView : ListingView {
    std::string text;
    std::vector<std::pair<std::size_t, std::size_t>> coloured;
    bool refuse = false;
    void setUpdates(bool) override {}
    void clearText() override { text.clear(); }
    bool setText(const std::string& bytes) override {
        if (refuse)
            return false;
        text = bytes;
        return true;
    }
    std::size_t textLength() const override {
        std::size_t n = 0;
        for (std::size_t i = 0; i < text.size(); ++i) {
            if (!(text[i] == '\n' && i > 0 && text[i - 1] == '\r'))
                ++n;
        }
        return n;
    }
    void colourHeader(std::size_t s, std::size_t e) override { coloured.push_back({s, e}); }
    void applyListingFont() override {}
    void setAbortEnabled(bool) override {}
};

TEST_F(RunFixture, CopyColoursExactlyTheHeaderLines) {
    listing.fileList = {image("a.d64", simpleDisk("A")), image("b.d64", simpleDisk("B"))};
    listing.listFiles(RunKind::Load);
    RecordingView view;
    EXPECT_TRUE(listing.copyToWindow(view, 20000000));
    EXPECT_EQ(view.text, listing.text().text());
    ASSERT_EQ(view.coloured.size(), 2u);
    // View positions count a line break once: the second header starts after 4 lines.
    const std::size_t second = listing.marks().starts()[1];
    EXPECT_EQ(view.coloured[1].first, second - 4);
    EXPECT_EQ(view.coloured[0], (std::pair<std::size_t, std::size_t>{0, 27}));
}

TEST_F(RunFixture, CopyOfATextLongerThanTheMaximum) {
    listing.fileList = {image("a.d64", simpleDisk("A"))};
    listing.listFiles(RunKind::Load);
    RecordingView view;
    view.text = "before";
    dialogsHost.messageAnswers = {MessageAnswer::Cancel, MessageAnswer::Yes, MessageAnswer::No};
    EXPECT_FALSE(listing.copyToWindow(view, 40));
    EXPECT_EQ(view.text, "before");
    EXPECT_NE(dialogsHost.messages.back().find("Caution...the TextLength is greater than 0 Mbyte."),
              std::string::npos);
    EXPECT_TRUE(listing.copyToWindow(view, 40));
    EXPECT_EQ(view.text, listing.text().text().substr(0, 40));
    EXPECT_TRUE(listing.copyToWindow(view, 40));
    EXPECT_EQ(view.text, listing.text().text());
    view.refuse = true;
    listing.copyToWindow(view, 20000000);
    EXPECT_EQ(dialogsHost.messages.back(), "MainForm: Error assigning Text to RichEdit");
}

TEST_F(RunFixture, TextMemoryFailureStopsTheRun) {
    Listing small(options, dialogs, TextBuffer::kStep);
    small.setHost(&host);
    DiskBuilder d;
    d.format("FULL", "ID");
    for (int i = 0; i < 144; ++i)
        d.addFile(test::numbered("F", i), 0x82, {1});
    for (int i = 0; i < 80; ++i)
        small.fileList.push_back(image(test::numbered("f", i) + ".d64", d));
    const int listed = small.listFiles(RunKind::Load);
    EXPECT_LT(listed, 80);
    EXPECT_FALSE(small.text().valid());
    EXPECT_EQ(dialogsHost.messages.back(),
              "MainForm: Failed to reallocate memory for Text...aborted");
}

}  // namespace
}  // namespace qv
