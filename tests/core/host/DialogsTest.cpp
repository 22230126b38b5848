#include "host/Dialogs.h"

#include <gtest/gtest.h>

#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::ScriptedDialogHost;

TEST(QuestionDialog, ModesHaveTheirCaptionsAndButtons) {
    const struct {
        QuestionMode mode;
        const char* caption;
        std::vector<std::pair<std::string, int>> buttons;
    } cases[] = {
        {QuestionMode::NameExists,
         "File Name Exists...",
         {{"Overwrite", 1}, {"Append", 6}, {"Other Name", 7}, {"Cancel", 2}}},
        {QuestionMode::AutoRename,
         "File Name Exists...",
         {{"Overwrite", 1}, {"Auto Rename", 6}, {"Other Name", 7}, {"Cancel", 2}}},
        {QuestionMode::Crosslink,
         "Crosslinked Entry...",
         {{"List Anyway", 1}, {"Abort", 2}, {"Cancel All", 3}}},
        {QuestionMode::UnsupportedSize, "Unsupported Filesize...", {{"OK", 1}, {"Cancel All", 2}}},
        {QuestionMode::WrongExtension, "Wrong File Extension...", {{"OK", 1}, {"Cancel All", 2}}},
        {QuestionMode::ExtendedBam,
         "Extended BAM could not be detected...",
         {{"OK", 1}, {"Cancel", 2}, {"Cancel All", 3}}},
        {QuestionMode::OldSettingsFile,
         "Old Ini File detected...",
         {{"Copy", 1}, {"Move", 6}, {"Delete", 7}, {"Cancel", 2}}},
    };
    for (const auto& c : cases) {
        const QuestionSpec& form = questionSpec(c.mode);
        EXPECT_EQ(form.caption, c.caption);
        ASSERT_EQ(form.buttons.size(), c.buttons.size()) << c.caption;
        for (std::size_t i = 0; i < c.buttons.size(); ++i) {
            EXPECT_EQ(form.buttons[i].text, c.buttons[i].first);
            EXPECT_EQ(form.buttons[i].result, c.buttons[i].second);
        }
    }
    EXPECT_FALSE(questionSpec(QuestionMode::OldSettingsFile).hasDontAskBox);
    EXPECT_EQ(questionSpec(QuestionMode::WrongExtension).extensions,
              (std::vector<std::string>{"*.D64", "*.*D64", "*.D64*", "*.*D64*", "*.*"}));
    EXPECT_EQ(questionSpec(QuestionMode::ExtendedBam).message,
              "The Extended BAM could not be detected. Handle this Image as:");
}

TEST(QuestionDialog, DontAskAgainReusesTheLastAnswerPerMode) {
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    host.questionAnswers = {{1, 4, false, true}};
    EXPECT_EQ(dialogs.ask(QuestionMode::WrongExtension, "a.prg").choice, 4);
    // Not asked again: the last answer with its chosen pattern stands.
    const QuestionReply again = dialogs.ask(QuestionMode::WrongExtension, "b.txt");
    EXPECT_EQ(again.result, 1);
    EXPECT_EQ(again.choice, 4);
    EXPECT_EQ(host.questions.size(), 1u);
    // Another mode keeps its own memory and is asked.
    dialogs.ask(QuestionMode::UnsupportedSize, "c.d64");
    EXPECT_EQ(host.questions.size(), 2u);
}

TEST(QuestionDialog, ResultThreeUnticksTheBox) {
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    host.questionAnswers = {{3, 1, false, true}, {1, 2, false, true}};
    EXPECT_EQ(dialogs.ask(QuestionMode::ExtendedBam, "a.d64").result, 3);
    EXPECT_FALSE(dialogs.memory(QuestionMode::ExtendedBam).dontAsk);
    EXPECT_EQ(dialogs.ask(QuestionMode::ExtendedBam, "b.d64").choice, 2);
    EXPECT_EQ(host.questions.size(), 2u);
    // Mode 4's "Cancel All" is result 2: with the box ticked it stands again.
    host.questionAnswers = {{2, 0, false, true}};
    dialogs.ask(QuestionMode::UnsupportedSize, "c.d64");
    EXPECT_EQ(dialogs.ask(QuestionMode::UnsupportedSize, "d.d64").result, 2);
    EXPECT_EQ(host.questions.size(), 3u);
}

