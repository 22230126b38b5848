#include "viewer/StartAddresses.h"

#include <gtest/gtest.h>

#include "settings/IniFile.h"

namespace qv {
namespace {

TEST(StartAddresses, DetectAndValidWithTheDefaultLists) {
    const StartAddresses a;
    struct Detect {
        int address;
        std::optional<int> type;
    } detects[] = {
        {0x0801, 2},
        {0x0401, 2},
        {0x1201, 2},
        {0x1001, 3},
        {0x1C01, 4},
        {0x4001, 4},
        {0x132D, std::nullopt},
        {0x2C01, std::nullopt},
        {0x2001, std::nullopt},
        {-1, std::nullopt},
        {0, std::nullopt},
    };
    for (const Detect& d : detects)
        EXPECT_EQ(a.detect(d.address), d.type) << d.address;

    struct Valid {
        int address;
        int type;
        bool valid;
    } valids[] = {
        {0x1201, 5, true},  {0x1201, 3, false}, {0x0801, 5, true},  {0x1001, 5, true},
        {0x2C01, 5, true},  {0x2C01, 2, false}, {0x1001, 6, true},  {0x0801, 6, false},
        {0x132D, 7, true},  {0x1C01, 7, true},  {0x132D, 4, false}, {0x0801, 1, false},
        {0x0801, 0, false}, {0x0801, 8, false}, {-1, 2, false},
    };
    for (const Valid& v : valids) {
        EXPECT_EQ(a.valid(v.address, v.type), v.valid) << v.address << " type " << v.type;
    }
}

TEST(StartAddresses, StoredFormAndSettings) {
    EXPECT_EQ(StartAddresses::parse("0401;0801"), (std::vector<std::string>{"0401", "0801"}));
    EXPECT_EQ(StartAddresses::parse("0801;0401;"), (std::vector<std::string>{"0401", "0801"}));
    EXPECT_TRUE(StartAddresses::parse("").empty());
    EXPECT_EQ(StartAddresses::serialize({"0401", "0801"}), "0401;0801;");

    StartAddresses a;
    IniFile ini;
    a.save(ini);
    const char* keys[][2] = {{"BasicV2", "0401;0801;1201;"}, {"BasicV2Ext", "1001;2C01;"},
                             {"BasicV35", "1001;"},          {"BasicV35Ext", ""},
                             {"BasicV7", "1C01;4001;"},      {"BasicV7Ext", "132D;2001;"}};
    for (const auto& k : keys)
        EXPECT_EQ(ini.value("BASIC Address", k[0]), k[1]) << k[0];

    IniFile stored = IniFile::parse("[BASIC Address]\nBasicV2=801;c01\nBasicV7Ext=\n");
    a.load(stored);
    EXPECT_EQ(a.list(2), (std::vector<std::string>{"801", "c01"}));
    EXPECT_EQ(a.detect(0x0801), 2);  // compared by value
    EXPECT_EQ(a.detect(0x0C01), 2);
    EXPECT_EQ(a.detect(0x0401), std::nullopt);
    EXPECT_TRUE(a.list(7).empty());
    EXPECT_EQ(a.list(5), (std::vector<std::string>{"1001", "2C01"}));  // missing key: default
}

TEST(StartAddresses, AddingEntries) {
    struct Input {
        const char* text;
        StartAddresses::InputCheck check;
    } inputs[] = {
        {"", StartAddresses::InputCheck::Empty},
        {"12345", StartAddresses::InputCheck::TooLong},
        {"0G01", StartAddresses::InputCheck::NotHex},
        {"-1", StartAddresses::InputCheck::NotHex},
        {" 801", StartAddresses::InputCheck::NotHex},
        {"c01", StartAddresses::InputCheck::Ok},
        {"FFFF", StartAddresses::InputCheck::Ok},
    };
    for (const Input& i : inputs)
        EXPECT_EQ(StartAddresses::checkInput(i.text), i.check) << i.text;
    EXPECT_STREQ(StartAddresses::inputMessage(StartAddresses::InputCheck::TooLong),
                 "String too long...");
    EXPECT_STREQ(StartAddresses::inputMessage(StartAddresses::InputCheck::NotHex),
                 "Not a valid Hexnumber...");

    StartAddresses a;
    a.add(2, "0801");
    a.add(2, "C01");
    a.add(2, "0C01");
    EXPECT_EQ(a.add(2, "xyz"), StartAddresses::InputCheck::NotHex);
    EXPECT_EQ(a.list(2), (std::vector<std::string>{"0401", "0801", "0801", "0C01", "1201", "C01"}));
    IniFile ini;
    a.save(ini);
    EXPECT_EQ(ini.value("BASIC Address", "BasicV2"), "0401;0801;0801;0C01;1201;C01;");
    a.resetToDefaults();
    EXPECT_EQ(a.list(2).size(), 3u);
}

}  // namespace
}  // namespace qv
