#include "geos/DocumentExport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "host/Dialogs.h"
#include "listing/ListingRun.h"
#include "settings/ListerOptions.h"
#include "support/DiskBuilder.h"
#include "support/GeosDocumentsDisk.h"
#include "support/ScriptedDialogHost.h"

namespace qv {
namespace {

namespace fs = std::filesystem;

std::set<std::string> filesIn(const std::string& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder))
        names.insert(e.path().filename().string());
    return names;
}

// The documents of one disk listed into a catalogue, and an exporter with its own
// name-exists memory.
struct DocumentExportTest : ::testing::Test, ExportProgress {
    test::TempDir tmp;
    test::ScriptedDialogHost host;
    Dialogs dialogs{host};
    Dialogs nameDialogs{host};
    ListerOptions options;
    GeosCatalogue catalogue{options, dialogs};
    GeosReaderContext context{dialogs, options};
    GeosViewerSettings viewer;
    DocumentExport exporter{context, nameDialogs, catalogue.settings, viewer};
    std::string image;
    std::string out;
    std::vector<int> reported;
    int abortAfter = -1;

    DocumentExportTest() {
        options.generateHeader = false;
        test::DiskBuilder d;
        d.format("GEOS DOCS", "GD").geosSignature();
        test::addGeosDocuments(d);
        image = tmp.file("Holiday Disk.d64");
        d.save(image);
        Listing listing{options, dialogs};
        listing.setGeosSink(&catalogue);
        listing.fileList = {image};
        listing.listFiles(RunKind::Load);
        out = tmp.file("out/");
        fs::create_directories(out);
    }
    void rowDone(int row, int, int) override { reported.push_back(row); }
    bool abortRequested() override {
        return abortAfter >= 0 && static_cast<int>(reported.size()) >= abortAfter;
    }
    std::vector<int> allRows() const {
        std::vector<int> rows;
        for (int i = 0; i < catalogue.rowCount(); ++i)
            rows.push_back(i);
        return rows;
    }
};

TEST_F(DocumentExportTest, EachKindWritesItsFilesUnderItsOwnNames) {
    ASSERT_EQ(catalogue.rowCount(), 7);
    EXPECT_EQ(exportCatalogueRows(catalogue, allRows(), out, exporter, *this), 7);
    EXPECT_EQ(filesIn(out),
              (std::set<std::string>{"LETTER.rtf", "PICTURE.bmp", "MYFONT.bmp",
                                     "SCRAP Holiday Disk.bmp", "TRIP(Sea).bmp", "TRIP(Sky).bmp",
                                     "OLD (001).bmp", "OLD (002).bmp", "OLD (003).bmp"}));
    EXPECT_EQ(reported, allRows());
    EXPECT_TRUE(host.errors.empty());
    EXPECT_TRUE(host.questions.empty());
    // The GeoWrite document is rich text with its page setup.
    std::ifstream rtf(out + "LETTER.rtf");
    const std::string text((std::istreambuf_iterator<char>(rtf)), {});
    EXPECT_EQ(text.rfind("{\\rtf", 0), 0U);
    EXPECT_NE(text.find("Hello"), std::string::npos);
    EXPECT_NE(text.find("\\paperw"), std::string::npos);
}

TEST_F(DocumentExportTest, AutoRenameCountsOnAndItsMemoryIsTheExporters) {
    exportCatalogueRows(catalogue, {1}, out, exporter, *this);
    // "Auto Rename" with "Don't ask me again during this session".
    host.questionAnswers.push_back({answer::Keep, 0, false, true});
    exportCatalogueRows(catalogue, {1, 4}, out, exporter, *this);
    EXPECT_TRUE(fs::exists(out + "PICTURE_002.bmp"));
    EXPECT_TRUE(fs::exists(out + "TRIP(Sea).bmp"));
    EXPECT_EQ(host.questions.size(), 1U);
    EXPECT_EQ(host.questions[0].path, out + "PICTURE.bmp");
    exportCatalogueRows(catalogue, {1, 4}, out, exporter, *this);
    EXPECT_TRUE(fs::exists(out + "PICTURE_003.bmp"));
    EXPECT_TRUE(fs::exists(out + "TRIP(Sea)_002.bmp"));
    EXPECT_TRUE(fs::exists(out + "TRIP(Sky)_002.bmp"));
    EXPECT_EQ(host.questions.size(), 1U);  // the answer stood
    // The general dialogs were not asked: the memory is the exporter's alone.
    EXPECT_FALSE(dialogs.memory(QuestionMode::AutoRename).dontAsk);
}

TEST_F(DocumentExportTest, CancelOnAnAlbumScrapEndsThatAlbum) {
    exportCatalogueRows(catalogue, {5}, out, exporter, *this);
    fs::remove(out + "OLD (001).bmp");
    host.questionAnswers.push_back({answer::Stop, 0, false, false});  // for "OLD (002).bmp"
    exportCatalogueRows(catalogue, {5}, out, exporter, *this);
    EXPECT_TRUE(fs::exists(out + "OLD (001).bmp"));
    EXPECT_EQ(host.questions.size(), 1U);  // scrap 3 was not reached
}

TEST_F(DocumentExportTest, AbortEndsAfterTheCurrentRow) {
    abortAfter = 2;
    EXPECT_EQ(exportCatalogueRows(catalogue, {3, 0, 1, 5}, out, exporter, *this), 2);
    EXPECT_EQ(reported, (std::vector<int>{0, 1}));
    EXPECT_EQ(filesIn(out), (std::set<std::string>{"LETTER.rtf", "PICTURE.bmp"}));
}

TEST_F(DocumentExportTest, RowsWhoseImageIsGoneOrWhoseOffsetIsEditedExportNothing) {
    catalogue.setCellText(1, kColOffset, "12a");
    EXPECT_TRUE(exporter.exportRow(catalogue.rows()[1], out).empty());
    fs::rename(image, tmp.file("moved.d64"));
    EXPECT_EQ(exportCatalogueRows(catalogue, allRows(), out, exporter, *this), 7);
    EXPECT_TRUE(filesIn(out).empty());
    EXPECT_TRUE(host.errors.empty());
}

TEST_F(DocumentExportTest, AnImageChangedAfterListingIsReadSafely) {
    // Truncated: no longer an image of a known size; nothing is written.
    fs::resize_file(image, 20000);
    exportCatalogueRows(catalogue, allRows(), out, exporter, *this);
    EXPECT_TRUE(filesIn(out).empty());
    // Overwritten with junk of the right size: every link leads nowhere; the readers
    // report it and nothing is written.
    std::ofstream(image, std::ios::binary | std::ios::trunc) << std::string(174848, '\xFF');
    host.defaultErrorAnswer = erroranswer::Third;
    exportCatalogueRows(catalogue, allRows(), out, exporter, *this);
    EXPECT_TRUE(filesIn(out).empty());
    EXPECT_FALSE(host.errors.empty());
}

}  // namespace
}  // namespace qv
