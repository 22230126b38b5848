#include "viewer/Detokenizer.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "core/viewer/ViewerFakes.h"
#include "viewer/StartAddresses.h"

namespace qv {
namespace {

using test::cat;
using test::Prg;
using test::str;
using Bytes = std::vector<std::uint8_t>;

// The full default table, as the file viewer has it when it detokenizes.
class DetokenizerTest : public ::testing::Test {
  protected:
    DetokenizerTest() : table(&host.dialogs), dialogs(host) {
        table.fillDefaultTable(true);
        table.rebuildTokenIndex(0, true);
        options.convertCharsToAscii = false;
    }

    DetokenizeResult run(const Bytes& file) {
        Detokenizer d(table, addresses, options);
        d.setDialogs(&dialogs);
        d.setScreen(&screen);
        return d.detokenize(file, "PROGRAM");
    }

    // The mode list position of a dialect, for manual mode.
    void chooseMode(const std::string& name) {
        options.autodetect = false;
        const auto& modes = table.modeList();
        options.modeIndex =
            static_cast<int>(std::find(modes.begin(), modes.end(), name) - modes.begin());
    }

    test::ScriptedHost host;
    TokenTable table;
    Dialogs dialogs;
    StartAddresses addresses;
    DetokenizeOptions options;
    test::RecordingScreen screen;
};

TEST_F(DetokenizerTest, SixteenByteProgram) {
    const Bytes file = {0x01, 0x08, 0x0D, 0x08, 0x0A, 0x00, 0x99, 0x22,
                        0x11, 0x11, 0x48, 0x49, 0x22, 0x00, 0x00, 0x00};
    const DetokenizeResult r = run(file);
    EXPECT_EQ(r.result, 0);
    EXPECT_TRUE(r.textSet);
    EXPECT_EQ(r.text, "10 PRINT\"{DOWN*2}HI\"\r\n");
    ASSERT_EQ(r.colours.size(), 2u);
    EXPECT_EQ(r.colours[0].offset, 3u);
    EXPECT_EQ(r.colours[0].length, 5u);
    EXPECT_EQ(r.colours[0].colour, 2);
    EXPECT_EQ(r.colours[1].offset, 9u);
    EXPECT_EQ(r.colours[1].length, 8u);
    EXPECT_EQ(r.colours[1].colour, 1);
    EXPECT_TRUE(host.errors.empty());
    EXPECT_EQ(r.statusName, "BASIC V2");
    EXPECT_EQ(r.defaultColour, table.tokenColours[0]);
    ASSERT_EQ(screen.lines.size(), 1u);
    EXPECT_EQ(screen.lines[0], "10 PRINT\"\x11\x11HI\"");
    EXPECT_FALSE(screen.lastEscapes);
}

// The editor and the file viewer share the table: a detokenizer that has served a
// run sees an edit made afterwards in its next run.
TEST_F(DetokenizerTest, AnEditedTableIsSeenByTheNextRun) {
    const Bytes file = {0x01, 0x08, 0x07, 0x08, 0x0A, 0x00, 0x99, 0x00, 0x00, 0x00};
    Detokenizer d(table, addresses, options);
    EXPECT_EQ(d.detokenize(file, "P").text, "10 PRINT\r\n");
    const auto before = table.revision();
    const int row = *table.findToken(table.basicV2Set(), 0x99);
    table.setCell(table.basicV2Set() + 1, row, "SHOW");
    EXPECT_NE(table.revision(), before);
    EXPECT_EQ(d.detokenize(file, "P").text, "10 SHOW\r\n");
}

TEST_F(DetokenizerTest, StringsAndSpecialCharacters) {
    CharMap lowerLetters = identityCharMap();
    for (int c = 'A'; c <= 'Z'; ++c)
        lowerLetters[static_cast<std::size_t>(c)] = static_cast<std::uint8_t>(c + 32);
    struct Case {
        const char* what;
        Bytes content;
        bool upperLower;
        bool translate;
        bool ascii;
        std::string expected;
    } cases[] = {
        {"hello", cat({{0x99}, str("\"HELLO\"")}), false, true, false, "10 PRINT\"HELLO\""},
        {"hello lower", cat({{0x99}, str("\"HELLO\"")}), true, true, false, "10 print\"HELLO\""},
        {"hello ascii", cat({{0x99}, str("\"HELLO\"")}), true, true, true, "10 print\"hello\""},
        {"down*3", cat({{0x99, 0x22, 0x11, 0x11, 0x11, 0x22}}), false, true, false,
         "10 PRINT\"{DOWN*3}\""},
        {"raw downs", cat({{0x99, 0x22, 0x11, 0x11, 0x11, 0x22}}), false, false, false,
         "10 PRINT\"\x11\x11\x11\""},
        {"one blank", str("\"A B\""), false, true, false, "10 \"A B\""},
        {"two blanks", str("\"A  B\""), false, true, false, "10 \"A{SPACE*2}B\""},
        {"two blanks lower", str("\"A  B\""), true, true, false, "10 \"A{space*2}B\""},
        {"shift return", Bytes{0x22, 0x8D, 0x22}, false, true, false, "10 \"{SHIFT RETURN}\""},
        {"pi", Bytes{0xFF}, false, true, false, "10 {PI}"},
        {"pi lower", Bytes{0xFF}, true, true, false, "10 {pi}"},
        {"token bytes in quotes", Bytes{0x22, 0xA7, 0x22, 0x99}, false, true, false,
         "10 \"\xA7\"PRINT"},
        {"no blank after keyword", cat({{0x8F}, str("X")}), false, true, false, "10 REMX"},
        {"controls outside quotes", Bytes{0x11}, false, true, false, "10 \x11"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        options.upperLower = c.upperLower;
        options.translateSpecialchars = c.translate;
        options.convertCharsToAscii = c.ascii;
        options.asciiMap = lowerLetters;
        const DetokenizeResult r = run(Prg(0x0801).line(10, c.content).bytes());
        EXPECT_EQ(r.text, c.expected + "\r\n");
    }
}

TEST_F(DetokenizerTest, OneProgramPerDialect) {
    struct Case {
        const char* mode;  // empty: autodetect
        int load;
        Bytes content;
        std::string expected;
    } cases[] = {
        {"", 0x0801, {0x8B, 'A', 0xB2, '1', 0xA7, 0x99, 0xCC}, "IFA=1THENPRINT\xCC"},
        {"", 0x1001, {0x8B, 'A', 0xA7, 0x99, ':', 0xD5, 0xFD}, "IFATHENPRINT:ELSEWHILE"},
        {"",
         0x1C01,
         {0xFE, 0x02, 0xCE, 0x02, 0xCE, 0x7F, 0xFE, 0x25, 0xCC},
         "BANKPOTRLUM\x7F"
         "FASTRGR"},
        {"BASIC V7.1", 0x1C01, {0xFE, 0x27, 0xFE, 0x02, 0x99}, "CWINDBANKPRINT"},
        {"BASIC V10",
         0x2001,
         {0xCE, 0xE3, 0xFE, 0x3D, 0xFE, 0x27, 0xCE, 0x02},
         "PASTEHIGHLIGHTTYPEPOT"},
        {"Simons BASIC", 0x0801, {0x64, 0x01, 0x64, 0x22, 0x99, 0x64}, "HIRES>>PRINT\x64"},
        {"TSB", 0x0801, {0x64, 0x22, 0x64, 0x54, 0x64, 0x01}, "DOD!HIRES"},
        {"Final Cardridge 3",
         0x0801,
         {0xCC, 0xE8, 0xE9, 0x80},
         "OFFMWRITE\xE9"
         "END"},
        {"Graphics 52", 0x0801, {0xFE, 0xCC, 0x99}, "POINT(SCREENPRINT"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + std::to_string(c.load));
        if (*c.mode) {
            chooseMode(c.mode);
        } else {
            options.autodetect = true;
        }
        const DetokenizeResult r = run(Prg(c.load).line(10, c.content).bytes());
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.text, "10 " + c.expected + "\r\n");
        EXPECT_TRUE(host.errors.empty());
    }
}

TEST_F(DetokenizerTest, ModeSelection) {
    const Bytes body = {0x99};
    struct Case {
        const char* mode;
        int load;
        bool ignore;
        int result;
        std::string statusOrText;
    } cases[] = {
        {"", 0x0801, false, 0, "BASIC V2"},
        {"", 0x1C01, false, 0, "BASIC V7"},
        {"", 0x1001, false, 0, "BASIC V3.5"},
        {"", 0x132D, false, 1, "Wrong format...unknown or unsupported BASIC startaddress"},
        {"", 0x2C01, false, 1, "Wrong format...unknown or unsupported BASIC startaddress"},
        {"Simons BASIC", 0x0801, false, 0, "Simons BASIC"},
        {"Simons BASIC", 0x1001, false, 0, "Simons BASIC"},
        {"Simons BASIC", 0x1C01, false, 1,
         "Wrong format...invalid BASIC startaddress for mode: Simons BASIC"},
        {"Simons BASIC", 0x1C01, true, 0, "Simons BASIC"},
        {"BASIC V7", 0x0801, false, 1,
         "Wrong format...invalid BASIC startaddress for mode: BASIC V7"},
        {"BASIC V10", 0x132D, false, 0, "BASIC V10"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.mode) + " " + std::to_string(c.load));
        options.autodetect = *c.mode == 0;
        if (*c.mode)
            chooseMode(c.mode);
        options.ignoreStartaddress = c.ignore;
        const DetokenizeResult r = run(Prg(c.load).line(10, body).bytes());
        EXPECT_EQ(r.result, c.result);
        EXPECT_TRUE(r.textSet);
        if (c.result == 0) {
            EXPECT_EQ(r.statusName, c.statusOrText);
        } else {
            EXPECT_EQ(r.text, c.statusOrText);
            EXPECT_EQ(r.statusName, "");
        }
    }
    EXPECT_TRUE(host.messages.empty());

