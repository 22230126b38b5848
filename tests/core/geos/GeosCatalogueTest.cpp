#include "geos/GeosCatalogue.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "host/Dialogs.h"
#include "listing/ListingRun.h"
#include "settings/IniFile.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::Bytes;
using test::DiskBuilder;
using test::InfoBlockSpec;

Bytes iconBytes(std::uint8_t seed, std::size_t n = 63) {
    Bytes b(n);
    for (std::size_t i = 0; i < n; ++i)
        b[i] = static_cast<std::uint8_t>(seed * 31 + i * 7);
    return b;
}

InfoBlockSpec info(std::uint8_t geosType, const std::string& cls, std::uint8_t iconSeed = 1) {
    InfoBlockSpec s;
    s.geosType = geosType;
    s.className = cls;
    s.author = "Author";
    s.application = "Parent";
    s.description = "Some words";
    s.icon = iconBytes(iconSeed);
    return s;
}

// Lists built images through a real listing run with the catalogue as its GEOS sink.
struct CatalogueFixture : ::testing::Test {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    GeosCatalogue catalogue{options, dialogs};
    Listing listing{options, dialogs};
    int images = 0;

    CatalogueFixture() {
        options.generateHeader = false;
        listing.setGeosSink(&catalogue);
    }
    std::string list(const DiskBuilder& d) {
        const std::string path = tmp.file("img" + std::to_string(images++) + ".d64");
        d.save(path);
        listing.fileList = {path};
        listing.listFiles(RunKind::Load);
        return path;
    }
    static DiskBuilder disk() {
        DiskBuilder d;
        d.format("GEOS DISK", "ID").geosSignature();
        return d;
    }
    const GeosDetailEntry& row(int i) const {
        return catalogue.rows()[static_cast<std::size_t>(i)];
    }
    std::vector<std::string> column(int c) const {
        std::vector<std::string> v;
        for (const GeosDetailEntry& r : catalogue.rows())
            v.push_back(r.text(c));
        return v;
    }
};

TEST_F(CatalogueFixture, RowHoldsEveryColumnOfTheEntry) {
    DiskBuilder d = disk();
    InfoBlockSpec s = info(6, "geoWrite    V2.1");
    s.author = "Berkeley [ok]";  // GEOS text: brackets are umlauts by default
    s.description = "Line one\rline two";
    const auto e = d.addGeosSequential("GEOWRITE", s, Bytes(300, 1), {88, 7, 4, 13, 5});
    const std::string path = list(d);
    ASSERT_EQ(catalogue.rowCount(), 1);
    const GeosDetailEntry& r = row(0);
    EXPECT_EQ(r.iconIndex, 0);
    EXPECT_EQ(r.text(kColFileName), "\"GEOWRITE\"");
    EXPECT_EQ(r.text(kColFileType), "APP");
    EXPECT_EQ(r.text(kColClass), "geoWrite    V2.1");
    EXPECT_EQ(r.text(kColAuthor), "Berkeley \xC3\x84ok\xC3\x9C");  // ÄokÜ
    EXPECT_EQ(r.text(kColApplication), "Parent");
    EXPECT_EQ(r.text(kColDescription), "Line one line two");
    EXPECT_EQ(r.text(kColDate), "04.07.1988 13:05");
    EXPECT_EQ(r.text(kColImage), path);
    EXPECT_EQ(r.text(kColOffset), std::to_string(blockOffset(e.first, kDosStandard)));
    EXPECT_EQ(catalogue.listedStatus(), "1 GEOS File(s) listed");
    EXPECT_EQ(catalogue.entryCounter(), 1);
}

TEST_F(CatalogueFixture, EveryGeosTypeAndTheDecorations) {
    DiskBuilder d = disk();
    for (std::uint8_t t = 0; t <= 15; ++t)
        d.addGeosSequential(test::numbered("T", t), info(t, "Class"), Bytes(10, 1));
    // Locked (bit 6) and not closed (bit 7 clear) documents keep their decorations.
    InfoBlockSpec locked = info(7, "Class");
    locked.cbmType = 0xC3;
    d.addGeosSequential("LOCKED", locked, Bytes(10, 1));
    InfoBlockSpec open = info(7, "Class");
    open.cbmType = 0x43;
    d.addGeosSequential("OPEN", open, Bytes(10, 1));
    list(d);
    const std::vector<std::string> types = column(kColFileType);
    EXPECT_EQ(types, (std::vector<std::string>{"BAS", "ASS", "DAT", "SYS", "DAC", "APP", "DOC",
                                               "FON", "PRN", "INP", "DRV", "BOO", "TMP", "AUT",
                                               "DOC<", "*DOC<"}));
}

