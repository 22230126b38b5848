#include "geos/CatalogueExport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "host/Dialogs.h"
#include "settings/ListerOptions.h"
#include "support/Bmp.h"
#include "support/GoldenImage.h"
#include "support/Png.h"
#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

const std::filesystem::path kGolden = test::goldenDir("geos");

std::vector<GeosDetailEntry> sampleRows() {
    GeosDetailEntry a;
    a.columns = {"\"GEOWRITE\"",     "APP",      "geoWrite V2.1", "Berk \"B\"", "", "x {y} \\ <b>&",
                 "04.07.1988 13:05", "/d/a.d64", "4864 "};
    GeosDetailEntry b;
    b.columns = {
        "\"\xC3\x84rger\"",    "*DOC<", "", "", "", "one\r\ntwo\tthree", "00.00.2000 00:00",
        "/d/\xE6\x97\xA5.d64", "512"};
    return {a, b};
}

const ColumnFilter kAll{true, true, true, true, true, true, true, true, true};

TEST(CatalogueExport, HtmlTable) {
    const ColumnFilter filter{true, true, false, false, false, true, false, false, false};
    EXPECT_EQ(catalogueHtml(sampleRows(), filter),
              "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 4.01 Transitional//EN\"\n"
              "\t\"http://www.w3.org/TR/html4/loose.dtd\">\n"
              "<html>\n<head>\n"
              "\t<meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
              "\t<title>GEOSDetails</title>\n</head>\n<body>\n"
              "<table border=\"1\" cellspacing=\"0\" width=\"100%\">\n<tr>\n"
              "\t<td nowrap BGCOLOR=\"#D4D0C8\"><B>Filename</B></td>\n"
              "\t<td nowrap BGCOLOR=\"#D4D0C8\"><B>Filetype</B></td>\n"
              "\t<td nowrap BGCOLOR=\"#D4D0C8\"><B>Description</B></td>\n"
              "</tr>\n"
              "<tr>\n"
              "\t<td nowrap>\"GEOWRITE\"</td>\n"
              "\t<td nowrap>APP</td>\n"
              "\t<td nowrap>x {y} \\ &lt;b&gt;&amp;</td>\n"
              "</tr>\n"
              "<tr>\n"
              "\t<td nowrap>\"\xC3\x84rger\"</td>\n"
              "\t<td nowrap>*DOC&lt;</td>\n"
              "\t<td nowrap>one\r\ntwo\tthree</td>\n"
              "</tr>\n"
              "</table><p>\n</body>\n</html>");
    // An empty cell is a non-breaking space.
    const ColumnFilter app{false, false, false, false, true, false, false, false, false};
    const std::string html = catalogueHtml(sampleRows(), app);
    EXPECT_NE(html.find("<B>Application</B>"), std::string::npos);
    EXPECT_NE(html.find("<tr>\n\t<td nowrap>&nbsp;</td>\n</tr>\n"), std::string::npos);
}

TEST(CatalogueExport, CsvAndText) {
    EXPECT_EQ(catalogueCsv(sampleRows(), kAll),
              "\"\"\"GEOWRITE\"\"\",\"APP\",\"geoWrite V2.1\",\"Berk \"\"B\"\"\",\"\","
              "\"x {y} \\ <b>&\",\"04.07.1988 13:05\",\"/d/a.d64\",\"4864 \"\n"
              "\"\"\"\xC3\x84rger\"\"\",\"*DOC<\",\"\",\"\",\"\",\"one  two\tthree\","
              "\"00.00.2000 00:00\",\"/d/\xE6\x97\xA5.d64\",\"512\"\n");
    EXPECT_EQ(
        catalogueText(sampleRows(), defaultColumnFilter()),
        "\"GEOWRITE\"\tAPP\tgeoWrite V2.1\tBerk \"B\"\tx {y} \\ <b>&\t04.07.1988 13:05\t"
        "/d/a.d64\n"
        "\"\xC3\x84rger\"\t*DOC<\t\t\tone  two three\t00.00.2000 00:00\t/d/\xE6\x97\xA5.d64\n");
    EXPECT_EQ(catalogueCsv({}, kAll), "");
}

const char* const kRtfHead =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\n"
    "{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green255\\blue255;\\red212\\green208\\blue200;"
    "\\red255\\green255\\blue255;}\n"
    "{\\*\\generator Quorvane;}\\viewkind4\\uc1\\pard\\lang1031\\f0\\fs24\\par\n"
    "\\margl1728\\margr1440\\margt720\\margb720\\paperw16834\\paperh11909\n"
    "\\trowd\\trgaph108\\trrh260\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddfr3\n";

std::string cell(int pattern, int x) {
    return "\\clvertalc\\clcbpat" + std::to_string(pattern) +
           "\\clbrdrl\\brdrw10\\brdrs\\clbrdrt\\brdrw10\\brdrs\\clbrdrr\\brdrw10\\brdrs"
           "\\clbrdrb\\brdrw10\\brdrs\\cellx" +
           std::to_string(x) + "\n";
}

