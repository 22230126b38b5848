#include "listing/ListingExport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "host/Dialogs.h"
#include "listing/ListingSave.h"
#include "support/RtfReader.h"
#include "support/RtfWriter.h"
#include "support/ScriptedDialogHost.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

using test::ScriptedDialogHost;
using test::TempDir;

// A listing with a box-drawing character (0xC4) and a section sign (0x15).
const std::string kListing = "0 \"DISK\xC4\x15\" QV 2A\r\n664 BLOCKS FREE.\r\n";

TEST(SaveAs, ThreeFormatsFromBufferOrImportedWindow) {
    RichDocument window;
    window.text = "IMPORTED\r\n";
    window.setColour(0, 8, 0x0000FF);
    SaveAsSource fromBuffer{true, kListing, false, "ignored\r\n", window};
    EXPECT_EQ(*saveAsBytes(SaveAsFormat::DosText, fromBuffer), kListing);
    const std::string ansi = *saveAsBytes(SaveAsFormat::WindowsText, fromBuffer);
    EXPECT_EQ(ansi.size(), kListing.size());
    EXPECT_EQ(static_cast<unsigned char>(ansi[7]), '-');    // box line as a dash
    EXPECT_EQ(static_cast<unsigned char>(ansi[8]), 0xA7u);  // section sign
    const std::optional<RichDocument> rich =
        readRtf(*saveAsBytes(SaveAsFormat::RichText, fromBuffer));
    ASSERT_TRUE(rich);
    EXPECT_EQ(rich->text, "IMPORTED\r\n");
    ASSERT_EQ(rich->ranges.size(), 1u);

    // With an imported file the window's text is written instead of the buffer.
    SaveAsSource imported{true, kListing, true, "WINDOW\r\n", window};
    EXPECT_EQ(*saveAsBytes(SaveAsFormat::DosText, imported), "WINDOW\r\n");
    EXPECT_EQ(*saveAsBytes(SaveAsFormat::WindowsText, imported), "WINDOW\r\n");
    // Nothing to save without a buffer and without an import.
    SaveAsSource nothing{false, {}, false, {}, {}};
    EXPECT_FALSE(saveAsBytes(SaveAsFormat::DosText, nothing));
    EXPECT_EQ(saveAsFormat(1), SaveAsFormat::WindowsText);
    EXPECT_EQ(saveAsFormat(2), SaveAsFormat::RichText);
    EXPECT_EQ(saveAsFormat(7), SaveAsFormat::DosText);
}

TEST(SaveAs, UnwritableTargetShowsErrorDialog) {
    TempDir tmp;
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    const std::string path = tmp.file("missing-folder/out.txt");
    SaveAsSource src{true, kListing, false, {}, {}};
    EXPECT_FALSE(saveListingAs(path, SaveAsFormat::DosText, src, {}, dialogs));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].caption, "MainForm: Error...");
    EXPECT_EQ(host.errors[0].message, "Error while creating Save File...");
    EXPECT_TRUE(saveListingAs(tmp.file("out.txt"), SaveAsFormat::DosText, src, {}, dialogs));
    EXPECT_EQ(test::readFile(tmp.file("out.txt")), kListing);
}

TEST(SaveAs, RichTextWithSymbolFontIsRepaired) {
    TempDir tmp;
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    SaveAsSource src{true, kListing, false, {}, {}};
    src.windowDocument.text = kListing;
    src.windowDocument.font.name = "Terminal";
    const RtfRepair repair{true, "Terminal", tmp.path()};
    ASSERT_TRUE(saveListingAs(tmp.file("l.rtf"), SaveAsFormat::RichText, src, repair, dialogs));
    EXPECT_NE(test::readFile(tmp.file("l.rtf")).find("\\fcharset2 Terminal;"), std::string::npos);
    EXPECT_TRUE(host.errors.empty());
}

TEST(Import, SizeQuestionAnswers) {
    TempDir tmp;
    const std::string text = "0123456789\r\nABCDEFGHIJ\r\n";
    const std::string txt = tmp.file("big.txt");
    ASSERT_TRUE(writeFileAtomically(txt, text));
    struct Case {
        MessageAnswer answer;
        ImportOutcome outcome;
        std::string shown;
    } cases[] = {{MessageAnswer::Yes, ImportOutcome::Loaded, "0123456"},
                 {MessageAnswer::No, ImportOutcome::Loaded, text},
                 {MessageAnswer::Cancel, ImportOutcome::Cancelled, ""}};
    for (const Case& c : cases) {
        ScriptedDialogHost host;
        host.messageAnswers.push_back(c.answer);
        const ImportResult r = importListing(txt, 7, host, tmp.path());
        EXPECT_EQ(r.outcome, c.outcome);
        EXPECT_EQ(r.document.text, c.shown);
        ASSERT_EQ(host.messages.size(), 1u);
        EXPECT_EQ(host.messages[0].rfind("Warning: Caution...the FileLength is greater than 0 "
                                         "Mbyte.\n",
                                         0),
                  0u);
        // The temporary copy is gone again.
        EXPECT_FALSE(std::filesystem::exists(tmp.file("__TempTXT.TXT")));
    }
    // A file within the limit is read without a question; a missing one fails.
    ScriptedDialogHost host;
    EXPECT_EQ(importListing(txt, 1000, host, tmp.path()).document.text, text);
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(importListing(tmp.file("none.txt"), 1000, host, tmp.path()).outcome,
              ImportOutcome::Failed);
}

TEST(Import, TruncatedRichTextStillReads) {
    TempDir tmp;
    RichDocument doc;
    doc.text = "HEADER LINE\r\nSECOND LINE\r\n";
    doc.setColour(0, 11, 0x0000FF);
    const std::string rtf = writeRtf(doc);
    ASSERT_TRUE(writeFileAtomically(tmp.file("l.rtf"), rtf));
    ScriptedDialogHost host;
    host.messageAnswers.push_back(MessageAnswer::Yes);
    const std::size_t cut = rtf.find("SECOND") + 3;
    const ImportResult r = importListing(tmp.file("l.rtf"), cut, host, tmp.path());
    ASSERT_EQ(r.outcome, ImportOutcome::Loaded);
    EXPECT_EQ(r.document.text.substr(0, 16), "HEADER LINE\r\nSEC");
    EXPECT_FALSE(std::filesystem::exists(tmp.file("__TempRTF.RTF")));
}

TEST(Import, WhatIsNoListingFails) {
    TempDir tmp;
    ScriptedDialogHost host;
    const std::string program = tmp.file("prog.prg");
    ASSERT_TRUE(writeFileAtomically(program, std::string("\x01\x08\x0b\x08\x0a\x00\x99", 7)));
    for (const std::string& path : {program, tmp.file("missing.txt"), tmp.path()}) {
        EXPECT_EQ(importListing(path, 1000, host, tmp.path()).outcome, ImportOutcome::Failed)
            << path;
    }
}

TEST(SaveAs, SomethingToSaveOnlyWithText) {
    struct Case {
        SaveAsSource source;
        bool expected;
    };
    const Case cases[] = {
        {{true, kListing, false, "", {}}, true},
        {{true, "", false, "", {}}, false},  // listed nothing, or cleared
        {{false, "", false, "", {}}, false},
        // An imported window counts with its own text, not the buffer's.
        {{true, "", true, "WINDOW\r\n", {}}, true},
        {{true, kListing, true, "", {}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.source.buffer) + "|" + c.source.windowPlainText);
        EXPECT_EQ(hasSomethingToSave(c.source), c.expected);
    }
}

}  // namespace
}  // namespace qv
