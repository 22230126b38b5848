#include "listing/ListingFile.h"

#include <gtest/gtest.h>

#include "support/RtfWriter.h"

namespace qv {
namespace {

const std::string kListing =
    "0 \"DISK NAME       \" 01 2A\r\n"
    "12   \"GAME\"             PRG\r\n"
    "652 BLOCKS FREE.\r\n"
    "0 \"\xDA\xC4\xBF\xB0\xB1\" 02 2A\r\n";

TEST(ListingFile, RichTextKeepsTheBlueHeaderLines) {
    const auto doc = listingDocument(kListing, {{0, 28}, {75, 92}}, {"Terminal", 9});
    const auto back = readListingFile(writeRtf(doc));
    EXPECT_EQ(back.text, kListing);
    EXPECT_EQ(back.font.name, "Terminal");
    std::vector<FormatRange> blue;
    for (const auto& run : back.runs()) {
        if (run.format.colour) {
            EXPECT_EQ(*run.format.colour, kHeaderColour);
            blue.push_back(run);
        }
    }
    ASSERT_EQ(blue.size(), 2u);
    EXPECT_EQ(kListing.substr(blue[0].start, blue[0].end - blue[0].start),
              "0 \"DISK NAME       \" 01 2A\r\n");
    EXPECT_EQ(blue[1].start, 75u);
    EXPECT_EQ(blue[1].end, kListing.size());
}

TEST(ListingFile, TruncatedFilesStayReadable) {
    const std::string rtf = writeRtf(listingDocument(kListing, {{0, 28}}, {}));
    const auto cut = truncatedListingFile(rtf, 200);
    EXPECT_EQ(cut.substr(200), "\\par }\r\n");
    const auto doc = readListingFile(cut);
    EXPECT_EQ(kListing.rfind(doc.text.substr(0, doc.text.size() - 2), 0), 0u);

    EXPECT_EQ(truncatedListingFile(kListing, 10), kListing.substr(0, 10));
    EXPECT_EQ(truncatedListingFile("abc", 10), "abc");
}

TEST(ListingFile, PlainTextIsCodePage437WithCrLf) {
    EXPECT_EQ(readListingFile("a\nb\r\nc\rd\xC4").text, "a\r\nb\r\nc\r\nd\xC4");
    // A UTF-8 listing written by the command line tool comes back as code page 437.
    EXPECT_EQ(readListingFile("\xEF\xBB\xBF\xE2\x94\x80\xE2\x96\x91\n").text, "\xC4\xB0\r\n");
    EXPECT_TRUE(readListingFile("").text.empty());
}

}  // namespace
}  // namespace qv