TEST(CatalogueExport, RtfTableKeepsEachColumnsPlace) {
    // Filename and Filetype off: the first cell ends at 3 x 1458.
    const ColumnFilter filter{false, false, true, false, false, true, false, true, false};
    const std::string dataPrefix =
        "\\trowd\\trgaph108\\trrh260\\trpaddl108\\trpaddr108\\trpaddfl3\\trpaddfr3\n" +
        cell(4, 4374) + cell(4, 8748) + cell(4, 11664) + "\\pard\\intbl\\nowidctlpar\\ri-123";
    EXPECT_EQ(catalogueRtf(sampleRows(), filter),
              std::string(kRtfHead) + cell(3, 4374) + cell(3, 8748) + cell(3, 11664) +
                  "\\pard\\intbl\\nowidctlpar\\cf1\\b\\fs16 Class Text\\cell Description\\cell "
                  "D64 Image Name\\cell\\row\\b0\n" +
                  dataPrefix +
                  " geoWrite V2.1\\cell x \\{y\\} \\\\ <b>&\\cell /d/a.d64\\cell\\row\n" +
                  dataPrefix +
                  " \\cell one  two\tthree\\cell /d/\\u26085?.d64\\cell\\row\n"
                  "}}");
    // Code page 1252 letters are written as their bytes.
    const ColumnFilter name{true, false, false, false, false, false, false, false, false};
    const std::string rtf = catalogueRtf(sampleRows(), name);
    EXPECT_NE(rtf.find("\\fs16 Filename\\cell\\row\\b0\n"), std::string::npos);
    EXPECT_NE(rtf.find(" \"\xC4rger\"\\cell\\row\n"), std::string::npos);
}

struct ExportFiles : ::testing::Test {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    GeosCatalogue catalogue{options, dialogs};

    ExportFiles() {
        for (GeosDetailEntry& r : sampleRows())
            catalogue.appendRow(r);
    }
};

TEST_F(ExportFiles, SaveListAsksForFileAndColumns) {
    const std::string path = tmp.file("list.CSV");
    host.saveFileAnswers.push_back(path);
    ColumnFilter seen{};
    EXPECT_TRUE(saveCatalogueList(catalogue, dialogs, "/start", [&](ColumnFilter& f) {
        seen = f;
        f[kColFileName] = false;  // a box clicked in the dialog stays changed
        f[kColDate] = false;
        f[kColImage] = false;
        f[kColFileType] = false;
        f[kColAuthor] = false;
        f[kColDescription] = false;
        return true;
    }));
    ASSERT_EQ(host.saveFileRequests.size(), 1U);
    const SaveFileRequest& r = host.saveFileRequests[0];
    EXPECT_EQ(r.caption, "Save as...");
    EXPECT_EQ(r.defaultExtension, "html");
    EXPECT_EQ(r.folder, "/start");
    EXPECT_EQ(r.filter,
              "HTML File (*.HTML)|*.HTML|CSV Document (*.CSV)|*.CSV|RTF Document (*.RTF)|*.RTF|"
              "Text Document (*.TXT)|*.TXT|Icon Bitmap  (*.BMP)|*.BMP");
    EXPECT_EQ(seen, defaultColumnFilter());
    EXPECT_EQ(test::readFile(path), "\xEF\xBB\xBF\"geoWrite V2.1\"\n\"\"\n");

    // Cancel in the filter dialog writes nothing but keeps the clicked boxes.
    const std::string other = tmp.file("list.html");
    host.saveFileAnswers.push_back(other);
    EXPECT_FALSE(saveCatalogueList(catalogue, dialogs, "", [](ColumnFilter& f) {
        f[kColOffset] = true;
        return false;
    }));
    EXPECT_FALSE(std::filesystem::exists(other));
    EXPECT_TRUE(catalogue.settings.columns[kColOffset]);
    // Cancel in the save dialog.
    EXPECT_FALSE(saveCatalogueList(catalogue, dialogs, "", [](ColumnFilter&) { return true; }));
}

TEST_F(ExportFiles, FormatFollowsTheExtension) {
    EXPECT_EQ(listFormatForPath("a/b.Html"), ListFormat::Html);
    EXPECT_EQ(listFormatForPath("a/b.htm"), ListFormat::Html);
    EXPECT_EQ(listFormatForPath("b.CSV"), ListFormat::Csv);
    EXPECT_EQ(listFormatForPath("b.rtf"), ListFormat::Rtf);
    EXPECT_EQ(listFormatForPath("b.txt"), ListFormat::Text);
    EXPECT_EQ(listFormatForPath("b.bmp"), ListFormat::IconBitmap);
    EXPECT_EQ(listFormatForPath("noext"), ListFormat::Html);
    EXPECT_EQ(listFormatForPath("b.PNG"), ListFormat::IconPng);
}

