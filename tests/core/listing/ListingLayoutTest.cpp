#include "listing/ListingLayout.h"

#include <gtest/gtest.h>

#include "listing/TextBuffer.h"
#include "settings/ListerOptions.h"

namespace qv {
namespace {

// The four default styles, expanded.
ListerOptions defaultStyles() {
    ListerOptions o;
    o.headerImageText = std::string(78, '-') + "\r\n";
    o.headerImageWidth = 78;
    o.preImageText = "- ";
    o.preImageWidth = 2;
    o.postImageText = " -";
    o.postImageWidth = 2;
    o.footerImageText = "\r\n" + std::string(78, '-');
    o.footerImageWidth = 78;
    return o;
}

TEST(HeaderBlock, ShortPathIsCentred) {
    const std::string block = formatHeaderBlock("C:/A.D64", defaultStyles());
    const std::string dashes(78, '-');
    EXPECT_EQ(block, dashes + "\r\n" + std::string(33, '-') + "- C:/A.D64 -" +
                         std::string(33, '-') + "\r\n" + dashes);
}

TEST(HeaderBlock, LongPathsSplitAtSeparatorBlankOrWidth) {
    const ListerOptions o = defaultStyles();
    // 80 characters with separators: the first line ends with the right-most
    // separator within the first 74 characters.
    const std::string withSlash =
        "/" + std::string(40, 'a') + "/" + std::string(20, 'b') + "/" + std::string(17, 'c');
    std::string block = formatHeaderBlock(withSlash, o);
    const std::string firstPart = "/" + std::string(40, 'a') + "/" + std::string(20, 'b') + "/";
    EXPECT_NE(block.find("- " + firstPart + " -"), std::string::npos) << block;
    EXPECT_NE(block.find("- " + std::string(17, 'c') + " -"), std::string::npos);
    // Without separator or blank: cut after 74 characters.
    const std::string plain(100, 'x');
    block = formatHeaderBlock(plain, o);
    EXPECT_NE(block.find("- " + std::string(74, 'x') + " -\r\n"), std::string::npos);
    EXPECT_NE(block.find("- " + std::string(26, 'x') + " -"), std::string::npos);
    // A blank ends the part when there is no separator.
    block = formatHeaderBlock(std::string(50, 'y') + " " + std::string(40, 'z'), o);
    EXPECT_NE(block.find("- " + std::string(50, 'y') + "  -"), std::string::npos);
    // Every line of the block is the header width.
    std::size_t start = 0;
    while (start < block.size()) {
        const std::size_t end = block.find("\r\n", start);
        const std::size_t len = (end == std::string::npos ? block.size() : end) - start;
        EXPECT_EQ(len, 78u);
        if (end == std::string::npos)
            break;
        start = end + 2;
    }
}

TEST(HeaderBlock, StylesWithoutRoomStillKeepThePath) {
    ListerOptions o = defaultStyles();
    o.headerImageText = "====\r\n";
    o.headerImageWidth = 4;  // room 0
    const std::string block = formatHeaderBlock("AB", o);
    EXPECT_NE(block.find("- A -"), std::string::npos);
    EXPECT_NE(block.find("- B -"), std::string::npos);
    // A style that failed to parse (width 0): no centring at all.
    o.headerImageWidth = 0;
    o.headerImageText.clear();
    EXPECT_EQ(formatHeaderBlock("AB", o), "- AB -" + o.footerImageText);
}

TEST(CustomHeader, SkipsSeparators) {
    const struct {
        const char* path;
        int skip;
        const char* text;
    } cases[] = {
        {"/GAMES/C64/DISK.D64", 0, "c/GAMES/C64/DISK.D64"},
        {"/GAMES/C64/DISK.D64", 1, "c/C64/DISK.D64"},
        {"/GAMES/C64/DISK.D64", 2, "c/DISK.D64"},
        {"/GAMES/C64/DISK.D64", 3, "c"},
        {"DISK.D64", 0, "c"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(customHeaderText(c.path, "c", c.skip), c.text);
}

TEST(EntryLines, BlankOrStarBeforeTheType) {
    EXPECT_EQ(entryLine("12   ", "\"GAME\"            ", "PRG", true),
              "12   \"GAME\"             PRG");
    EXPECT_EQ(entryLine("12   ", "\"GAME\"            ", "PRG", true).size(), 27u);
    EXPECT_EQ(entryLine("12   ", "\"GAME\"            ", "*PRG", true),
              "12   \"GAME\"            *PRG");
    EXPECT_EQ(entryLine("12   ", "\"GA", "PRG", false), "12   \"GA");
}

TEST(EntryLines, ClosingLinesByEndReason) {
    EXPECT_EQ(closingLines(DirEnd::EndOfChain, 664).freeLine, "664 BLOCKS FREE.");
    EXPECT_EQ(closingLines(DirEnd::EndOfChain, 664).emptyLines, 1);
    for (DirEnd end : {DirEnd::MaxFiles, DirEnd::CrosslinkStop, DirEnd::CrosslinkCancelAll}) {
        EXPECT_EQ(closingLines(end, 5).emptyLines, 2);
    }
    EXPECT_TRUE(closingLines(DirEnd::ZeroRun, 5).freeLine.empty());
    EXPECT_EQ(closingLines(DirEnd::ZeroRun, 5).emptyLines, 1);
}

TEST(LineAppend, FortyColumnBreak) {
    EXPECT_EQ(lineWithBreaks(std::string(39, 'a'), true), std::string(39, 'a') + "\r\n");
    EXPECT_EQ(lineWithBreaks(std::string(40, 'a'), true), std::string(40, 'a') + "\r\n\r\n");
    EXPECT_EQ(lineWithBreaks(std::string(45, 'a'), true),
              std::string(40, 'a') + "\r\n" + std::string(5, 'a') + "\r\n");
    EXPECT_EQ(lineWithBreaks(std::string(90, 'a'), true),
              std::string(40, 'a') + "\r\n" + std::string(50, 'a') + "\r\n");
    EXPECT_EQ(lineWithBreaks(std::string(90, 'a'), false), std::string(90, 'a') + "\r\n");
}

TEST(TextBufferGrowth, StepsAndFailure) {
    TextBuffer t;
    EXPECT_EQ(t.capacity(), TextBuffer::kStep);
    EXPECT_EQ(t.append(std::string(TextBuffer::kStep + 1, 'x')), TextBuffer::AppendResult::Ok);
    EXPECT_EQ(t.capacity(), 2 * TextBuffer::kStep);
    t.clear();
    EXPECT_EQ(t.size(), 0u);
    EXPECT_EQ(t.capacity(), TextBuffer::kStep);
    // A buffer that cannot grow is released and appends nothing until clear().
    TextBuffer small(TextBuffer::kStep);
    EXPECT_EQ(small.append(std::string(TextBuffer::kStep, 'x')), TextBuffer::AppendResult::Ok);
    EXPECT_EQ(small.append("y"), TextBuffer::AppendResult::OutOfMemory);
    EXPECT_FALSE(small.valid());
    EXPECT_EQ(small.append("y"), TextBuffer::AppendResult::NoBuffer);
    small.clear();
    EXPECT_TRUE(small.valid());
    // Room made ahead leaves the steps and the limit as they were.
    TextBuffer ahead(TextBuffer::kStep);
    ahead.expect(10 * TextBuffer::kStep);
    EXPECT_EQ(ahead.capacity(), TextBuffer::kStep);
    EXPECT_EQ(ahead.append(std::string(TextBuffer::kStep, 'x')), TextBuffer::AppendResult::Ok);
    EXPECT_EQ(ahead.append("y"), TextBuffer::AppendResult::OutOfMemory);
}

TEST(TextBufferGrowth, HeaderMarksGrowBeforeTheThousandAndFirstImage) {
    HeaderMarks m(HeaderMarks::kStep * 2);
    for (std::size_t i = 0; i < 2000; ++i) {
        ASSERT_TRUE(m.reserveForImage());
        m.add(i, i + 1);
    }
    EXPECT_EQ(m.capacity(), 2000u);
    EXPECT_FALSE(m.reserveForImage());  // the 2001st image: no room, marks released
    EXPECT_FALSE(m.valid());
    m.add(1, 2);
    EXPECT_EQ(m.count(), 0u);
}

TEST(TextBufferGrowth, OffsetsForAViewWithSingleLineBreaks) {
    const std::string text = "AB\r\nCD\r\n\r\nEF";
    EXPECT_EQ(offsetsWithSingleLineBreaks(text, {0, 2, 4, 8, 10, 12}),
              (std::vector<std::size_t>{0, 2, 3, 6, 7, 9}));
}

}  // namespace
}  // namespace qv
