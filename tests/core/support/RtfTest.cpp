#include <gtest/gtest.h>

#include <string>

#include "support/RichText.h"
#include "support/RtfReader.h"
#include "support/RtfWriter.h"
#include "support/Wmf.h"

namespace qv {
namespace {

std::string allBytes() {
    std::string s;
    for (int b = 0; b < 256; ++b) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

FormatRange colourRange(std::size_t start, std::size_t end, Rgb colour) {
    return {start, end, CharFormat{colour}};
}

std::vector<FormatRange> colouredRuns(const RichDocument& doc) {
    std::vector<FormatRange> result;
    for (const auto& run : doc.runs()) {
        if (run.format.colour) {
            result.push_back(run);
        }
    }
    return result;
}

TEST(RichDocument, LaterRangesWinAndEqualNeighboursMerge) {
    RichDocument doc;
    doc.text = "0123456789";
    doc.setColour(2, 6, 0x0000FF);
    doc.setColour(4, 8, 0xFF0000);
    doc.setColour(8, 9, 0xFF0000);
    doc.setColour(9, 50, 0x00FF00);  // cut to the text
    doc.setColour(5, 5, 0x123456);   // empty: ignored
    const std::vector<FormatRange> expected = {
        {0, 2, {}},
        colourRange(2, 4, 0x0000FF),
        colourRange(4, 9, 0xFF0000),
        colourRange(9, 10, 0x00FF00),
    };
    EXPECT_EQ(doc.runs(), expected);
    EXPECT_TRUE(RichDocument{}.runs().empty());
}

TEST(Rtf, EveryByteValueRoundTrips) {
    RichDocument doc;
    doc.text = allBytes() + "\r\nsecond line\r\n" + allBytes();
    doc.font = {"DejaVu Sans Mono", 11.5};
    const std::string rtf = writeRtf(doc);
    for (char c : rtf) {
        ASSERT_LT(static_cast<unsigned char>(c), 0x80u) << "RTF is 7-bit text";
    }
    const auto back = readRtf(rtf);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, doc.text);
    EXPECT_EQ(back->font, doc.font);
    EXPECT_TRUE(back->ranges.empty());
}

TEST(Rtf, ColouredRangesRoundTrip) {
    RichDocument doc;
    doc.text = "0 \"DISK\" 01 2A\r\n12   \"GAME\" PRG\r\n\xC9\xCD\xBB{\\}\r\n0 \"TWO\"\r\n";
    doc.setColour(0, 16, 0x0000FF);   // a header line with its CR LF
    doc.setColour(22, 28, 0xC08040);  // arbitrary colours, as syntax colouring uses
    doc.setColour(33, 35, 0x000000);  // explicit black is a colour of its own
    doc.setColour(41, 50, 0x0000FF);
    const auto back = readRtf(writeRtf(doc));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, doc.text);
    EXPECT_EQ(colouredRuns(*back), colouredRuns(doc));
}

TEST(Rtf, ALineBreakTakesTheColourOfItsCr) {
    // RTF has one paragraph mark where the text has CR LF: a colour change between the
    // two moves to the next line.
    RichDocument doc;
    doc.text = "ab\r\ncd";
    doc.setColour(3, 6, 0x0000FF);
    const auto back = readRtf(writeRtf(doc));
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, doc.text);
    EXPECT_EQ(colouredRuns(*back), (std::vector<FormatRange>{colourRange(4, 6, 0x0000FF)}));
}

TEST(Rtf, WrittenShapeForWordProcessorsAndLaterSteps) {
    RichDocument doc;
    doc.text = "A\xC4\r\n";
    doc.setColour(0, 1, 0x0000FF);
    const std::string rtf = writeRtf(doc);
    EXPECT_EQ(rtf.rfind("{\\rtf1\\ansi\\ansicpg1252", 0), 0u);
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}}"), std::string::npos);
    EXPECT_NE(rtf.find("{\\colortbl ;\\red0\\green0\\blue255;}"), std::string::npos);
    EXPECT_NE(rtf.find("\\pard\\plain\\f0\\fs20 "), std::string::npos);
    // The box line goes as Unicode with a stand-in for older readers.
    EXPECT_NE(rtf.find("\\cf1 A\\cf0 \\u9472\\'2d\\par"), std::string::npos);
}