TEST_F(ExportFiles, ASaveDialogAnswerTakesTheExtensionElseTheFilter) {
    EXPECT_EQ(listFormatFor("list.csv", 1), ListFormat::Csv);  // typed over the HTML filter
    EXPECT_EQ(listFormatFor("list.HTM", 4), ListFormat::Html);
    EXPECT_EQ(listFormatFor("list", 3), ListFormat::Rtf);
    EXPECT_EQ(listFormatFor("list.v2", 6), ListFormat::IconPng);
    EXPECT_EQ(listFormatFor("list", 0), ListFormat::Html);
    EXPECT_EQ(listFormatFor("list", 7), ListFormat::Html);
    EXPECT_FALSE(isRowFormat(ListFormat::IconBitmap));
    EXPECT_TRUE(isRowFormat(ListFormat::Text));
}

TEST_F(ExportFiles, FailedWritesAreReportedAndLeaveNoFile) {
    struct Case {
        ListFormat format;
        const char* message;
    };
    const Case cases[] = {{ListFormat::Html, "Failed to save to HTML..."},
                          {ListFormat::Csv, "Failed to save to CSV..."},
                          {ListFormat::Rtf, "Failed to save to RTF..."},
                          {ListFormat::Text, "Failed to save to Text..."},
                          {ListFormat::IconBitmap, "Failed to save to BMP..."},
                          {ListFormat::IconPng, "Failed to save to PNG..."}};
    const std::string path = tmp.file("missing-folder/list.out");
    for (const Case& c : cases) {
        host.errors.clear();
        EXPECT_FALSE(writeCatalogueList(catalogue, c.format, path, kAll, dialogs));
        ASSERT_EQ(host.errors.size(), 1U);
        EXPECT_EQ(host.errors[0].caption, "GeosDetails: Error...");
        EXPECT_EQ(host.errors[0].message, c.message);
        EXPECT_EQ(host.errors[0].line1, path);
    }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(ExportFiles, IconStripKeepsTheIconsInOrder) {
    // Three icons: a frame, a diagonal and a half-width checker pattern.
    std::vector<std::uint8_t> frame(63, 0), diagonal(63, 0), checker(42, 0);
    for (int y = 0; y < 21; ++y) {
        frame[static_cast<std::size_t>(y * 3)] = 0x80;
        frame[static_cast<std::size_t>(y * 3 + 2)] = 0x01;
        if (y == 0 || y == 20)
            std::fill_n(frame.begin() + y * 3, 3, std::uint8_t{0xFF});
        diagonal[static_cast<std::size_t>(y * 3 + y / 8)] =
            static_cast<std::uint8_t>(0x80 >> (y % 8));
        checker[static_cast<std::size_t>(y * 2)] = y % 2 ? 0xAA : 0x55;
        checker[static_cast<std::size_t>(y * 2 + 1)] = y % 2 ? 0x55 : 0xAA;
    }
    catalogue.icons().add(makeGeosIcon(3, 21, frame));
    catalogue.icons().add(makeGeosIcon(3, 21, diagonal));
    catalogue.icons().add(makeGeosIcon(2, 21, checker));
    const Image1 strip = catalogue.icons().strip();
    EXPECT_TRUE(test::matchesGolden(strip, kGolden / "icon_strip.bmp"));

    const std::string path = tmp.file("icons.bmp");
    ASSERT_TRUE(writeCatalogueList(catalogue, ListFormat::IconBitmap, path, kAll, dialogs));
    const std::vector<std::uint8_t> expected = encodeBmp(strip);
    EXPECT_EQ(test::readFile(path), std::string(expected.begin(), expected.end()));

    // The same strip as PNG.
    const std::string png = tmp.file("icons.png");
    ASSERT_TRUE(writeCatalogueList(catalogue, ListFormat::IconPng, png, kAll, dialogs));
    Image32 pixels(strip.width, strip.height);
    for (int y = 0; y < strip.height; ++y) {
        for (int x = 0; x < strip.width; ++x)
            pixels.at(x, y) = strip.get(x, y) ? 0xFFFFFF : 0x000000;
    }
    const std::vector<std::uint8_t> expectedPng = encodePng(pixels);
    EXPECT_EQ(test::readFile(png), std::string(expectedPng.begin(), expectedPng.end()));

    // Past sixteen icons the strip wraps into further rows.
    for (int i = 0; i < 15; ++i)
        catalogue.icons().add(makeGeosIcon(3, 21, frame));
    const Image1 wrapped = catalogue.icons().strip();
    EXPECT_EQ(wrapped.width, 16 * 24);
    EXPECT_EQ(wrapped.height, 2 * 21);
    EXPECT_FALSE(wrapped.get(24, 21));  // the eighteenth icon is a frame: its corner is black
    EXPECT_TRUE(wrapped.get(48, 21));   // no icon there: white
}

}  // namespace
}  // namespace qv