    // A mode whose first tokenset has Type 0 takes any address; one whose Type is no
    // number fails while the link tables are made; a mode that is gone fails quietly.
    chooseMode("TSB");
    table.setCell(19, tokenrow::Type, "0");
    EXPECT_EQ(run(Prg(0x1C01).line(10, body).bytes()).result, 0);
    table.setCell(19, tokenrow::Type, "x");
    DetokenizeResult r = run(Prg(0x0801).line(10, body).bytes());
    EXPECT_EQ(r.result, 1);
    EXPECT_FALSE(r.textSet);
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages[0], "Detokenize: Error while creating LinkTables...aborted");
    options.modeIndex = 40;
    r = run(Prg(0x0801).line(10, body).bytes());
    EXPECT_EQ(r.result, 1);
    EXPECT_EQ(host.messages.back(), "TokenTable: ItemIndex 40 not found...Can't detokenize!");
}

TEST_F(DetokenizerTest, CommentsAndColours) {
    // REM is coloured 15; a keyword after it gets its own colour.
    DetokenizeResult r = run(
        Prg(0x0801).line(10, cat({{0x8F}, str(" "), {0x99}})).line(20, Bytes{0xFE, 0x02}).bytes());
    EXPECT_EQ(r.text, "10 REM PRINT\r\n20 \xFE\x02\r\n");
    ASSERT_EQ(r.colours.size(), 2u);
    EXPECT_EQ(r.colours[0].offset, 3u);
    EXPECT_EQ(r.colours[0].colour, 15);
    EXPECT_EQ(r.colours[1].offset, 7u);
    EXPECT_EQ(r.colours[1].colour, 2);

    // Offsets count the line breaks of earlier lines as two characters.
    options.autodetect = false;
    chooseMode("BASIC V7");
    options.ignoreStartaddress = true;
    r = run(Prg(0x0801).line(10, Bytes{0x99}).line(20, Bytes{0xFE, 0x02}).bytes());
    EXPECT_EQ(r.text, "10 PRINT\r\n20 BANK\r\n");
    ASSERT_EQ(r.colours.size(), 2u);
    EXPECT_EQ(r.colours[1].offset, 13u);
    EXPECT_EQ(r.colours[1].length, 4u);
    EXPECT_EQ(r.colours[1].colour, 4);
    EXPECT_EQ(r.text.substr(13, 4), "BANK");

    // Without syntax highlighting there are no records and the text is black.
    options.syntaxHighlighting = false;
    r = run(Prg(0x0801).line(10, Bytes{0x99}).bytes());
    EXPECT_TRUE(r.colours.empty());
    EXPECT_EQ(r.defaultColour, 0u);
    options.syntaxHighlighting = true;

    // Detok Comment "0": after the comment keyword bytes are characters, with special
    // characters translated as inside quotes.
    options.autodetect = true;
    table.setCell(3, tokenrow::DetokComment, "0");
    r = run(
        Prg(0x0801).line(10, Bytes{0x8F, 0xA7, 0x11, 0x11, 0x41}).line(20, Bytes{0x99}).bytes());
    EXPECT_EQ(r.text, "10 REM\xA7{DOWN*2}A\r\n20 PRINT\r\n");
    ASSERT_EQ(r.colours.size(), 3u);
    EXPECT_EQ(r.colours[0].colour, 15);
    EXPECT_EQ(r.colours[1].colour, 1);  // {DOWN*2}
    EXPECT_EQ(r.colours[2].colour, 2);  // PRINT on the next line: comment mode reset

    // A Color cell that is no index 0-15 colours nothing.
    table.setCell(3, tokenrow::Color, "16");
    r = run(Prg(0x0801).line(10, Bytes{0x99}).bytes());
    EXPECT_TRUE(r.colours.empty());
}

