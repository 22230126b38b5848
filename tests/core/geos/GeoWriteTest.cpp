// GeoWrite documents built byte by byte, converted into the rich-text model and saved
// as RTF.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/geos/GeosDocFixture.h"
#include "geos/GeoWrite.h"
#include "support/GeoWriteBytes.h"
#include "support/RtfReader.h"
#include "support/RtfWriter.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

using test::Bytes;
using test::geowrite::font;
using test::geowrite::picture;
using test::geowrite::Ruler;
using test::geowrite::text;
using test::geowrite::operator<<;

constexpr const char* kV20 = "Write Image V2.0";
constexpr const char* kV21 = "Write Image V2.1";
constexpr const char* kV11 = "Write Image V1.1";

struct GeoWrite : test::GeosDocFixture {
    GeoWriteView view;

    GeoWrite() {
        view.options.pageNumbers = false;
        view.options.scrapNewlines = ScrapNewlines::None;
    }

    // A document of the given records (index 0 up); returns its directory entry.
    test::DirEntrySpec add(const std::vector<Bytes>& records, const std::string& cls = kV20,
                           bool titlePage = false) {
        test::InfoBlockSpec info;
        info.className = cls;
        info.structure = 1;
        info.titlePage = titlePage;
        return disk.addGeosVlir("DOC", info, records);
    }
    // Sets record pointer n of the document's index block.
    void pointer(const test::DirEntrySpec& e, int n, std::uint8_t track, std::uint8_t sector) {
        disk.put(e.first, 2 + 2 * n, {track, sector});
    }
    int convert(const test::DirEntrySpec& e, const std::string& cls = kV20,
                bool titlePage = false) {
        const std::string path = save();
        return view.convertGeoWrite(
            context, path, "DOC", std::to_string(offsetOf(e.first)) + (titlePage ? " " : ""), cls);
    }
    const RichDocument& doc() const { return view.document(); }
    // The format of the character at a position, as the runs give it.
    CharFormat formatAt(std::size_t position) const {
        for (const FormatRange& r : doc().runs()) {
            if (r.start <= position && position < r.end)
                return r.format;
        }
        return {};
    }
    std::size_t find(const std::string& s) const { return doc().text.find(s); }
};

TEST(GeoWriteFormat, ClassTextChoosesVersionLayoutAndScale) {
    struct Case {
        const char* cls;
        bool scale21;
        int version;
        GeoWriteLayout layout;
        double scale;
        int width;
    };
    const Case cases[] = {
        {"Write Image V1.1", false, 1, GeoWriteLayout::Normal, 0.9, 596},
        {"Write Image V2.0", false, 2, GeoWriteLayout::Normal, 0.9, 596},
        {"write image v2.0", true, 2, GeoWriteLayout::Normal, 0.9, 596},
        {"Write Image V2.1", false, 2, GeoWriteLayout::Wide, 0.9, 788},
        {"Write Image V2.1", true, 2, GeoWriteLayout::Normal, 0.675, 596},
    };
    for (const Case& c : cases) {
        const GeoWriteFormat f = geoWriteFormat(c.cls, c.scale21);
        EXPECT_EQ(f.version, c.version) << c.cls;
        EXPECT_EQ(f.layout, c.layout) << c.cls << c.scale21;
        EXPECT_DOUBLE_EQ(f.fontScale, c.scale) << c.cls << c.scale21;
        EXPECT_EQ(f.viewWidth, c.width) << c.cls << c.scale21;
    }
}