TEST_F(CatalogueFixture, InvalidIconsLeaveTheEntryOut) {
    struct Case {
        std::uint8_t width, height, format;
        bool valid;
    };
    const Case cases[] = {
        {3, 21, 0xBF, true},  {4, 21, 0xBF, false}, {3, 22, 0xBF, false},
        {3, 21, 0xBE, false}, {2, 5, 0xBF, true},   {0, 0, 0xBF, true},
    };
    for (const bool showMessage : {true, false}) {
        catalogue.clear();
        host.errors.clear();
        catalogue.showIconMessage = showMessage;
        int valid = 0;
        DiskBuilder d = disk();
        for (const Case& c : cases) {
            InfoBlockSpec s = info(7, "Class");
            s.iconWidth = c.width;
            s.iconHeight = c.height;
            s.iconFormat = c.format;
            d.addGeosSequential("F", s, Bytes(10, 1));
            valid += c.valid ? 1 : 0;
        }
        const std::string path = list(d);
        EXPECT_EQ(catalogue.rowCount(), valid);
        if (showMessage) {
            ASSERT_EQ(host.errors.size(), 3U);
            EXPECT_EQ(host.errors[0].caption, "MainForm: Error in File...");
            EXPECT_EQ(host.errors[0].message, "Wrong Size of Geos Icon...aborted");
            EXPECT_EQ(host.errors[0].line1, path);
            EXPECT_EQ(host.errors[0].line2, "\"F\"");
            ASSERT_EQ(host.errors[0].buttons.size(), 1U);
            EXPECT_EQ(host.errors[0].buttons[0].text, "OK");
        } else {
            EXPECT_TRUE(host.errors.empty());
        }
    }
}

TEST_F(CatalogueFixture, IdenticalIconsShareOnePicture) {
    DiskBuilder d = disk();
    d.addGeosSequential("A", info(7, "C", 1), Bytes(10, 1));
    d.addGeosSequential("B", info(7, "C", 2), Bytes(10, 1));
    d.addGeosSequential("C", info(7, "C", 1), Bytes(10, 1));
    // Narrow icons compare by their own bytes: the block bytes after them differ.
    InfoBlockSpec n1 = info(7, "C");
    n1.iconWidth = 1;
    n1.iconHeight = 2;
    n1.icon = {0x55, 0xAA, 1, 2, 3};
    InfoBlockSpec n2 = n1;
    n2.icon = {0x55, 0xAA, 9, 9, 9};
    d.addGeosSequential("D", n1, Bytes(10, 1));
    d.addGeosSequential("E", n2, Bytes(10, 1));
    list(d);
    // A second image with the same icons adds none.
    DiskBuilder d2 = disk();
    d2.addGeosSequential("F", info(7, "C", 2), Bytes(10, 1));
    list(d2);
    std::vector<int> indices;
    for (const GeosDetailEntry& r : catalogue.rows())
        indices.push_back(r.iconIndex);
    EXPECT_EQ(indices, (std::vector<int>{0, 1, 0, 2, 2, 1}));
    EXPECT_EQ(catalogue.icons().size(), 3);
    EXPECT_EQ(catalogue.iconCrcs().size(), 3U);
    // The picture: black where GEOS bits are set, white where the icon does not reach.
    const Image1& narrow = catalogue.icons().at(2);
    ASSERT_EQ(narrow.width, 24);
    ASSERT_EQ(narrow.height, 21);
    EXPECT_EQ(narrow.palette[narrow.get(1, 0)], 0x000000U);  // 0x55: bit 6 set
    EXPECT_EQ(narrow.palette[narrow.get(0, 0)], 0xFFFFFFU);
    EXPECT_EQ(narrow.palette[narrow.get(10, 0)], 0xFFFFFFU);
    EXPECT_EQ(narrow.palette[narrow.get(0, 5)], 0xFFFFFFU);
}

