// What the GEOS picture viewers save and the icon a row without a viewer shows.

#include <gtest/gtest.h>

#include "core/geos/GeosDocFixture.h"
#include "geos/ViewerPicture.h"
#include "support/GoldenImage.h"
#include "support/TestFiles.h"

namespace qv {
namespace {

TEST(ViewerPicture, FormatByNameThenFilter) {
    struct Case {
        const char* path;
        int filter;
        PictureFormat format;
    };
    const Case cases[] = {
        {"a.png", 0, PictureFormat::Png}, {"a.PNG", 0, PictureFormat::Png},
        {"a.bmp", 1, PictureFormat::Bmp}, {"a.Bmp", 1, PictureFormat::Bmp},
        {"a", 1, PictureFormat::Png},     {"a", 0, PictureFormat::Bmp},
        {"a.txt", 7, PictureFormat::Bmp}, {"png", 0, PictureFormat::Bmp},
    };
    for (const Case& c : cases)
        EXPECT_EQ(viewerPictureFormat(c.path, c.filter), c.format) << c.path;
}

TEST(ViewerPicture, SavesBothFormatsAndReportsAFailure) {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    Dialogs dialogs(host);
    Image32 picture(5, 3, 0x123456);
    picture.at(4, 2) = 0xFFFFFF;
    for (const PictureFormat f : {PictureFormat::Bmp, PictureFormat::Png}) {
        const std::string path = tmp.file(f == PictureFormat::Bmp ? "p.bmp" : "p.png");
        ASSERT_TRUE(saveViewerPicture(dialogs, "ShowFont", path, picture, f));
        const auto bytes = test::readBytes(path);
        const std::optional<Image32> back =
            f == PictureFormat::Bmp ? test::decodeBmp(bytes) : test::decodePng(bytes);
        ASSERT_TRUE(back);
        EXPECT_TRUE(test::samePixels(*back, picture));
    }
    EXPECT_TRUE(host.errors.empty());
    const std::string bad = tmp.file("missing/folder/p.bmp");
    EXPECT_FALSE(saveViewerPicture(dialogs, "GeoPaint", bad, picture, PictureFormat::Bmp));
    ASSERT_EQ(host.errors.size(), 1U);
    EXPECT_EQ(host.errors[0].caption, "GeoPaint: Error...");
}

TEST(ViewerPicture, IconEnlargedEightTimesPixelForPixel) {
    IconList icons;
    test::Bytes bytes(63);
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>((i * 37) ^ (i / 3 * 11));
    const int index = *icons.add(makeGeosIcon(3, 21, bytes));
    const Image32 shown = iconViewPicture(icons, index);
    ASSERT_EQ(shown.width, 192);
    ASSERT_EQ(shown.height, 168);
    const Image1& icon = icons.at(index);
    for (int y = 0; y < 168; ++y) {
        for (int x = 0; x < 192; ++x)
            ASSERT_EQ(shown.at(x, y), icon.palette[icon.get(x / 8, y / 8) ? 1 : 0])
                << x << "," << y;
    }
    const std::optional<Image1> two = test::toTwoColour(shown, 0xFFFFFF, 0x000000);
    ASSERT_TRUE(two);
    EXPECT_TRUE(test::matchesGolden(*two, test::goldenDir("geos") / "icon_enlarged.bmp"));
    // A row without an icon shows white.
    for (const int none : {-1, 1, 500}) {
        const Image32 blank = iconViewPicture(icons, none);
        EXPECT_EQ(blank.width, 192);
        EXPECT_EQ(std::count(blank.pixels.begin(), blank.pixels.end(), 0xFFFFFFu), 192 * 168);
    }
}

}  // namespace
}  // namespace qv