TEST_F(GeoWrite, TitlePageHeaderAndFooterFramePagesAfterTheFirst) {
    std::vector<Bytes> records(63);
    records[0] = text("Title\r");
    records[1] = text("Body\r");
    records[61] = text("Head\r");
    records[62] = text("Foot\r");
    const auto e = add(records, kV20, true);
    ASSERT_EQ(convert(e, kV20, true), 0);
    EXPECT_TRUE(view.headerEnabled());
    EXPECT_TRUE(view.footerEnabled());
    EXPECT_EQ(doc().text, "Title\r\nHead\r\n\r\nBody\r\n\r\nFoot\r\n");
    EXPECT_EQ(doc().paragraphs.size(), 6u);

    // Page numbers come first; without the title page the header frames page 1 too.
    view.options.pageNumbers = true;
    ASSERT_EQ(convert(e, kV20, false), 0);
    EXPECT_EQ(doc().text.substr(0, 60),
              "\r\n\r\n------------page 1--------------\r\n\r\n\r\nHead\r\n\r\nTitle\r\n\r\nF");

    // Unticked items leave them out.
    view.options.pageNumbers = false;
    view.options.header = false;
    view.options.footer = false;
    ASSERT_EQ(convert(e), 0);
    EXPECT_EQ(doc().text, "Title\r\nBody\r\n");
}

TEST_F(GeoWrite, HeaderRecordWithTrackZeroIsNotOffered) {
    std::vector<Bytes> records(63);
    records[0] = text("Body\r");
    records[62] = text("Foot\r");
    const auto e = add(records);
    pointer(e, 61, 0, 0);
    ASSERT_EQ(convert(e), 0);
    EXPECT_FALSE(view.headerEnabled());
    EXPECT_TRUE(view.footerEnabled());
    EXPECT_EQ(doc().text, "Body\r\n\r\nFoot\r\n");
}

