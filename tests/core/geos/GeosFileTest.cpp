#include "geos/GeosFile.h"

#include <gtest/gtest.h>

#include "host/Dialogs.h"
#include "listing/DirectoryReader.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::Bytes;
using test::DiskBuilder;
using test::InfoBlockSpec;

TEST(GeosTypes, NamesAndRecognition) {
    const char* const names[] = {"non", "BAS", "ASS", "DAT", "SYS", "DAC", "APP", "DOC",
                                 "FON", "PRN", "INP", "DRV", "BOO", "TMP", "AUT"};
    for (int t = 0; t < 256; ++t) {
        EXPECT_STREQ(geosTypeName(static_cast<std::uint8_t>(t)), t < 15 ? names[t] : "non");
    }
    DirEntry e;
    e.typeByte = 0x83;
    e.geosType = 7;
    EXPECT_TRUE(isGeos(e));
    e.geosType = 15;
    EXPECT_FALSE(isGeos(e));
    e.geosType = 7;
    e.typeByte = 0x85;  // CBM type code 5
    EXPECT_FALSE(isGeos(e));
    e.typeByte = 0;
    EXPECT_FALSE(isGeos(e));
    e.typeByte = 0x43;  // locked, not closed
    EXPECT_TRUE(isGeos(e));
}

TEST(GeosInfo, FieldsAndTheirLimits) {
    Block b{};
    b[2] = 3;
    b[3] = 21;
    b[4] = 0xBF;
    for (int i = 0; i < 63; ++i)
        b[static_cast<std::size_t>(5 + i)] = static_cast<std::uint8_t>(i);
    for (int i = 0; i < 20; ++i)
        b[static_cast<std::size_t>(77 + i)] = static_cast<std::uint8_t>('A' + i);
    const std::string author = "Author";
    std::copy(author.begin(), author.end(), b.begin() + 97);
    b[128] = 0x34;
    b[129] = 0x12;
    b[130] = 10;
    b[132] = 12;
    b[133] = 0x01;
    b[134] = 0;  // ends the size list
    b[139] = 0x80;
    std::fill(b.begin() + 160, b.end(), 'd');
    const GeosInfoBlock info = decodeInfoBlock(b);
    EXPECT_TRUE(info.iconValid());
    ASSERT_EQ(info.icon.size(), 63u);
    EXPECT_EQ(info.icon[62], 62);
    EXPECT_EQ(info.classText, "ABCDEFGHIJKLMNOPQRS");  // 19 bytes; the 20th is never read
    EXPECT_EQ(info.author, "Author");
    EXPECT_EQ(info.fontId, 0x1234);
    EXPECT_EQ(info.pointSizeWords, (std::vector<std::uint16_t>{10, 0x010C}));
    EXPECT_TRUE(info.titlePage);
    EXPECT_EQ(info.description, std::string(95, 'd'));

    for (auto [w, h, f] :
         {std::tuple{4, 21, 0xBF}, std::tuple{3, 22, 0xBF}, std::tuple{3, 21, 0x00}}) {
        b[2] = static_cast<std::uint8_t>(w);
        b[3] = static_cast<std::uint8_t>(h);
        b[4] = static_cast<std::uint8_t>(f);
        EXPECT_FALSE(decodeInfoBlock(b).iconValid());
        EXPECT_TRUE(decodeInfoBlock(b).icon.empty());
    }
}

struct GeosImage : ::testing::Test {
    test::TempDir tmp;
    std::optional<DiskImage> open(const DiskBuilder& d) {
        d.save(tmp.file("g.d64"));
        auto image = DiskImage::open(tmp.file("g.d64"));
        image->setDosType(kDosStandard);
        return image;
    }
};

TEST_F(GeosImage, InfoBlockVlirIndexAndRecords) {
    DiskBuilder d;
    d.format();
    InfoBlockSpec form;
    form.structure = 1;
    form.className = "Paint Image V1.1";
    Bytes first(300);
    for (std::size_t i = 0; i < first.size(); ++i)
        first[i] = static_cast<std::uint8_t>(i);
    const auto e = d.addGeosVlir("PICTURE", form, {first, {}, Bytes(5, 9)});
    auto image = open(d);
    DirEntry entry;
    entry.infoBlock = e.info;
    const auto info = readInfoBlock(*image, kDosStandard, entry);
    ASSERT_TRUE(info);
    EXPECT_EQ(info->classText, "Paint Image V1.1");

    const int index = blockOffset(e.first, kDosStandard);
    const auto pointers = readVlirIndex(*image, index, 127);
    ASSERT_EQ(pointers.size(), 127u);
    EXPECT_EQ(pointers[1], (TrackSector{0, 0xFF}));
    EXPECT_EQ(pointers[3], (TrackSector{0, 0}));
    const RecordData r0 = readRecord(*image, kDosStandard, pointers[0]);
    EXPECT_EQ(r0.end, ChainEnd::Normal);
    EXPECT_EQ(r0.data, first);
    EXPECT_EQ(readRecord(*image, kDosStandard, pointers[2]).data, Bytes(5, 9));
    // An index block at the very end of the file reads zeros, never beyond it.
    EXPECT_EQ(readVlirIndex(*image, kSize35 - 100, 127)[126], (TrackSector{0, 0}));
    entry.infoBlock = {18, 25};
    EXPECT_FALSE(readInfoBlock(*image, kDosStandard, entry));
}

TEST_F(GeosImage, BadLinkInARecordIsReportedWithItsAddress) {
    DiskBuilder d;
    d.format();
    const auto e = d.addGeosVlir("DOC", InfoBlockSpec{}, {Bytes(600, 1)});
    const TrackSector first{d.block(e.first)[2], d.block(e.first)[3]};
    d.link(first, {40, 3});
    auto image = open(d);
    const RecordData r = readRecord(*image, kDosStandard, first);
    EXPECT_EQ(r.end, ChainEnd::IllegalLink);
    EXPECT_EQ(r.badLink, (TrackSector{40, 3}));
    EXPECT_EQ(r.data.size(), 254u);

    test::ScriptedDialogHost host;
    Dialogs dialogs(host);
    host.errorAnswers = {1, 2};
    EXPECT_TRUE(askIllegalRecordLink(dialogs, "GeoWrite", "img.d64", "DOC", r.badLink));
    EXPECT_FALSE(askIllegalRecordPointer(dialogs, "GeoPaint", "img.d64", "PIC", {255, 33}, 4));
    EXPECT_EQ(host.errors[0].message,
              "Illegal Track: 40 ($28) or Sector: 3 ($03)\nFile corrupt!\nContinue with next VLIR "
              "Record?");
    EXPECT_EQ(host.errors[1].message,
              "Illegal Track: 255 ($FF) or Sector: 33 ($21) in VLIR Record: 4\nVLIR "
              "corrupt!\nContinue with next VLIR Record?");
    EXPECT_EQ(host.errors[1].caption, "GeoPaint: Error in File...");
    EXPECT_EQ(host.errors[1].line2, "PIC");
    ASSERT_EQ(host.errors[1].buttons.size(), 2u);
    EXPECT_EQ(host.errors[1].buttons[1].text, "Abort File");
}

}  // namespace
}  // namespace qv