TEST(Rtf, ParagraphAndCharacterFormats) {
    RichDocument doc;
    doc.codePage = CodePage::Windows1252;
    doc.text = "ab\r\nc\r\nd";
    ParagraphFormat indented;
    indented.leftIndent = 200;
    indented.firstLineIndent = -100;
    indented.tabs = {{900, TabAlignment::Decimal},
                     {300, TabAlignment::Right},
                     {900, TabAlignment::Left},
                     {600, TabAlignment::Centre}};
    ParagraphFormat centred;
    centred.alignment = ParagraphAlignment::Centre;
    centred.spacing = LineSpacing::Double;
    doc.paragraphs = {indented, indented, centred};
    CharFormat raised;
    raised.offset = 3;
    raised.face = "Times";
    raised.background = 0x00FF00;
    doc.setFormat(1, 2, raised);
    CharFormat lowered;
    lowered.offset = -3;
    lowered.italic = true;
    doc.setFormat(4, 5, lowered);
    const std::string rtf = writeRtf(doc);
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fmodern\\fcharset0 Courier New;}{\\f1\\fnil\\fcharset0 "
                       "Times;}}"),
              std::string::npos);
    // Tab stops in ascending order, each position once; an unchanged paragraph format
    // is not repeated; offsets in half points.
    EXPECT_NE(rtf.find("\\fs20 \\li200\\fi-100\\tqr\\tx300\\tqc\\tx600\\tqdec\\tx900 "
                       "a\\f1\\up6\\highlight1 b\\f0\\up0\\highlight0 \\par\r\n"
                       "\\i\\dn6 c\\i0\\up0 \\par\r\n"
                       "\\pard\\qc\\sl480\\slmult1 d}"),
              std::string::npos)
        << rtf;
}

TEST(Rtf, PicturesAsMetafilesAtTheirPositions) {
    RichDocument doc;
    doc.text = "ab";
    doc.pictures.push_back({1, Image32(24, 16, 0xFF0000)});
    doc.pictures.push_back({2, Image32(1, 1)});
    const std::string rtf = writeRtf(doc);
    // Sizes for 96 pixels per inch, less one: 24 pixels are 635 x 0.01 mm, 360 twips.
    EXPECT_NE(rtf.find("a{\\pict\\wmetafile8\\picw634\\pich422\\picwgoal359\\pichgoal239 \r\n"
                       "0100090000"),
              std::string::npos);
    EXPECT_NE(rtf.find("b{\\pict\\wmetafile8\\picw25\\pich25\\picwgoal14\\pichgoal14 "),
              std::string::npos);
    EXPECT_EQ(rtf.substr(rtf.size() - 16), "030000000000}}\r\n");  // the end record
}

TEST(Wmf, RecordsDescribeThePicture) {
    const Image32 image(3, 2, 0x112233);
    const std::vector<std::uint8_t> wmf = encodeWmf(image);
    auto u16 = [&](std::size_t at) { return wmf[at] | (wmf[at + 1] << 8); };
    auto u32 = [&](std::size_t at) { return u16(at) | (u16(at + 2) << 16); };
    ASSERT_GE(wmf.size(), 18u);
    EXPECT_EQ(u16(0), 1);
    EXPECT_EQ(u16(2), 9);
    EXPECT_EQ(u16(4), 0x0300);
    EXPECT_EQ(static_cast<std::size_t>(u32(6)) * 2, wmf.size());
    // Map mode, window origin, window extent (height, width), the DIB, the end.
    EXPECT_EQ(u16(18 + 4), 0x0103);
    EXPECT_EQ(u16(26 + 4), 0x020B);
    EXPECT_EQ(u16(36 + 4), 0x020C);
    EXPECT_EQ(u16(36 + 6), 2);
    EXPECT_EQ(u16(36 + 8), 3);
    EXPECT_EQ(u16(46 + 4), 0x0F43);
    EXPECT_EQ(u32(46), u32(12));  // the largest record
    EXPECT_EQ(u32(46 + 6), 0x00CC0020u);
    EXPECT_EQ(u32(46 + 28), 40);  // the DIB's own header follows the ten parameters
    const std::vector<std::uint8_t> end(wmf.end() - 6, wmf.end());
    EXPECT_EQ(end, (std::vector<std::uint8_t>{3, 0, 0, 0, 0, 0}));

    EXPECT_TRUE(encodeWmf(Image32(0, 5)).empty());
    EXPECT_TRUE(encodeWmf(Image32(0x8000, 1)).empty());
}