TEST_F(GeoWrite, SixtyOneEmptyPagesGiveAnEmptyDocument) {
    const auto e = add(std::vector<Bytes>(61));
    view.options.pageNumbers = true;
    ASSERT_EQ(convert(e), 0);
    EXPECT_EQ(doc().text, "");
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(GeoWrite, RulersOfVersionTwo) {
    Ruler first;
    first.left = 80;
    first.right = 480;
    first.indent = 40;
    first.tabs = {160 | 0x8000, 200, 479, 479, 479, 479, 479, 479};
    first.spacing = 2;
    Ruler second = first;  // margins crossed, justified, spacing left as it was
    second.left = 500;
    second.right = 100;
    second.alignment = 3;
    second.spacing = 3;
    Bytes page;
    page << first.escape() << text("One\r") << second.escape() << text("Two\r");
    ASSERT_EQ(convert(add({page})), 0);
    ASSERT_EQ(doc().paragraphs.size(), 2u);

    // s = 0.9: a = 72, d = 442, f = 36 points; the view is 447 points wide.
    const ParagraphFormat& one = doc().paragraphs[0];
    EXPECT_EQ(one.leftIndent, 72 * 20);
    EXPECT_EQ(one.firstLineIndent, (36 - 72) * 20);
    EXPECT_EQ(one.rightIndent, 5 * 20);
    EXPECT_EQ(one.spacing, LineSpacing::Double);
    EXPECT_EQ(one.alignment, ParagraphAlignment::Left);
    ASSERT_EQ(one.tabs.size(), 8u);
    EXPECT_EQ(one.tabs[0], (TabStop{144 * 20, TabAlignment::Decimal}));
    EXPECT_EQ(one.tabs[1], (TabStop{180 * 20, TabAlignment::Left}));

    // a = 450 is not left of d = 100: every line starts where the first does (f = 36).
    const ParagraphFormat& two = doc().paragraphs[1];
    EXPECT_EQ(two.leftIndent, 36 * 20);
    EXPECT_EQ(two.firstLineIndent, 0);
    EXPECT_EQ(two.rightIndent, 0);
    EXPECT_EQ(two.alignment, ParagraphAlignment::Justified);
    EXPECT_EQ(two.spacing, LineSpacing::Double);
}

TEST_F(GeoWrite, WideAndScaledLayoutsMeasureTheRulerDifferently) {
    Ruler r;
    r.left = 100;
    r.right = 600;
    Bytes page;
    page << r.escape() << text("x\r");
    const auto e = add({page}, kV21);
    ASSERT_EQ(convert(e, kV21), 0);
    EXPECT_EQ(view.layout(), GeoWriteLayout::Wide);
    // a = 90, d = 550, right = 591 - 550.
    EXPECT_EQ(doc().paragraphs[0].leftIndent, 90 * 20);
    EXPECT_EQ(doc().paragraphs[0].rightIndent, 41 * 20);

    view.options.scaleImage21 = true;
    ASSERT_EQ(convert(e, kV21), 0);
    EXPECT_EQ(view.layout(), GeoWriteLayout::Normal);
    // s = 0.675: a = 68, d = 415, right = 447 - 415.
    EXPECT_EQ(doc().paragraphs[0].leftIndent, 68 * 20);
    EXPECT_EQ(doc().paragraphs[0].rightIndent, 32 * 20);
}

TEST_F(GeoWrite, VersionOnePagesStartWithTheirRuler) {
    Ruler r;
    r.left = 40;
    r.tabs = {100, 479, 479, 479, 479, 479, 479, 479};
    Bytes page = r.versionOne();
    page << text("A") << Bytes{17} << text("B\r") << Ruler{}.escape();
    ASSERT_EQ(convert(add({page}, kV11), kV11), 0);
    EXPECT_EQ(view.version(), 1);
    // Byte 17 is no escape in version 1: it and the 26 bytes of a would-be ruler are
    // plain bytes (the printable ones show).
    EXPECT_EQ(doc().text.substr(0, 4), "AB\r\n");
    const ParagraphFormat& p = doc().paragraphs[0];
    EXPECT_EQ(p.leftIndent, 36 * 20);
    EXPECT_EQ(p.firstLineIndent, 0);  // the wrapped lines stay at the margin
    EXPECT_EQ(p.tabs[0].position, 90 * 20);
}

TEST_F(GeoWrite, EscapesCutByABlockEndAreCompletedFromTheNextBlock) {
    Ruler r;
    r.alignment = 1;
    r.left = 80;
    const Bytes ruler = r.escape();
    const Bytes fontEscape = font(5, 18, kStyleBold);
    // Each escape begins at every position from the last byte of the first block
    // back to where it fits in that block entirely.
    for (const Bytes* escape : {&ruler, &fontEscape}) {
        for (std::size_t before = 0; before <= escape->size(); ++before) {
            test::DiskBuilder fresh;
            fresh.format();
            disk = fresh;
            Bytes page(254 - before, 'a');
            page << *escape << text("tail\r");
            ASSERT_EQ(convert(add({page})), 0) << before;
            ASSERT_EQ(doc().text.size(), 254 - before + 6) << before;
            EXPECT_EQ(doc().text.substr(254 - before), "tail\r\n") << before;
            if (escape == &ruler) {
                EXPECT_EQ(doc().paragraphs[0].alignment, ParagraphAlignment::Centre) << before;
                EXPECT_EQ(doc().paragraphs[0].leftIndent, 72 * 20) << before;
            } else {
                EXPECT_EQ(formatAt(254 - before).points, 18.0) << before;
                EXPECT_EQ(formatAt(254 - before).bold, true) << before;
            }
        }
    }
}

TEST_F(GeoWrite, AnEscapeCutByTheEndOfTheRecordIsDropped) {
    Bytes page = text("text\r");
    page << Bytes{23, 9};
    ASSERT_EQ(convert(add({page})), 0);
    EXPECT_EQ(doc().text, "text\r\n");
}

TEST_F(GeoWrite, StylesOfFontEscapes) {
    struct Case {
        std::uint8_t style;
        bool bold, italic, underline, outline;
        int offset;
        bool reverse;
    };
    const Case cases[] = {
        {0, false, false, false, false, 0, false},
        {kStyleBold, true, false, false, false, 0, false},
        {kStyleItalic, false, true, false, false, 0, false},
        {kStyleUnderline, false, false, true, false, 0, false},
        {kStyleOutline, false, false, false, true, 0, false},
        {kStyleSubscript, false, false, false, false, -3, false},
        {kStyleSuperscript, false, false, false, false, 3, false},
        {kStyleSubscript | kStyleSuperscript, false, false, false, false, 3, false},
        {kStyleReverse, false, false, false, false, 0, true},
    };
    Bytes page;
    for (const Case& c : cases)
        page << font(1, 12, c.style) << text("ab");
    page << text("\r");
    ASSERT_EQ(convert(add({page})), 0);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const CharFormat f = formatAt(2 * i + 1);
        EXPECT_EQ(f.points, 12.0) << i;
        EXPECT_EQ(f.bold, c.bold) << i;
        EXPECT_EQ(f.italic, c.italic) << i;
        EXPECT_EQ(f.underline, c.underline) << i;
        EXPECT_EQ(f.outline, c.outline) << i;
        EXPECT_EQ(f.offset, c.offset) << i;
        EXPECT_EQ(f.colour, c.reverse ? std::optional<Rgb>(0xFFFFFF) : std::nullopt) << i;
        EXPECT_EQ(f.background, c.reverse ? std::optional<Rgb>(0) : std::nullopt) << i;
    }
}