TEST(QuestionDialog, PresetsAndOldSettingsFileHasNoMemory) {
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    dialogs.ask(QuestionMode::ExtendedBam, "x.d64");
    EXPECT_EQ(host.questions.back().preset.choice, 1);  // "Original" chosen
    dialogs.ask(QuestionMode::WrongExtension, "x.prg");
    EXPECT_EQ(host.questions.back().preset.choice, 0);  // first pattern chosen
    host.questionAnswers = {{6, 0, false, true}};
    dialogs.ask(QuestionMode::OldSettingsFile, "old.ini", "text");
    dialogs.ask(QuestionMode::OldSettingsFile, "old.ini", "text");
    EXPECT_EQ(host.questions.size(), 4u);
    EXPECT_EQ(host.questions.back().message, "text");
}

TEST(ErrorDialog, FlagWordShapesButtonsAndCaption) {
    struct Case {
        int flags;
        std::vector<std::string> buttons;
        std::vector<int> x;
        const char* captionEnd;
        bool line2;
    };
    const Case cases[] = {
        {0, {"Continue", "Abort File", "Abort Image"}, {6, 126, 246}, ": Error in File...", true},
        {1, {"Continue", "Abort Row", "Abort File"}, {6, 126, 246}, ": Error in File...", true},
        {2, {"Continue", "Abort File"}, {66, 186}, ": Error in File...", true},
        {3, {"Continue", "Abort Row"}, {66, 186}, ": Error in File...", true},
        {4, {"Continue", "Abort Image"}, {66, 186}, ": Error in File...", true},
        {24, {"OK"}, {126}, ": Error in File...", false},
        {280, {"OK"}, {126}, ": Error...", false},
    };
    for (const Case& c : cases) {
        const ErrorLayout l = errorLayout("MainForm", "a", "b", "msg", c.flags);
        EXPECT_EQ(l.caption, std::string("MainForm") + c.captionEnd) << c.flags;
        EXPECT_EQ(l.showLine2, c.line2) << c.flags;
        ASSERT_EQ(l.buttons.size(), c.buttons.size()) << c.flags;
        for (std::size_t i = 0; i < c.buttons.size(); ++i) {
            EXPECT_EQ(l.buttons[i].text, c.buttons[i]) << c.flags;
            EXPECT_EQ(l.buttons[i].x, c.x[i]) << c.flags;
        }
    }
    EXPECT_EQ(errorLayout("M", "", "", "", 16).topHeight, 40);
    EXPECT_TRUE(errorLayout("M", "", "", "", 32).line1ErrorFont);
    EXPECT_TRUE(errorLayout("M", "", "", "", 64).line2ErrorFont);
}

TEST(ErrorDialog, FlagFourCountsAClosedWindowAsAbortImage) {
    ScriptedDialogHost host;
    Dialogs dialogs(host);
    host.errorAnswers = {2, 1, 2};
    EXPECT_EQ(dialogs.showError("GeoPaint", "img", "file", "msg", 4), 3);
    EXPECT_EQ(dialogs.showError("GeoPaint", "img", "file", "msg", 4), 1);
    EXPECT_EQ(dialogs.showError("GeoPaint", "img", "file", "msg", 0), 2);
    // Escape on the three-button dialog gives "Abort File", the default button.
    EXPECT_EQ(dialogs.showError("GeoPaint", "img", "file", "msg", 0), 2);
}

}  // namespace
}  // namespace qv
