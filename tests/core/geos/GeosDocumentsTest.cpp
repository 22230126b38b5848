#include "geos/GeosDocuments.h"

#include <gtest/gtest.h>

#include "host/Dialogs.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

using test::Bytes;
using test::DiskBuilder;
using test::InfoBlockSpec;

InfoBlockSpec infoOf(std::uint8_t geosType, const std::string& className, bool titlePage = false) {
    InfoBlockSpec s;
    s.geosType = geosType;
    s.className = className;
    s.titlePage = titlePage;
    return s;
}

TEST(GeosDocuments, EveryGeosEntryInDiskOrderWithItsDescription) {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    ListerOptions options;
    DiskBuilder b;
    b.format("GEOS DISK", "ID").geosSignature();
    b.addFile("PLAIN", 0x82, Bytes(10, 1));  // no GEOS file: not handed over
    const auto write =
        b.addGeosVlir("LETTER", infoOf(7, "Write Image V2.1", true), {Bytes(20, 'a')});
    const auto paint = b.addGeosVlir("PICTURE [1]", infoOf(7, "Paint Image V1.1"), {Bytes(5, 0)});
    // A GEOS file whose info-block link is no block of the image.
    auto broken = b.addGeosSequential("BROKEN", infoOf(6, "geoFile"), Bytes(10, 2));
    broken.info = {40, 0};
    b.setSlot(3, broken);
    const std::string path = tmp.file("g.d64");
    b.save(path);

    std::optional<DiskImage> image = DiskImage::open(path);
    ASSERT_TRUE(image);
    image->setDosType(kDosStandard);
    struct Seen {
        std::string name;
        bool info;
        int offset;
        GeosDocumentKind kind;
        std::string classText;
        std::string offsetText;
    };
    std::vector<Seen> seen;
    const DirEnd end = forEachGeosDocument(*image, options, dialogs, [&](const GeosDocument& d) {
        seen.push_back(
            {d.name, d.info.has_value(), d.offset, d.kind, d.classText(), d.offsetText()});
    });
    EXPECT_EQ(end, DirEnd::EndOfChain);
    ASSERT_EQ(seen.size(), 3u);
    const int writeOffset = blockOffset(write.first, kDosStandard);
    // The name keeps its quotes, loses the blanks behind it, and goes through the GEOS
    // text conversion (brackets are umlauts by default).
    EXPECT_EQ(seen[0].name, "\"LETTER\"");
    EXPECT_EQ(seen[0].offset, writeOffset);
    EXPECT_EQ(seen[0].kind, GeosDocumentKind::GeoWrite);
    EXPECT_EQ(seen[0].classText, "Write Image V2.1");
    EXPECT_EQ(seen[0].offsetText, std::to_string(writeOffset) + " ");  // title-page mark
    EXPECT_EQ(seen[1].name,
              "\"PICTURE \xC4"
              "1\xDC\"");
    EXPECT_EQ(seen[1].kind, GeosDocumentKind::GeoPaint);
    EXPECT_EQ(seen[1].offsetText, std::to_string(blockOffset(paint.first, kDosStandard)));
    EXPECT_EQ(seen[2].name, "\"BROKEN\"");
    EXPECT_FALSE(seen[2].info);
    EXPECT_EQ(seen[2].classText, "");
    EXPECT_EQ(seen[2].kind, GeosDocumentKind::Other);
}

TEST(GeosDocuments, UnquotedName) {
    const std::pair<const char*, const char*> cases[] = {
        {"\"NAME\"", "NAME"}, {"\"OPEN", "OPEN"}, {"PLAIN", "PLAIN"},
        {"\"", "\""},         {"\"\"", ""},       {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(unquotedName(in), out) << in;
}

}  // namespace
}  // namespace qv