TEST_F(GeoWrite, FontIdsMarkersSizesAndTheLookupTable) {
    Bytes page;
    page << font(1, 10, 0) << text("a") << font(1, 24, 0) << text("b") << font(7, 12, 0)
         << text("c\r");
    const auto e = add({page}, kV21);
    view.options.showFontId = true;
    view.options.scaleImage21 = true;  // sizes x 0.75
    ASSERT_EQ(convert(e, kV21), 0);
    EXPECT_EQ(doc().text, "{0001}ab{0007}c\r\n");
    EXPECT_EQ(formatAt(0).points, 8.0);  // the marker takes its run's format
    EXPECT_EQ(formatAt(7).points, 18.0);
    EXPECT_EQ(formatAt(8).points, 9.0);
    EXPECT_FALSE(formatAt(0).face);

    view.options.showFontId = false;
    view.options.useFontTable = true;
    view.options.fontTable = {{1, "Times New Roman"}, {3, "Courier New"}};
    ASSERT_EQ(convert(e, kV21), 0);
    EXPECT_EQ(formatAt(0).face, "Times New Roman");
    EXPECT_EQ(formatAt(2).face, "Times New Roman");  // ID 7 is not in the table: the first
}

TEST(GeoWriteFontTable, LookupAndListing) {
    const std::vector<std::pair<int, std::string>> table = {
        {2, "Arial"}, {5, std::string(40, 'N')}, {9, "Courier"}};
    EXPECT_EQ(fontNameForId(table, 9), "Courier");
    EXPECT_EQ(fontNameForId(table, 5), std::string(31, 'N'));
    EXPECT_EQ(fontNameForId(table, 3), "Arial");
    EXPECT_EQ(fontNameForId({}, 3), "");
    EXPECT_EQ(fontTableListing({{2, "Arial"}, {9, "Courier"}}), "2=Arial\n9=Courier\n");
    EXPECT_NE(missingFontTableMessage().find("You haven't defined a FontID Lookup Table"),
              std::string::npos);
}

TEST_F(GeoWrite, PrintColoursFollowTheRulersToTheEnd) {
    Ruler red;
    red.colour = 0x85;
    Ruler keep;  // colour code 0 keeps the colour that runs, up to the end of the text
    Ruler other;
    other.colour = 0x99;
    Bytes page;
    page << text("plain ") << red.escape() << text("red ") << font(0, 9, kStyleReverse)
         << text("rev") << font(0, 9, 0) << keep.escape() << text(" still\r") << other.escape()
         << text("default ") << keep.escape() << text("last\r");
    view.options.showPrintColours = true;
    view.options.printColours[7] = 0x123456;
    ASSERT_EQ(convert(add({page})), 0);
    EXPECT_FALSE(formatAt(0).colour);
    EXPECT_EQ(formatAt(find("red")).colour, 0xFF0000u);
    EXPECT_EQ(formatAt(find("rev")).colour, 0xFFFFFFu);
    EXPECT_EQ(formatAt(find("rev")).background, 0xFF0000u);
    EXPECT_EQ(formatAt(find("still")).colour, 0xFF0000u);
    EXPECT_EQ(formatAt(find("default")).colour, 0x123456u);
    EXPECT_EQ(formatAt(find("last")).colour, 0x123456u);

    view.options.showPrintColours = false;
    ASSERT_EQ(convert(add({page})), 0);
    EXPECT_FALSE(formatAt(find("red")).colour);
}

