#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <random>

#include "bam/BlockMap.h"
#include "bam/Extraction.h"
#include "core/bam/BamFixture.h"

namespace qv::test {
namespace {

// Answers every report with a random button of it.
class RandomAnswers : public ScriptedDialogHost {
  public:
    explicit RandomAnswers(std::mt19937& rng) : rng_(rng) {}
    int showError(const ErrorLayout& layout) override {
        ++reports;
        const std::size_t pick = rng_() % layout.buttons.size();
        return layout.buttons[pick].result;
    }
    QuestionReply showQuestion(const QuestionRequest& request) override {
        return QuestionReply{1, request.preset.choice, false, false};
    }
    void showMessage(const std::string&) override {}
    int reports = 0;

  private:
    std::mt19937& rng_;
};

// A disk with plain files, a crosslink, GEOS sequential and VLIR files.
DiskBuilder seedDisk(int tracks, bool errors) {
    DiskBuilder b(tracks, errors);
    b.format();
    if (tracks == 40)
        b.extendedBam(ExtendedBam::DolphinDos);
    b.addFile("PLAIN", 0x82, bytesOf(1200));
    b.addFile("SMALL", 0x81, bytesOf(20));
    b.addGeosSequential("GEOSSEQ", {}, bytesOf(400));
    b.addGeosVlir("GEOSVLIR", {}, {bytesOf(300), {}, bytesOf(900), bytesOf(5)});
    for (int i = 0; i < 10; ++i)
        b.addFile(numbered("F", i), 0x82, bytesOf(260));
    return b;
}

void writeBytes(const std::string& path, int offset, const Bytes& bytes) {
    std::fstream f(path, std::ios::binary | std::ios::in | std::ios::out);
    f.seekp(offset);
    f.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
}

// Where mutations hurt most: the header block, the directory and the links of blocks.
int mutationOffset(std::mt19937& rng, int imageSize) {
    switch (rng() % 4) {
        case 0:
            return kHeaderOffset + static_cast<int>(rng() % 256);
        case 1:
            return kFirstDirOffset + static_cast<int>(rng() % (256 * 4));
        case 2:
            return static_cast<int>(rng() % 160) * 256 + static_cast<int>(rng() % 2);
        default:
            return static_cast<int>(rng() % static_cast<unsigned>(imageSize));
    }
}

TEST(BlockMapMutatedImages, NoCrashNoHangEveryIndexInsideTheGrid) {
    const auto started = std::chrono::steady_clock::now();
    std::mt19937 rng(20261210);
    RandomAnswers host(rng);
    Dialogs dialogs(host);
    TempDir tmp;
    struct Seed {
        std::string path;
        Bytes bytes;
    };
    std::vector<Seed> seeds;
    for (const auto& [tracks, errors] :
         std::vector<std::pair<int, bool>>{{35, false}, {35, true}, {40, false}, {40, true}}) {
        const DiskBuilder b = seedDisk(tracks, errors);
        const std::string path = tmp.file("seed" + std::to_string(seeds.size()) + ".d64");
        b.save(path);
        seeds.push_back({path, b.bytes()});
    }

    int images = 0;
    int rows = 0;
    for (int round = 0; round < 2000; ++round) {
        const Seed& seed = seeds[rng() % seeds.size()];
        const int size = static_cast<int>(seed.bytes.size());
        ListerOptions options;
        options.allowMoreThan144Files = rng() % 4 != 0;
        options.showDeletedFiles = rng() % 3 == 0;
        options.abortImageAt0x00 = rng() % 5 == 0;
        options.autoDetectMode = rng() % 4 != 0;
        options.fortyTrackType = static_cast<int>(rng() % 3) + 1;
        options.recomputeLimits();
        BlockMapContext ctx{options, dialogs};

        std::vector<int> touched;
        const int mutations = 1 + static_cast<int>(rng() % 24);
        for (int i = 0; i < mutations; ++i) {
            const int at = mutationOffset(rng, size);
            std::uint8_t value = static_cast<std::uint8_t>(rng());
            if (rng() % 3 == 0)
                value = static_cast<std::uint8_t>(rng() % 42);  // plausible track numbers
            writeBytes(seed.path, at, {value});
            touched.push_back(at);
        }

        BlockMap map;
        map.allocateOwners(options.maxFiles, dialogs);
        (void)map.loadBam(seed.path, ctx);
        map.loadErrors(seed.path, dialogs);
        if (map.dosType() != kDosUnusable)
            map.showOwner(seed.path, ctx);
        ++images;
        rows += map.rowCount();

        ASSERT_LE(map.rowCount(), map.ownerCapacity());
        ASSERT_EQ(map.fileLines().size(), map.fileNames().size());
        for (int track = -1; track <= kGridTracks; ++track) {
            for (int sector = -1; sector <= kGridSectors; ++sector) {
                const TrackSector ts{track, sector};
                for (const int owner : map.ownersOf(ts)) {
                    ASSERT_GE(owner, 0);
                    ASSERT_LT(owner, map.rowCount());
                    const ChainMark m = map.markAt(owner, ts);
                    ASSERT_EQ(m & ~0x00FFFFFF, 0);
                    ASSERT_GT(map.blockOffset(ts), -1) << track << "/" << sector;
                    for (const auto dir : {ChainDirection::Forward, ChainDirection::Backward}) {
                        if (const auto n = map.neighbour(owner, ts, dir)) {
                            ASSERT_TRUE(inGrid(n->track, n->sector));
                            ASSERT_NE(map.markAt(owner, *n), 0);
                        }
                    }
                }
                const int code = map.errorCode(track, sector);
                ASSERT_TRUE(code == 0 || (code >= 20 && code <= 29) || code == 74);
            }
        }
        if (map.rowCount() > 0 && rng() % 4 == 0) {
            const int row = static_cast<int>(rng() % static_cast<unsigned>(map.rowCount()));
            const Extraction x = extractFile(map, row, ExtractMode::Program, dialogs);
            ASSERT_LE(x.data.size(), static_cast<std::size_t>(kBlocks40) * 254u);
        }

        // Put the seed back for the next round.
        for (const int at : touched)
            writeBytes(seed.path, at, {seed.bytes[static_cast<std::size_t>(at)]});
    }
    const auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started);
    EXPECT_EQ(images, 2000);
    EXPECT_GT(rows, 0);
    EXPECT_GT(host.reports, 0);
    RecordProperty("seconds", std::to_string(seconds.count()));
}

}  // namespace
}  // namespace qv::test