TEST_F(CatalogueFixture, AFullIconListStillSharesItsIcons) {
    catalogue.icons().setLimit(1);
    DiskBuilder d = disk();
    d.addGeosSequential("A", info(7, "C", 1), Bytes(10, 1));
    d.addGeosSequential("B", info(7, "C", 2), Bytes(10, 1));
    d.addGeosSequential("C", info(7, "C", 1), Bytes(10, 1));
    d.addGeosSequential("D", info(7, "C", 3), Bytes(10, 1));
    list(d);
    std::vector<int> indices;
    for (const GeosDetailEntry& r : catalogue.rows())
        indices.push_back(r.iconIndex);
    EXPECT_EQ(indices, (std::vector<int>{0, -1, 0, -1}));
    EXPECT_FALSE(catalogue.iconsEnabled());
    ASSERT_EQ(host.messages.size(), 1U);
    EXPECT_EQ(host.messages[0],
              "Due to limits from Windows no more new Geos Icons can be added.\nSome of the "
              "following GeosDetails entries (after entry 1) will not have an Icon");
}

TEST_F(CatalogueFixture, FontFilesShowIdAndSizes) {
    struct Case {
        std::uint16_t id;
        Bytes sizes;
        std::string author, application;
    };
    const Case cases[] = {
        {5,
         {0x0A, 0x01, 0x0C, 0x01, 0x18, 0x03, 0x00, 0x00},
         "Font ID : 5 -> Cory",
         "Sizes : 10 12 24 "},
        {0, {0x09, 0x00, 0x00}, "Font ID : 0 -> BSW", "Sizes : 9 "},
        {22, {0x0A, 0x00}, "Font ID : 22", "Sizes : 10 "},
        {25, {}, "Font ID : 25 -> LeConte", "Sizes : "},
        {26, {0x00, 0x0A, 0x0C, 0x00}, "Font ID : 26", "Sizes : "},
        {300, {0x4A, 0x01}, "Font ID : 300", "Sizes : 10 "},
    };
    DiskBuilder d = disk();
    for (const Case& c : cases) {
        InfoBlockSpec s = info(8, "Font");
        const auto e = d.addGeosSequential("FONT", s, Bytes(10, 1));
        d.put(e.info, 128,
              {static_cast<std::uint8_t>(c.id & 0xFF), static_cast<std::uint8_t>(c.id >> 8)});
        Bytes sizes = c.sizes;
        sizes.resize(30, 0);
        d.put(e.info, 130, sizes);
    }
    // Fifteen words at most.
    const auto e = d.addGeosSequential("BIG", info(8, "Font"), Bytes(10, 1));
    d.put(e.info, 130, Bytes(40, 0x07));
    list(d);
    ASSERT_EQ(catalogue.rowCount(), 7);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(row(static_cast<int>(i)).text(kColAuthor), cases[i].author);
        EXPECT_EQ(row(static_cast<int>(i)).text(kColApplication), cases[i].application);
    }
    std::string fifteen = "Sizes : ";
    for (int i = 0; i < 15; ++i)
        fifteen += "7 ";
    EXPECT_EQ(row(6).text(kColApplication), fifteen);
}

