#include "listing/ListingImport.h"

#include <gtest/gtest.h>

#include <fstream>

#include "host/Dialogs.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

struct ImportFixture : ::testing::Test {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    std::string file(const std::string& name, const std::string& bytes) {
        std::ofstream(tmp.file(name), std::ios::binary) << bytes;
        return tmp.file(name);
    }
};

TEST_F(ImportFixture, PlainAndRichListings) {
    ImportResult r =
        importListing(file("a.txt", "0 \"DISK\" ID 2A\n664 BLOCKS FREE.\n"), 1000, dialogs);
    ASSERT_TRUE(r.document);
    EXPECT_EQ(r.document->text, "0 \"DISK\" ID 2A\r\n664 BLOCKS FREE.\r\n");
    r = importListing(
        file("b.rtf",
             "{\\rtf1\\ansi{\\colortbl;\\red0\\green0\\blue255;}\\cf1 HEAD\\cf0\\par next}"),
        1000, dialogs);
    ASSERT_TRUE(r.document);
    EXPECT_EQ(r.document->text.substr(0, 4), "HEAD");
    ASSERT_FALSE(r.document->ranges.empty());
    EXPECT_EQ(r.document->ranges[0].format.colour, std::optional<Rgb>(0x0000FF));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ImportFixture, LargerThanTheMaximumAsksFirst) {
    const std::string path = file("big.txt", std::string(50, 'x') + "\r\n");
    host.messageAnswers = {MessageAnswer::Cancel, MessageAnswer::Yes, MessageAnswer::No};
    ImportResult r = importListing(path, 10, dialogs);
    EXPECT_TRUE(r.cancelled);
    EXPECT_FALSE(r.document);
    EXPECT_NE(host.messages[0].find("Caution...the FileLength is greater than 0 Mbyte."),
              std::string::npos);
    r = importListing(path, 10, dialogs);
    EXPECT_EQ(r.document->text, std::string(10, 'x'));
    r = importListing(path, 10, dialogs);
    EXPECT_EQ(r.document->text, std::string(50, 'x') + "\r\n");
}

TEST_F(ImportFixture, WhatIsNoListingChangesNothing) {
    for (const std::string& path :
         {file("prog.prg", std::string("\x01\x08\x0b\x08\x0a\x00\x99", 7)), tmp.file("missing.txt"),
          tmp.path()}) {
        host.messages.clear();
        const ImportResult r = importListing(path, 1000, dialogs);
        EXPECT_TRUE(r.failed) << path;
        EXPECT_FALSE(r.document);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0], "MainForm: Error loading Text to RichEdit");
    }
}

}  // namespace
}  // namespace qv