TEST_F(GeoWrite, PicturesComeFromScrapRecordsAndCentreTheirParagraph) {
    Bytes page;
    page << text("see") << picture(1, 8, 64) << text("here") << picture(1, 8, 65)
         << picture(1, 8, 200) << text("\r");
    std::vector<Bytes> records(66);
    records[0] = page;
    records[64] = test::geowrite::blackCardScrap();
    records[65] = test::geowrite::blackCardScrap();
    const auto e = add(records);
    pointer(e, 65, 60, 0);  // no such track: the picture is left out without a word
    view.options.scrapNewlines = ScrapNewlines::Both;
    ASSERT_EQ(convert(e), 0);
    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(doc().text, "see\r\n\r\nhere\r\n\r\n\r\n\r\n\r\n");
    ASSERT_EQ(doc().pictures.size(), 1u);
    EXPECT_EQ(doc().pictures[0].position, 5u);
    EXPECT_EQ(doc().pictures[0].image.width, 8);
    EXPECT_EQ(doc().pictures[0].image.height, 8);
    EXPECT_EQ(doc().paragraphs[0].alignment, ParagraphAlignment::Left);
    EXPECT_EQ(doc().paragraphs[1].alignment, ParagraphAlignment::Centre);
    EXPECT_EQ(doc().paragraphs[2].alignment, ParagraphAlignment::Left);

    struct Case {
        ScrapNewlines newlines;
        const char* text;
        std::size_t position;
    };
    const Case cases[] = {{ScrapNewlines::None, "seehere\r\n", 3},
                          {ScrapNewlines::Before, "see\r\nhere\r\n\r\n\r\n", 5},
                          {ScrapNewlines::After, "see\r\nhere\r\n\r\n\r\n", 3}};
    for (const Case& c : cases) {
        view.options.scrapNewlines = c.newlines;
        ASSERT_EQ(convert(e), 0);
        EXPECT_EQ(doc().text, c.text);
        ASSERT_EQ(doc().pictures.size(), 1u);
        EXPECT_EQ(doc().pictures[0].position, c.position);
    }
}

TEST_F(GeoWrite, IllegalPagePointerAndLinkAreAskedAbout) {
    std::vector<Bytes> records(3);
    records[0] = text("one\r");
    records[1] = text("two\r");
    records[2] = Bytes(300, 'x');
    const auto e = add(records);
    pointer(e, 1, 50, 1);
    disk.block(recordStart(e, 2))[0] = 36;  // a link past the last track

    host.errorAnswers = {1, 1};  // Continue twice
    ASSERT_EQ(convert(e), 0);
    ASSERT_EQ(host.errors.size(), 2u);
    EXPECT_EQ(host.errors[0].message,
              "Illegal Track: 50 ($32) or Sector: 1 ($01) in VLIR Record: 2\nVLIR corrupt!\n"
              "Continue with next VLIR Record?");
    EXPECT_EQ(host.errors[0].caption, "GeoWrite: Error in File...");
    EXPECT_NE(host.errors[1].message.find("File corrupt!"), std::string::npos);
    EXPECT_EQ(doc().text, "one\r\n" + std::string(254, 'x') + "\r\n");

    host.errors.clear();
    host.errorAnswers = {2};  // Abort File
    EXPECT_EQ(convert(e), 1);
    EXPECT_FALSE(view.hasStoredDocument());
}

