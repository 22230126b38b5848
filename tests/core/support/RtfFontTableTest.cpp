#include "support/RtfFontTable.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "host/Dialogs.h"
#include "support/RtfWriter.h"

namespace qv {
namespace {

struct RepairCase {
    const char* what;
    std::string in;
    std::string out;
};

TEST(RepairRtfFontTable, RewritesTheListingFontEntry) {
    const std::string head = "{\\rtf1\\ansi\\deff0";
    const std::string tail = "\r\n\\viewkind4\\pard\\f0 x\\par}";
    const RepairCase cases[] = {
        {"charset digit replaced", head + "{\\fonttbl{\\f0\\fmodern\\fcharset0 Terminal;}}" + tail,
         head + "{\\fonttbl{\\f0\\fmodern\\fcharset2 Terminal;}}" + tail},
        {"a longer charset number is replaced whole",
         head + "{\\fonttbl{\\f0\\fcharset255 Terminal;}}" + tail,
         head + "{\\fonttbl{\\f0\\fcharset2 Terminal;}}" + tail},
        {"charset inserted before the blank", head + "{\\fonttbl{\\f0\\fnil Terminal;}}" + tail,
         head + "{\\fonttbl{\\f0\\fnil\\fcharset2 Terminal;}}" + tail},
        {"other fonts kept, text between entries dropped",
         head + "{\\fonttbl{\\f0\\fcharset0 Arial;}\r\n{\\f1\\fcharset1 Terminal;}}" + tail,
         head + "{\\fonttbl{\\f0\\fcharset0 Arial;}{\\f1\\fcharset2 Terminal;}}" + tail},
        {"nested groups inside an entry",
         head + "{\\fonttbl{\\f0{\\*\\panose 02}\\fcharset0 Terminal;}}" + tail,
         head + "{\\fonttbl{\\f0{\\*\\panose 02}\\fcharset2 Terminal;}}" + tail},
        {"a name that only starts like the font stays",
         head + "{\\fonttbl{\\f0\\fcharset0 Terminal Bold;}}" + tail,
         head + "{\\fonttbl{\\f0\\fcharset0 Terminal Bold;}}" + tail},
    };
    for (const auto& c : cases) {
        const auto out = repairRtfFontTableText(c.in, "Terminal");
        ASSERT_TRUE(out) << c.what;
        EXPECT_EQ(*out, c.out) << c.what;
    }
}

TEST(RepairRtfFontTable, FailsWithoutItsLandmarks) {
    const std::string cases[] = {
        "{\\rtf1{\\fonttbl{\\f0 Terminal;}}\\par x}",         // no \pard\ .
        "{\\rtf1\\pard\\plain{\\fonttbl{\\f0 Terminal;}}x}",  // table after \pard\ .
        "{\\rtf1{\\fonttbl\\f0 Terminal;}\\pard\\plain x}",   // no "{\fonttbl{"
        "{\\rtf1{\\fonttbl{\\f0 Terminal;}\\pard\\plain x",   // table never ends
    };
    for (const auto& c : cases) {
        EXPECT_FALSE(repairRtfFontTableText(c, "Terminal")) << c;
    }
}

TEST(RepairRtfFontTable, WorksOnWhatTheWriterWrites) {
    RichDocument doc;
    doc.text = "\xC9\xCD\xBB";
    doc.font = {"Terminal", 9};
    const auto out = repairRtfFontTableText(writeRtf(doc), "Terminal");
    ASSERT_TRUE(out);
    EXPECT_NE(out->find("{\\fonttbl{\\f0\\fmodern\\fcharset2 Terminal;}}"), std::string::npos);
}

class RecordingHost : public DialogHost {
  public:
    QuestionReply showQuestion(const QuestionRequest&) override { return {}; }
    int showError(const ErrorLayout& layout) override {
        errors.push_back(layout);
        return 1;
    }
    void showMessage(const std::string&) override {}
    MessageAnswer askYesNoCancel(const std::string&, const std::string&) override {
        return MessageAnswer::Cancel;
    }
    std::optional<std::string> askSaveFile(const SaveFileRequest&) override { return {}; }
    std::optional<std::string> askText(const std::string&, const std::string&,
                                       const std::string&) override {
        return {};
    }
    std::vector<ErrorLayout> errors;
};

class RepairFileTest : public ::testing::Test {
  protected:
    void SetUp() override {
        dir_ =
            std::filesystem::temp_directory_path() /
            ("qv-rtfrepair-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
             "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(dir_);
        std::filesystem::create_directories(dir_ / "tmp");
    }
    void TearDown() override { std::filesystem::remove_all(dir_); }

    static void write(const std::filesystem::path& p, const std::string& data) {
        std::ofstream(p, std::ios::binary) << data;
    }
    static std::string read(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    }

    std::filesystem::path dir_;
};

TEST_F(RepairFileTest, ReplacesTheFileAndLeavesNoTemporaryCopy) {
    const auto file = dir_ / "listing.rtf";
    write(file, "{\\rtf1{\\fonttbl{\\f0\\fcharset0 Terminal;}}\\pard\\plain x}");
    RecordingHost host;
    Dialogs dialogs(host);
    EXPECT_TRUE(repairRtfFontTable(file, "Terminal", dir_ / "tmp", &dialogs));
    EXPECT_EQ(read(file), "{\\rtf1{\\fonttbl{\\f0\\fcharset2 Terminal;}}\\pard\\plain x}");
    EXPECT_FALSE(std::filesystem::exists(dir_ / "tmp" / kRtfRepairTempName));
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(RepairFileTest, FailureKeepsTheFileAndShowsTheError) {
    const auto file = dir_ / "listing.rtf";
    const std::string original = "{\\rtf1{\\fonttbl{\\f0\\fcharset0 Terminal;}}\\par x}";
    write(file, original);
    RecordingHost host;
    Dialogs dialogs(host);
    EXPECT_FALSE(repairRtfFontTable(file, "Terminal", dir_ / "tmp", &dialogs));
    EXPECT_EQ(read(file), original);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "tmp" / kRtfRepairTempName));
    ASSERT_EQ(host.errors.size(), 1u);
    EXPECT_EQ(host.errors[0].message, "Error setting Font...aborted");
    EXPECT_EQ(host.errors[0].line1, file.string());
    EXPECT_EQ(host.errors[0].flags, 280);

    // A temporary folder that does not exist fails the same way.
    write(file, "{\\rtf1{\\fonttbl{\\f0\\fcharset0 Terminal;}}\\pard\\plain x}");
    EXPECT_FALSE(repairRtfFontTable(file, "Terminal", dir_ / "missing", &dialogs));
    EXPECT_EQ(read(file), "{\\rtf1{\\fonttbl{\\f0\\fcharset0 Terminal;}}\\pard\\plain x}");
}

}  // namespace
}  // namespace qv