TEST_F(DetokenizerTest, LineLengthLimitAndEndOfFile) {
    // 300 content bytes: the line stops after 255 and the listing goes on out of step.
    host.errorAnswers = {2};
    DetokenizeResult r = run(Prg(0x0801).line(10, Bytes(300, 'A')).bytes());
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.text, "10 " + std::string(255, 'A') + "\r\n");
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].caption, "Detokenize: Error in File...");
    EXPECT_EQ(host.errors[0].line1, "PROGRAM");
    EXPECT_EQ(host.errors[0].message, "Rowlength greater than filesize\nContinue?");
    ASSERT_EQ(host.errors[0].buttons.size(), 2u);
    EXPECT_EQ(host.errors[0].buttons[0].text, "Continue");
    EXPECT_EQ(host.errors[0].buttons[1].text, "Abort File");

    // A file ending inside a line: the partial line, its last byte once.
    struct Case {
        Bytes tail;
        std::string expected;
    } cases[] = {
        {Bytes{0x99, 0x22, 0x41}, "10 PRINT\"A"},
        {Bytes{0x99, 0x41}, "10 PRINTA"},
        {Bytes{0x41, 0x99}, "10 APRINT"},
        {Bytes{0x22, 0x11, 0x11}, "10 \"{DOWN*2}"},
        {Bytes{0xFE}, "10 {PI}"},
        {Bytes{}, "10 "},
    };
    for (const Case& c : cases) {
        Bytes file = {0x01, 0x08, 0x20, 0x08, 0x0A, 0x00};
        file.insert(file.end(), c.tail.begin(), c.tail.end());
        if (c.tail == Bytes{0xFE})
            file.back() = 0xFF;
        host.errors.clear();
        host.errorAnswers.clear();
        r = run(file);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.text, c.expected + "\r\n");
    }

    // First link 0, and files of 0, 1 and 2 bytes.
    r = run(Bytes{0x01, 0x08, 0x00, 0x00, 0x0A, 0x00, 0x99, 0x00});
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.text, "");
    for (const Bytes& tiny : {Bytes{}, Bytes{0x01}, Bytes{0x01, 0x08}}) {
        options.autodetect = true;
        r = run(tiny);
        EXPECT_EQ(r.result, tiny.size() == 2 ? 0 : 1);
        options.autodetect = false;
        options.ignoreStartaddress = true;
        options.modeIndex = 0;
        r = run(tiny);
        EXPECT_EQ(r.result, 0);
        EXPECT_EQ(r.text, "");
    }
}