TEST_F(GeoWrite, OnlyWriteImagesAreConverted) {
    const auto e = add({text("x\r")}, "Paint Image V1.1");
    EXPECT_EQ(convert(e, "Paint Image V1.1"), 1);
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message, "No Write Image detected...");
    EXPECT_EQ(view.caption(), save() + " -> DOC");
}

TEST_F(GeoWrite, ConvertAgainUsesTheStoredDocument) {
    const auto e = add({text("x\r")});
    EXPECT_EQ(view.convertAgain(context), 1);
    ASSERT_EQ(convert(e), 0);
    view.options.pageNumbers = true;
    ASSERT_EQ(view.convertAgain(context), 0);
    EXPECT_NE(doc().text.find("page 1"), std::string::npos);
}

TEST_F(GeoWrite, SavedRtfCarriesTheLayoutAndThePageSetup) {
    Ruler r;
    r.left = 80;
    r.indent = 40;
    r.alignment = 3;
    r.spacing = 1;
    r.tabs = {160 | 0x8000, 479, 479, 479, 479, 479, 479, 479};
    Bytes page;
    page << r.escape() << font(0, 12, kStyleBold | kStyleUnderline) << text("B\x09x\r")
         << picture(1, 8, 64) << text("\r");
    std::vector<Bytes> records(65);
    records[0] = page;
    records[64] = test::geowrite::blackCardScrap();
    const auto e = add(records, kV21);
    view.options.showFontId = true;  // braces to escape
    ASSERT_EQ(convert(e, kV21), 0);
    view.options.paperA4 = false;
    const std::string path = tmp.file("doc.rtf");
    ASSERT_TRUE(view.saveGeoWriteRtf(dialogs, path));
    const std::string rtf = test::readFile(path);

    const std::size_t pard = rtf.find("\\pard\\");
    ASSERT_NE(pard, std::string::npos);
    EXPECT_EQ(rtf.compare(pard + 6, 17, "margl288\\margr317"), 0);
    for (const char* word : {"\\fswiss\\fcharset0 Arial;", "\\li1440\\fi-720", "\\qj",
                             "\\sl360\\slmult1", "\\tqdec\\tx2880", "\\fs24\\b\\ul ", "\\tab ",
                             "\\{0000\\}", "\\par\r\n\\pard\\li1440\\fi-720\\ri3000\\qc",
                             "{\\pict\\wmetafile8\\picw211\\pich211\\picwgoal119"
                             "\\pichgoal119 \r\n010009000003"}) {
        EXPECT_NE(rtf.find(word), std::string::npos) << word;
    }
    const std::optional<RichDocument> back = readRtf(rtf, CodePage::Windows1252);
    ASSERT_TRUE(back);
    EXPECT_EQ(back->text, "{0000}B\tx\r\n\r\n");
}

TEST_F(GeoWrite, SaveFailureIsReported) {
    ASSERT_EQ(convert(add({text("x\r")})), 0);
    EXPECT_FALSE(view.saveGeoWriteRtf(dialogs, tmp.file("missing/folder/doc.rtf")));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message, "Error while creating Save File...");
}

TEST(GeoWritePageSetup, InsertedAfterTheFirstPard) {
    EXPECT_EQ(insertPageSetup("{\\rtf1 \\pard\\plain x\\pard\\y}", GeoWriteLayout::Normal, true),
              "{\\rtf1 \\pard\\margl1728\\margr1440\\margt720\\margb720\\paperw11909"
              "\\paperh16834\\plain x\\pard\\y}");
    EXPECT_EQ(pageSetupText(GeoWriteLayout::Normal, false),
              "margl1728\\margr1771\\margt720\\margb720\\paperw12240\\paperh15840\\");
    EXPECT_EQ(pageSetupText(GeoWriteLayout::Wide, true),
              "margl288\\margr000\\margt720\\margb720\\paperw11909\\paperh16834\\");
    EXPECT_FALSE(insertPageSetup("{\\rtf1 \\pard x}", GeoWriteLayout::Wide, true));
}

}  // namespace
}  // namespace qv
