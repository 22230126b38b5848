#include "settings/IniFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "SettingsTestFiles.h"

namespace qv {
namespace {

TEST(IniFile, ReadRulesForNumbersAndBools) {
    struct Case {
        const char* stored;  // nullptr: key missing
        int asInt;           // default 77
        bool asBool;         // default true
    };
    const Case cases[] = {
        {nullptr, 77, true},
        {"0", 0, false},
        {"1", 1, true},
        {"5", 5, true},
        {"-1", -1, true},
        {"  0  ", 0, false},
        {"\"0\"", 0, false},
        {"abc", 77, true},
        {"", 77, true},
        {"-", 77, true},
        {"+12", 12, true},
        {"42abc", 42, true},
        {"99999999999", 77, true},  // beyond 32 bits: the default
        {"4294967295", -1, true},   // colours wrap like 32-bit values
        {"true", 77, true},
    };
    for (const auto& c : cases) {
        IniFile ini = IniFile::parse(c.stored ? std::string("[S]\nk=") + c.stored : "[S]\n");
        EXPECT_EQ(ini.readInt("S", "k", 77), c.asInt) << (c.stored ? c.stored : "(missing)");
        EXPECT_EQ(ini.readBool("S", "k", true), c.asBool) << (c.stored ? c.stored : "(missing)");
    }
    IniFile ini = IniFile::parse("[S]\nb=0\n");
    EXPECT_FALSE(ini.readBool("S", "b", true));
    EXPECT_FALSE(ini.readBool("S", "missing", false));
}

TEST(IniFile, TextValuesLoseOuterBlanksAndOneQuotePair) {
    const IniFile ini = IniFile::parse(
        "[S]\n a = x y \nq=\"1,-,1, \"\nqq=\"\"a\"\"\nhalf=\"a\neq=a=b\n[s2]\nK=v\n");
    EXPECT_EQ(ini.readString("S", "a", "d"), "x y");
    EXPECT_EQ(ini.readString("S", "q", "d"), "1,-,1, ");
    EXPECT_EQ(ini.readString("S", "qq", "d"), "\"a\"");
    EXPECT_EQ(ini.readString("S", "half", "d"), "\"a");
    EXPECT_EQ(ini.readString("S", "eq", "d"), "a=b");
    EXPECT_EQ(ini.readString("S2", "k", "d"), "v");  // names match without case
    EXPECT_EQ(ini.readString("S", "none", "d"), "d");
}

TEST(IniFile, WriteTextQuotesOnlyWhenNeededAndReadsBackUnchanged) {
    struct Case {
        std::string value;
        std::string line;
    };
    const Case cases[] = {
        {"plain", "k=plain"},     {"c: ", "k=\"c: \""}, {" lead", "k=\" lead\""},
        {"\"q\"", "k=\"\"q\"\""}, {"", "k="},           {"a\"b", "k=a\"b"},
    };
    for (const auto& c : cases) {
        IniFile ini;
        ini.writeText("S", "k", c.value);
        EXPECT_NE(ini.text().find(c.line + "\r\n"), std::string::npos) << ini.text();
        EXPECT_EQ(IniFile::parse(ini.text()).readString("S", "k", "d"), c.value);
    }
}

TEST(IniFile, ValueWithLineBreaksCannotAddKeys) {
    IniFile ini;
    ini.writeString("S", "path", "/tmp/a\r\n[Conversion]\nZero=1");
    const IniFile back = IniFile::parse(ini.text());
    EXPECT_FALSE(back.hasSection("Conversion"));
    EXPECT_FALSE(back.hasKey("Conversion", "Zero"));
    EXPECT_EQ(back.readString("S", "path", ""), "/tmp/a[Conversion]Zero=1");
}

TEST(IniFile, DuplicatesBomAndJunkLines) {
    const std::string text =
        "\xEF\xBB\xBF[A]\nk=first\nk=second\nno equals sign here\n=novalue\n; k=comment\n"
        "[B]\nx=1\n[A]\nk=third\nlate=4\n[broken\ny=2\n";
    const IniFile ini = IniFile::parse(text);
    EXPECT_TRUE(ini.hasSection("A"));                  // the byte order mark does not hide it
    EXPECT_EQ(ini.readString("A", "k", ""), "first");  // the first of equal keys wins
    EXPECT_EQ(ini.readInt("A", "late", 0), 4);         // a repeated section adds its keys
    EXPECT_EQ(ini.readInt("B", "x", 0), 1);
    EXPECT_EQ(ini.readInt("A", "y", 0), 2);  // "[broken" opens no section
    EXPECT_FALSE(ini.hasSection("broken"));
    const auto values = ini.sectionValues("A");
    ASSERT_EQ(values.size(), 5u);
    EXPECT_EQ(values[3].first, "late");

    // Writing replaces the first key and keeps every other line.
    IniFile copy = ini;
    copy.writeString("A", "k", "new");
    const IniFile back = IniFile::parse(copy.text());
    EXPECT_EQ(back.readString("A", "k", ""), "new");
    EXPECT_NE(copy.text().find("no equals sign here\r\n"), std::string::npos);
    EXPECT_NE(copy.text().find("k=second\r\n"), std::string::npos);
}

TEST(IniFile, NewKeysGoToTheirSection) {
    IniFile ini = IniFile::parse("[A]\na=1\n\n[B]\nb=1\n");
    ini.writeInt("A", "a2", 2);
    ini.writeInt("C", "c", 3);
    EXPECT_EQ(ini.text(), "[A]\r\na=1\r\na2=2\r\n\r\n[B]\r\nb=1\r\n\r\n[C]\r\nc=3\r\n");
}

TEST(IniFile, LoadAndSaveFiles) {
    test::TempDir dir;
    // A missing file is an empty file; a folder is no settings file.
    const auto missing = IniFile::load((dir / "none.ini").string());
    ASSERT_TRUE(missing.has_value());
    EXPECT_EQ(missing->text(), "");
    EXPECT_FALSE(IniFile::load(dir.path()).has_value());

    IniFile ini;
    ini.writeQuoted("ASCII", "PreImage", "1,-,1, ");
    const std::string path = (dir / "q.ini").string();
    ASSERT_TRUE(ini.save(path));
    EXPECT_EQ(test::readFile(path), "[ASCII]\r\nPreImage=\"1,-,1, \"\r\n");
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
    EXPECT_EQ(IniFile::load(path)->readString("ASCII", "PreImage", ""), "1,-,1, ");

    // Saving into a folder that does not exist fails and creates nothing.
    EXPECT_FALSE(ini.save((dir / "no/such/q.ini").string()));
}

TEST(IniFile, SaveThroughSymbolicLinkKeepsTheLink) {
    test::TempDir dir;
    const auto target = dir / "real.ini";
    const auto link = dir / "link.ini";
    test::writeFile(target, "[A]\r\na=1\r\n");
    std::filesystem::create_symlink(target, link);
    IniFile ini = *IniFile::load(link.string());
    ini.writeInt("A", "a", 2);
    ASSERT_TRUE(ini.save(link.string()));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(test::readFile(target), "[A]\r\na=2\r\n");
}

}  // namespace
}  // namespace qv