TEST_F(DetokenizerTest, MissingZeroByteQuestion) {
    // Line 10 holds five bytes, but its link says two.
    auto file = [] {
        Bytes f = {0x01, 0x08, 0x08, 0x08, 0x0A, 0x00, 'A', 'B', 'C', 'D', 'E', 0x00};
        const Bytes next = {0x12, 0x08, 0x14, 0x00, 0x99, 0x00, 0x00, 0x00};
        f.insert(f.end(), next.begin(), next.end());
        return f;
    };
    host.errorAnswers = {1};
    DetokenizeResult r = run(file());
    EXPECT_EQ(r.text, "10 ABCDE\r\n20 PRINT\r\n");
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message,
              "The for this row (10) specified length (2 chars) is reached but there are still "
              "valid chars behind.\nTry to read them?");
    ASSERT_EQ(host.errors[0].buttons.size(), 3u);
    EXPECT_EQ(host.errors[0].buttons[0].text, "Continue");
    EXPECT_EQ(host.errors[0].buttons[1].text, "Abort Row");
    EXPECT_EQ(host.errors[0].buttons[2].text, "Abort File");

    host.errors.clear();
    host.errorAnswers = {3};
    r = run(file());
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.text, "10 AB\r\n");

    // Abort Row: the next link is read where the line was left ("DE" and the 0 byte).
    host.errors.clear();
    host.errorAnswers = {2, 2};
    r = run(file());
    EXPECT_EQ(r.text.substr(0, 7), "10 AB\r\n");
    EXPECT_EQ(host.errors.size(), 2u);  // the link "DE" is far beyond the file
}