TEST(RichDocument, ParagraphAtCountsLineEndsBefore) {
    RichDocument doc;
    doc.text = "ab\r\n\r\nc";
    const std::size_t expected[] = {0, 0, 0, 0, 1, 1, 2, 2};
    for (std::size_t at = 0; at < std::size(expected); ++at)
        EXPECT_EQ(doc.paragraphAt(at), expected[at]) << at;
}

TEST(Rtf, ReadsOrdinaryRtf) {
    const std::string rtf =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\nouicompat"
        "{\\fonttbl{\\f0\\fnil\\fcharset0 Calibri;}{\\f1\\fmodern Courier New;}}\r\n"
        "{\\colortbl ;\\red255\\green0\\blue0;}\r\n"
        "{\\stylesheet{\\s0 Normal;}}{\\info{\\title Hidden}{\\author Nobody}}\r\n"
        "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
        "\\pard\\sa200\\sl276\\slmult1\\f0\\fs22\\lang7 Gr\\'fc\\'dfe \\cf1 rot\\cf0\\par\r\n"
        "Tab\\tab x\\line y\\par\r\n"
        "\\u8364?uro {\\*\\unknown skip me}{\\pict\\wmetafile8 0102ff}caf\\u233\\'e9\\par\r\n"
        "{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}\\~\\{x\\}\\\\\\par\r\n"
        "{\\header page}\\bin4 {}}}end\\par\r\n"
        "}";
    const auto doc = readRtf(rtf);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->text,
              "Gr\x81\xE1"
              "e rot\r\nTab\tx\r\ny\r\nEuro caf\x82\r\nlink\xFF{x}\\\r\nend\r\n");
    EXPECT_EQ(colouredRuns(*doc), (std::vector<FormatRange>{colourRange(6, 9, 0xFF0000)}));
    EXPECT_EQ(doc->font.name, "Calibri");
    EXPECT_DOUBLE_EQ(doc->font.points, 11.0);
}

TEST(Rtf, ReadsALibreOfficeResave) {
    // The shape LibreOffice gives a listing it saved again: per-run groups with
    // \hich\loch\dbch, a page-style table, '?' as the fallback of every escape.
    const std::string rtf =
        "{\\rtf1\\ansi\\deff3\\adeflang1025\r\n"
        "{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}{\\f1\\froman\\fprq2"
        "\\fcharset2 Symbol;}{\\f5\\froman\\fprq2\\fcharset0 Courier New;}}\r\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red0\\green0\\blue255;}\r\n"
        "{\\*\\generator LibreOffice}{\\info{\\creatim\\yr0\\mo0\\dy0\\hr0\\min0}}"
        "{\\*\\userprops}\\deftab720\r\n"
        "{\\*\\pgdsctbl\r\n{\\pgdsc0\\pgdscuse451\\pgwsxn12240 Default Page Style;}}\r\n"
        "{\\*\\ftnsep\\chftnsep}\\pgndec\\pard\\plain \\s0\\rtlch\\af6\\afs24 \\ltrch\\hich\\af3"
        "\\loch\\cf0\\f3\\fs24\\kerning1\\dbch\\af6\\ql\\ltrpar{\\hich\\af5\\loch\\cf2\\fs20"
        "\\f5\\loch\r\n0 \"\\u9484\\'3f\\u9472\\'3f\\u9488\\'3f DEMO\" 01 2A}\r\n"
        "\\par \\pard\\plain \\s0\\ltrpar{\\hich\\af5\\loch\\cf0\\fs20\\f5\\loch\r\n"
        "12   \"\\u9618\\'3f SHADES\\\\\"  PRG}\r\n\\par }";
    const auto doc = readRtf(rtf);
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->text, "0 \"\xDA\xC4\xBF DEMO\" 01 2A\r\n12   \"\xB1 SHADES\\\"  PRG\r\n");
    EXPECT_EQ(colouredRuns(*doc), (std::vector<FormatRange>{colourRange(0, 18, 0x0000FF)}));
    EXPECT_EQ(doc->font.name, "Courier New");
    EXPECT_DOUBLE_EQ(doc->font.points, 10.0);
}