TEST(GeosDate, EachByteIsCheckedOnItsOwn) {
    struct Case {
        std::array<std::uint8_t, 5> bytes;
        const char* text;
    };
    const Case cases[] = {
        {{82, 1, 1, 0, 0}, "01.01.2082 00:00"},   {{83, 12, 31, 24, 60}, "31.12.1983 24:60"},
        {{99, 6, 15, 9, 30}, "15.06.1999 09:30"}, {{0, 2, 3, 4, 5}, "03.02.2000 04:05"},
        {{100, 5, 5, 5, 5}, "05.05.0000 05:05"},  {{255, 13, 32, 25, 61}, "00.00.0000 00:00"},
        {{90, 0, 0, 0, 0}, "00.00.1990 00:00"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(formatGeosDate(c.bytes), c.text);
}

TEST_F(CatalogueFixture, TitlePageMarkOnGeoWriteDocumentsOnly) {
    struct Case {
        std::uint8_t type;
        const char* cls;
        std::uint8_t byte139;
        bool marked;
    };
    const Case cases[] = {
        {7, "Write Image V2.1", 0x80, true},  {7, "write image V2.0", 0xFF, true},
        {7, "Write Image V2.1", 0x7F, false}, {6, "Write Image V2.1", 0x80, false},
        {7, "Paint Image V1.1", 0x80, false},
    };
    DiskBuilder d = disk();
    std::vector<int> offsets;
    for (const Case& c : cases) {
        const auto e = d.addGeosVlir("DOC", info(c.type, c.cls), {Bytes(5, 1)});
        d.put(e.info, 139, {c.byte139});
        offsets.push_back(blockOffset(e.first, kDosStandard));
    }
    list(d);
    ASSERT_EQ(catalogue.rowCount(), static_cast<int>(std::size(cases)));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(row(static_cast<int>(i)).text(kColOffset),
                  std::to_string(offsets[i]) + (cases[i].marked ? " " : ""))
            << cases[i].cls;
    }
}

TEST_F(CatalogueFixture, IllegalInfoBlockLinkAddsNothingQuietly) {
    DiskBuilder d = disk();
    const auto e = d.addGeosSequential("BAD", info(7, "C"), Bytes(10, 1));
    d.addGeosSequential("GOOD", info(7, "C"), Bytes(10, 1));
    test::DirEntrySpec bad = e;
    bad.info = {36, 0};  // no such track on a 35-track disk
    d.setSlot(0, bad);
    list(d);
    ASSERT_EQ(catalogue.rowCount(), 1);
    EXPECT_EQ(row(0).text(kColFileName), "\"GOOD\"");
    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(CatalogueFixture, NothingIsAddedWhenTheOptionIsOff) {
    DiskBuilder d = disk();
    d.addGeosSequential("A", info(7, "C"), Bytes(10, 1));
    options.generateGeosFileDetails = false;
    list(d);
    options.generateGeosFileDetails = true;
    options.autoGeosConversion = false;
    list(d);
    EXPECT_EQ(catalogue.rowCount(), 0);
}

GeosDetailEntry makeRow(const std::string& name, const std::string& date,
                        const std::string& offset) {
    GeosDetailEntry r;
    r.columns[kColFileName] = name;
    r.columns[kColDate] = date;
    r.columns[kColOffset] = offset;
    return r;
}

struct SortFixture : ::testing::TestWithParam<bool> {
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    GeosCatalogue catalogue{options, dialogs};

    SortFixture() { catalogue.settings.ownSort = GetParam(); }
    std::vector<std::string> names() const {
        std::vector<std::string> v;
        for (const GeosDetailEntry& r : catalogue.rows())
            v.push_back(r.text(kColFileName));
        return v;
    }
};

// What a table model over the catalogue is told: each change once, before and after,
// with positions that are valid at the moment they are told.
struct RecordingObserver : CatalogueObserver {
    std::vector<std::string> calls;
    const GeosCatalogue* catalogue = nullptr;
    void rowsAboutToBeAppended(int first, int count) override { add("+?", first, count); }
    void rowsAppended(int first, int count) override { add("+", first, count); }
    void rowsAboutToBeRemoved(int first, int count) override { add("-?", first, count); }
    void rowsRemoved(int first, int count) override { add("-", first, count); }
    void aboutToReset() override { calls.push_back("reset? " + std::to_string(size())); }
    void reset() override { calls.push_back("reset " + std::to_string(size())); }
    void cellChanged(int row, int column) override { add("cell", row, column); }
    void add(const char* what, int a, int b) {
        calls.push_back(std::string(what) + " " + std::to_string(a) + "," + std::to_string(b) +
                        " of " + std::to_string(size()));
    }
    int size() const { return catalogue->rowCount(); }
};

TEST_P(SortFixture, ObserversAreToldOfEveryChange) {
    RecordingObserver seen;
    seen.catalogue = &catalogue;
    catalogue.addObserver(&seen);
    for (const char* n : {"a", "b", "c", "d", "e"})
        catalogue.appendRow(makeRow(n, "", "0"));
    catalogue.deleteRows({0, 3, 2, 7});
    catalogue.sortByColumn(kColFileName);
    catalogue.setCellText(1, kColClass, "x");
    catalogue.setCellText(5, kColClass, "no row");
    catalogue.clear();
    catalogue.removeObserver(&seen);
    catalogue.appendRow(makeRow("f", "", "0"));
    EXPECT_EQ(seen.calls,
              (std::vector<std::string>{
                  "+? 0,1 of 0", "+ 0,1 of 1", "+? 1,1 of 1", "+ 1,1 of 2", "+? 2,1 of 2",
                  "+ 2,1 of 3", "+? 3,1 of 3", "+ 3,1 of 4", "+? 4,1 of 4", "+ 4,1 of 5",
                  // rows 2 and 3 in one range, then row 0
                  "-? 2,2 of 5", "- 2,2 of 3", "-? 0,1 of 3", "- 0,1 of 2", "reset? 2", "reset 2",
                  "cell 1,2 of 2", "reset? 2", "reset 0"}));
    EXPECT_EQ(names(), (std::vector<std::string>{"f"}));
}

TEST_P(SortFixture, DatesCompareFieldByField) {
    catalogue.appendRow(makeRow("a", "01.02.1990 10:00", "1"));
    catalogue.appendRow(makeRow("b", "31.01.1990 10:00", "2"));
    catalogue.appendRow(makeRow("c", "01.02.1990 09:59", "3"));
    catalogue.appendRow(makeRow("d", "01.01.2000 00:00", "4"));
    EXPECT_TRUE(catalogue.sortByColumn(kColDate));
    EXPECT_EQ(names(), (std::vector<std::string>{"b", "c", "a", "d"}));
    EXPECT_TRUE(catalogue.sortAscending());
    EXPECT_TRUE(catalogue.sortByColumn(kColDate));  // same column again: descending
    EXPECT_FALSE(catalogue.sortAscending());
    EXPECT_EQ(names(), (std::vector<std::string>{"d", "a", "c", "b"}));
    EXPECT_TRUE(host.messages.empty());
}

TEST_P(SortFixture, AnEditedDateIsReportedOnceAndKeepsEveryRow) {
    catalogue.appendRow(makeRow("a", "01.02.1990 10:00", "1"));
    catalogue.appendRow(makeRow("b", "1.2.1990 10:00", "2"));  // edited, 14 characters
    catalogue.appendRow(makeRow("c", "01.01.1980 10:00", "3"));
    catalogue.appendRow(makeRow("d", "01.0x.1990 10:00", "4"));
    catalogue.appendRow(makeRow("e", "01.01.1970 10:00", "5"));
    EXPECT_TRUE(catalogue.sortByColumn(kColDate));
    ASSERT_EQ(host.messages.size(), 1U);
    EXPECT_EQ(host.messages[0],
              "GeosDetails: Wrong Format in DateTime String. The Format is 'DD.MM.JJJJ HH:MM'");
    std::vector<std::string> sorted = names();
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, (std::vector<std::string>{"a", "b", "c", "d", "e"}));
    // A second sort reports again, once.
    catalogue.sortByColumn(kColDate);
    EXPECT_EQ(host.messages.size(), 2U);
}

TEST_P(SortFixture, FileOffsetsIgnoreTheTitlePageMark) {
    catalogue.appendRow(makeRow("x", "", "1235"));
    catalogue.appendRow(makeRow("y", "", "1234 "));
    catalogue.appendRow(makeRow("z", "", "99"));
    catalogue.sortByColumn(kColOffset);
    EXPECT_EQ(names(), (std::vector<std::string>{"z", "y", "x"}));
    EXPECT_TRUE(host.messages.empty());
    catalogue.appendRow(makeRow("w", "", "FAULT"));
    catalogue.appendRow(makeRow("v", "", ""));
    catalogue.sortByColumn(kColOffset);
    ASSERT_EQ(host.messages.size(), 1U);
    EXPECT_EQ(host.messages[0], "GeosDetails: Wrong Format in FileOffset String...");
    EXPECT_EQ(catalogue.rowCount(), 5);
}

TEST_P(SortFixture, TextsSortAlphabeticallyThenLowerBeforeUpper) {
    for (const char* n : {"\"Zebra\"", "\"apple\"", "\"Banana\"", "\"banana\"", "\"\xC3\x84pfel\"",
                          "\"10 Fonts\""}) {
        catalogue.appendRow(makeRow(n, "", "0"));
    }
    catalogue.sortByColumn(kColFileName);
    // Accents count after the letters: "Äpfel" comes before "apple".
    EXPECT_EQ(names(), (std::vector<std::string>{"\"10 Fonts\"", "\"\xC3\x84pfel\"", "\"apple\"",
                                                 "\"banana\"", "\"Banana\"", "\"Zebra\""}));
    catalogue.sortByColumn(kColFileName);
    EXPECT_EQ(names().front(), "\"Zebra\"");
    EXPECT_EQ(names().back(), "\"10 Fonts\"");
    // Another column starts ascending again.
    catalogue.sortByColumn(kColOffset);
    EXPECT_TRUE(catalogue.sortAscending());
    EXPECT_EQ(catalogue.sortColumn(), kColOffset);
}

TEST_P(SortFixture, ManyRowsWithJunkStayComplete) {
    // A quicksort or merge sort fed a comparison that calls junk equal to everything
    // must neither lose nor duplicate a row.
    for (int i = 0; i < 2000; ++i) {
        const std::string date =
            i % 7 == 0 ? "junk" : "01.01.19" + std::to_string(10 + i % 90) + " 00:00";
        catalogue.appendRow(makeRow(std::to_string(i), date, "0"));
    }
    catalogue.sortByColumn(kColDate);
    std::vector<int> seen;
    for (const std::string& n : names())
        seen.push_back(std::stoi(n));
    std::sort(seen.begin(), seen.end());
    for (int i = 0; i < 2000; ++i)
        ASSERT_EQ(seen[static_cast<std::size_t>(i)], i);
    EXPECT_EQ(host.messages.size(), 1U);
}

INSTANTIATE_TEST_SUITE_P(BothSorts, SortFixture, ::testing::Values(false, true),
                         [](const auto& p) { return p.param ? "OwnSort" : "ListSort"; });

TEST(GeosCatalogueSort, DescendingOrderOfEqualRows) {
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    const auto sorted = [&](bool ownSort, bool ascending) {
        GeosCatalogue c{options, dialogs};
        c.settings.ownSort = ownSort;
        for (const char* n : {"p", "q", "r", "s", "t"})
            c.appendRow(makeRow(n, "", "5"));
        c.appendRow(makeRow("low", "", "1"));
        c.sort(kColOffset, ascending);
        std::vector<std::string> v;
        for (const GeosDetailEntry& r : c.rows())
            v.push_back(r.text(kColFileName));
        return v;
    };
    // The list sorts equal rows stably in both directions.
    EXPECT_EQ(sorted(false, true), (std::vector<std::string>{"low", "p", "q", "r", "s", "t"}));
    EXPECT_EQ(sorted(false, false), (std::vector<std::string>{"p", "q", "r", "s", "t", "low"}));
    // The own sort reads its ascending result backwards.
    std::vector<std::string> up = sorted(true, true);
    EXPECT_EQ(up.front(), "low");
    std::reverse(up.begin(), up.end());
    EXPECT_EQ(sorted(true, false), up);
}

TEST_F(CatalogueFixture, DeleteClearAndCopy) {
    DiskBuilder d = disk();
    for (int i = 0; i < 4; ++i)
        d.addGeosSequential("F" + std::to_string(i), info(7, "C" + std::to_string(i)),
                            Bytes(10, 1));
    const std::string path = list(d);
    catalogue.sortByColumn(kColClass);

    const std::string copied = catalogue.clipboardText({2, 0});
    const std::string row0 = "\"F0\"\tDOC\tC0\tAuthor\tParent\tSome words\t00.00.2000 00:00\t" +
                             path + "\t" + row(0).text(kColOffset);
    const std::string row2 = "\"F2\"\tDOC\tC2\tAuthor\tParent\tSome words\t00.00.2000 00:00\t" +
                             path + "\t" + row(2).text(kColOffset);
    EXPECT_EQ(copied, row0 + kClipboardLineBreak + row2);

    catalogue.deleteRows({1, 3, 1, 99});
    EXPECT_EQ(column(kColFileName), (std::vector<std::string>{"\"F0\"", "\"F2\""}));
    EXPECT_EQ(catalogue.entryCounter(), 4);  // Delete does not lower it
    EXPECT_EQ(catalogue.sortColumn(), kColClass);

    catalogue.clear();
    EXPECT_EQ(catalogue.rowCount(), 0);
    EXPECT_EQ(catalogue.sortColumn(), -1);
    EXPECT_EQ(catalogue.entryCounter(), 0);
    EXPECT_EQ(catalogue.listedStatus(), "0 GEOS File(s) listed");
    EXPECT_EQ(GeosCatalogue::selectedStatus(0), "0 GEOS File(s) selected");
    // Icons outlive their rows.
    list(d);
    EXPECT_EQ(row(0).iconIndex, 0);
    EXPECT_EQ(catalogue.icons().size(), 1);
}

TEST_F(CatalogueFixture, EditingRespectsAllowEdit) {
    catalogue.appendRow(makeRow("a", "", "1"));
    for (int c = 0; c < kCatalogueColumnCount; ++c) {
        const bool guarded = c == kColFileType || c == kColImage || c == kColOffset;
        catalogue.settings.allowEdit = false;
        EXPECT_EQ(catalogue.canEdit(c), !guarded) << c;
        catalogue.settings.allowEdit = true;
        EXPECT_TRUE(catalogue.canEdit(c)) << c;
    }
    EXPECT_TRUE(catalogue.setCellText(0, kColDescription, std::string(300, 'x')));
    EXPECT_EQ(row(0).text(kColDescription).size(), 255U);
    EXPECT_FALSE(catalogue.setCellText(1, 0, "x"));
}

TEST(GeosCatalogueOpen, FirstMatchingRuleDecides) {
    struct Case {
        const char* type;
        const char* cls;
        OpenKind kind;
    };
    const Case cases[] = {
        {"DOC", "Write Image V2.1", OpenKind::GeoWrite},
        {"*DOC<", "write image", OpenKind::GeoWrite},
        {"DOC", "Paint Image V1.1", OpenKind::GeoPaint},
        {"FON", "Write Image", OpenKind::Font},
        {"SYS", "Photo Scrap V1.1", OpenKind::PhotoScrap},
        {"DOC", "Photo Scrap V1.1", OpenKind::Icon},
        {"DOC", "photo album V2.1", OpenKind::PhotoAlbum},
        {"DOC", "Some Class", OpenKind::Icon},
        {"APP", "Paint Image V1.1", OpenKind::Icon},
    };
    const auto exists = [](const std::string& p) { return p == "/disks/a.d64"; };
    for (const Case& c : cases) {
        GeosDetailEntry r;
        r.columns = {"\"NAME\"", c.type,         c.cls,  "Font ID : 5 -> Cory", "Sizes : 10 ", "",
                     "",         "/disks/a.d64", "4864 "};
        const OpenDecision d = decideOpen(r, exists);
        EXPECT_EQ(d.kind, c.kind) << c.type << " " << c.cls;
        EXPECT_EQ(d.fileOffset, 4864);
        EXPECT_EQ(d.offsetText, "4864 ");
        if (c.kind == OpenKind::Font) {
            EXPECT_EQ(d.fontCaption, "\"NAME\" Font ID : 5 -> Cory ; Sizes : 10 ");
        }
    }
    GeosDetailEntry r;
    r.columns = {"\"A\"", "DOC", "Photo Album V1.0", "", "", "", "", "/disks/a.d64", "256"};
    EXPECT_EQ(decideOpen(r, exists).albumVersion, 1);
    r.columns[kColClass] = "Photo Album V2.1";
    EXPECT_EQ(decideOpen(r, exists).albumVersion, 2);
    // Nothing opens without the image or a usable offset.
    for (const char* offset : {"FAULT", "", "12x"}) {
        r.columns[kColOffset] = offset;
        EXPECT_EQ(decideOpen(r, exists).kind, OpenKind::None) << offset;
    }
    r.columns[kColOffset] = "256";
    r.columns[kColImage] = "/disks/moved.d64";
    EXPECT_EQ(decideOpen(r, exists).kind, OpenKind::None);
}

TEST(GeosCatalogueSettings, LoadsEveryKeyAndWritesOnlyItsOwn) {
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    GeosCatalogue c{options, dialogs};
    EXPECT_FALSE(c.settingsLoaded());

    const IniFile ini = IniFile::parse(
        "[GeosDetails]\nOwnSort=1\nAllowEdit=1\nWidth=800\nHeight=600\n"
        "[Details]\n0=0\n4=1\n8=1\n"
        "[GEOS]\nPhotoAlbum fit=1\nSpaces between chars=0\nShowGrid=1\nGridColor=255\n"
        "Scraps newline=3\nOLE=2\nPagenumbers=0\nHeader=0\nFooter=0\nScale Image2.1=1\n"
        "PaperFormat A4=0\nShowTextPrintColors=1\nShowFontID=1\nUseFontTable=1\n"
        "[PrintText Color Palette]\n02 cyan=123\n06 green=456\n"
        "[FontTable]\n12 = Stadium ; big\n3=Roma\n");
    c.loadSettings(ini);
    const GeosCatalogueSettings& s = c.settings;
    EXPECT_TRUE(c.settingsLoaded());
    EXPECT_TRUE(s.ownSort);
    EXPECT_TRUE(s.allowEdit);
    EXPECT_EQ(s.width, 800);
    EXPECT_EQ(s.height, 600);
    EXPECT_EQ(s.columns, (ColumnFilter{false, true, true, true, true, true, true, true, true}));
    EXPECT_TRUE(s.photoAlbumFit);
    EXPECT_FALSE(s.spacesBetweenChars);
    EXPECT_TRUE(s.showGrid);
    EXPECT_EQ(s.gridColor, 255U);
    EXPECT_EQ(s.scrapsNewline, 3);
    EXPECT_EQ(s.ole, 2);
    EXPECT_FALSE(s.pageNumbers || s.header || s.footer || s.paperFormatA4);
    EXPECT_TRUE(s.scaleImage21 && s.showTextPrintColors && s.showFontId && s.useFontTable);
    EXPECT_EQ(s.printColours.entries[2].colour, 123U);
    EXPECT_EQ(s.printColours.entries[6].colour, 456U);
    EXPECT_EQ(s.printColours.entries[1].colour, 0xFF00FFU);
    ASSERT_TRUE(s.fontTable.present);
    EXPECT_EQ(s.fontTable.entries,
              (std::vector<std::pair<int, std::string>>{{3, "Roma"}, {12, "Stadium"}}));
    EXPECT_TRUE(host.messages.empty());

    IniFile out;
    c.saveSettings(out);
    for (const auto& [section, key] : std::vector<std::pair<std::string, std::string>>{
             {"GeosDetails", "OwnSort"}, {"GeosDetails", "AllowEdit"}, {"GEOS", "GridColor"}}) {
        EXPECT_FALSE(out.hasKey(section, key)) << key;
    }
    EXPECT_FALSE(out.hasSection("PrintText Color Palette"));
    EXPECT_FALSE(out.hasSection("FontTable"));
    EXPECT_EQ(out.readInt("GeosDetails", "Width", 0), 800);
    EXPECT_EQ(out.value("Details", "0"), "0");
    EXPECT_EQ(out.value("Details", "8"), "1");
    EXPECT_EQ(out.value("GEOS", "Scraps newline"), "3");
    EXPECT_EQ(out.value("GEOS", "UseFontTable"), "1");
    // What was saved loads back the same.
    GeosCatalogue again{options, dialogs};
    again.loadSettings(IniFile::parse(out.text()));
    EXPECT_EQ(again.settings.columns, s.columns);
    EXPECT_EQ(again.settings.ole, 2);
}

TEST(GeosCatalogueSettings, DefaultsAndTheFontTableRules) {
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    GeosCatalogue c{options, dialogs};
    // UseFontTable counts only when [FontTable] exists.
    c.loadSettings(IniFile::parse("[GEOS]\nUseFontTable=1\n"));
    EXPECT_FALSE(c.settings.useFontTable);
    EXPECT_FALSE(c.settings.fontTable.present);
    EXPECT_EQ(c.settings.columns, defaultColumnFilter());
    EXPECT_EQ(defaultColumnFilter(),
              (ColumnFilter{true, true, true, true, false, true, true, true, false}));
    EXPECT_EQ(c.settings.width, 741);
    EXPECT_EQ(c.settings.height, 576);
    EXPECT_EQ(c.settings.gridColor, 13160660U);

    c.loadSettings(IniFile::parse("[FontTable]\n1=University\nabc=Bad\n2=California\n"));
    EXPECT_TRUE(c.settings.fontTable.entries.empty());
    ASSERT_EQ(host.messages.size(), 1U);
    EXPECT_EQ(host.messages[0], "GeosDetails: Failed to parse FontID Table");
}

}  // namespace
}  // namespace qv
