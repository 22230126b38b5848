#include "geos/ExportNames.h"

#include <gtest/gtest.h>

#include <fstream>

#include "geos/GeosFile.h"
#include "host/Dialogs.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

TEST(ExportNames, DocumentKindsFollowTheFirstMatchingRule) {
    struct Case {
        const char* type;
        const char* cls;
        GeosDocumentKind kind;
    };
    const Case cases[] = {
        {"DOC", "Write Image V2.1", GeosDocumentKind::GeoWrite},
        {"*DOC<", "paint image V1.1", GeosDocumentKind::GeoPaint},
        {"FON", "anything", GeosDocumentKind::Font},
        {"FON<", "Paint Image", GeosDocumentKind::Font},
        {"SYS", "Photo Scrap V1.1", GeosDocumentKind::PhotoScrap},
        {"DOC", "Photo Scrap V1.1", GeosDocumentKind::Other},
        {"DOC", "Photo Album V2.1", GeosDocumentKind::PhotoAlbum},
        {"DOC", "Text Scrap", GeosDocumentKind::Other},
        {"APP", "Paint Image", GeosDocumentKind::Other},
    };
    for (const Case& c : cases)
        EXPECT_EQ(geosDocumentKind(c.type, c.cls), c.kind) << c.type << " " << c.cls;
}

TEST(ExportNames, Names) {
    EXPECT_EQ(exportBaseName("\"My:Pic?\""), "My_Pic_");
    EXPECT_EQ(exportBaseName("\"a\\b/c*d<e>f|g\"h\""), "a_b_c_d_e_f_g_h");
    EXPECT_EQ(exportBaseName("\"Font\" "), "Font_ ");  // only a quote at the very end goes
    EXPECT_EQ(exportPictureName("Pic"), "Pic.bmp");
    EXPECT_EQ(exportGeoWriteName("Letter"), "Letter.rtf");
    EXPECT_EQ(exportScrapName("Scrap", "/disks/geos/Work Disk.d64"), "Scrap Work Disk.bmp");
    EXPECT_EQ(exportScrapName("Scrap", "Work.d64"), "Scrap D64Image.bmp");
    EXPECT_EQ(exportAlbumScrapName("Album", 2, true, "Sea/Sky"), "Album(Sea_Sky).bmp");
    EXPECT_EQ(exportAlbumScrapName("Album", 3, true, ""), "Album (003).bmp");
    EXPECT_EQ(exportAlbumScrapName("Album", 3, false, "Sea"), "Album (003).bmp");
    EXPECT_EQ(withPictureExtension("Album (003).bmp", ".png"), "Album (003).png");
}

TEST(ExportNames, NameExistsCheck) {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    Dialogs dialogs(host);
    const std::string taken = tmp.file("Pic.bmp");
    std::ofstream(taken) << "x";
    std::ofstream(tmp.file("Pic_002.bmp")) << "x";

    EXPECT_EQ(checkExportName(tmp.file("Free.bmp"), dialogs), tmp.file("Free.bmp"));
    EXPECT_TRUE(host.questions.empty());

    host.questionAnswers = {{6, 0, false, false}, {1, 0, false, false}, {2, 0, false, false}};
    EXPECT_EQ(checkExportName(taken, dialogs), tmp.file("Pic_003.bmp"));
    EXPECT_EQ(host.questions[0].form->mode, QuestionMode::AutoRename);
    EXPECT_EQ(host.questions[0].path, taken);
    EXPECT_EQ(checkExportName(taken, dialogs), taken);
    EXPECT_EQ(checkExportName(taken, dialogs), std::nullopt);

    // "Don't ask me again": the last choice is repeated without asking.
    host.questionAnswers = {{6, 0, false, true}};
    EXPECT_EQ(checkExportName(taken, dialogs), tmp.file("Pic_003.bmp"));
    EXPECT_EQ(checkExportName(taken, dialogs), tmp.file("Pic_003.bmp"));
    EXPECT_EQ(host.questions.size(), 4u);
}

}  // namespace
}  // namespace qv
