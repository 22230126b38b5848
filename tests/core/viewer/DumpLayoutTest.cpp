#include "viewer/DumpLayout.h"

#include <gtest/gtest.h>

#include <vector>

#include "viewer/FileViewerState.h"

namespace qv {
namespace {

std::vector<std::uint8_t> counting(std::size_t n, std::uint8_t first = 0x41) {
    std::vector<std::uint8_t> v(n);
    for (std::size_t i = 0; i < n; ++i)
        v[i] = static_cast<std::uint8_t>(first + i);
    return v;
}

DumpOptions hexMode() {
    DumpOptions o;
    o.convertToChars = false;
    return o;
}

DumpOptions charMode(bool replaceReturn) {
    DumpOptions o;
    o.convertToChars = true;
    o.replaceReturn = replaceReturn;
    return o;
}

TEST(DumpLayout, RowCountsAndTheFilledUpLastRow) {
    struct Case {
        std::size_t bytes;
        std::size_t rows;
        std::string lastRow;
    };
    const Case cases[] = {
        {0, 0, ""},
        {3, 1, "00000  41 42 43 " + std::string(13 * 3, ' ') + " ABC" + std::string(13, ' ')},
        {16, 1, "00000  41 42 43 44 45 46 47 48 49 4A 4B 4C 4D 4E 4F 50  ABCDEFGHIJKLMNOP"},
        {32, 2, "00010  51 52 53 54 55 56 57 58 59 5A 5B 5C 5D 5E 5F 60  QRSTUVWXYZ[\\]^_`"},
        {33, 3, "00020  61 " + std::string(15 * 3, ' ') + " a" + std::string(15, ' ')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        const std::vector<DumpRow> rows = dumpRows(counting(c.bytes), hexMode());
        ASSERT_EQ(rows.size(), c.rows);
        if (c.rows > 0) {
            EXPECT_EQ(rows.back().text, c.lastRow);
            EXPECT_EQ(rows.back().text.size(), 72u);
        }
    }
}

TEST(DumpLayout, ControlBytesShowDotsAndTheScreenGetsEscapes) {
    const std::vector<std::uint8_t> bytes{0x00, 0x09, 0x0A, 0x0B, 0x0D, 0xFF, 0x01, 0x93};
    const std::vector<DumpRow> rows = dumpRows(bytes, hexMode());
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text.substr(56, 8), std::string("......\x01\x93"));
    // The screen's row: the same hex digits, the raw bytes with the two escape pairs.
    EXPECT_EQ(rows[0].screen.substr(0, 31), "00000  00 09 0A 0B 0D FF 01 93 ");
    EXPECT_EQ(rows[0].screen.substr(56, 11),
              std::string("\xFF\x80\x09\x0A\x0B\x0D\xFF\xDE\x01\x93 ", 11));
}

TEST(DumpLayout, ConversionsGoThroughTheMap) {
    DumpOptions o = hexMode();
    o.asciiMap[0x41] = 'z';
    o.convertHexToAscii = true;
    o.convertCharsToAscii = true;
    const std::vector<DumpRow> rows = dumpRows(std::vector<std::uint8_t>{0x41}, o);
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].text.substr(0, 10), "00000  7A ");
    EXPECT_EQ(rows[0].text[56], 'z');
    // The screen always shows the byte itself.
    EXPECT_EQ(rows[0].screen.substr(0, 10), "00000  41 ");
}

TEST(DumpLayout, CharacterModeWithAndWithoutReturnAsNewline) {
    const std::vector<std::uint8_t> bytes{'A', 0x0D, 'B', 0x0D};
    struct Case {
        bool replaceReturn;
        std::vector<std::string> lines;
    };
    const Case cases[] = {
        {false, {"A.B."}},
        {true, {"A", "B", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.replaceReturn);
        const std::vector<DumpRow> rows = dumpRows(bytes, charMode(c.replaceReturn));
        ASSERT_EQ(rows.size(), c.lines.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_EQ(rows[i].text, c.lines[i]);
    }
    // An empty file still gives its (empty) last line.
    EXPECT_EQ(dumpRows({}, charMode(false)).size(), 1u);
}

TEST(FileViewerState, GroupsAndFollowUpCommandsPerState) {
    struct Case {
        ViewerState state;
        ViewerGroups groups;
        ListAgain list;
        Rerun rerun;
        bool program;
    };
    const Case cases[] = {
        {ViewerState::Empty, {}, ListAgain::Nothing, Rerun::Nothing, false},
        {ViewerState::SingleBlock,
         {true, false, false, true},
         ListAgain::Nothing,
         Rerun::Nothing,
         false},
        {ViewerState::BamFile,
         {true, true, true, true},
         ListAgain::BlockMapFile,
         Rerun::ListAgain,
         true},
        {ViewerState::BamFileListed,
         {true, true, true, true},
         ListAgain::BlockMapFile,
         Rerun::Detokenize,
         true},
        {ViewerState::ImportedProgram,
         {true, true, true, true},
         ListAgain::ProgramImport,
         Rerun::ListAgain,
         true},
        {ViewerState::ImportedProgramListed,
         {true, true, true, true},
         ListAgain::ProgramImport,
         Rerun::Detokenize,
         true},
        {ViewerState::ImportedText,
         {false, false, true, true},
         ListAgain::TextImport,
         Rerun::ListAgain,
         false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.state));
        EXPECT_EQ(viewerGroups(c.state), c.groups);
        EXPECT_EQ(listAgainFor(c.state), c.list);
        EXPECT_EQ(rerunAfterColumnSwitch(c.state), c.rerun);
        EXPECT_EQ(canSaveProgram(c.state), c.program);
    }
}

}  // namespace
}  // namespace qv