TEST_F(DetokenizerTest, AbortFlagEndsTheLoopAfterTheCurrentLine) {
    bool abort = false;
    int lines = 0;
    Detokenizer d(table, addresses, options);
    d.setAbortFlag(&abort);
    d.setPendingInput([&] {
        if (++lines == 2)
            abort = true;
    });
    const DetokenizeResult r =
        d.detokenize(Prg(0x0801).line(1, {0x99}).line(2, {0x99}).line(3, {0x99}).bytes(), "P");
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.text, "1 PRINT\r\n2 PRINT\r\n");
    EXPECT_FALSE(abort);  // cleared when the loop ends
}

TEST_F(DetokenizerTest, BrokenTablesDoNotBreakTheRun) {
    // An empty special-characters tokenset and an empty mode tokenset match nothing.
    table.setCell(1, 8, "");
    table.setCell(23, 8, "");
    table.setCell(23, tokenrow::Prefix, "junk");
    table.rebuildTokenIndex(0, true);
    chooseMode("Graphics 52");
    const DetokenizeResult r = run(Prg(0x0801).line(10, {0x99, 0x22, 0x11, 0x22, 0xCC}).bytes());
    EXPECT_EQ(r.result, 0);
    EXPECT_EQ(r.text, "10 PRINT\"\x11\"\xCC\r\n");
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(DetokenizerTest, RandomProgramsNeverBreakIt) {
    std::mt19937 rng(0x5EED);
    const char* modes[] = {"", "BASIC V7", "BASIC V10", "Simons BASIC", "Final Cardridge 3"};
    // One detokenizer per combination of options, each serving many programs.
    std::vector<std::unique_ptr<Detokenizer>> detokenizers;
    for (const char* mode : modes) {
        for (const bool upperLower : {false, true}) {
            for (const bool translate : {false, true}) {
                options.autodetect = *mode == 0;
                if (*mode)
                    chooseMode(mode);
                options.ignoreStartaddress = true;
                options.upperLower = upperLower;
                options.translateSpecialchars = translate;
                detokenizers.push_back(std::make_unique<Detokenizer>(table, addresses, options));
                detokenizers.back()->setDialogs(&dialogs);
            }
        }
    }
    int listed = 0;
    for (int i = 0; i < 4000; ++i) {
        Bytes file;
        const int kind = static_cast<int>(rng() % 4);
        if (kind == 0) {
            // Random bytes after a valid load address.
            file = {0x01, 0x08};
            const std::size_t n = rng() % 600;
            for (std::size_t k = 0; k < n; ++k)
                file.push_back(static_cast<std::uint8_t>(rng()));
        } else {
            // A real program with some bytes changed or cut off.
            Prg p(0x0801);
            const int lines = 1 + static_cast<int>(rng() % 8);
            for (int l = 0; l < lines; ++l) {
                Bytes content(rng() % 40);
                for (auto& b : content)
                    b = static_cast<std::uint8_t>(1 + rng() % 255);
                p.line(l * 10, content);
            }
            file = p.bytes();
            const int flips = static_cast<int>(rng() % 4);
            for (int f = 0; f < flips; ++f) {
                file[2 + rng() % (file.size() - 2)] = static_cast<std::uint8_t>(rng());
            }
            if (kind == 3)
                file.resize(rng() % file.size());
        }
        Detokenizer& d = *detokenizers[rng() % detokenizers.size()];
        host.errorAnswers.clear();
        for (int a = 0; a < 8; ++a)
            host.errorAnswers.push_back(1 + static_cast<int>(rng() % 3));
        const DetokenizeResult r = d.detokenize(file, "RANDOM");
        ASSERT_TRUE(r.result == 0 || r.result == 1);
        if (r.result != 0)
            continue;
        ++listed;
        ASSERT_LE(r.lines, static_cast<int>(file.size()));
        if (!r.text.empty()) {
            ASSERT_EQ(r.text.substr(r.text.size() - 2), "\r\n");
        }
        for (const ColourRecord& c : r.colours) {
            ASSERT_LE(c.offset + c.length, r.text.size());
            ASSERT_GE(c.colour, 0);
            ASSERT_LE(c.colour, 15);
        }
    }
    EXPECT_GT(listed, 1000);
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace qv