TEST(Rtf, OemAndSymbolFontsKeepTheirBytes) {
    // Listings written with an OEM font carry the code page 437 bytes themselves.
    const auto oem = readRtf(
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fmodern\\fcharset255 Terminal;}{\\f1\\fcharset0 Arial;}}"
        "\\f0 \\'c9\\'cd\\'bb\\par \\f1 \\'e9}");
    ASSERT_TRUE(oem);
    EXPECT_EQ(oem->text, "\xC9\xCD\xBB\r\n\x82");
    EXPECT_EQ(oem->font.name, "Terminal");

    const auto symbol = readRtf("{\\rtf1{\\fonttbl{\\f0\\fcharset2 Terminal;}}\\f0 \\'b3\\'c4}");
    ASSERT_TRUE(symbol);
    EXPECT_EQ(symbol->text, "\xB3\xC4");

    const auto pc = readRtf("{\\rtf1\\pc \\'b3}");
    ASSERT_TRUE(pc);
    EXPECT_EQ(pc->text, "\xB3");
}

TEST(Rtf, UnicodeSkipCounts) {
    const auto doc = readRtf("{\\rtf1\\uc2\\u9472ab c{\\uc0\\u9474}\\u9474\\'3f!}");
    ASSERT_TRUE(doc);
    EXPECT_EQ(doc->text, "\xC4 c\xB3\xB3");
    const auto pair = readRtf("{\\rtf1\\u-10179?\\u-8704?x}");  // U+1F600 as a surrogate pair
    ASSERT_TRUE(pair);
    EXPECT_EQ(pair->text, "?x");
}

TEST(Rtf, DamagedInputEndsQuietly) {
    const std::string cases[] = {
        "{\\rtf1 abc\\'",
        "{\\rtf1 abc\\'4",
        "{\\rtf1 abc\\",
        "{\\rtf1 abc\\u",
        "{\\rtf1 abc\\bin999999999",
        "{\\rtf1 abc\\par}}}}}}}}",
        "{\\rtf1 abc\\cf99 x\\cf-5 y\\fs-3 z\\uc99999\\u5 q}",
        "{\\rtf1{\\colortbl;\\red999\\green-4\\blue1}\\cf1 x",
        "{\\rtf1 " + std::string(100000, '{') + "deep",
        "{\\rtf1 \\" + std::string(5000, 'a') + "99999999999999999999 text",
    };
    for (const auto& c : cases) {
        const auto doc = readRtf(c);
        ASSERT_TRUE(doc);
        EXPECT_LE(doc->text.size(), c.size()) << c.substr(0, 40);
    }
    const auto start = readRtf("{\\rtf1 abc\\'4");
    EXPECT_EQ(start->text, "abc");
    EXPECT_FALSE(readRtf("plain text"));
    EXPECT_FALSE(readRtf(""));
}

}  // namespace
}  // namespace qv
